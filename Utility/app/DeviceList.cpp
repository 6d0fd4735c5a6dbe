#include "DeviceList.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "AnsiText.h"
#include "AppSettings.h"
#include "Discovery.h"
#include "RememberedDevices.h"

namespace ambrel {
namespace {

constexpr size_t kNameBytes = 23;      // of the 24-byte name field
constexpr size_t kPasswordBytes = 19;  // the whole password field

std::string DefaultName(NamingStyle style, int number) {
    std::string prefix = style == NamingStyle::Chinese ? "\xC9\xE8\xB1\xB8" : "Device";
    return prefix + std::to_string(number);
}

bool NameTakenByOther(const DeviceTable& list, size_t slot, std::string_view name) {
    for (size_t other = 0; other < list.records.size(); ++other) {
        if (other != slot && FieldText(list.records[other].name) == name)
            return true;
    }
    return false;
}

}  // namespace

NamingStyle& CurrentNamingStyle() {
    static NamingStyle style = NamingStyle::English;
    return style;
}

void BuildDeviceList(const VersionQuery& queryVersion) {
    DeviceModel& model = TheDeviceModel();
    DeviceTable& list = model.deviceList;
    list = DeviceTable();

    model.localQuery = 0;
    size_t stations = std::min<size_t>(model.stationTable.count, kMaxStations);
    for (size_t i = 0; i < stations; ++i) {
        if (!queryVersion(model.stationTable.records[i].mac))
            continue;
        list.records[list.count++] = model.stationTable.records[i];
    }

    // Broadcast entries go; every record that stays gets its remembered data.
    // (Each record is tested, including one that moved down into the place
    // of a removed one.)
    size_t k = 0;
    while (k < list.count) {
        if (list.records[k].mac == kBroadcastMac) {
            std::move(list.records.begin() + static_cast<std::ptrdiff_t>(k) + 1,
                      list.records.begin() + list.count,
                      list.records.begin() + static_cast<std::ptrdiff_t>(k));
            --list.count;
            list.records[list.count] = DeviceRecord();
            continue;
        }
        MergeRemembered(list.records[k]);
        ++k;
    }
    AssignDefaultNames(list, CurrentNamingStyle());
}

void BuildDeviceList() {
    BuildDeviceList(QueryVersion);
}

void MergeRemembered(DeviceRecord& record) {
    int index = FindRemembered(record.mac);
    if (index < 0)
        return;
    const RememberedDevice& entry = rememberedDevices()[static_cast<size_t>(index)];
    uint16_t language = TheAppSettings().LanguageNumber();

    record.name.fill('\0');
    if (auto name = ToAnsiBuffer(entry.Name, kNameBytes + 1, language)) {
        SetFieldText(record.name, *name);
    }
    record.password.fill('\0');
    if (auto password = ToAnsiBuffer(entry.PSW, kPasswordBytes + 1, language)) {
        SetFieldText(record.password, *password);
    }
    record.passwordOk = static_cast<uint8_t>(entry.OK & 0xFF);
}

void AssignDefaultNames(DeviceTable& list, NamingStyle style) {
    int number = 0;
    for (size_t slot = 0; slot < list.records.size(); ++slot) {
        std::string_view name = FieldText(list.records[slot].name);
        if (!name.empty() && !NameTakenByOther(list, slot, name))
            continue;
        std::string candidate;
        do {
            candidate = DefaultName(style, ++number);
        } while (NameTakenByOther(list, slot, candidate));
        SetFieldText(list.records[slot].name, candidate);
    }
}

}  // namespace ambrel
