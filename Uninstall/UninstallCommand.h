#pragma once

#include <string>
#include <vector>

namespace ambrel::uninstall {

// The package that installs Ambrel, Corvix and this launcher.
inline constexpr const char* kPackageName = AMBREL_PACKAGE_NAME;

// The removal command: the package manager, run with the administrator's
// approval asked through the desktop's usual prompt.
std::vector<std::string> RemovalCommand();

// Starts the command detached (a session of its own, no terminal, standard
// streams on /dev/null) and returns without waiting. Whether it could be
// started is returned, but the launcher ignores it.
bool StartDetached(const std::vector<std::string>& command);

}  // namespace ambrel::uninstall
