#pragma once

#include "DeviceModel.h"
#include "MacAddress.h"

namespace ambrel {

// Looks through every adapter for the powerline device plugged into the PC;
// the first adapter with a device wins and stays selected.
bool ScanForLocalDevice();

// Asks one device for its identifier and firmware version.
bool QueryVersion(const MacAddress& destination);

// Asks the local device for the stations of its network; rewrites the
// station table.
bool QueryNetworkInfo(const MacAddress& localMac);

// After QueryNetworkInfo: clears localQuery and asks every station for its
// version, in table order.
void QueryStationVersions();

}  // namespace ambrel
