#include <gtest/gtest.h>

#include "ByteCursor.h"
#include "DeviceOperations.h"
#include "NetworkKeyOperations.h"
#include "OperationsFixture.h"

namespace ambrel::test {
namespace {

using plcsim::FaultKind;

constexpr const char* kNewPassword = "ABCD-EFGH-IJKL-MNOP";
constexpr const char* kOtherPassword = "QRST-UVWX-YZAB-CDEF";

class KeyOperationsTest : public OperationsTest, public ::testing::WithParamInterface<uint8_t> {
protected:
    void SetUp() override {
        OperationsTest::SetUp();
        Attach(Device(kLocalMac, GetParam(), "HomeNet"));
    }
    void Start() {
        FindLocal();
        Model().localDevice.networkKey = Local().NetworkKey();  // as read from its block
    }
    // The set-key requests sent, as the devices received them.
    std::vector<ByteReader> SetKeyFrames() {
        frames_.clear();
        for (auto& frame : backend_.SentFrames("eth0")) {
            if (ByteReader(frame).Le16(15) == 0xA050)
                frames_.push_back(frame);
        }
        std::vector<ByteReader> readers;
        for (auto& frame : frames_)
            readers.emplace_back(frame);
        return readers;
    }
    static Key16 KeyAt(const ByteReader& frame, size_t at) {
        Key16 key{};
        auto bytes = frame.Bytes(at, 16);
        if (bytes)
            std::copy(bytes->begin(), bytes->end(), key.begin());
        return key;
    }
    static MacAddress MacAt(const ByteReader& frame, size_t at) {
        MacAddress mac{};
        auto bytes = frame.Bytes(at, 6);
        if (bytes)
            std::copy(bytes->begin(), bytes->end(), mac.begin());
        return mac;
    }
    void StartPairing(const char* password) {
        SetFieldText(Model().keyRequest.password, password);
        Model().setKeyByPassword = 1;
        Model().setKeyLocal = 0;
    }

    std::vector<std::vector<uint8_t>> frames_;
};

TEST_P(KeyOperationsTest, LocalDeviceJoinsTheNamedNetworkInTheLocalForm) {
    Start();
    SetFieldText(Model().keyRequest.networkName, "FamilyNet");
    ASSERT_TRUE(JoinLocalToNetwork(kLocalMac));

    const Key16 expected = DeriveNetworkKey("FamilyNet");
    EXPECT_EQ(Local().NetworkKey(), expected);
    EXPECT_EQ(Model().localDevice.networkKey, expected);
    EXPECT_EQ(FieldText(Model().localDevice.networkName), "FamilyNet");
    auto frames = SetKeyFrames();
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].U8(37), 0x0F);
    EXPECT_EQ(MacAt(frames[0], 38), kLocalMac);
    EXPECT_EQ(KeyAt(frames[0], 44), Key16{});
}

TEST_P(KeyOperationsTest, RefusedSetKeyLeavesTheModelAlone) {
    Start();
    const Key16 before = Model().localDevice.networkKey;
    Net().faults.Add(FaultOf(FaultKind::WrongStatus, 0xA050));
    SetFieldText(Model().keyRequest.networkName, "FamilyNet");
    EXPECT_FALSE(JoinLocalToNetwork(kLocalMac));
    EXPECT_EQ(Model().localDevice.networkKey, before);
}

TEST_P(KeyOperationsTest, NewDeviceJoinsByItsPassword) {
    Net().AddStation(Device(StationMac(1), kFirstGenerationId, std::nullopt, kNewPassword));
    Net().AddStation(Device(StationMac(2), kSecondGenerationId, std::nullopt, kOtherPassword));
    Start();
    StartPairing(kNewPassword);
    const Key16 home = Local().NetworkKey();

    ASSERT_TRUE(AddDeviceByPassword(kLocalMac));
    EXPECT_EQ(Model().addedDeviceMac, StationMac(1));
    EXPECT_EQ(Station(0).NetworkKey(), home);
    EXPECT_EQ(Station(1).NetworkKey(), kDefaultNetworkKey) << "other password, not paired";
    EXPECT_EQ(Local().NetworkKey(), home);
    EXPECT_EQ(Model().keyRequest.key, home);

    EXPECT_EQ(Requests(), (std::vector<std::string>{"A050 x2", "A038", "A050 x2"}));
    auto frames = SetKeyFrames();
    ASSERT_EQ(frames.size(), 4u);
    const Key16 temporary = KeyAt(frames[0], 21);
    EXPECT_NE(temporary, home);
    EXPECT_NE(temporary, kDefaultNetworkKey);
    EXPECT_EQ(MacAt(frames[0], 38), kBroadcastMac);
    EXPECT_EQ(KeyAt(frames[0], 44), DeriveDeviceKey(kNewPassword));
    EXPECT_EQ(KeyAt(frames[1], 21), temporary);  // the local device follows
    EXPECT_EQ(frames[1].U8(37), 0x0F);
    EXPECT_EQ(KeyAt(frames[2], 21), home);  // and goes back
    EXPECT_EQ(KeyAt(frames[3], 21), home);  // the new device gets the home key
    EXPECT_EQ(MacAt(frames[3], 38), StationMac(1));
    EXPECT_EQ(KeyAt(frames[3], 44), DeriveDeviceKey(kNewPassword));
    EXPECT_GE(clock_.SleptMs(), 1000u + 10000 + 4000 + 12000 + 3000);
}

TEST_P(KeyOperationsTest, PairingRestoresTheLocalNetworkUnlessExactlyOneDeviceAnswers) {
    struct Case {
        const char* what;
        std::vector<const char*> stationPasswords;
    };
    const Case cases[] = {
        {"no device owns the password", {kOtherPassword}},
        {"two devices own the password", {kNewPassword, kNewPassword}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Attach(Device(kLocalMac, GetParam(), "HomeNet"));
        uint8_t n = 1;
        for (const char* password : c.stationPasswords) {
            Net().AddStation(Device(StationMac(n++), kFirstGenerationId, std::nullopt, password));
        }
        Start();
        StartPairing(kNewPassword);
        const Key16 home = Local().NetworkKey();

        EXPECT_FALSE(AddDeviceByPassword(kLocalMac));
        EXPECT_EQ(Local().NetworkKey(), home);
        EXPECT_EQ(Model().keyRequest.key, home);
        EXPECT_EQ(Requests(), (std::vector<std::string>{"A050 x2", "A038", "A050"}));
        ResetDeviceModel();
    }
}

TEST_P(KeyOperationsTest, PairingFailsAtOnceWhenTheBroadcastIsRefused) {
    Net().AddStation(Device(StationMac(1), kFirstGenerationId, std::nullopt, kNewPassword));
    Start();
    StartPairing(kNewPassword);
    Net().faults.Add(FaultOf(FaultKind::WrongStatus, 0xA050));
    EXPECT_FALSE(AddDeviceByPassword(kLocalMac));
    EXPECT_EQ(Requests(), std::vector<std::string>{"A050"});
}

TEST_P(KeyOperationsTest, NothingIsSentWithoutWhatTheRequestNeeds) {
    Start();
    // Pairing without the local network's key could not put the device back.
    Model().localDevice.networkKey = Key16{};
    StartPairing(kNewPassword);
    EXPECT_FALSE(AddDeviceByPassword(kLocalMac));
    // The list form without a listed device would send the key to nobody.
    Model().localDevice.networkKey = Local().NetworkKey();
    Model().setKeyByPassword = 0;
    Model().selectedDevice = -1;
    EXPECT_FALSE(SetKey(kLocalMac));
    EXPECT_TRUE(Log().empty());
}

TEST_P(KeyOperationsTest, ListFormHandsTheLocalKeyToTheSelectedDevice) {
    Net().AddStation(Device(StationMac(1), kFirstGenerationId, std::nullopt, kNewPassword));
    Start();
    Model().deviceList.count = 1;
    Model().deviceList.records[0].mac = StationMac(1);
    SetFieldText(Model().deviceList.records[0].password, kNewPassword);
    Model().selectedDevice = 0;
    Model().setKeyLocal = 0;
    Model().setKeyByPassword = 0;
    ASSERT_TRUE(SetKey(kLocalMac));
    EXPECT_EQ(Station(0).NetworkKey(), Local().NetworkKey());
}

TEST_P(KeyOperationsTest, ResetsAndRestartReachTheDevice) {
    Net().AddStation(Device(StationMac(1), kFirstGenerationId, "HomeNet"));
    Start();
    EXPECT_TRUE(RestoreFactoryDefaults(StationMac(1)));
    EXPECT_EQ(Station(0).counters.factoryResets, 1u);
    EXPECT_TRUE(RestoreFactoryDefaults(kLocalMac));
    EXPECT_EQ(Local().NetworkKey(), kDefaultNetworkKey);
    EXPECT_TRUE(RestartDevice(kLocalMac));
    EXPECT_EQ(Local().counters.restarts, 1u);
    EXPECT_EQ(Requests(), (std::vector<std::string>{"A07C x2", "A01C"}));
}

INSTANTIATE_TEST_SUITE_P(Generations, KeyOperationsTest,
                         ::testing::Values(kFirstGenerationId, kSecondGenerationId),
                         [](const auto& info) {
                             return std::string(info.param == kFirstGenerationId ? "First"
                                                                                 : "Second");
                         });

}  // namespace
}  // namespace ambrel::test
