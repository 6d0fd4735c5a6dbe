#include <arpa/inet.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "SimDevice.h"
#include "SimOptions.h"
#include "SimServer.h"
#include "SimWire.h"

namespace apsim {
namespace {

uint32_t Ip(const char* dotted) {
    return *ParseAddress(dotted);
}

TEST(ApsimDeviceSpec, ParsesOrExplains) {
    struct Case {
        const char* spec;
        bool ok;
        const char* name;
    };
    const Case cases[] = {
        {"AP-300N,Office,192.0.2.10,02:1a:2b:3c:4d:5e", true, "Office"},
        {"AP-300N,客厅,192.0.2.10,02-1A-2B-3C-4D-5E", true, "客厅"},
        {"AP,Hall, first floor,192.0.2.10,02:1a:2b:3c:4d:5e", true, "Hall, first floor"},
        {"AP,Office,192.0.2,02:1a:2b:3c:4d:5e", false, ""},
        {"AP,Office,192.0.2.10,02:1a:2b:3c:4d", false, ""},
        {"AP,Office,192.0.2.10,02:1a:2b:3c:4d:5g", false, ""},
        {"AP,192.0.2.10,02:1a:2b:3c:4d:5e", false, ""},
        {"twenty-one-bytes-long,Office,192.0.2.10,02:1a:2b:3c:4d:5e", false, ""},
        {"AP,\u20A9 not in gbk,192.0.2.10,02:1a:2b:3c:4d:5e", false, ""},
        {"AP,\xC3,192.0.2.10,02:1a:2b:3c:4d:5e", false, ""},
    };
    for (const Case& c : cases) {
        std::string error;
        auto device = ParseDeviceSpec(c.spec, error);
        EXPECT_EQ(device.has_value(), c.ok) << c.spec;
        if (device) {
            EXPECT_EQ(device->name, c.name);
            EXPECT_EQ(device->address, Ip("192.0.2.10"));
            EXPECT_EQ(device->mac, (std::array<uint8_t, 6>{0x02, 0x1a, 0x2b, 0x3c, 0x4d, 0x5e}));
        } else {
            EXPECT_FALSE(error.empty()) << c.spec;
        }
    }
}

TEST(ApsimDeviceSpec, FileSkipsNotesAndNamesTheBadLine) {
    std::string error;
    auto devices = ParseDeviceFile(
        "# access points\n\nAP-1,One,192.0.2.11,02:00:00:00:00:01\r\n"
        "AP-2,Two,192.0.2.12,02:00:00:00:00:02\n",
        error);
    ASSERT_TRUE(devices) << error;
    ASSERT_EQ(devices->size(), 2u);
    EXPECT_EQ((*devices)[1].name, "Two");
    EXPECT_FALSE(ParseDeviceFile("AP-1,One,192.0.2.11,02:00:00:00:00:01\nbad\n", error));
    EXPECT_NE(error.find("line 2"), std::string::npos) << error;
}

TEST(ApsimWire, AnswerCarriesGbkTextsAtTheirOffsets) {
    std::string error;
    auto device = ParseDeviceSpec("AP-300N,客厅,192.0.2.10,02:1a:2b:3c:4d:5e", error);
    ASSERT_TRUE(device);
    auto answer = BuildAnswer(*device);
    ASSERT_TRUE(answer);
    const std::vector<uint8_t> head(answer->begin(), answer->begin() + 12);
    EXPECT_EQ(head, (std::vector<uint8_t>{0x00, 0x02, 192, 0, 2, 10, 0x02, 0x1a, 0x2b, 0x3c, 0x4d,
                                          0x5e}));
    EXPECT_EQ(std::string(answer->begin() + 12, answer->begin() + 19), "AP-300N");
    EXPECT_EQ((*answer)[19], 0);
    EXPECT_EQ(std::string(answer->begin() + 32, answer->begin() + 36), "\xBF\xCD\xCC\xFC");
    EXPECT_EQ((*answer)[36], 0);
}

TEST(ApsimWire, RequestsAreCheckedBeforeTheyAreAnswered) {
    std::vector<uint8_t> request(164, 0);
    request[0] = 1;
    request[2] = 2;
    const uint8_t pairs[] = {192, 0, 2, 1, 255, 255, 255, 0, 198, 51, 100, 1, 255, 255, 0, 0};
    std::copy(std::begin(pairs), std::end(pairs), request.begin() + 4);
    auto parsed = ParseRequest(request);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(DescribeRequest(*parsed),
              "pairs 2: 192.0.2.1/255.255.255.0 198.51.100.1/255.255.0.0");

    auto changed = [&](size_t size, size_t offset, uint8_t value) {
        std::vector<uint8_t> copy = request;
        copy.resize(size, 0);
        copy[offset] = value;
        return copy;
    };
    EXPECT_FALSE(ParseRequest(changed(163, 0, 1)));
    EXPECT_FALSE(ParseRequest(changed(165, 0, 1)));
    EXPECT_FALSE(ParseRequest(changed(164, 0, 2)));
    EXPECT_FALSE(ParseRequest(changed(164, 2, 21)));
    EXPECT_TRUE(ParseRequest(changed(164, 2, 20)));

    // Broadcast answers go to the subnet of the pair that holds the requester.
    EXPECT_EQ(AnswerBroadcast(*parsed, *ParseAddress("198.51.7.9")),
              *ParseAddress("198.51.255.255"));
    EXPECT_EQ(AnswerBroadcast(*parsed, *ParseAddress("192.0.2.1")), *ParseAddress("192.0.2.255"));
    EXPECT_EQ(AnswerBroadcast(*parsed, *ParseAddress("203.0.113.1")), 0xFFFFFFFFu);
}

TEST(ApsimOptions, PlansMalformedThenAnswersThenDuplicate) {
    std::string error;
    auto options =
        ParseOptions({"--device", "AP,One,192.0.2.11,02:00:00:00:00:01", "--devices", "2",
                      "--base-ip", "192.0.2.100", "--malformed", "short", "--malformed", "long",
                      "--malformed", "type", "--duplicate", "192.0.2.99"},
                     error);
    ASSERT_TRUE(options) << error;
    const auto replies = PlanReplies(*options);
    ASSERT_EQ(replies.size(), 7u);
    EXPECT_EQ(replies[0].size(), 159u);
    EXPECT_EQ(replies[1].size(), 161u);
    EXPECT_EQ(replies[2].size(), 160u);
    EXPECT_EQ(replies[2][0], 0x02);
    EXPECT_EQ(replies[2][1], 0x00);
    for (size_t k = 0; k < 3; ++k) {
        EXPECT_EQ(std::vector<uint8_t>(replies[k].begin() + 6, replies[k].begin() + 12),
                  (std::vector<uint8_t>{0x02, 0xBA, 0xD0, 0, 0, static_cast<uint8_t>(k + 1)}));
    }
    // The numbered devices follow the explicit one.
    EXPECT_EQ(replies[5][5], 101);
    EXPECT_EQ(replies[5][11], 2);
    // The duplicate repeats the first device's MAC with the new address.
    EXPECT_EQ(std::vector<uint8_t>(replies[6].begin() + 2, replies[6].begin() + 12),
              (std::vector<uint8_t>{192, 0, 2, 99, 2, 0, 0, 0, 0, 1}));
}

TEST(ApsimOptions, RefusesBadArguments) {
    const std::vector<std::vector<std::string>> cases = {
        {"--listen", "nowhere"}, {"--devices", "-1"},
        {"--malformed", "odd"},  {"--delay", "soon"},
        {"--unknown", "1"},      {"--device"},
        {"--port", "0"},         {"--config", "/nonexistent/apsim.conf"},
    };
    for (const auto& args : cases) {
        std::string error;
        EXPECT_FALSE(ParseOptions(args, error)) << args[0];
        EXPECT_FALSE(error.empty()) << args[0];
    }
}

}  // namespace
}  // namespace apsim
