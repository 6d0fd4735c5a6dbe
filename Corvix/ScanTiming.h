#pragma once

// The one wait of a scan: how long a socket may stay silent before we stop
// listening on it. Production uses 2 seconds; tests shorten it.

#include <chrono>

namespace corvix {

struct ScanTiming {
    std::chrono::milliseconds answerSilence{2000};
};

ScanTiming CurrentScanTiming();
void SetScanTiming(const ScanTiming& timing);
// Back to the production values.
void ResetScanTiming();

enum class WaitOutcome { Readable, Silence, Failed };

// Waits until `socket` is readable, for at most `timeout`; an interrupted
// wait resumes with the time that is left.
WaitOutcome WaitReadable(int socket, std::chrono::milliseconds timeout);

}  // namespace corvix
