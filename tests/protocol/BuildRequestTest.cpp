#include "BuildRequest.h"

#include <gtest/gtest.h>

#include <numeric>
#include <vector>

#include "ByteCursor.h"
#include "Checksum32.h"
#include "DeviceModel.h"

namespace ambrel {
namespace {

const MacAddress kSource{0x02, 0x00, 0x00, 0x00, 0x00, 0x10};
const MacAddress kLocal{0x00, 0xB0, 0x52, 0x00, 0x00, 0x20};

class BuildRequestTest : public ::testing::Test {
protected:
    void SetUp() override { ResetDeviceModel(); }
    DeviceModel& Model() { return TheDeviceModel(); }
    uint16_t Build(MessageType type, uint8_t operation = kNoModuleOp,
                   const Key16* accessKey = nullptr) {
        frame_.fill(0xEE);  // the builder must clear what it does not write
        return BuildRequest(frame_, kSource, kLocal, type, operation, accessKey);
    }
    ByteReader Frame() const { return ByteReader(frame_); }
    std::vector<uint8_t> Bytes(size_t offset, size_t count) const {
        return {frame_.begin() + offset, frame_.begin() + offset + count};
    }
    FrameBuffer frame_{};
};

TEST_F(BuildRequestTest, HeaderAndFrameLengthOfEveryRequest) {
    struct Case {
        MessageType type;
        uint8_t operation;
        uint16_t firstGenerationLength;
    };
    // Payload-less requests are raised to 64 bytes in the first generation.
    const Case cases[] = {
        {MessageType::Version, kNoModuleOp, 64},
        {MessageType::Restart, kNoModuleOp, 64},
        {MessageType::NetworkInfo, kNoModuleOp, 64},
        {MessageType::FactoryDefaults, kNoModuleOp, 64},
        {MessageType::ReadChunk, kNoModuleOp, 64},
        {MessageType::Commit, kNoModuleOp, 64},
        {MessageType::SetKey, kNoModuleOp, 64},
        {MessageType::FinishUpgrade, kNoModuleOp, 64},
        {MessageType::ModuleOperation, static_cast<uint8_t>(ModuleOp::Read), 64},
        {MessageType::ModuleOperation, static_cast<uint8_t>(ModuleOp::StartWrite), 156},
        {MessageType::ModuleOperation, static_cast<uint8_t>(ModuleOp::Commit), 64},
    };
    for (uint32_t generation : {0u, 1u}) {
        for (const Case& c : cases) {
            ResetDeviceModel();
            Model().secondGeneration = generation;
            uint16_t length = Build(c.type, c.operation);
            EXPECT_EQ(length, generation ? 1448 : c.firstGenerationLength)
                << std::hex << static_cast<int>(c.type);
            EXPECT_EQ(Bytes(0, 6), std::vector<uint8_t>(kLocal.begin(), kLocal.end()));
            EXPECT_EQ(Bytes(6, 6), std::vector<uint8_t>(kSource.begin(), kSource.end()));
            EXPECT_EQ(Bytes(12, 3), (std::vector<uint8_t>{0x88, 0xE1, 0x00}));
            EXPECT_EQ(*Frame().Le16(15), static_cast<uint16_t>(c.type));
            EXPECT_EQ(Bytes(17, 3), (std::vector<uint8_t>{0x00, 0xB0, 0x52}));
            // Nothing of the old buffer contents survives past the frame.
            EXPECT_EQ(frame_[1513], 0);
        }
    }
}

TEST_F(BuildRequestTest, VersionRequestIsHeaderAndZeros) {
    ASSERT_EQ(Build(MessageType::Version), 64);
    EXPECT_EQ(Bytes(20, 44), std::vector<uint8_t>(44, 0));
}

TEST_F(BuildRequestTest, WriteChunksCoverTheModuleWithAShorterLastOne) {
    std::vector<uint8_t> module(2500);
    std::iota(module.begin(), module.end(), 0);
    Model().transfer = TransferState{module, 2500, 0, 1024, 0, 0, 0};

    std::vector<std::pair<uint32_t, uint16_t>> chunks;
    while (Model().transfer.offset < 2500) {
        uint16_t length = Build(MessageType::WriteChunk);
        uint16_t n = *Frame().Le16(22);
        uint32_t offset = *Frame().Le32(24);
        chunks.emplace_back(offset, n);
        EXPECT_EQ(length, 32 + n);
        EXPECT_EQ(*Frame().U8(20), 2);  // the parameter block module
        EXPECT_EQ(Bytes(32, n),
                  std::vector<uint8_t>(module.begin() + offset, module.begin() + offset + n));
        EXPECT_EQ(*Frame().Le32(28),
                  Checksum32(std::span<const uint8_t>(module).subspan(offset, n), n / 4));
        Model().transfer.offset += n;  // what an accepted confirmation does
    }
    EXPECT_EQ(chunks,
              (std::vector<std::pair<uint32_t, uint16_t>>{{0, 1024}, {1024, 1024}, {2048, 452}}));
    EXPECT_EQ(Model().transfer.chunkLength, 452);
    EXPECT_EQ(Build(MessageType::WriteChunk), 64) << "an empty chunk past the end";
}

TEST_F(BuildRequestTest, FirmwareChunksAreModuleOneAndEndAtTheFirmware) {
    Model().firmwareImage.assign(1500, 0x5A);
    Model().transfer = TransferState{Model().firmwareImage, 15560, 1024, 1024, 0, 1, 0};
    EXPECT_EQ(Build(MessageType::WriteChunk), 32 + 476);
    EXPECT_EQ(*Frame().U8(20), 1);
    EXPECT_EQ(*Frame().Le16(22), 476);
}

TEST_F(BuildRequestTest, ChunkOutsideItsSourceIsNotBuilt) {
    std::vector<uint8_t> small(100);
    Model().transfer = TransferState{small, 2000, 0, 1024, 0, 0, 0};
    EXPECT_EQ(Build(MessageType::WriteChunk), 0);
    Model().secondGeneration = 1;
    EXPECT_EQ(Build(MessageType::ModuleOperation, static_cast<uint8_t>(ModuleOp::Write)), 0);
}

TEST_F(BuildRequestTest, ReadRequestsAskForWholeChunksThenTheRest) {
    Model().transfer.totalLength = 15560;
    Model().transfer.offset = 14336;
    Build(MessageType::ReadChunk);
    EXPECT_EQ(*Frame().U8(20), 2);
    EXPECT_EQ(*Frame().Le16(22), 1024);
    EXPECT_EQ(*Frame().Le32(24), 14336u);
    Model().transfer.offset = 15360;
    Build(MessageType::ReadChunk);
    EXPECT_EQ(*Frame().Le16(22), 200);
    EXPECT_EQ(Model().transfer.chunkLength, 200);

    Model().secondGeneration = 1;
    Model().transfer.totalLength = 9040;
    Model().transfer.offset = 8400;
    Build(MessageType::ModuleOperation, static_cast<uint8_t>(ModuleOp::Read));
    EXPECT_EQ(*Frame().U8(24), 1);
    EXPECT_EQ(*Frame().Le16(25), 0x00);
    EXPECT_EQ(*Frame().Le16(27), 18);
    EXPECT_EQ(*Frame().Le16(33), 0x7002);
    EXPECT_EQ(*Frame().Le16(37), 640);
    EXPECT_EQ(*Frame().Le32(39), 8400u);
}

TEST_F(BuildRequestTest, CommitNamesOneOrBothModules) {
    EXPECT_EQ(Build(MessageType::Commit), 64);
    EXPECT_EQ(Bytes(20, 2), (std::vector<uint8_t>{0x02, 0x00}));
    Model().transfer.twoModules = 1;
    Build(MessageType::Commit);
    EXPECT_EQ(*Frame().U8(20), 0x13);
}

TEST_F(BuildRequestTest, SetKeyInItsThreeForms) {
    KeyRequestRecord& request = Model().keyRequest;
    request.key.fill(0x11);
    request.remoteMac = {0x00, 0xB0, 0x52, 0x00, 0x00, 0x77};
    Model().localDevice.networkKey.fill(0x22);
    Model().deviceList.count = 2;
    Model().deviceList.records[1].mac = {0x00, 0xB0, 0x52, 0x00, 0x00, 0x99};
    Model().selectedDevice = 1;
    Key16 accessKey;
    accessKey.fill(0x33);

    struct Case {
        uint32_t local;
        uint32_t byPassword;
        uint8_t key;
        uint8_t form;
        uint8_t macLast;
        uint8_t accessKeyByte;
    };
    const Case cases[] = {
        {1, 0, 0x11, 0x0F, 0x77, 0x00},  // local: the local device takes the key
        {1, 1, 0x11, 0x0F, 0x77, 0x00},  // the local flag wins
        {0, 1, 0x11, 0x00, 0x77, 0x33},  // password: the typed password's device
        {0, 0, 0x22, 0x00, 0x99, 0x33},  // list: our key to the selected device
    };
    for (const Case& c : cases) {
        Model().setKeyLocal = c.local;
        Model().setKeyByPassword = c.byPassword;
        ASSERT_EQ(Build(MessageType::SetKey, kNoModuleOp, &accessKey), 64);
        EXPECT_EQ(*Frame().U8(20), 1);
        EXPECT_EQ(Bytes(21, 16), std::vector<uint8_t>(16, c.key));
        EXPECT_EQ(*Frame().U8(37), c.form);
        EXPECT_EQ(*Frame().U8(43), c.macLast);
        EXPECT_EQ(Bytes(44, 16), std::vector<uint8_t>(16, c.accessKeyByte));
    }
}

TEST_F(BuildRequestTest, FinishUpgradeCarriesTheDeviceKey) {
    Model().localDevice.deviceKey.fill(0x44);
    EXPECT_EQ(Build(MessageType::FinishUpgrade), 64);
    EXPECT_EQ(*Frame().U8(20), 3);
    EXPECT_EQ(*Frame().U8(21), 0);
    EXPECT_EQ(Bytes(22, 16), std::vector<uint8_t>(16, 0x44));
    EXPECT_EQ(*Frame().U8(38), 0);
}

TEST_F(BuildRequestTest, ModuleWriteTransaction) {
    Model().secondGeneration = 1;
    std::vector<uint8_t> block(3000, 0x5C);
    Model().transfer = TransferState{block, 3000, 0, 1400, 0, 0, 0};

    ASSERT_EQ(Build(MessageType::ModuleOperation, static_cast<uint8_t>(ModuleOp::StartWrite)),
              1448);
    const uint32_t transaction = Model().transfer.transactionId;
    EXPECT_EQ(*Frame().Le16(25), 0x10);
    EXPECT_EQ(*Frame().Le16(27), 133);
    EXPECT_EQ(*Frame().Le32(33), transaction);
    EXPECT_EQ(*Frame().U8(37), 1);
    EXPECT_EQ(*Frame().Le16(38), 0x7002);
    EXPECT_EQ(*Frame().Le32(42), 3000u);
    EXPECT_EQ(*Frame().Le32(46), Checksum32(block, 750));
    EXPECT_EQ(Bytes(50, 108), std::vector<uint8_t>(108, 0)) << "unused descriptors stay zero";

    Model().transfer.offset = 2800;
    Build(MessageType::ModuleOperation, static_cast<uint8_t>(ModuleOp::Write));
    EXPECT_EQ(*Frame().Le16(25), 0x11);
    EXPECT_EQ(*Frame().Le16(27), 200 + 23);
    EXPECT_EQ(*Frame().Le32(33), transaction);
    EXPECT_EQ(*Frame().U8(37), 0);
    EXPECT_EQ(*Frame().Le16(38), 0x7002);
    EXPECT_EQ(*Frame().Le16(42), 200);
    EXPECT_EQ(*Frame().Le32(44), 2800u);
    EXPECT_EQ(Bytes(48, 200), std::vector<uint8_t>(200, 0x5C));

    Build(MessageType::ModuleOperation, static_cast<uint8_t>(ModuleOp::Commit));
    EXPECT_EQ(*Frame().Le16(25), 0x12);
    EXPECT_EQ(*Frame().Le16(27), 20);
    EXPECT_EQ(*Frame().Le32(33), transaction);
    EXPECT_EQ(*Frame().Le32(37), 0u);
}

TEST_F(BuildRequestTest, TwoModuleTransactionAnnouncesParameterBlockThenFirmware) {
    Model().secondGeneration = 1;
    Model().pibFileImage.assign(1000, 0x01);
    Model().firmwareImage.assign(4000, 0x02);
    Model().transfer = TransferState{Model().pibFileImage, 1000, 0, 1400, 0, 1, 0};

    Build(MessageType::ModuleOperation, static_cast<uint8_t>(ModuleOp::StartWrite));
    EXPECT_EQ(*Frame().U8(37), 2);
    EXPECT_EQ(*Frame().Le16(38), 0x7002);
    EXPECT_EQ(*Frame().Le32(42), 1000u);
    EXPECT_EQ(*Frame().Le32(46), Checksum32(Model().pibFileImage, 250));
    EXPECT_EQ(*Frame().Le16(50), 0x7001);
    EXPECT_EQ(*Frame().Le32(54), 4000u);
    EXPECT_EQ(*Frame().Le32(58), Checksum32(Model().firmwareImage, 1000));

    // Firmware chunks: module index 1, module 0x7001, a full chunk fills the frame.
    Model().transfer.buffer = Model().firmwareImage;
    Build(MessageType::ModuleOperation, static_cast<uint8_t>(ModuleOp::Write));
    EXPECT_EQ(*Frame().U8(37), 1);
    EXPECT_EQ(*Frame().Le16(38), 0x7001);
    EXPECT_EQ(*Frame().Le16(42), 1400);

    Build(MessageType::ModuleOperation, static_cast<uint8_t>(ModuleOp::Commit));
    EXPECT_EQ(*Frame().Le32(37), 0x80000001u);
}

TEST_F(BuildRequestTest, EachStartWriteDrawsANewTransaction) {
    Model().secondGeneration = 1;
    Build(MessageType::ModuleOperation, static_cast<uint8_t>(ModuleOp::StartWrite));
    uint32_t first = Model().transfer.transactionId;
    Build(MessageType::ModuleOperation, static_cast<uint8_t>(ModuleOp::StartWrite));
    EXPECT_NE(Model().transfer.transactionId, first);
}

TEST_F(BuildRequestTest, UnknownTypesAndOperationsAreNotBuilt) {
    EXPECT_EQ(BuildRequest(frame_, kSource, kLocal, 0xA042), 0);
    EXPECT_EQ(Build(MessageType::ModuleOperation, 0x13), 0);
}

}  // namespace
}  // namespace ambrel
