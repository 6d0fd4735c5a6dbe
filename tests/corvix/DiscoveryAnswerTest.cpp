#include "DiscoveryAnswer.h"

#include <gtest/gtest.h>

#include <string>

#include "CorvixTestSupport.h"
#include "RecordAnswer.h"
#include "ScanTables.h"

namespace corvix {
namespace {

using Mac = std::array<uint8_t, 6>;

TEST(DiscoveryAnswer, ParsesNamedExample) {
    const auto bytes = test::ReadHexFile("answer_gbk_name.hex");
    const auto answer = ParseDiscoveryAnswer(bytes);
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->address, (std::array<uint8_t, 4>{192, 0, 2, 10}));
    EXPECT_EQ(answer->mac, (Mac{0x02, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E}));
    EXPECT_EQ(answer->model, u"AP-300N");
    EXPECT_EQ(answer->name, u"客厅");
}

TEST(DiscoveryAnswer, AcceptsOnlyExactLengthAndType) {
    const auto valid = test::ReadHexFile("answer_gbk_name.hex");
    struct Case {
        const char* what;
        std::vector<uint8_t> datagram;
        bool accepted;
    };
    auto with = [&](size_t size, uint8_t first, uint8_t second) {
        std::vector<uint8_t> datagram = valid;
        datagram.resize(size, 0);
        if (size > 0)
            datagram[0] = first;
        if (size > 1)
            datagram[1] = second;
        return datagram;
    };
    const Case cases[] = {
        {"160 bytes, 00 02", valid, true},
        {"159 bytes", with(159, 0x00, 0x02), false},
        {"161 bytes", with(161, 0x00, 0x02), false},
        {"empty", {}, false},
        {"two bytes", with(2, 0x00, 0x02), false},
        {"type 02 00", with(160, 0x02, 0x00), false},
        {"type 00 01", with(160, 0x00, 0x01), false},
        {"type 01 02", with(160, 0x01, 0x02), false},
    };
    for (const Case& c : cases) {
        ResetScanTables();
        EXPECT_EQ(IsDiscoveryAnswer(c.datagram), c.accepted) << c.what;
        EXPECT_EQ(RecordAnswer(c.datagram), c.accepted) << c.what;
        EXPECT_EQ(apTable.count, c.accepted ? 1u : 0u) << c.what;
    }
    ResetScanTables();
}

class RecordAnswerTest : public ::testing::Test {
protected:
    void SetUp() override { ResetScanTables(); }
    void TearDown() override { ResetScanTables(); }
};

TEST_F(RecordAnswerTest, FormatsAddressAndMac) {
    ASSERT_TRUE(RecordAnswer(
        test::MakeAnswer({203, 0, 113, 7}, {0x0a, 0x1b, 0x2c, 0x3d, 0x4e, 0xff}, "M", "N")));
    ASSERT_TRUE(RecordAnswer(test::MakeAnswer({0, 0, 0, 0}, {0, 0, 0, 0, 0, 1}, "M", "N")));
    ASSERT_EQ(apTable.count, 2u);
    EXPECT_EQ(apTable.entries[0].ipText, u"203.0.113.7");
    EXPECT_EQ(apTable.entries[0].macText, u"0A-1B-2C-3D-4E-FF");
    EXPECT_EQ(apTable.entries[1].ipText, u"0.0.0.0");
    EXPECT_EQ(apTable.entries[1].macText, u"00-00-00-00-00-01");
}

TEST_F(RecordAnswerTest, SameMacKeepsOneEntryWithTheLaterValues) {
    const Mac mac{0x02, 0, 0, 0, 0, 0x10};
    ASSERT_TRUE(RecordAnswer(test::MakeAnswer({192, 0, 2, 10}, {2, 0, 0, 0, 0, 9}, "other", "x")));
    ASSERT_TRUE(RecordAnswer(test::MakeAnswer({192, 0, 2, 16}, mac, "old-model", "old-name")));
    ASSERT_TRUE(RecordAnswer(test::MakeAnswer({198, 51, 100, 16}, mac, "new-model", "new-name")));
    ASSERT_EQ(apTable.count, 2u);
    const ApEntry& entry = apTable.entries[1];
    EXPECT_EQ(entry.ipText, u"198.51.100.16");
    EXPECT_EQ(entry.model, u"new-model");
    EXPECT_EQ(entry.name, u"new-name");
    EXPECT_EQ(entry.macText, u"02-00-00-00-00-10");
}

TEST_F(RecordAnswerTest, TableFullDropsNewAndListedDevices) {
    for (uint8_t n = 1; n <= kMaxApEntries; ++n) {
        ASSERT_TRUE(RecordAnswer(test::MakeAnswer({192, 0, 2, n}, {2, 0, 0, 0, 0, n}, "M", "N")));
    }
    EXPECT_FALSE(RecordAnswer(test::MakeAnswer({192, 0, 2, 21}, {2, 0, 0, 0, 0, 21}, "M", "N")));
    // An update of a listed device is dropped as well once the table is full.
    EXPECT_FALSE(RecordAnswer(test::MakeAnswer({192, 0, 2, 99}, {2, 0, 0, 0, 0, 1}, "M", "N")));
    ASSERT_EQ(apTable.count, kMaxApEntries);
    EXPECT_EQ(apTable.entries[0].ipText, u"192.0.2.1");
    EXPECT_EQ(apTable.entries[kMaxApEntries - 1].macText, u"02-00-00-00-00-14");
}

TEST_F(RecordAnswerTest, TextsStopAtNulOrFieldEnd) {
    struct Case {
        const char* what;
        std::string model;
        std::string name;
        std::u16string expectedModel;
        std::u16string expectedName;
    };
    const Case cases[] = {
        {"nul-terminated", "AP", "Office", u"AP", u"Office"},
        {"model fills its field", std::string(20, 'M'), "Name", std::u16string(20, u'M'), u"Name"},
        {"name fills its field", "AP", std::string(128, 'n'), u"AP", std::u16string(128, u'n')},
        {"gbk name", "AP", "\xC9\xE8\xB1\xB8", u"AP", u"设备"},
        {"empty texts", "", "", u"", u""},
    };
    for (const Case& c : cases) {
        ResetScanTables();
        ASSERT_TRUE(
            RecordAnswer(test::MakeAnswer({192, 0, 2, 1}, {2, 0, 0, 0, 0, 1}, c.model, c.name)))
            << c.what;
        EXPECT_EQ(apTable.entries[0].model, c.expectedModel) << c.what;
        EXPECT_EQ(apTable.entries[0].name, c.expectedName) << c.what;
    }
}

TEST_F(RecordAnswerTest, UndefinedBytesBecomeReplacementCharacters) {
    struct Case {
        const char* what;
        std::string name;
        std::u16string expected;
    };
    const Case cases[] = {
        {"invalid pair inside",
         "A\xFF\xFF"
         "B",
         u"A\uFFFD\uFFFDB"},
        {"lead byte at the end", "\xC9\xE8\xB1", u"设\uFFFD"},
        {"lead byte before nul", std::string("AB\xC9\0CD", 6), u"AB\uFFFD"},
    };
    for (const Case& c : cases) {
        ResetScanTables();
        ASSERT_TRUE(
            RecordAnswer(test::MakeAnswer({192, 0, 2, 1}, {2, 0, 0, 0, 0, 1}, "AP", c.name)))
            << c.what;
        EXPECT_EQ(apTable.entries[0].name, c.expected) << c.what;
    }
    // A model whose last byte is a lead byte does not borrow the name's first
    // byte as its trail byte.
    ResetScanTables();
    ASSERT_TRUE(RecordAnswer(test::MakeAnswer({192, 0, 2, 1}, {2, 0, 0, 0, 0, 1},
                                              std::string(19, 'M') + "\xC9", "\xE8Z")));
    EXPECT_EQ(apTable.entries[0].model, std::u16string(19, u'M') + u"\uFFFD");
}

TEST_F(RecordAnswerTest, ListRecordsRefreshKeepsTheRecordsBehind) {
    for (uint8_t n = 1; n <= 3; ++n) {
        ASSERT_TRUE(RecordAnswer(test::MakeAnswer({192, 0, 2, n}, {2, 0, 0, 0, 0, n}, "model",
                                                  "name" + std::to_string(n))));
    }
    RefreshListRecords();
    EXPECT_EQ(listCount.load(), 3);

    ClearApTable();
    ASSERT_TRUE(RecordAnswer(test::MakeAnswer({198, 51, 100, 9}, {2, 0, 0, 0, 0, 9}, "m9", "n9")));
    RefreshListRecords();
    EXPECT_EQ(listCount.load(), 1);
    EXPECT_EQ(apListRecords[0].name, u"n9");
    EXPECT_EQ(apListRecords[0].model, u"m9");
    EXPECT_EQ(apListRecords[0].ipText, u"198.51.100.9");
    EXPECT_EQ(apListRecords[0].macText, u"02-00-00-00-00-09");
    // Records 1 and 2 still hold the earlier scan's devices.
    EXPECT_EQ(apListRecords[1].name, u"name2");
    EXPECT_EQ(apListRecords[2].ipText, u"192.0.2.3");
    EXPECT_TRUE(apListRecords[3].name.empty());
}

}  // namespace
}  // namespace corvix
