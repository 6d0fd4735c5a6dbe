#include "WindowReportSink.h"

#include <QApplication>
#include <QMetaObject>
#include <QThread>
#include <QWidget>
#include <algorithm>

#include "WindowMessage.h"

namespace ambrel {
namespace {

// On the user-interface thread: whether `window` is a widget that still
// exists. Windows are destroyed on that thread only, so the answer holds
// while the message is delivered.
bool IsLiveWindow(WindowHandle window) {
    const QWidgetList widgets = QApplication::allWidgets();
    return std::any_of(widgets.begin(), widgets.end(),
                       [window](const QWidget* widget) { return widget == window; });
}

}  // namespace

void WindowReportSink::Send(WindowHandle window, ResultMessage message, WParam wParam,
                            LParam lParam) {
    QCoreApplication* application = QCoreApplication::instance();
    if (window == nullptr || application == nullptr)
        return;
    auto deliver = [window, message, wParam, lParam]() {
        if (IsLiveWindow(window)) {
            SendWindowMessage(static_cast<QWidget*>(window), static_cast<uint32_t>(message), wParam,
                              lParam);
        }
    };
    // The liveness check must run on the user-interface thread, so the call
    // is bound to the application object, which outlives every window.
    if (application->thread() == QThread::currentThread())
        deliver();
    else
        QMetaObject::invokeMethod(application, deliver, Qt::BlockingQueuedConnection);
}

void InstallWindowReportSink() {
    static WindowReportSink sink;
    SetReportSink(&sink);
}

}  // namespace ambrel
