// Fixed ANSI fields and the texts of config.ini.

#include <gtest/gtest.h>

#include "AnsiText.h"
#include "BundleFormat.h"

namespace ambrel {
namespace {

TEST(AnsiBuffer, TextMustFitWithItsTerminator) {
    struct Case {
        std::u16string text;
        size_t size;
        int language;
        std::optional<std::string> bytes;
    };
    const Case cases[] = {
        {u"0123456789", 10, 1033, std::nullopt},
        {u"0123456789", 11, 1033, "0123456789"},
        {u"一二三四五六七八九十一二", 24, 2052, std::nullopt},  // 24 GBK bytes
        {u"一二三四五六七八九十一二", 25, 2052, ""},            // fits (bytes not compared)
        {u"café", 5, 1033, "caf\xE9"},
        {u"一", 10, 1033, std::nullopt},  // not in Windows-1252
    };
    for (const Case& c : cases) {
        std::optional<std::string> bytes = ToAnsiBuffer(c.text, c.size, c.language);
        ASSERT_EQ(bytes.has_value(), c.bytes.has_value()) << c.size;
        if (c.bytes && !c.bytes->empty()) {
            EXPECT_EQ(*bytes, *c.bytes);
        }
        if (bytes) {
            EXPECT_LT(bytes->size(), c.size);
        }
    }
    EXPECT_EQ(ToAnsiBuffer(u"一二三四五六七八九十一二", 25, 2052)->size(), 24u);
}

TEST(AnsiBuffer, FieldReadsUpToNulAndNeverTheLastByte) {
    EXPECT_EQ(FromAnsiBuffer(std::string("abc\0zz", 6), 1033), u"abc");
    EXPECT_EQ(FromAnsiBuffer("abcd", 1033), u"abc");
    EXPECT_EQ(FromAnsiBuffer(std::string("\xBF\xCD\xCC\xFC\0", 5), 2052), u"客厅");
    // The last byte stands for the terminator: a character cut in half fails.
    EXPECT_EQ(FromAnsiBuffer("\xBF\xCD\xCC\xFC", 2052), std::nullopt);
    EXPECT_EQ(FromAnsiBuffer("", 1033), u"");
}

TEST(SettingsText, DecodesUtf8ThenTheCodePageAndLimitsTheLength) {
    EXPECT_EQ(DecodeSettingsText("caf\xC3\xA9", 1033, 511), u"café");
    EXPECT_EQ(DecodeSettingsText("caf\xE9", 1033, 511), u"café");  // Windows-1252 by hand
    EXPECT_EQ(DecodeSettingsText(std::string(600, 'x'), 1033, 511).size(), 511u);
    EXPECT_EQ(DecodeSettingsText("a\xF0\x9F\x98\x80", 1033, 2), u"a");  // no half pair
    EXPECT_EQ(EncodeSettingsText(u"a\xD800"
                                 u"b"),
              "a\xEF\xBF\xBD"
              "b");
}

TEST(BundleText, StringTableAndTemplates) {
    bundle::StringTable table =
        bundle::ParseStringTable("# c\n1=a=b\\nc\\\\\r\n 2 =  x\nbad\n3=\\q\n1=again\n");
    EXPECT_EQ(table.strings.at(1), "a=b\nc\\");
    EXPECT_EQ(table.strings.at(2), "  x");
    EXPECT_EQ(table.errors.size(), 3u);  // no '=', unknown escape, duplicate
    EXPECT_EQ(bundle::ParseStringTable(bundle::EscapeString("x\\n\n\t")).errors.size(), 1u);
    EXPECT_EQ(bundle::ParseStringTable("5=" + bundle::EscapeString("x\\n\n\t")).strings.at(5),
              "x\\n\n\t");

    bundle::Templates templates = bundle::ParseTemplates(
        "dialog 7 100 50\n"
        "  10 button 1 2 30 20 hidden|disabled 400\n"
        "  11 widget 1 2 3 4 - 0\n"
        "  12 static 1 2 3 4 blink 0\n"
        "  10 static 1 2 3 4 - 0\n"
        "menu 8\n  popup 1\n    item 5 6\n    separator\n  end\n  end\n");
    ASSERT_EQ(templates.dialogs.count(7), 1u);
    const bundle::ControlTemplate* button = templates.dialogs.at(7).Find(10);
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->kind, "button");
    EXPECT_TRUE(button->HasStyle("disabled"));
    EXPECT_EQ(button->textId, 400);
    EXPECT_EQ(templates.dialogs.at(7).controls.size(), 1u);
    EXPECT_EQ(templates.menus.at(8).items.at(0).children.at(0).commandId, 5);
    EXPECT_EQ(templates.errors.size(), 4u);  // kind, style, duplicate, stray end
}

}  // namespace
}  // namespace ambrel
