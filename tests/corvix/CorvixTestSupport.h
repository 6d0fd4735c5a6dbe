#pragma once

// Helpers shared by the Corvix tests.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "AdapterEnumeration.h"
#include "SystemAdapters.h"

namespace corvix::test {

// Bytes of a hex file in tests/corvix/data: pairs of hex digits separated by
// blanks; lines starting with '#' are notes.
std::vector<uint8_t> ReadHexFile(const std::string& name);

// Network-order IPv4 of a dotted text; fails the test on a bad text.
uint32_t Ip(const char* dotted);

// A system adapter with the given dotted address/mask pairs.
SystemAdapter MakeAdapter(const std::string& name,
                          const std::vector<std::pair<const char*, const char*>>& pairs);

// Fills the process-wide adapter table from `adapters`, taking all of them.
void FillTable(const std::vector<SystemAdapter>& adapters);

// A valid 160-byte answer.
std::vector<uint8_t> MakeAnswer(std::array<uint8_t, 4> address, std::array<uint8_t, 6> mac,
                                const std::string& model, const std::string& name);

// An ASCII text as UTF-16.
inline std::u16string AsU16(const std::string& ascii) {
    return std::u16string(ascii.begin(), ascii.end());
}

}  // namespace corvix::test
