#pragma once

// What both modes of the generator read and write: the readable sources
// (string tables, dialog templates) with their problems, and the drawn
// files with the .qrc that lists them for rcc.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <map>
#include <optional>

#include "BundleFormat.h"

namespace skingen {

std::optional<QByteArray> ReadFile(const QString& path);

// Writes `bytes` to `path`, making its folder first.
bool WriteFile(const QString& path, const QByteArray& bytes);

// Says "skingen: <what>" on the standard error; returns exit code 1.
int Fail(const QString& what);

// The string table in file `path`; what cannot be read or parsed goes to
// `problems`.
ambrel::bundle::StringTable ParseTableFile(const QString& path, QStringList& problems);

// The dialog templates in file `path`, with the file's bytes (empty when it
// cannot be read); problems go to `problems`.
struct TemplateFile {
    QByteArray bytes;
    ambrel::bundle::Templates templates;
};
TemplateFile ParseTemplateFile(const QString& path, QStringList& problems);

// Writes `files` (alias -> contents) to "<out>/files/" and the .qrc
// `qrcName` that gives them their aliases under `prefix`. Returns the exit
// code.
int WriteResources(const QString& out, const QString& qrcName, const QString& prefix,
                   const std::map<QString, QByteArray>& files);

}  // namespace skingen
