#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace ambrel {

// Six bytes in network order.
using MacAddress = std::array<uint8_t, 6>;

inline constexpr MacAddress kBroadcastMac{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
// The address every powerline device answers to on its own Ethernet side.
inline constexpr MacAddress kLocalManagementAddress{0x00, 0xB0, 0x52, 0x00, 0x00, 0x01};

bool IsZeroMac(const MacAddress& mac);

// "00:B0:52:00:00:01": how the windows and the command line show an address.
std::string FormatMac(const MacAddress& mac, char separator = ':');

// "00B052000001": how config.ini stores an address.
std::string MacToHex(const MacAddress& mac);

// Twelve hexadecimal digits in either case, optionally split by ':' or '-'
// between the bytes. Anything else is refused.
std::optional<MacAddress> ParseMac(std::string_view text);

}  // namespace ambrel
