#pragma once

// Replacing the local device's firmware and parameter block with the loaded
// firmwareImage and pibFileImage. The parameter file is adapted first: it
// keeps the device's own MAC address (taken from pibImage, which must hold
// the device's current block), and for the first generation a recomputed
// block checksum.

#include "MacAddress.h"

namespace ambrel {

enum class UpgradeImageProblem {
    None,
    NoFirmware,          // the firmware image is empty
    ParameterFileShort,  // too short to carry a MAC address at bytes 12 to 17
    ParameterLength,     // first generation: its length field is outside the file
};

// Whether the loaded images can be sent to a device of the given generation.
// Checked before anything is sent.
UpgradeImageProblem CheckUpgradeImages(bool secondGeneration);

// First generation: the firmware in write-chunk requests (module 1), then the
// parameter file (module 2), then the request that finishes the upgrade with
// the device key held in the local device's record.
bool UpgradeFirstGeneration(const MacAddress& mac);

// Second generation: one module-operation transaction announcing both
// modules, the parameter file first, then the firmware, then the commit.
bool UpgradeSecondGeneration(const MacAddress& mac);

}  // namespace ambrel
