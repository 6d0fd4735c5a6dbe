#pragma once

// The parameter block a simulated device keeps in its non-volatile memory:
// where the fields live for each generation, how a default block is made and
// how the first generation's block checksum is kept.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "KeyDerivation.h"
#include "MacAddress.h"

namespace plcsim {

enum class Generation { First, Second };

// Device identifiers 0x20 and 0x21 are second-generation chips; all others
// are first-generation.
Generation GenerationOf(uint8_t deviceId);

struct BlockLayout {
    size_t mac;
    size_t deviceKey;
    size_t networkKey;
    size_t basePriorities;
    size_t mapSwitches;
    size_t priorityMap;
    // Smallest block that holds every field above.
    size_t minimumLength;
};

const BlockLayout& LayoutOf(Generation generation);

inline constexpr uint32_t kFirstGenerationBlockLength = 15560;
inline constexpr uint32_t kSecondGenerationBlockLength = 9040;
// The first generation stores the block length in 16 bits.
inline constexpr uint32_t kMaxFirstGenerationBlockLength = 0xFFFF;
inline constexpr uint32_t kMaxSecondGenerationBlockLength = 0x100000;

// First generation only: block length at 4, block checksum at 8.
inline constexpr size_t kBlockLengthOffset = 4;
inline constexpr size_t kBlockChecksumOffset = 8;

// A block as a device leaves the factory: recognisable filler bytes, the
// device's MAC, device access key and network key, plausible QoS settings
// and (first generation) a valid length and checksum. `length` must be at
// least the layout's minimum length.
std::vector<uint8_t> MakeDefaultBlock(Generation generation, uint32_t length,
                                      const ambrel::MacAddress& mac, const ambrel::Key16& deviceKey,
                                      const ambrel::Key16& networkKey);

// First generation: the checksum that makes the block valid, computed over
// (length field / 4) words with the checksum field taken as zero.
uint32_t ComputeBlockChecksum(std::span<const uint8_t> block);
// First generation: whether the length field fits the block and the stored
// checksum matches.
bool BlockIsValid(std::span<const uint8_t> block);
// First generation: rewrites the checksum field. False when the block is too
// short to hold it.
bool StoreBlockChecksum(std::vector<uint8_t>& block);

}  // namespace plcsim
