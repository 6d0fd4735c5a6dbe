#pragma once

// The network description file: a line-based text that lists the local
// device, the stations and the faults. README.md documents the format.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "Network.h"

namespace plcsim {

struct NetworkFileError {
    size_t line = 0;  // 0: the file as a whole
    std::string message;
    // "FILE:LINE: MESSAGE" (or "FILE: MESSAGE").
    std::string Text(std::string_view fileName) const;
};

// `baseDirectory` resolves relative paths inside the text (pib-file).
std::optional<Network> ParseNetworkDescription(std::string_view text, NetworkFileError& error,
                                               const std::string& baseDirectory = ".");

// Reads and parses a file; `error` receives a complete message on failure.
std::optional<Network> LoadNetworkFile(const std::string& path, std::string& error);

}  // namespace plcsim
