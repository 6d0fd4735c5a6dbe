#include "CodePage.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace {

using ambrel::FromAnsi;
using ambrel::ToAnsi;

struct CodePageCase {
    const char* what;
    int language;
    std::u16string text;
    std::optional<std::string> ansi;  // nullopt: the code page lacks a character
};

class CodePageTest : public ::testing::TestWithParam<CodePageCase> {};

TEST_P(CodePageTest, ConvertsBothWaysOrRefuses) {
    const CodePageCase& c = GetParam();
    const auto ansi = ToAnsi(c.text, c.language);
    EXPECT_EQ(ansi, c.ansi) << c.what;
    if (c.ansi) {
        EXPECT_EQ(FromAnsi(*c.ansi, c.language), c.text) << c.what;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Languages, CodePageTest,
    ::testing::Values(CodePageCase{"ascii in gbk", 2052, u"AP-100", "AP-100"},
                      CodePageCase{"chinese in gbk", 2052, u"设备", "\xC9\xE8\xB1\xB8"},
                      CodePageCase{"empty", 2052, u"", ""},
                      CodePageCase{"latin in 1252", 1033, u"Caf\u00E9 \u20AC", "Caf\xE9 \x80"},
                      CodePageCase{"other languages use 1252", 1031, u"\u00FC", "\xFC"},
                      CodePageCase{"chinese lacks in 1252", 1033, u"设备", std::nullopt},
                      CodePageCase{"no best fit in 1252", 1033, u"\u0100", std::nullopt},
                      CodePageCase{"no best fit in gbk", 2052, u"\u20A9", std::nullopt},
                      CodePageCase{"lone surrogate", 2052, std::u16string(1, u'\xD800'),
                                   std::nullopt}),
    [](const auto& info) {
        std::string name = info.param.what;
        for (char& ch : name) {
            if (!std::isalnum(static_cast<unsigned char>(ch)))
                ch = '_';
        }
        return name;
    });

TEST(CodePageBytes, RefusesBytesTheCodePageDoesNotDefine) {
    EXPECT_EQ(FromAnsi("\xC9", 2052), std::nullopt) << "lead byte without trail byte";
    EXPECT_EQ(FromAnsi("\xFF\xFF", 2052), std::nullopt);
    EXPECT_EQ(FromAnsi("\x81", 1033), std::nullopt) << "0x81 is unassigned in 1252";
}

TEST(CodePageUtf8, RoundTripsAndRefusesIllFormedInput) {
    EXPECT_EQ(ambrel::Utf8ToUtf16("设备 AP"), std::u16string(u"设备 AP"));
    EXPECT_EQ(ambrel::Utf16ToUtf8(u"设备 AP"), std::string("设备 AP"));
    EXPECT_EQ(ambrel::Utf8ToUtf16("\xC3"), std::nullopt);
    EXPECT_EQ(ambrel::Utf16ToUtf8(std::u16string(1, u'\xDC00')), std::nullopt);
}

}  // namespace
