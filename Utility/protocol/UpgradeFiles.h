#pragma once

// The two files of an upgrade: a firmware image (.NVM) and a parameter file
// (.PIB). They are checked and opened first, then read whole into the device
// model's firmwareImage and pibFileImage. Problems go out through a message
// callback as the ids of the texts the windows show.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace ambrel {

enum class UpgradeFileMessage : uint16_t {
    FirmwarePathEmpty = 5017,
    ParameterPathEmpty = 5018,
    FirmwareUnreadable = 5019,
    ParameterFileUnreadable = 5020,
    FirmwareTooLarge = 5021,
    ParameterFileTooLarge = 5022,
    FirmwareNotReadWhole = 5023,
    ParameterFileNotReadWhole = 5024,
};

using UpgradeMessageCallback = std::function<void(UpgradeFileMessage)>;

// A file opened for reading, closed with the object.
class OpenFile {
public:
    OpenFile() = default;
    explicit OpenFile(int descriptor) : descriptor_(descriptor) {}
    OpenFile(OpenFile&& other) noexcept;
    OpenFile& operator=(OpenFile&& other) noexcept;
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;
    ~OpenFile();

    int Descriptor() const { return descriptor_; }
    void Close();

private:
    int descriptor_ = -1;
};

// Both files after a successful check, still open, with their sizes when the
// system could tell them.
struct UpgradeFiles {
    OpenFile firmware;
    OpenFile parameters;
    std::optional<uint64_t> firmwareSize;
    std::optional<uint64_t> parametersSize;
};

// Empty paths, files that cannot be opened for reading (directories
// included) and files above the size limits are refused with one message;
// every file the check opened is closed before the message goes out.
std::optional<UpgradeFiles> CheckUpgradeFiles(const std::string& firmwarePath,
                                              const std::string& parametersPath,
                                              const UpgradeMessageCallback& message);

// Reads both files whole into firmwareImage and pibFileImage and closes them.
// A file that cannot be read whole, that changed size since the check, or
// that turns out larger than its limit is refused with one message, and the
// images are left empty.
bool LoadUpgradeFiles(UpgradeFiles& files, const UpgradeMessageCallback& message);

}  // namespace ambrel
