#include "Upgrade.h"

#include <algorithm>

#include "ByteCursor.h"
#include "DeviceModel.h"
#include "ManagementMessage.h"
#include "ParameterBlock.h"
#include "Progress.h"
#include "Transport.h"

namespace ambrel {

namespace {

constexpr uint16_t kFirstGenerationWriteTicks = 15;
constexpr uint16_t kFinishTicks = 1;
constexpr uint16_t kStartWriteTicks = 15;
constexpr uint16_t kSecondGenerationWriteTicks = 100;
constexpr uint16_t kCommitTicks = 20;
constexpr size_t kMacOffset = 12;

uint32_t ChunkCount(size_t length, uint32_t chunk) {
    return static_cast<uint32_t>((length + chunk - 1) / chunk);
}

// Puts the transfer back on pibImage with its previous total length, however
// the procedure ends, so it never points into an image that is replaced later.
class TransferRestorer {
public:
    TransferRestorer() : model_(TheDeviceModel()), totalLength_(model_.transfer.totalLength) {}
    ~TransferRestorer() {
        model_.transfer.buffer = model_.pibImage;
        model_.transfer.totalLength = totalLength_;
    }
    TransferRestorer(const TransferRestorer&) = delete;
    TransferRestorer& operator=(const TransferRestorer&) = delete;

private:
    DeviceModel& model_;
    uint32_t totalLength_;
};

void StartTransfer(std::span<uint8_t> buffer, uint16_t chunk, uint32_t twoModules) {
    TransferState& transfer = TheDeviceModel().transfer;
    transfer.buffer = buffer;
    transfer.chunkLength = chunk;
    transfer.offset = 0;
    transfer.twoModules = twoModules;
}

// The device's own MAC address (bytes 12 to 17 of its current block) into the
// parameter file.
bool KeepDeviceMac(DeviceModel& model) {
    auto mac = ByteReader(model.pibImage).Bytes(kMacOffset, 6);
    return mac && ByteWriter(model.pibFileImage).Bytes(kMacOffset, *mac);
}

// Sends chunks until the offset reaches `length`.
bool SendModule(const MacAddress& mac, MessageType type, uint16_t ticks, uint8_t operation,
                size_t length, uint16_t chunk, Step step) {
    const TransferState& transfer = TheDeviceModel().transfer;
    const uint32_t chunks = ChunkCount(length, chunk);
    uint32_t done = 0;
    do {
        if (!Exchange(mac, type, ticks, operation).accepted)
            return false;
        ReportProgress(step, ++done, chunks);
    } while (transfer.offset < length);
    return true;
}

}  // namespace

UpgradeImageProblem CheckUpgradeImages(bool secondGeneration) {
    const DeviceModel& model = TheDeviceModel();
    if (model.firmwareImage.empty())
        return UpgradeImageProblem::NoFirmware;
    if (model.pibFileImage.size() < kMacOffset + 6)
        return UpgradeImageProblem::ParameterFileShort;
    if (!secondGeneration) {
        auto length = ByteReader(model.pibFileImage).Le16(kPibLengthOffset);
        if (!length || *length > model.pibFileImage.size() || *length < kMacOffset + 6) {
            return UpgradeImageProblem::ParameterLength;
        }
    }
    return UpgradeImageProblem::None;
}

bool UpgradeFirstGeneration(const MacAddress& mac) {
    DeviceModel& model = TheDeviceModel();
    if (CheckUpgradeImages(false) != UpgradeImageProblem::None)
        return false;
    TransferRestorer restorer;
    TransferState& transfer = model.transfer;

    StartTransfer(model.firmwareImage, kFirstGenerationChunk, 1);
    if (!SendModule(mac, MessageType::WriteChunk, kFirstGenerationWriteTicks, kNoModuleOp,
                    model.firmwareImage.size(), kFirstGenerationChunk, Step::SendingFirmware)) {
        return false;
    }

    if (!KeepDeviceMac(model) || !SetBlockChecksum(model.pibFileImage))
        return false;
    StartTransfer(model.pibFileImage, kFirstGenerationChunk, 0);
    transfer.totalLength = static_cast<uint32_t>(model.pibFileImage.size());
    if (!SendModule(mac, MessageType::WriteChunk, kFirstGenerationWriteTicks, kNoModuleOp,
                    model.pibFileImage.size(), kFirstGenerationChunk, Step::SendingParameterFile)) {
        return false;
    }

    ReportProgress(Step::FinishingUpgrade);
    transfer.twoModules = 1;
    return Exchange(mac, MessageType::FinishUpgrade, kFinishTicks).accepted;
}

bool UpgradeSecondGeneration(const MacAddress& mac) {
    DeviceModel& model = TheDeviceModel();
    if (CheckUpgradeImages(true) != UpgradeImageProblem::None)
        return false;
    TransferRestorer restorer;
    TransferState& transfer = model.transfer;

    if (!KeepDeviceMac(model))
        return false;
    StartTransfer(model.pibFileImage, kSecondGenerationChunk, 1);
    transfer.totalLength = static_cast<uint32_t>(model.pibFileImage.size());
    ReportProgress(Step::SendingParameterFile);
    if (!Exchange(mac, MessageType::ModuleOperation, kStartWriteTicks,
                  static_cast<uint8_t>(ModuleOp::StartWrite))
             .accepted) {
        return false;
    }

    constexpr uint8_t kWrite = static_cast<uint8_t>(ModuleOp::Write);
    transfer.twoModules = 0;
    if (!SendModule(mac, MessageType::ModuleOperation, kSecondGenerationWriteTicks, kWrite,
                    model.pibFileImage.size(), kSecondGenerationChunk,
                    Step::SendingParameterFile)) {
        return false;
    }
    StartTransfer(model.firmwareImage, kSecondGenerationChunk, 1);
    if (!SendModule(mac, MessageType::ModuleOperation, kSecondGenerationWriteTicks, kWrite,
                    model.firmwareImage.size(), kSecondGenerationChunk, Step::SendingFirmware)) {
        return false;
    }

    ReportProgress(Step::FinishingUpgrade);
    transfer.twoModules = 1;
    return Exchange(mac, MessageType::ModuleOperation, kCommitTicks,
                    static_cast<uint8_t>(ModuleOp::Commit))
        .accepted;
}

}  // namespace ambrel
