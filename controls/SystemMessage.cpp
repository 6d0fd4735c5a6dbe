#include "SystemMessage.h"

#include <QApplication>
#include <QMessageBox>
#include <cstdio>
#include <cstdlib>

namespace ambrel {
namespace {

SystemMessageHandler& Handler() {
    static SystemMessageHandler handler;
    return handler;
}

void DefaultMessage(const QString& caption, const QString& text, MessageIcon icon) {
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) {
        std::fprintf(stderr, "%s: %s\n", qUtf8Printable(caption), qUtf8Printable(text));
        return;
    }
    QMessageBox box(icon == MessageIcon::None ? QMessageBox::NoIcon : QMessageBox::Critical,
                    caption, text, QMessageBox::Ok);
    box.exec();
}

}  // namespace

void ShowSystemMessage(const QString& caption, const QString& text, MessageIcon icon) {
    if (Handler()) {
        Handler()(caption, text, icon);
    } else {
        DefaultMessage(caption, text, icon);
    }
}

void FatalExit(const QString& caption, const QString& text, MessageIcon icon) {
    ShowSystemMessage(caption, text, icon);
    std::exit(1);
}

void SetSystemMessageHandler(SystemMessageHandler handler) {
    Handler() = std::move(handler);
}

QString FormatWithId(const QString& format, int id) {
    QString result = format;
    qsizetype at = result.indexOf(QStringLiteral("%d"));
    if (at < 0)
        return result + QLatin1Char(' ') + QString::number(id);
    return result.replace(at, 2, QString::number(id));
}

}  // namespace ambrel
