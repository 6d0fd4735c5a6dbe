// First-generation parameter block and upgrade transfers.

#include <gtest/gtest.h>

#include "DeviceBlock.h"
#include "Frames.h"

namespace plcsim::testing {
namespace {

// Reads the whole block in 1024-byte chunks the way the program does.
std::vector<uint8_t> ReadBlock(Bench& bench, uint32_t total) {
    std::vector<uint8_t> block;
    while (block.size() < total) {
        uint32_t offset = static_cast<uint32_t>(block.size());
        uint16_t asked = static_cast<uint16_t>(std::min<uint32_t>(1024, total - offset));
        auto confirm = bench.Ask(ReadChunkRequest(offset, asked));
        EXPECT_EQ(U8(confirm, 20), 0);
        EXPECT_EQ(Le32(confirm, 28), offset);
        uint16_t length = Le16(confirm, 26);
        if (length == 0 || U8(confirm, 20) != 0)
            break;
        auto data = BytesAt(confirm, 36, length);
        block.insert(block.end(), data.begin(), data.end());
    }
    return block;
}

// Writes `image` as module `module` in 1024-byte chunks; the status of the
// first refused chunk, or 0.
uint8_t WriteModule(Bench& bench, uint8_t module, const std::vector<uint8_t>& image) {
    for (size_t offset = 0; offset < image.size(); offset += 1024) {
        size_t length = std::min<size_t>(1024, image.size() - offset);
        auto confirm = bench.Ask(WriteChunkRequest(module, static_cast<uint32_t>(offset),
                                                   std::span(image).subspan(offset, length)));
        EXPECT_EQ(Le16(confirm, 23), length);
        EXPECT_EQ(Le32(confirm, 25), offset);
        if (U8(confirm, 20) != 0)
            return U8(confirm, 20);
    }
    return 0;
}

std::vector<uint8_t> CommitRequest(uint8_t what) {
    auto frame = Header(kLocalMac, 0xA028);
    ambrel::ByteWriter(frame).U8(20, what);
    return frame;
}

std::vector<uint8_t> FinishRequest(std::span<const uint8_t> deviceKey) {
    auto frame = Header(kLocalMac, 0xA080);
    ambrel::ByteWriter(frame).U8(20, 3);
    ambrel::ByteWriter(frame).Bytes(22, deviceKey);
    return frame;
}

// The device's block with one QoS byte changed and the checksum redone.
std::vector<uint8_t> ChangedBlock(const SimDevice& device) {
    auto block = device.ParameterBlock();
    block[0x20C] ^= 0x03;
    EXPECT_TRUE(StoreBlockChecksum(block));
    return block;
}

TEST(FirstGenerationRead, ReturnsTheBlockInChunksEndingWithAShortOne) {
    Bench bench;
    const auto& block = bench.network.Local().ParameterBlock();
    ASSERT_EQ(block.size(), 15560u);
    EXPECT_EQ(Le16(block, 4), 15560);
    EXPECT_TRUE(BlockIsValid(block));

    auto last = bench.Ask(ReadChunkRequest(15360, 1024));
    EXPECT_EQ(Le16(last, 26), 200);
    EXPECT_EQ(ReadBlock(bench, 15560), block);
}

struct ReadRefusalCase {
    const char* name;
    uint32_t offset;
    uint8_t module;
};

class FirstGenerationReadRefusal : public ::testing::TestWithParam<ReadRefusalCase> {};

TEST_P(FirstGenerationReadRefusal, IsRefusedWithoutData) {
    Bench bench;
    auto confirm = bench.Ask(ReadChunkRequest(GetParam().offset, 1024, GetParam().module));
    EXPECT_NE(U8(confirm, 20), 0);
    EXPECT_EQ(Le16(confirm, 26), 0);
}

INSTANTIATE_TEST_SUITE_P(Refusals, FirstGenerationReadRefusal,
                         ::testing::Values(ReadRefusalCase{"OffsetBeyondBlock", 15561, 2},
                                           ReadRefusalCase{"FirmwareModule", 0, 1}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(FirstGenerationWrite, CommittedBlockReplacesTheDevicesBlock) {
    Bench bench;
    SimDevice& device = bench.network.Local();
    auto block = ChangedBlock(device);
    ASSERT_EQ(WriteModule(bench, 2, block), 0);
    auto confirm = bench.Ask(CommitRequest(0x02));
    EXPECT_EQ(Le16(confirm, 15), 0xA029);
    EXPECT_EQ(U8(confirm, 20), 0);
    EXPECT_EQ(device.ParameterBlock(), block);
    EXPECT_EQ(device.counters.blockCommits, 1u);
}

TEST(FirstGenerationWrite, CommittedBlockCarriesTheDevicesNewNetworkKey) {
    Bench bench;
    SimDevice& device = bench.network.Local();
    auto block = device.ParameterBlock();
    const auto key = ambrel::DeriveNetworkKey("BlockNetwork");
    std::copy(key.begin(), key.end(), block.begin() + 0x64);
    StoreBlockChecksum(block);
    ASSERT_EQ(WriteModule(bench, 2, block), 0);
    ASSERT_EQ(U8(bench.Ask(CommitRequest(0x02)), 20), 0);
    EXPECT_EQ(device.NetworkKey(), key);
}

// Chunked requests for a whole module, each with its own checksum.
std::vector<std::vector<uint8_t>> ChunkRequests(uint8_t module, const std::vector<uint8_t>& image) {
    std::vector<std::vector<uint8_t>> requests;
    for (size_t offset = 0; offset < image.size(); offset += 1024) {
        size_t length = std::min<size_t>(1024, image.size() - offset);
        requests.push_back(WriteChunkRequest(module, static_cast<uint32_t>(offset),
                                             std::span(image).subspan(offset, length)));
    }
    return requests;
}

using Requests = std::vector<std::vector<uint8_t>>;

// Each case is a request sequence of which only the last one is refused.
struct RefusalCase {
    const char* name;
    Requests (*make)(const SimDevice& device);
    // Whether a block commit after the refusal must fail too (nothing good
    // was staged).
    bool nothingGoodStaged = true;
};

class FirstGenerationRefusal : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(FirstGenerationRefusal, IsRefusedAndLeavesTheDeviceUnchanged) {
    Bench bench;
    SimDevice& device = bench.network.Local();
    const auto block = device.ParameterBlock();
    const auto key = device.NetworkKey();
    Requests requests = GetParam().make(device);
    ASSERT_FALSE(requests.empty());
    for (size_t i = 0; i + 1 < requests.size(); ++i) {
        ASSERT_EQ(U8(bench.Ask(requests[i]), 20), 0) << "request " << i;
    }
    EXPECT_NE(U8(bench.Ask(requests.back()), 20), 0);
    EXPECT_EQ(device.ParameterBlock(), block);
    EXPECT_EQ(device.NetworkKey(), key);
    EXPECT_TRUE(device.WrittenFirmware().empty());
    if (GetParam().nothingGoodStaged) {
        EXPECT_NE(U8(bench.Ask(CommitRequest(0x02)), 20), 0);
        EXPECT_EQ(device.ParameterBlock(), block);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Refusals, FirstGenerationRefusal,
    ::testing::Values(RefusalCase{"ChunkWithBadChecksum",
                                  [](const SimDevice& d) {
                                      auto request = ChunkRequests(2, ChangedBlock(d))[0];
                                      request[28] ^= 0x01;
                                      return Requests{request};
                                  }},
                      RefusalCase{"ChunkAfterAGap",
                                  [](const SimDevice& d) {
                                      auto chunks = ChunkRequests(2, ChangedBlock(d));
                                      return Requests{chunks[0], chunks[2]};
                                  }},
                      RefusalCase{"FirstChunkNotAtZero",
                                  [](const SimDevice& d) {
                                      return Requests{ChunkRequests(2, ChangedBlock(d))[1]};
                                  }},
                      RefusalCase{"UnknownModule",
                                  [](const SimDevice& d) {
                                      return Requests{ChunkRequests(3, ChangedBlock(d))[0]};
                                  }},
                      RefusalCase{"CommitOfBlockWithWrongChecksum",
                                  [](const SimDevice& d) {
                                      auto block = ChangedBlock(d);
                                      block[8] ^= 0xFF;
                                      auto requests = ChunkRequests(2, block);
                                      requests.push_back(CommitRequest(0x02));
                                      return requests;
                                  }},
                      RefusalCase{"CommitOfBlockShorterThanItsLength",
                                  [](const SimDevice& d) {
                                      auto block = ChangedBlock(d);
                                      block.resize(8192);
                                      auto requests = ChunkRequests(2, block);
                                      requests.push_back(CommitRequest(0x02));
                                      return requests;
                                  }},
                      RefusalCase{"CommitWithNothingWritten",
                                  [](const SimDevice&) { return Requests{CommitRequest(0x02)}; }},
                      RefusalCase{"CommitOfBothWithoutFirmware",
                                  [](const SimDevice& d) {
                                      auto requests = ChunkRequests(2, ChangedBlock(d));
                                      requests.push_back(CommitRequest(0x13));
                                      return requests;
                                  },
                                  false},
                      RefusalCase{"FinishWithWrongDeviceKey",
                                  [](const SimDevice& d) {
                                      std::vector<uint8_t> firmware(3000, 0x5A);
                                      auto requests = ChunkRequests(1, firmware);
                                      for (auto& r : ChunkRequests(2, ChangedBlock(d)))
                                          requests.push_back(r);
                                      auto wrong = ambrel::DeriveDeviceKey("NOT-THIS-ONE");
                                      requests.push_back(FinishRequest(wrong));
                                      return requests;
                                  },
                                  false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FirstGenerationUpgrade, FinishInstallsFirmwareAndBlockWhenTheDeviceKeyMatches) {
    Bench bench({.mac = kLocalMac, .deviceId = 2, .versionAfterUpgrade = "PLCSIM-FW-2.0.0"});
    SimDevice& device = bench.network.Local();
    std::vector<uint8_t> firmware(2500);
    for (size_t i = 0; i < firmware.size(); ++i)
        firmware[i] = static_cast<uint8_t>(i * 13);
    auto block = ChangedBlock(device);
    auto deviceKey = BytesAt(device.ParameterBlock(), 18, 16);

    ASSERT_EQ(WriteModule(bench, 1, firmware), 0);
    ASSERT_EQ(WriteModule(bench, 2, block), 0);
    auto confirm = bench.Ask(FinishRequest(deviceKey));

    EXPECT_EQ(Le16(confirm, 15), 0xA081);
    EXPECT_EQ(U8(confirm, 20), 0);
    EXPECT_EQ(device.WrittenFirmware(), firmware);
    EXPECT_EQ(device.ParameterBlock(), block);
    EXPECT_EQ(device.FirmwareVersion(), "PLCSIM-FW-2.0.0");
}

TEST(FirstGenerationUpgrade, NotUnderstoodBySecondGenerationDevices) {
    Bench bench(0x20);
    for (uint16_t type : {0xA020, 0xA024, 0xA028, 0xA080}) {
        auto confirm = bench.Ask(Header(kLocalMac, type));
        EXPECT_NE(U8(confirm, 20), 0) << std::hex << type;
    }
}

}  // namespace
}  // namespace plcsim::testing
