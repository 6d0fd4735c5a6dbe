#include "DeviceModel.h"

namespace ambrel {

DeviceModel::DeviceModel() { transfer.buffer = pibImage; }

namespace {
std::unique_ptr<DeviceModel>& Instance() {
    static std::unique_ptr<DeviceModel> model = std::make_unique<DeviceModel>();
    return model;
}
}  // namespace

DeviceModel& TheDeviceModel() { return *Instance(); }

void ResetDeviceModel() { Instance() = std::make_unique<DeviceModel>(); }

}  // namespace ambrel
