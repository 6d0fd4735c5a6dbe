#include "SimDevice.h"

#include <arpa/inet.h>

#include <charconv>
#include <cstdio>

#include "CodePage.h"

namespace apsim {
namespace {

constexpr size_t kModelBytes = 20;
constexpr size_t kNameBytes = 128;
constexpr int kAnswerLanguage = 2052;

std::string_view Trim(std::string_view text) {
    constexpr std::string_view kBlanks = " \t\r\n";
    const size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

bool FitsAnswerField(const std::string& utf8, size_t fieldBytes) {
    auto wide = ambrel::Utf8ToUtf16(utf8);
    if (!wide)
        return false;
    auto ansi = ambrel::ToAnsi(*wide, kAnswerLanguage);
    return ansi && ansi->size() <= fieldBytes;
}

}  // namespace

std::optional<uint32_t> ParseAddress(std::string_view text) {
    const std::string copy(Trim(text));
    in_addr address{};
    if (inet_pton(AF_INET, copy.c_str(), &address) != 1)
        return std::nullopt;
    return address.s_addr;
}

std::string AddressText(uint32_t networkOrder) {
    char text[INET_ADDRSTRLEN] = {};
    in_addr address{};
    address.s_addr = networkOrder;
    inet_ntop(AF_INET, &address, text, sizeof text);
    return text;
}

std::optional<std::array<uint8_t, 6>> ParseMac(std::string_view text) {
    text = Trim(text);
    if (text.size() != 17)
        return std::nullopt;
    std::array<uint8_t, 6> mac{};
    for (size_t i = 0; i < mac.size(); ++i) {
        const size_t at = i * 3;
        if (i > 0 && text[at - 1] != ':' && text[at - 1] != '-')
            return std::nullopt;
        auto [end, error] = std::from_chars(text.data() + at, text.data() + at + 2, mac[i], 16);
        if (error != std::errc() || end != text.data() + at + 2)
            return std::nullopt;
    }
    return mac;
}

std::optional<SimDevice> ParseDeviceSpec(std::string_view spec, std::string& error) {
    const size_t firstComma = spec.find(',');
    const size_t lastComma = spec.rfind(',');
    const size_t middleComma = lastComma == std::string_view::npos || lastComma == 0
                                   ? std::string_view::npos
                                   : spec.rfind(',', lastComma - 1);
    if (firstComma == std::string_view::npos || middleComma == std::string_view::npos ||
        middleComma <= firstComma) {
        error = "a device needs MODEL,NAME,IP,MAC: '" + std::string(spec) + "'";
        return std::nullopt;
    }
    SimDevice device;
    device.model = std::string(spec.substr(0, firstComma));
    device.name = std::string(spec.substr(firstComma + 1, middleComma - firstComma - 1));
    auto address = ParseAddress(spec.substr(middleComma + 1, lastComma - middleComma - 1));
    auto mac = ParseMac(spec.substr(lastComma + 1));
    if (!address) {
        error = "not an IPv4 address in '" + std::string(spec) + "'";
        return std::nullopt;
    }
    if (!mac) {
        error = "not a MAC address (aa:bb:cc:dd:ee:ff) in '" + std::string(spec) + "'";
        return std::nullopt;
    }
    if (!FitsAnswerField(device.model, kModelBytes)) {
        error = "model must be UTF-8 that fits 20 bytes of GBK: '" + device.model + "'";
        return std::nullopt;
    }
    if (!FitsAnswerField(device.name, kNameBytes)) {
        error = "name must be UTF-8 that fits 128 bytes of GBK: '" + device.name + "'";
        return std::nullopt;
    }
    device.address = *address;
    device.mac = *mac;
    return device;
}

std::optional<std::vector<SimDevice>> ParseDeviceFile(std::string_view text, std::string& error) {
    std::vector<SimDevice> devices;
    int lineNumber = 0;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        std::string_view line = Trim(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        ++lineNumber;
        if (line.empty() || line.front() == '#')
            continue;
        std::string lineError;
        auto device = ParseDeviceSpec(line, lineError);
        if (!device) {
            error = "line " + std::to_string(lineNumber) + ": " + lineError;
            return std::nullopt;
        }
        devices.push_back(*device);
    }
    return devices;
}

std::vector<SimDevice> NumberedDevices(int count, uint32_t firstAddress) {
    std::vector<SimDevice> devices;
    const uint32_t first = ntohl(firstAddress);
    for (int n = 1; n <= count; ++n) {
        SimDevice device;
        device.model = "SIM-AP";
        device.name = "AP-" + std::to_string(n);
        device.address = htonl(first + static_cast<uint32_t>(n - 1));
        device.mac = {
            0x02, 0x00, 0x00, 0x00, static_cast<uint8_t>(n >> 8), static_cast<uint8_t>(n & 0xFF)};
        devices.push_back(device);
    }
    return devices;
}

}  // namespace apsim
