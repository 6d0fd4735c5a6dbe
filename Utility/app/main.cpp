#include <QApplication>

#include "AmbrelApp.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("ambrel"));
    ambrel::CAmbrelApp app;
    return app.Run();
}
