#include "DeviceRefresh.h"

#include <string_view>

#include "DeviceList.h"
#include "DeviceModel.h"
#include "Discovery.h"
#include "ParameterBlock.h"
#include "QosPacking.h"
#include "Transport.h"

namespace ambrel {

namespace {

// Reads the parameter block and, when that works, takes the QoS settings and
// the network key from it; an unreadable block leaves the model as it was.
void ReadLocalParameterBlock() {
    if (ReadParameterBlock(TheDeviceModel().localDevice.mac)) {
        LoadQosFromPib();
        LoadNetworkKeyFromPib();
    }
}

}  // namespace

bool StartupScan(const char* namingStyleText) {
    DeviceModel& model = TheDeviceModel();
    if (EnumerateAdapters()) {
        for (int i = 0; i < model.adapterCount; ++i)
            OpenAdapter(i);
    }
    const std::string_view style = namingStyleText != nullptr ? namingStyleText : "";
    if (style == "EN") {
        CurrentNamingStyle() = NamingStyle::English;
    } else if (style == "CN") {
        CurrentNamingStyle() = NamingStyle::Chinese;
    }
    model.localFound = ScanForLocalDevice() ? 1 : 0;
    if (!model.localFound)
        return false;
    QueryNetworkInfo(model.localDevice.mac);
    BuildDeviceList();
    ReadLocalParameterBlock();
    return true;
}

bool RefreshDeviceModel() {
    DeviceModel& model = TheDeviceModel();
    model.localFound = ScanForLocalDevice() ? 1 : 0;
    model.stationTable = DeviceTable{};
    QueryNetworkInfo(model.localDevice.mac);
    BuildDeviceList();
    ReadLocalParameterBlock();
    return model.localFound != 0;
}

}  // namespace ambrel
