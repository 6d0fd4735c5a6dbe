// The device commands over a real wire: libpcap on a veth pair, the plcsim
// program on the far end in a namespace of its own, the protocol clock
// scaled so that the pauses of the sequences pass in a hundredth of their
// time.

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <thread>

#include "CliCommands.h"
#include "DeviceModel.h"
#include "PcapBackend.h"
#include "ScaledClock.h"
#include "TestNetwork.h"
#include "Transport.h"

namespace ambrel {
namespace {

constexpr const char* kStationPassword = "ABCD-EFGH-IJKL-MNOP";
constexpr const char* kNewPassword = "QRST-UVWX-YZAB-CDEF";

class OperationsWireTest : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override {
        AMBREL_REQUIRE_PRIVATE_NETWORK();
        ResetDeviceModel();
        static int counter = 0;
        const int n = counter++;
        adapter_ = "opspc" + std::to_string(n);
        const std::string peer = "opsplc" + std::to_string(n);
        ASSERT_TRUE(test::CreateVethPair(adapter_, peer) && host_.Create(peer));
        files_ = "/tmp/ambrel-ops-wire-" + std::to_string(getpid()) + "-" + std::to_string(n);
    }
    void TearDown() override {
        host_.Stop();
        for (const char* suffix : {".net", ".log", ".nvm", ".pib"}) {
            std::remove((files_ + suffix).c_str());
        }
        ResetDeviceModel();
    }

    // Starts the simulator with the device of the parameter's generation as
    // the local device, a station in the same network and a new device.
    void StartNetwork(const std::string& extra = {}) {
        std::ofstream(files_ + ".net") << "local 02:00:00:00:00:01\n    id " << GetParam()
                                       << "\n    network-name HomeNet\n"
                                          "    upgrade-version PLCSIM-FW-2.0.0\n"
                                          "station 02:00:00:00:10:01\n    network-name HomeNet\n"
                                          "    password "
                                       << kStationPassword
                                       << "\nstation 02:00:00:00:10:02\n    id 0x20\n"
                                          "    password "
                                       << kNewPassword << "\n"
                                       << extra;
        ASSERT_TRUE(
            host_.Start({test::BuiltProgram("plcsim"), "--interface", "opsplc" + adapter_.substr(5),
                         "--network", files_ + ".net", "--log", files_ + ".log"}));
        // Until it answers.
        for (int i = 0; i < 50 && Log().empty(); ++i) {
            Run({"network"});
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        ASSERT_FALSE(Log().empty()) << "plcsim did not answer";
        std::ofstream(files_ + ".log", std::ios::trunc).close();
    }

    int Run(std::vector<std::string> args) {
        args.push_back("--interface");
        args.push_back(adapter_);
        out_.str("");
        err_.str("");
        CliEnvironment environment;
        environment.backend = &PcapCaptureBackend();
        ResetDeviceModel();
        return RunCli(args, out_, err_, environment);
    }

    std::vector<std::string> LogLines() {
        std::ifstream in(files_ + ".log");
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
    }
    std::string Log() {
        std::string all;
        for (const auto& line : LogLines())
            all += line + "\n";
        return all;
    }
    // The requests logged, without the discovery ones (A000, A038), with
    // runs of the same request folded into "A020 x16".
    std::vector<std::string> Requests() {
        std::vector<std::string> folded;
        std::string last;
        int run = 0;
        auto flush = [&] {
            if (run > 0)
                folded.push_back(run == 1 ? last : last + " x" + std::to_string(run));
        };
        for (const auto& line : LogLines()) {
            std::istringstream words(line);
            std::string time, type;
            words >> time >> type;
            if (type == "A000" || type == "A038")
                continue;
            if (type == last) {
                ++run;
                continue;
            }
            flush();
            last = type;
            run = 1;
        }
        flush();
        return folded;
    }
    bool First() const { return std::string(GetParam()) == "2"; }

    std::string adapter_;
    std::string files_;
    test::PeerHost host_;
    test::ScaledClock clock_{100};
    std::ostringstream out_;
    std::ostringstream err_;
};

TEST_P(OperationsWireTest, EverySequenceRunsAndTheFramesArriveInOrder) {
    StartNetwork();
    const std::string remote = std::string("02:00:00:00:10:01=") + kStationPassword;
    const std::string read = First() ? "A024 x16" : "A0B0/00 x7";
    std::ofstream(files_ + ".nvm") << std::string(10000, 'F');
    ASSERT_EQ(Run({"pib", "read", files_ + ".pib"}), 0) << err_.str();
    std::ofstream(files_ + ".log", std::ios::trunc).close();

    struct Step {
        std::vector<std::string> args;
        const char* output;
        std::vector<std::string> requests;
    };
    const std::vector<Step> steps = {
        {{"set-network", "FamilyNet", "--all", "--remote", remote},
         "was handed the key",
         {"A050 x2"}},
        {{"add-device", kNewPassword}, "02:00:00:00:10:02 joined", {read, "A050 x4"}},
        {{"qos", "set", "--preset", "1"},
         "preset 1",
         First() ? std::vector<std::string>{read, "A020 x16", "A028"}
                 : std::vector<std::string>{read, "A0B0/10", "A0B0/11 x7", "A0B0/12"}},
        {{"qos", "show"}, "mode:            preset 1", {read}},
        {{"network", "--name", "FamilyNet"}, "the network named \"FamilyNet\"", {read}},
        {{"upgrade", files_ + ".nvm", files_ + ".pib"},
         "restored its factory defaults",
         First() ? std::vector<std::string>{read, "A020 x26", "A080", "A07C"}
                 : std::vector<std::string>{read, "A0B0/10", "A0B0/11 x15", "A0B0/12", "A07C"}},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.args[0]);
        std::ofstream(files_ + ".log", std::ios::trunc).close();
        EXPECT_EQ(Run(step.args), 0) << err_.str();
        EXPECT_NE(out_.str().find(step.output), std::string::npos) << out_.str();
        EXPECT_EQ(Requests(), step.requests) << Log();
    }
}

TEST_P(OperationsWireTest, RefusalsFromTheDeviceEndTheCommandWithFailure) {
    struct Case {
        const char* fault;
        std::vector<std::string> args;
    };
    const Case cases[] = {
        {"fault wrong-status type=0xA050 count=1", {"set-network", "FamilyNet"}},
        {"fault wrong-offset type=0xA024\nfault wrong-offset type=0xA0B0", {"qos", "show"}},
        {"fault silent", {"restart"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fault);
        host_.Stop();
        StartNetwork(std::string(c.fault) + "\n");
        EXPECT_NE(Run(c.args), 0);
        EXPECT_FALSE(err_.str().empty());
    }
}

INSTANTIATE_TEST_SUITE_P(Generations, OperationsWireTest, ::testing::Values("2", "0x21"),
                         [](const auto& info) {
                             return std::string(info.param == std::string("2") ? "First"
                                                                               : "Second");
                         });

}  // namespace
}  // namespace ambrel
