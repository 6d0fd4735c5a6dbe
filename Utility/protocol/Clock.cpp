#include "Clock.h"

#include <atomic>
#include <chrono>
#include <thread>

namespace ambrel {

namespace {

class SteadyClock final : public Clock {
public:
    uint64_t NowMs() override {
        auto now = std::chrono::steady_clock::now().time_since_epoch();
        return static_cast<uint64_t>(
            std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
    }
    void SleepMs(uint32_t milliseconds) override {
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
    }
};

std::atomic<Clock*> installedClock{nullptr};

}  // namespace

Clock& SystemClock() {
    static SteadyClock clock;
    return clock;
}

Clock& ProtocolClock() {
    Clock* clock = installedClock.load(std::memory_order_acquire);
    return clock != nullptr ? *clock : SystemClock();
}

void SetProtocolClock(Clock* clock) {
    installedClock.store(clock, std::memory_order_release);
}

}  // namespace ambrel
