#pragma once

// The 160-byte answer of an access point:
//   0   2    type, 2 big-endian (00 02)
//   2   4    IPv4 address, network order
//   6   6    MAC address
//   12  20   model, ANSI, NUL-terminated within the field
//   32  128  name, ANSI, NUL-terminated within the field

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "CorvixLimits.h"

namespace corvix {

inline constexpr uint16_t kAnswerType = 2;
inline constexpr size_t kAnswerTypeOffset = 0;
inline constexpr size_t kAnswerAddressOffset = 2;
inline constexpr size_t kAnswerMacOffset = 6;
inline constexpr size_t kAnswerModelOffset = 12;
inline constexpr size_t kAnswerModelSize = 20;
inline constexpr size_t kAnswerNameOffset = 32;
inline constexpr size_t kAnswerNameSize = 128;
static_assert(kAnswerNameOffset + kAnswerNameSize == kAnswerSize);

struct DiscoveryAnswer {
    std::array<uint8_t, 4> address{};
    std::array<uint8_t, 6> mac{};
    std::u16string model;
    std::u16string name;
};

// True for a datagram that is exactly 160 bytes long and begins 00 02.
bool IsDiscoveryAnswer(std::span<const uint8_t> datagram);

// The fields of an accepted answer; nullopt for any other datagram. Texts
// are decoded as DecodeAnsiField does (cut at NUL or field end, undefined
// bytes as U+FFFD).
std::optional<DiscoveryAnswer> ParseDiscoveryAnswer(std::span<const uint8_t> datagram);

}  // namespace corvix
