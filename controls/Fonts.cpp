#include "Fonts.h"

#include "FontTable.h"
#include "Layout.h"
#include "ResourceBundle.h"

namespace ambrel {
namespace {

constexpr int kMaxFaceName = 31;
constexpr int kDialogFontId = 1006;
const char kFallbackFace[] = "DejaVu Sans";

}  // namespace

QFont LogFont::ToQFont() const {
    QFont font(faceName.isEmpty() ? QString::fromLatin1(kFallbackFace) : faceName);
    font.setStyleHint(QFont::SansSerif);
    if (height > 0)
        font.setPixelSize(height);
    font.setWeight(static_cast<QFont::Weight>(qBound(100, weight, 900)));
    font.setItalic(italic);
    font.setUnderline(underline);
    font.setStrikeOut(strikeOut);
    return font;
}

FontRow FontTableRow(int fontNameId) {
    for (const FontEntry& entry : kFontTable) {
        if (entry.nameId == fontNameId)
            return {entry.sizeId, entry.weight, entry.italic};
    }
    return {kFontDefaultSize, 400, false};
}

int FontPixelHeight(int fontNameId) {
    int points = ReadLayoutInt(FontTableRow(fontNameId).sizeId);
    return (points >= 1 && points <= 100) ? points * 96 / 72 : 8;
}

LogFont MakeLogFont(int fontNameId) {
    FontRow row = FontTableRow(fontNameId);
    LogFont font;
    font.height = FontPixelHeight(fontNameId);
    font.weight = row.weight;
    font.italic = row.italic;
    font.faceName = FindString(fontNameId).value_or(QString()).left(kMaxFaceName);
    return font;
}

QFont MakeDialogFont() {
    LogFont font = MakeLogFont(kDialogFontId);
    font.italic = false;
    if (font.faceName.isEmpty())
        font.faceName = QString::fromLatin1(kFallbackFace);
    return font.ToQFont();
}

}  // namespace ambrel
