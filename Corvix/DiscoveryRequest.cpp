#include "DiscoveryRequest.h"

#include <algorithm>

#include "AddressText.h"
#include "ByteCursor.h"

namespace corvix {
namespace {

void WriteAddress(ambrel::ByteWriter& writer, size_t offset, const std::u16string& text) {
    const auto octets = Ipv4Octets(ParseIpv4(text).value_or(0));
    writer.Bytes(offset, octets);
}

}  // namespace

DiscoveryRequest BuildDiscoveryRequest(const ScanAdapterTable& table) {
    DiscoveryRequest request{};
    ambrel::ByteWriter writer(request);
    writer.Le16(kRequestTypeOffset, kRequestType);
    uint16_t pairCount = 0;
    const uint32_t adapters = std::min<uint32_t>(table.count, kMaxScanAdapters);
    for (uint32_t i = 0; i < adapters && pairCount < kMaxAddressPairs; ++i) {
        for (const AddressPair* pair = &table.adapters[i].addresses;
             pair != nullptr && pairCount < kMaxAddressPairs; pair = pair->next.get()) {
            const size_t offset = kRequestPairsOffset + pairCount * kRequestPairSize;
            WriteAddress(writer, offset, pair->address);
            WriteAddress(writer, offset + 4, pair->mask);
            ++pairCount;
        }
    }
    writer.Le16(kRequestPairCountOffset, pairCount);
    return request;
}

}  // namespace corvix
