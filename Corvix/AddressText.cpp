#include "AddressText.h"

#include <arpa/inet.h>

#include <cstdio>
#include <cstring>

namespace corvix {

std::array<uint8_t, 4> Ipv4Octets(uint32_t networkOrder) {
    std::array<uint8_t, 4> octets{};
    std::memcpy(octets.data(), &networkOrder, octets.size());
    return octets;
}

uint32_t Ipv4FromOctets(std::span<const uint8_t, 4> octets) {
    uint32_t value = 0;
    std::memcpy(&value, octets.data(), sizeof value);
    return value;
}

std::u16string AsciiToU16(std::string_view ascii) {
    return std::u16string(ascii.begin(), ascii.end());
}

std::u16string FormatIpv4(std::span<const uint8_t, 4> octets) {
    char text[16];
    std::snprintf(text, sizeof text, "%d.%d.%d.%d", octets[0], octets[1], octets[2], octets[3]);
    return AsciiToU16(text);
}

std::u16string FormatIpv4(uint32_t networkOrder) {
    auto octets = Ipv4Octets(networkOrder);
    return FormatIpv4(std::span<const uint8_t, 4>(octets));
}

std::u16string FormatMac(std::span<const uint8_t, 6> mac) {
    char text[18];
    std::snprintf(text, sizeof text, "%02X-%02X-%02X-%02X-%02X-%02X", mac[0], mac[1], mac[2],
                  mac[3], mac[4], mac[5]);
    return AsciiToU16(text);
}

std::optional<uint32_t> ParseIpv4(std::u16string_view text) {
    if (text.size() > 15)
        return std::nullopt;
    std::string ascii;
    for (char16_t unit : text) {
        if (unit > 0x7F)
            return std::nullopt;
        ascii.push_back(static_cast<char>(unit));
    }
    in_addr address{};
    if (inet_pton(AF_INET, ascii.c_str(), &address) != 1)
        return std::nullopt;
    return address.s_addr;
}

}  // namespace corvix
