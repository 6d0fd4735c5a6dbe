#include "WorkerRoutines.h"

#include <gtest/gtest.h>

#include <future>
#include <thread>

#include "OperationsFixture.h"
#include "ParameterBlock.h"
#include "QosPacking.h"

namespace ambrel::test {
namespace {

using plcsim::FaultKind;

constexpr const char* kPassword = "ABCD-EFGH-IJKL-MNOP";
WindowHandle const kWindow = reinterpret_cast<WindowHandle>(0x1234);

class WorkerRoutinesTest : public OperationsTest {
protected:
    void Expect(ResultMessage message, WParam wParam) {
        ASSERT_EQ(sink_.entries.size(), 1u) << "one report, exactly";
        EXPECT_EQ(sink_.entries[0].window, kWindow);
        EXPECT_EQ(sink_.entries[0].message, message);
        EXPECT_EQ(sink_.entries[0].wParam, wParam);
        EXPECT_EQ(sink_.entries[0].lParam, 0);
    }
    // A remote device in the device list, marked or not.
    void List(const MacAddress& mac, const char* password, bool answered, bool passwordOk) {
        DeviceRecord& entry = Model().deviceList.records[Model().deviceList.count++];
        entry.mac = mac;
        SetFieldText(entry.password, password);
        entry.answered = answered;
        entry.passwordOk = passwordOk;
    }
    RecordingSink sink_;
};

TEST_F(WorkerRoutinesTest, FactoryResetLocalReportsTheOutcome) {
    Attach(Device(kLocalMac, kFirstGenerationId, "HomeNet"));
    FactoryResetLocalThread(kWindow);
    Expect(ResultMessage::DeviceOpDone, kReportSuccess);
    EXPECT_EQ(Local().NetworkKey(), kDefaultNetworkKey);
}

TEST_F(WorkerRoutinesTest, FactoryResetLocalWithoutDeviceFailsAfterFourScans) {
    FactoryResetLocalThread(kWindow);
    Expect(ResultMessage::DeviceOpDone, kReportFailure);
    EXPECT_FALSE(Model().localFound);
    EXPECT_GE(clock_.SleptMs(), 4u * 2000 + 4000);
}

TEST_F(WorkerRoutinesTest, FactoryResetAllResetsMarkedDevicesThenTheLocalOne) {
    struct Case {
        const char* what;
        bool secondAnswers;
        WParam expected;
    };
    const Case cases[] = {{"all answer", true, kReportSuccess},
                          {"a marked device is silent", false, kReportFailure}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        sink_.entries.clear();
        ResetDeviceModel();
        Attach(Device(kLocalMac, kFirstGenerationId, "HomeNet"));
        Net().AddStation(Device(StationMac(1), kFirstGenerationId, "HomeNet"));
        Net().AddStation(Device(StationMac(2), kFirstGenerationId,
                                c.secondAnswers ? std::optional<std::string>("HomeNet")
                                                : std::optional<std::string>("Elsewhere")));
        Net().AddStation(Device(StationMac(3), kFirstGenerationId, "HomeNet"));
        FindLocal();
        List(StationMac(1), kPassword, true, true);
        List(StationMac(2), kPassword, true, true);
        List(StationMac(3), kPassword, false, true);  // did not answer: left out
        FactoryResetAllThread(kWindow);
        Expect(ResultMessage::DeviceOpDone, c.expected);
        EXPECT_EQ(Station(0).counters.factoryResets, 1u);
        EXPECT_EQ(Station(2).counters.factoryResets, 0u);
        EXPECT_EQ(Local().counters.factoryResets, 1u);
        EXPECT_EQ(Log().back().destination, kLocalMac) << "the local device comes last";
    }
}

TEST_F(WorkerRoutinesTest, SetNetworkLocalReportsWhetherTheKeyWasTaken) {
    Attach(Device(kLocalMac, kSecondGenerationId));
    FindLocal();
    SetFieldText(Model().keyRequest.networkName, "FamilyNet");
    SetNetworkLocalThread(kWindow);
    Expect(ResultMessage::DeviceOpDone, kReportSuccess);
    EXPECT_EQ(Local().NetworkKey(), DeriveNetworkKey("FamilyNet"));

    sink_.entries.clear();
    Net().faults.Add(FaultOf(FaultKind::Drop, 0xA050));
    SetNetworkLocalThread(kWindow);
    Expect(ResultMessage::DeviceOpDone, kReportFailure);
}

TEST_F(WorkerRoutinesTest, SetNetworkAllHandsTheNewKeyToMarkedDevices) {
    Attach(Device(kLocalMac, kFirstGenerationId, "HomeNet"));
    Net().AddStation(Device(StationMac(1), kSecondGenerationId, "HomeNet", kPassword));
    Net().AddStation(Device(StationMac(2), kFirstGenerationId, "HomeNet", "QRST-UVWX-YZAB-CDEF"));
    Net().AddStation(Device(StationMac(3), kFirstGenerationId, "HomeNet", kPassword));
    FindLocal();
    List(StationMac(1), kPassword, true, true);
    List(StationMac(2), kPassword, true, true);   // remembered password is wrong
    List(StationMac(3), kPassword, true, false);  // password not accepted: left out
    SetFieldText(Model().keyRequest.networkName, "FamilyNet");

    SetNetworkAllThread(kWindow);
    // The remote devices' answers are not examined.
    Expect(ResultMessage::DeviceOpDone, kReportSuccess);
    const Key16 family = DeriveNetworkKey("FamilyNet");
    EXPECT_EQ(Local().NetworkKey(), family);
    EXPECT_EQ(Station(0).NetworkKey(), family);
    EXPECT_NE(Station(1).NetworkKey(), family);
    EXPECT_NE(Station(2).NetworkKey(), family);
    EXPECT_EQ(Requests(), (std::vector<std::string>{"A050 x3"}));
}

TEST_F(WorkerRoutinesTest, SetNetworkAllStopsWhenTheLocalDeviceRefuses) {
    Attach(Device(kLocalMac, kFirstGenerationId, "HomeNet"));
    Net().AddStation(Device(StationMac(1), kFirstGenerationId, "HomeNet", kPassword));
    FindLocal();
    List(StationMac(1), kPassword, true, true);
    Net().faults.Add(FaultOf(FaultKind::WrongStatus, 0xA050));
    SetFieldText(Model().keyRequest.networkName, "FamilyNet");
    SetNetworkAllThread(kWindow);
    Expect(ResultMessage::DeviceOpDone, kReportFailure);
    EXPECT_EQ(Log().size(), 1u);
}

TEST_F(WorkerRoutinesTest, JoinRoutinesReportToTheAddDeviceDialog) {
    Attach(Device(kLocalMac, kFirstGenerationId, "HomeNet"));
    Net().AddStation(Device(StationMac(1), kFirstGenerationId, std::nullopt, kPassword));
    FindLocal();
    Model().localDevice.networkKey = Local().NetworkKey();

    List(StationMac(1), kPassword, true, false);
    Model().selectedDevice = 0;
    JoinListedDeviceThread(kWindow);
    Expect(ResultMessage::AddDeviceDone, kReportSuccess);
    EXPECT_EQ(Station(0).NetworkKey(), Local().NetworkKey());

    sink_.entries.clear();
    Station(0).SetNetworkKey(kDefaultNetworkKey);
    SetFieldText(Model().keyRequest.password, kPassword);
    Model().setKeyByPassword = 1;
    JoinNewDeviceThread(kWindow);
    Expect(ResultMessage::AddDeviceDone, kReportSuccess);
    EXPECT_EQ(Station(0).NetworkKey(), Local().NetworkKey());

    sink_.entries.clear();
    SetFieldText(Model().keyRequest.password, "ZZZZ-ZZZZ-ZZZZ-ZZZZ");
    JoinNewDeviceThread(kWindow);
    Expect(ResultMessage::AddDeviceDone, kReportFailure);
}

TEST_F(WorkerRoutinesTest, QosReadReportsItsThreeOutcomesAfterClosingTheWaitingBox) {
    std::vector<std::string> order;
    SetWaitingBoxCloser([&] { order.push_back("box closed"); });
    struct Case {
        const char* what;
        bool device;
        bool readFails;
        WParam expected;
    };
    const Case cases[] = {{"read", true, false, kQosRead},
                          {"no local device", false, false, kQosNoLocalDevice},
                          {"read failed", true, true, kQosReadFailed}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        sink_.entries.clear();
        order.clear();
        ResetDeviceModel();
        if (c.device) {
            Attach(Device(kLocalMac, kSecondGenerationId));
            if (c.readFails)
                Net().faults.Add(FaultOf(FaultKind::WrongOffset, 0xA0B0));
        } else {
            backend_.AttachNetwork("eth0", plcsim::Network(Device(kLocalMac, 2)))
                .faults.Add(plcsim::Fault{FaultKind::Silent, {}, {}, 0});
        }
        QosReadThread(kWindow);
        Expect(ResultMessage::QosReadDone, c.expected);
        EXPECT_EQ(order, std::vector<std::string>{"box closed"});
        if (c.expected == kQosRead) {
            auto expected = UnpackQos(Local().ParameterBlock(), kSecondGenerationLayout);
            EXPECT_EQ(Model().currentQos.vlanPriorityMap, expected->vlanPriorityMap);
        }
    }
    EXPECT_EQ(static_cast<LParam>(kQosReadFailed), -1);
    SetWaitingBoxCloser({});
}

TEST_F(WorkerRoutinesTest, RoutinesStartedTogetherRunOneAfterTheOther) {
    Attach(Device(kLocalMac, kFirstGenerationId));
    FindLocal();
    std::promise<void> reported;
    class Signal final : public ReportSink {
    public:
        explicit Signal(std::promise<void>& p) : p_(p) {}
        void Send(WindowHandle, ResultMessage, WParam, LParam) override { p_.set_value(); }
        std::promise<void>& p_;
    } signal(reported);
    SetReportSink(&signal);
    auto done = reported.get_future();
    std::thread worker;
    {
        auto lock = LockDeviceOperations();  // another operation is running
        worker = std::thread([] { FactoryResetLocalThread(kWindow); });
        EXPECT_EQ(done.wait_for(std::chrono::milliseconds(100)), std::future_status::timeout);
    }
    EXPECT_EQ(done.wait_for(std::chrono::seconds(10)), std::future_status::ready);
    worker.join();
    SetReportSink(&sink_);
}

TEST_F(WorkerRoutinesTest, RestartLocalReportsNothing) {
    Attach(Device(kLocalMac, kFirstGenerationId));
    EXPECT_TRUE(RestartLocalThread());
    EXPECT_TRUE(sink_.entries.empty());
    EXPECT_EQ(Local().counters.restarts, 1u);
}

// Upgrades, in both generations.
struct UpgradeCase {
    const char* name;
    uint8_t id;
    std::vector<std::string> sequence;  // after the block read
};

class UpgradeTest : public WorkerRoutinesTest, public ::testing::WithParamInterface<UpgradeCase> {
protected:
    void SetUp() override {
        WorkerRoutinesTest::SetUp();
        auto config = Device(kLocalMac, GetParam().id, "HomeNet");
        config.versionAfterUpgrade = "PLCSIM-FW-2.0.0";
        Attach(config);
        FindLocal();
        // A firmware that ends in a short chunk (and a partial word), and a
        // parameter file made for another device.
        Model().firmwareImage.resize(5001);
        for (size_t i = 0; i < 5001; ++i)
            Model().firmwareImage[i] = static_cast<uint8_t>(i * 7);
        const bool first = GetParam().id == kFirstGenerationId;
        Model().pibFileImage = plcsim::MakeDefaultBlock(
            first ? plcsim::Generation::First : plcsim::Generation::Second, first ? 15560 : 9040,
            MacAddress{0x02, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE}, {}, kDefaultNetworkKey);
    }
    bool First() const { return GetParam().id == kFirstGenerationId; }
    std::vector<std::string> AfterRead() {
        auto all = Requests();
        if (!all.empty())
            all.erase(all.begin());
        return all;
    }
};

TEST_P(UpgradeTest, DeviceEndsWithTheNewFirmwareAndTheFileUnderItsOwnMac) {
    UpgradeThread(kWindow);
    Expect(ResultMessage::UpgradeDone, kReportSuccess);
    EXPECT_FALSE(Model().upgradeRunning);
    EXPECT_EQ(Local().WrittenFirmware(), Model().firmwareImage);
    EXPECT_EQ(Local().FirmwareVersion(), "PLCSIM-FW-2.0.0");
    const auto& block = Local().ParameterBlock();
    ASSERT_GE(block.size(), 18u);
    EXPECT_TRUE(std::equal(kLocalMac.begin(), kLocalMac.end(), block.begin() + 12));
    if (First()) {
        EXPECT_TRUE(plcsim::BlockIsValid(block));
    }
    EXPECT_EQ(AfterRead(), GetParam().sequence);
    EXPECT_GE(clock_.SleptMs(), 10000u);
    // The transfer is back on the working copy.
    EXPECT_EQ(Model().transfer.buffer.data(), Model().pibImage.data());
}

TEST_P(UpgradeTest, FailedReadEndsTheUpgradeAtOnce) {
    Net().faults.Add(FaultOf(FaultKind::WrongStatus, First() ? 0xA024 : 0xA0B0));
    UpgradeThread(kWindow);
    Expect(ResultMessage::UpgradeDone, kReportFailure);
    EXPECT_LT(clock_.SleptMs(), 10000u);
    EXPECT_EQ(Log().size(), 1u);
    EXPECT_FALSE(Model().upgradeRunning);
}

TEST_P(UpgradeTest, TransferRefusedHalfwayLeavesTheFirmwareInstalledBefore) {
    AddFaultAt(Step::SendingFirmware, 2,
               FaultOf(FaultKind::WrongStatus, First() ? 0xA020 : 0xA0B0));
    UpgradeThread(kWindow);
    Expect(ResultMessage::UpgradeDone, kReportFailure);
    EXPECT_TRUE(Local().WrittenFirmware().empty());
    EXPECT_EQ(Local().FirmwareVersion(), "PLCSIM-FW-1.0.0");
    EXPECT_FALSE(Model().upgradeRunning);
}

TEST_P(UpgradeTest, ImagesThatCannotBeSentAreRefusedBeforeAnyRequest) {
    Model().pibFileImage.resize(17);  // no room for a MAC address
    UpgradeThread(kWindow);
    Expect(ResultMessage::UpgradeDone, kReportFailure);
    EXPECT_TRUE(Log().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Generations, UpgradeTest,
    ::testing::Values(UpgradeCase{"First", kFirstGenerationId, {"A020 x21", "A080"}},
                      UpgradeCase{
                          "Second", kSecondGenerationId, {"A0B0/10", "A0B0/11 x11", "A0B0/12"}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace ambrel::test
