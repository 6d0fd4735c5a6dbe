#pragma once

// The physical adapters that a scan sends its requests through.

#include <array>
#include <cstdint>
#include <string>

#include "AddressPair.h"
#include "CorvixLimits.h"

namespace corvix {

struct ScanAdapter {
    std::u16string name;         // interface name, at most kAdapterNameWidth units
    std::u16string description;  // at most kAdapterDescriptionWidth units
    std::u16string gateway;      // default gateway through this adapter, dotted; may be empty
    std::array<uint8_t, kHardwareAddressSize> hardwareAddress{};  // 6 bytes used for Ethernet
    AddressPair addresses;  // first IPv4 address inline, the others chained
};

// Entries are filled from the front; `count` says how many are valid.
struct ScanAdapterTable {
    uint32_t count = 0;
    std::array<ScanAdapter, kMaxScanAdapters> adapters;
};

// The process-wide adapter table.
extern ScanAdapterTable scanAdapterTable;

}  // namespace corvix
