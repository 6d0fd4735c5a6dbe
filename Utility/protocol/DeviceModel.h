#pragma once

// Everything the program knows about the powerline devices: one
// process-wide record shared by the pages and the worker routines.

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "CaptureBackend.h"
#include "DeviceRecord.h"

namespace ambrel {

inline constexpr int kMaxAdapters = 8;
inline constexpr int kMaxStations = 32;
inline constexpr size_t kPibImageSize = 20000;
inline constexpr uint32_t kFirstGenerationPibLength = 15560;
inline constexpr uint32_t kSecondGenerationPibLimit = 9040;
inline constexpr size_t kMaxFirmwareFile = 0x200000;
inline constexpr size_t kMaxPibFile = 0x100000;

struct AdapterRecord {
    std::unique_ptr<CaptureHandle> handle;  // open capture handle, or none
    MacAddress mac{};                       // all zero until learned
};

// A count and 32 records; records at and beyond the count carry no meaning.
struct DeviceTable {
    uint8_t count = 0;
    std::array<DeviceRecord, kMaxStations> records{};
};

// Chunk bookkeeping of parameter block reads and writes and of upgrades.
struct TransferState {
    std::span<uint8_t> buffer;  // where chunks are read into or written from
    uint32_t totalLength = kFirstGenerationPibLength;
    uint32_t offset = 0;
    uint16_t chunkLength = 0;
    uint32_t received = 0;
    uint32_t twoModules = 0;
    uint32_t transactionId = 0;
};

// The 22 QoS values of the parameter block as the QoS page sees them.
struct QosSettings {
    std::array<uint8_t, 4> basePriorities{};
    uint8_t vlanMapEnabled = 0;
    uint8_t tosMapEnabled = 0;
    std::array<uint8_t, 8> vlanPriorityMap{};
    std::array<uint8_t, 8> tosPriorityMap{};
};
static_assert(sizeof(QosSettings) == 22);

struct DeviceModel {
    DeviceModel();

    // Adapter table.
    std::array<AdapterRecord, kMaxAdapters> adapters;
    int32_t adapterCount = 0;
    int32_t selectedAdapter = 0;
    std::vector<std::string> captureDevices;  // kept until the adapters are closed
    std::vector<uint8_t> lastFrame;           // the frame delivered last by a poll
    std::string captureError;                 // the capture library's last message, never shown

    uint32_t localFound = 0;
    uint32_t localQuery = 0;
    uint32_t secondGeneration = 0;
    DeviceRecord localDevice;
    KeyRequestRecord keyRequest;
    DeviceTable stationTable;
    DeviceTable deviceList;
    int32_t selectedDevice = -1;
    MacAddress addedDeviceMac{};
    uint32_t setKeyLocal = 0;
    uint32_t setKeyByPassword = 0;

    TransferState transfer;
    std::array<uint8_t, kPibImageSize> pibImage{};
    // Set by a successful read of the parameter block, cleared when a read
    // starts: a block that was not read from the device is never written.
    uint32_t pibLoaded = 0;
    QosSettings currentQos;

    std::vector<uint8_t> firmwareImage;
    std::vector<uint8_t> pibFileImage;
    uint32_t upgradeRunning = 0;
};

// The process-wide instance, created zero-filled on first use.
DeviceModel& TheDeviceModel();

// Index of the first station below the count with this MAC, or -1.
int FindStation(const MacAddress& mac);

// Back to the start-up state (tests). Closes any open capture handles.
void ResetDeviceModel();

}  // namespace ambrel
