#include "DeviceModel.h"

namespace ambrel {

DeviceModel::DeviceModel() {
    transfer.buffer = pibImage;
}

namespace {
std::unique_ptr<DeviceModel>& Instance() {
    static std::unique_ptr<DeviceModel> model = std::make_unique<DeviceModel>();
    return model;
}
}  // namespace

DeviceModel& TheDeviceModel() {
    return *Instance();
}

void ResetDeviceModel() {
    Instance() = std::make_unique<DeviceModel>();
}

int FindStation(const MacAddress& mac) {
    const DeviceTable& table = TheDeviceModel().stationTable;
    for (int i = 0; i < table.count && i < kMaxStations; ++i) {
        if (table.records[static_cast<size_t>(i)].mac == mac)
            return i;
    }
    return -1;
}

}  // namespace ambrel
