#include "ParameterBlock.h"

#include <gtest/gtest.h>

#include "Checksum32.h"
#include "OperationsFixture.h"
#include "QosPacking.h"

namespace ambrel::test {
namespace {

using plcsim::FaultKind;

struct GenerationCase {
    const char* name;
    uint8_t id;
    uint32_t blockLength;
    const char* readRequest;
    uint16_t writeFaultType;
    std::vector<std::string> writeSequence;  // after the read
};

const GenerationCase kFirst{"First", kFirstGenerationId,  15560, "A024",
                            0xA020,  {"A020 x16", "A028"}};
const GenerationCase kSecond{
    "Second", kSecondGenerationId, 9040, "A0B0/00", 0xA0B0, {"A0B0/10", "A0B0/11 x7", "A0B0/12"}};

class ParameterBlockTest : public OperationsTest,
                           public ::testing::WithParamInterface<GenerationCase> {
protected:
    void SetUp() override {
        OperationsTest::SetUp();
        Attach(Device(kLocalMac, GetParam().id, "FamilyNet"));
        FindLocal();
    }
    bool Read() { return ReadParameterBlock(kLocalMac); }
    std::vector<uint8_t> Image() const {
        const DeviceModel& model = TheDeviceModel();
        return {model.pibImage.begin(), model.pibImage.begin() + model.transfer.totalLength};
    }
};

TEST_P(ParameterBlockTest, ReadTakesTheWholeBlockInChunks) {
    ASSERT_TRUE(Read());
    EXPECT_EQ(Model().transfer.totalLength, GetParam().blockLength);
    EXPECT_EQ(Image(), Local().ParameterBlock());
    // 15 chunks of 1024 and one of 200; 6 chunks of 1400 and one of 640.
    const int chunks = GetParam().id == kFirstGenerationId ? 16 : 7;
    EXPECT_EQ(Requests(), std::vector<std::string>{std::string(GetParam().readRequest) + " x" +
                                                   std::to_string(chunks)});
    EXPECT_TRUE(Model().pibLoaded);
}

TEST_P(ParameterBlockTest, ReadChunkWithWrongOffsetFailsTheRead) {
    Net().faults.Add(
        FaultOf(FaultKind::WrongOffset, GetParam().id == kFirstGenerationId ? 0xA024 : 0xA0B0));
    EXPECT_FALSE(Read());
    EXPECT_FALSE(Model().pibLoaded);
    EXPECT_EQ(Log().size(), 1u);
}

TEST_P(ParameterBlockTest, ChangedQosIsWrittenBackWholeAndReadsBackEqual) {
    ASSERT_TRUE(Read());
    const QosSettings wanted = QosPreset(3);
    StoreQosToPib(wanted);
    backend_.ResponderOf("eth0").ClearLog();

    ASSERT_TRUE(WriteParameterBlock());
    EXPECT_EQ(Requests(), GetParam().writeSequence);
    EXPECT_EQ(Local().ParameterBlock(), Image());
    if (GetParam().id == kFirstGenerationId) {
        EXPECT_TRUE(plcsim::BlockIsValid(Local().ParameterBlock()));
    }

    ASSERT_TRUE(Read());
    LoadQosFromPib();
    const QosSettings& back = Model().currentQos;
    EXPECT_EQ(back.vlanPriorityMap, wanted.vlanPriorityMap);
    EXPECT_EQ(back.tosPriorityMap, wanted.tosPriorityMap);
    EXPECT_EQ(back.basePriorities, wanted.basePriorities);
    EXPECT_EQ(back.vlanMapEnabled, wanted.vlanMapEnabled);
    EXPECT_EQ(back.tosMapEnabled, wanted.tosMapEnabled);
}

TEST_P(ParameterBlockTest, WriteRefusedMidTransferLeavesTheDeviceBlockAsItWas) {
    ASSERT_TRUE(Read());
    const std::vector<uint8_t> before = Local().ParameterBlock();
    StoreQosToPib(QosPreset(1));
    AddFaultAt(Step::WritingParameterBlock, 3,
               FaultOf(FaultKind::WrongStatus, GetParam().writeFaultType));

    EXPECT_FALSE(WriteParameterBlock());
    EXPECT_EQ(Local().ParameterBlock(), before);
    for (const auto& request : Requests()) {
        EXPECT_TRUE(request != "A028" && request != "A0B0/12") << "committed: " << request;
    }
    if (GetParam().id == kSecondGenerationId) {
        // The transaction stays open, uncommitted.
        EXPECT_TRUE(Local().transaction.has_value());
    }
}

TEST_P(ParameterBlockTest, BlockThatWasNotReadIsNeverWritten) {
    EXPECT_FALSE(WriteParameterBlock());
    Net().faults.Add(
        FaultOf(FaultKind::WrongStatus, GetParam().id == kFirstGenerationId ? 0xA024 : 0xA0B0));
    EXPECT_FALSE(Read());
    EXPECT_FALSE(WriteParameterBlock());
    // The refused read, and nothing after it.
    EXPECT_EQ(Requests(), std::vector<std::string>{GetParam().readRequest});
}

TEST_P(ParameterBlockTest, ClassifiesTheKeyOfTheBlock) {
    struct Case {
        std::optional<std::string> deviceNetwork;  // unset: the default network
        const char* programName;
        NetworkKeyClass expected;
    };
    const Case cases[] = {
        {std::nullopt, "FamilyNet", NetworkKeyClass::DefaultNetwork},
        {"FamilyNet", "FamilyNet", NetworkKeyClass::NamedNetwork},
        {"Neighbours", "FamilyNet", NetworkKeyClass::OtherNetwork},
    };
    for (const Case& c : cases) {
        Local().SetNetworkKey(c.deviceNetwork ? DeriveNetworkKey(*c.deviceNetwork)
                                              : kDefaultNetworkKey);
        SetFieldText(Model().localDevice.networkName, c.programName);
        ASSERT_TRUE(Read());
        EXPECT_EQ(ClassifyNetworkKey(), c.expected) << c.deviceNetwork.value_or("default");
        EXPECT_EQ(Model().localDevice.networkKey, Local().NetworkKey());
    }
}

INSTANTIATE_TEST_SUITE_P(Generations, ParameterBlockTest, ::testing::Values(kFirst, kSecond),
                         [](const auto& info) { return std::string(info.param.name); });

// Blocks of unusual lengths: the first generation's length field decides,
// the second generation reads until a short chunk.
class BlockLengthTest : public OperationsTest {};

TEST_F(BlockLengthTest, LengthFieldMustFitTheCopyAndHoldTheFields) {
    struct Case {
        uint32_t blockLength;
        uint16_t lengthField;
        bool readable;
    };
    const Case cases[] = {
        {20000, 20000, true},   // the whole working copy
        {20001, 20001, false},  // one byte more than the copy holds
        {15560, 0x227, false},  // ends inside the priority map
        {15560, 0x228, true},   // holds every field used
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lengthField);
        auto config = Device(kLocalMac, kFirstGenerationId);
        std::vector<uint8_t> block = plcsim::MakeDefaultBlock(
            plcsim::Generation::First, c.blockLength, kLocalMac, {}, kDefaultNetworkKey);
        block[4] = static_cast<uint8_t>(c.lengthField);
        block[5] = static_cast<uint8_t>(c.lengthField >> 8);
        plcsim::StoreBlockChecksum(block);
        config.parameterBlock = block;
        Attach(config);
        FindLocal();
        EXPECT_EQ(ReadParameterBlock(kLocalMac), c.readable);
        if (c.readable) {
            EXPECT_EQ(Model().transfer.totalLength, c.lengthField);
        } else {
            EXPECT_EQ(Log().size(), 1u) << "gave up after the first chunk";
        }
    }
}

TEST_F(BlockLengthTest, SecondGenerationReadEndsAtTheFirstShortChunk) {
    auto config = Device(kLocalMac, kSecondGenerationId);
    config.blockLength = 3100;
    Attach(config);
    FindLocal();
    ASSERT_TRUE(ReadParameterBlock(kLocalMac));
    EXPECT_EQ(Model().transfer.totalLength, 3100u);
    EXPECT_EQ(Requests(), std::vector<std::string>{"A0B0/00 x3"});
}

TEST(BlockChecksumTest, MakesTheWholeBlockSumToZeroAndRefusesBadLengths) {
    std::vector<uint8_t> block(1024);
    for (size_t i = 0; i < block.size(); ++i)
        block[i] = static_cast<uint8_t>(i * 31 + 7);
    block[4] = 0x00;
    block[5] = 0x04;  // 1024
    ASSERT_TRUE(SetBlockChecksum(block));
    EXPECT_EQ(Checksum32(block, block.size() / 4), 0u);

    block[5] = 0x05;  // 1280: longer than the block
    const std::vector<uint8_t> before = block;
    EXPECT_FALSE(SetBlockChecksum(block));
    EXPECT_EQ(block, before);
}

}  // namespace
}  // namespace ambrel::test
