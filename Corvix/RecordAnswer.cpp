#include "RecordAnswer.h"

#include "AddressText.h"
#include "ApTable.h"
#include "DiscoveryAnswer.h"
#include "FieldText.h"

namespace corvix {

bool RecordAnswer(std::span<const uint8_t> datagram) {
    auto answer = ParseDiscoveryAnswer(datagram);
    if (!answer)
        return false;
    ApEntry fresh;
    fresh.ipText =
        CutToField(FormatIpv4(std::span<const uint8_t, 4>(answer->address)), kAddressTextWidth);
    fresh.macText = CutToField(FormatMac(std::span<const uint8_t, 6>(answer->mac)), kMacTextWidth);
    fresh.model = std::move(answer->model);
    fresh.name = std::move(answer->name);

    if (apTable.count >= kMaxApEntries)
        return false;
    for (uint32_t i = 0; i < apTable.count; ++i) {
        if (apTable.entries[i].macText == fresh.macText) {
            apTable.entries[i] = std::move(fresh);
            return true;
        }
    }
    apTable.entries[apTable.count] = std::move(fresh);
    ++apTable.count;
    return true;
}

}  // namespace corvix
