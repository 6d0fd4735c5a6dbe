#pragma once

#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "CaptureBackend.h"

namespace ambrel {

struct CliEnvironment {
    CaptureBackend* backend = nullptr;  // the capture library to use
    // Whether the last failure to open an adapter was for lack of privilege.
    std::function<bool()> permissionDenied = [] { return false; };
    // Whether progress may be shown: the error output is a terminal.
    bool progressOnTerminal = false;
};

// Runs one command line (without the program name). Returns the exit code.
int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
           const CliEnvironment& environment);

// Why no local device was found (no adapter, no permission, none behind the
// adapters), from the device model after a scan.
void PrintNoLocalDevice(std::ostream& err, const CliEnvironment& environment);

}  // namespace ambrel
