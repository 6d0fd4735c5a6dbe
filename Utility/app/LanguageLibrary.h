#pragma once

#include <QString>

namespace ambrel {

// The fixed messages of start-up: they are shown before any bundle is loaded.
inline constexpr char kNoSettingsFileMessage[] = "can't find the configuration file!";
inline constexpr char kNoResourcesMessage[] = "Fatal error: Cannot find the specified resources!";

// The bundle file of a language: the low 16 bits of langId in decimal, ".rcc".
QString LanguageBundleName(int langId);

// Loads "<n>.rcc" (n = the low 16 bits of langId) from the bundle search
// directories and makes it the resource source. n = 0 is fatal: the fixed
// resources message with the error icon, exit code 1. A missing file, or one
// that is no bundle, returns false and leaves the current source as it was.
bool LoadLanguageLibrary(int langId);

}  // namespace ambrel
