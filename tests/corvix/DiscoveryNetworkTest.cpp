// Whole scans over veth pairs in private network namespaces: the test's end
// of each pair is the adapter that Corvix scans (named through the interface
// override), apsim answers from a peer namespace on the far end.

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "InterfaceOverride.h"
#include "RunScan.h"
#include "ScanTables.h"
#include "ScanTiming.h"
#include "TestNetwork.h"

namespace corvix {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

constexpr auto kTestSilence = 150ms;

std::string ShellQuote(const std::string& text) {
    std::string quoted = "'";
    for (char ch : text) {
        if (ch == '\'') {
            quoted += "'\\''";
        } else {
            quoted += ch;
        }
    }
    return quoted + "'";
}

std::string ReadAll(const fs::path& path) {
    std::ifstream file(path);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

// One simulated access-point network: a veth pair whose far end lives in a
// peer namespace where apsim runs.
class SimulatedNetwork {
public:
    SimulatedNetwork(std::string hostEnd, std::string hostAddress, std::string peerAddress,
                     const fs::path& workDir)
        : hostEnd_(std::move(hostEnd)),
          hostAddress_(std::move(hostAddress)),
          peerAddress_(std::move(peerAddress)),
          log_(workDir / (hostEnd_ + ".log")),
          ready_(workDir / (hostEnd_ + ".ready")) {}

    // Wires the pair; with `apsimArgs` also starts apsim and waits until it
    // listens.
    ::testing::AssertionResult Start(const std::vector<std::string>& apsimArgs) {
        const std::string peerEnd = hostEnd_ + "p";
        if (!ambrel::test::CreateVethPair(hostEnd_, peerEnd, hostAddress_)) {
            return ::testing::AssertionFailure() << "cannot create veth pair " << hostEnd_;
        }
        if (!peer_.Create(peerEnd, peerAddress_)) {
            return ::testing::AssertionFailure() << "cannot create peer namespace";
        }
        std::string command = "exec " + ShellQuote(ambrel::test::BuiltProgram("apsim")) +
                              " --ready-file " + ShellQuote(ready_.string());
        for (const auto& arg : apsimArgs)
            command += " " + ShellQuote(arg);
        command += " >" + ShellQuote(log_.string()) + " 2>&1";
        if (!peer_.Start({"sh", "-c", command})) {
            return ::testing::AssertionFailure() << "cannot start apsim";
        }
        for (int i = 0; i < 500; ++i) {
            if (fs::exists(ready_))
                return ::testing::AssertionSuccess();
            std::this_thread::sleep_for(10ms);
        }
        return ::testing::AssertionFailure() << "apsim did not start: " << ReadAll(log_);
    }

    std::string Log() const { return ReadAll(log_); }

private:
    std::string hostEnd_;
    std::string hostAddress_;
    std::string peerAddress_;
    fs::path log_;
    fs::path ready_;
    ambrel::test::PeerHost peer_;
};

class DiscoveryNetworkTest : public ::testing::Test {
protected:
    void SetUp() override {
        AMBREL_REQUIRE_PRIVATE_NETWORK();
        ResetScanTables();
        SetScanTiming(ScanTiming{kTestSilence});
        char pattern[] = "/tmp/corvix-net-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        workDir_ = pattern;
    }
    void TearDown() override {
        networks_.clear();
        ClearInterfaceOverride();
        ResetScanTiming();
        ResetScanTables();
        if (!workDir_.empty())
            fs::remove_all(workDir_);
    }

    SimulatedNetwork& AddNetwork(const std::string& hostEnd, const std::string& hostAddress,
                                 const std::string& peerAddress) {
        networks_.push_back(
            std::make_unique<SimulatedNetwork>(hostEnd, hostAddress, peerAddress, workDir_));
        return *networks_.back();
    }

    // Runs one scan and returns what it wrote to standard output.
    std::string Scan() {
        ::testing::internal::CaptureStdout();
        RunScan();
        return ::testing::internal::GetCapturedStdout();
    }

    std::vector<std::u16string> ListedMacs() const {
        std::vector<std::u16string> macs;
        for (uint8_t i = 0; i < listCount.load(); ++i)
            macs.push_back(apListRecords[i].macText);
        return macs;
    }

    fs::path workDir_;
    std::vector<std::unique_ptr<SimulatedNetwork>> networks_;
};

TEST_F(DiscoveryNetworkTest, FindsTheConfiguredDevices) {
    auto& net = AddNetwork("cvx0", "192.0.2.1/24", "192.0.2.2/24");
    ASSERT_TRUE(net.Start({"--device", "AP-300N,客厅,192.0.2.10,02:1a:2b:3c:4d:5e", "--device",
                           "AP-150,Office,192.0.2.11,02:00:00:00:00:0b"}));
    SetInterfaceOverride({"cvx0"});

    const std::string output = Scan();

    EXPECT_NE(output.find("server_to.sin_addr.s_addr = "), std::string::npos) << output;
    ASSERT_EQ(listCount.load(), 2);
    EXPECT_EQ(apListRecords[0].name, u"客厅");
    EXPECT_EQ(apListRecords[0].model, u"AP-300N");
    EXPECT_EQ(apListRecords[0].ipText, u"192.0.2.10");
    EXPECT_EQ(apListRecords[0].macText, u"02-1A-2B-3C-4D-5E");
    EXPECT_EQ(apListRecords[1].name, u"Office");
    EXPECT_EQ(apListRecords[1].macText, u"02-00-00-00-00-0B");
    // The request came from the adapter's address and port 28011.
    EXPECT_NE(net.Log().find("request from 192.0.2.1:28011 pairs 1: 192.0.2.1/255.255.255.0"),
              std::string::npos)
        << net.Log();
}

// A device on another subnet answers by broadcast; the adapter's socket
// receives that too.
TEST_F(DiscoveryNetworkTest, FindsDevicesThatAnswerByBroadcast) {
    auto& net = AddNetwork("cvx0", "192.0.2.1/24", "192.0.2.2/24");
    ASSERT_TRUE(
        net.Start({"--broadcast-answers", "--device", "AP,Elsewhere,10.0.0.5,02:00:00:00:00:0c"}));
    SetInterfaceOverride({"cvx0"});

    Scan();

    ASSERT_EQ(listCount.load(), 1) << net.Log();
    EXPECT_EQ(apListRecords[0].name, u"Elsewhere");
    EXPECT_EQ(apListRecords[0].ipText, u"10.0.0.5");
}

TEST_F(DiscoveryNetworkTest, IgnoresMalformedAnswersAndKeepsTheLaterDuplicate) {
    auto& net = AddNetwork("cvx0", "192.0.2.1/24", "192.0.2.2/24");
    ASSERT_TRUE(
        net.Start({"--malformed", "short", "--malformed", "long", "--malformed", "type", "--device",
                   "AP,First,192.0.2.10,02:00:00:00:00:0a", "--duplicate", "192.0.2.99"}));
    SetInterfaceOverride({"cvx0"});

    Scan();

    ASSERT_EQ(listCount.load(), 1);
    EXPECT_EQ(apListRecords[0].ipText, u"192.0.2.99");
    EXPECT_EQ(apListRecords[0].name, u"First");
}

TEST_F(DiscoveryNetworkTest, NoAnswerEndsAfterOneSilence) {
    auto& net = AddNetwork("cvx0", "192.0.2.1/24", "192.0.2.2/24");
    ASSERT_TRUE(net.Start({}));
    SetInterfaceOverride({"cvx0"});

    const auto start = std::chrono::steady_clock::now();
    Scan();
    const auto elapsed = std::chrono::steady_clock::now() - start;

    EXPECT_EQ(listCount.load(), 0);
    EXPECT_GE(elapsed, kTestSilence);
    EXPECT_LT(elapsed, 10 * kTestSilence);
    EXPECT_NE(net.Log().find("request from 192.0.2.1:28011"), std::string::npos) << net.Log();
}

TEST_F(DiscoveryNetworkTest, ListeningEndsAtTheFirstSilence) {
    auto& net = AddNetwork("cvx0", "192.0.2.1/24", "192.0.2.2/24");
    // The second answer comes long after the silence has ended the listening.
    ASSERT_TRUE(net.Start({"--devices", "2", "--base-ip", "192.0.2.100", "--gap", "1000"}));
    SetInterfaceOverride({"cvx0"});

    Scan();

    ASSERT_EQ(listCount.load(), 1);
    EXPECT_EQ(apListRecords[0].ipText, u"192.0.2.100");
}

TEST_F(DiscoveryNetworkTest, ReadsAtMostTwentyDatagramsPerAdapter) {
    auto& net = AddNetwork("cvx0", "192.0.2.1/24", "192.0.2.2/24");
    // Three broken datagrams use up three of the twenty reads.
    ASSERT_TRUE(net.Start({"--malformed", "short", "--malformed", "long", "--malformed", "type",
                           "--devices", "20", "--base-ip", "192.0.2.100"}));
    SetInterfaceOverride({"cvx0"});

    Scan();

    EXPECT_EQ(listCount.load(), 17);
}

TEST_F(DiscoveryNetworkTest, TwoAdaptersOnTwoSubnetsShareOneDeviceTable) {
    auto& first = AddNetwork("cvx0", "192.0.2.1/24", "192.0.2.2/24");
    auto& second = AddNetwork("cvx1", "198.51.100.1/24", "198.51.100.2/24");
    ASSERT_TRUE(first.Start({"--device", "AP,Shared,192.0.2.10,02:00:00:00:00:01", "--device",
                             "AP,Only-A,192.0.2.11,02:00:00:00:00:02"}));
    ASSERT_TRUE(second.Start({"--device", "AP,Shared,198.51.100.10,02:00:00:00:00:01", "--device",
                              "AP,Only-B,198.51.100.11,02:00:00:00:00:03"}));
    SetInterfaceOverride({"cvx0", "cvx1"});

    const std::string output = Scan();

    EXPECT_EQ(ListedMacs(), (std::vector<std::u16string>{u"02-00-00-00-00-01", u"02-00-00-00-00-02",
                                                         u"02-00-00-00-00-03"}));
    // The device seen on both adapters keeps the later answer.
    EXPECT_EQ(apListRecords[0].ipText, u"198.51.100.10");
    // Both adapters send the same request listing both pairs, each to its own
    // subnet's broadcast address.
    const std::string pairs = "pairs 2: 192.0.2.1/255.255.255.0 198.51.100.1/255.255.255.0";
    EXPECT_NE(first.Log().find("request from 192.0.2.1:28011 " + pairs), std::string::npos)
        << first.Log();
    EXPECT_NE(second.Log().find("request from 198.51.100.1:28011 " + pairs), std::string::npos)
        << second.Log();
    EXPECT_NE(output.find("server_to.sin_addr.s_addr"), output.rfind("server_to.sin_addr.s_addr"))
        << output;
}

TEST_F(DiscoveryNetworkTest, AdapterWithoutAddressIsSkipped) {
    ASSERT_TRUE(ambrel::test::CreateVethPair("cvx9", "cvx9p"));
    auto& net = AddNetwork("cvx0", "203.0.113.1/24", "203.0.113.2/24");
    ASSERT_TRUE(net.Start({"--device", "AP,Third,203.0.113.10,02:00:00:00:00:07"}));
    SetInterfaceOverride({"cvx9", "cvx0"});

    const std::string output = Scan();

    ASSERT_EQ(listCount.load(), 1);
    EXPECT_EQ(apListRecords[0].ipText, u"203.0.113.10");
    // Only one request went out: none through the adapter without an address.
    EXPECT_EQ(output.find("server_to"), output.rfind("server_to")) << output;
    // The request lists the zero pair of the adapter without an address.
    EXPECT_NE(net.Log().find("pairs 2: 0.0.0.0/0.0.0.0 203.0.113.1/255.255.255.0"),
              std::string::npos)
        << net.Log();
}

}  // namespace
}  // namespace corvix
