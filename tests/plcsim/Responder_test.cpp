// Which device answers what, and the identity, network and key messages.

#include "Responder.h"

#include <gtest/gtest.h>

#include "DeviceBlock.h"
#include "Frames.h"

namespace plcsim::testing {
namespace {

using ambrel::MacAddress;

const ambrel::Key16 kOtherKey = ambrel::DeriveNetworkKey("SomeoneElsesNet");

struct RouteCase {
    const char* name;
    MacAddress destination;
    MacAddress source;
    uint16_t etherType;
    uint8_t vendorLast;
    uint16_t type;
    bool answered;
    MacAddress answeredBy;
};

class RoutingTest : public ::testing::TestWithParam<RouteCase> {};

TEST_P(RoutingTest, AnswersOnlyRequestsThatReachADevice) {
    const RouteCase& c = GetParam();
    Bench bench;
    bench.network.AddStation({.mac = Mac(2)});
    bench.network.AddStation({.mac = Mac(3), .networkKey = kOtherKey});

    auto request = Header(c.destination, c.type, 64, c.source);
    ambrel::ByteWriter(request).Be16(12, c.etherType);
    ambrel::ByteWriter(request).U8(19, c.vendorLast);
    auto replies = bench.Send(request);

    if (!c.answered) {
        EXPECT_TRUE(replies.empty());
        return;
    }
    ASSERT_EQ(replies.size(), 1u);
    const auto& confirm = replies[0].frame;
    EXPECT_EQ(MacAt(confirm, 0), c.source);
    EXPECT_EQ(MacAt(confirm, 6), c.answeredBy);
    EXPECT_EQ(Le16(confirm, 15), c.type | 1);
    EXPECT_EQ(BytesAt(confirm, 17, 3), (std::vector<uint8_t>{0x00, 0xB0, 0x52}));
    EXPECT_GE(confirm.size(), 60u);
}

INSTANTIATE_TEST_SUITE_P(
    Responder, RoutingTest,
    ::testing::Values(
        RouteCase{"ManagementAddress", ambrel::kLocalManagementAddress, kHostMac, 0x88E1, 0x52,
                  0xA000, true, kLocalMac},
        RouteCase{"LocalMac", kLocalMac, kHostMac, 0x88E1, 0x52, 0xA000, true, kLocalMac},
        RouteCase{"StationInSameNetwork", Mac(2), kHostMac, 0x88E1, 0x52, 0xA000, true, Mac(2)},
        RouteCase{"StationInOtherNetwork", Mac(3), kHostMac, 0x88E1, 0x52, 0xA000, false, {}},
        RouteCase{"UnknownMac", Mac(9), kHostMac, 0x88E1, 0x52, 0xA000, false, {}},
        RouteCase{"OtherEtherType", kLocalMac, kHostMac, 0x887B, 0x52, 0xA000, false, {}},
        RouteCase{"OtherVendor", kLocalMac, kHostMac, 0x88E1, 0x53, 0xA000, false, {}},
        RouteCase{"FromSimulatedDevice", kLocalMac, Mac(2), 0x88E1, 0x52, 0xA000, false, {}},
        RouteCase{"ConfirmationType", kLocalMac, kHostMac, 0x88E1, 0x52, 0xA001, false, {}},
        RouteCase{"UnknownRequestType", kLocalMac, kHostMac, 0x88E1, 0x52, 0xA0FC, false, {}}),
    [](const auto& info) { return std::string(info.param.name); });

struct VersionCase {
    const char* name;
    uint8_t deviceId;
    size_t frameLength;
};

class VersionTest : public ::testing::TestWithParam<VersionCase> {};

TEST_P(VersionTest, ReportsIdentifierAndTextInTheGenerationsFrameLength) {
    const VersionCase& c = GetParam();
    Bench bench(c.deviceId);
    auto confirm = bench.Ask(Header(ambrel::kLocalManagementAddress, 0xA000));
    ASSERT_EQ(confirm.size(), c.frameLength);
    EXPECT_EQ(U8(confirm, 20), 0);
    EXPECT_EQ(U8(confirm, 21), c.deviceId);
    const std::string text = "PLCSIM-FW-1.0.0";
    EXPECT_EQ(U8(confirm, 22), text.size());
    auto field = BytesAt(confirm, 23, 128);
    EXPECT_EQ(std::string(field.begin(), field.begin() + text.size()), text);
    EXPECT_EQ(field[text.size()], 0);
}

INSTANTIATE_TEST_SUITE_P(Responder, VersionTest,
                         ::testing::Values(VersionCase{"FirstGeneration", 2, 151},
                                           VersionCase{"SecondGeneration", 0x21, 1448}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ResponderVersion, StationConfiguredSilentDoesNotAnswerVersionButOtherRequests) {
    Bench bench;
    bench.network.AddStation({.mac = Mac(2), .answersVersion = false});
    EXPECT_TRUE(bench.Send(Header(Mac(2), 0xA000)).empty());
    EXPECT_EQ(bench.Send(Header(Mac(2), 0xA07C)).size(), 1u);
}

TEST(ResponderNetworkInfo, ListsEveryStationSharingTheLocalKeyWithItsRate) {
    Bench bench;
    for (uint8_t i = 0; i < 40; ++i) {
        bench.network.AddStation({.mac = Mac(i), .rateMbps = static_cast<uint8_t>(50 + i)});
    }
    bench.network.AddStation({.mac = Mac(200), .networkKey = kOtherKey});

    auto confirm = bench.Ask(Header(kLocalMac, 0xA038));
    ASSERT_EQ(U8(confirm, 38), 40);
    ASSERT_GE(confirm.size(), 39u + 40 * 15);
    for (uint8_t i = 0; i < 40; ++i) {
        size_t entry = 39 + i * 15u;
        EXPECT_EQ(MacAt(confirm, entry), Mac(i)) << "entry " << int(i);
        EXPECT_EQ(U8(confirm, entry + 13), 50 + i) << "entry " << int(i);
    }
}

TEST(ResponderNetworkInfo, ListsNoStationWhenNoneSharesTheKey) {
    Bench bench;
    bench.network.AddStation({.mac = Mac(2), .networkKey = kOtherKey});
    auto confirm = bench.Ask(Header(kLocalMac, 0xA038));
    EXPECT_EQ(U8(confirm, 38), 0);
}

// Set key: who takes the key for each form of the request.
struct SetKeyCase {
    const char* name;
    bool localForm;
    MacAddress target;
    bool rightAccessKey;  // the access key of station 2
    bool localTakes;
    bool station2Takes;
    bool station3Takes;
};

class SetKeyTest : public ::testing::TestWithParam<SetKeyCase> {};

TEST_P(SetKeyTest, OnlyTheAddressedOwnerOfTheAccessKeyTakesTheKey) {
    const SetKeyCase& c = GetParam();
    Bench bench;
    auto& station2 = bench.network.AddStation({.mac = Mac(2), .password = "AAAA-BBBB-CCCC-DDDD"});
    // Not in the local device's network: the sealed key reaches it anyway.
    auto& station3 = bench.network.AddStation({.mac = Mac(3), .networkKey = kOtherKey});
    const ambrel::Key16 newKey = ambrel::DeriveNetworkKey("NewNetwork");
    const ambrel::Key16 access = c.rightAccessKey ? station2.DeviceAccessKey()
                                                  : ambrel::DeriveDeviceKey("WRONG-PASS-WORD-XXXX");
    const auto before3 = station3.NetworkKey();

    auto confirm = bench.Ask(
        SetKeyRequest(ambrel::kLocalManagementAddress, newKey, c.localForm, c.target, access));

    EXPECT_EQ(U8(confirm, 20), 0) << "the relay always reports success";
    EXPECT_EQ(bench.network.Local().NetworkKey() == newKey, c.localTakes);
    EXPECT_EQ(station2.NetworkKey() == newKey, c.station2Takes);
    EXPECT_EQ(station3.NetworkKey(), c.station3Takes ? newKey : before3);
}

INSTANTIATE_TEST_SUITE_P(
    Responder, SetKeyTest,
    ::testing::Values(SetKeyCase{"LocalForm", true, kLocalMac, false, true, false, false},
                      SetKeyCase{"PasswordFormRightKey", false, Mac(2), true, false, true, false},
                      SetKeyCase{"PasswordFormWrongKey", false, Mac(2), false, false, false, false},
                      SetKeyCase{"RightKeyOtherTarget", false, Mac(3), true, false, false, false},
                      SetKeyCase{"BroadcastReachesOwnerOnly", false, ambrel::kBroadcastMac, true,
                                 false, true, false},
                      SetKeyCase{"BroadcastWrongKey", false, ambrel::kBroadcastMac, false, false,
                                 false, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ResponderSetKey, BroadcastLeavesTheRelayingLocalDeviceAlone) {
    Bench bench;
    const auto newKey = ambrel::DeriveNetworkKey("NewNetwork");
    bench.Ask(SetKeyRequest(kLocalMac, newKey, false, ambrel::kBroadcastMac,
                            bench.network.Local().DeviceAccessKey()));
    EXPECT_EQ(bench.network.Local().NetworkKey(), ambrel::kDefaultNetworkKey);
}

TEST(ResponderSetKey, MalformedRequestIsRefusedAndChangesNothing) {
    Bench bench;
    auto request = SetKeyRequest(kLocalMac, kOtherKey, true, kLocalMac, {});
    ambrel::ByteWriter(request).U8(20, 0);
    auto confirm = bench.Ask(request);
    EXPECT_NE(U8(confirm, 20), 0);
    EXPECT_EQ(bench.network.Local().NetworkKey(), ambrel::kDefaultNetworkKey);
}

TEST(ResponderSetKey, NewKeyReachesTheParameterBlockAndKeepsItValid) {
    for (uint8_t id : {2, 0x20}) {
        Bench bench(id);
        const auto newKey = ambrel::DeriveNetworkKey("NewNetwork");
        bench.Ask(SetKeyRequest(kLocalMac, newKey, true, kLocalMac, {}));
        const auto& block = bench.network.Local().ParameterBlock();
        size_t field = LayoutOf(GenerationOf(id)).networkKey;
        EXPECT_EQ(BytesAt(block, field, 16), std::vector<uint8_t>(newKey.begin(), newKey.end()));
        if (id == 2) {
            EXPECT_TRUE(BlockIsValid(block));
        }
    }
}

TEST(ResponderFactoryDefaults, ReturnsTheAddressedDeviceToTheDefaultNetworkAndBlock) {
    Bench bench;
    auto& station = bench.network.AddStation({.mac = Mac(2)});
    const auto factoryBlock = station.ParameterBlock();
    const auto newKey = ambrel::DeriveNetworkKey("NewNetwork");
    bench.Ask(SetKeyRequest(kLocalMac, newKey, true, kLocalMac, {}));
    bench.Ask(SetKeyRequest(kLocalMac, newKey, false, Mac(2), station.DeviceAccessKey()));
    ASSERT_EQ(station.NetworkKey(), newKey);

    auto confirm = bench.Ask(Header(Mac(2), 0xA07C));

    EXPECT_EQ(Le16(confirm, 15), 0xA07D);
    EXPECT_EQ(U8(confirm, 20), 0);
    EXPECT_EQ(station.NetworkKey(), ambrel::kDefaultNetworkKey);
    EXPECT_EQ(station.ParameterBlock(), factoryBlock);
    EXPECT_EQ(station.counters.factoryResets, 1u);
    EXPECT_EQ(bench.network.Local().NetworkKey(), newKey) << "only the addressed device resets";
}

TEST(ResponderRestart, ConfirmsThenStaysSilentForTheConfiguredTime) {
    Network network({.mac = kLocalMac, .restartSilenceMs = 500});
    network.AddStation({.mac = Mac(2)});
    Responder responder(network);
    auto version = Header(kLocalMac, 0xA000);

    auto replies = responder.Handle(Header(kLocalMac, 0xA01C), 1000);
    ASSERT_EQ(replies.size(), 1u);
    EXPECT_EQ(Le16(replies[0].frame, 15), 0xA01D);
    EXPECT_EQ(network.Local().counters.restarts, 1u);

    EXPECT_TRUE(responder.Handle(version, 1499).empty());
    EXPECT_TRUE(responder.Handle(Header(Mac(2), 0xA000), 1499).empty())
        << "stations are reached through the local device";
    EXPECT_EQ(responder.Handle(version, 1500).size(), 1u);
}

TEST(ResponderLog, RecordsEveryRequestWithItsAddressesAndOutcome) {
    Bench bench;
    bench.network.AddStation({.mac = Mac(3), .networkKey = kOtherKey});
    bench.nowMs = 4242;
    bench.Send(Header(ambrel::kLocalManagementAddress, 0xA000));
    bench.Send(ModuleReadRequest(0, 1400));
    bench.Send(Header(Mac(3), 0xA000));

    const auto& log = bench.responder.Log();
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[0].timeMs, 4242u);
    EXPECT_EQ(log[0].type, 0xA000);
    EXPECT_FALSE(log[0].operation.has_value());
    EXPECT_EQ(log[0].destination, ambrel::kLocalManagementAddress);
    EXPECT_EQ(log[0].source, kHostMac);
    EXPECT_EQ(log[1].operation, 0x00);
    EXPECT_NE(log[2].summary.find("another network"), std::string::npos) << log[2].summary;

    EXPECT_EQ(
        FormatLogLine(log[0]).rfind("4242 A000 dst=00:B0:52:00:00:01 src=02:00:00:00:00:99 ", 0),
        0u)
        << FormatLogLine(log[0]);
    EXPECT_NE(FormatLogLine(log[1]).find(" A0B0/00 "), std::string::npos) << FormatLogLine(log[1]);
}

}  // namespace
}  // namespace plcsim::testing
