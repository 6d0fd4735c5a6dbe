#pragma once

// The GLOBAL section of config.ini and the start-up directory: one
// process-wide record, loaded at start-up and written back only when the
// program ends through the close button or the tray menu's Exit command.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace ambrel {

inline constexpr char kSettingsFileName[] = "config.ini";
inline constexpr char kFallbackSettingsFileName[] = "Config.ini";
inline constexpr char kGlobalSection[] = "GLOBAL";
inline constexpr size_t kMaxSettingsTextUnits = 511;

struct AppSettings {
    int notAskAgain = 1;  // the close button acts without asking
    int isClosed = 0;     // the close button ends the program (else: hide to the tray)
    int langSwitch = 1;   // kept and written back
    int langId = 1033;    // names the language bundle; never written
    // Remembered devices in the file. Never negative; it may exceed the 32
    // that the table holds, and then the sections beyond stay in the file
    // untouched (see RememberedDevices.h).
    int deviceNum = 0;
    std::u16string NetWorkName;  // the private network name last set
    std::filesystem::path startupDirectory;

    // langId as the 16-bit number that names the bundle and keys the image cache.
    uint16_t LanguageNumber() const { return static_cast<uint16_t>(langId); }
};

AppSettings& TheAppSettings();

// Fills startupDirectory with the current working directory.
void CaptureStartupDirectory();

// The file the settings are read from: config.ini in the start-up directory,
// else Config.ini in the current directory. Names match without regard to
// case, as they did on the system the file format comes from, so a file
// called CONFIG.INI is found too. nullopt when there is none.
std::optional<std::filesystem::path> SettingsLoadPath();

// The file the settings are written to: the start-up directory's config.ini
// (whatever the case of its existing name), created when missing.
std::filesystem::path SettingsSavePath();

// False only when there is no settings file; then nothing changes.
bool LoadGlobalSettings();

// Writes notAskAgain, isClosed, langSwitch (as "0" or "1"), deviceNum and
// NetWorkName, in that order; langId is never written. False when the file
// could not be replaced (the old one is then left as it was).
bool SaveGlobalSettings();

// The two saves of the exit paths, GLOBAL first, then the device sections.
bool SaveSettingsOnExit();

// Back to the defaults (tests).
void ResetAppSettings();

}  // namespace ambrel
