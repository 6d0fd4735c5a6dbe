#include "DiscoveryAnswer.h"

#include <algorithm>

#include "ByteCursor.h"
#include "FieldText.h"

namespace corvix {

bool IsDiscoveryAnswer(std::span<const uint8_t> datagram) {
    ambrel::ByteReader reader(datagram);
    return reader.Size() == kAnswerSize && reader.Be16(kAnswerTypeOffset) == kAnswerType;
}

std::optional<DiscoveryAnswer> ParseDiscoveryAnswer(std::span<const uint8_t> datagram) {
    if (!IsDiscoveryAnswer(datagram))
        return std::nullopt;
    ambrel::ByteReader reader(datagram);
    auto address = reader.Bytes(kAnswerAddressOffset, 4);
    auto mac = reader.Bytes(kAnswerMacOffset, 6);
    auto model = reader.Bytes(kAnswerModelOffset, kAnswerModelSize);
    auto name = reader.Bytes(kAnswerNameOffset, kAnswerNameSize);
    if (!address || !mac || !model || !name)
        return std::nullopt;
    DiscoveryAnswer answer;
    std::copy(address->begin(), address->end(), answer.address.begin());
    std::copy(mac->begin(), mac->end(), answer.mac.begin());
    answer.model = DecodeAnsiField(*model, kCorvixLanguage, kModelWidth);
    answer.name = DecodeAnsiField(*name, kCorvixLanguage, kNameWidth);
    return answer;
}

}  // namespace corvix
