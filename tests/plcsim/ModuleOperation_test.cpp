// Second-generation module operation: read, start write, write, commit.

#include <gtest/gtest.h>

#include "DeviceBlock.h"
#include "Frames.h"

namespace plcsim::testing {
namespace {

constexpr uint16_t kBlock = ambrel::kModuleParameterBlock;
constexpr uint16_t kFirmware = ambrel::kModuleFirmware;
constexpr uint32_t kTx = 0x12345678;

uint16_t Status(const std::vector<uint8_t>& confirm) {
    return Le16(confirm, 20);
}

std::vector<uint8_t> Pattern(size_t size, uint8_t seed) {
    std::vector<uint8_t> bytes(size);
    for (size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<uint8_t>(i * 7 + seed + (i >> 8));
    return bytes;
}

// Write requests for a whole module in 1400-byte chunks.
std::vector<std::vector<uint8_t>> Chunks(uint32_t tx, uint8_t index, uint16_t module,
                                         const std::vector<uint8_t>& image) {
    std::vector<std::vector<uint8_t>> requests;
    for (size_t offset = 0; offset < image.size(); offset += 1400) {
        size_t length = std::min<size_t>(1400, image.size() - offset);
        requests.push_back(ModuleWriteRequest(tx, index, module, static_cast<uint32_t>(offset),
                                              std::span(image).subspan(offset, length)));
    }
    return requests;
}

TEST(ModuleRead, ReturnsTheBlockIn1400ByteChunksEndingWithAShortOne) {
    Bench bench(0x21);
    const auto& block = bench.network.Local().ParameterBlock();
    ASSERT_EQ(block.size(), 9040u);
    std::vector<uint8_t> read;
    for (;;) {
        uint32_t offset = static_cast<uint32_t>(read.size());
        auto confirm = bench.Ask(ModuleReadRequest(offset, 1400));
        ASSERT_EQ(confirm.size(), 1448u);
        ASSERT_EQ(Status(confirm), 0);
        EXPECT_EQ(Le16(confirm, 29), 0x00);
        EXPECT_EQ(Le32(confirm, 43), offset);
        uint16_t length = Le16(confirm, 41);
        auto data = BytesAt(confirm, 47, length);
        read.insert(read.end(), data.begin(), data.end());
        if (length < 1400)
            break;
    }
    EXPECT_EQ(read, block);
}

TEST(ModuleRead, RefusesAnOffsetBeyondTheBlockAndAnUnknownModule) {
    Bench bench(0x21);
    EXPECT_NE(Status(bench.Ask(ModuleReadRequest(9041, 1400))), 0);
    EXPECT_NE(Status(bench.Ask(ModuleReadRequest(0, 1400, 0x7003))), 0);
}

TEST(ModuleWrite, OneModuleTransactionReplacesTheBlock) {
    Bench bench(0x21);
    SimDevice& device = bench.network.Local();
    auto block = device.ParameterBlock();
    block[0xAC0] ^= 0x03;
    const auto key = ambrel::DeriveNetworkKey("ModuleNet");
    std::copy(key.begin(), key.end(), block.begin() + 0x424);

    auto start = bench.Ask(StartWriteRequest(kTx, {{kBlock, block}}));
    ASSERT_EQ(Status(start), 0);
    EXPECT_EQ(Le16(start, 29), 0x10);
    EXPECT_EQ(Le32(start, 37), kTx);
    EXPECT_EQ(U8(start, 41), 1);
    EXPECT_EQ(Le16(start, 42), 0);
    uint32_t offset = 0;
    for (const auto& request : Chunks(kTx, 0, kBlock, block)) {
        auto confirm = bench.Ask(request);
        ASSERT_EQ(Status(confirm), 0);
        EXPECT_EQ(Le32(confirm, 37), kTx);
        EXPECT_EQ(Le32(confirm, 48), offset);
        offset += Le16(confirm, 46);
    }
    EXPECT_EQ(offset, block.size());
    auto commit = bench.Ask(ModuleCommitRequest(kTx, 0));
    ASSERT_EQ(Status(commit), 0);
    EXPECT_EQ(Le16(commit, 29), 0x12);
    EXPECT_EQ(Le32(commit, 37), kTx);
    EXPECT_EQ(U8(commit, 45), 1);
    EXPECT_EQ(Le16(commit, 46), 0);

    EXPECT_EQ(device.ParameterBlock(), block);
    EXPECT_EQ(device.NetworkKey(), key);
}

TEST(ModuleWrite, TwoModuleUpgradeInstallsFirmwareAndBlock) {
    Bench bench({.mac = kLocalMac, .deviceId = 0x20, .versionAfterUpgrade = "FW-NEXT"});
    SimDevice& device = bench.network.Local();
    auto block = device.ParameterBlock();
    block[0xADC] = 0x1B;
    auto firmware = Pattern(5000, 3);

    ASSERT_EQ(Status(bench.Ask(StartWriteRequest(kTx, {{kBlock, block}, {kFirmware, firmware}}))),
              0);
    for (const auto& r : Chunks(kTx, 0, kBlock, block))
        ASSERT_EQ(Status(bench.Ask(r)), 0);
    for (const auto& r : Chunks(kTx, 1, kFirmware, firmware))
        ASSERT_EQ(Status(bench.Ask(r)), 0);
    auto commit = bench.Ask(ModuleCommitRequest(kTx, 0x80000001));
    ASSERT_EQ(Status(commit), 0);
    EXPECT_EQ(U8(commit, 45), 2);

    EXPECT_EQ(device.ParameterBlock(), block);
    EXPECT_EQ(device.WrittenFirmware(), firmware);
    EXPECT_EQ(device.FirmwareVersion(), "FW-NEXT");
}

using Requests = std::vector<std::vector<uint8_t>>;

// Request sequences of which only the last is refused.
struct RefusalCase {
    const char* name;
    Requests (*make)(const std::vector<uint8_t>& block);
};

class ModuleRefusal : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(ModuleRefusal, IsRefusedAndLeavesTheBlockUnchanged) {
    Bench bench(0x21);
    SimDevice& device = bench.network.Local();
    const auto original = device.ParameterBlock();
    auto block = original;
    block[100] ^= 0xFF;
    Requests requests = GetParam().make(block);
    for (size_t i = 0; i + 1 < requests.size(); ++i) {
        ASSERT_EQ(Status(bench.Ask(requests[i])), 0) << "request " << i;
    }
    EXPECT_NE(Status(bench.Ask(requests.back())), 0);
    EXPECT_EQ(device.ParameterBlock(), original);
}

INSTANTIATE_TEST_SUITE_P(
    Refusals, ModuleRefusal,
    ::testing::Values(
        RefusalCase{"WriteWithStaleTransaction",
                    [](const std::vector<uint8_t>& b) {
                        auto stale = Chunks(kTx, 0, kBlock, b)[0];
                        return Requests{StartWriteRequest(kTx, {{kBlock, b}}),
                                        StartWriteRequest(kTx + 1, {{kBlock, b}}), stale};
                    }},
        RefusalCase{
            "WriteWithoutTransaction",
            [](const std::vector<uint8_t>& b) { return Requests{Chunks(kTx, 0, kBlock, b)[0]}; }},
        RefusalCase{"StartWithUnknownModule",
                    [](const std::vector<uint8_t>& b) {
                        return Requests{StartWriteRequest(kTx, {{0x7005, b}})};
                    }},
        RefusalCase{"WriteOfAnotherModuleThanAnnounced",
                    [](const std::vector<uint8_t>& b) {
                        return Requests{StartWriteRequest(kTx, {{kBlock, b}}),
                                        Chunks(kTx, 0, kFirmware, b)[0]};
                    }},
        RefusalCase{
            "WriteOutOfOrder",
            [](const std::vector<uint8_t>& b) {
                auto chunks = Chunks(kTx, 0, kBlock, b);
                return Requests{StartWriteRequest(kTx, {{kBlock, b}}), chunks[0], chunks[2]};
            }},
        RefusalCase{"CommitWithBadChecksum",
                    [](const std::vector<uint8_t>& b) {
                        auto announced = b;
                        announced[0] ^= 0x01;  // the descriptor's checksum no longer fits
                        Requests requests{StartWriteRequest(kTx, {{kBlock, announced}})};
                        for (auto& r : Chunks(kTx, 0, kBlock, b))
                            requests.push_back(r);
                        requests.push_back(ModuleCommitRequest(kTx, 0));
                        return requests;
                    }},
        RefusalCase{"CommitOfIncompleteModule",
                    [](const std::vector<uint8_t>& b) {
                        auto chunks = Chunks(kTx, 0, kBlock, b);
                        return Requests{StartWriteRequest(kTx, {{kBlock, b}}), chunks[0],
                                        ModuleCommitRequest(kTx, 0)};
                    }},
        RefusalCase{"CommitOfUnknownTransaction",
                    [](const std::vector<uint8_t>& b) {
                        Requests requests{StartWriteRequest(kTx, {{kBlock, b}})};
                        for (auto& r : Chunks(kTx, 0, kBlock, b))
                            requests.push_back(r);
                        requests.push_back(ModuleCommitRequest(kTx ^ 0xFFFF, 0));
                        return requests;
                    }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ModuleWrite, RefusedModuleIsNamedInItsStatusEntry) {
    Bench bench(0x21);
    auto block = bench.network.Local().ParameterBlock();
    auto confirm = bench.Ask(StartWriteRequest(kTx, {{kBlock, block}, {0x7009, block}}));
    EXPECT_NE(Status(confirm), 0);
    EXPECT_EQ(U8(confirm, 41), 2);
    EXPECT_EQ(Le16(confirm, 42), 0);
    EXPECT_NE(Le16(confirm, 46), 0);
}

TEST(ModuleWrite, NotUnderstoodByFirstGenerationDevices) {
    Bench bench(2);
    auto confirm = bench.Ask(ModuleReadRequest(0, 1400));
    EXPECT_EQ(Le16(confirm, 15), 0xA0B1);
    EXPECT_NE(Status(confirm), 0);
}

}  // namespace
}  // namespace plcsim::testing
