// apsim: the access-point simulator. See README.md.

#include <cstdio>
#include <string>
#include <vector>

#include "SimOptions.h"
#include "SimServer.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    std::string error;
    auto options = apsim::ParseOptions(args, error);
    if (!options) {
        std::fprintf(stderr, "apsim: %s\n(try --help)\n", error.c_str());
        return 2;
    }
    if (options->help) {
        std::fputs(apsim::UsageText(), stdout);
        return 0;
    }
    return apsim::RunServer(*options);
}
