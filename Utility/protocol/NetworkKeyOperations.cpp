#include "NetworkKeyOperations.h"

#include <algorithm>

#include "Clock.h"
#include "DeviceModel.h"
#include "DeviceOperations.h"
#include "Discovery.h"
#include "KeyDerivation.h"
#include "Progress.h"

namespace ambrel {

namespace {

constexpr uint32_t kBeforeTemporaryJoinMs = 1000;
constexpr uint32_t kTemporaryNetworkSettleMs = 10000;
constexpr uint32_t kBeforeReturnMs = 4000;
constexpr uint32_t kReturnSettleMs = 12000;
constexpr uint32_t kAfterHandOverMs = 3000;

// The local device goes back to the network of `oldKey`.
bool ReturnToNetwork(const MacAddress& localMac, const Key16& oldKey) {
    DeviceModel& model = TheDeviceModel();
    ReportProgress(Step::ReturningToNetwork);
    model.keyRequest.key = oldKey;
    model.setKeyLocal = 1;
    SleepMs(kBeforeReturnMs);
    return SetKeyOnLocal(localMac);
}

// Undoes the temporary network; the pairing has failed either way.
bool Restore(const MacAddress& localMac, const Key16& oldKey) {
    ReturnToNetwork(localMac, oldKey);
    return false;
}

}  // namespace

bool JoinLocalToNetwork(const MacAddress& localMac) {
    DeviceModel& model = TheDeviceModel();
    ReportProgress(Step::SettingKey);
    model.keyRequest.key = DeriveNetworkKey(FieldText(model.keyRequest.networkName));
    model.setKeyLocal = 1;
    if (!SetKeyOnLocal(localMac))
        return false;
    model.localDevice.networkKey = model.keyRequest.key;
    model.localDevice.networkName = model.keyRequest.networkName;
    return true;
}

bool AddDeviceByPassword(const MacAddress& localMac) {
    DeviceModel& model = TheDeviceModel();
    const Key16 oldKey = model.localDevice.networkKey;
    if (std::all_of(oldKey.begin(), oldKey.end(), [](uint8_t b) { return b == 0; })) {
        return false;
    }
    // Every request of the pairing carries the typed password.
    model.setKeyByPassword = 1;

    ReportProgress(Step::PairingNewDevice);
    RandomNetworkKey(model.keyRequest.key);
    model.setKeyLocal = 0;
    if (!SetKeyBroadcast(localMac))
        return false;

    ReportProgress(Step::JoiningTemporaryNetwork);
    model.setKeyLocal = 1;
    SleepMs(kBeforeTemporaryJoinMs);
    if (!SetKeyOnLocal(localMac))
        return Restore(localMac, oldKey);

    ReportProgress(Step::LookingForNewDevice);
    SleepMs(kTemporaryNetworkSettleMs);
    model.stationTable = DeviceTable{};
    if (!QueryNetworkInfo(localMac))
        return Restore(localMac, oldKey);
    if (model.stationTable.count != 1)
        return Restore(localMac, oldKey);

    const MacAddress newDevice = model.stationTable.records[0].mac;
    model.addedDeviceMac = newDevice;
    if (!ReturnToNetwork(localMac, oldKey))
        return Restore(localMac, oldKey);

    ReportProgress(Step::HandingKeyToNewDevice);
    SleepMs(kReturnSettleMs);
    model.setKeyLocal = 0;
    model.keyRequest.remoteMac = newDevice;
    if (!SetKey(localMac))
        return false;
    ReportProgress(Step::Settling);
    SleepMs(kAfterHandOverMs);
    return true;
}

}  // namespace ambrel
