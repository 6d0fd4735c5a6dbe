#include "ParameterBlock.h"

#include <algorithm>

#include "ByteCursor.h"
#include "Checksum32.h"
#include "DeviceModel.h"
#include "KeyDerivation.h"
#include "ManagementMessage.h"
#include "Progress.h"
#include "Transport.h"

namespace ambrel {

namespace {

constexpr uint16_t kFirstGenerationReadTicks = 3;
constexpr uint16_t kSecondGenerationReadTicks = 5;
constexpr uint16_t kFirstGenerationWriteTicks = 5;
constexpr uint16_t kFirstGenerationCommitTicks = 10;
constexpr uint16_t kSecondGenerationWriteTicks = 15;
constexpr uint16_t kSecondGenerationCommitTicks = 20;

uint32_t ChunkCount(uint32_t length, uint32_t chunk) {
    return (length + chunk - 1) / chunk;
}

void StartTransfer(DeviceModel& model, uint16_t chunk, uint32_t totalLength) {
    TransferState& transfer = model.transfer;
    transfer.buffer = model.pibImage;
    transfer.chunkLength = chunk;
    transfer.offset = 0;
    transfer.received = 0;
    transfer.totalLength = totalLength;
    transfer.twoModules = 0;
}

// One read request; true when its chunk was accepted, followed the previous
// one, brought data and no more than was asked.
bool ReadChunk(const MacAddress& mac, MessageType type, uint16_t ticks, uint8_t operation) {
    TransferState& transfer = TheDeviceModel().transfer;
    const uint32_t before = transfer.offset;
    if (!Exchange(mac, type, ticks, operation).accepted)
        return false;
    const uint32_t advanced = transfer.offset - before;
    return advanced > 0 && advanced <= transfer.chunkLength;
}

bool ReadFirstGeneration(const MacAddress& mac) {
    DeviceModel& model = TheDeviceModel();
    TransferState& transfer = model.transfer;
    StartTransfer(model, kFirstGenerationChunk, kFirstGenerationPibLength);
    bool lengthKnown = false;
    do {
        if (!ReadChunk(mac, MessageType::ReadChunk, kFirstGenerationReadTicks, kNoModuleOp)) {
            return false;
        }
        if (!lengthKnown) {
            auto length = ByteReader(model.pibImage).Le16(kPibLengthOffset);
            if (!length || *length > kPibImageSize ||
                *length < kFirstGenerationLayout.minimumLength) {
                return false;
            }
            transfer.totalLength = *length;
            lengthKnown = true;
        }
        ReportProgress(
            Step::ReadingParameterBlock,
            ChunkCount(std::min(transfer.received, transfer.totalLength), kFirstGenerationChunk),
            ChunkCount(transfer.totalLength, kFirstGenerationChunk));
    } while (transfer.totalLength > transfer.received);
    return true;
}

bool ReadSecondGeneration(const MacAddress& mac) {
    DeviceModel& model = TheDeviceModel();
    TransferState& transfer = model.transfer;
    StartTransfer(model, kSecondGenerationChunk, kSecondGenerationPibLimit);
    const uint32_t chunks = ChunkCount(kSecondGenerationPibLimit, kSecondGenerationChunk);
    bool complete = false;
    for (uint32_t done = 1;; ++done) {
        const uint32_t before = transfer.offset;
        if (!ReadChunk(mac, MessageType::ModuleOperation, kSecondGenerationReadTicks,
                       static_cast<uint8_t>(ModuleOp::Read))) {
            break;
        }
        ReportProgress(Step::ReadingParameterBlock, std::min(done, chunks), chunks);
        if (transfer.offset - before < kSecondGenerationChunk) {
            complete = true;
            break;
        }
    }
    transfer.totalLength = transfer.received;
    return complete && transfer.received >= kSecondGenerationLayout.minimumLength;
}

bool WriteFirstGeneration(DeviceModel& model) {
    TransferState& transfer = model.transfer;
    const MacAddress mac = model.localDevice.mac;
    if (!SetBlockChecksum(std::span<uint8_t>(model.pibImage).first(transfer.totalLength))) {
        return false;
    }
    StartTransfer(model, kFirstGenerationChunk, transfer.totalLength);
    const uint32_t chunks = ChunkCount(transfer.totalLength, kFirstGenerationChunk);
    uint32_t done = 0;
    do {
        if (!Exchange(mac, MessageType::WriteChunk, kFirstGenerationWriteTicks).accepted) {
            return false;
        }
        ReportProgress(Step::WritingParameterBlock, ++done, chunks);
    } while (transfer.offset < transfer.totalLength);
    ReportProgress(Step::CommittingParameterBlock);
    return Exchange(mac, MessageType::Commit, kFirstGenerationCommitTicks).accepted;
}

bool WriteSecondGeneration(DeviceModel& model) {
    TransferState& transfer = model.transfer;
    const MacAddress mac = model.localDevice.mac;
    StartTransfer(model, kSecondGenerationChunk, transfer.totalLength);
    if (!Exchange(mac, MessageType::ModuleOperation, kSecondGenerationWriteTicks,
                  static_cast<uint8_t>(ModuleOp::StartWrite))
             .accepted) {
        return false;
    }
    const uint32_t chunks = ChunkCount(transfer.totalLength, kSecondGenerationChunk);
    uint32_t done = 0;
    while (transfer.offset < transfer.totalLength) {
        if (!Exchange(mac, MessageType::ModuleOperation, kSecondGenerationWriteTicks,
                      static_cast<uint8_t>(ModuleOp::Write))
                 .accepted) {
            return false;
        }
        ReportProgress(Step::WritingParameterBlock, ++done, chunks);
    }
    ReportProgress(Step::CommittingParameterBlock);
    return Exchange(mac, MessageType::ModuleOperation, kSecondGenerationCommitTicks,
                    static_cast<uint8_t>(ModuleOp::Commit))
        .accepted;
}

}  // namespace

bool ReadParameterBlock(const MacAddress& mac) {
    DeviceModel& model = TheDeviceModel();
    model.pibLoaded = 0;
    model.pibImage.fill(0);
    ReportProgress(Step::ReadingParameterBlock);
    const bool read = model.secondGeneration ? ReadSecondGeneration(mac) : ReadFirstGeneration(mac);
    model.pibLoaded = read ? 1 : 0;
    return read;
}

bool WriteParameterBlock() {
    DeviceModel& model = TheDeviceModel();
    const uint32_t length = model.transfer.totalLength;
    const size_t minimum = PibLayoutOf(model.secondGeneration != 0).minimumLength;
    if (!model.pibLoaded || length > kPibImageSize || length < minimum)
        return false;
    return model.secondGeneration ? WriteSecondGeneration(model) : WriteFirstGeneration(model);
}

bool SetBlockChecksum(std::span<uint8_t> block) {
    auto length = ByteReader(block).Le16(kPibLengthOffset);
    if (!length || *length > block.size() || *length < kPibChecksumOffset + 4)
        return false;
    ByteWriter out(block);
    out.Le32(kPibChecksumOffset, 0);
    return out.Le32(kPibChecksumOffset, Checksum32(block, *length / 4));
}

void LoadNetworkKeyFromPib() {
    DeviceModel& model = TheDeviceModel();
    const PibLayout& layout = PibLayoutOf(model.secondGeneration != 0);
    auto key = ByteReader(model.pibImage).Bytes(layout.networkKey, 16);
    if (key)
        std::copy(key->begin(), key->end(), model.localDevice.networkKey.begin());
}

NetworkKeyClass ClassifyNetworkKey() {
    DeviceModel& model = TheDeviceModel();
    const Key16 named = DeriveNetworkKey(FieldText(model.localDevice.networkName));
    LoadNetworkKeyFromPib();
    const Key16& key = model.localDevice.networkKey;
    if (key == kDefaultNetworkKey)
        return NetworkKeyClass::DefaultNetwork;
    if (key == named)
        return NetworkKeyClass::NamedNetwork;
    return NetworkKeyClass::OtherNetwork;
}

}  // namespace ambrel
