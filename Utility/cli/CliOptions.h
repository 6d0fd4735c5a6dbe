#pragma once

#include <optional>
#include <string>
#include <vector>

namespace ambrel {

// One command line, split into the command with its operands and the
// options. Values are kept as typed; each command checks its own.
struct CliOptions {
    std::vector<std::string> words;  // the command and its operands
    std::vector<std::string> interfaces;
    bool json = false;
    bool help = false;

    // Options of the device commands.
    bool all = false;
    std::vector<std::string> remotes;  // MAC=PASSWORD
    std::optional<std::string> name;
    std::optional<std::string> preset;
    std::optional<std::string> vlanMap;
    std::optional<std::string> tosMap;
    std::optional<std::string> vlan;
    std::optional<std::string> tos;

    bool HasDeviceOptions() const {
        return all || !remotes.empty() || name || preset || vlanMap || tosMap || vlan || tos;
    }
};

}  // namespace ambrel
