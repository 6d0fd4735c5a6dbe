#include "DeviceRefresh.h"

#include <gtest/gtest.h>

#include "DeviceList.h"
#include "DeviceModel.h"
#include "FakeClock.h"
#include "SimCaptureBackend.h"
#include "Transport.h"

namespace ambrel {
namespace {

const MacAddress kPc{0x02, 0x00, 0x00, 0x00, 0x00, 0x0A};
const MacAddress kLocal{0x00, 0xB0, 0x52, 0x40, 0x00, 0x01};

class DeviceRefreshTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetDeviceModel();
        SetCaptureBackend(&backend_);
        CurrentNamingStyle() = NamingStyle::English;
        backend_.AddAdapter("eth0", kPc);
    }
    void TearDown() override {
        CloseAdapters();
        SetCaptureBackend(nullptr);
        CurrentNamingStyle() = NamingStyle::English;
    }
    plcsim::Network& AttachNetwork(int stations) {
        plcsim::DeviceConfig local;
        local.mac = kLocal;
        local.networkKey = DeriveNetworkKey("HomeNet");
        plcsim::Network network(local);
        for (int i = 1; i <= stations; ++i) {
            plcsim::DeviceConfig station;
            station.mac = {0x00, 0xB0, 0x52, 0x40, 0x01, static_cast<uint8_t>(i)};
            station.networkKey = DeriveNetworkKey("HomeNet");
            network.AddStation(station);
        }
        return backend_.AttachNetwork("eth0", std::move(network));
    }
    DeviceModel& Model() { return TheDeviceModel(); }
    test::FakeClock clock_;
    test::SimCaptureBackend backend_;
};

TEST_F(DeviceRefreshTest, StartupScanFillsTheListAndTheKeyAndSetsTheNamingStyle) {
    AttachNetwork(2);
    ASSERT_TRUE(StartupScan("CN"));
    EXPECT_EQ(Model().localFound, 1u);
    EXPECT_EQ(CurrentNamingStyle(), NamingStyle::Chinese);
    ASSERT_EQ(Model().deviceList.count, 2);
    EXPECT_EQ(Model().localDevice.networkKey, DeriveNetworkKey("HomeNet"))
        << "the key comes from the parameter block";
    EXPECT_EQ(FieldText(Model().deviceList.records[0].name),
              "\xC9\xE8\xB1\xB8"
              "1");
}

TEST_F(DeviceRefreshTest, StartupScanWithoutDeviceStopsAfterTheScan) {
    EXPECT_FALSE(StartupScan("XX"));
    EXPECT_EQ(Model().localFound, 0u);
    EXPECT_EQ(CurrentNamingStyle(), NamingStyle::English)
        << "an unknown style text changes nothing";
    EXPECT_EQ(Model().deviceList.count, 0);
}

TEST_F(DeviceRefreshTest, RefreshFollowsTheNetworkAndGoesOnWithoutADevice) {
    plcsim::Network& network = AttachNetwork(3);
    ASSERT_TRUE(StartupScan("EN"));
    ASSERT_EQ(Model().deviceList.count, 3);

    network.Stations()[1].SetNetworkKey(DeriveNetworkKey("Elsewhere"));
    EXPECT_TRUE(RefreshDeviceModel());
    EXPECT_EQ(Model().deviceList.count, 2);

    network.faults.Add({plcsim::FaultKind::Silent, std::nullopt, std::nullopt, 0});
    EXPECT_FALSE(RefreshDeviceModel());
    EXPECT_EQ(Model().localFound, 0u);
    EXPECT_EQ(Model().stationTable.count, 0) << "the table is cleared before asking again";
}

}  // namespace
}  // namespace ambrel
