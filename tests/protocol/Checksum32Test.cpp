#include "Checksum32.h"

#include <gtest/gtest.h>

#include <vector>

namespace ambrel {
namespace {

TEST(Checksum32, ComplementedXorOfLittleEndianWords) {
    struct Case {
        std::vector<uint8_t> bytes;
        size_t words;
        uint32_t expected;
    };
    const Case cases[] = {
        {{0x01, 0, 0, 0, 0x02, 0, 0, 0}, 2, 0xFFFFFFFC},
        {{}, 0, 0xFFFFFFFF},
        {{0x78, 0x56, 0x34, 0x12}, 1, ~0x12345678u},
        // A tail shorter than a word is not covered.
        {{0x01, 0, 0, 0, 0xAA, 0xBB}, 6 / 4, ~1u},
        // Words past the buffer are never read.
        {{0x01, 0, 0, 0}, 5, ~1u},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Checksum32(c.bytes, c.words), c.expected);
    }
}

TEST(Checksum32, WrittenIntoTheBlockMakesTheWholeBlockSumToZero) {
    std::vector<uint8_t> block(64);
    for (size_t i = 0; i < block.size(); ++i)
        block[i] = static_cast<uint8_t>(i * 7 + 3);
    block[8] = block[9] = block[10] = block[11] = 0;
    uint32_t sum = Checksum32(block, block.size() / 4);
    for (int i = 0; i < 4; ++i)
        block[8 + i] = static_cast<uint8_t>(sum >> (8 * i));
    EXPECT_EQ(Checksum32(block, block.size() / 4), 0u);
}

}  // namespace
}  // namespace ambrel
