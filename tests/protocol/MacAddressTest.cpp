#include "MacAddress.h"

#include <gtest/gtest.h>

namespace ambrel {
namespace {

TEST(MacAddress, ParsesTheAcceptedSpellings) {
    const MacAddress expected{0x00, 0xB0, 0x52, 0xAB, 0xCD, 0xEF};
    for (const char* text :
         {"00B052ABCDEF", "00b052abcdef", "00:B0:52:AB:CD:EF", "00-b0-52-ab-cd-ef"}) {
        auto mac = ParseMac(text);
        ASSERT_TRUE(mac) << text;
        EXPECT_EQ(*mac, expected) << text;
    }
}

TEST(MacAddress, RefusesEverythingElse) {
    for (const char* text :
         {"", "00B052ABCDE", "00B052ABCDEF0", "00:B0-52:AB:CD:EF", "00B0:52ABCDEF",
          "0G:B0:52:AB:CD:EF", "00:B0:52:AB:CD:EF:", "00 B0 52 AB CD EF"}) {
        EXPECT_FALSE(ParseMac(text)) << text;
    }
}

TEST(MacAddress, FormatsForWindowsAndSettings) {
    const MacAddress mac{0x00, 0xB0, 0x52, 0x0A, 0xCD, 0xEF};
    EXPECT_EQ(FormatMac(mac), "00:B0:52:0A:CD:EF");
    EXPECT_EQ(FormatMac(mac, '-'), "00-B0-52-0A-CD-EF");
    EXPECT_EQ(MacToHex(mac), "00B0520ACDEF");
}

}  // namespace
}  // namespace ambrel
