#pragma once

#include <chrono>
#include <thread>

#include "Clock.h"

namespace ambrel::test {

// Real time, but every sleep lasts 1/divisor of what was asked: the polling
// and the waits for confirmations run as in production, the fixed pauses of
// the sequences pass quickly. Installs itself as the protocol clock for its
// lifetime.
class ScaledClock final : public Clock {
public:
    explicit ScaledClock(uint32_t divisor = 100) : divisor_(divisor) { SetProtocolClock(this); }
    ~ScaledClock() override { SetProtocolClock(nullptr); }
    ScaledClock(const ScaledClock&) = delete;
    ScaledClock& operator=(const ScaledClock&) = delete;

    uint64_t NowMs() override { return SystemClock().NowMs(); }
    void SleepMs(uint32_t milliseconds) override {
        std::this_thread::sleep_for(
            std::chrono::microseconds(uint64_t{milliseconds} * 1000 / divisor_));
    }

private:
    uint32_t divisor_;
};

}  // namespace ambrel::test
