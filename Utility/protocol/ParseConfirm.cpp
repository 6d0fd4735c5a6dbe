#include "ParseConfirm.h"

#include <algorithm>

#include "ByteCursor.h"
#include "Clock.h"
#include "DeviceModel.h"
#include "ManagementMessage.h"

namespace ambrel {

namespace {

constexpr size_t kVersionTextOffset = 23;
constexpr size_t kStationCountOffset = 38;
constexpr size_t kStationEntriesOffset = 39;
constexpr size_t kStationEntrySize = 15;
constexpr size_t kStationRateOffset = 13;

template <size_t N>
void CopyField(TextField<N>& field, std::span<const uint8_t> bytes) {
    field.fill('\0');
    std::copy_n(bytes.begin(), std::min(bytes.size(), N), field.begin());
}

void SetLabel(DeviceRecord& record, uint32_t deviceId) {
    std::string_view label = ChipLabel(deviceId);
    if (!label.empty())
        SetFieldText(record.chipLabel, label);
}

bool ParseVersion(const ByteReader& in) {
    auto source = in.Bytes(header::kSource, 6);
    auto id = in.U8(21);
    auto text = in.Bytes(kVersionTextOffset, 128);
    if (!source || !id || !text)
        return false;
    MacAddress mac{};
    std::copy(source->begin(), source->end(), mac.begin());

    DeviceModel& model = TheDeviceModel();
    if (model.localQuery) {
        DeviceRecord& local = model.localDevice;
        local.mac = mac;
        local.deviceId = *id;
        CopyField(local.firmwareVersion, *text);
        SetLabel(local, *id);
        model.secondGeneration = IsSecondGenerationId(*id) ? 1 : 0;
        return true;
    }
    int index = FindStation(mac);
    if (index >= 0) {
        DeviceRecord& station = model.stationTable.records[static_cast<size_t>(index)];
        station.answered = 1;
        station.deviceId = *id;
        CopyField(station.firmwareVersion, *text);
        SetLabel(station, *id);
    }
    return true;
}

bool ParseNetworkInfo(const ByteReader& in) {
    auto count = in.U8(kStationCountOffset);
    if (!count)
        return false;
    DeviceTable& table = TheDeviceModel().stationTable;
    // The table keeps the first 32 stations; entries missing from a short
    // frame end the list.
    size_t listed = std::min<size_t>(*count, kMaxStations);
    size_t k = 0;
    for (; k < listed; ++k) {
        size_t at = kStationEntriesOffset + k * kStationEntrySize;
        auto mac = in.Bytes(at, 6);
        auto rate = in.U8(at + kStationRateOffset);
        if (!mac || !rate)
            break;
        DeviceRecord& station = table.records[k];
        std::copy(mac->begin(), mac->end(), station.mac.begin());
        station.rate = *rate;
        station.answered = 0;
    }
    table.count = static_cast<uint8_t>(k);
    return true;
}

// Copies n bytes of read data at `dataOffset` into the transfer buffer at
// `offset`, when the offset is the expected one and both ends hold them.
bool AcceptReadData(const ByteReader& in, size_t lengthAt, size_t offsetAt, size_t dataOffset) {
    TransferState& transfer = TheDeviceModel().transfer;
    auto length = in.Le16(lengthAt);
    auto offset = in.Le32(offsetAt);
    if (!length || !offset || *offset != transfer.offset)
        return false;
    auto data = in.Bytes(dataOffset, *length);
    if (!data)
        return false;
    ByteWriter out(transfer.buffer);
    if (!out.Bytes(transfer.offset, *data))
        return false;
    transfer.offset += *length;
    transfer.received += *length;
    return true;
}

// The echo of a write: accepted when it names the offset and length sent.
bool AcceptWriteEcho(const ByteReader& in, size_t lengthAt, size_t offsetAt) {
    TransferState& transfer = TheDeviceModel().transfer;
    auto length = in.Le16(lengthAt);
    auto offset = in.Le32(offsetAt);
    if (!length || !offset)
        return false;
    if (*offset != transfer.offset || *length != transfer.chunkLength)
        return false;
    transfer.offset += *length;
    return true;
}

// Transaction identifier and m module statuses, all of them zero.
bool AcceptModuleStatuses(const ByteReader& in, size_t countAt, size_t entriesAt) {
    auto transaction = in.Le32(37);
    auto count = in.U8(countAt);
    if (!transaction || !count || *transaction != TheDeviceModel().transfer.transactionId) {
        return false;
    }
    for (size_t k = 0; k < *count; ++k) {
        auto status = in.Le16(entriesAt + 4 * k);
        if (!status || *status != 0)
            return false;
    }
    return true;
}

bool ParseModuleOperation(const ByteReader& in) {
    auto status = in.Le16(20);
    auto operation = in.Le16(29);
    // The operation is 16 bits wide: 0x0110 is no start write.
    if (!status || *status != 0 || !operation || *operation > 0xFF)
        return false;
    switch (static_cast<ModuleOp>(*operation)) {
        case ModuleOp::Read:
            return AcceptReadData(in, 41, 43, 47);
        case ModuleOp::StartWrite:
            return AcceptModuleStatuses(in, 41, 42);
        case ModuleOp::Write: {
            auto transaction = in.Le32(37);
            if (!transaction || *transaction != TheDeviceModel().transfer.transactionId) {
                return false;
            }
            return AcceptWriteEcho(in, 46, 48);
        }
        case ModuleOp::Commit:
            return AcceptModuleStatuses(in, 45, 46);
    }
    return false;  // an operation this program never asks for
}

bool StatusIsZero(const ByteReader& in) {
    auto status = in.U8(20);
    return status && *status == 0;
}

}  // namespace

std::string_view ChipLabel(uint32_t deviceId) {
    struct Chip {
        uint32_t id;
        std::string_view label;
    };
    static constexpr Chip kChips[] = {{1, "INT6000"}, {2, "INT6300"}, {3, "200A"},   {4, "500A"},
                                      {5, "200B"},    {0x20, "500A"}, {0x21, "200B"}};
    for (const Chip& chip : kChips) {
        if (chip.id == deviceId)
            return chip.label;
    }
    return {};
}

bool ParseConfirm(std::span<const uint8_t> frame) {
    ByteReader in(frame);
    auto vendor = in.Bytes(header::kVendor, kVendorId.size());
    if (!vendor || !std::equal(vendor->begin(), vendor->end(), kVendorId.begin()))
        return false;
    auto type = in.Le16(header::kType);
    if (!type)
        return false;

    switch (*type) {
        case ConfirmOf(MessageType::Version):
            return ParseVersion(in);
        case ConfirmOf(MessageType::WriteChunk):
            return StatusIsZero(in) && AcceptWriteEcho(in, 23, 25);
        case ConfirmOf(MessageType::ReadChunk):
            return StatusIsZero(in) && AcceptReadData(in, 26, 28, 36);
        case ConfirmOf(MessageType::Commit):
        case ConfirmOf(MessageType::FactoryDefaults):
        case ConfirmOf(MessageType::FinishUpgrade):
            return StatusIsZero(in);
        case ConfirmOf(MessageType::SetKey):
            // The device needs a moment before the new key is in force.
            SleepMs(1000);
            return StatusIsZero(in);
        case ConfirmOf(MessageType::NetworkInfo):
            return ParseNetworkInfo(in);
        case ConfirmOf(MessageType::ModuleOperation):
            return ParseModuleOperation(in);
        default:
            return false;
    }
}

}  // namespace ambrel
