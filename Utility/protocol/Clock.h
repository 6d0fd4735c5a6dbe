#pragma once

// The one clock-and-sleep seam of the protocol layer. Every fixed pause,
// tick wait and deadline asks it, so tests can run the real sequences with a
// fake or scaled clock.

#include <cstdint>

namespace ambrel {

class Clock {
public:
    virtual ~Clock() = default;
    // Milliseconds since an arbitrary start, never going back.
    virtual uint64_t NowMs() = 0;
    virtual void SleepMs(uint32_t milliseconds) = 0;
};

// The steady system clock with real sleeps.
Clock& SystemClock();

// The clock the protocol layer uses; SystemClock() unless a test installed
// another one. Passing nullptr restores the system clock.
Clock& ProtocolClock();
void SetProtocolClock(Clock* clock);

inline uint64_t TickCountMs() {
    return ProtocolClock().NowMs();
}
inline void SleepMs(uint32_t milliseconds) {
    ProtocolClock().SleepMs(milliseconds);
}

}  // namespace ambrel
