#include "ScanThread.h"

#include <atomic>

#include "RunScan.h"

namespace corvix {
namespace {

std::atomic<bool> scanRunning{false};

}  // namespace

bool TryStartScan() {
    bool expected = false;
    return scanRunning.compare_exchange_strong(expected, true);
}

void FinishScan() {
    scanRunning.store(false);
}

bool IsScanRunning() {
    return scanRunning.load();
}

uint32_t ScanThread(const ScanSink& sink) {
    RunScan();
    if (sink)
        sink(WM_SCAN_DONE, 0, 0);
    return 0;
}

std::optional<std::thread> StartScanThread(ScanSink sink) {
    if (!TryStartScan())
        return std::nullopt;
    try {
        return std::thread([sink = std::move(sink)] {
            ScanThread(sink);
            FinishScan();
        });
    } catch (...) {
        FinishScan();
        return std::nullopt;
    }
}

}  // namespace corvix
