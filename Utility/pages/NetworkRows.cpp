#include "NetworkRows.h"

#include <algorithm>

#include "CodePage.h"

namespace ambrel {

namespace {

std::u16string Ascii(std::string_view text) {
    return {text.begin(), text.end()};
}

// A fixed ANSI field as text; bytes that do not convert show as U+FFFD
// rather than hiding the whole field.
template <size_t N>
std::u16string FieldToText(const TextField<N>& field, int languageId) {
    std::string_view bytes = FieldText(field);
    if (auto text = FromAnsi(bytes, languageId))
        return *text;
    std::u16string fallback;
    for (unsigned char c : bytes)
        fallback += c < 0x80 ? static_cast<char16_t>(c) : u'\uFFFD';
    return fallback;
}

}  // namespace

std::u16string RateText(uint8_t raw) {
    if (raw == 0)
        return u"    ?";
    return Ascii(std::to_string(raw * 200 / 151) + " Mbps");
}

RowTexts MakeRowTexts(const DeviceRecord& record, int languageId) {
    RowTexts texts;
    texts.name = FieldToText(record.name, languageId);
    texts.password = FieldToText(record.password, languageId);
    if (!texts.password.empty() && record.passwordOk == 0)
        texts.password = u"Not:" + texts.password;
    texts.rate = RateText(record.rate);
    texts.mac = Ascii(FormatMac(record.mac));
    return texts;
}

int ScrollPosition(int position, ScrollRequest request, int count, int thumb) {
    // The bar spans the rows with a page of seven, so its last position
    // still shows the last rows: never an empty list because of scrolling.
    const int last = std::max(count - kVisibleRows + 1, 0);
    switch (request) {
        case ScrollRequest::LineUp:
            position -= 1;
            break;
        case ScrollRequest::LineDown:
            position += 1;
            break;
        case ScrollRequest::PageUp:
            position -= kScrollPageRows;
            break;
        case ScrollRequest::PageDown:
            position += kScrollPageRows;
            break;
        case ScrollRequest::Thumb:
            position = thumb;
            break;
        case ScrollRequest::Other:
            break;
    }
    return std::clamp(position, 0, last);
}

RowLayout LayoutRows(int scroll, int count, int focus, int top, int rowHeight) {
    RowLayout layout;
    count = std::clamp(count, 0, kRowCount);
    layout.focusedRow = count == 0 ? 0 : std::clamp(focus, 0, count - 1);
    const int bottom = top + kVisibleRows * rowHeight;
    int y = top;
    for (int r = 0; r < kRowCount; ++r) {
        RowPlacement& row = layout.rows[static_cast<size_t>(r)];
        if (r < scroll || r > scroll + kVisibleRows - 1 || r >= count)
            continue;
        row.visible = true;
        row.y = y;
        row.height = std::min(rowHeight, bottom - y);
        row.focused = r == layout.focusedRow;
        y += rowHeight;
    }
    return layout;
}

}  // namespace ambrel
