#pragma once

// What the list rows of the scanner window show: a copy of the device table
// taken at the end of each scan.

#include <array>
#include <atomic>
#include <cstdint>
#include <string>

#include "CorvixLimits.h"

namespace corvix {

struct ApListRecord {
    std::u16string name;
    std::u16string model;
    std::u16string ipText;
    std::u16string macText;
};

extern std::array<ApListRecord, kListRecordCount> apListRecords;
// Number of valid records. Atomic because the window reads it while painting,
// which may happen while a scan on the worker thread sets it.
extern std::atomic<uint8_t> listCount;

// Sets `listCount` to the device table's count and overwrites the first
// `listCount` records from the device table; the records behind them are
// left as an earlier scan wrote them.
void RefreshListRecords();

}  // namespace corvix
