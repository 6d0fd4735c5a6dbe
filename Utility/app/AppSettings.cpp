#include "AppSettings.h"

#include <algorithm>
#include <cctype>
#include <system_error>

#include "AnsiText.h"
#include "IniFile.h"
#include "RememberedDevices.h"

namespace ambrel {
namespace {

bool SameNameNoCase(const std::string& a, const std::string& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) ==
               std::tolower(static_cast<unsigned char>(y));
    });
}

// `name` in `directory`, preferring the exact spelling, else any spelling.
std::optional<std::filesystem::path> FindFileNoCase(const std::filesystem::path& directory,
                                                    const std::string& name) {
    std::error_code error;
    std::filesystem::path exact = directory / name;
    if (std::filesystem::is_regular_file(exact, error))
        return exact;
    std::filesystem::directory_iterator it(directory.empty() ? "." : directory, error);
    if (error)
        return std::nullopt;
    for (const std::filesystem::directory_entry& entry : it) {
        if (SameNameNoCase(entry.path().filename().string(), name) &&
            entry.is_regular_file(error)) {
            return directory / entry.path().filename();
        }
    }
    return std::nullopt;
}

const char* Flag(int value) {
    return value != 0 ? "1" : "0";
}

}  // namespace

AppSettings& TheAppSettings() {
    static AppSettings settings;
    return settings;
}

void CaptureStartupDirectory() {
    std::error_code error;
    TheAppSettings().startupDirectory = std::filesystem::current_path(error);
}

std::optional<std::filesystem::path> SettingsLoadPath() {
    if (auto path = FindFileNoCase(TheAppSettings().startupDirectory, kSettingsFileName)) {
        return path;
    }
    std::error_code error;
    return FindFileNoCase(std::filesystem::current_path(error), kFallbackSettingsFileName);
}

std::filesystem::path SettingsSavePath() {
    const std::filesystem::path& directory = TheAppSettings().startupDirectory;
    return FindFileNoCase(directory, kSettingsFileName).value_or(directory / kSettingsFileName);
}

bool LoadGlobalSettings() {
    std::optional<std::filesystem::path> path = SettingsLoadPath();
    if (!path)
        return false;
    std::optional<IniDocument> file = IniDocument::Load(*path);
    if (!file)
        return false;
    AppSettings& settings = TheAppSettings();
    settings.notAskAgain = file->GetInt(kGlobalSection, "notAskAgain", 1);
    settings.isClosed = file->GetInt(kGlobalSection, "isClosed", 0);
    settings.langSwitch = file->GetInt(kGlobalSection, "langSwitch", 1);
    settings.langId = file->GetInt(kGlobalSection, "langId", 1033);
    settings.deviceNum = std::max(0, file->GetInt(kGlobalSection, "deviceNum", 0));
    settings.NetWorkName = DecodeSettingsText(file->GetString(kGlobalSection, "NetWorkName", ""),
                                              settings.LanguageNumber(), kMaxSettingsTextUnits);
    return true;
}

bool SaveGlobalSettings() {
    const AppSettings& settings = TheAppSettings();
    std::filesystem::path path = SettingsSavePath();
    IniDocument file = IniDocument::Load(path).value_or(IniDocument());
    file.Set(kGlobalSection, "notAskAgain", Flag(settings.notAskAgain));
    file.Set(kGlobalSection, "isClosed", Flag(settings.isClosed));
    file.Set(kGlobalSection, "langSwitch", Flag(settings.langSwitch));
    file.Set(kGlobalSection, "deviceNum", std::to_string(settings.deviceNum));
    file.Set(kGlobalSection, "NetWorkName", EncodeSettingsText(settings.NetWorkName));
    return file.Save(path);
}

bool SaveSettingsOnExit() {
    bool global = SaveGlobalSettings();
    bool devices = SaveRememberedDevices();
    return global && devices;
}

void ResetAppSettings() {
    TheAppSettings() = AppSettings();
}

}  // namespace ambrel
