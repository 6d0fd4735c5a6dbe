#pragma once

#include <cstdint>
#include <vector>

#include "SimOptions.h"

namespace apsim {

// The datagrams sent for each valid request, in order: the malformed ones,
// one answer per device, then the duplicate.
std::vector<std::vector<uint8_t>> PlanReplies(const Options& options);

// Binds, then answers requests until killed. Returns a process exit code
// (non-zero only when the socket cannot be set up).
int RunServer(const Options& options);

}  // namespace apsim
