#include "ResourceBundle.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QResource>
#include <map>

namespace ambrel {
namespace {

struct Source {
    QString root;        // ":/..." prefix of the files, empty when there is no source
    QString bundleFile;  // registered file, empty for built-in resources
    QString mapRoot;     // where the bundle was registered
    uint16_t languageId = 0;
    std::map<int, QString> strings;
    bundle::Templates templates;
};

Source& Current() {
    static Source source;
    return source;
}

int g_loadCounter = 0;

std::optional<QByteArray> ReadFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return file.readAll();
}

// Reads the string table and the templates of a source. False when the
// string table is missing: then it is no language bundle.
bool ReadTables(Source& source) {
    std::optional<QByteArray> strings = ReadFile(source.root + "/strings.txt");
    if (!strings)
        return false;
    bundle::StringTable table = bundle::ParseStringTable(strings->toStdString());
    for (const auto& [id, text] : table.strings) {
        source.strings[id] = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    }
    if (std::optional<QByteArray> templates = ReadFile(source.root + "/dialogs.txt")) {
        source.templates = bundle::ParseTemplates(templates->toStdString());
    }
    return true;
}

}  // namespace

QStringList BundleSearchDirectories() {
    QStringList directories{QDir::currentPath()};
    if (QCoreApplication::instance() != nullptr) {
        directories << QCoreApplication::applicationDirPath();
    }
    directories << QStringLiteral(AMBREL_BUNDLE_INSTALL_DIR);
    return directories;
}

QString LocateBundle(const QString& fileName) {
    for (const QString& directory : BundleSearchDirectories()) {
        QFileInfo candidate(QDir(directory), fileName);
        if (candidate.isFile())
            return candidate.absoluteFilePath();
    }
    return {};
}

bool LoadResourceBundle(const QString& filePath, uint16_t languageId) {
    // Register the new bundle beside the old one first, so that a bad file
    // leaves the old one in place.
    Source next;
    next.mapRoot = QStringLiteral("/ambrel-bundle-%1").arg(++g_loadCounter);
    next.root = QStringLiteral(":") + next.mapRoot;
    next.bundleFile = QFileInfo(filePath).absoluteFilePath();
    next.languageId = languageId;
    if (!QResource::registerResource(next.bundleFile, next.mapRoot))
        return false;
    if (!ReadTables(next)) {
        QResource::unregisterResource(next.bundleFile, next.mapRoot);
        return false;
    }
    UnloadResourceBundle();
    Current() = std::move(next);
    return true;
}

void UnloadResourceBundle() {
    Source& source = Current();
    if (!source.bundleFile.isEmpty()) {
        QResource::unregisterResource(source.bundleFile, source.mapRoot);
    }
    if (!source.bundleFile.isEmpty() || !source.root.isEmpty())
        source = Source();
}

bool ResourceBundleLoaded() {
    return !Current().bundleFile.isEmpty();
}

void UseBuiltInResources(const QString& root, uint16_t languageId) {
    UnloadResourceBundle();
    Source source;
    source.root = root;
    source.languageId = languageId;
    ReadTables(source);
    Current() = std::move(source);
}

uint16_t CurrentLanguageId() {
    return Current().languageId;
}

std::optional<QByteArray> FindResource(const QString& type, int id) {
    const Source& source = Current();
    if (source.root.isEmpty())
        return std::nullopt;
    return ReadFile(QStringLiteral("%1/%2/%3").arg(source.root, type).arg(id));
}

std::optional<QString> FindString(int id) {
    const Source& source = Current();
    auto found = source.strings.find(id);
    if (found == source.strings.end())
        return std::nullopt;
    return found->second;
}

const bundle::DialogTemplate* FindDialog(int id) {
    const auto& dialogs = Current().templates.dialogs;
    auto found = dialogs.find(id);
    return found == dialogs.end() ? nullptr : &found->second;
}

const bundle::MenuTemplate* FindMenu(int id) {
    const auto& menus = Current().templates.menus;
    auto found = menus.find(id);
    return found == menus.end() ? nullptr : &found->second;
}

}  // namespace ambrel
