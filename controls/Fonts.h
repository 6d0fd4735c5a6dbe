#pragma once

// Fonts chosen by the id of their font-name string (the font table of
// ResourceIds.h gives the size string, weight and italics).

#include <QFont>
#include <QString>
#include <cstdint>

namespace ambrel {

// The description the windows keep and edit (bold on, point size changed,
// ...), with the fields the skinned statics have always worked with.
struct LogFont {
    int height = 0;  // pixels, cell height
    int width = 0;
    int escapement = 0;   // tenths of a degree
    int orientation = 0;  // tenths of a degree
    int weight = 400;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    uint8_t charSet = 0;            // ANSI
    uint8_t pitchAndFamily = 0x20;  // variable pitch, Swiss family
    QString faceName;               // at most 31 characters

    QFont ToQFont() const;
    bool operator==(const LogFont&) const = default;
};

// The table row of font-name `fontNameId`: its size string id, weight, italics.
struct FontRow {
    int sizeId;
    int weight;
    bool italic;
};
FontRow FontTableRow(int fontNameId);

// v * 96 / 72 for a size string v of 1 to 100, else 8.
int FontPixelHeight(int fontNameId);

LogFont MakeLogFont(int fontNameId);

// The message box's font: entry 1006, face from string 1006 or the default
// sans-serif face when that string is missing; not italic.
QFont MakeDialogFont();

}  // namespace ambrel
