#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace ambrel {

// The complemented XOR of the first `words` little-endian 32-bit words of
// `bytes`. Callers pass length / 4, so a tail of 1 to 3 bytes is not covered.
// Words that would run past the buffer are not read.
uint32_t Checksum32(std::span<const uint8_t> bytes, size_t words);

}  // namespace ambrel
