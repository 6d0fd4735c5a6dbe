#pragma once

// One simulated powerline device: its identity, its keys, its parameter
// block and what has been written to it.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "DeviceBlock.h"
#include "KeyDerivation.h"
#include "MacAddress.h"

namespace plcsim {

inline constexpr size_t kVersionTextSize = 128;

// How a device is set up. Unset optional fields take the factory values.
struct DeviceConfig {
    ambrel::MacAddress mac{};
    uint8_t deviceId = 2;
    std::string firmwareVersion = "PLCSIM-FW-1.0.0";  // at most 128 bytes
    std::optional<std::string> password{};            // default: DefaultDevicePassword(mac)
    std::optional<ambrel::Key16> networkKey{};        // default: the default network's key
    uint8_t rateMbps = 100;
    bool answersVersion = true;
    std::optional<uint32_t> blockLength{};  // default 15560 / 9040 by generation
    // When set, the whole block (otherwise a generated one). Its network key
    // field is overwritten by the device's network key.
    std::optional<std::vector<uint8_t>> parameterBlock{};
    // Version text a successful firmware upgrade installs; unchanged if unset.
    std::optional<std::string> versionAfterUpgrade{};
    // How long the device stays silent after a restart.
    uint32_t restartSilenceMs = 0;
};

// A module received chunk by chunk (first generation) that waits for its
// commit.
struct StagedModule {
    std::vector<uint8_t> bytes;
    bool active = false;
};

// An open module-operation write transaction (second generation).
struct ModuleTransaction {
    struct Module {
        uint16_t id = 0;
        uint32_t length = 0;
        uint32_t checksum = 0;
        std::vector<uint8_t> received;
    };
    uint32_t id = 0;
    std::vector<Module> modules;
};

struct DeviceCounters {
    unsigned restarts = 0;
    unsigned factoryResets = 0;
    unsigned keyChanges = 0;
    unsigned blockCommits = 0;
    unsigned firmwareUpgrades = 0;
};

class SimDevice {
public:
    explicit SimDevice(DeviceConfig config);

    const ambrel::MacAddress& Mac() const { return config_.mac; }
    uint8_t DeviceId() const { return config_.deviceId; }
    Generation Gen() const { return GenerationOf(config_.deviceId); }
    const std::string& FirmwareVersion() const { return firmwareVersion_; }
    const std::string& Password() const { return password_; }
    const ambrel::Key16& DeviceAccessKey() const { return deviceAccessKey_; }
    uint8_t RateMbps() const { return config_.rateMbps; }
    bool AnswersVersion() const { return config_.answersVersion; }
    uint32_t RestartSilenceMs() const { return config_.restartSilenceMs; }

    const ambrel::Key16& NetworkKey() const { return networkKey_; }
    // Changes the key and the key field of the parameter block with it.
    void SetNetworkKey(const ambrel::Key16& key);

    const std::vector<uint8_t>& ParameterBlock() const { return block_; }
    // Installs a new block (a commit or an upgrade). The device's network key
    // becomes the one the block carries.
    void ReplaceParameterBlock(std::vector<uint8_t> block);

    // Back to the default network's key and the factory block; drops every
    // transfer in progress.
    void RestoreFactoryDefaults();

    // Records an applied firmware image.
    void InstallFirmware(std::vector<uint8_t> image);
    const std::vector<uint8_t>& WrittenFirmware() const { return writtenFirmware_; }

    // Restart: drops transfers and stays silent for the configured time.
    void Restart(uint64_t nowMs);
    bool IsSilent(uint64_t nowMs) const { return nowMs < silentUntilMs_; }

    DeviceCounters counters;
    // Chunked writes in progress (first generation): firmware and block.
    StagedModule stagedFirmware;
    StagedModule stagedBlock;
    std::optional<ModuleTransaction> transaction;

private:
    void DropTransfers();

    DeviceConfig config_;
    std::string firmwareVersion_;
    std::string password_;
    ambrel::Key16 deviceAccessKey_{};
    ambrel::Key16 networkKey_{};
    std::vector<uint8_t> block_;
    std::vector<uint8_t> factoryBlock_;
    std::vector<uint8_t> writtenFirmware_;
    uint64_t silentUntilMs_ = 0;
};

}  // namespace plcsim
