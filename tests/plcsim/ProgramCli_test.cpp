// The program's command line: failures exit non-zero with a clear message.
// None of these cases touches a network.

#include <sys/wait.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "Frames.h"
#include "TestNetwork.h"

namespace plcsim::testing {
namespace {

struct ProgramRun {
    int exitCode = -1;
    std::string output;
};

ProgramRun RunProgram(const std::string& arguments) {
    ProgramRun run;
    std::string command = ambrel::test::BuiltProgram("plcsim") + " " + arguments + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr)
        return run;
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, pipe) != nullptr)
        run.output += buffer;
    int status = pclose(pipe);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

struct CliCase {
    const char* name;
    std::string arguments;
    int exitCode;
    const char* mentions;
};

class ProgramCli : public ::testing::TestWithParam<CliCase> {};

TEST_P(ProgramCli, ExitsWithAClearMessage) {
    const std::string dir = ::testing::TempDir();
    std::ofstream(dir + "/plcsim-cli-good.txt") << "local 02:00:00:00:00:01\n";
    std::ofstream(dir + "/plcsim-cli-bad.txt") << "local 02:00:00:00:00:01\n\n  speed 9\n";
    std::string arguments = GetParam().arguments;
    for (size_t at; (at = arguments.find("DIR")) != std::string::npos;) {
        arguments.replace(at, 3, dir);
    }
    ProgramRun run = RunProgram(arguments);
    EXPECT_EQ(run.exitCode, GetParam().exitCode) << run.output;
    EXPECT_NE(run.output.find(GetParam().mentions), std::string::npos) << run.output;
}

INSTANTIATE_TEST_SUITE_P(
    Plcsim, ProgramCli,
    ::testing::Values(
        CliCase{"Help", "--help", 0, "usage: plcsim --interface IFNAME --network FILE"},
        CliCase{"MissingNetwork", "--interface lo", 2, "--network"},
        CliCase{"UnknownOption", "--colour red", 2, "unknown option"},
        CliCase{"BadNetworkFile", "--interface lo --network DIR/plcsim-cli-bad.txt", 1,
                "plcsim-cli-bad.txt:3: unknown setting 'speed'"},
        CliCase{"MissingInterface", "--interface plcsim-none0 --network DIR/plcsim-cli-good.txt", 1,
                "no network interface named 'plcsim-none0'"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace plcsim::testing
