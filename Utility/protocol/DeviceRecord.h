#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "MacAddress.h"

namespace ambrel {

// Texts are 8-bit characters in the ANSI code page, NUL-terminated when
// shorter than their field.
template <size_t N>
using TextField = std::array<char, N>;

// The text of a fixed field up to its first NUL (or the whole field).
template <size_t N>
std::string_view FieldText(const TextField<N>& field) {
    std::string_view text(field.data(), N);
    size_t nul = text.find('\0');
    return nul == std::string_view::npos ? text : text.substr(0, nul);
}

// Copies text into a fixed field, cut to the field and zero-filled behind.
template <size_t N>
void SetFieldText(TextField<N>& field, std::string_view text) {
    field.fill('\0');
    text.copy(field.data(), std::min(text.size(), N));
}

// One powerline device.
struct DeviceRecord {
    MacAddress mac{};
    TextField<19> password{};
    std::array<uint8_t, 16> deviceKey{};
    TextField<24> networkName{};
    std::array<uint8_t, 16> networkKey{};
    TextField<24> name{};
    TextField<128> firmwareVersion{};
    uint32_t deviceId = 0;
    TextField<8> chipLabel{};
    uint8_t passwordOk = 0;  // joining with the remembered password last succeeded
    uint8_t answered = 0;    // a version confirmation came since the last network information
    uint8_t rate = 0;        // Mbit/s towards the station
};

// Inputs of the key-setting operations.
struct KeyRequestRecord {
    TextField<24> networkName{};
    std::array<uint8_t, 16> key{};
    MacAddress remoteMac{};
    TextField<19> password{};
    TextField<24> name{};
};

}  // namespace ambrel
