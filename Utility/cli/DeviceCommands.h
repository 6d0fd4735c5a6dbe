#pragma once

#include <ostream>
#include <string>

#include "CliCommands.h"
#include "CliOptions.h"

namespace ambrel {

// set-network, add-device, join, reset, restart, network, qos, pib, upgrade.
bool IsDeviceCommand(const std::string& command);

// Runs one of them through the worker routine the windows use, with the
// capture backend already in place. Returns the exit code.
int RunDeviceCommand(const CliOptions& options, std::ostream& out, std::ostream& err,
                     const CliEnvironment& environment);

}  // namespace ambrel
