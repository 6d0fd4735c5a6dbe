#include "ParseConfirm.h"

#include <gtest/gtest.h>

#include <vector>

#include "ByteCursor.h"
#include "DeviceModel.h"
#include "FakeClock.h"
#include "ManagementMessage.h"

namespace ambrel {
namespace {

const MacAddress kLocal{0x00, 0xB0, 0x52, 0x00, 0x00, 0x20};
const MacAddress kStationA{0x00, 0xB0, 0x52, 0x00, 0x00, 0xA1};
const MacAddress kStationB{0x00, 0xB0, 0x52, 0x00, 0x00, 0xB2};

// A confirmation in a zero-filled receive buffer, built field by field.
class Confirm {
public:
    Confirm(uint16_t type, const MacAddress& source = kLocal) {
        out_.Bytes(6, source);
        out_.Be16(12, kEtherTypeManagement);
        out_.Le16(15, type);
        out_.Bytes(17, kVendorId);
    }
    Confirm& U8(size_t at, uint8_t v) { return Do(out_.U8(at, v)); }
    Confirm& Le16(size_t at, uint16_t v) { return Do(out_.Le16(at, v)); }
    Confirm& Le32(size_t at, uint32_t v) { return Do(out_.Le32(at, v)); }
    Confirm& Bytes(size_t at, std::span<const uint8_t> v) { return Do(out_.Bytes(at, v)); }
    Confirm& Text(size_t at, std::string_view text) {
        return Bytes(at, {reinterpret_cast<const uint8_t*>(text.data()), text.size()});
    }
    bool Parse() const { return ParseConfirm(frame_); }
    std::span<const uint8_t> Frame() const { return frame_; }

private:
    Confirm& Do(bool written) {
        EXPECT_TRUE(written);
        return *this;
    }
    FrameBuffer frame_{};
    ByteWriter out_{frame_};
};

class ParseConfirmTest : public ::testing::Test {
protected:
    void SetUp() override { ResetDeviceModel(); }
    DeviceModel& Model() { return TheDeviceModel(); }
    void ListStations(std::initializer_list<MacAddress> macs) {
        Model().stationTable.count = static_cast<uint8_t>(macs.size());
        size_t k = 0;
        for (const MacAddress& mac : macs)
            Model().stationTable.records[k++].mac = mac;
    }
    test::FakeClock clock_;
};

TEST_F(ParseConfirmTest, WrongVendorIsNeverAccepted) {
    Confirm confirm(0xA001);
    confirm.U8(19, 0x53);
    Model().localQuery = 1;
    EXPECT_FALSE(confirm.Parse());
    EXPECT_TRUE(IsZeroMac(Model().localDevice.mac));
}

TEST_F(ParseConfirmTest, VersionOfTheLocalDeviceSetsIdentityAndGeneration) {
    struct Case {
        uint8_t id;
        const char* label;
        uint32_t secondGeneration;
    };
    const Case cases[] = {{1, "INT6000", 0}, {2, "INT6300", 0}, {3, "200A", 0},
                          {4, "500A", 0},    {5, "200B", 0},    {0x20, "500A", 1},
                          {0x21, "200B", 1}, {0x42, "200B", 0}};  // unknown: label kept
    Model().localQuery = 1;
    for (const Case& c : cases) {
        Confirm confirm(0xA001, kLocal);
        confirm.U8(21, c.id).Text(23, "FW-1.2.3");
        ASSERT_TRUE(confirm.Parse());
        EXPECT_EQ(Model().localDevice.mac, kLocal);
        EXPECT_EQ(Model().localDevice.deviceId, c.id);
        EXPECT_EQ(FieldText(Model().localDevice.chipLabel), c.label) << int(c.id);
        EXPECT_EQ(Model().secondGeneration, c.secondGeneration) << int(c.id);
        EXPECT_EQ(FieldText(Model().localDevice.firmwareVersion), "FW-1.2.3");
    }
}

TEST_F(ParseConfirmTest, VersionOfAStationMarksItAnswered) {
    ListStations({kStationA, kStationB});
    Confirm confirm(0xA001, kStationB);
    confirm.U8(21, 0x20).Text(23, "remote");
    EXPECT_TRUE(confirm.Parse());
    const DeviceRecord& b = Model().stationTable.records[1];
    EXPECT_EQ(b.answered, 1);
    EXPECT_EQ(b.deviceId, 0x20u);
    EXPECT_EQ(FieldText(b.chipLabel), "500A");
    EXPECT_EQ(Model().stationTable.records[0].answered, 0);
    EXPECT_EQ(Model().secondGeneration, 0u) << "only the local device sets the generation";

    // A station missing from the table: accepted, and nothing changes.
    Confirm stranger(0xA001, {0x00, 0xB0, 0x52, 0x00, 0x00, 0xCC});
    stranger.U8(21, 2);
    EXPECT_TRUE(stranger.Parse());
    EXPECT_EQ(Model().stationTable.count, 2);
    EXPECT_EQ(Model().stationTable.records[0].answered, 0);
}

TEST_F(ParseConfirmTest, NetworkInfoRewritesTheStationTable) {
    ListStations({kStationB});
    Model().stationTable.records[0].answered = 1;
    Confirm confirm(0xA039);
    confirm.U8(38, 2).Bytes(39, kStationA).U8(39 + 13, 150).Bytes(54, kStationB).U8(54 + 13, 7);
    EXPECT_TRUE(confirm.Parse());
    ASSERT_EQ(Model().stationTable.count, 2);
    EXPECT_EQ(Model().stationTable.records[0].mac, kStationA);
    EXPECT_EQ(Model().stationTable.records[0].rate, 150);
    EXPECT_EQ(Model().stationTable.records[0].answered, 0);
    EXPECT_EQ(Model().stationTable.records[1].rate, 7);

    Confirm empty(0xA039);
    EXPECT_TRUE(empty.Parse());
    EXPECT_EQ(Model().stationTable.count, 0);
}

TEST_F(ParseConfirmTest, NetworkInfoKeepsTheFirst32Stations) {
    Confirm confirm(0xA039);
    confirm.U8(38, 40);
    for (uint8_t k = 0; k < 40; ++k) {
        MacAddress mac{0x00, 0xB0, 0x52, 0x00, 0x01, k};
        confirm.Bytes(39 + 15 * k, mac).U8(39 + 15 * k + 13, k);
    }
    EXPECT_TRUE(confirm.Parse());
    ASSERT_EQ(Model().stationTable.count, 32);
    EXPECT_EQ(Model().stationTable.records[31].mac[5], 31);
}

TEST_F(ParseConfirmTest, StatusOnlyConfirmations) {
    for (uint16_t type : {0xA029, 0xA07D, 0xA081, 0xA051}) {
        EXPECT_TRUE(Confirm(type).Parse()) << std::hex << type;
        EXPECT_FALSE(Confirm(type).U8(20, 1).Parse()) << std::hex << type;
    }
    // The restart confirmation and unknown types are never accepted.
    EXPECT_FALSE(Confirm(0xA01D).Parse());
    EXPECT_FALSE(Confirm(0xA0FF).Parse());
}

TEST_F(ParseConfirmTest, SetKeyConfirmationWaitsASecond) {
    uint64_t before = clock_.SleptMs();
    EXPECT_TRUE(Confirm(0xA051).Parse());
    EXPECT_EQ(clock_.SleptMs() - before, 1000u);
}

TEST_F(ParseConfirmTest, WriteEchoMustNameTheChunkSent) {
    struct Case {
        uint8_t status;
        uint16_t length;
        uint32_t offset;
        bool accepted;
    };
    const Case cases[] = {
        {0, 1024, 2048, true},
        {1, 1024, 2048, false},
        {0, 1024, 1024, false},
        {0, 512, 2048, false},
    };
    for (const Case& c : cases) {
        Model().transfer.offset = 2048;
        Model().transfer.chunkLength = 1024;
        Confirm confirm(0xA021);
        confirm.U8(20, c.status).Le16(23, c.length).Le32(25, c.offset);
        EXPECT_EQ(confirm.Parse(), c.accepted);
        EXPECT_EQ(Model().transfer.offset, c.accepted ? 3072u : 2048u);
    }
}

TEST_F(ParseConfirmTest, ReadChunkLandsAtItsOffset) {
    Model().transfer.offset = 1024;
    Confirm confirm(0xA025);
    std::vector<uint8_t> data(200, 0xAB);
    confirm.Le16(26, 200).Le32(28, 1024).Bytes(36, data);
    EXPECT_TRUE(confirm.Parse());
    EXPECT_EQ(Model().pibImage[1024], 0xAB);
    EXPECT_EQ(Model().pibImage[1223], 0xAB);
    EXPECT_EQ(Model().pibImage[1224], 0);
    EXPECT_EQ(Model().transfer.offset, 1224u);
    EXPECT_EQ(Model().transfer.received, 200u);

    // An unexpected offset or a status fails and copies nothing.
    EXPECT_FALSE(Confirm(0xA025).Le16(26, 4).Le32(28, 0).Parse());
    EXPECT_FALSE(Confirm(0xA025).U8(20, 2).Le16(26, 4).Le32(28, 1224).Parse());
    EXPECT_EQ(Model().transfer.offset, 1224u);
}

TEST_F(ParseConfirmTest, ReadDataNeverLandsOutsideItsBuffer) {
    // Data that would run past the transfer buffer is refused whole.
    std::vector<uint8_t> buffer(1100, 0);
    Model().transfer.buffer = buffer;
    Model().transfer.offset = 1024;
    Confirm confirm(0xA025);
    confirm.Le16(26, 200).Le32(28, 1024);
    EXPECT_FALSE(confirm.Parse());
    EXPECT_EQ(Model().transfer.offset, 1024u);

    // A length beyond the frame itself is refused too.
    Model().transfer.buffer = Model().pibImage;
    Confirm huge(0xA025);
    huge.Le16(26, 60000).Le32(28, 1024);
    EXPECT_FALSE(huge.Parse());
    auto truncated = huge.Frame().first(100);
    EXPECT_FALSE(ParseConfirm(truncated));
}

TEST_F(ParseConfirmTest, ModuleOperationConfirmations) {
    Model().transfer.transactionId = 0x12345678;
    Model().transfer.offset = 1400;
    Model().transfer.chunkLength = 1400;
    auto op = [](uint16_t operation) {
        Confirm confirm(0xA0B1);
        confirm.Le16(29, operation);
        return confirm;
    };

    // Start write and commit: our transaction and every module status zero.
    EXPECT_TRUE(op(0x10).Le32(37, 0x12345678).U8(41, 2).Parse());
    EXPECT_TRUE(op(0x10).Le32(37, 0x12345678).U8(41, 0).Parse());
    EXPECT_FALSE(op(0x10).Le32(37, 0x12345677).U8(41, 1).Parse()) << "an older transaction";
    EXPECT_FALSE(op(0x10).Le32(37, 0x12345678).U8(41, 2).Le16(46, 3).Parse());
    EXPECT_TRUE(op(0x12).Le32(37, 0x12345678).U8(45, 2).Parse());
    EXPECT_FALSE(op(0x12).Le32(37, 0x12345678).U8(45, 2).Le16(50, 1).Parse());
    EXPECT_FALSE(op(0x12).Le16(20, 1).Le32(37, 0x12345678).Parse()) << "16-bit status";

    // Write: transaction, offset and length must all match; then it advances.
    EXPECT_FALSE(op(0x11).Le32(37, 0x11111111).Le16(46, 1400).Le32(48, 1400).Parse());
    EXPECT_FALSE(op(0x11).Le32(37, 0x12345678).Le16(46, 1400).Le32(48, 0).Parse());
    EXPECT_TRUE(op(0x11).Le32(37, 0x12345678).Le16(46, 1400).Le32(48, 1400).Parse());
    EXPECT_EQ(Model().transfer.offset, 2800u);

    // Read: data at 47, copied at the expected offset.
    std::vector<uint8_t> data(300, 0x7E);
    EXPECT_TRUE(op(0x00).Le16(41, 300).Le32(43, 2800).Bytes(47, data).Parse());
    EXPECT_EQ(Model().pibImage[2800], 0x7E);
    EXPECT_EQ(Model().transfer.offset, 3100u);

    EXPECT_FALSE(op(0x13).Parse()) << "an operation never asked for";
    EXPECT_FALSE(op(0x0110).Le32(37, 0x12345678).U8(41, 0).Parse())
        << "the operation is 16 bits wide: not a start write";
    EXPECT_FALSE(op(0x0100).Le16(41, 300).Le32(43, 3100).Bytes(47, data).Parse()) << "not a read";
    EXPECT_EQ(Model().transfer.offset, 3100u);
}

}  // namespace
}  // namespace ambrel
