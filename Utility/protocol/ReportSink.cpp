#include "ReportSink.h"

#include <atomic>
#include <mutex>

namespace ambrel {

namespace {

class SilentSink final : public ReportSink {
public:
    void Send(WindowHandle, ResultMessage, WParam, LParam) override {}
};

std::atomic<ReportSink*> installedSink{nullptr};

std::mutex closerMutex;
std::function<void()>& Closer() {
    static std::function<void()> closer;
    return closer;
}

}  // namespace

ReportSink& ActiveReportSink() {
    static SilentSink silent;
    ReportSink* sink = installedSink.load(std::memory_order_acquire);
    return sink != nullptr ? *sink : silent;
}

void SetReportSink(ReportSink* sink) {
    installedSink.store(sink, std::memory_order_release);
}

void Report(WindowHandle window, ResultMessage message, WParam wParam, LParam lParam) {
    ActiveReportSink().Send(window, message, wParam, lParam);
}

void SetWaitingBoxCloser(std::function<void()> closer) {
    std::lock_guard lock(closerMutex);
    Closer() = std::move(closer);
}

void CloseWaitingBox() {
    std::function<void()> closer;
    {
        std::lock_guard lock(closerMutex);
        closer = Closer();
    }
    if (closer)
        closer();
}

}  // namespace ambrel
