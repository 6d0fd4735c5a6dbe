// BuildDeviceList: which stations are listed, what is merged in from the
// remembered devices and which default names are given.

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <vector>

#include "AppSettings.h"
#include "DeviceList.h"
#include "RememberedDevices.h"

namespace ambrel {
namespace {

MacAddress Mac(uint8_t last) {
    return {0x00, 0xB0, 0x52, 0x10, 0x00, last};
}

struct Station {
    MacAddress mac;
    bool answers = true;
};

class DeviceListTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetDeviceModel();
        ResetAppSettings();
        ResetRememberedDevices();
        CurrentNamingStyle() = NamingStyle::English;
    }
    void TearDown() override { SetUp(); }

    // Fills the station table and builds the list; returns the names shown.
    std::vector<std::string> Build(const std::vector<Station>& stations) {
        DeviceModel& model = TheDeviceModel();
        std::set<MacAddress> answering;
        model.stationTable.count = static_cast<uint8_t>(stations.size());
        for (size_t i = 0; i < stations.size(); ++i) {
            model.stationTable.records[i].mac = stations[i].mac;
            if (stations[i].answers)
                answering.insert(stations[i].mac);
        }
        BuildDeviceList([&](const MacAddress& mac) {
            queried.push_back(mac);
            return answering.count(mac) != 0;
        });
        std::vector<std::string> names;
        for (size_t i = 0; i < model.deviceList.count; ++i) {
            names.emplace_back(FieldText(model.deviceList.records[i].name));
        }
        return names;
    }
    void Remember(const MacAddress& mac, std::u16string name, std::u16string psw = u"",
                  int ok = 0) {
        int index = TheAppSettings().deviceNum++;
        rememberedDevices()[static_cast<size_t>(index)] = {name, psw, MacToHex(mac), ok};
    }

    std::vector<MacAddress> queried;
};

TEST_F(DeviceListTest, DefaultNames) {
    const std::string gbkDevice = "\xC9\xE8\xB1\xB8";
    struct Case {
        const char* name;
        NamingStyle style;
        std::vector<std::pair<int, std::u16string>> remembered;  // station index, name
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {"unnamed devices in station order", NamingStyle::English, {}, {"Device1", "Device2"}},
        {"a remembered Device1 keeps its name",
         NamingStyle::English,
         {{1, u"Device1"}},
         {"Device2", "Device1"}},
        {"the first of two equal names gets a default name",
         NamingStyle::English,
         {{0, u"Hall"}, {1, u"Hall"}},
         {"Device1", "Hall"}},
        {"Chinese style", NamingStyle::Chinese, {}, {gbkDevice + "1", gbkDevice + "2"}},
        {"a remembered Chinese name in GBK",
         NamingStyle::Chinese,
         {{0, u"客厅"}},
         {"\xBF\xCD\xCC\xFC", gbkDevice + "1"}},
    };
    for (const Case& c : cases) {
        SetUp();
        TheAppSettings().langId = 2052;
        CurrentNamingStyle() = c.style;
        for (const auto& [station, name] : c.remembered)
            Remember(Mac(static_cast<uint8_t>(station)), name);
        EXPECT_EQ(Build({{Mac(0)}, {Mac(1)}}), c.expected) << c.name;
    }
}

TEST_F(DeviceListTest, OnlyAnsweringStationsWithoutBroadcastEntries) {
    std::vector<std::string> names = Build({{Mac(1)},
                                            {kBroadcastMac},
                                            {kBroadcastMac},  // a second one right behind
                                            {Mac(2), false},
                                            {Mac(3)}});
    EXPECT_EQ(queried.size(), 5u);  // every station is asked, in order
    const DeviceTable& list = TheDeviceModel().deviceList;
    ASSERT_EQ(list.count, 2);
    EXPECT_EQ(list.records[0].mac, Mac(1));
    EXPECT_EQ(list.records[1].mac, Mac(3));
    EXPECT_EQ(list.records[2].mac, MacAddress{});  // cleared behind the count
    EXPECT_EQ(names, (std::vector<std::string>{"Device1", "Device2"}));
}

TEST_F(DeviceListTest, MergesOnlyExactMatchesThatFit) {
    struct Case {
        const char* name;
        std::string macText;  // as written in the file
        std::u16string remName;
        std::u16string psw;
        int ok;
        std::string shownName;
        std::string password;
        uint8_t passwordOk;
    };
    const Case cases[] = {
        {"exact match", "00B052100001", u"Kitchen", u"ABCD-EFGH-IJKL-MNOP", 1, "Kitchen",
         "ABCD-EFGH-IJKL-MNOP", 1},
        {"lower-case MAC text matches nothing", "00b052100001", u"Kitchen", u"ABCD", 1, "Device1",
         "", 0},
        {"23 bytes fit", "00B052100001", u"12345678901234567890123", u"", 0,
         "12345678901234567890123", "", 0},
        {"24 bytes do not", "00B052100001", u"123456789012345678901234", u"ABCD-EFGH-IJKL-MNOP", 1,
         "Device1", "ABCD-EFGH-IJKL-MNOP", 1},
        {"12 Chinese characters are 24 GBK bytes", "00B052100001", u"一二三四五六七八九十一二", u"",
         0, "Device1", "", 0},
        {"a password of 20 characters is not merged", "00B052100001", u"Hall",
         u"ABCD-EFGH-IJKL-MNOPQ", 1, "Hall", "", 1},
        {"a name outside the code page is not merged", "00B052100001", u"\u0E01x", u"", 0,
         "Device1", "", 0},
    };
    for (const Case& c : cases) {
        SetUp();
        TheAppSettings().langId = 2052;
        rememberedDevices()[0] = {c.remName, c.psw, c.macText, c.ok};
        TheAppSettings().deviceNum = 1;
        Build({{Mac(1)}});
        const DeviceRecord& record = TheDeviceModel().deviceList.records[0];
        EXPECT_EQ(FieldText(record.name), c.shownName) << c.name;
        EXPECT_EQ(FieldText(record.password), c.password) << c.name;
        EXPECT_EQ(record.passwordOk, c.passwordOk) << c.name;
    }
}

}  // namespace
}  // namespace ambrel
