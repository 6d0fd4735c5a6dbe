#include "DeviceOperations.h"

#include <algorithm>
#include <optional>

#include "BuildRequest.h"
#include "ByteCursor.h"
#include "Clock.h"
#include "DeviceModel.h"
#include "KeyDerivation.h"
#include "ParseConfirm.h"
#include "Transport.h"

namespace ambrel {

namespace {

constexpr uint16_t kRestartTicks = 1;
constexpr uint16_t kFactoryDefaultsTicks = 1;
constexpr uint16_t kSetKeyTicks = 5;
constexpr uint32_t kPauseBeforeLocalKeyWaitMs = 20;

bool IsZeroKey(const Key16& key) {
    return std::all_of(key.begin(), key.end(), [](uint8_t b) { return b == 0; });
}

// The device access key that seals the key in the form the flags choose, or
// nothing when the list form has no usable entry or no key to hand on.
std::optional<Key16> AccessKeyOfForm() {
    const DeviceModel& model = TheDeviceModel();
    if (model.setKeyLocal)
        return Key16{};
    if (model.setKeyByPassword) {
        const auto& password = model.keyRequest.password;
        return DeriveDeviceKey(std::string_view(password.data(), password.size()));
    }
    if (model.selectedDevice < 0 || model.selectedDevice >= model.deviceList.count ||
        model.selectedDevice >= kMaxStations || IsZeroKey(model.localDevice.networkKey)) {
        return std::nullopt;
    }
    const auto& password =
        model.deviceList.records[static_cast<size_t>(model.selectedDevice)].password;
    return DeriveDeviceKey(std::string_view(password.data(), password.size()));
}

// Sends the set-key request of the current form and waits for its
// confirmation, after an optional pause.
bool SendSetKey(const MacAddress& localMac, uint32_t pauseBeforeWaitMs) {
    if (IsZeroMac(localMac))
        return false;
    auto accessKey = AccessKeyOfForm();
    if (!accessKey)
        return false;
    FrameBuffer transmit{};
    FrameBuffer receive{};
    uint16_t length = BuildRequest(transmit, SourceMac(), localMac, MessageType::SetKey,
                                   kNoModuleOp, &*accessKey);
    if (length == 0 || !SendFrame(transmit, length))
        return false;
    if (pauseBeforeWaitMs > 0)
        SleepMs(pauseBeforeWaitMs);
    if (!WaitForConfirm(receive, static_cast<uint16_t>(MessageType::SetKey), kSetKeyTicks)) {
        return false;
    }
    return ParseConfirm(receive);
}

}  // namespace

bool RestartDevice(const MacAddress& mac) {
    if (IsZeroMac(mac))
        return false;
    FrameBuffer transmit{};
    FrameBuffer receive{};
    uint16_t length = BuildRequest(transmit, SourceMac(), mac, MessageType::Restart);
    if (length == 0 || !SendFrame(transmit, length))
        return false;
    if (!WaitForConfirm(receive, static_cast<uint16_t>(MessageType::Restart), kRestartTicks)) {
        return false;
    }
    // The confirmation parser has no business with this type; the vendor and
    // the status are all there is to check.
    ByteReader in(receive);
    auto vendor = in.Bytes(header::kVendor, kVendorId.size());
    auto status = in.U8(header::kPayload);
    return vendor && std::equal(vendor->begin(), vendor->end(), kVendorId.begin()) && status == 0;
}

bool RestoreFactoryDefaults(const MacAddress& mac) {
    if (IsZeroMac(mac))
        return false;
    return Exchange(mac, MessageType::FactoryDefaults, kFactoryDefaultsTicks).accepted;
}

bool SetKey(const MacAddress& localMac) {
    return SendSetKey(localMac, 0);
}

bool SetKeyBroadcast(const MacAddress& localMac) {
    TheDeviceModel().keyRequest.remoteMac = kBroadcastMac;
    return SendSetKey(localMac, 0);
}

bool SetKeyOnLocal(const MacAddress& localMac) {
    DeviceModel& model = TheDeviceModel();
    model.keyRequest.remoteMac = model.localDevice.mac;
    return SendSetKey(localMac, kPauseBeforeLocalKeyWaitMs);
}

}  // namespace ambrel
