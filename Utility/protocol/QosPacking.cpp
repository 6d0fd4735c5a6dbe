#include "QosPacking.h"

#include <algorithm>

#include "ByteCursor.h"

namespace ambrel {

namespace {

constexpr std::array<uint8_t, 4> kPresetBasePriorities{1, 1, 3, 2};
constexpr std::array<std::array<uint8_t, 8>, kQosPresetCount> kPresetMaps{{
    {0, 0, 0, 0, 0, 0, 0, 0},
    {1, 0, 0, 1, 2, 2, 3, 3},
    {2, 0, 0, 1, 2, 2, 3, 3},
    {3, 0, 0, 1, 2, 2, 3, 3},
}};

// Priority value k (0 to 15) of the four map bytes.
uint8_t PriorityValue(std::span<const uint8_t> map, size_t k) {
    return static_cast<uint8_t>(map[k / 4] >> (2 * (k % 4)) & 3);
}

}  // namespace

std::optional<QosSettings> UnpackQos(std::span<const uint8_t> block, const PibLayout& layout) {
    ByteReader in(block);
    auto base = in.Bytes(layout.basePriorities, 4);
    auto switches = in.Bytes(layout.mapSwitches, 2);
    auto map = in.Bytes(layout.priorityMap, 4);
    if (!base || !switches || !map)
        return std::nullopt;
    QosSettings settings;
    std::copy(base->begin(), base->end(), settings.basePriorities.begin());
    settings.vlanMapEnabled = (*switches)[0];
    settings.tosMapEnabled = (*switches)[1];
    for (size_t k = 0; k < 8; ++k) {
        settings.vlanPriorityMap[k] = PriorityValue(*map, k);
        settings.tosPriorityMap[k] = PriorityValue(*map, k + 8);
    }
    return settings;
}

bool PackQos(std::span<uint8_t> block, const PibLayout& layout, const QosSettings& settings) {
    ByteWriter out(block);
    if (!out.Has(layout.basePriorities, 4) || !out.Has(layout.mapSwitches, 2) ||
        !out.Has(layout.priorityMap, 4)) {
        return false;
    }
    std::array<uint8_t, 16> values{};
    std::copy(settings.vlanPriorityMap.begin(), settings.vlanPriorityMap.end(), values.begin());
    std::copy(settings.tosPriorityMap.begin(), settings.tosPriorityMap.end(), values.begin() + 8);
    std::array<uint8_t, 4> map{};
    for (size_t k = 0; k < values.size(); ++k) {
        map[k / 4] = static_cast<uint8_t>(map[k / 4] | (values[k] & 3) << (2 * (k % 4)));
    }
    out.Bytes(layout.basePriorities, settings.basePriorities);
    out.U8(layout.mapSwitches, settings.vlanMapEnabled);
    out.U8(layout.mapSwitches + 1, settings.tosMapEnabled);
    out.Bytes(layout.priorityMap, map);
    return true;
}

void LoadQosFromPib() {
    DeviceModel& model = TheDeviceModel();
    if (auto settings = UnpackQos(model.pibImage, PibLayoutOf(model.secondGeneration != 0))) {
        model.currentQos = *settings;
    }
}

void StoreQosToPib(const QosSettings& settings) {
    DeviceModel& model = TheDeviceModel();
    PackQos(model.pibImage, PibLayoutOf(model.secondGeneration != 0), settings);
}

QosSettings QosPreset(int index) {
    QosSettings settings;
    const auto& map = kPresetMaps[static_cast<size_t>(std::clamp(index, 0, kQosPresetCount - 1))];
    settings.basePriorities = kPresetBasePriorities;
    settings.vlanMapEnabled = 1;
    settings.tosMapEnabled = 0;
    settings.vlanPriorityMap = map;
    settings.tosPriorityMap = map;
    return settings;
}

std::optional<int> RecognisePreset(const QosSettings& settings) {
    if (settings.vlanMapEnabled != 1 || settings.tosMapEnabled != 0)
        return std::nullopt;
    const int candidate = settings.vlanPriorityMap[0];
    if (candidate >= kQosPresetCount)
        return std::nullopt;
    const QosSettings preset = QosPreset(candidate);
    if (settings.vlanPriorityMap != preset.vlanPriorityMap ||
        settings.tosPriorityMap != preset.tosPriorityMap ||
        settings.basePriorities != preset.basePriorities) {
        return std::nullopt;
    }
    return candidate;
}

}  // namespace ambrel
