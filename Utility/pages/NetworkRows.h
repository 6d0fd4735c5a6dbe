#pragma once

// What the Network page shows in its rows and where the rows go: the row
// texts of a device record, the scroll bar's answer to a scroll request and
// the placement of the 32 row windows, at most seven of them visible.

#include <array>
#include <cstdint>
#include <string>

#include "DeviceRecord.h"

namespace ambrel {

inline constexpr int kRowCount = 32;
inline constexpr int kVisibleRows = 7;
inline constexpr int kScrollPageRows = 3;

struct RowTexts {
    std::u16string name;      // control 1017
    std::u16string password;  // control 1018: "Not:" before a password that never joined
    std::u16string rate;      // control 1021
    std::u16string mac;       // control 1022
};

// The average rate of a raw rate byte: byte × 200 / 151 Mbps, "    ?" for 0.
std::u16string RateText(uint8_t raw);
RowTexts MakeRowTexts(const DeviceRecord& record, int languageId);

enum class ScrollRequest { LineUp, LineDown, PageUp, PageDown, Thumb, Other };

// The new first row on show after a request on a list of `count` rows:
// one row or three at a time, never before the first row nor past the
// position that shows the last ones.
int ScrollPosition(int position, ScrollRequest request, int count, int thumb = 0);

struct RowPlacement {
    bool visible = false;
    int y = 0;
    int height = 0;
    bool focused = false;
};

struct RowLayout {
    std::array<RowPlacement, kRowCount> rows{};
    int focusedRow = 0;
};

// Rows from `scroll` on, at most seven, stacked from `top`; the focus is
// clamped to the valid rows (0 for an empty list).
RowLayout LayoutRows(int scroll, int count, int focus, int top, int rowHeight);

}  // namespace ambrel
