#include "Discovery.h"

#include <gtest/gtest.h>

#include "DeviceModel.h"
#include "FakeClock.h"
#include "SimCaptureBackend.h"
#include "Transport.h"

namespace ambrel {
namespace {

const MacAddress kPcA{0x02, 0x00, 0x00, 0x00, 0x00, 0x0A};
const MacAddress kPcB{0x02, 0x00, 0x00, 0x00, 0x00, 0x0B};

MacAddress DeviceMac(uint8_t network, uint8_t index) {
    return {0x00, 0xB0, 0x52, 0x00, network, index};
}

plcsim::Network NetworkWith(uint8_t networkId, uint8_t localId, int stations) {
    plcsim::DeviceConfig local;
    local.mac = DeviceMac(networkId, 0);
    local.deviceId = localId;
    local.firmwareVersion = "LOCAL-FW-" + std::to_string(networkId);
    plcsim::Network network(local);
    for (int i = 1; i <= stations; ++i) {
        plcsim::DeviceConfig station;
        station.mac = DeviceMac(networkId, static_cast<uint8_t>(i));
        station.deviceId = 2;
        station.rateMbps = static_cast<uint8_t>(10 + i);
        station.firmwareVersion = "STATION-FW";
        network.AddStation(station);
    }
    return network;
}

class DiscoveryTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetDeviceModel();
        SetCaptureBackend(&backend_);
    }
    void TearDown() override {
        CloseAdapters();
        SetCaptureBackend(nullptr);
    }
    DeviceModel& Model() { return TheDeviceModel(); }
    // The scan, the network information and the station versions, as a
    // page refresh runs them.
    bool Discover() {
        Model().localFound = ScanForLocalDevice();
        if (!Model().localFound)
            return false;
        if (!QueryNetworkInfo(Model().localDevice.mac))
            return false;
        QueryStationVersions();
        return true;
    }
    test::FakeClock clock_;
    test::SimCaptureBackend backend_;
};

TEST_F(DiscoveryTest, FindsTheLocalDeviceOfEitherGeneration) {
    struct Case {
        uint8_t id;
        const char* label;
        uint32_t secondGeneration;
    };
    for (const Case& c : {Case{2, "INT6300", 0}, Case{0x20, "500A", 1}, Case{0x21, "200B", 1}}) {
        ResetDeviceModel();
        test::SimCaptureBackend backend;
        SetCaptureBackend(&backend);
        backend.AddAdapter("eth0", kPcA);
        backend.AttachNetwork("eth0", NetworkWith(1, c.id, 0));
        ASSERT_TRUE(ScanForLocalDevice()) << int(c.id);
        EXPECT_EQ(Model().localDevice.mac, DeviceMac(1, 0));
        EXPECT_EQ(FieldText(Model().localDevice.chipLabel), c.label);
        EXPECT_EQ(Model().secondGeneration, c.secondGeneration);
        EXPECT_EQ(FieldText(Model().localDevice.firmwareVersion), "LOCAL-FW-1");
        // Two version requests to the management address, then nothing more.
        auto sent = backend.SentFrames("eth0");
        ASSERT_EQ(sent.size(), 2u);
        EXPECT_EQ(sent[0].size(), 64u) << "the generation is learnt from the first answer";
        EXPECT_EQ(sent[1].size(), c.secondGeneration ? 1448u : 64u);
        CloseAdapters();
    }
    SetCaptureBackend(&backend_);
}

TEST_F(DiscoveryTest, TheLowerAdapterWinsAndEmptyAdaptersCostOneWait) {
    backend_.AddAdapter("eth0", kPcA);  // nothing behind it
    backend_.AddAdapter("eth1", kPcB);
    backend_.AddAdapter("eth2", {0x02, 0, 0, 0, 0, 0x0C});
    backend_.AttachNetwork("eth1", NetworkWith(1, 2, 1));
    backend_.AttachNetwork("eth2", NetworkWith(2, 2, 1));
    uint64_t start = clock_.NowMs();
    ASSERT_TRUE(ScanForLocalDevice());
    EXPECT_EQ(Model().selectedAdapter, 1);
    EXPECT_EQ(Model().localDevice.mac, DeviceMac(1, 0));
    EXPECT_EQ(backend_.SentFrames("eth0").size(), 1u);
    EXPECT_TRUE(backend_.SentFrames("eth2").empty());
    // One 100 ms wait on the empty adapter, and the 20 ms pause after the
    // local device's second answer.
    EXPECT_GE(clock_.NowMs() - start, 120u);
    EXPECT_LT(clock_.NowMs() - start, 200u);
}

TEST_F(DiscoveryTest, NothingFoundLeavesTheLastAdapterSelectedAndTheOldDevice) {
    test::SimCaptureBackend::AdapterOptions noMac;
    noMac.macQueryFails = true;
    backend_.AddAdapter("eth0", kPcA);
    backend_.AddAdapter("eth1", kPcB, noMac);
    backend_.AttachNetwork("eth1", NetworkWith(1, 2, 0));  // unusable: its MAC is unknown
    Model().localDevice.mac = DeviceMac(9, 9);
    EXPECT_FALSE(ScanForLocalDevice());
    EXPECT_EQ(Model().selectedAdapter, 1);
    EXPECT_EQ(Model().localDevice.mac, DeviceMac(9, 9));
    EXPECT_TRUE(backend_.SentFrames("eth1").empty());
    EXPECT_EQ(Model().localQuery, 1u);
}

TEST_F(DiscoveryTest, StationsWithRatesVersionsAndSilence) {
    backend_.AddAdapter("eth0", kPcA);
    plcsim::Network& network = backend_.AttachNetwork("eth0", NetworkWith(1, 2, 3));
    plcsim::DeviceConfig silent;
    silent.mac = DeviceMac(1, 4);
    silent.answersVersion = false;
    network.AddStation(silent);
    ASSERT_TRUE(Discover());

    const DeviceTable& stations = Model().stationTable;
    ASSERT_EQ(stations.count, 4);
    for (int i = 0; i < 3; ++i) {
        const DeviceRecord& station = stations.records[static_cast<size_t>(i)];
        EXPECT_EQ(station.mac, DeviceMac(1, static_cast<uint8_t>(i + 1)));
        EXPECT_EQ(station.rate, 11 + i);
        EXPECT_EQ(station.answered, 1);
        EXPECT_EQ(FieldText(station.chipLabel), "INT6300");
        EXPECT_EQ(FieldText(station.firmwareVersion), "STATION-FW");
    }
    EXPECT_EQ(stations.records[3].answered, 0);
    EXPECT_EQ(Model().localQuery, 0u);
    EXPECT_EQ(Model().localDevice.mac, DeviceMac(1, 0)) << "station answers leave the local device";
}

TEST_F(DiscoveryTest, ZeroAndMoreThan32Stations) {
    backend_.AddAdapter("eth0", kPcA);
    backend_.AttachNetwork("eth0", NetworkWith(1, 2, 0));
    ASSERT_TRUE(Discover());
    EXPECT_EQ(Model().stationTable.count, 0);

    backend_.AttachNetwork("eth0", NetworkWith(1, 2, 40));
    ASSERT_TRUE(Discover());
    ASSERT_EQ(Model().stationTable.count, 32);
    EXPECT_EQ(Model().stationTable.records[31].mac, DeviceMac(1, 32));
    EXPECT_EQ(Model().stationTable.records[31].answered, 1);
}

TEST_F(DiscoveryTest, NetworkInfoTimeoutKeepsTheStationTable) {
    backend_.AddAdapter("eth0", kPcA);
    plcsim::Network& network = backend_.AttachNetwork("eth0", NetworkWith(1, 2, 2));
    ASSERT_TRUE(Discover());
    network.faults.Add({plcsim::FaultKind::Drop, 0xA038, std::nullopt, 0});
    uint64_t start = clock_.NowMs();
    EXPECT_FALSE(QueryNetworkInfo(Model().localDevice.mac));
    EXPECT_GE(clock_.NowMs() - start, 500u);
    EXPECT_EQ(Model().stationTable.count, 2);
}

}  // namespace
}  // namespace ambrel
