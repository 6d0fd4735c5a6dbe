#pragma once

// The arithmetic of the scanner's device list: 32 rows, at most 10 on show
// from topIndex on, a scroll bar whose page is 10 rows.

#include <algorithm>

namespace corvix {

inline constexpr int kListRows = 32;
inline constexpr int kVisibleRows = 10;
// Width of a row's background while the scroll bar is on show: the row ends
// where the bar begins.
inline constexpr int kScrolledRowWidth = 566;

// The focus index a layout stores: one past the end becomes the last row
// (-1 for an empty list, and then no row gets the focus), below 0 becomes 0.
constexpr int ClampFocusIndex(int focus, int rowCount) {
    if (focus >= rowCount)
        return rowCount - 1;
    return focus < 0 ? 0 : focus;
}

// The largest topIndex: the position that shows the last nine rows and one
// empty slot (a bar of maximum rowCount and page 10), 0 when all rows fit.
constexpr int MaxTopIndex(int rowCount) {
    return std::max(0, rowCount - (kVisibleRows - 1));
}

// Whether row `index` is on show with `topIndex` as first row.
constexpr bool IsRowOnShow(int index, int topIndex, int rowCount) {
    return index >= topIndex && index <= topIndex + kVisibleRows - 1 && index < rowCount;
}

// The scroll bar is shown (and rows drawn narrower) from 10 rows on.
constexpr bool NeedsScrollBar(int rowCount) {
    return rowCount >= kVisibleRows;
}

}  // namespace corvix
