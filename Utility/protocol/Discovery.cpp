#include "Discovery.h"

#include "BuildRequest.h"
#include "Clock.h"
#include "DeviceModel.h"
#include "ParseConfirm.h"
#include "Transport.h"

namespace ambrel {

namespace {

constexpr uint16_t kVersionTicks = 1;
constexpr uint16_t kNetworkInfoTicks = 5;
constexpr uint32_t kPauseAfterVersionMs = 20;

enum class VersionOutcome { NotSent, NoAnswer, Answered };

// Sends a version request (not when the adapter's MAC was never learned) and
// waits for its confirmation, left in `receive`.
VersionOutcome SendVersionRequest(const MacAddress& destination, FrameBuffer& receive) {
    FrameBuffer transmit{};
    receive.fill(0);
    MacAddress source = SourceMac();
    if (IsZeroMac(source))
        return VersionOutcome::NotSent;
    uint16_t length = BuildRequest(transmit, source, destination, MessageType::Version);
    if (!SendFrame(transmit, length))
        return VersionOutcome::NotSent;
    return WaitForConfirm(receive, static_cast<uint16_t>(MessageType::Version), kVersionTicks)
               ? VersionOutcome::Answered
               : VersionOutcome::NoAnswer;
}

// First look behind one adapter: does anything answer the management address?
bool ProbeAdapter() {
    FrameBuffer receive{};
    if (SendVersionRequest(kLocalManagementAddress, receive) != VersionOutcome::Answered) {
        return false;
    }
    ParseConfirm(receive);
    return true;
}

}  // namespace

bool QueryVersion(const MacAddress& destination) {
    FrameBuffer receive{};
    VersionOutcome outcome = SendVersionRequest(destination, receive);
    if (outcome == VersionOutcome::NotSent)
        return false;
    bool accepted = outcome == VersionOutcome::Answered && ParseConfirm(receive);
    SleepMs(kPauseAfterVersionMs);
    return accepted;
}

bool ScanForLocalDevice() {
    DeviceModel& model = TheDeviceModel();
    CloseAdapters();
    if (EnumerateAdapters()) {
        for (int i = 0; i < model.adapterCount; ++i)
            OpenAdapter(i);
    }
    model.localQuery = 1;
    for (int i = 0; i < model.adapterCount; ++i) {
        model.selectedAdapter = i;
        if (ProbeAdapter() && QueryVersion(kLocalManagementAddress))
            return true;
    }
    return false;
}

bool QueryNetworkInfo(const MacAddress& localMac) {
    FrameBuffer transmit{};
    FrameBuffer receive{};
    uint16_t length = BuildRequest(transmit, SourceMac(), localMac, MessageType::NetworkInfo);
    if (!SendFrame(transmit, length))
        return false;
    if (!WaitForConfirm(receive, static_cast<uint16_t>(MessageType::NetworkInfo),
                        kNetworkInfoTicks)) {
        return false;
    }
    ParseConfirm(receive);
    return true;
}

void QueryStationVersions() {
    DeviceModel& model = TheDeviceModel();
    model.localQuery = 0;
    for (int i = 0; i < model.stationTable.count && i < kMaxStations; ++i) {
        QueryVersion(model.stationTable.records[static_cast<size_t>(i)].mac);
    }
}

}  // namespace ambrel
