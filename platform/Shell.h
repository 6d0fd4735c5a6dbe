#pragma once

// What the windows ask of the desktop: opening a URL or mail address with
// the default program, and choosing a file. Tests put their own handlers in
// place, so that no browser opens and no person is needed.

#include <QString>
#include <QUrl>
#include <functional>

class QWidget;

namespace ambrel {

using UrlOpener = std::function<bool(const QUrl& url)>;
using FileChooser =
    std::function<QString(QWidget* parent, const QString& caption, const QString& filter)>;

// Opens the URL with the desktop's default program; false when that failed.
bool OpenUrl(const QUrl& url);
// Replaces the opener (null restores the desktop's).
void SetUrlOpener(UrlOpener opener);

// The file the user chose to open; empty when they cancelled.
QString ChooseOpenFile(QWidget* parent, const QString& caption, const QString& filter);
// Replaces the file chooser (null restores the desktop's).
void SetFileChooser(FileChooser chooser);

}  // namespace ambrel
