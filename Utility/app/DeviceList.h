#pragma once

// The list the Network page shows and the workers act on, built from the
// station table of the local device's network: only stations that answer,
// no broadcast entries, remembered names and passwords merged in, and a
// unique default name for every other device.

#include <functional>

#include "DeviceModel.h"

namespace ambrel {

// Style of the default device names, chosen by string 575 of the language
// bundle ("EN" or "CN").
enum class NamingStyle : int {
    English = 0,  // "Device%i"
    Chinese = 1,  // the GBK word for "device" (C9 E8 B1 B8) followed by "%i"
};

// The process-wide choice; English until the start-up scan reads string 575.
NamingStyle& CurrentNamingStyle();

// Asks one station for its version; true when it answered (and its record in
// the station table has been updated).
using VersionQuery = std::function<bool(const MacAddress&)>;

// Rebuilds deviceList of the device model from its station table.
void BuildDeviceList(const VersionQuery& queryVersion);
// The same with the real version query of the protocol layer.
void BuildDeviceList();

// Copies the remembered name, password and join mark of the record's MAC
// into it. A name that does not fit 23 ANSI bytes, or a password that does
// not fit 19, is not merged (the field stays empty).
void MergeRemembered(DeviceRecord& record);

// Gives every record of all 32 slots with an empty name, or with a name that
// another slot also carries, the next free default name "Device<n>".
void AssignDefaultNames(DeviceTable& list, NamingStyle style);

}  // namespace ambrel
