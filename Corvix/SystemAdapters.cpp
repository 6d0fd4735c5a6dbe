#include "SystemAdapters.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netpacket/packet.h>

#include <algorithm>
#include <charconv>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>

namespace corvix {
namespace {

constexpr unsigned kRouteUp = 0x1;       // RTF_UP
constexpr unsigned kRouteGateway = 0x2;  // RTF_GATEWAY

std::optional<uint32_t> ParseHex32(std::string_view text) {
    uint32_t value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
    if (error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

std::string DottedText(uint32_t networkOrder) {
    char text[INET_ADDRSTRLEN] = {};
    in_addr address{};
    address.s_addr = networkOrder;
    inet_ntop(AF_INET, &address, text, sizeof text);
    return text;
}

std::string ReadFile(const std::string& path) {
    std::ifstream file(path);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

std::string DescribeInterface(const std::string& name) {
    std::error_code error;
    auto driver = std::filesystem::read_symlink("/sys/class/net/" + name + "/device/driver", error);
    if (!error && !driver.filename().empty())
        return driver.filename().string() + " (" + name + ")";
    return name;
}

SystemAdapter& AdapterNamed(std::vector<SystemAdapter>& adapters, const std::string& name) {
    auto found = std::find_if(adapters.begin(), adapters.end(),
                              [&](const SystemAdapter& adapter) { return adapter.name == name; });
    if (found != adapters.end())
        return *found;
    adapters.push_back(SystemAdapter{});
    adapters.back().name = name;
    return adapters.back();
}

}  // namespace

std::map<std::string, std::string> ParseDefaultGateways(std::string_view procNetRoute) {
    std::map<std::string, std::string> gateways;
    std::istringstream lines{std::string(procNetRoute)};
    std::string line;
    std::getline(lines, line);  // column headers
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::string name, destination, gateway, flags, refCount, use, metric, mask;
        if (!(fields >> name >> destination >> gateway >> flags >> refCount >> use >> metric >>
              mask)) {
            continue;
        }
        auto destinationValue = ParseHex32(destination);
        auto gatewayValue = ParseHex32(gateway);
        auto flagValue = ParseHex32(flags);
        auto maskValue = ParseHex32(mask);
        if (!destinationValue || !gatewayValue || !flagValue || !maskValue)
            continue;
        const bool isDefault = *destinationValue == 0 && *maskValue == 0;
        const bool usable = (*flagValue & (kRouteUp | kRouteGateway)) == (kRouteUp | kRouteGateway);
        // The file prints each address as the hexadecimal of its in-memory
        // (network-order) 32-bit value.
        if (isDefault && usable)
            gateways.emplace(name, DottedText(*gatewayValue));
    }
    return gateways;
}

bool IsPhysicalInterface(const std::string& name) {
    if (name.empty() || name.find('/') != std::string::npos || name == "." || name == "..") {
        return false;
    }
    std::error_code error;
    return std::filesystem::exists("/sys/class/net/" + name + "/device", error);
}

std::vector<SystemAdapter> ListSystemAdapters() {
    std::vector<SystemAdapter> adapters;
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0)
        return adapters;
    for (ifaddrs* entry = list; entry != nullptr; entry = entry->ifa_next) {
        if (entry->ifa_name == nullptr || (entry->ifa_flags & IFF_LOOPBACK) != 0)
            continue;
        SystemAdapter& adapter = AdapterNamed(adapters, entry->ifa_name);
        if (entry->ifa_addr == nullptr)
            continue;
        if (entry->ifa_addr->sa_family == AF_INET) {
            sockaddr_in address{};
            std::memcpy(&address, entry->ifa_addr, sizeof address);
            sockaddr_in mask{};
            if (entry->ifa_netmask != nullptr)
                std::memcpy(&mask, entry->ifa_netmask, sizeof mask);
            adapter.ipv4.emplace_back(address.sin_addr.s_addr, mask.sin_addr.s_addr);
        } else if (entry->ifa_addr->sa_family == AF_PACKET) {
            sockaddr_ll link{};
            std::memcpy(&link, entry->ifa_addr, sizeof link);
            const size_t length = std::min<size_t>(link.sll_halen, adapter.hardwareAddress.size());
            std::copy_n(link.sll_addr, length, adapter.hardwareAddress.begin());
        }
    }
    freeifaddrs(list);

    const auto gateways = ParseDefaultGateways(ReadFile("/proc/net/route"));
    for (auto& adapter : adapters) {
        adapter.description = DescribeInterface(adapter.name);
        if (auto found = gateways.find(adapter.name); found != gateways.end()) {
            adapter.gateway = found->second;
        }
    }
    return adapters;
}

}  // namespace corvix
