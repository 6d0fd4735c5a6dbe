#include "MacAddress.h"

#include <algorithm>
#include <cstdio>

namespace ambrel {

bool IsZeroMac(const MacAddress& mac) {
    return std::all_of(mac.begin(), mac.end(), [](uint8_t b) { return b == 0; });
}

std::string FormatMac(const MacAddress& mac, char separator) {
    char text[18];
    std::snprintf(text, sizeof text, "%02X%c%02X%c%02X%c%02X%c%02X%c%02X", mac[0], separator,
                  mac[1], separator, mac[2], separator, mac[3], separator, mac[4], separator,
                  mac[5]);
    return text;
}

std::string MacToHex(const MacAddress& mac) {
    char text[13];
    std::snprintf(text, sizeof text, "%02X%02X%02X%02X%02X%02X", mac[0], mac[1], mac[2], mac[3],
                  mac[4], mac[5]);
    return text;
}

namespace {
int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}
}  // namespace

std::optional<MacAddress> ParseMac(std::string_view text) {
    // Either "001122AABBCC" or "00:11:22:AA:BB:CC" / "00-11-22-AA-BB-CC".
    size_t stride = 2;
    if (text.size() == 17) {
        char separator = text[2];
        if (separator != ':' && separator != '-')
            return std::nullopt;
        for (size_t pos = 2; pos < text.size(); pos += 3) {
            if (text[pos] != separator)
                return std::nullopt;
        }
        stride = 3;
    } else if (text.size() != 12) {
        return std::nullopt;
    }
    MacAddress mac{};
    for (size_t i = 0; i < mac.size(); ++i) {
        int high = HexDigit(text[i * stride]);
        int low = HexDigit(text[i * stride + 1]);
        if (high < 0 || low < 0)
            return std::nullopt;
        mac[i] = static_cast<uint8_t>(high << 4 | low);
    }
    return mac;
}

}  // namespace ambrel
