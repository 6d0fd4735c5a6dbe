#include <unistd.h>

#include <iostream>

#include "CliCommands.h"
#include "PcapBackend.h"

int main(int argc, char** argv) {
    ambrel::CliEnvironment environment;
    environment.backend = &ambrel::PcapCaptureBackend();
    environment.permissionDenied = [] { return ambrel::PcapPermissionDenied(); };
    environment.progressOnTerminal = isatty(STDERR_FILENO) == 1;
    std::vector<std::string> args(argv + 1, argv + argc);
    return ambrel::RunCli(args, std::cout, std::cerr, environment);
}
