#include "NetworkRows.h"

#include <gtest/gtest.h>

#include <vector>

namespace ambrel {
namespace {

std::vector<int> VisibleRows(const RowLayout& layout) {
    std::vector<int> rows;
    for (int r = 0; r < kRowCount; ++r) {
        if (layout.rows[static_cast<size_t>(r)].visible)
            rows.push_back(r);
    }
    return rows;
}

TEST(NetworkRows, SevenRowsFromTheScrollPosition) {
    struct Case {
        int scroll;
        ScrollRequest request;
        std::vector<int> visible;
    };
    const std::vector<int> first{0, 1, 2, 3, 4, 5, 6};
    const Case cases[] = {
        {0, ScrollRequest::Other, first},
        {0, ScrollRequest::LineDown, {1, 2, 3, 4, 5, 6, 7}},
        {0, ScrollRequest::PageDown, {3, 4, 5, 6, 7, 8, 9}},
        {0, ScrollRequest::LineUp, first},
        {2, ScrollRequest::PageUp, first},
        {3, ScrollRequest::PageDown, {4, 5, 6, 7, 8, 9}},  // the last position shows the last rows
        {4, ScrollRequest::LineDown, {4, 5, 6, 7, 8, 9}},
    };
    for (const Case& c : cases) {
        int position = ScrollPosition(c.scroll, c.request, 10);
        RowLayout layout = LayoutRows(position, 10, 0, 50, 40);
        EXPECT_EQ(VisibleRows(layout), c.visible) << c.scroll << " " << static_cast<int>(c.request);
    }
    EXPECT_EQ(ScrollPosition(0, ScrollRequest::Thumb, 10, 2), 2);
    EXPECT_EQ(ScrollPosition(0, ScrollRequest::Thumb, 10, 99), 4);
    EXPECT_EQ(ScrollPosition(0, ScrollRequest::PageDown, 5), 0) << "nothing to scroll";
}

TEST(NetworkRows, RowsStackFromTheTopWithTheFocusClamped) {
    RowLayout layout = LayoutRows(1, 5, 9, 50, 40);
    EXPECT_EQ(layout.focusedRow, 4);
    EXPECT_TRUE(layout.rows[4].focused);
    EXPECT_FALSE(layout.rows[0].visible);
    EXPECT_EQ(layout.rows[1].y, 50);
    EXPECT_EQ(layout.rows[4].y, 170);
    EXPECT_EQ(layout.rows[4].height, 40);

    RowLayout empty = LayoutRows(0, 0, 3, 50, 40);
    EXPECT_EQ(empty.focusedRow, 0);
    EXPECT_TRUE(VisibleRows(empty).empty());
}

TEST(NetworkRows, RowTexts) {
    DeviceRecord record;
    record.mac = {0x00, 0xB0, 0x52, 0x0A, 0x0B, 0x0C};
    SetFieldText(record.name, "Kitchen");
    SetFieldText(record.password, "ABCD-EFGH-IJKL-MNOP");  // all 19 bytes, no terminator
    record.rate = 151;

    RowTexts texts = MakeRowTexts(record, 1033);
    EXPECT_EQ(texts.name, u"Kitchen");
    EXPECT_EQ(texts.password, u"Not:ABCD-EFGH-IJKL-MNOP");
    EXPECT_EQ(texts.rate, u"200 Mbps");
    EXPECT_EQ(texts.mac, u"00:B0:52:0A:0B:0C");

    record.passwordOk = 1;
    EXPECT_EQ(MakeRowTexts(record, 1033).password, u"ABCD-EFGH-IJKL-MNOP");
    record.password.fill('\0');
    record.passwordOk = 0;
    EXPECT_EQ(MakeRowTexts(record, 1033).password, u"") << "no password, nothing to mark";

    // The Chinese default name in GBK.
    SetFieldText(record.name,
                 "\xC9\xE8\xB1\xB8"
                 "3");
    EXPECT_EQ(MakeRowTexts(record, 2052).name, u"设备3");

    const std::pair<uint8_t, const char16_t*> rates[] = {
        {0, u"    ?"}, {1, u"1 Mbps"}, {76, u"100 Mbps"}, {255, u"337 Mbps"}};
    for (auto [raw, text] : rates)
        EXPECT_EQ(RateText(raw), text) << int(raw);
}

}  // namespace
}  // namespace ambrel
