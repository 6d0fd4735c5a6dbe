#pragma once

// The local device's parameter block: reading it into pibImage and writing
// it back in the procedure of the device's generation, and the network
// membership key it carries.

#include <cstddef>
#include <cstdint>
#include <span>

#include "MacAddress.h"

namespace ambrel {

// Where the fields this program uses lie in a block.
struct PibLayout {
    size_t mac;
    size_t deviceKey;
    size_t networkKey;
    size_t basePriorities;
    size_t mapSwitches;
    size_t priorityMap;
    // A block shorter than this does not hold every field above.
    size_t minimumLength;
};

inline constexpr PibLayout kFirstGenerationLayout{12, 0x12, 0x64, 0x20C, 0x220, 0x224, 0x228};
inline constexpr PibLayout kSecondGenerationLayout{12, 0x3D2, 0x424, 0xAC0, 0xAD8, 0xADC, 0xAE0};

inline const PibLayout& PibLayoutOf(bool secondGeneration) {
    return secondGeneration ? kSecondGenerationLayout : kFirstGenerationLayout;
}

// First generation only: the 16-bit block length and the block checksum.
inline constexpr size_t kPibLengthOffset = 4;
inline constexpr size_t kPibChecksumOffset = 8;

// Reads the block of the device at `mac` into pibImage by the procedure of
// the local device's generation. On success the transfer's total length is
// the block's length. Fails, without writing past pibImage, when the block
// would not fit it or is too short to hold the fields above, and when a
// chunk does not follow the previous one or carries more than was asked.
bool ReadParameterBlock(const MacAddress& mac);

// Writes pibImage (the transfer's total length) back to the local device and
// commits it. The first generation's block checksum is set first. Refused
// when pibImage does not hold a block read from the device.
bool WriteParameterBlock();

// First generation: stores the block checksum of `block` (length field / 4
// words, the checksum field counted as zero). False when the block is too
// short for the fields or its length field exceeds it.
bool SetBlockChecksum(std::span<uint8_t> block);

// Copies the network membership key of pibImage to the local device.
void LoadNetworkKeyFromPib();

enum class NetworkKeyClass : int {
    DefaultNetwork = 1,  // the key every device has from the factory
    NamedNetwork = 2,    // the key of the local device's network name
    OtherNetwork = 3,    // some other private network
};

// Refreshes the local device's key from pibImage and tells which network it
// belongs to.
NetworkKeyClass ClassifyNetworkKey();

}  // namespace ambrel
