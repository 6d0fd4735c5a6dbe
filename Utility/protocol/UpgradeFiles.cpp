#include "UpgradeFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "DeviceModel.h"

namespace ambrel {

namespace {

struct Opened {
    OpenFile file;
    std::optional<uint64_t> size;
};

// Opens a regular file (or another readable non-directory) for reading.
std::optional<Opened> OpenForReading(const std::string& path) {
    int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0)
        return std::nullopt;
    OpenFile file(descriptor);
    struct stat info {};
    if (::fstat(descriptor, &info) != 0 || S_ISDIR(info.st_mode))
        return std::nullopt;
    Opened opened{std::move(file), std::nullopt};
    if (S_ISREG(info.st_mode))
        opened.size = static_cast<uint64_t>(info.st_size);
    return opened;
}

enum class ReadOutcome { Whole, Failed, TooLarge };

// Reads to the end of the file, never more than `limit` bytes; a file whose
// end lies beyond the limit is TooLarge.
ReadOutcome ReadWhole(int descriptor, size_t limit, std::vector<uint8_t>& bytes) {
    bytes.clear();
    std::vector<uint8_t> chunk(64 * 1024);
    for (;;) {
        ssize_t count = ::read(descriptor, chunk.data(), chunk.size());
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            return ReadOutcome::Failed;
        if (count == 0)
            return ReadOutcome::Whole;
        if (bytes.size() + static_cast<size_t>(count) > limit)
            return ReadOutcome::TooLarge;
        bytes.insert(bytes.end(), chunk.begin(), chunk.begin() + count);
    }
}

bool LoadOne(OpenFile& file, std::optional<uint64_t> size, size_t limit,
             std::vector<uint8_t>& image, UpgradeFileMessage notWhole, UpgradeFileMessage tooLarge,
             const UpgradeMessageCallback& message) {
    std::vector<uint8_t> bytes;
    ReadOutcome outcome = ReadWhole(file.Descriptor(), limit, bytes);
    file.Close();
    if (outcome == ReadOutcome::TooLarge) {
        message(tooLarge);
        return false;
    }
    if (outcome == ReadOutcome::Failed || (size && bytes.size() != *size)) {
        message(notWhole);
        return false;
    }
    image = std::move(bytes);
    return true;
}

}  // namespace

OpenFile::OpenFile(OpenFile&& other) noexcept : descriptor_(other.descriptor_) {
    other.descriptor_ = -1;
}

OpenFile& OpenFile::operator=(OpenFile&& other) noexcept {
    if (this != &other) {
        Close();
        descriptor_ = other.descriptor_;
        other.descriptor_ = -1;
    }
    return *this;
}

OpenFile::~OpenFile() {
    Close();
}

void OpenFile::Close() {
    if (descriptor_ >= 0)
        ::close(descriptor_);
    descriptor_ = -1;
}

std::optional<UpgradeFiles> CheckUpgradeFiles(const std::string& firmwarePath,
                                              const std::string& parametersPath,
                                              const UpgradeMessageCallback& message) {
    if (firmwarePath.empty()) {
        message(UpgradeFileMessage::FirmwarePathEmpty);
        return std::nullopt;
    }
    if (parametersPath.empty()) {
        message(UpgradeFileMessage::ParameterPathEmpty);
        return std::nullopt;
    }
    auto firmware = OpenForReading(firmwarePath);
    if (!firmware) {
        message(UpgradeFileMessage::FirmwareUnreadable);
        return std::nullopt;
    }
    auto parameters = OpenForReading(parametersPath);
    if (!parameters) {
        firmware->file.Close();
        message(UpgradeFileMessage::ParameterFileUnreadable);
        return std::nullopt;
    }
    if (firmware->size && *firmware->size > kMaxFirmwareFile) {
        firmware->file.Close();
        parameters->file.Close();
        message(UpgradeFileMessage::FirmwareTooLarge);
        return std::nullopt;
    }
    if (parameters->size && *parameters->size > kMaxPibFile) {
        firmware->file.Close();
        parameters->file.Close();
        message(UpgradeFileMessage::ParameterFileTooLarge);
        return std::nullopt;
    }
    return UpgradeFiles{std::move(firmware->file), std::move(parameters->file), firmware->size,
                        parameters->size};
}

bool LoadUpgradeFiles(UpgradeFiles& files, const UpgradeMessageCallback& message) {
    DeviceModel& model = TheDeviceModel();
    model.firmwareImage.clear();
    model.pibFileImage.clear();
    if (!LoadOne(files.firmware, files.firmwareSize, kMaxFirmwareFile, model.firmwareImage,
                 UpgradeFileMessage::FirmwareNotReadWhole, UpgradeFileMessage::FirmwareTooLarge,
                 message)) {
        files.parameters.Close();
        return false;
    }
    if (!LoadOne(files.parameters, files.parametersSize, kMaxPibFile, model.pibFileImage,
                 UpgradeFileMessage::ParameterFileNotReadWhole,
                 UpgradeFileMessage::ParameterFileTooLarge, message)) {
        model.firmwareImage.clear();
        return false;
    }
    return true;
}

}  // namespace ambrel
