#include "UpgradeFiles.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <vector>

#include "DeviceModel.h"

namespace ambrel {
namespace {

namespace fs = std::filesystem;
using Message = UpgradeFileMessage;

size_t OpenDescriptors() {
    return static_cast<size_t>(
        std::distance(fs::directory_iterator("/proc/self/fd"), fs::directory_iterator{}));
}

class UpgradeFilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetDeviceModel();
        dir_ = fs::temp_directory_path() / ("ambrel-upgrade-" + std::to_string(getpid()));
        fs::create_directories(dir_);
    }
    void TearDown() override {
        fs::remove_all(dir_);
        ResetDeviceModel();
    }

    std::string File(const std::string& name, size_t size) {
        const fs::path path = dir_ / name;
        std::ofstream out(path, std::ios::binary);
        for (size_t i = 0; i < size; ++i)
            out.put(static_cast<char>(i * 13));
        return path.string();
    }

    // Runs check and load; the messages they sent, in order.
    std::vector<Message> CheckAndLoad(const std::string& firmware, const std::string& parameters) {
        std::vector<Message> messages;
        auto collect = [&](Message m) {
            messages.push_back(m);
            descriptorsAtMessage_ = OpenDescriptors();
        };
        auto files = CheckUpgradeFiles(firmware, parameters, collect);
        if (files)
            LoadUpgradeFiles(*files, collect);
        return messages;
    }

    fs::path dir_;
    size_t descriptorsAtMessage_ = 0;
};

TEST_F(UpgradeFilesTest, SizeLimitsHoldAtTheExactBoundaries) {
    struct Case {
        size_t firmware;
        size_t parameters;
        std::vector<Message> expected;
    };
    const Case cases[] = {
        {kMaxFirmwareFile, kMaxPibFile, {}},
        {kMaxFirmwareFile + 1, 100, {Message::FirmwareTooLarge}},
        {100, kMaxPibFile + 1, {Message::ParameterFileTooLarge}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.firmware) + " / " + std::to_string(c.parameters));
        const size_t before = OpenDescriptors();
        auto messages = CheckAndLoad(File("fw.nvm", c.firmware), File("p.pib", c.parameters));
        EXPECT_EQ(messages, c.expected);
        EXPECT_EQ(OpenDescriptors(), before);
        if (c.expected.empty()) {
            EXPECT_EQ(TheDeviceModel().firmwareImage.size(), c.firmware);
            EXPECT_EQ(TheDeviceModel().pibFileImage.size(), c.parameters);
        } else {
            // Both files were closed before the message went out.
            EXPECT_EQ(descriptorsAtMessage_, before);
        }
    }
}

TEST_F(UpgradeFilesTest, EachUnusablePathGivesItsOwnMessage) {
    const std::string good = File("good", 64);
    const std::string missing = (dir_ / "missing").string();
    const std::string directory = dir_.string();
    struct Case {
        std::string firmware;
        std::string parameters;
        Message expected;
    };
    const Case cases[] = {
        {"", good, Message::FirmwarePathEmpty},
        {good, "", Message::ParameterPathEmpty},
        {missing, good, Message::FirmwareUnreadable},
        {directory, good, Message::FirmwareUnreadable},
        {good, missing, Message::ParameterFileUnreadable},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.firmware + " / " + c.parameters);
        EXPECT_EQ(CheckAndLoad(c.firmware, c.parameters), std::vector<Message>{c.expected});
    }
}

TEST_F(UpgradeFilesTest, LoadsBothFilesWhole) {
    const std::string firmware = File("fw.nvm", 5001);
    const std::string parameters = File("p.pib", 700);
    EXPECT_TRUE(CheckAndLoad(firmware, parameters).empty());
    std::ifstream in(firmware, std::ios::binary);
    std::vector<uint8_t> expected((std::istreambuf_iterator<char>(in)), {});
    EXPECT_EQ(TheDeviceModel().firmwareImage, expected);
}

TEST_F(UpgradeFilesTest, FileThatChangedSinceTheCheckIsNotTakenHalf) {
    const std::string firmware = File("fw.nvm", 4096);
    const std::string parameters = File("p.pib", 2048);
    struct Case {
        std::string path;
        size_t newSize;
        Message expected;
    };
    const Case cases[] = {
        {firmware, 1000, Message::FirmwareNotReadWhole},
        {parameters, 3000, Message::ParameterFileNotReadWhole},
    };
    for (const Case& c : cases) {
        File("fw.nvm", 4096);
        File("p.pib", 2048);
        std::vector<Message> messages;
        auto files =
            CheckUpgradeFiles(firmware, parameters, [&](Message m) { messages.push_back(m); });
        ASSERT_TRUE(files);
        fs::resize_file(c.path, c.newSize);
        EXPECT_FALSE(LoadUpgradeFiles(*files, [&](Message m) { messages.push_back(m); }));
        EXPECT_EQ(messages, std::vector<Message>{c.expected});
        EXPECT_TRUE(TheDeviceModel().firmwareImage.empty());
        EXPECT_TRUE(TheDeviceModel().pibFileImage.empty());
    }
}

}  // namespace
}  // namespace ambrel
