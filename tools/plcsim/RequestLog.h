#pragma once

// One record per request the simulated network received.

#include <cstdint>
#include <optional>
#include <string>

#include "MacAddress.h"

namespace plcsim {

struct LogRecord {
    uint64_t timeMs = 0;
    uint16_t type = 0;
    std::optional<uint16_t> operation;  // module operation (0xA0B0) only
    ambrel::MacAddress destination{};
    ambrel::MacAddress source{};
    std::string summary;
};

// "<ms> A0B0/0011 dst=00:B0:52:00:00:01 src=02:00:00:00:00:99 <summary>"
std::string FormatLogLine(const LogRecord& record);

}  // namespace plcsim
