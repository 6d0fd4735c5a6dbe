#pragma once

// What the start-up scan and a Network page refresh ask of the devices:
// the local device, its stations, the device list and the parameter block.
// The windows add only what they show.

namespace ambrel {

// The start-up scan before the main window is first shown. Lists and opens
// the adapters, takes the naming style from `namingStyleText` (string 575:
// "EN" or "CN"; anything else keeps the current style), looks for the local
// device and records `localFound`. Without a local device it stops there and
// returns false (the window shows its no-device message and no list).
// Otherwise it reads the stations, builds the device list, reads the
// parameter block (taking the QoS settings and the network key from it when
// the read succeeds) and returns true.
bool StartupScan(const char* namingStyleText);

// The device part of a Network page refresh: the scan (recording
// `localFound`), the stations (the table cleared first), the device list and
// the parameter block. It goes on without a local device, whose absence it
// returns as false for the page to report.
bool RefreshDeviceModel();

}  // namespace ambrel
