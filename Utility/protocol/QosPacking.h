#pragma once

// The quality-of-service fields of the parameter block as the QoS page sees
// them (QosSettings, in DeviceModel.h): unpacking, packing and the presets.

#include <array>
#include <optional>
#include <span>

#include "DeviceModel.h"
#include "ParameterBlock.h"

namespace ambrel {

// The settings held by `block` at the fields of `layout`, or nothing when the
// block is too short to hold them.
std::optional<QosSettings> UnpackQos(std::span<const uint8_t> block, const PibLayout& layout);

// Packs `settings` into the fields of `layout`. Priority values are taken
// modulo 4 (two bits each), so a bad value never spills into its neighbours.
// False, with the block untouched, when it is too short.
bool PackQos(std::span<uint8_t> block, const PibLayout& layout, const QosSettings& settings);

// currentQos from pibImage, and `settings` into pibImage, at the fields of
// the local device's generation.
void LoadQosFromPib();
void StoreQosToPib(const QosSettings& settings);

// The four presets of the QoS page: base priorities 1, 1, 3, 2, the VLAN map
// on, the TOS map off, the same eight entries in both maps.
inline constexpr int kQosPresetCount = 4;
QosSettings QosPreset(int index);

// The preset that `settings` equals, or nothing (custom settings).
std::optional<int> RecognisePreset(const QosSettings& settings);

}  // namespace ambrel
