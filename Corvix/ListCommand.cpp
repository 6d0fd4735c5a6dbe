#include "ListCommand.h"

#include <unistd.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QString>
#include <algorithm>

#include "ApListRecord.h"
#include "InterfaceOverride.h"
#include "RunScan.h"

namespace corvix {
namespace {

QString Text(const std::u16string& text) {
    return QString::fromStdU16String(text);
}

// A tab or line break inside a device's name would break the line format.
QString OneField(const std::u16string& text) {
    QString field = Text(text);
    for (QChar& ch : field) {
        if (ch == QLatin1Char('\t') || ch == QLatin1Char('\n') || ch == QLatin1Char('\r'))
            ch = QLatin1Char(' ');
    }
    return field;
}

// Runs `work` with standard output sent to `err`.
template <class Work>
void WithStdoutOn(std::FILE* err, Work work) {
    std::fflush(stdout);
    const int saved = dup(STDOUT_FILENO);
    const bool moved = saved >= 0 && dup2(fileno(err), STDOUT_FILENO) >= 0;
    work();
    std::fflush(stdout);
    if (moved)
        dup2(saved, STDOUT_FILENO);
    if (saved >= 0)
        close(saved);
}

}  // namespace

std::optional<ListOptions> ParseListCommand(const QStringList& arguments, QString& error) {
    if (!arguments.contains(QStringLiteral("--list")))
        return std::nullopt;
    ListOptions options;
    for (int i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (argument == QStringLiteral("--list")) {
            continue;
        } else if (argument == QStringLiteral("--json")) {
            options.json = true;
        } else if (argument == QStringLiteral("--interface")) {
            if (i + 1 >= arguments.size() || arguments[i + 1].isEmpty()) {
                error = QStringLiteral("--interface needs an interface name");
                return options;
            }
            if (!options.interfaces)
                options.interfaces.emplace();
            options.interfaces->push_back(arguments[++i].toStdString());
        } else {
            error = QStringLiteral("unknown option %1").arg(argument);
            return options;
        }
    }
    return options;
}

QByteArray FormatDeviceList(bool json) {
    const int count = std::min<int>(listCount.load(), static_cast<int>(apListRecords.size()));
    if (json) {
        QJsonArray devices;
        for (int i = 0; i < count; ++i) {
            const ApListRecord& record = apListRecords[i];
            devices.append(QJsonObject{{QStringLiteral("name"), Text(record.name)},
                                       {QStringLiteral("model"), Text(record.model)},
                                       {QStringLiteral("ip"), Text(record.ipText)},
                                       {QStringLiteral("mac"), Text(record.macText)}});
        }
        return QJsonDocument(devices).toJson(QJsonDocument::Indented);
    }
    QByteArray lines;
    for (int i = 0; i < count; ++i) {
        const ApListRecord& record = apListRecords[i];
        lines += QStringList{OneField(record.name), OneField(record.model), OneField(record.ipText),
                             OneField(record.macText)}
                     .join(QLatin1Char('\t'))
                     .toUtf8();
        lines += '\n';
    }
    return lines;
}

int RunListCommand(const QStringList& arguments, std::FILE* out, std::FILE* err) {
    QString error;
    std::optional<ListOptions> options = ParseListCommand(arguments, error);
    if (!options || !error.isEmpty()) {
        std::fprintf(err, "corvix: %s\nusage: corvix --list [--json] [--interface NAME]...\n",
                     qUtf8Printable(error.isEmpty() ? QStringLiteral("no --list") : error));
        return 2;
    }
    if (options->interfaces)
        SetInterfaceOverride(*options->interfaces);
    else
        LoadInterfaceOverrideFromEnvironment();
    WithStdoutOn(err, [] { RunScan(); });
    const QByteArray text = FormatDeviceList(options->json);
    std::fwrite(text.constData(), 1, static_cast<size_t>(text.size()), out);
    std::fflush(out);
    return 0;
}

}  // namespace corvix
