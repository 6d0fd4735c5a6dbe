// The in-process capture backend that tests plug into the transport.

#include "SimCaptureBackend.h"

#include <gtest/gtest.h>

#include "Clock.h"
#include "Frames.h"

namespace plcsim::testing {
namespace {

using ambrel::test::SimAdapterOptions;
using ambrel::test::SimCaptureBackend;

class FakeClock final : public ambrel::Clock {
public:
    uint64_t NowMs() override { return now; }
    void SleepMs(uint32_t ms) override { now += ms; }
    uint64_t now = 50000;
};

class SimCaptureBackendTest : public ::testing::Test {
protected:
    void SetUp() override { ambrel::SetProtocolClock(&clock); }
    void TearDown() override { ambrel::SetProtocolClock(nullptr); }

    static std::vector<std::vector<uint8_t>> Drain(ambrel::CaptureHandle& handle) {
        std::vector<std::vector<uint8_t>> frames;
        handle.Dispatch(
            [](void* context, std::span<const uint8_t> frame) {
                static_cast<std::vector<std::vector<uint8_t>>*>(context)->emplace_back(
                    frame.begin(), frame.end());
            },
            &frames);
        return frames;
    }

    FakeClock clock;
    SimCaptureBackend backend;
};

TEST_F(SimCaptureBackendTest, SentRequestIsAnsweredOnTheSameAdapter) {
    backend.AddAdapter("eth0", kHostMac);
    backend.AddAdapter("eth1", {0x02, 0, 0, 0, 0, 0x98});
    backend.AttachNetwork("eth1", Network({.mac = kLocalMac}));
    std::string error;
    auto eth0 = backend.Open("eth0", error);
    auto eth1 = backend.Open("eth1", error);
    ASSERT_TRUE(eth0 && eth1);
    ASSERT_TRUE(eth1->InstallReceiveFilter(error));

    EXPECT_TRUE(eth0->Send(Header(ambrel::kLocalManagementAddress, 0xA000)));
    EXPECT_TRUE(Drain(*eth0).empty()) << "no network behind eth0";
    EXPECT_TRUE(eth1->Send(Header(ambrel::kLocalManagementAddress, 0xA000)));
    auto frames = Drain(*eth1);
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(Le16(frames[0], 15), 0xA001);
    EXPECT_EQ(backend.SentFrames("eth1").size(), 1u);
    EXPECT_EQ(backend.ResponderOf("eth1").Log().size(), 1u);
}

TEST_F(SimCaptureBackendTest, DelayedAnswerArrivesWhenTheProtocolClockReachesIt) {
    backend.AddAdapter("eth0", kHostMac);
    Network network({.mac = kLocalMac});
    network.faults.Add({FaultKind::Delay, 0xA000, {}, 300});
    backend.AttachNetwork("eth0", std::move(network));
    std::string error;
    auto handle = backend.Open("eth0", error);
    handle->Send(Header(kLocalMac, 0xA000));

    clock.now += 299;
    EXPECT_TRUE(Drain(*handle).empty());
    clock.now += 1;
    EXPECT_EQ(Drain(*handle).size(), 1u);
}

TEST_F(SimCaptureBackendTest, FilterLetsOnlyPowerlineFramesThrough) {
    backend.AddAdapter("eth0", kHostMac);
    std::string error;
    auto handle = backend.Open("eth0", error);
    auto withType = [](uint16_t etherType, size_t length = 60) {
        auto frame = Header(kHostMac, 0xA001, length);
        ambrel::ByteWriter(frame).Be16(12, etherType);
        return frame;
    };

    backend.InjectFrame("eth0", withType(0x0800));
    EXPECT_EQ(Drain(*handle).size(), 1u) << "no filter yet: everything arrives";

    ASSERT_TRUE(handle->InstallReceiveFilter(error));
    backend.InjectFrame("eth0", withType(0x0800));
    backend.InjectFrame("eth0", withType(0x887B));
    backend.InjectFrame("eth0", withType(0x88E1, 9000));
    auto frames = Drain(*handle);
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(ambrel::ByteReader(frames[0]).Be16(12), 0x887B);
    EXPECT_EQ(frames[1].size(), 9000u) << "jumbo frames are delivered whole";
}

TEST_F(SimCaptureBackendTest, AdapterOptionsMakeTheirStepFail) {
    backend.AddAdapter("nomac", kHostMac, {.macQueryFails = true});
    backend.AddAdapter("noopen", kHostMac, {.openFails = true});
    backend.AddAdapter("nofilter", kHostMac, {.filterFails = true});
    backend.AddAdapter("nodispatch", kHostMac, {.dispatchFails = true});
    std::string error;

    auto names = backend.ListDevices(error);
    ASSERT_TRUE(names);
    EXPECT_EQ(*names, (std::vector<std::string>{"nomac", "noopen", "nofilter", "nodispatch"}));
    EXPECT_FALSE(backend.QueryMac("nomac"));
    EXPECT_EQ(backend.QueryMac("noopen"), kHostMac);
    EXPECT_EQ(backend.Open("noopen", error), nullptr);
    EXPECT_FALSE(error.empty());
    auto noFilter = backend.Open("nofilter", error);
    ASSERT_TRUE(noFilter);
    EXPECT_FALSE(noFilter->InstallReceiveFilter(error));
    auto noDispatch = backend.Open("nodispatch", error);
    EXPECT_EQ(noDispatch->Dispatch([](void*, std::span<const uint8_t>) {}, nullptr), -1);

    backend.SetListFails(true);
    EXPECT_FALSE(backend.ListDevices(error));
}

}  // namespace
}  // namespace plcsim::testing
