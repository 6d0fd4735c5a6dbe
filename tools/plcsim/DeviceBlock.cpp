#include "DeviceBlock.h"

#include <algorithm>

#include "ByteCursor.h"
#include "Checksum32.h"

namespace plcsim {

using ambrel::ByteReader;
using ambrel::ByteWriter;

Generation GenerationOf(uint8_t deviceId) {
    return deviceId == 0x20 || deviceId == 0x21 ? Generation::Second : Generation::First;
}

const BlockLayout& LayoutOf(Generation generation) {
    static const BlockLayout first{12, 0x12, 0x64, 0x20C, 0x220, 0x224, 0x224 + 4};
    static const BlockLayout second{12, 0x3D2, 0x424, 0xAC0, 0xAD8, 0xADC, 0xADC + 4};
    return generation == Generation::First ? first : second;
}

std::vector<uint8_t> MakeDefaultBlock(Generation generation, uint32_t length,
                                      const ambrel::MacAddress& mac, const ambrel::Key16& deviceKey,
                                      const ambrel::Key16& networkKey) {
    const BlockLayout& layout = LayoutOf(generation);
    std::vector<uint8_t> block(std::max<size_t>(length, layout.minimumLength));
    // Filler that differs from byte to byte and from device to device, so a
    // transfer that shifts or drops a chunk shows.
    for (size_t i = 0; i < block.size(); ++i) {
        block[i] = static_cast<uint8_t>((i * 7 + mac[5] + (i >> 8)) & 0xFF);
    }
    ByteWriter writer(block);
    if (generation == Generation::First) {
        writer.Le32(0, 0x00000001);  // block format version
        writer.Le32(kBlockLengthOffset, 0);
        writer.Le16(kBlockLengthOffset, static_cast<uint16_t>(block.size()));
    }
    writer.Bytes(layout.mac, mac);
    writer.Bytes(layout.deviceKey, deviceKey);
    writer.Bytes(layout.networkKey, networkKey);
    // Base priorities 0..3, both maps switched on, priority values 0,1,2,3.
    const uint8_t base[4] = {0, 1, 2, 3};
    writer.Bytes(layout.basePriorities, base);
    writer.U8(layout.mapSwitches, 1);
    writer.U8(layout.mapSwitches + 1, 1);
    writer.Fill(layout.priorityMap, 4, 0xE4);
    if (generation == Generation::First)
        StoreBlockChecksum(block);
    return block;
}

uint32_t ComputeBlockChecksum(std::span<const uint8_t> block) {
    ByteReader reader(block);
    auto length = reader.Le16(kBlockLengthOffset);
    auto stored = reader.Le32(kBlockChecksumOffset);
    if (!length || !stored)
        return 0;
    size_t covered = std::min<size_t>(*length, block.size());
    // The complemented XOR with the checksum word taken as zero: undo its
    // contribution instead of copying the block.
    uint32_t sum = ambrel::Checksum32(block, covered / 4);
    if (covered >= kBlockChecksumOffset + 4)
        sum ^= *stored;
    return sum;
}

bool BlockIsValid(std::span<const uint8_t> block) {
    ByteReader reader(block);
    auto length = reader.Le16(kBlockLengthOffset);
    auto stored = reader.Le32(kBlockChecksumOffset);
    if (!length || !stored)
        return false;
    if (*length > block.size() || *length < kBlockChecksumOffset + 4)
        return false;
    return ComputeBlockChecksum(block) == *stored;
}

bool StoreBlockChecksum(std::vector<uint8_t>& block) {
    ByteWriter writer(block);
    if (!writer.Has(kBlockChecksumOffset, 4))
        return false;
    return writer.Le32(kBlockChecksumOffset, ComputeBlockChecksum(block));
}

}  // namespace plcsim
