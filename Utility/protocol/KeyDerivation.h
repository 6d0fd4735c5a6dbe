#pragma once

// Key generation of the HomePlug AV standard (PBKDF1 with SHA-256, 1000
// iterations, first 16 bytes of the last digest), the random private key and
// the default device password that a device carries from the factory.

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

#include "MacAddress.h"

namespace ambrel {

using Key16 = std::array<uint8_t, 16>;

inline constexpr std::array<uint8_t, 8> kNetworkKeySalt{0x08, 0x85, 0x6D, 0xAF,
                                                        0x7C, 0xF5, 0x81, 0x86};
inline constexpr std::array<uint8_t, 8> kDeviceKeySalt{0x08, 0x85, 0x6D, 0xAF,
                                                       0x7C, 0xF5, 0x81, 0x85};
inline constexpr std::string_view kDefaultNetworkPassword = "HomePlugAV";
// The key of the default network password: where every device starts.
inline constexpr Key16 kDefaultNetworkKey{0x50, 0xD3, 0xE4, 0x93, 0x3F, 0x85, 0x5B, 0x70,
                                          0x40, 0x78, 0x4D, 0xF8, 0x15, 0xAA, 0x8D, 0xB7};

inline constexpr size_t kMaxNetworkNameChars = 64;
inline constexpr size_t kDevicePasswordLength = 19;

// The name is taken up to its first NUL, at most 64 characters.
Key16 DeriveNetworkKey(std::string_view networkName);
// The password (a whole 19-byte field may be passed) is taken up to its
// first NUL, at most 19 characters.
Key16 DeriveDeviceKey(std::string_view password);

// A key from the system's cryptographic random source, never the default
// network's key.
void RandomNetworkKey(Key16& out);

// A 32-bit value from the same source (transaction identifiers).
uint32_t RandomWord();

// Four groups of four upper-case letters joined by hyphens, 19 characters,
// written without terminator. The same MAC always gives the same password.
void DefaultDevicePassword(const MacAddress& mac, std::span<char, kDevicePasswordLength> out);
std::array<char, kDevicePasswordLength> DefaultDevicePassword(const MacAddress& mac);

}  // namespace ambrel
