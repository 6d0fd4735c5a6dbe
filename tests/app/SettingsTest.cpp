// config.ini as the program reads and writes it: the GLOBAL section and the
// remembered devices.

#include <gtest/gtest.h>

#include "AppSettings.h"
#include "RememberedDevices.h"
#include "TempDirectory.h"

namespace ambrel {
namespace {

class Settings : public ::testing::Test {
protected:
    void SetUp() override {
        ResetAppSettings();
        ResetRememberedDevices();
        CaptureStartupDirectory();
    }
    void TearDown() override {
        ResetAppSettings();
        ResetRememberedDevices();
    }
    TempDirectory dir{true};  // the test runs inside it, as the program does
};

TEST_F(Settings, MissingFileChangesNothing) {
    TheAppSettings().langId = 2052;
    EXPECT_FALSE(LoadGlobalSettings());
    EXPECT_FALSE(LoadRememberedDevices());
    EXPECT_EQ(TheAppSettings().langId, 2052);
}

TEST_F(Settings, EmptyFileGivesTheDefaults) {
    dir.Write("config.ini", "");
    TheAppSettings().notAskAgain = 0;
    ASSERT_TRUE(LoadGlobalSettings());
    const AppSettings& s = TheAppSettings();
    EXPECT_EQ(s.notAskAgain, 1);
    EXPECT_EQ(s.isClosed, 0);
    EXPECT_EQ(s.langSwitch, 1);
    EXPECT_EQ(s.langId, 1033);
    EXPECT_EQ(s.deviceNum, 0);
    EXPECT_EQ(s.NetWorkName, u"");
}

TEST_F(Settings, SaveKeepsEverythingElseByteForByte) {
    const std::string before =
        "; written by hand\r\n"
        "[global]\r\n"
        "NotAskAgain=5\r\n"
        "langId=2052\r\n"
        "custom=keep me\r\n"
        "\r\n"
        "[Other]\r\n"
        "anything = at all\r\n";
    dir.Write("config.ini", before);
    ASSERT_TRUE(LoadGlobalSettings());
    EXPECT_EQ(TheAppSettings().langId, 2052);
    TheAppSettings().NetWorkName = u"办公室 office";
    ASSERT_TRUE(SaveGlobalSettings());
    EXPECT_EQ(dir.Read("config.ini"),
              "; written by hand\r\n"
              "[global]\r\n"
              "NotAskAgain=1\r\n"  // a non-zero value is written back as 1
              "langId=2052\r\n"    // never written
              "custom=keep me\r\n"
              "isClosed=0\r\n"
              "langSwitch=1\r\n"
              "deviceNum=0\r\n"
              "NetWorkName=\xE5\x8A\x9E\xE5\x85\xAC\xE5\xAE\xA4 office\r\n"
              "\r\n"
              "[Other]\r\n"
              "anything = at all\r\n");
    ResetAppSettings();
    CaptureStartupDirectory();
    ASSERT_TRUE(LoadGlobalSettings());
    EXPECT_EQ(TheAppSettings().NetWorkName, u"办公室 office");
}

TEST_F(Settings, FallbackFileIsReadAndWrittenBack) {
    dir.Write("Config.ini", "[GLOBAL]\nlangId=2052\nisClosed=1\n");
    ASSERT_TRUE(LoadGlobalSettings());
    EXPECT_EQ(TheAppSettings().isClosed, 1);
    ASSERT_TRUE(SaveGlobalSettings());
    // The same file, as on a file system without case: no second file appears.
    EXPECT_FALSE(std::filesystem::exists(dir.Path() / "config.ini"));
    EXPECT_NE(dir.Read("Config.ini").find("langId=2052"), std::string::npos);
    EXPECT_NE(dir.Read("Config.ini").find("deviceNum=0"), std::string::npos);
}

TEST_F(Settings, HandWrittenNameInTheAnsiCodePageStillReads) {
    dir.Write("config.ini", "[GLOBAL]\nlangId=2052\nNetWorkName=\xB0\xEC\xB9\xAB\n");  // GBK
    ASSERT_TRUE(LoadGlobalSettings());
    EXPECT_EQ(TheAppSettings().NetWorkName, u"办公");
}

TEST_F(Settings, RememberedDevicesRoundTrip) {
    dir.Write("config.ini", "");
    ASSERT_TRUE(LoadGlobalSettings());
    ASSERT_EQ(
        RememberListedDevice({0x0A, 0x1B, 0x2C, 0x3D, 0x4E, 0x5F}, u"厨房", u"ABCD-EFGH-IJKL-MNOP"),
        0);
    SetRememberedResult(0, true);
    ASSERT_TRUE(SaveSettingsOnExit());
    // GLOBAL first, then the devices.
    EXPECT_EQ(dir.Read("config.ini"),
              "[GLOBAL]\nnotAskAgain=1\nisClosed=0\nlangSwitch=1\ndeviceNum=1\nNetWorkName=\n"
              "[Device0]\nName=\xE5\x8E\xA8\xE6\x88\xBF\nPSW=ABCD-EFGH-IJKL-MNOP\n"
              "MAC=0A1B2C3D4E5F\nOK=1\n");

    ResetAppSettings();
    ResetRememberedDevices();
    CaptureStartupDirectory();
    ASSERT_TRUE(LoadGlobalSettings());
    ASSERT_TRUE(LoadRememberedDevices());
    EXPECT_EQ(rememberedDevices()[0],
              (RememberedDevice{u"厨房", u"ABCD-EFGH-IJKL-MNOP", "0A1B2C3D4E5F", 1}));
}

TEST_F(Settings, ReducedDeviceNumHidesLaterSectionsWithoutDeletingThem) {
    dir.Write("config.ini",
              "[GLOBAL]\ndeviceNum=1\n"
              "[Device0]\nName=A\nPSW=\nMAC=000000000001\nOK=0\n"
              "[Device1]\nName=B\nPSW=\nMAC=000000000002\nOK=1\n");
    ASSERT_TRUE(LoadGlobalSettings());
    ASSERT_TRUE(LoadRememberedDevices());
    EXPECT_EQ(FindRemembered({0, 0, 0, 0, 0, 2}), -1);
    rememberedDevices()[0].Name = u"A2";
    ASSERT_TRUE(SaveSettingsOnExit());
    std::string after = dir.Read("config.ini");
    EXPECT_NE(after.find("[Device0]\nName=A2\n"), std::string::npos);
    EXPECT_NE(after.find("[Device1]\nName=B\nPSW=\nMAC=000000000002\nOK=1\n"), std::string::npos);
}

TEST_F(Settings, TableKeepsThirtyTwoAndLeavesTheRestInTheFile) {
    std::string file = "[GLOBAL]\ndeviceNum=40\n";
    for (int i = 0; i < 40; ++i) {
        char mac[13];
        std::snprintf(mac, sizeof mac, "0000000000%02X", i + 1);
        file += "[Device" + std::to_string(i) + "]\nName=D" + std::to_string(i) + "\nMAC=" + mac +
                "\nOK=0\n";
    }
    dir.Write("config.ini", file);
    ASSERT_TRUE(LoadGlobalSettings());
    ASSERT_TRUE(LoadRememberedDevices());
    EXPECT_EQ(RememberedCount(), 32);
    EXPECT_EQ(rememberedDevices()[31].Name, u"D31");
    EXPECT_EQ(FindRemembered({0, 0, 0, 0, 0, 32}), 31);
    EXPECT_EQ(FindRemembered({0, 0, 0, 0, 0, 33}), -1);  // beyond the table
    // A full table refuses new devices, in both dialog modes.
    EXPECT_EQ(RememberListedDevice({1, 2, 3, 4, 5, 6}, u"new", u""), kNotRemembered);
    EXPECT_EQ(RememberJoinedDevice({1, 2, 3, 4, 5, 6}, u"new", u"ABCD-EFGH-IJKL-MNOP"),
              kNotRemembered);
    SetRememberedResult(kNotRemembered, true);  // ignored
    ASSERT_TRUE(SaveSettingsOnExit());
    std::string after = dir.Read("config.ini");
    EXPECT_NE(after.find("deviceNum=40\n"), std::string::npos);
    EXPECT_NE(after.find("[Device39]\nName=D39\nMAC=000000000028\nOK=0\n"), std::string::npos);
}

TEST_F(Settings, DialogWritesUpdateOrAppend) {
    const MacAddress first{0, 1, 2, 3, 4, 5};
    const MacAddress second{0, 1, 2, 3, 4, 6};
    EXPECT_EQ(RememberListedDevice(first, u"Kitchen", u""), 0);
    EXPECT_EQ(rememberedDevices()[0].OK, 0);
    EXPECT_EQ(RememberListedDevice(first, u"Hall", u"ABCD-EFGH-IJKL-MNOP"), 0);  // rename
    SetRememberedResult(0, false);
    EXPECT_EQ(rememberedDevices()[0],
              (RememberedDevice{u"Hall", u"ABCD-EFGH-IJKL-MNOP", "000102030405", 0}));
    EXPECT_EQ(RememberJoinedDevice(second, u"Office", u"QRST-UVWX-YZAB-CDEF"), 1);
    EXPECT_EQ(rememberedDevices()[1].OK, 1);
    EXPECT_EQ(RememberJoinedDevice(first, u"Hall", u"ABCD-EFGH-IJKL-MNOP"), 0);
    EXPECT_EQ(rememberedDevices()[0].OK, 1);
    EXPECT_EQ(TheAppSettings().deviceNum, 2);
    // A join that learned no MAC identifies no device and is not remembered.
    EXPECT_EQ(RememberJoinedDevice({}, u"Ghost", u"ABCD-EFGH-IJKL-MNOP"), kNotRemembered);
    EXPECT_EQ(TheAppSettings().deviceNum, 2);
}

TEST_F(Settings, AllZeroMacEntriesAreKeptButMatchNothing) {
    dir.Write("config.ini",
              "[GLOBAL]\ndeviceNum=1\n[Device0]\nName=Z\nPSW=ABCD-EFGH-IJKL-MNOP\n"
              "MAC=000000000000\nOK=0\n");
    ASSERT_TRUE(LoadGlobalSettings());
    ASSERT_TRUE(LoadRememberedDevices());
    EXPECT_EQ(FindRemembered({0, 0, 0, 0, 0, 0}), -1);
    ASSERT_TRUE(SaveSettingsOnExit());
    EXPECT_NE(dir.Read("config.ini").find("PSW=ABCD-EFGH-IJKL-MNOP\nMAC=000000000000\nOK=0\n"),
              std::string::npos);
}

}  // namespace
}  // namespace ambrel
