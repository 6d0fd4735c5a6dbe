#include "ScanTables.h"

#include <algorithm>

#include "AdapterEnumeration.h"

namespace corvix {

ScanAdapterTable scanAdapterTable;
ApTable apTable;
std::array<ApListRecord, kListRecordCount> apListRecords;
std::atomic<uint8_t> listCount{0};

void ClearApTable() {
    apTable.count = 0;
    for (auto& entry : apTable.entries)
        entry = ApEntry{};
}

void RefreshListRecords() {
    const uint32_t count = std::min<uint32_t>(apTable.count, kMaxApEntries);
    for (uint32_t j = 0; j < count; ++j) {
        const ApEntry& entry = apTable.entries[j];
        apListRecords[j] = ApListRecord{entry.name, entry.model, entry.ipText, entry.macText};
    }
    listCount.store(static_cast<uint8_t>(count));
}

void ResetScanTables() {
    ReleaseAdapterLists();
    ClearApTable();
    for (auto& record : apListRecords)
        record = ApListRecord{};
    listCount.store(0);
}

}  // namespace corvix
