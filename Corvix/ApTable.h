#pragma once

// The access points that answered the current scan, one per MAC address.

#include <array>
#include <cstdint>
#include <string>

#include "CorvixLimits.h"

namespace corvix {

struct ApEntry {
    std::u16string model;    // at most kModelWidth units
    std::u16string name;     // at most kNameWidth units
    std::u16string ipText;   // "%d.%d.%d.%d"
    std::u16string macText;  // "%02X-%02X-%02X-%02X-%02X-%02X"
};

struct ApTable {
    uint32_t count = 0;
    std::array<ApEntry, kMaxApEntries> entries;
};

// The process-wide device table.
extern ApTable apTable;

// Empties the device table (count 0, every entry cleared).
void ClearApTable();

}  // namespace corvix
