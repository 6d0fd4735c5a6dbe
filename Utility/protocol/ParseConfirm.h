#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace ambrel {

// Examines one received confirmation and, when it is accepted, records what
// it says in the device model. Returns whether it was accepted. The frame is
// read only within its span; data is never copied past its destination.
bool ParseConfirm(std::span<const uint8_t> frame);

// The chip label of a device identifier, or an empty view for an unknown one.
std::string_view ChipLabel(uint32_t deviceId);

inline bool IsSecondGenerationId(uint32_t deviceId) {
    return deviceId == 0x20 || deviceId == 0x21;
}

}  // namespace ambrel
