// Feeds arbitrary parameter blocks to the QoS unpacking and packing and to
// the block checksum. The first byte picks the generation's layout, the rest
// is the block. Unpacking and packing again must give the block back byte
// for byte; a stored checksum must make the block's complemented XOR zero.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "Checksum32.h"
#include "ParameterBlock.h"
#include "QosPacking.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    const ambrel::PibLayout& layout = ambrel::PibLayoutOf((data[0] & 1) != 0);
    const std::vector<uint8_t> block(data + 1, data + size);

    if (auto qos = ambrel::UnpackQos(block, layout)) {
        for (uint8_t value : qos->vlanPriorityMap) {
            if (value > 3)
                std::abort();
        }
        std::vector<uint8_t> packed = block;
        if (!ambrel::PackQos(packed, layout, *qos) || packed != block)
            std::abort();
    } else {
        std::vector<uint8_t> untouched = block;
        if (ambrel::PackQos(untouched, layout, ambrel::QosPreset(1)) || untouched != block) {
            std::abort();
        }
    }

    std::vector<uint8_t> summed = block;
    if (ambrel::SetBlockChecksum(summed)) {
        const size_t length = static_cast<size_t>(summed[4] | summed[5] << 8);
        if (length > summed.size() || ambrel::Checksum32(summed, length / 4) != 0)
            std::abort();
    } else if (summed != block) {
        std::abort();
    }
    return 0;
}
