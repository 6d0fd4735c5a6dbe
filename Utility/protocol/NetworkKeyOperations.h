#pragma once

// Moving devices between powerline networks: the local device into a
// network named by the user, and a new device into the user's network by the
// password printed on it.

#include "MacAddress.h"

namespace ambrel {

// The local device takes the key of KeyRequest networkName. On success the
// local device's network key and name in the model describe the new network.
bool JoinLocalToNetwork(const MacAddress& localMac);

// Pairs the device that owns KeyRequest password: it and the local device
// meet in a temporary network of a random key, the new device is found as
// the only station there (addedDeviceMac), the local device returns to its
// network and hands the new device the network's key. Whenever the local
// device has left its network and a later step fails, it is put back.
// Refused without sending when the local device's current key is unknown
// (all zero): without it the local device could not be put back.
bool AddDeviceByPassword(const MacAddress& localMac);

}  // namespace ambrel
