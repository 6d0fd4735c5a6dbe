// Corvix, the powerline access-point scanner: the window, or with --list one
// scan printed to standard output (ListCommand.h).

#include <QApplication>
#include <QCoreApplication>
#include <cstdio>

#include "CorvixApp.h"
#include "ListCommand.h"

int main(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    if (arguments.contains(QStringLiteral("--list"))) {
        QCoreApplication application(argc, argv);
        return corvix::RunListCommand(arguments, stdout, stderr);
    }
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("corvix"));
    QApplication::setQuitOnLastWindowClosed(false);
    corvix::CCorvixApp app;
    return app.Run();
}
