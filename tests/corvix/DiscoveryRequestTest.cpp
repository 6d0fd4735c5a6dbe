#include "DiscoveryRequest.h"

#include <gtest/gtest.h>

#include <bit>
#include <string>

#include "CorvixTestSupport.h"
#include "DiscoverySocket.h"
#include "ScanTables.h"

namespace corvix {
namespace {

using test::Ip;
using test::MakeAdapter;

class DiscoveryRequestTest : public ::testing::Test {
protected:
    void SetUp() override { ResetScanTables(); }
    void TearDown() override { ResetScanTables(); }
};

TEST_F(DiscoveryRequestTest, MatchesNamedExampleWithChainedPair) {
    test::FillTable(
        {MakeAdapter("eth0", {{"192.0.2.1", "255.255.255.0"}, {"192.0.2.77", "255.255.255.128"}}),
         MakeAdapter("eth1", {{"198.51.100.1", "255.255.255.0"}})});
    const auto request = BuildDiscoveryRequest(scanAdapterTable);
    const auto expected = test::ReadHexFile("request_three_pairs.hex");
    ASSERT_EQ(expected.size(), kRequestSize);
    EXPECT_EQ(std::vector<uint8_t>(request.begin(), request.end()), expected);
}

TEST_F(DiscoveryRequestTest, SevenPairsOnThreeAdaptersLeaveTheRestZero) {
    test::FillTable({
        MakeAdapter("a", {{"192.0.2.1", "255.255.255.0"}, {"192.0.2.2", "255.255.255.0"}}),
        MakeAdapter("b", {{"198.51.100.1", "255.255.255.0"},
                          {"198.51.100.2", "255.255.255.0"},
                          {"198.51.100.3", "255.255.255.0"}}),
        MakeAdapter("c", {{"203.0.113.1", "255.255.255.0"}, {"203.0.113.2", "255.255.255.0"}}),
    });
    const auto request = BuildDiscoveryRequest(scanAdapterTable);
    EXPECT_EQ(request[0], 0x01);
    EXPECT_EQ(request[1], 0x00);
    EXPECT_EQ(request[2], 7);
    EXPECT_EQ(request[3], 0);
    // Pair 6 is the second pair of the third adapter: 203.0.113.2.
    EXPECT_EQ(request[4 + 8 * 6 + 3], 2);
    EXPECT_EQ(request[4 + 8 * 6], 203);
    for (size_t offset = 4 + 8 * 7; offset < kRequestSize; ++offset) {
        EXPECT_EQ(request[offset], 0) << "offset " << offset;
    }
}

TEST_F(DiscoveryRequestTest, StopsAtTwentyPairsInTableOrder) {
    std::vector<SystemAdapter> adapters;
    for (int i = 0; i < 5; ++i) {
        SystemAdapter adapter = MakeAdapter("eth" + std::to_string(i), {});
        for (int k = 0; k < 6; ++k) {
            const std::string text = "198.51.100." + std::to_string(i * 10 + k);
            adapter.ipv4.emplace_back(Ip(text.c_str()), Ip("255.255.255.0"));
        }
        adapters.push_back(adapter);
    }
    test::FillTable(adapters);
    const auto request = BuildDiscoveryRequest(scanAdapterTable);
    EXPECT_EQ(request[2], 20);
    EXPECT_EQ(request[3], 0);
    // 6 + 6 + 6 pairs of the first three adapters, then two of the fourth.
    EXPECT_EQ(request[4 + 8 * 17 + 3], 25);
    EXPECT_EQ(request[4 + 8 * 18 + 3], 30);
    EXPECT_EQ(request[4 + 8 * 19 + 3], 31);
}

TEST(DirectedBroadcast, IsAddressOrNotMask) {
    struct Case {
        const char* address;
        const char* mask;
        const char* broadcast;
    };
    const Case cases[] = {
        {"192.0.2.20", "255.255.255.0", "192.0.2.255"},
        {"198.51.100.77", "255.255.255.128", "198.51.100.127"},
        {"203.0.113.9", "255.255.255.255", "203.0.113.9"},
        {"203.0.113.9", "0.0.0.0", "255.255.255.255"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DirectedBroadcast(Ip(c.address), Ip(c.mask)), Ip(c.broadcast))
            << c.address << "/" << c.mask;
    }
}

TEST_F(DiscoveryRequestTest, SendWritesDiagnosticLineAndIgnoresSendErrors) {
    test::FillTable({MakeAdapter("eth0", {{"192.0.2.20", "255.255.255.0"}})});
    ::testing::internal::CaptureStdout();
    // An invalid socket makes the send fail; the result is still 0.
    EXPECT_EQ(SendDiscoveryRequest(kInvalidSocket, Ip("192.0.2.20"), Ip("255.255.255.0")), 0);
    const std::string output = ::testing::internal::GetCapturedStdout();
    // The line shows the destination's in-memory (network-order) value.
    const std::string value = std::endian::native == std::endian::little ? "ff0200c0" : "c00002ff";
    EXPECT_EQ(output, "server_to.sin_addr.s_addr = " + value + "\n");
}

}  // namespace
}  // namespace corvix
