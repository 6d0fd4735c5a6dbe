#include "RememberedDevices.h"

#include <algorithm>
#include <string>

#include "AnsiText.h"
#include "AppSettings.h"
#include "IniFile.h"

namespace ambrel {
namespace {

std::string SectionName(int index) {
    return "Device" + std::to_string(index);
}

int Append(const MacAddress& mac, std::u16string_view name, std::u16string_view password, int ok) {
    AppSettings& settings = TheAppSettings();
    if (settings.deviceNum >= kMaxRememberedDevices)
        return kNotRemembered;
    int index = settings.deviceNum;
    rememberedDevices()[static_cast<size_t>(index)] =
        RememberedDevice{std::u16string(name), std::u16string(password), MacToHex(mac), ok};
    ++settings.deviceNum;
    return index;
}

}  // namespace

RememberedDeviceTable& rememberedDevices() {
    static RememberedDeviceTable table;
    return table;
}

int RememberedCount() {
    return std::clamp(TheAppSettings().deviceNum, 0, kMaxRememberedDevices);
}

bool LoadRememberedDevices() {
    std::optional<std::filesystem::path> path = SettingsLoadPath();
    if (!path)
        return false;
    std::optional<IniDocument> file = IniDocument::Load(*path);
    if (!file)
        return false;
    uint16_t language = TheAppSettings().LanguageNumber();
    for (int i = 0; i < RememberedCount(); ++i) {
        std::string section = SectionName(i);
        RememberedDevice& entry = rememberedDevices()[static_cast<size_t>(i)];
        entry.Name = DecodeSettingsText(file->GetString(section, "Name", ""), language,
                                        kMaxSettingsTextUnits);
        entry.PSW = DecodeSettingsText(file->GetString(section, "PSW", ""), language,
                                       kMaxSettingsTextUnits);
        std::string mac = file->GetString(section, "MAC", "");
        entry.MAC = mac.substr(0, kMaxSettingsTextUnits);
        entry.OK = file->GetInt(section, "OK", 0);
    }
    return true;
}

bool SaveRememberedDevices() {
    std::filesystem::path path = SettingsSavePath();
    IniDocument file = IniDocument::Load(path).value_or(IniDocument());
    for (int i = 0; i < RememberedCount(); ++i) {
        std::string section = SectionName(i);
        const RememberedDevice& entry = rememberedDevices()[static_cast<size_t>(i)];
        file.Set(section, "Name", EncodeSettingsText(entry.Name));
        file.Set(section, "PSW", EncodeSettingsText(entry.PSW));
        file.Set(section, "MAC", entry.MAC);
        file.Set(section, "OK", entry.OK != 0 ? "1" : "0");
    }
    return file.Save(path);
}

int FindRemembered(const MacAddress& mac) {
    if (IsZeroMac(mac))
        return -1;
    std::string text = MacToHex(mac);
    for (int i = 0; i < RememberedCount(); ++i) {
        if (rememberedDevices()[static_cast<size_t>(i)].MAC == text)
            return i;
    }
    return -1;
}

int RememberListedDevice(const MacAddress& mac, std::u16string_view name,
                         std::u16string_view password) {
    int index = FindRemembered(mac);
    if (index < 0)
        return Append(mac, name, password, 0);
    RememberedDevice& entry = rememberedDevices()[static_cast<size_t>(index)];
    entry.Name = name;
    entry.PSW = password;
    return index;
}

void SetRememberedResult(int index, bool joined) {
    if (index < 0 || index >= RememberedCount())
        return;
    rememberedDevices()[static_cast<size_t>(index)].OK = joined ? 1 : 0;
}

int RememberJoinedDevice(const MacAddress& mac, std::u16string_view name,
                         std::u16string_view password) {
    if (IsZeroMac(mac))
        return kNotRemembered;
    int index = FindRemembered(mac);
    if (index < 0)
        return Append(mac, name, password, 1);
    RememberedDevice& entry = rememberedDevices()[static_cast<size_t>(index)];
    entry.Name = name;
    entry.PSW = password;
    entry.OK = 1;
    return index;
}

void ResetRememberedDevices() {
    rememberedDevices().fill(RememberedDevice());
}

}  // namespace ambrel
