#include "NetworkFile.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <vector>

namespace plcsim {

namespace {

using ambrel::MacAddress;

constexpr unsigned kMaxRepeat = 1000;

std::string_view Trim(std::string_view text) {
    const char* blanks = " \t\r";
    size_t first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos)
        return {};
    size_t last = text.find_last_not_of(blanks);
    return text.substr(first, last - first + 1);
}

// Splits "word rest of the line".
std::pair<std::string_view, std::string_view> SplitWord(std::string_view text) {
    text = Trim(text);
    size_t space = text.find_first_of(" \t");
    if (space == std::string_view::npos)
        return {text, {}};
    return {text.substr(0, space), Trim(text.substr(space))};
}

std::optional<uint64_t> ParseNumber(std::string_view text, int base = 10) {
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        text.remove_prefix(2);
        base = 16;
    }
    uint64_t value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (ec != std::errc() || end != text.data() + text.size() || text.empty())
        return std::nullopt;
    return value;
}

std::optional<ambrel::Key16> ParseKey(std::string_view text) {
    if (text.size() != 32)
        return std::nullopt;
    ambrel::Key16 key{};
    for (size_t i = 0; i < key.size(); ++i) {
        auto byte = ParseNumber(text.substr(i * 2, 2), 16);
        if (!byte)
            return std::nullopt;
        key[i] = static_cast<uint8_t>(*byte);
    }
    return key;
}

std::optional<bool> ParseYesNo(std::string_view text) {
    if (text == "yes" || text == "true" || text == "1")
        return true;
    if (text == "no" || text == "false" || text == "0")
        return false;
    return std::nullopt;
}

MacAddress AddToMac(MacAddress mac, uint64_t step) {
    uint64_t value = 0;
    for (uint8_t byte : mac)
        value = value << 8 | byte;
    value += step;
    for (size_t i = mac.size(); i-- > 0;) {
        mac[i] = static_cast<uint8_t>(value);
        value >>= 8;
    }
    return mac;
}

struct DeviceEntry {
    DeviceConfig config;
    size_t line = 0;
    bool isLocal = false;
    unsigned repeat = 1;
    std::optional<std::string> networkName;
};

class Parser {
public:
    Parser(NetworkFileError& error, std::string baseDirectory)
        : error_(error), baseDirectory_(std::move(baseDirectory)) {}

    std::optional<Network> Run(std::string_view text) {
        std::istringstream stream{std::string(text)};
        std::string raw;
        while (std::getline(stream, raw)) {
            ++line_;
            std::string_view content = raw;
            if (size_t hash = content.find('#'); hash != std::string_view::npos) {
                content = content.substr(0, hash);
            }
            content = Trim(content);
            if (content.empty())
                continue;
            if (!Statement(content))
                return std::nullopt;
        }
        return Build();
    }

private:
    bool Fail(std::string message, size_t line) {
        error_.line = line;
        error_.message = std::move(message);
        return false;
    }
    bool Fail(std::string message) { return Fail(std::move(message), line_); }

    bool Statement(std::string_view content) {
        auto [word, rest] = SplitWord(content);
        if (word == "local" || word == "station")
            return StartDevice(word == "local", rest);
        if (word == "fault")
            return AddFault(rest);
        if (devices_.empty()) {
            return Fail("'" + std::string(word) +
                        "' outside a device: start with 'local MAC' or 'station MAC'");
        }
        return Setting(devices_.back(), word, rest);
    }

    bool StartDevice(bool isLocal, std::string_view rest) {
        auto mac = ambrel::ParseMac(rest);
        if (!mac)
            return Fail("'" + std::string(rest) + "' is not a MAC address");
        if (*mac == ambrel::kBroadcastMac || *mac == ambrel::kLocalManagementAddress ||
            ((*mac)[0] & 1) != 0) {
            return Fail(ambrel::FormatMac(*mac) + " cannot be a device address");
        }
        if (isLocal && localLine_ != 0) {
            return Fail("a second local device (the first is on line " +
                        std::to_string(localLine_) + ")");
        }
        if (isLocal)
            localLine_ = line_;
        DeviceEntry entry;
        entry.config.mac = *mac;
        entry.line = line_;
        entry.isLocal = isLocal;
        devices_.push_back(std::move(entry));
        return true;
    }

    bool Setting(DeviceEntry& entry, std::string_view key, std::string_view value) {
        const std::string name(key);
        if (value.empty())
            return Fail("'" + name + "' needs a value");
        DeviceConfig& config = entry.config;
        if (key == "id") {
            auto id = ParseNumber(value);
            if (!id || *id > 0xFF)
                return Fail("device id must be a number from 0 to 255");
            config.deviceId = static_cast<uint8_t>(*id);
        } else if (key == "firmware") {
            if (value.size() > kVersionTextSize) {
                return Fail("firmware version text is longer than 128 bytes");
            }
            config.firmwareVersion = std::string(value);
        } else if (key == "upgrade-version") {
            if (value.size() > kVersionTextSize) {
                return Fail("upgrade version text is longer than 128 bytes");
            }
            config.versionAfterUpgrade = std::string(value);
        } else if (key == "password") {
            if (value.size() > ambrel::kDevicePasswordLength) {
                return Fail("device password is longer than 19 characters");
            }
            config.password = std::string(value);
        } else if (key == "network-name") {
            if (value.size() > ambrel::kMaxNetworkNameChars) {
                return Fail("network name is longer than 64 characters");
            }
            entry.networkName = std::string(value);
            config.networkKey.reset();
        } else if (key == "network-key") {
            auto parsed = ParseKey(value);
            if (!parsed)
                return Fail("network key must be 32 hexadecimal digits");
            config.networkKey = parsed;
            entry.networkName.reset();
        } else if (key == "rate") {
            auto rate = ParseNumber(value);
            if (!rate || *rate > 255)
                return Fail("rate must be a number of Mbit/s from 0 to 255");
            config.rateMbps = static_cast<uint8_t>(*rate);
        } else if (key == "answers-version") {
            auto yes = ParseYesNo(value);
            if (!yes)
                return Fail("answers-version must be yes or no");
            config.answersVersion = *yes;
        } else if (key == "pib-length") {
            auto length = ParseNumber(value);
            if (!length || *length == 0 || *length > kMaxSecondGenerationBlockLength) {
                return Fail("pib-length must be a number from 1 to 1048576");
            }
            config.blockLength = static_cast<uint32_t>(*length);
        } else if (key == "pib-file") {
            return LoadBlock(config, value);
        } else if (key == "restart-silence") {
            auto ms = ParseNumber(value);
            if (!ms || *ms > 3600000)
                return Fail("restart-silence must be milliseconds (up to 3600000)");
            config.restartSilenceMs = static_cast<uint32_t>(*ms);
        } else if (key == "repeat") {
            auto count = ParseNumber(value);
            if (entry.isLocal)
                return Fail("'repeat' applies to stations only");
            if (!count || *count == 0 || *count > kMaxRepeat) {
                return Fail("repeat must be a number from 1 to " + std::to_string(kMaxRepeat));
            }
            entry.repeat = static_cast<unsigned>(*count);
        } else {
            return Fail("unknown setting '" + name + "'");
        }
        return true;
    }

    bool LoadBlock(DeviceConfig& config, std::string_view value) {
        std::filesystem::path path(value);
        if (path.is_relative())
            path = std::filesystem::path(baseDirectory_) / path;
        std::ifstream file(path, std::ios::binary);
        if (!file)
            return Fail("cannot read parameter block file " + path.string());
        std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)),
                                   std::istreambuf_iterator<char>());
        if (bytes.empty() || bytes.size() > kMaxSecondGenerationBlockLength) {
            return Fail("parameter block file " + path.string() + " must hold 1 to 1048576 bytes");
        }
        config.parameterBlock = std::move(bytes);
        return true;
    }

    bool AddFault(std::string_view rest) {
        auto [kindText, options] = SplitWord(rest);
        auto kind = ParseFaultKind(kindText);
        if (!kind) {
            return Fail("unknown fault '" + std::string(kindText) +
                        "' (drop, delay, duplicate, corrupt, wrong-status, wrong-offset, "
                        "wrong-transaction, silent)");
        }
        Fault fault;
        fault.kind = *kind;
        bool haveDelay = false;
        while (!options.empty()) {
            auto [option, more] = SplitWord(options);
            options = more;
            size_t equals = option.find('=');
            if (equals == std::string_view::npos) {
                return Fail("fault option '" + std::string(option) + "' is not NAME=VALUE");
            }
            std::string_view name = option.substr(0, equals);
            std::string_view value = option.substr(equals + 1);
            if (name == "type") {
                if (*kind == FaultKind::Silent)
                    return Fail("a silent fault applies to every type");
                if (value == "all")
                    continue;
                auto type = ParseNumber(value, 16);
                if (!type || *type > 0xFFFF)
                    return Fail("type must be a message type such as 0xA000");
                // A confirmation's type names its request.
                fault.messageType = static_cast<uint16_t>(*type & ~uint64_t{1});
            } else if (name == "count") {
                auto count = ParseNumber(value);
                if (!count || *count == 0 || *count > 1000000) {
                    return Fail("count must be a positive number");
                }
                fault.remaining = static_cast<unsigned>(*count);
            } else if (name == "after") {
                auto after = ParseNumber(value);
                if (!after || *after > 1000000)
                    return Fail("after must be a number of requests up to 1000000");
                fault.skip = static_cast<unsigned>(*after);
            } else if (name == "ms") {
                auto ms = ParseNumber(value);
                if (*kind != FaultKind::Delay)
                    return Fail("'ms' applies to delay faults only");
                if (!ms || *ms > 600000)
                    return Fail("ms must be a delay in milliseconds up to 600000");
                fault.delayMs = static_cast<uint32_t>(*ms);
                haveDelay = true;
            } else {
                return Fail("unknown fault option '" + std::string(name) + "'");
            }
        }
        if (*kind == FaultKind::Delay && !haveDelay)
            return Fail("a delay fault needs ms=MILLISECONDS");
        faults_.push_back(fault);
        return true;
    }

    std::optional<Network> Build() {
        if (localLine_ == 0) {
            Fail("no local device: add a line 'local MAC'", 0);
            return std::nullopt;
        }
        std::set<MacAddress> seen;
        std::vector<std::pair<DeviceConfig, size_t>> expanded;
        for (auto& entry : devices_) {
            DeviceConfig& config = entry.config;
            if (entry.networkName)
                config.networkKey = ambrel::DeriveNetworkKey(*entry.networkName);
            const BlockLayout& layout = LayoutOf(GenerationOf(config.deviceId));
            if (config.blockLength && *config.blockLength < layout.minimumLength) {
                Fail("pib-length " + std::to_string(*config.blockLength) +
                         " is too short for this generation (at least " +
                         std::to_string(layout.minimumLength) + ")",
                     entry.line);
                return std::nullopt;
            }
            if (GenerationOf(config.deviceId) == Generation::First && config.blockLength &&
                *config.blockLength > kMaxFirstGenerationBlockLength) {
                Fail("pib-length of a first-generation device is at most 65535", entry.line);
                return std::nullopt;
            }
            if (config.parameterBlock && config.parameterBlock->size() < layout.minimumLength) {
                Fail("parameter block file is too short for this generation (at least " +
                         std::to_string(layout.minimumLength) + " bytes)",
                     entry.line);
                return std::nullopt;
            }
            for (unsigned i = 0; i < entry.repeat; ++i) {
                DeviceConfig copy = config;
                copy.mac = AddToMac(config.mac, i);
                if (!seen.insert(copy.mac).second) {
                    Fail("MAC " + ambrel::FormatMac(copy.mac) + " is used twice", entry.line);
                    return std::nullopt;
                }
                if (!entry.isLocal)
                    expanded.emplace_back(std::move(copy), entry.line);
            }
        }
        auto local = std::find_if(devices_.begin(), devices_.end(),
                                  [](const DeviceEntry& e) { return e.isLocal; });
        Network network(local->config);
        for (auto& [config, line] : expanded)
            network.AddStation(std::move(config));
        for (const auto& fault : faults_)
            network.faults.Add(fault);
        return network;
    }

    NetworkFileError& error_;
    std::string baseDirectory_;
    size_t line_ = 0;
    size_t localLine_ = 0;
    std::vector<DeviceEntry> devices_;
    std::vector<Fault> faults_;
};

}  // namespace

std::string NetworkFileError::Text(std::string_view fileName) const {
    std::string text(fileName);
    if (line != 0)
        text += ":" + std::to_string(line);
    return text + ": " + message;
}

std::optional<Network> ParseNetworkDescription(std::string_view text, NetworkFileError& error,
                                               const std::string& baseDirectory) {
    return Parser(error, baseDirectory).Run(text);
}

std::optional<Network> LoadNetworkFile(const std::string& path, std::string& error) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        error = path + ": cannot open the network file";
        return std::nullopt;
    }
    std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    NetworkFileError parseError;
    std::string base = std::filesystem::path(path).parent_path().string();
    auto network = ParseNetworkDescription(text, parseError, base.empty() ? "." : base);
    if (!network)
        error = parseError.Text(path);
    return network;
}

}  // namespace plcsim
