#pragma once

// The 164-byte discovery request:
//   0  2  type, 1 little-endian (01 00)
//   2  2  pairCount, little-endian, at most 20
//   4+8k  4  address k, network order
//   8+8k  4  mask k, network order
// Bytes not written are zero.

#include <array>
#include <cstddef>
#include <cstdint>

#include "CorvixLimits.h"
#include "ScanAdapter.h"

namespace corvix {

using DiscoveryRequest = std::array<uint8_t, kRequestSize>;

inline constexpr uint16_t kRequestType = 1;
inline constexpr size_t kRequestTypeOffset = 0;
inline constexpr size_t kRequestPairCountOffset = 2;
inline constexpr size_t kRequestPairsOffset = 4;
inline constexpr size_t kRequestPairSize = 8;
static_assert(kRequestPairsOffset + kMaxAddressPairs * kRequestPairSize == kRequestSize);

// The request listing the address pairs of every adapter of `table`: adapter
// by adapter, each in chain order, at most 20 pairs. A pair whose text is not
// a dotted IPv4 address is written as zeros.
DiscoveryRequest BuildDiscoveryRequest(const ScanAdapterTable& table);

// The directed broadcast address of a subnet: address OR NOT mask.
constexpr uint32_t DirectedBroadcast(uint32_t address, uint32_t mask) {
    return address | ~mask;
}

}  // namespace corvix
