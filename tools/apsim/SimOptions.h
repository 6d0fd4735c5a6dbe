#pragma once

// Command line of the access-point simulator.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "SimDevice.h"
#include "SimWire.h"

namespace apsim {

struct Options {
    uint32_t listenAddress = 0;  // network order; 0 = any
    uint16_t port = 28010;
    std::vector<SimDevice> devices;
    std::vector<Malformation> malformed;       // sent before the answers
    std::optional<uint32_t> duplicateAddress;  // first device once more, with this IP
    int delayMs = 0;                           // before the first datagram
    int gapMs = 0;                             // between datagrams
    std::string readyFile;                     // written once the socket is bound
    // Answers go to the broadcast address of the requester's subnet (as a
    // device on another subnet must answer) instead of to the requester.
    bool broadcastAnswers = false;
    bool help = false;
};

// Parses argv[1..]. On failure returns nullopt and sets `error`.
std::optional<Options> ParseOptions(const std::vector<std::string>& args, std::string& error);

const char* UsageText();

}  // namespace apsim
