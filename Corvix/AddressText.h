#pragma once

// Dotted IPv4 and hyphenated MAC texts. Numeric IPv4 addresses are 32-bit
// values in network order (as `in_addr::s_addr` holds them).

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace corvix {

// "%d.%d.%d.%d", first octet first.
std::u16string FormatIpv4(std::span<const uint8_t, 4> octets);
std::u16string FormatIpv4(uint32_t networkOrder);

// "%02X-%02X-%02X-%02X-%02X-%02X".
std::u16string FormatMac(std::span<const uint8_t, 6> mac);

// Strict dotted-quad parse; nullopt for anything else.
std::optional<uint32_t> ParseIpv4(std::u16string_view text);

// The four octets of a network-order address, first octet first.
std::array<uint8_t, 4> Ipv4Octets(uint32_t networkOrder);
uint32_t Ipv4FromOctets(std::span<const uint8_t, 4> octets);

std::u16string AsciiToU16(std::string_view ascii);

}  // namespace corvix
