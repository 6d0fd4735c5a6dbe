#pragma once

// Single requests that reset a device or hand it a network membership key.
// Each builds its request from the device model, sends it through the
// selected adapter, waits for the confirmation and returns whether an
// accepted one arrived.

#include "MacAddress.h"

namespace ambrel {

// Restarts the device. True when the device confirmed the restart (callers
// may ignore it: a device that restarts at once may never confirm).
bool RestartDevice(const MacAddress& mac);

// Restores the device's factory defaults (its key included).
bool RestoreFactoryDefaults(const MacAddress& mac);

// A set-key request to the local device in the form the flags choose:
// setKeyLocal: the local device takes KeyRequest key itself;
// setKeyByPassword: the local device hands KeyRequest key to KeyRequest
// remoteMac, sealed with the device access key of KeyRequest password;
// neither: the local device hands its own network key to deviceList entry
// selectedDevice, sealed with the access key of that entry's password.
// The list form is refused without sending when selectedDevice names no
// listed entry or the local device's network key is unknown (all zero).
bool SetKey(const MacAddress& localMac);

// SetKey with KeyRequest remoteMac set to the broadcast address first: every
// device that owns the password takes the key.
bool SetKeyBroadcast(const MacAddress& localMac);

// SetKey with KeyRequest remoteMac set to the local device's MAC first, and
// a 20 ms pause between sending and waiting.
bool SetKeyOnLocal(const MacAddress& localMac);

}  // namespace ambrel
