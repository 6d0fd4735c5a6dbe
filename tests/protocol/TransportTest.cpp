#include "Transport.h"

#include <gtest/gtest.h>

#include <vector>

#include "ByteCursor.h"
#include "DeviceModel.h"
#include "FakeClock.h"
#include "ParseConfirm.h"
#include "SimCaptureBackend.h"

namespace ambrel {
namespace {

const MacAddress kPcA{0x02, 0x00, 0x00, 0x00, 0x00, 0x0A};
const MacAddress kPcB{0x02, 0x00, 0x00, 0x00, 0x00, 0x0B};

// A frame of `etherType` whose bytes 15 and 16 carry `type`.
std::vector<uint8_t> FrameOf(uint16_t etherType, uint16_t type, size_t length = 60,
                             uint8_t fill = 0) {
    std::vector<uint8_t> frame(length, fill);
    ByteWriter out(frame);
    out.Be16(12, etherType);
    out.Le16(15, type);
    out.Bytes(17, kVendorId);
    return frame;
}

class TransportTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetDeviceModel();
        SetCaptureBackend(&backend_);
    }
    void TearDown() override {
        CloseAdapters();
        SetCaptureBackend(nullptr);
    }
    // Lists and opens every adapter, sending through `selected`.
    void OpenAll(int selected = 0) {
        ASSERT_TRUE(EnumerateAdapters());
        for (int i = 0; i < TheDeviceModel().adapterCount; ++i)
            OpenAdapter(i);
        TheDeviceModel().selectedAdapter = selected;
    }
    test::FakeClock clock_;
    test::SimCaptureBackend backend_;
    FrameBuffer receive_{};
};

TEST_F(TransportTest, FramesArePaddedToTheMinimumAndRefusedAboveTheMaximum) {
    backend_.AddAdapter("eth0", kPcA);
    OpenAll();
    FrameBuffer frame{};
    frame[0] = 0x11;
    EXPECT_TRUE(SendFrame(frame, 22));
    EXPECT_TRUE(SendFrame(frame, 1514));
    EXPECT_FALSE(SendFrame(frame, 1515));
    auto sent = backend_.SentFrames("eth0");
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0].size(), 60u);
    EXPECT_EQ(sent[0][0], 0x11);
    EXPECT_EQ(sent[1].size(), 1514u);

    TheDeviceModel().selectedAdapter = 5;  // no handle there
    EXPECT_FALSE(SendFrame(frame, 60));
}

TEST_F(TransportTest, EnumerationKeepsEightAdaptersAndTheirMacs) {
    for (int i = 0; i < 10; ++i) {
        MacAddress mac = kPcA;
        mac[5] = static_cast<uint8_t>(i);
        test::SimCaptureBackend::AdapterOptions options;
        options.macQueryFails = i == 3;
        backend_.AddAdapter("eth" + std::to_string(i), mac, options);
    }
    ASSERT_TRUE(EnumerateAdapters());
    const DeviceModel& model = TheDeviceModel();
    EXPECT_EQ(model.adapterCount, 8);
    EXPECT_EQ(model.adapters[7].mac[5], 7);
    EXPECT_TRUE(IsZeroMac(model.adapters[3].mac)) << "a failed MAC query leaves zeros";
    EXPECT_EQ(AdapterName(7), "eth7");

    backend_.SetListFails(true);
    EXPECT_FALSE(EnumerateAdapters());
    EXPECT_EQ(model.adapterCount, 0);
}

TEST_F(TransportTest, OpenAdapterOpensOnceAndCleansUpFailures) {
    test::SimCaptureBackend::AdapterOptions noFilter;
    noFilter.filterFails = true;
    backend_.AddAdapter("eth0", kPcA);
    backend_.AddAdapter("eth1", kPcB, noFilter);
    ASSERT_TRUE(EnumerateAdapters());
    EXPECT_TRUE(OpenAdapter(0));
    EXPECT_TRUE(OpenAdapter(0));
    EXPECT_EQ(backend_.OpenHandles("eth0"), 1);
    EXPECT_FALSE(OpenAdapter(1));
    EXPECT_EQ(backend_.OpenHandles("eth1"), 0) << "a handle whose filter failed is closed";
    EXPECT_FALSE(OpenAdapter(2));
    EXPECT_FALSE(OpenAdapter(-1));
    CloseAdapters();
    EXPECT_EQ(backend_.OpenHandles("eth0"), 0);
}

TEST_F(TransportTest, WaitWithoutAdaptersTimesOutAtTheDeadline) {
    ASSERT_TRUE(EnumerateAdapters());
    EXPECT_EQ(TheDeviceModel().adapterCount, 0);
    uint64_t start = clock_.NowMs();
    EXPECT_FALSE(WaitForConfirm(receive_, 0xA000, 3));
    EXPECT_GE(clock_.NowMs() - start, 300u);
    EXPECT_LE(clock_.NowMs() - start, 302u);
}

TEST_F(TransportTest, OnlyTheLastFrameOfABatchIsSeen) {
    backend_.AddAdapter("eth0", kPcA);
    OpenAll();
    backend_.InjectFrame("eth0", FrameOf(0x88E1, 0xA001, 60, 0x01));
    backend_.InjectFrame("eth0", FrameOf(0x88E1, 0xA001, 60, 0x02));
    ASSERT_TRUE(WaitForConfirm(receive_, 0xA000, 1));
    EXPECT_EQ(receive_[30], 0x02);
    EXPECT_EQ(backend_.PendingFrames("eth0"), 0u);
}

TEST_F(TransportTest, AWrongTypeEndsThePassButNotTheWait) {
    backend_.AddAdapter("eth0", kPcA);
    backend_.AddAdapter("eth1", kPcB);
    OpenAll();
    backend_.InjectFrame("eth0", FrameOf(0x88E1, 0xA039));
    backend_.InjectFrame("eth1", FrameOf(0x88E1, 0xA001, 60, 0x22));
    backend_.InjectFrame("eth0", FrameOf(0x88E1, 0xA001, 60, 0x33), 50);
    // First pass: eth0's wrong type ends it, eth1 waits for the next pass,
    // which then finds eth1's confirmation.
    ASSERT_TRUE(WaitForConfirm(receive_, 0xA000, 1));
    EXPECT_EQ(receive_[30], 0x22);

    // Nothing of the right type: the wait runs to its deadline.
    backend_.InjectFrame("eth0", FrameOf(0x88E1, 0xA051));
    uint64_t start = clock_.NowMs();
    EXPECT_FALSE(WaitForConfirm(receive_, 0xA038, 2));
    EXPECT_GE(clock_.NowMs() - start, 200u);
}

TEST_F(TransportTest, FilterLetsHomePlugFramesEndAWaitAndTheParserJudgesThem) {
    backend_.AddAdapter("eth0", kPcA);
    OpenAll();
    backend_.InjectFrame("eth0", FrameOf(0x0800, 0xA001));  // IPv4: filtered out
    EXPECT_FALSE(WaitForConfirm(receive_, 0xA000, 1));
    auto homePlug = FrameOf(0x887B, 0xA07D);
    homePlug[19] = 0x00;  // not our vendor
    backend_.InjectFrame("eth0", homePlug);
    ASSERT_TRUE(WaitForConfirm(receive_, 0xA07C, 1));
    EXPECT_FALSE(ParseConfirm(receive_));
}

TEST_F(TransportTest, JumboFramesAreCutAndShortOnesLeaveNothingBehind) {
    backend_.AddAdapter("eth0", kPcA);
    OpenAll();
    backend_.InjectFrame("eth0", FrameOf(0x88E1, 0xA001, 9000, 0x5A));
    ASSERT_TRUE(WaitForConfirm(receive_, 0xA000, 1));
    EXPECT_EQ(receive_[1517], 0x5A);
    EXPECT_EQ(TheDeviceModel().lastFrame.size(), 9000u);

    backend_.InjectFrame("eth0", FrameOf(0x88E1, 0xA001, 60, 0x00));
    ASSERT_TRUE(WaitForConfirm(receive_, 0xA000, 1));
    EXPECT_EQ(receive_[60], 0);
    EXPECT_EQ(receive_[1517], 0);
}

TEST_F(TransportTest, SourceIsTheSelectedAdaptersMac) {
    backend_.AddAdapter("eth0", kPcA);
    backend_.AddAdapter("eth1", kPcB);
    OpenAll(1);
    EXPECT_EQ(SourceMac(), kPcB);
    TheDeviceModel().selectedAdapter = 9;
    EXPECT_TRUE(IsZeroMac(SourceMac()));
}

}  // namespace
}  // namespace ambrel
