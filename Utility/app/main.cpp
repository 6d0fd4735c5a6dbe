#include <QApplication>

#include "AmbrelApp.h"
#include "PcapBackend.h"
#include "PlcMsgBox.h"
#include "WindowReportSink.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("ambrel"));
    // Hidden in the notification area is still running: the program ends
    // when its main window ends, not when no window is on show.
    QApplication::setQuitOnLastWindowClosed(false);
    ambrel::UsePcapBackend();
    ambrel::InstallWindowReportSink();
    ambrel::InstallWaitingBoxCloser();
    ambrel::CAmbrelApp app;
    return app.Run();
}
