#pragma once

// Shared by the tools that draw the documentation's pictures: their command
// line, a window taken as the screen shows it, a worker's report held back so
// that a working form can be taken, and the pictures laid out with their
// captions on one sheet.

#include <QImage>
#include <QPainter>
#include <QRegion>
#include <QString>
#include <QTest>
#include <QWidget>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <future>
#include <vector>

#include "ControlsTestSupport.h"
#include "HeldReports.h"

namespace ambrel::test {

// A tool's command line, `<output> [language]`: where the pictures go and
// the language (1033 when not given), whose bundle is loaded. Otherwise
// `failure` is the exit status, after a warning: 2 for a wrong command line,
// 1 for a language without a bundle.
struct ToolArguments {
    QString output;
    int language = 1033;
    int failure = 0;
};

inline ToolArguments ReadToolArguments(int argc, char** argv, const char* usage) {
    ToolArguments arguments;
    if (argc < 2) {
        qWarning("usage: %s", usage);
        arguments.failure = 2;
        return arguments;
    }
    arguments.output = QString::fromLocal8Bit(argv[1]);
    if (argc > 2)
        arguments.language = QString::fromLocal8Bit(argv[2]).toInt();
    if (!LoadTestBundle(arguments.language)) {
        qWarning("no language bundle %d", arguments.language);
        arguments.failure = 1;
    }
    return arguments;
}

struct Shot {
    QString caption;
    QImage picture;
};

// The window as the screen shows it: the rounded region leaves the corners out.
inline QImage Grab(QWidget& window) {
    QImage picture = window.grab().toImage().convertToFormat(QImage::Format_ARGB32);
    const QRegion mask = window.mask();
    if (mask.isEmpty())
        return picture;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            if (!mask.contains(QPoint(x, y)))
                picture.setPixelColor(x, y, Qt::transparent);
        }
    }
    return picture;
}

// The pictures in `columns` columns, each under its caption, on a neutral
// ground.
inline QImage ComposeSheet(const std::vector<Shot>& shots, int columns) {
    constexpr int kMargin = 24;
    constexpr int kCaption = 28;
    const size_t perRow = static_cast<size_t>(std::max(columns, 1));
    int columnWidth = 0;
    for (const Shot& shot : shots)
        columnWidth = std::max(columnWidth, shot.picture.width());
    std::vector<int> rowHeights;
    for (size_t first = 0; first < shots.size(); first += perRow) {
        int height = 0;
        for (size_t i = first; i < std::min(first + perRow, shots.size()); ++i)
            height = std::max(height, shots[i].picture.height());
        rowHeights.push_back(height + kCaption);
    }
    int total = kMargin;
    for (int height : rowHeights)
        total += height + kMargin;
    const int width = static_cast<int>(perRow) * (columnWidth + kMargin) + kMargin;
    QImage sheet(width, total, QImage::Format_ARGB32);
    sheet.fill(QColor(0xE9, 0xEC, 0xF0));
    QPainter painter(&sheet);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(14);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(QColor(0x33, 0x3A, 0x44));
    int y = kMargin;
    for (size_t i = 0; i < shots.size(); ++i) {
        const size_t column = i % perRow;
        const int x = kMargin + static_cast<int>(column) * (columnWidth + kMargin);
        painter.drawText(QPoint(x, y + 18), shots[i].caption);
        painter.drawImage(QPoint(x, y + kCaption), shots[i].picture);
        if (column + 1 == perRow || i + 1 == shots.size())
            y += rowHeights[i / perRow] + kMargin;
    }
    painter.end();
    return sheet;
}

// Writes the sheet of `shots` to `path`; false (with a warning) when it
// cannot.
inline bool SaveSheet(const std::vector<Shot>& shots, int columns, const QString& path) {
    if (ComposeSheet(shots, columns).save(path))
        return true;
    qWarning("could not write %s", qPrintable(path));
    return false;
}

}  // namespace ambrel::test
