#pragma once

// The system's network interfaces as the adapter enumeration needs them:
// IPv4 addresses and masks from getifaddrs (in list order), the hardware
// address, and the default gateway from /proc/net/route.

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "CorvixLimits.h"

namespace corvix {

struct SystemAdapter {
    std::string name;
    std::string description;
    std::string gateway;  // dotted, empty without a default route through it
    std::array<uint8_t, kHardwareAddressSize> hardwareAddress{};
    // (address, mask) in network order, in the order the system lists them.
    std::vector<std::pair<uint32_t, uint32_t>> ipv4;
};

// Every interface except loopback, in the order of the system's list.
std::vector<SystemAdapter> ListSystemAdapters();

// Interface name -> dotted gateway of its first default route, from the text
// of /proc/net/route.
std::map<std::string, std::string> ParseDefaultGateways(std::string_view procNetRoute);

// True when the interface sits on a device (/sys/class/net/<name>/device exists).
bool IsPhysicalInterface(const std::string& name);

}  // namespace corvix
