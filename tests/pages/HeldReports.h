#pragma once

// A report sink for the tests and pictures of the worker dialogs: it holds
// the first report of a worker until Release, so that what the window shows
// meanwhile can be checked or taken; later reports pass at once. The
// program's own sink delivers them, and is put back on destruction.

#include <QTest>
#include <atomic>
#include <chrono>
#include <future>

#include "ReportSink.h"
#include "WindowReportSink.h"

namespace ambrel::test {

class HeldReports final : public ReportSink {
public:
    HeldReports() : arrived_(arrivedSignal_.get_future()), released_(release_.get_future()) {
        SetReportSink(this);
    }
    ~HeldReports() override {
        Release();
        InstallWindowReportSink();
    }
    HeldReports(const HeldReports&) = delete;
    HeldReports& operator=(const HeldReports&) = delete;

    void Send(WindowHandle window, ResultMessage message, WParam wParam, LParam lParam) override {
        if (!holding_.exchange(true)) {
            arrivedSignal_.set_value();
            released_.wait();
        }
        WindowReportSink().Send(window, message, wParam, lParam);
    }
    // Runs the event loop until the first report is held.
    bool WaitForReport(int timeoutMs = 20000) {
        return QTest::qWaitFor(
            [this]() {
                return arrived_.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
            },
            timeoutMs);
    }
    void Release() {
        if (!releaseSent_) {
            releaseSent_ = true;
            release_.set_value();
        }
    }

private:
    std::promise<void> arrivedSignal_;
    std::future<void> arrived_;
    std::promise<void> release_;
    std::future<void> released_;
    std::atomic<bool> holding_{false};
    bool releaseSent_ = false;
};

}  // namespace ambrel::test
