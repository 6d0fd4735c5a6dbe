// Fuzzes the answer parser and the device table: any datagram, recorded
// repeatedly, must leave the table within its bounds and every text within
// its field.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "CorvixLimits.h"
#include "DiscoveryAnswer.h"
#include "RecordAnswer.h"
#include "ScanTables.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::span<const uint8_t> input(data, size);
    corvix::ClearApTable();

    // The whole input as one datagram, then every 160-byte window of it, so
    // that long inputs also drive the duplicate and table-full paths.
    corvix::ParseDiscoveryAnswer(input);
    corvix::RecordAnswer(input);
    for (size_t offset = 0; offset + corvix::kAnswerSize <= size; offset += 7) {
        corvix::RecordAnswer(input.subspan(offset, corvix::kAnswerSize));
    }

    if (corvix::apTable.count > corvix::kMaxApEntries)
        std::abort();
    for (uint32_t i = 0; i < corvix::apTable.count; ++i) {
        const corvix::ApEntry& entry = corvix::apTable.entries[i];
        if (entry.model.size() > corvix::kModelWidth || entry.name.size() > corvix::kNameWidth ||
            entry.ipText.size() > corvix::kAddressTextWidth || entry.macText.size() != 17) {
            std::abort();
        }
    }
    corvix::RefreshListRecords();
    return 0;
}
