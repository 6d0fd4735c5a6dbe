// Discovery over a real wire: libpcap on veth pairs, with the simulator
// program on the far ends in namespaces of their own.

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <memory>
#include <sstream>
#include <thread>
#include <vector>

#include "DeviceModel.h"
#include "Discovery.h"
#include "PcapBackend.h"
#include "TestNetwork.h"
#include "Transport.h"

namespace ambrel {
namespace {

// One adapter of the PC with, optionally, a simulated powerline network
// behind it.
class WiredNetwork {
public:
    // `description` is a network file; empty: nothing answers on this wire.
    explicit WiredNetwork(const std::string& description) {
        static int counter = 0;
        const int n = counter++;
        adapter_ = "pc" + std::to_string(n);
        const std::string peer = "plc" + std::to_string(n);
        ok_ = test::CreateVethPair(adapter_, peer) && host_.Create(peer);
        if (!ok_ || description.empty())
            return;
        file_ = "/tmp/ambrel-wire-test-" + std::to_string(getpid()) + "-" + std::to_string(n);
        std::ofstream(file_ + ".net") << description;
        ok_ = host_.Start({test::BuiltProgram("plcsim"), "--interface", peer, "--network",
                           file_ + ".net", "--log", file_ + ".log"});
    }
    ~WiredNetwork() {
        host_.Stop();
        if (!file_.empty()) {
            std::remove((file_ + ".net").c_str());
            std::remove((file_ + ".log").c_str());
        }
    }
    bool Ok() const { return ok_; }
    const std::string& Adapter() const { return adapter_; }
    std::string Log() const {
        std::ifstream in(file_ + ".log");
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

private:
    std::string adapter_;
    std::string file_;
    test::PeerHost host_;
    bool ok_ = false;
};

constexpr const char* kFirstGeneration = R"(
local 00:B0:52:30:00:01
    id 2
    firmware LOCAL-FIRST
station 00:B0:52:30:00:02
    id 1
    firmware REMOTE-A
    rate 120
station 00:B0:52:30:00:03
    rate 40
    answers-version no
)";

class DiscoveryWireTest : public ::testing::Test {
protected:
    void SetUp() override {
        AMBREL_REQUIRE_PRIVATE_NETWORK();
        ResetDeviceModel();
        UsePcapBackend();
    }
    void TearDown() override {
        CloseAdapters();
        SetCaptureBackend(nullptr);
    }
    DeviceModel& Model() { return TheDeviceModel(); }
    static void LetSimulatorsStart() {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
    }
};

TEST_F(DiscoveryWireTest, FirstGenerationDeviceAndItsStations) {
    WiredNetwork wire(kFirstGeneration);
    ASSERT_TRUE(wire.Ok());
    LetSimulatorsStart();

    ASSERT_TRUE(ScanForLocalDevice());
    EXPECT_EQ(AdapterName(Model().selectedAdapter), wire.Adapter());
    EXPECT_EQ(FormatMac(Model().localDevice.mac), "00:B0:52:30:00:01");
    EXPECT_EQ(FieldText(Model().localDevice.chipLabel), "INT6300");
    EXPECT_EQ(FieldText(Model().localDevice.firmwareVersion), "LOCAL-FIRST");
    EXPECT_EQ(Model().secondGeneration, 0u);

    ASSERT_TRUE(QueryNetworkInfo(Model().localDevice.mac));
    QueryStationVersions();
    const DeviceTable& stations = Model().stationTable;
    ASSERT_EQ(stations.count, 2);
    EXPECT_EQ(FormatMac(stations.records[0].mac), "00:B0:52:30:00:02");
    EXPECT_EQ(stations.records[0].rate, 120);
    EXPECT_EQ(stations.records[0].answered, 1);
    EXPECT_EQ(FieldText(stations.records[0].chipLabel), "INT6000");
    EXPECT_EQ(FieldText(stations.records[0].firmwareVersion), "REMOTE-A");
    EXPECT_EQ(stations.records[1].rate, 40);
    EXPECT_EQ(stations.records[1].answered, 0) << "a station that does not answer";
}

TEST_F(DiscoveryWireTest, SecondGenerationDeviceIsSentLongFrames) {
    WiredNetwork wire(R"(
local 00:B0:52:31:00:01
    id 0x21
station 00:B0:52:31:00:02
    id 0x20
)");
    ASSERT_TRUE(wire.Ok());
    LetSimulatorsStart();
    ASSERT_TRUE(ScanForLocalDevice());
    EXPECT_EQ(Model().secondGeneration, 1u);
    EXPECT_EQ(FieldText(Model().localDevice.chipLabel), "200B");
    ASSERT_TRUE(QueryNetworkInfo(Model().localDevice.mac));
    QueryStationVersions();
    ASSERT_EQ(Model().stationTable.count, 1);
    EXPECT_EQ(FieldText(Model().stationTable.records[0].chipLabel), "500A");
}

TEST_F(DiscoveryWireTest, OfTwoAdaptersWithDevicesTheLowerWins) {
    WiredNetwork first("local 00:B0:52:32:00:01\n");
    WiredNetwork second("local 00:B0:52:33:00:01\n");
    WiredNetwork empty("");
    ASSERT_TRUE(first.Ok() && second.Ok() && empty.Ok());
    LetSimulatorsStart();
    ASSERT_TRUE(ScanForLocalDevice());
    ASSERT_EQ(Model().adapterCount, 3);
    // Whatever order the capture library lists them in, the first adapter
    // with a device behind it is the one kept.
    int firstWithDevice = AdapterName(0) == empty.Adapter() ? 1 : 0;
    EXPECT_EQ(Model().selectedAdapter, firstWithDevice);
    const std::string expected =
        AdapterName(firstWithDevice) == first.Adapter() ? "00:B0:52:32:00:01" : "00:B0:52:33:00:01";
    EXPECT_EQ(FormatMac(Model().localDevice.mac), expected);
}

TEST_F(DiscoveryWireTest, AnAdapterWithoutDeviceFindsNothing) {
    WiredNetwork empty("");
    ASSERT_TRUE(empty.Ok());
    EXPECT_FALSE(ScanForLocalDevice());
    EXPECT_EQ(Model().adapterCount, 1);
    EXPECT_EQ(Model().selectedAdapter, 0);
}

TEST_F(DiscoveryWireTest, StationTablesOfZeroAndOfMoreThan32) {
    std::string crowded = "local 00:B0:52:34:00:01\n";
    for (int i = 1; i <= 40; ++i) {
        char line[64];
        std::snprintf(line, sizeof line, "station 00:B0:52:34:01:%02X\n    rate %d\n", i, i);
        crowded += line;
    }
    WiredNetwork wire(crowded);
    ASSERT_TRUE(wire.Ok());
    LetSimulatorsStart();
    ASSERT_TRUE(ScanForLocalDevice());
    ASSERT_TRUE(QueryNetworkInfo(Model().localDevice.mac));
    ASSERT_EQ(Model().stationTable.count, 32);
    EXPECT_EQ(Model().stationTable.records[31].rate, 32);

    WiredNetwork lonely("local 00:B0:52:35:00:01\n");
    ASSERT_TRUE(lonely.Ok());
    LetSimulatorsStart();
    ResetDeviceModel();
    ASSERT_TRUE(ScanForLocalDevice());
    ASSERT_TRUE(QueryNetworkInfo(Model().localDevice.mac));
    // Whichever of the two networks was found, the table matches it.
    EXPECT_EQ(Model().stationTable.count,
              FormatMac(Model().localDevice.mac) == "00:B0:52:35:00:01" ? 0 : 32);
}

TEST_F(DiscoveryWireTest, InjectedFaults) {
    struct Case {
        const char* fault;
        bool found;
        const char* why;
    };
    const Case cases[] = {
        {"fault drop type=0xA000 count=1", false, "the probe's answer is lost"},
        {"fault drop type=0xA000 count=1\nfault drop type=0xA000 count=1", false, "both lost"},
        {"fault delay type=0xA000 ms=40", true, "late, but within the 100 ms wait"},
        {"fault delay type=0xA000 ms=250", false, "later than the wait"},
        {"fault duplicate type=0xA000", true, "a second copy changes nothing"},
        {"fault corrupt type=0xA000", false, "arrives, but the parser refuses it"},
        {"fault silent", false, "the device has gone quiet"},
    };
    for (const Case& c : cases) {
        WiredNetwork wire(std::string("local 00:B0:52:36:00:01\n") + c.fault + "\n");
        ASSERT_TRUE(wire.Ok());
        LetSimulatorsStart();
        ResetDeviceModel();
        EXPECT_EQ(ScanForLocalDevice(), c.found) << c.fault << ": " << c.why;
        CloseAdapters();
    }
}

TEST_F(DiscoveryWireTest, SimulatorLogsTheRequestsInOrder) {
    WiredNetwork wire(kFirstGeneration);
    ASSERT_TRUE(wire.Ok());
    LetSimulatorsStart();
    ASSERT_TRUE(ScanForLocalDevice());
    ASSERT_TRUE(QueryNetworkInfo(Model().localDevice.mac));
    QueryStationVersions();
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    // Each log line: time, type, dst=..., src=..., summary.
    std::vector<std::string> requests;
    std::istringstream lines(wire.Log());
    for (std::string line; std::getline(lines, line);) {
        std::istringstream words(line);
        std::string time, type, destination;
        words >> time >> type >> destination;
        requests.push_back(type + " " + destination);
    }
    // Two versions to the management address, the network information, one
    // version per station in table order.
    const std::vector<std::string> expected{
        "A000 dst=00:B0:52:00:00:01", "A000 dst=00:B0:52:00:00:01", "A038 dst=00:B0:52:30:00:01",
        "A000 dst=00:B0:52:30:00:02", "A000 dst=00:B0:52:30:00:03"};
    EXPECT_EQ(requests, expected);
}

}  // namespace
}  // namespace ambrel
