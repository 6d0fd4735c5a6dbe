#pragma once

// The font table: a font is chosen by the id of its font-name string; the
// table gives the id of its size string (points), its weight and italics.
// Fonts not in the table take size string 1005, weight 400, upright.

#include <array>

namespace ambrel {

struct FontEntry {
    int nameId;
    int sizeId;
    int weight;
    bool italic;
};

inline constexpr int kFontDefaultSize = 1005;

inline constexpr std::array<FontEntry, 8> kFontTable = {{
    {1003, 1001, 700, false},
    {1004, 1002, 400, false},
    {1006, 1031, 400, false},
    {1022, 1023, 700, false},
    {1024, 1029, 400, false},
    {1025, 1030, 700, false},
    {1026, 1032, 400, true},
    {1027, 1032, 400, false},
}};

}  // namespace ambrel
