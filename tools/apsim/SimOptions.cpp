#include "SimOptions.h"

#include <charconv>
#include <fstream>
#include <sstream>

namespace apsim {
namespace {

std::optional<int> ParseNumber(const std::string& text, int low, int high) {
    int value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < low || value > high) {
        return std::nullopt;
    }
    return value;
}

}  // namespace

const char* UsageText() {
    return R"(Usage: apsim [OPTIONS]
Simulates powerline access points: answers each discovery request (164 bytes,
UDP port 28010) with one 160-byte answer per configured device, sent to the
request's source address and port.

  --listen ADDR          bind to this IPv4 address (default: any; directed
                         broadcasts only reach a socket bound to any)
  --port N               listen on port N (default 28010)
  --device SPEC          add a device: MODEL,NAME,IP,MAC (UTF-8 texts, sent in
                         GBK; the name may hold commas); repeatable
  --config FILE          add the devices of FILE, one SPEC per line; blank lines
                         and lines starting with # are skipped
  --devices N            add N numbered devices (model SIM-AP, name AP-1 ...)
  --base-ip ADDR         first address of the numbered devices (192.0.2.100)
  --malformed KIND       before the answers send a broken one (MAC
                         02:BA:D0:00:00:<n>, n counting from 1): short
                         (159 bytes), long (161 bytes) or type (begins 02 00);
                         repeatable
  --duplicate IP         after the answers, answer for the first device once
                         more with the same MAC and this IP address
  --delay MS             wait MS milliseconds before answering
  --gap MS               wait MS milliseconds between datagrams
  --broadcast-answers    send the answers to the broadcast address of the
                         requester's subnet (from the request's address pairs;
                         255.255.255.255 when none holds the requester), at
                         the requester's port, instead of to the requester
  --ready-file PATH      create PATH once the socket is bound
  --help                 show this text

Each request received is logged on standard output as one line:
  request from ADDR:PORT pairs N: ADDR/MASK ...
)";
}

std::optional<Options> ParseOptions(const std::vector<std::string>& args, std::string& error) {
    Options options;
    int numbered = 0;
    uint32_t baseAddress = *ParseAddress("192.0.2.100");
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h") {
            options.help = true;
            continue;
        }
        if (arg == "--broadcast-answers") {
            options.broadcastAnswers = true;
            continue;
        }
        if (i + 1 >= args.size()) {
            error = arg.rfind("--", 0) == 0 ? arg + " needs a value" : "unknown argument " + arg;
            return std::nullopt;
        }
        const std::string& value = args[++i];
        if (arg == "--listen") {
            auto address = ParseAddress(value);
            if (!address) {
                error = "--listen: not an IPv4 address: " + value;
                return std::nullopt;
            }
            options.listenAddress = *address;
        } else if (arg == "--port") {
            auto port = ParseNumber(value, 1, 65535);
            if (!port) {
                error = "--port: not a port: " + value;
                return std::nullopt;
            }
            options.port = static_cast<uint16_t>(*port);
        } else if (arg == "--device") {
            auto device = ParseDeviceSpec(value, error);
            if (!device)
                return std::nullopt;
            options.devices.push_back(*device);
        } else if (arg == "--config") {
            std::ifstream file(value);
            if (!file) {
                error = "--config: cannot read " + value;
                return std::nullopt;
            }
            std::ostringstream text;
            text << file.rdbuf();
            auto devices = ParseDeviceFile(text.str(), error);
            if (!devices) {
                error = value + ": " + error;
                return std::nullopt;
            }
            options.devices.insert(options.devices.end(), devices->begin(), devices->end());
        } else if (arg == "--devices") {
            auto count = ParseNumber(value, 0, 65535);
            if (!count) {
                error = "--devices: not a count (0 to 65535): " + value;
                return std::nullopt;
            }
            numbered = *count;
        } else if (arg == "--base-ip") {
            auto address = ParseAddress(value);
            if (!address) {
                error = "--base-ip: not an IPv4 address: " + value;
                return std::nullopt;
            }
            baseAddress = *address;
        } else if (arg == "--malformed") {
            auto how = ParseMalformation(value);
            if (!how) {
                error = "--malformed: one of short, long, type: " + value;
                return std::nullopt;
            }
            options.malformed.push_back(*how);
        } else if (arg == "--duplicate") {
            auto address = ParseAddress(value);
            if (!address) {
                error = "--duplicate: not an IPv4 address: " + value;
                return std::nullopt;
            }
            options.duplicateAddress = *address;
        } else if (arg == "--delay" || arg == "--gap") {
            auto ms = ParseNumber(value, 0, 600000);
            if (!ms) {
                error = arg + ": not a number of milliseconds: " + value;
                return std::nullopt;
            }
            (arg == "--delay" ? options.delayMs : options.gapMs) = *ms;
        } else if (arg == "--ready-file") {
            options.readyFile = value;
        } else {
            error = "unknown option " + arg;
            return std::nullopt;
        }
    }
    auto generated = NumberedDevices(numbered, baseAddress);
    options.devices.insert(options.devices.end(), generated.begin(), generated.end());
    return options;
}

}  // namespace apsim
