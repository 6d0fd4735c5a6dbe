#pragma once

// The report sink of the program: a worker's report becomes a window
// message sent synchronously to the window that started the worker (the
// WindowHandle is that window's QWidget*). The worker waits until the window
// has handled it. A report for a window that no longer exists is dropped
// and the worker goes on.

#include "ReportSink.h"

namespace ambrel {

class WindowReportSink final : public ReportSink {
public:
    void Send(WindowHandle window, ResultMessage message, WParam wParam, LParam lParam) override;
};

// Installs the program's sink for the workers (once, at start-up).
void InstallWindowReportSink();

}  // namespace ambrel
