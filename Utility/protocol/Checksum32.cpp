#include "Checksum32.h"

#include "ByteCursor.h"

namespace ambrel {

uint32_t Checksum32(std::span<const uint8_t> bytes, size_t words) {
    ByteReader reader(bytes);
    uint32_t sum = 0;
    for (size_t i = 0; i < words; ++i) {
        auto word = reader.Le32(i * 4);
        if (!word)
            break;
        sum ^= *word;
    }
    return ~sum;
}

}  // namespace ambrel
