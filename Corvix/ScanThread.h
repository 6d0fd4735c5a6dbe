#pragma once

// The scan worker and the rule that only one scan runs at a time.

#include <cstdint>
#include <functional>
#include <optional>
#include <thread>

namespace corvix {

inline constexpr uint32_t WM_SCAN_DONE = 0x1428;

// Where the worker reports: (message, wParam, lParam). The window maps it
// onto a send that returns only after the window has handled the message.
using ScanSink = std::function<void(uint32_t message, uintptr_t wParam, intptr_t lParam)>;

// Claims the single scan slot; false when a scan is already running (the
// caller then skips its scan).
bool TryStartScan();
// Gives the slot back.
void FinishScan();
bool IsScanRunning();

// Worker body: RunScan(), then WM_SCAN_DONE with wParam and lParam 0 to
// `sink`. Returns 0. Does not touch the scan slot.
uint32_t ScanThread(const ScanSink& sink);

// Claims the slot on the calling thread and starts ScanThread on a new
// thread, which gives the slot back after `sink` has returned. nullopt, and
// no thread, when a scan is already running.
std::optional<std::thread> StartScanThread(ScanSink sink);

}  // namespace corvix
