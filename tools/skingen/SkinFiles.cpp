#include "SkinFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstdio>

namespace skingen {

std::optional<QByteArray> ReadFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return file.readAll();
}

bool WriteFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

int Fail(const QString& what) {
    std::fprintf(stderr, "skingen: %s\n", qUtf8Printable(what));
    return 1;
}

ambrel::bundle::StringTable ParseTableFile(const QString& path, QStringList& problems) {
    std::optional<QByteArray> bytes = ReadFile(path);
    if (!bytes) {
        problems << QStringLiteral("cannot read %1").arg(path);
        return {};
    }
    ambrel::bundle::StringTable table = ambrel::bundle::ParseStringTable(bytes->toStdString());
    for (const std::string& error : table.errors)
        problems << QStringLiteral("%1: %2").arg(path, QString::fromStdString(error));
    table.errors.clear();
    return table;
}

TemplateFile ParseTemplateFile(const QString& path, QStringList& problems) {
    TemplateFile file;
    std::optional<QByteArray> bytes = ReadFile(path);
    if (!bytes) {
        problems << QStringLiteral("cannot read %1").arg(path);
        return file;
    }
    file.bytes = *bytes;
    file.templates = ambrel::bundle::ParseTemplates(bytes->toStdString());
    for (const std::string& error : file.templates.errors)
        problems << QStringLiteral("%1: %2").arg(path, QString::fromStdString(error));
    return file;
}

int WriteResources(const QString& out, const QString& qrcName, const QString& prefix,
                   const std::map<QString, QByteArray>& files) {
    QByteArray qrc = "<!DOCTYPE RCC><RCC version=\"1.0\">\n";
    qrc += QStringLiteral("<qresource prefix=\"%1\">\n").arg(prefix).toUtf8();
    for (const auto& [alias, bytes] : files) {
        const QString file = QStringLiteral("files/") + QString(alias).replace('/', '_');
        if (!WriteFile(QDir(out).filePath(file), bytes))
            return Fail(QStringLiteral("cannot write ") + file);
        qrc += QStringLiteral("  <file alias=\"%1\">%2</file>\n").arg(alias, file).toUtf8();
    }
    qrc += "</qresource>\n</RCC>\n";
    if (!WriteFile(QDir(out).filePath(qrcName), qrc))
        return Fail(QStringLiteral("cannot write ") + qrcName);
    return 0;
}

}  // namespace skingen
