// The network description file.

#include "NetworkFile.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "Frames.h"

namespace plcsim::testing {
namespace {

// The complete example of README.md, so the documentation stays true.
std::string ReadmeExample() {
    std::ifstream file(PLCSIM_README);
    std::stringstream text;
    text << file.rdbuf();
    const std::string all = text.str();
    const std::string open = "```plcsim-network\n";
    size_t begin = all.find(open);
    if (begin == std::string::npos)
        return {};
    begin += open.size();
    return all.substr(begin, all.find("```", begin) - begin);
}

TEST(NetworkFile, ReadmeExampleDescribesTheNetworkItShows) {
    std::string text = ReadmeExample();
    ASSERT_FALSE(text.empty()) << "no example in " << PLCSIM_README;
    NetworkFileError error;
    auto network = ParseNetworkDescription(text, error);
    ASSERT_TRUE(network) << error.Text("README.md");

    const SimDevice& local = network->Local();
    EXPECT_EQ(local.Mac(), (ambrel::MacAddress{0x02, 0, 0, 0, 0, 0x01}));
    EXPECT_EQ(local.DeviceId(), 0x21);
    EXPECT_EQ(local.Gen(), Generation::Second);
    EXPECT_EQ(local.FirmwareVersion(), "PLCSIM-FW-v2.1.0-rc3");
    EXPECT_EQ(local.NetworkKey(), ambrel::DeriveNetworkKey("FamilyNet"));
    EXPECT_EQ(local.DeviceAccessKey(), ambrel::DeriveDeviceKey("QWER-TYUI-OPAS-DFGH"));
    EXPECT_EQ(local.RestartSilenceMs(), 1500u);
    EXPECT_EQ(local.ParameterBlock().size(), 9040u);

    ASSERT_EQ(network->Stations().size(), 42u);
    const SimDevice& quiet = network->Stations()[0];
    EXPECT_EQ(quiet.RateMbps(), 45);
    EXPECT_FALSE(quiet.AnswersVersion());
    EXPECT_EQ(quiet.NetworkKey(), local.NetworkKey());
    EXPECT_EQ(quiet.Password(), std::string(ambrel::DefaultDevicePassword(quiet.Mac()).data(), 19));

    const SimDevice& last = network->Stations()[40];
    EXPECT_EQ(last.Mac(), (ambrel::MacAddress{0x02, 0, 0, 0, 0x01, 0x27}));
    EXPECT_EQ(last.NetworkKey(), ambrel::kDefaultNetworkKey);
    EXPECT_EQ(network->Stations()[41].NetworkKey(),
              (ambrel::Key16{0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF, 0x01, 0x23, 0x45, 0x67,
                             0x89, 0xAB, 0xCD, 0xEF}));

    const auto& faults = network->faults.List();
    ASSERT_EQ(faults.size(), 4u);
    EXPECT_EQ(faults[0].kind, FaultKind::Delay);
    EXPECT_EQ(faults[0].delayMs, 300u);
    EXPECT_EQ(faults[0].messageType, 0xA038);
    EXPECT_EQ(faults[0].remaining, 2u);
    EXPECT_EQ(faults[1].messageType, 0xA050);
    EXPECT_FALSE(faults[2].remaining.has_value());
    EXPECT_EQ(faults[2].skip, 3u);
    EXPECT_EQ(faults[3].kind, FaultKind::Silent);
}

TEST(NetworkFile, BlockFileReplacesTheGeneratedBlock) {
    const std::string dir = ::testing::TempDir();
    std::vector<uint8_t> block(3000, 0x42);
    {
        std::ofstream out(dir + "/plcsim-block.pib", std::ios::binary);
        out.write(reinterpret_cast<const char*>(block.data()),
                  static_cast<std::streamsize>(block.size()));
    }
    NetworkFileError error;
    auto network = ParseNetworkDescription(
        "local 02:00:00:00:00:01\n id 0x20\n pib-file plcsim-block.pib\n", error, dir);
    ASSERT_TRUE(network) << error.Text("test");
    const auto& loaded = network->Local().ParameterBlock();
    ASSERT_EQ(loaded.size(), 3000u);
    EXPECT_EQ(loaded[0], 0x42);
    EXPECT_EQ(BytesAt(loaded, 0x424, 16), std::vector<uint8_t>(ambrel::kDefaultNetworkKey.begin(),
                                                               ambrel::kDefaultNetworkKey.end()));
}

struct ErrorCase {
    const char* name;
    const char* text;
    size_t line;
    const char* mentions;
};

class NetworkFileErrors : public ::testing::TestWithParam<ErrorCase> {};

TEST_P(NetworkFileErrors, NameTheLineAndTheProblem) {
    const ErrorCase& c = GetParam();
    NetworkFileError error;
    EXPECT_FALSE(ParseNetworkDescription(c.text, error));
    EXPECT_EQ(error.line, c.line) << error.message;
    EXPECT_NE(error.message.find(c.mentions), std::string::npos) << error.message;
    if (c.line != 0) {
        EXPECT_EQ(error.Text("net.txt").rfind("net.txt:" + std::to_string(c.line) + ": ", 0), 0u);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Parser, NetworkFileErrors,
    ::testing::Values(
        ErrorCase{"NoLocalDevice", "station 02:00:00:00:00:02\n", 0, "no local device"},
        ErrorCase{"SettingOutsideDevice", "# hello\nrate 10\n", 2, "outside a device"},
        ErrorCase{"BadMac", "local 02:00:00:00:00\n", 1, "not a MAC"},
        ErrorCase{"ManagementAddressAsDevice", "local 00:B0:52:00:00:01\n", 1, "cannot be"},
        ErrorCase{"SecondLocal", "local 02:00:00:00:00:01\nlocal 02:00:00:00:00:02\n", 2, "line 1"},
        ErrorCase{"UnknownSetting", "local 02:00:00:00:00:01\n  colour blue\n", 2, "colour"},
        ErrorCase{"MissingValue", "local 02:00:00:00:00:01\n  rate\n", 2, "needs a value"},
        ErrorCase{"RateTooHigh", "local 02:00:00:00:00:01\n  rate 300\n", 2, "rate"},
        ErrorCase{"ShortKey", "local 02:00:00:00:00:01\n  network-key 0123\n", 2, "32 hexadecimal"},
        ErrorCase{"LongFirmwareText",
                  "local 02:00:00:00:00:01\n  firmware "
                  "xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx"
                  "xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx\n",
                  2, "128"},
        ErrorCase{"LongPassword", "local 02:00:00:00:00:01\n  password AAAA-BBBB-CCCC-DDDD-E\n", 2,
                  "19"},
        ErrorCase{"RepeatOnLocal", "local 02:00:00:00:00:01\n  repeat 3\n", 2, "stations only"},
        ErrorCase{"DuplicateMacFromRepeat",
                  "local 02:00:00:00:00:01\nstation 02:00:00:00:00:05\nstation "
                  "02:00:00:00:00:03\n repeat 4\n",
                  3, "used twice"},
        ErrorCase{"BlockTooShort", "local 02:00:00:00:00:01\n id 0x21\n pib-length 100\n", 1,
                  "too short"},
        ErrorCase{"MissingBlockFile", "local 02:00:00:00:00:01\n pib-file /nonexistent/x.pib\n", 2,
                  "cannot read"},
        ErrorCase{"UnknownFault", "local 02:00:00:00:00:01\nfault explode\n", 2, "explode"},
        ErrorCase{"DelayWithoutMs", "local 02:00:00:00:00:01\nfault delay type=A000\n", 2, "ms="},
        ErrorCase{"SilentWithType", "local 02:00:00:00:00:01\nfault silent type=A000\n", 2,
                  "every type"},
        ErrorCase{"BadFaultOption", "local 02:00:00:00:00:01\nfault drop later=3\n", 2, "later"},
        ErrorCase{"AfterNotANumber", "local 02:00:00:00:00:01\nfault drop after=x\n", 2, "after"},
        ErrorCase{"ZeroCount", "local 02:00:00:00:00:01\nfault drop count=0\n", 2, "count"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(NetworkFile, LoadNamesTheFileThatCannotBeOpened) {
    std::string error;
    EXPECT_FALSE(LoadNetworkFile("/nonexistent/net.txt", error));
    EXPECT_NE(error.find("/nonexistent/net.txt"), std::string::npos) << error;
}

}  // namespace
}  // namespace plcsim::testing
