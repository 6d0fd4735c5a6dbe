#pragma once

// The access points that the simulator pretends to be.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace apsim {

struct SimDevice {
    std::string model;     // UTF-8; sent in GBK, at most 20 bytes there
    std::string name;      // UTF-8; sent in GBK, at most 128 bytes there
    uint32_t address = 0;  // IPv4, network order
    std::array<uint8_t, 6> mac{};
};

// "MODEL,NAME,IP,MAC": the model runs to the first comma, IP and MAC are the
// last two fields, and the name is everything between (it may hold commas).
// MAC as six hexadecimal pairs separated by ':' or '-'. The texts must be
// valid UTF-8 that GBK can encode within the answer's fields. On failure
// `error` says why.
std::optional<SimDevice> ParseDeviceSpec(std::string_view spec, std::string& error);

// One device spec per line; blank lines and lines starting with '#' are
// skipped.
std::optional<std::vector<SimDevice>> ParseDeviceFile(std::string_view text, std::string& error);

// `count` devices: model "SIM-AP", name "AP-<n>" (n from 1), addresses from
// `firstAddress` on, MACs 02:00:00:00:<n high>:<n low>.
std::vector<SimDevice> NumberedDevices(int count, uint32_t firstAddress);

std::optional<std::array<uint8_t, 6>> ParseMac(std::string_view text);
std::optional<uint32_t> ParseAddress(std::string_view text);
std::string AddressText(uint32_t networkOrder);

}  // namespace apsim
