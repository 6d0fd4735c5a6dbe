#include "ScanTiming.h"

#include <poll.h>

#include <algorithm>
#include <atomic>
#include <cerrno>

namespace corvix {
namespace {

constexpr std::chrono::milliseconds kDefaultSilence = ScanTiming{}.answerSilence;
std::atomic<std::chrono::milliseconds::rep> silenceMs{kDefaultSilence.count()};

}  // namespace

ScanTiming CurrentScanTiming() {
    return ScanTiming{std::chrono::milliseconds(silenceMs.load())};
}

void SetScanTiming(const ScanTiming& timing) {
    silenceMs.store(std::max<std::chrono::milliseconds::rep>(timing.answerSilence.count(), 0));
}

void ResetScanTiming() {
    silenceMs.store(kDefaultSilence.count());
}

WaitOutcome WaitReadable(int socket, std::chrono::milliseconds timeout) {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + timeout;
    for (;;) {
        // Rounded up, so the wait never ends before the deadline.
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
        pollfd entry{socket, POLLIN, 0};
        const int ready = poll(&entry, 1, static_cast<int>(std::max<int64_t>(left.count(), 0)));
        if (ready > 0) {
            return (entry.revents & POLLIN) != 0 ? WaitOutcome::Readable : WaitOutcome::Failed;
        }
        if (ready == 0) {
            if (Clock::now() >= deadline)
                return WaitOutcome::Silence;
            continue;
        }
        if (errno != EINTR)
            return WaitOutcome::Failed;
    }
}

}  // namespace corvix
