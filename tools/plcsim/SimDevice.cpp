#include "SimDevice.h"

#include <algorithm>

#include "ByteCursor.h"

namespace plcsim {

namespace {

// Writes `key` into the block's network key field (and, for the first
// generation, keeps the block checksum valid). Blocks too short for the
// field are left alone.
void StoreKeyInBlock(Generation generation, std::vector<uint8_t>& block, const ambrel::Key16& key) {
    ambrel::ByteWriter writer(block);
    if (!writer.Bytes(LayoutOf(generation).networkKey, key))
        return;
    if (generation == Generation::First)
        StoreBlockChecksum(block);
}

}  // namespace

SimDevice::SimDevice(DeviceConfig config) : config_(std::move(config)) {
    firmwareVersion_ = config_.firmwareVersion.substr(0, kVersionTextSize);
    if (config_.password) {
        password_ = *config_.password;
    } else {
        auto generated = ambrel::DefaultDevicePassword(config_.mac);
        password_.assign(generated.begin(), generated.end());
    }
    deviceAccessKey_ = ambrel::DeriveDeviceKey(std::string_view(password_));
    networkKey_ = config_.networkKey.value_or(ambrel::kDefaultNetworkKey);

    uint32_t length = config_.blockLength.value_or(
        Gen() == Generation::First ? kFirstGenerationBlockLength : kSecondGenerationBlockLength);
    factoryBlock_ =
        MakeDefaultBlock(Gen(), length, config_.mac, deviceAccessKey_, ambrel::kDefaultNetworkKey);
    if (config_.parameterBlock) {
        // A given block is what the factory wrote, apart from the key.
        factoryBlock_ = *config_.parameterBlock;
        StoreKeyInBlock(Gen(), factoryBlock_, ambrel::kDefaultNetworkKey);
    }
    block_ = factoryBlock_;
    StoreKeyInBlock(Gen(), block_, networkKey_);
}

void SimDevice::SetNetworkKey(const ambrel::Key16& key) {
    networkKey_ = key;
    StoreKeyInBlock(Gen(), block_, key);
    ++counters.keyChanges;
}

void SimDevice::ReplaceParameterBlock(std::vector<uint8_t> block) {
    block_ = std::move(block);
    ambrel::ByteReader reader(block_);
    if (auto key = reader.Bytes(LayoutOf(Gen()).networkKey, networkKey_.size())) {
        std::copy(key->begin(), key->end(), networkKey_.begin());
    }
}

void SimDevice::RestoreFactoryDefaults() {
    block_ = factoryBlock_;
    networkKey_ = ambrel::kDefaultNetworkKey;
    DropTransfers();
    ++counters.factoryResets;
}

void SimDevice::InstallFirmware(std::vector<uint8_t> image) {
    writtenFirmware_ = std::move(image);
    if (config_.versionAfterUpgrade) {
        firmwareVersion_ = config_.versionAfterUpgrade->substr(0, kVersionTextSize);
    }
    ++counters.firmwareUpgrades;
}

void SimDevice::Restart(uint64_t nowMs) {
    DropTransfers();
    silentUntilMs_ = nowMs + config_.restartSilenceMs;
    ++counters.restarts;
}

void SimDevice::DropTransfers() {
    stagedFirmware = {};
    stagedBlock = {};
    transaction.reset();
}

}  // namespace plcsim
