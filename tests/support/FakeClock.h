#pragma once

#include <atomic>

#include "Clock.h"

namespace ambrel::test {

// A clock whose sleeps pass at once: a sleep only moves the time on. Installs
// itself as the protocol clock for its lifetime.
class FakeClock final : public Clock {
public:
    FakeClock() { SetProtocolClock(this); }
    ~FakeClock() override { SetProtocolClock(nullptr); }
    FakeClock(const FakeClock&) = delete;
    FakeClock& operator=(const FakeClock&) = delete;

    uint64_t NowMs() override { return now_; }
    void SleepMs(uint32_t milliseconds) override {
        now_ += milliseconds;
        slept_ += milliseconds;
    }
    // The total of every sleep so far.
    uint64_t SleptMs() const { return slept_; }

private:
    std::atomic<uint64_t> now_{1000};
    std::atomic<uint64_t> slept_{0};
};

}  // namespace ambrel::test
