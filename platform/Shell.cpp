#include "Shell.h"

#include <QDesktopServices>
#include <QFileDialog>

namespace ambrel {
namespace {

UrlOpener& Opener() {
    static UrlOpener opener;
    return opener;
}

FileChooser& Chooser() {
    static FileChooser chooser;
    return chooser;
}

}  // namespace

bool OpenUrl(const QUrl& url) {
    if (Opener())
        return Opener()(url);
    return QDesktopServices::openUrl(url);
}

void SetUrlOpener(UrlOpener opener) {
    Opener() = std::move(opener);
}

QString ChooseOpenFile(QWidget* parent, const QString& caption, const QString& filter) {
    if (Chooser())
        return Chooser()(parent, caption, filter);
    return QFileDialog::getOpenFileName(parent, caption, QString(), filter);
}

void SetFileChooser(FileChooser chooser) {
    Chooser() = std::move(chooser);
}

}  // namespace ambrel
