#include "BuildRequest.h"

#include <algorithm>
#include <span>

#include "ByteCursor.h"
#include "Checksum32.h"
#include "DeviceModel.h"

namespace ambrel {

namespace {

// Offsets of the module operation's common part.
constexpr size_t kOpCount = 24;
constexpr size_t kOpCode = 25;
constexpr size_t kOpLength = 27;

// The length of the module that the transfer is sending: the parameter
// block, or the firmware while the two-module flag is set.
uint32_t ModuleLength(const DeviceModel& model) {
    return model.transfer.twoModules ? static_cast<uint32_t>(model.firmwareImage.size())
                                     : model.transfer.totalLength;
}

// The next chunk: the transfer's chunk length, cut at the end of the module
// (and then remembered as the chunk length).
uint16_t NextChunk(TransferState& transfer, uint32_t moduleLength, uint16_t fullChunk) {
    if (static_cast<uint64_t>(transfer.offset) + fullChunk > moduleLength) {
        transfer.chunkLength = static_cast<uint16_t>(
            moduleLength > transfer.offset ? moduleLength - transfer.offset : 0);
    }
    return transfer.chunkLength;
}

std::optional<std::span<const uint8_t>> ChunkBytes(const TransferState& transfer, uint16_t length) {
    return ByteReader(transfer.buffer).Bytes(transfer.offset, length);
}

// Returns the payload length, or nothing when the request cannot be built.
std::optional<size_t> WritePayload(ByteWriter& out, DeviceModel& model, uint16_t type,
                                   uint8_t operation, const Key16* deviceAccessKey);

std::optional<size_t> WriteChunkRequest(ByteWriter& out, DeviceModel& model) {
    TransferState& transfer = model.transfer;
    uint16_t length = NextChunk(transfer, ModuleLength(model), kFirstGenerationChunk);
    auto chunk = ChunkBytes(transfer, length);
    if (!chunk)
        return std::nullopt;
    out.U8(20, transfer.twoModules ? 1 : 2);
    out.Le16(22, length);
    out.Le32(24, transfer.offset);
    out.Le32(28, Checksum32(*chunk, length / 4));
    if (!out.Bytes(32, *chunk))
        return std::nullopt;
    return length + 12;
}

std::optional<size_t> ReadChunkRequest(ByteWriter& out, DeviceModel& model) {
    TransferState& transfer = model.transfer;
    uint16_t length = kFirstGenerationChunk;
    if (static_cast<uint64_t>(transfer.offset) + kFirstGenerationChunk > transfer.totalLength) {
        length = static_cast<uint16_t>(
            transfer.totalLength > transfer.offset ? transfer.totalLength - transfer.offset : 0);
    }
    transfer.chunkLength = length;
    out.U8(20, 2);
    out.Le16(22, length);
    out.Le32(24, transfer.offset);
    return 8;
}

std::optional<size_t> SetKeyRequest(ByteWriter& out, DeviceModel& model,
                                    const Key16* deviceAccessKey) {
    const KeyRequestRecord& request = model.keyRequest;
    Key16 key{};
    MacAddress target{};
    Key16 accessKey{};
    uint8_t localForm = 0;
    if (model.setKeyLocal) {
        key = request.key;
        target = request.remoteMac;
        localForm = 0x0F;
    } else if (model.setKeyByPassword) {
        key = request.key;
        target = request.remoteMac;
        if (deviceAccessKey != nullptr)
            accessKey = *deviceAccessKey;
    } else {
        key = model.localDevice.networkKey;
        if (model.selectedDevice >= 0 && model.selectedDevice < kMaxStations) {
            target = model.deviceList.records[static_cast<size_t>(model.selectedDevice)].mac;
        }
        if (deviceAccessKey != nullptr)
            accessKey = *deviceAccessKey;
    }
    out.U8(20, 1);
    out.Bytes(21, key);
    out.U8(37, localForm);
    out.Bytes(38, target);
    out.Bytes(44, accessKey);
    return 40;
}

void ModuleOperationHeader(ByteWriter& out, ModuleOp operation, uint16_t operationLength) {
    out.U8(kOpCount, 1);
    out.Le16(kOpCode, static_cast<uint16_t>(operation));
    out.Le16(kOpLength, operationLength);
}

std::optional<size_t> ModuleOperationRequest(ByteWriter& out, DeviceModel& model,
                                             uint8_t operation) {
    TransferState& transfer = model.transfer;
    switch (static_cast<ModuleOp>(operation)) {
        case ModuleOp::Read: {
            uint16_t length = kSecondGenerationChunk;
            if (static_cast<uint64_t>(transfer.offset) + kSecondGenerationChunk >
                transfer.totalLength) {
                length = static_cast<uint16_t>(transfer.totalLength > transfer.offset
                                                   ? transfer.totalLength - transfer.offset
                                                   : 0);
            }
            transfer.chunkLength = length;
            ModuleOperationHeader(out, ModuleOp::Read, 18);
            out.Le16(33, kModuleParameterBlock);
            out.Le16(37, length);
            out.Le32(39, transfer.offset);
            return 23;
        }
        case ModuleOp::StartWrite: {
            transfer.transactionId = RandomWord();
            ModuleOperationHeader(out, ModuleOp::StartWrite, 133);
            out.Le32(33, transfer.transactionId);
            auto descriptor = [&out](size_t index, uint16_t module, std::span<const uint8_t> image,
                                     uint32_t length) {
                const size_t at = 38 + 12 * index;
                out.Le16(at, module);
                out.Le32(at + 4, length);
                out.Le32(at + 8, Checksum32(image, length / 4));
            };
            if (transfer.twoModules) {
                out.U8(37, 2);
                descriptor(0, kModuleParameterBlock, model.pibFileImage,
                           static_cast<uint32_t>(model.pibFileImage.size()));
                descriptor(1, kModuleFirmware, model.firmwareImage,
                           static_cast<uint32_t>(model.firmwareImage.size()));
            } else {
                out.U8(37, 1);
                descriptor(0, kModuleParameterBlock, transfer.buffer, transfer.totalLength);
            }
            return 136;
        }
        case ModuleOp::Write: {
            uint16_t length = NextChunk(transfer, ModuleLength(model), kSecondGenerationChunk);
            auto chunk = ChunkBytes(transfer, length);
            if (!chunk)
                return std::nullopt;
            ModuleOperationHeader(out, ModuleOp::Write, static_cast<uint16_t>(length + 23));
            out.Le32(33, transfer.transactionId);
            out.U8(37, transfer.twoModules ? 1 : 0);
            out.Le16(38, transfer.twoModules ? kModuleFirmware : kModuleParameterBlock);
            out.Le16(42, length);
            out.Le32(44, transfer.offset);
            if (!out.Bytes(48, *chunk))
                return std::nullopt;
            return length + 28;
        }
        case ModuleOp::Commit:
            ModuleOperationHeader(out, ModuleOp::Commit, 20);
            out.Le32(33, transfer.transactionId);
            out.Le32(37, transfer.twoModules ? 0x80000001u : 0u);
            return 27;
    }
    return std::nullopt;
}

std::optional<size_t> WritePayload(ByteWriter& out, DeviceModel& model, uint16_t type,
                                   uint8_t operation, const Key16* deviceAccessKey) {
    switch (static_cast<MessageType>(type)) {
        case MessageType::Version:
        case MessageType::Restart:
        case MessageType::NetworkInfo:
        case MessageType::FactoryDefaults:
            return 0;
        case MessageType::WriteChunk:
            return WriteChunkRequest(out, model);
        case MessageType::ReadChunk:
            return ReadChunkRequest(out, model);
        case MessageType::Commit:
            out.U8(20, model.transfer.twoModules ? 0x13 : 0x02);
            return 2;
        case MessageType::SetKey:
            return SetKeyRequest(out, model, deviceAccessKey);
        case MessageType::FinishUpgrade:
            out.U8(20, 3);
            out.Bytes(22, model.localDevice.deviceKey);
            return 18;
        case MessageType::ModuleOperation:
            return ModuleOperationRequest(out, model, operation);
    }
    return std::nullopt;
}

}  // namespace

uint16_t BuildRequest(FrameBuffer& frame, const MacAddress& source, const MacAddress& destination,
                      uint16_t type, uint8_t operation, const Key16* deviceAccessKey) {
    DeviceModel& model = TheDeviceModel();
    std::fill_n(frame.begin(), kMaxFrameLength, 0);
    ByteWriter out(std::span<uint8_t>(frame.data(), kMaxFrameLength));
    out.Bytes(header::kDestination, destination);
    out.Bytes(header::kSource, source);
    out.Be16(header::kEtherType, kEtherTypeManagement);
    out.U8(header::kVersion, 0);
    out.Le16(header::kType, type);
    out.Bytes(header::kVendor, kVendorId);

    auto payload = WritePayload(out, model, type, operation, deviceAccessKey);
    if (!payload) {
        std::fill_n(frame.begin(), kMaxFrameLength, 0);
        return 0;
    }
    if (model.secondGeneration)
        return kSecondGenerationFrameLength;
    return static_cast<uint16_t>(std::max(header::kPayload + *payload, kShortRequestLength));
}

}  // namespace ambrel
