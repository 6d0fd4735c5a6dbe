#pragma once

// Storing answers in the device table.

#include <cstdint>
#include <span>

namespace corvix {

// Stores one answer in `apTable`: an entry with the same MAC text is
// overwritten in place, otherwise the device is appended. Returns false, and
// changes nothing, when the datagram is not an answer (IsDiscoveryAnswer) or
// the table already holds kMaxApEntries devices (then even a listed device is
// not updated).
bool RecordAnswer(std::span<const uint8_t> datagram);

}  // namespace corvix
