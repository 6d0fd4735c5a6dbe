// Injected faults: what reaches the program instead of the confirmation.

#include "FaultPlan.h"

#include <gtest/gtest.h>

#include "Frames.h"

namespace plcsim::testing {
namespace {

std::vector<uint8_t> VersionRequest() {
    return Header(kLocalMac, 0xA000);
}
std::vector<uint8_t> ResetRequest() {
    return Header(kLocalMac, 0xA07C);
}
std::vector<uint8_t> ReadRequest() {
    return ReadChunkRequest(2048, 1024);
}
std::vector<uint8_t> StartRequest() {
    static const std::vector<uint8_t> block(4000, 0x11);
    return StartWriteRequest(0xCAFE0001, {{ambrel::kModuleParameterBlock, block}});
}

struct FaultCase {
    const char* name;
    Fault fault;
    uint8_t localId;
    std::vector<uint8_t> (*request)();
    size_t replies;
    uint32_t delayMs;
    // Checks the first reply; nullptr when nothing beyond count and delay.
    void (*check)(const std::vector<uint8_t>& frame);
};

class FaultTest : public ::testing::TestWithParam<FaultCase> {};

TEST_P(FaultTest, AltersTheConfirmationOfTheNextMatchingRequestOnly) {
    const FaultCase& c = GetParam();
    Bench bench(c.localId);
    Fault fault = c.fault;
    fault.remaining = 1;
    bench.network.faults.Add(fault);

    auto faulty = bench.Send(c.request());
    ASSERT_EQ(faulty.size(), c.replies);
    if (!faulty.empty()) {
        EXPECT_EQ(faulty[0].delayMs, c.delayMs);
    }
    if (c.replies == 2) {
        EXPECT_EQ(faulty[0].frame, faulty[1].frame);
    }
    if (c.check != nullptr && !faulty.empty())
        c.check(faulty[0].frame);

    // Spent: the next request is answered normally.
    auto normal = bench.Send(c.request());
    ASSERT_EQ(normal.size(), 1u);
    EXPECT_EQ(normal[0].delayMs, 0u);
    EXPECT_EQ(BytesAt(normal[0].frame, 17, 3), (std::vector<uint8_t>{0x00, 0xB0, 0x52}));
}

INSTANTIATE_TEST_SUITE_P(
    Faults, FaultTest,
    ::testing::Values(
        FaultCase{"Drop", {FaultKind::Drop, 0xA000}, 2, VersionRequest, 0, 0, nullptr},
        FaultCase{"Delay", {FaultKind::Delay, 0xA000, {}, 250}, 2, VersionRequest, 1, 250, nullptr},
        FaultCase{"Duplicate", {FaultKind::Duplicate, 0xA000}, 2, VersionRequest, 2, 0, nullptr},
        FaultCase{"CorruptVendor",
                  {FaultKind::CorruptVendor, 0xA000},
                  2,
                  VersionRequest,
                  1,
                  0,
                  [](const std::vector<uint8_t>& f) {
                      EXPECT_NE(BytesAt(f, 17, 3), (std::vector<uint8_t>{0x00, 0xB0, 0x52}));
                      EXPECT_EQ(Le16(f, 15), 0xA001);
                  }},
        FaultCase{"WrongStatus",
                  {FaultKind::WrongStatus, 0xA07C},
                  2,
                  ResetRequest,
                  1,
                  0,
                  [](const std::vector<uint8_t>& f) { EXPECT_NE(U8(f, 20), 0); }},
        FaultCase{"WrongStatusOfModuleOperation",
                  {FaultKind::WrongStatus},
                  0x21,
                  StartRequest,
                  1,
                  0,
                  [](const std::vector<uint8_t>& f) { EXPECT_NE(Le16(f, 20), 0); }},
        FaultCase{"WrongOffset",
                  {FaultKind::WrongOffset, 0xA024},
                  2,
                  ReadRequest,
                  1,
                  0,
                  [](const std::vector<uint8_t>& f) {
                      EXPECT_EQ(U8(f, 20), 0);
                      EXPECT_NE(Le32(f, 28), 2048u);
                  }},
        FaultCase{"WrongTransaction",
                  {FaultKind::WrongTransaction, 0xA0B0},
                  0x21,
                  StartRequest,
                  1,
                  0,
                  [](const std::vector<uint8_t>& f) {
                      EXPECT_EQ(Le16(f, 20), 0);
                      EXPECT_NE(Le32(f, 37), 0xCAFE0001u);
                  }},
        FaultCase{"Silent", {FaultKind::Silent}, 2, VersionRequest, 0, 0, nullptr}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FaultPlan, FaultForOneTypeLeavesOtherTypesAlone) {
    Bench bench;
    bench.network.faults.Add({FaultKind::Drop, 0xA038});
    EXPECT_EQ(bench.Send(VersionRequest()).size(), 1u);
    EXPECT_TRUE(bench.Send(Header(kLocalMac, 0xA038)).empty());
    EXPECT_TRUE(bench.Send(Header(kLocalMac, 0xA038)).empty()) << "no count: lasts";
}

TEST(FaultPlan, FaultThatCannotApplyIsNotSpent) {
    Bench bench;
    bench.network.faults.Add({FaultKind::WrongOffset, std::nullopt, 1u});
    auto version = bench.Send(VersionRequest());
    ASSERT_EQ(version.size(), 1u);
    auto read = bench.Ask(ReadRequest());
    EXPECT_NE(Le32(read, 28), 2048u);
}

// `after` lets requests through before the fault starts; only requests the
// fault could alter count, and a count starts after the skipped ones.
TEST(FaultPlan, AfterLetsTheFirstMatchingRequestsThrough) {
    Bench bench;
    bench.network.faults.Add({FaultKind::WrongOffset, std::nullopt, 1u, 0, 2});
    const auto offsetOf = [&bench] { return Le32(bench.Ask(ReadRequest()), 28); };
    ASSERT_EQ(bench.Send(VersionRequest()).size(), 1u);  // no offset: not counted
    EXPECT_EQ(offsetOf(), 2048u);
    EXPECT_EQ(offsetOf(), 2048u);
    EXPECT_NE(offsetOf(), 2048u) << "the third read is the first one altered";
    EXPECT_EQ(offsetOf(), 2048u) << "count=1: spent";

    Bench quiet;
    quiet.network.faults.Add({FaultKind::Silent, std::nullopt, 1u, 0, 1});
    EXPECT_EQ(quiet.Send(ResetRequest()).size(), 1u);
    EXPECT_TRUE(quiet.Send(VersionRequest()).empty());
    EXPECT_EQ(quiet.Send(VersionRequest()).size(), 1u);
}

TEST(FaultPlan, DroppedConfirmationStillTakesEffectButSilenceDoesNot) {
    const auto key = ambrel::DeriveNetworkKey("FaultNet");
    auto request = SetKeyRequest(kLocalMac, key, true, kLocalMac, {});
    for (FaultKind kind : {FaultKind::Drop, FaultKind::Silent}) {
        Bench bench;
        bench.network.faults.Add({kind});
        EXPECT_TRUE(bench.Send(request).empty());
        EXPECT_EQ(bench.network.Local().NetworkKey() == key, kind == FaultKind::Drop)
            << FaultKindName(kind);
    }
}

TEST(FaultPlan, LogNamesTheAppliedFault) {
    Bench bench;
    bench.network.faults.Add({FaultKind::Delay, 0xA000, {}, 100});
    bench.Send(VersionRequest());
    ASSERT_EQ(bench.responder.Log().size(), 1u);
    EXPECT_NE(bench.responder.Log()[0].summary.find("fault delay"), std::string::npos);
}

}  // namespace
}  // namespace plcsim::testing
