#include "WorkerRoutines.h"

#include <algorithm>

#include "ByteCursor.h"
#include "Clock.h"
#include "DeviceModel.h"
#include "DeviceOperations.h"
#include "Discovery.h"
#include "NetworkKeyOperations.h"
#include "ParameterBlock.h"
#include "Progress.h"
#include "QosPacking.h"
#include "Upgrade.h"

namespace ambrel {

namespace {

constexpr int kScanAttempts = 4;
constexpr uint32_t kBetweenScansMs = 2000;
constexpr uint32_t kAfterResetMs = 4000;
constexpr uint32_t kBetweenRemoteResetsMs = 100;
constexpr uint32_t kAfterLocalKeyMs = 4000;
constexpr uint32_t kBeforeRemoteKeysMs = 12000;
constexpr uint32_t kAfterRemoteKeyMs = 8000;
constexpr uint32_t kAfterJoinMs = 5000;
constexpr uint32_t kAfterUpgradeMs = 10000;

WParam Outcome(bool success) {
    return success ? kReportSuccess : kReportFailure;
}

void Settle(uint32_t milliseconds) {
    ReportProgress(Step::Settling);
    SleepMs(milliseconds);
}

// Up to four scans, 2 s after each one that finds nothing.
void ScanWithRetries() {
    DeviceModel& model = TheDeviceModel();
    for (int attempt = 0; attempt < kScanAttempts; ++attempt) {
        ReportProgress(Step::ScanningForLocalDevice, static_cast<uint32_t>(attempt + 1),
                       kScanAttempts);
        model.localFound = ScanForLocalDevice() ? 1 : 0;
        if (model.localFound)
            return;
        SleepMs(kBetweenScansMs);
    }
}

// deviceList entries below the count that answered and whose password was
// accepted, in list order.
template <typename Visit>
void ForEachMarkedDevice(Visit visit) {
    DeviceModel& model = TheDeviceModel();
    const size_t count = std::min<size_t>(model.deviceList.count, kMaxStations);
    for (size_t i = 0; i < count; ++i) {
        DeviceRecord& entry = model.deviceList.records[i];
        if (entry.answered == 1 && entry.passwordOk == 1)
            visit(entry);
    }
}

uint32_t MarkedDeviceCount() {
    uint32_t count = 0;
    ForEachMarkedDevice([&count](DeviceRecord&) { ++count; });
    return count;
}

}  // namespace

std::unique_lock<std::recursive_mutex> LockDeviceOperations() {
    static std::recursive_mutex mutex;
    return std::unique_lock(mutex);
}

void FactoryResetLocalThread(WindowHandle window) {
    WParam outcome;
    {
        auto lock = LockDeviceOperations();
        ScanWithRetries();
        ReportProgress(Step::ResettingDevice);
        outcome = Outcome(RestoreFactoryDefaults(TheDeviceModel().localDevice.mac));
        Settle(kAfterResetMs);
    }
    Report(window, ResultMessage::DeviceOpDone, outcome);
}

bool RestartLocalThread() {
    auto lock = LockDeviceOperations();
    ScanWithRetries();
    ReportProgress(Step::RestartingDevice);
    const bool confirmed = RestartDevice(TheDeviceModel().localDevice.mac);
    Settle(kAfterResetMs);
    return confirmed;
}

void FactoryResetAllThread(WindowHandle window) {
    WParam outcome;
    {
        auto lock = LockDeviceOperations();
        bool everyOne = true;
        const uint32_t total = MarkedDeviceCount() + 1;
        uint32_t done = 0;
        ForEachMarkedDevice([&](DeviceRecord& entry) {
            ReportProgress(Step::ResettingDevice, ++done, total);
            everyOne = RestoreFactoryDefaults(entry.mac) && everyOne;
            SleepMs(kBetweenRemoteResetsMs);
        });
        ReportProgress(Step::ResettingDevice, ++done, total);
        everyOne = RestoreFactoryDefaults(TheDeviceModel().localDevice.mac) && everyOne;
        Settle(kAfterResetMs);
        outcome = Outcome(everyOne);
    }
    Report(window, ResultMessage::DeviceOpDone, outcome);
}

void SetNetworkLocalThread(WindowHandle window) {
    WParam outcome;
    {
        auto lock = LockDeviceOperations();
        outcome = Outcome(JoinLocalToNetwork(TheDeviceModel().localDevice.mac));
        Settle(kAfterLocalKeyMs);
    }
    Report(window, ResultMessage::DeviceOpDone, outcome);
}

void SetNetworkAllThread(WindowHandle window) {
    WParam outcome = kReportFailure;
    {
        auto lock = LockDeviceOperations();
        DeviceModel& model = TheDeviceModel();
        const MacAddress localMac = model.localDevice.mac;
        const bool joined = JoinLocalToNetwork(localMac);
        Settle(kBeforeRemoteKeysMs);
        if (joined) {
            const uint32_t total = MarkedDeviceCount();
            uint32_t done = 0;
            ForEachMarkedDevice([&](DeviceRecord& entry) {
                ReportProgress(Step::SettingKey, ++done, total);
                model.keyRequest.remoteMac = entry.mac;
                model.keyRequest.password = entry.password;
                model.setKeyLocal = 0;
                model.setKeyByPassword = 1;
                SetKey(localMac);
                Settle(kAfterRemoteKeyMs);
            });
            outcome = kReportSuccess;
        }
    }
    Report(window, ResultMessage::DeviceOpDone, outcome);
}

void JoinListedDeviceThread(WindowHandle window) {
    WParam outcome;
    {
        auto lock = LockDeviceOperations();
        ReportProgress(Step::SettingKey);
        outcome = Outcome(SetKey(TheDeviceModel().localDevice.mac));
        Settle(kAfterJoinMs);
    }
    Report(window, ResultMessage::AddDeviceDone, outcome);
}

void JoinNewDeviceThread(WindowHandle window) {
    WParam outcome;
    {
        auto lock = LockDeviceOperations();
        outcome = Outcome(AddDeviceByPassword(TheDeviceModel().localDevice.mac));
        Settle(kAfterJoinMs);
    }
    Report(window, ResultMessage::AddDeviceDone, outcome);
}

void QosReadThread(WindowHandle window) {
    WParam code;
    {
        auto lock = LockDeviceOperations();
        DeviceModel& model = TheDeviceModel();
        ReportProgress(Step::ScanningForLocalDevice);
        model.localFound = ScanForLocalDevice() ? 1 : 0;
        if (!model.localFound) {
            code = kQosNoLocalDevice;
        } else if (ReadParameterBlock(model.localDevice.mac)) {
            LoadQosFromPib();
            code = kQosRead;
        } else {
            code = kQosReadFailed;
        }
    }
    CloseWaitingBox();
    Report(window, ResultMessage::QosReadDone, code);
}

void UpgradeThread(WindowHandle window) {
    WParam outcome = kReportFailure;
    {
        auto lock = LockDeviceOperations();
        DeviceModel& model = TheDeviceModel();
        model.upgradeRunning = 1;
        const MacAddress mac = model.localDevice.mac;
        const bool second = model.secondGeneration != 0;
        if (CheckUpgradeImages(second) == UpgradeImageProblem::None && ReadParameterBlock(mac)) {
            const size_t keyOffset = PibLayoutOf(second).deviceKey;
            if (auto key = ByteReader(model.pibImage).Bytes(keyOffset, 16)) {
                std::copy(key->begin(), key->end(), model.localDevice.deviceKey.begin());
            }
            const bool upgraded =
                second ? UpgradeSecondGeneration(mac) : UpgradeFirstGeneration(mac);
            Settle(kAfterUpgradeMs);
            outcome = Outcome(upgraded);
        }
        model.upgradeRunning = 0;
    }
    Report(window, ResultMessage::UpgradeDone, outcome);
}

}  // namespace ambrel
