#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "CliCommands.h"
#include "OperationsFixture.h"
#include "QosPacking.h"

namespace ambrel::test {
namespace {

namespace fs = std::filesystem;

constexpr const char* kPassword = "ABCD-EFGH-IJKL-MNOP";

class CliDeviceCommandsTest : public OperationsTest {
protected:
    void SetUp() override {
        OperationsTest::SetUp();
        Attach(Device(kLocalMac, kSecondGenerationId, "HomeNet"));
        dir_ = fs::temp_directory_path() / ("ambrel-cli-" + std::to_string(getpid()));
        fs::create_directories(dir_);
    }
    void TearDown() override {
        fs::remove_all(dir_);
        OperationsTest::TearDown();
    }
    int Run(std::vector<std::string> args) {
        out_.str("");
        err_.str("");
        CliEnvironment environment;
        environment.backend = &backend_;
        ResetDeviceModel();  // every run is a new process
        return RunCli(args, out_, err_, environment);
    }
    std::string Path(const std::string& name) const { return (dir_ / name).string(); }

    std::ostringstream out_;
    std::ostringstream err_;
    fs::path dir_;
};

TEST_F(CliDeviceCommandsTest, CommandsRunAgainstTheSimulatedNetwork) {
    Net().AddStation(Device(StationMac(1), kFirstGenerationId, "HomeNet", kPassword));
    Net().AddStation(
        Device(StationMac(2), kFirstGenerationId, std::nullopt, "QRST-UVWX-YZAB-CDEF"));
    const std::string remote = FormatMac(StationMac(1)) + "=" + kPassword;
    struct Case {
        std::vector<std::string> args;
        const char* output;
    };
    const Case cases[] = {
        {{"network", "--name", "HomeNet"}, "the network named \"HomeNet\""},
        {{"qos", "show"}, "base priorities: 0,1,2,3"},
        {{"qos", "set", "--preset", "2"}, "mode:            preset 2"},
        {{"qos", "show"}, "vlan map:        2,0,0,1,2,2,3,3"},
        {{"qos", "set", "--tos", "on", "--tos-map", "3,3,3,3,0,0,0,0"}, "mode:            custom"},
        {{"qos", "show"}, "tos map:         3,3,3,3,0,0,0,0"},
        {{"set-network", "FamilyNet", "--all", "--remote", remote}, "was handed the key"},
        {{"network", "--name", "FamilyNet"}, "the network named \"FamilyNet\""},
        {{"add-device", "QRST-UVWX-YZAB-CDEF"}, "02:00:00:00:10:02 joined the network"},
        {{"pib", "read", Path("block.pib")}, "saved 9040 bytes"},
        {{"restart"}, "is restarting"},
        {{"reset", "--all", "--remote", remote},
         "factory defaults restored on 02:00:00:00:00:01 and "
         "02:00:00:00:10:01"},
        {{"network"}, "default network"},
    };
    for (const Case& c : cases) {
        std::string line;
        for (const auto& arg : c.args)
            line += arg + " ";
        SCOPED_TRACE(line);
        EXPECT_EQ(Run(c.args), 0) << err_.str();
        EXPECT_NE(out_.str().find(c.output), std::string::npos) << out_.str();
    }
    EXPECT_EQ(Station(1).NetworkKey(), DeriveNetworkKey("FamilyNet"));
    std::ifstream saved(Path("block.pib"), std::ios::binary);
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(saved)), {});
    EXPECT_EQ(bytes.size(), 9040u);
}

TEST_F(CliDeviceCommandsTest, JoinChecksThatTheDeviceShowedUp) {
    Net().AddStation(Device(StationMac(1), kFirstGenerationId, std::nullopt, kPassword));
    EXPECT_EQ(Run({"join", FormatMac(StationMac(1)), "ZZZZ-ZZZZ-ZZZZ-ZZZZ"}), 1);
    EXPECT_NE(err_.str().find("check its password"), std::string::npos);
    EXPECT_EQ(Run({"join", FormatMac(StationMac(1)), kPassword}), 0) << err_.str();
    EXPECT_EQ(Station(0).NetworkKey(), Local().NetworkKey());
}

TEST_F(CliDeviceCommandsTest, UpgradeSendsTheFilesThenRestoresFactoryDefaults) {
    std::ofstream(Path("fw.nvm"), std::ios::binary) << std::string(3000, 'F');
    auto block = plcsim::MakeDefaultBlock(plcsim::Generation::Second, 9040, StationMac(9), {},
                                          kDefaultNetworkKey);
    std::ofstream(Path("p.pib"), std::ios::binary)
        .write(reinterpret_cast<const char*>(block.data()),
               static_cast<std::streamsize>(block.size()));
    EXPECT_EQ(Run({"upgrade", Path("fw.nvm"), Path("p.pib")}), 0) << err_.str();
    EXPECT_NE(out_.str().find("restored its factory defaults"), std::string::npos);
    EXPECT_EQ(Local().WrittenFirmware().size(), 3000u);
    EXPECT_EQ(Local().counters.factoryResets, 1u);

    EXPECT_EQ(Run({"upgrade", Path("fw.nvm"), Path("missing.pib")}), 1);
    EXPECT_EQ(err_.str(), "ambrel-cli: the parameter file cannot be opened for reading\n");
}

TEST_F(CliDeviceCommandsTest, FailuresExitNonZeroWithAReason) {
    struct Case {
        std::vector<std::string> args;
        int code;
        const char* message;
    };
    const Case cases[] = {
        {{"set-network", "abc"}, 2, "4 to 23 bytes"},
        {{"set-network", "FamilyNet", "--remote", "02:00:00:00:10:01=ABCD-EFGH-IJKL-MNOP"},
         2,
         "--remote goes with --all"},
        {{"add-device", "ABCD-EFGH-IJKL-MNO"}, 2, "is not a device password"},
        {{"qos", "set", "--preset", "1", "--vlan", "on"}, 2, "--preset goes with none"},
        {{"qos", "set", "--vlan-map", "1,2,3"}, 2, "eight priorities"},
        {{"qos", "set"}, 2, "needs --preset N or"},
        {{"scan", "--all"}, 2, "takes none of"},
        {{"reset", "--all", "--remote", "02:00:00:00:10:07=ABCD-EFGH-IJKL-MNOP"},
         1,
         "is not in the local device's network"},
        {{"add-device", kPassword}, 1, "no device with this password joined"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args[0]);
        EXPECT_EQ(Run(c.args), c.code);
        EXPECT_NE(err_.str().find(c.message), std::string::npos) << err_.str();
    }
}

TEST_F(CliDeviceCommandsTest, MissingLocalDeviceIsReported) {
    Net().faults.Add(plcsim::Fault{plcsim::FaultKind::Silent, {}, {}, 0});
    for (std::vector<std::string> args :
         {std::vector<std::string>{"qos", "show"}, {"reset"}, {"set-network", "FamilyNet"}}) {
        SCOPED_TRACE(args[0]);
        EXPECT_EQ(Run(args), 1);
        EXPECT_NE(err_.str().find("no powerline device found"), std::string::npos) << err_.str();
    }
}

}  // namespace
}  // namespace ambrel::test
