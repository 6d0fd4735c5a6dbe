// The language bundle builder: reads the readable sources of one language
// (layout values, texts, picture labels, dialog templates), checks that
// everything the program asks for is there, draws the skin and writes a
// .qrc file that rcc turns into "<language>.rcc".
//
//   skingen --language 1033 --layout layout.txt --strings strings.txt
//           --labels labels.txt --templates dialogs.txt --out <directory>
//
// With --icons it draws the desktop icons instead, from the same artwork:
//
//   skingen --icons <directory>      (ambrel-<size>.png for the usual sizes)
//
// With --corvix or --corvix-icons it draws Corvix's resources (CorvixSkin.h).

#include <QCoreApplication>
#include <QGuiApplication>
#include <QStringList>
#include <cstdio>
#include <map>

#include "BundleFormat.h"
#include "CorvixSkin.h"
#include "Drawing.h"
#include "ResourceIds.h"
#include "Skin.h"
#include "SkinFiles.h"
#include "TextNumbers.h"

namespace {

using ambrel::bundle::StringTable;
using skingen::Fail;
using skingen::ParseTableFile;
using skingen::WriteFile;

// Every string the program asks for must be there and have its form.
void CheckStrings(const StringTable& table, QStringList& problems) {
    using ambrel::res::StringKind;
    for (const ambrel::res::StringRange& range : ambrel::res::kRequiredStrings) {
        for (int id = range.first; id <= range.last; ++id) {
            auto found = table.strings.find(id);
            if (found == table.strings.end() || found->second.empty()) {
                problems << QStringLiteral("string %1 is missing or empty").arg(id);
                continue;
            }
            int values[4] = {};
            bool ok = true;
            switch (range.kind) {
                case StringKind::Text:
                    break;
                case StringKind::Int:
                    ok = ambrel::ParseLeadingInt(found->second).has_value();
                    break;
                case StringKind::Color:
                    ok = ambrel::ParseIntList(found->second, values, 3).has_value();
                    break;
                case StringKind::Rect:
                    ok = ambrel::ParseIntList(found->second, values, 4).has_value();
                    for (int v : values)
                        ok = ok && v >= 1 && v <= 10000;
                    break;
            }
            if (!ok)
                problems << QStringLiteral("string %1 has the wrong form").arg(id);
        }
    }
}

void CheckTemplates(const ambrel::bundle::Templates& templates, QStringList& problems) {
    for (const ambrel::res::DialogControls& dialog : ambrel::res::kRequiredDialogs) {
        auto found = templates.dialogs.find(dialog.dialogId);
        if (found == templates.dialogs.end()) {
            problems << QStringLiteral("dialog %1 is missing").arg(dialog.dialogId);
            continue;
        }
        for (int control : dialog.controls) {
            if (found->second.Find(control) == nullptr) {
                problems << QStringLiteral("dialog %1 lacks control %2")
                                .arg(dialog.dialogId)
                                .arg(control);
            }
        }
    }
    if (templates.menus.count(ambrel::res::kMenuTray) == 0)
        problems << "menu 234 is missing";
}

}  // namespace

// The desktop icons at the sizes desktops look for.
int DrawDesktopIcons(const QString& directory) {
    const StringTable none;
    const skingen::Skin skin(none, none);
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        if (!WriteFile(QStringLiteral("%1/ambrel-%2.png").arg(directory).arg(size),
                       skingen::Png(skin.AppIcon(size)))) {
            return Fail(QStringLiteral("cannot write the icons into %1").arg(directory));
        }
    }
    return 0;
}

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    std::map<QString, QString> options;
    QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() == 3 && arguments[1] == QStringLiteral("--icons"))
        return DrawDesktopIcons(arguments[2]);
    if (arguments.size() > 1 && arguments[1].startsWith(QStringLiteral("--corvix")))
        return skingen::RunCorvix(arguments);
    for (int i = 1; i + 1 < arguments.size(); i += 2)
        options[arguments[i]] = arguments[i + 1];
    for (const char* name :
         {"--language", "--layout", "--strings", "--labels", "--templates", "--out"}) {
        if (options.count(QString::fromLatin1(name)) == 0) {
            return Fail(QStringLiteral("missing option %1").arg(QString::fromLatin1(name)));
        }
    }
    const QString out = options["--out"];

    QStringList problems;
    StringTable strings = ParseTableFile(options["--layout"], problems);
    ambrel::bundle::MergeInto(strings, ParseTableFile(options["--strings"], problems));
    StringTable labels = ParseTableFile(options["--labels"], problems);
    const skingen::TemplateFile templates =
        skingen::ParseTemplateFile(options["--templates"], problems);
    CheckStrings(strings, problems);
    CheckTemplates(templates.templates, problems);

    std::map<QString, QByteArray> files;  // alias in the bundle -> contents
    skingen::Skin skin(strings, labels);
    skin.Draw(files, problems);
    if (!problems.isEmpty()) {
        for (const QString& problem : problems)
            std::fprintf(stderr, "skingen: %s\n", qUtf8Printable(problem));
        return 1;
    }

    std::string table = "# Generated by skingen from the layout and text sources.\n";
    for (const auto& [id, text] : strings.strings) {
        table += std::to_string(id) + "=" + ambrel::bundle::EscapeString(text) + "\n";
    }
    files["strings.txt"] = QByteArray::fromStdString(table);
    files["dialogs.txt"] = templates.bytes;
    return skingen::WriteResources(out, QStringLiteral("bundle.qrc"), QStringLiteral("/"), files);
}
