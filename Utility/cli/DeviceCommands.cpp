#include "DeviceCommands.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <fstream>
#include <optional>
#include <span>
#include <string_view>

#include "DeviceModel.h"
#include "Discovery.h"
#include "KeyDerivation.h"
#include "ParameterBlock.h"
#include "Progress.h"
#include "QosPacking.h"
#include "ReportSink.h"
#include "Transport.h"
#include "Upgrade.h"
#include "UpgradeFiles.h"
#include "WorkerRoutines.h"

namespace ambrel {

namespace {

constexpr size_t kMinNetworkNameBytes = 4;
constexpr size_t kMaxNetworkNameBytes = 23;

using Words = std::vector<std::string>;

// Catches the one report of a worker routine.
class ResultCatcher final : public ReportSink {
public:
    ResultCatcher() { SetReportSink(this); }
    ~ResultCatcher() override { SetReportSink(nullptr); }
    ResultCatcher(const ResultCatcher&) = delete;
    ResultCatcher& operator=(const ResultCatcher&) = delete;

    void Send(WindowHandle, ResultMessage message, WParam wParam, LParam) override {
        message_ = message;
        wParam_ = wParam;
        ++reports_;
    }
    // The report's wParam when exactly one report of `message` came.
    std::optional<WParam> Result(ResultMessage message) const {
        if (reports_ != 1 || message_ != message)
            return std::nullopt;
        return wParam_;
    }
    bool Succeeded(ResultMessage message) const { return Result(message) == kReportSuccess; }

private:
    ResultMessage message_{};
    WParam wParam_ = 0;
    int reports_ = 0;
};

// Shows the progress of the running operation on one terminal line.
class ProgressLine {
public:
    ProgressLine(std::ostream& err, bool enabled) : err_(err), enabled_(enabled) {
        if (!enabled_)
            return;
        SetProgressObserver([this](const Progress& progress) { Show(progress); });
    }
    ~ProgressLine() {
        if (!enabled_)
            return;
        SetProgressObserver({});
        End();
    }
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    // Ends the line before other output.
    void End() {
        if (!shown_)
            return;
        err_ << "\r\033[K" << std::flush;
        shown_ = false;
    }

private:
    void Show(const Progress& progress) {
        err_ << "\r\033[K" << StepText(progress.step);
        if (progress.total > 0)
            err_ << ": " << progress.done << " of " << progress.total;
        err_ << std::flush;
        shown_ = true;
    }
    std::ostream& err_;
    bool enabled_;
    bool shown_ = false;
};

std::string Hex(std::span<const uint8_t> bytes) {
    std::string text;
    char digits[3];
    for (uint8_t byte : bytes) {
        std::snprintf(digits, sizeof digits, "%02X", byte);
        text += digits;
    }
    return text;
}

// Four letters, a hyphen, four letters, a hyphen, four letters, a hyphen,
// four letters; either case.
bool IsDevicePassword(std::string_view text) {
    if (text.size() != kDevicePasswordLength)
        return false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const bool hyphenPlace = i == 4 || i == 9 || i == 14;
        const bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
        if (hyphenPlace ? c != '-' : !letter)
            return false;
    }
    return true;
}

bool CheckPassword(const std::string& text, std::ostream& err) {
    if (IsDevicePassword(text))
        return true;
    err << "ambrel-cli: \"" << text
        << "\" is not a device password (four letters, a hyphen, four letters, a hyphen, four "
           "letters, a hyphen, four letters)\n";
    return false;
}

std::optional<MacAddress> CheckMac(const std::string& text, std::ostream& err) {
    auto mac = ParseMac(text);
    if (!mac)
        err << "ambrel-cli: \"" << text << "\" is not a MAC address\n";
    return mac;
}

struct Remote {
    MacAddress mac;
    std::string password;
};

std::optional<std::vector<Remote>> ParseRemotes(const CliOptions& options, std::ostream& err) {
    std::vector<Remote> remotes;
    for (const std::string& text : options.remotes) {
        const size_t equals = text.find('=');
        if (equals == std::string::npos) {
            err << "ambrel-cli: --remote needs MAC=PASSWORD, not \"" << text << "\"\n";
            return std::nullopt;
        }
        auto mac = CheckMac(text.substr(0, equals), err);
        if (!mac || !CheckPassword(text.substr(equals + 1), err))
            return std::nullopt;
        remotes.push_back({*mac, text.substr(equals + 1)});
    }
    return remotes;
}

bool FindLocalDevice(std::ostream& err, const CliEnvironment& environment) {
    DeviceModel& model = TheDeviceModel();
    model.localFound = ScanForLocalDevice() ? 1 : 0;
    if (!model.localFound)
        PrintNoLocalDevice(err, environment);
    return model.localFound != 0;
}

// Reads the local device's block and takes its network key from it.
bool ReadLocalBlock(std::ostream& err) {
    DeviceModel& model = TheDeviceModel();
    if (!ReadParameterBlock(model.localDevice.mac)) {
        err << "ambrel-cli: the parameter block of the local device could not be read\n";
        return false;
    }
    LoadNetworkKeyFromPib();
    return true;
}

// The device list as the windows build it: the stations that answered their
// version request. Each --remote found there is marked (password accepted)
// with its password; the others are named and left out.
bool MarkRemotes(const std::vector<Remote>& remotes, std::ostream& err) {
    DeviceModel& model = TheDeviceModel();
    model.stationTable = DeviceTable{};
    if (!QueryNetworkInfo(model.localDevice.mac)) {
        err << "ambrel-cli: the local device did not report its stations\n";
        return false;
    }
    QueryStationVersions();
    model.deviceList = DeviceTable{};
    for (size_t i = 0; i < model.stationTable.count && i < kMaxStations; ++i) {
        const DeviceRecord& station = model.stationTable.records[i];
        if (!station.answered)
            continue;
        DeviceRecord& entry = model.deviceList.records[model.deviceList.count++];
        entry = station;
        entry.passwordOk = 0;
    }
    bool allFound = true;
    for (const Remote& remote : remotes) {
        auto begin = model.deviceList.records.begin();
        auto end = begin + model.deviceList.count;
        auto found =
            std::find_if(begin, end, [&](const DeviceRecord& r) { return r.mac == remote.mac; });
        if (found == end) {
            err << "ambrel-cli: " << FormatMac(remote.mac)
                << " is not in the local device's network (or does not answer); left out\n";
            allFound = false;
            continue;
        }
        SetFieldText(found->password, remote.password);
        found->passwordOk = 1;
    }
    return allFound;
}

int SetNetworkCommand(const Words& words, const CliOptions& options, std::ostream& out,
                      std::ostream& err, const CliEnvironment& environment) {
    if (words.size() != 2) {
        err << "ambrel-cli: set-network needs one network name\n";
        return 2;
    }
    const std::string& name = words[1];
    if (name.size() < kMinNetworkNameBytes || name.size() > kMaxNetworkNameBytes) {
        err << "ambrel-cli: a network name has 4 to 23 bytes\n";
        return 2;
    }
    auto remotes = ParseRemotes(options, err);
    if (!remotes)
        return 2;
    if (!options.all && !remotes->empty()) {
        err << "ambrel-cli: --remote goes with --all\n";
        return 2;
    }
    if (!FindLocalDevice(err, environment))
        return 1;
    DeviceModel& model = TheDeviceModel();
    bool allFound = true;
    if (options.all)
        allFound = MarkRemotes(*remotes, err);
    SetFieldText(model.keyRequest.networkName, name);

    ResultCatcher result;
    {
        ProgressLine progress(err, environment.progressOnTerminal);
        if (options.all) {
            SetNetworkAllThread(nullptr);
        } else {
            SetNetworkLocalThread(nullptr);
        }
    }
    if (!result.Succeeded(ResultMessage::DeviceOpDone)) {
        err << "ambrel-cli: the local device did not take the key of \"" << name << "\"\n";
        return 1;
    }
    out << "local device " << FormatMac(model.localDevice.mac) << " is now in the network \""
        << name << "\"\n";
    for (size_t i = 0; i < model.deviceList.count; ++i) {
        const DeviceRecord& entry = model.deviceList.records[i];
        if (entry.answered && entry.passwordOk) {
            out << "remote device " << FormatMac(entry.mac) << " was handed the key\n";
        }
    }
    return allFound ? 0 : 1;
}

int AddDeviceCommand(const Words& words, std::ostream& out, std::ostream& err,
                     const CliEnvironment& environment) {
    if (words.size() != 2) {
        err << "ambrel-cli: add-device needs the device password of the new device\n";
        return 2;
    }
    if (!CheckPassword(words[1], err))
        return 2;
    if (!FindLocalDevice(err, environment) || !ReadLocalBlock(err))
        return 1;
    DeviceModel& model = TheDeviceModel();
    SetFieldText(model.keyRequest.password, words[1]);
    model.setKeyByPassword = 1;
    model.setKeyLocal = 0;
    model.addedDeviceMac = MacAddress{};
    model.stationTable = DeviceTable{};

    ResultCatcher result;
    {
        ProgressLine progress(err, environment.progressOnTerminal);
        JoinNewDeviceThread(nullptr);
    }
    if (result.Succeeded(ResultMessage::AddDeviceDone)) {
        out << FormatMac(model.addedDeviceMac) << " joined the network\n";
        return 0;
    }
    if (IsZeroMac(model.addedDeviceMac) && model.stationTable.count == 0) {
        err << "ambrel-cli: no device with this password joined; the local device is back in "
               "its network\n";
    } else if (IsZeroMac(model.addedDeviceMac)) {
        err << "ambrel-cli: " << static_cast<int>(model.stationTable.count)
            << " devices answered to this password, not one; the local device is back in its "
               "network\n";
    } else {
        err << "ambrel-cli: adding " << FormatMac(model.addedDeviceMac) << " failed\n";
    }
    return 1;
}

int JoinCommand(const Words& words, std::ostream& out, std::ostream& err,
                const CliEnvironment& environment) {
    if (words.size() != 3) {
        err << "ambrel-cli: join needs the MAC address and the device password of the device\n";
        return 2;
    }
    auto mac = CheckMac(words[1], err);
    if (!mac)
        return 2;
    if (!CheckPassword(words[2], err))
        return 2;
    if (!FindLocalDevice(err, environment) || !ReadLocalBlock(err))
        return 1;
    DeviceModel& model = TheDeviceModel();
    model.deviceList = DeviceTable{};
    model.deviceList.count = 1;
    DeviceRecord& entry = model.deviceList.records[0];
    entry.mac = *mac;
    SetFieldText(entry.password, words[2]);
    model.selectedDevice = 0;
    model.setKeyLocal = 0;
    model.setKeyByPassword = 0;

    ResultCatcher result;
    {
        ProgressLine progress(err, environment.progressOnTerminal);
        JoinListedDeviceThread(nullptr);
    }
    if (!result.Succeeded(ResultMessage::AddDeviceDone)) {
        err << "ambrel-cli: the local device did not pass the key on to " << FormatMac(*mac)
            << "\n";
        return 1;
    }
    // The local device cannot tell whether the device took the key; its
    // stations can.
    model.stationTable = DeviceTable{};
    if (!QueryNetworkInfo(model.localDevice.mac) || FindStation(*mac) < 0) {
        err << "ambrel-cli: " << FormatMac(*mac)
            << " did not show up in the network: check its password\n";
        return 1;
    }
    out << FormatMac(*mac) << " joined the network\n";
    return 0;
}

int ResetCommand(const Words& words, const CliOptions& options, std::ostream& out,
                 std::ostream& err, const CliEnvironment& environment) {
    if (words.size() != 1) {
        err << "ambrel-cli: reset takes no operand\n";
        return 2;
    }
    auto remotes = ParseRemotes(options, err);
    if (!remotes)
        return 2;
    if (!options.all && !remotes->empty()) {
        err << "ambrel-cli: --remote goes with --all\n";
        return 2;
    }
    DeviceModel& model = TheDeviceModel();
    ResultCatcher result;
    bool allFound = true;
    if (options.all) {
        if (!FindLocalDevice(err, environment))
            return 1;
        allFound = MarkRemotes(*remotes, err);
        ProgressLine progress(err, environment.progressOnTerminal);
        FactoryResetAllThread(nullptr);
    } else {
        ProgressLine progress(err, environment.progressOnTerminal);
        FactoryResetLocalThread(nullptr);
    }
    if (!options.all && !model.localFound) {
        PrintNoLocalDevice(err, environment);
        return 1;
    }
    if (!result.Succeeded(ResultMessage::DeviceOpDone)) {
        err << "ambrel-cli: "
            << (options.all ? "not every device confirmed" : "the local device did not confirm")
            << " the factory reset\n";
        return 1;
    }
    out << "factory defaults restored on " << FormatMac(model.localDevice.mac);
    for (size_t i = 0; i < model.deviceList.count && options.all; ++i) {
        const DeviceRecord& entry = model.deviceList.records[i];
        if (entry.answered && entry.passwordOk)
            out << " and " << FormatMac(entry.mac);
    }
    out << "\n";
    return allFound ? 0 : 1;
}

int RestartCommand(const Words& words, std::ostream& out, std::ostream& err,
                   const CliEnvironment& environment) {
    if (words.size() != 1) {
        err << "ambrel-cli: restart takes no operand\n";
        return 2;
    }
    bool confirmed;
    {
        ProgressLine progress(err, environment.progressOnTerminal);
        confirmed = RestartLocalThread();
    }
    const DeviceModel& model = TheDeviceModel();
    if (!model.localFound) {
        PrintNoLocalDevice(err, environment);
        return 1;
    }
    if (!confirmed) {
        err << "ambrel-cli: " << FormatMac(model.localDevice.mac)
            << " did not confirm the restart\n";
        return 1;
    }
    out << FormatMac(model.localDevice.mac) << " is restarting\n";
    return 0;
}

int NetworkCommand(const Words& words, const CliOptions& options, std::ostream& out,
                   std::ostream& err, const CliEnvironment& environment) {
    if (words.size() != 1) {
        err << "ambrel-cli: network takes no operand (the name goes with --name)\n";
        return 2;
    }
    if (!FindLocalDevice(err, environment) || !ReadLocalBlock(err))
        return 1;
    DeviceModel& model = TheDeviceModel();
    SetFieldText(model.localDevice.networkName, options.name.value_or(""));
    const NetworkKeyClass kind = ClassifyNetworkKey();
    switch (kind) {
        case NetworkKeyClass::DefaultNetwork:
            out << "default network (the key every device has from the factory)\n";
            break;
        case NetworkKeyClass::NamedNetwork:
            out << "the network named \"" << *options.name << "\"\n";
            break;
        case NetworkKeyClass::OtherNetwork:
            out << "another private network"
                << (options.name ? "" : " (give --name NAME to check a network name)") << "\n";
            break;
    }
    out << "key: " << Hex(model.localDevice.networkKey) << "\n";
    return 0;
}

std::string MapText(const std::array<uint8_t, 8>& map) {
    std::string text;
    for (size_t i = 0; i < map.size(); ++i) {
        text += (i == 0 ? "" : ",") + std::to_string(map[i]);
    }
    return text;
}

void PrintQos(const QosSettings& qos, std::ostream& out) {
    auto preset = RecognisePreset(qos);
    out << "mode:            " << (preset ? "preset " + std::to_string(*preset) : "custom") << "\n"
        << "vlan map:        " << MapText(qos.vlanPriorityMap) << "\n"
        << "tos map:         " << MapText(qos.tosPriorityMap) << "\n"
        << "vlan:            " << (qos.vlanMapEnabled ? "on" : "off") << "\n"
        << "tos:             " << (qos.tosMapEnabled ? "on" : "off") << "\n"
        << "base priorities: " << static_cast<int>(qos.basePriorities[0]);
    for (size_t i = 1; i < qos.basePriorities.size(); ++i) {
        out << "," << static_cast<int>(qos.basePriorities[i]);
    }
    out << "\n";
}

// Runs the QoS read routine; false (with a message) when it failed.
bool ReadQos(std::ostream& err, const CliEnvironment& environment) {
    ResultCatcher result;
    {
        ProgressLine progress(err, environment.progressOnTerminal);
        QosReadThread(nullptr);
    }
    auto code = result.Result(ResultMessage::QosReadDone);
    if (code == kQosRead)
        return true;
    if (code == kQosNoLocalDevice) {
        PrintNoLocalDevice(err, environment);
    } else {
        err << "ambrel-cli: the parameter block of the local device could not be read\n";
    }
    return false;
}

std::optional<std::array<uint8_t, 8>> ParseMap(const std::string& text, const char* option,
                                               std::ostream& err) {
    std::array<uint8_t, 8> map{};
    size_t count = 0;
    size_t start = 0;
    for (;;) {
        const size_t comma = text.find(',', start);
        const std::string item = text.substr(start, comma - start);
        if (count == map.size() || item.size() != 1 || item[0] < '0' || item[0] > '3') {
            count = 0;
            break;
        }
        map[count++] = static_cast<uint8_t>(item[0] - '0');
        if (comma == std::string::npos)
            break;
        start = comma + 1;
    }
    if (count != map.size()) {
        err << "ambrel-cli: " << option << " needs eight priorities from 0 to 3, such as "
            << "1,0,0,1,2,2,3,3\n";
        return std::nullopt;
    }
    return map;
}

std::optional<uint8_t> ParseSwitch(const std::string& text, const char* option, std::ostream& err) {
    if (text == "on")
        return 1;
    if (text == "off")
        return 0;
    err << "ambrel-cli: " << option << " is on or off\n";
    return std::nullopt;
}

// Parses `text`, the value of `option`, with Parse and stores the value in
// Field of `pending`; false, with the reason on `err`, when `text` is not a
// value of the option.
template <auto Parse, auto Field>
bool ApplyQosOption(const std::string& text, const char* option, QosSettings& pending,
                    std::ostream& err) {
    const auto value = Parse(text, option, err);
    if (!value)
        return false;
    pending.*Field = *value;
    return true;
}

// The options of a custom QoS setting, in the order they are checked.
struct QosOption {
    std::optional<std::string> CliOptions::*value;
    const char* name;
    bool (*apply)(const std::string& text, const char* option, QosSettings& pending,
                  std::ostream& err);
};
constexpr QosOption kQosOptions[] = {
    {&CliOptions::vlanMap, "--vlan-map", ApplyQosOption<ParseMap, &QosSettings::vlanPriorityMap>},
    {&CliOptions::tosMap, "--tos-map", ApplyQosOption<ParseMap, &QosSettings::tosPriorityMap>},
    {&CliOptions::vlan, "--vlan", ApplyQosOption<ParseSwitch, &QosSettings::vlanMapEnabled>},
    {&CliOptions::tos, "--tos", ApplyQosOption<ParseSwitch, &QosSettings::tosMapEnabled>},
};

// The settings to write: a preset, or the device's settings with the given
// changes. Either way with the base priorities the QoS page writes.
std::optional<QosSettings> PendingQos(const CliOptions& options, const QosSettings& current,
                                      std::ostream& err) {
    if (options.preset) {
        const std::string& text = *options.preset;
        if (text.size() != 1 || text[0] < '0' || text[0] >= '0' + kQosPresetCount) {
            err << "ambrel-cli: --preset is a number from 0 to " << kQosPresetCount - 1 << "\n";
            return std::nullopt;
        }
        return QosPreset(text[0] - '0');
    }
    QosSettings pending = current;
    pending.basePriorities = QosPreset(0).basePriorities;
    for (const QosOption& option : kQosOptions) {
        const std::optional<std::string>& text = options.*option.value;
        if (text && !option.apply(*text, option.name, pending, err))
            return std::nullopt;
    }
    return pending;
}

int QosCommand(const Words& words, const CliOptions& options, std::ostream& out, std::ostream& err,
               const CliEnvironment& environment) {
    const bool show = words.size() == 2 && words[1] == "show";
    const bool set = words.size() == 2 && words[1] == "set";
    if (!show && !set) {
        err << "ambrel-cli: qos needs show or set\n";
        return 2;
    }
    const bool custom = options.vlanMap || options.tosMap || options.vlan || options.tos;
    if (show && (options.preset || custom)) {
        err << "ambrel-cli: qos show takes no options\n";
        return 2;
    }
    if (set && options.preset && custom) {
        err << "ambrel-cli: --preset goes with none of --vlan-map, --tos-map, --vlan, --tos\n";
        return 2;
    }
    if (set && !options.preset && !custom) {
        err << "ambrel-cli: qos set needs --preset N or at least one of --vlan-map, --tos-map, "
               "--vlan, --tos\n";
        return 2;
    }
    DeviceModel& model = TheDeviceModel();
    if (set) {
        // Check the values before anything goes to the device.
        if (!PendingQos(options, QosSettings{}, err))
            return 2;
    }
    if (!ReadQos(err, environment))
        return 1;
    if (show) {
        PrintQos(model.currentQos, out);
        return 0;
    }

    const QosSettings pending = *PendingQos(options, model.currentQos, err);
    auto lock = LockDeviceOperations();
    StoreQosToPib(pending);
    if (!FindLocalDevice(err, environment))
        return 1;
    bool written;
    {
        ProgressLine progress(err, environment.progressOnTerminal);
        written = WriteParameterBlock();
    }
    if (!written) {
        err << "ambrel-cli: writing the parameter block failed; the device keeps its settings\n";
        return 1;
    }
    model.currentQos = pending;
    out << "QoS settings written\n";
    PrintQos(pending, out);
    return 0;
}

int PibCommand(const Words& words, std::ostream& out, std::ostream& err,
               const CliEnvironment& environment) {
    if (words.size() != 3 || words[1] != "read") {
        err << "ambrel-cli: pib needs read FILE\n";
        return 2;
    }
    if (!FindLocalDevice(err, environment))
        return 1;
    DeviceModel& model = TheDeviceModel();
    bool read;
    {
        auto lock = LockDeviceOperations();
        ProgressLine progress(err, environment.progressOnTerminal);
        read = ReadParameterBlock(model.localDevice.mac);
    }
    if (!read) {
        err << "ambrel-cli: the parameter block of the local device could not be read\n";
        return 1;
    }
    const size_t length = std::min<size_t>(model.transfer.totalLength, kPibImageSize);
    std::ofstream file(words[2], std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(model.pibImage.data()),
               static_cast<std::streamsize>(length));
    file.close();
    if (!file) {
        err << "ambrel-cli: cannot write " << words[2] << "\n";
        return 1;
    }
    out << "saved " << length << " bytes of the parameter block of "
        << FormatMac(model.localDevice.mac) << " to " << words[2] << "\n";
    return 0;
}

std::string_view UpgradeFileText(UpgradeFileMessage message) {
    switch (message) {
        case UpgradeFileMessage::FirmwarePathEmpty:
            return "no firmware file given";
        case UpgradeFileMessage::ParameterPathEmpty:
            return "no parameter file given";
        case UpgradeFileMessage::FirmwareUnreadable:
            return "the firmware file cannot be opened for reading";
        case UpgradeFileMessage::ParameterFileUnreadable:
            return "the parameter file cannot be opened for reading";
        case UpgradeFileMessage::FirmwareTooLarge:
            return "the firmware file is larger than 2097152 bytes";
        case UpgradeFileMessage::ParameterFileTooLarge:
            return "the parameter file is larger than 1048576 bytes";
        case UpgradeFileMessage::FirmwareNotReadWhole:
            return "the firmware file could not be read whole";
        case UpgradeFileMessage::ParameterFileNotReadWhole:
            return "the parameter file could not be read whole";
    }
    return "the upgrade files cannot be used";
}

std::string_view ImageProblemText(UpgradeImageProblem problem) {
    switch (problem) {
        case UpgradeImageProblem::None:
            break;
        case UpgradeImageProblem::NoFirmware:
            return "the firmware file is empty";
        case UpgradeImageProblem::ParameterFileShort:
            return "the parameter file is too short to be a parameter block";
        case UpgradeImageProblem::ParameterLength:
            return "the length field of the parameter file does not fit the file";
    }
    return "";
}

int UpgradeCommand(const Words& words, std::ostream& out, std::ostream& err,
                   const CliEnvironment& environment) {
    if (words.size() != 3) {
        err << "ambrel-cli: upgrade needs a firmware file and a parameter file\n";
        return 2;
    }
    auto message = [&err](UpgradeFileMessage id) {
        err << "ambrel-cli: " << UpgradeFileText(id) << "\n";
    };
    auto files = CheckUpgradeFiles(words[1], words[2], message);
    if (!files || !LoadUpgradeFiles(*files, message))
        return 1;
    if (!FindLocalDevice(err, environment))
        return 1;
    DeviceModel& model = TheDeviceModel();
    const bool second = model.secondGeneration != 0;
    if (auto problem = CheckUpgradeImages(second); problem != UpgradeImageProblem::None) {
        err << "ambrel-cli: " << ImageProblemText(problem) << "\n";
        return 1;
    }

    ProgressLine progress(err, environment.progressOnTerminal);
    bool upgraded;
    {
        ResultCatcher result;
        UpgradeThread(nullptr);
        upgraded = result.Succeeded(ResultMessage::UpgradeDone);
    }
    if (!upgraded) {
        if (!second)
            RestartLocalThread();
        progress.End();
        err << "ambrel-cli: the upgrade failed"
            << (second ? "; the device keeps its firmware\n" : "; the device was restarted\n");
        return 1;
    }
    ResultCatcher reset;
    FactoryResetLocalThread(nullptr);
    progress.End();
    if (!reset.Succeeded(ResultMessage::DeviceOpDone)) {
        err << "ambrel-cli: the upgrade succeeded, but the factory reset that follows it did "
               "not: reset the device (ambrel-cli reset)\n";
        return 1;
    }
    out << "upgraded " << FormatMac(model.localDevice.mac) << " (" << model.firmwareImage.size()
        << " bytes of firmware, " << model.pibFileImage.size()
        << " bytes of parameters) and restored its factory defaults\n";
    return 0;
}

}  // namespace

bool IsDeviceCommand(const std::string& command) {
    static constexpr std::string_view kCommands[] = {"set-network", "add-device", "join",
                                                     "reset",       "restart",    "network",
                                                     "qos",         "pib",        "upgrade"};
    return std::find(std::begin(kCommands), std::end(kCommands), command) != std::end(kCommands);
}

int RunDeviceCommand(const CliOptions& options, std::ostream& out, std::ostream& err,
                     const CliEnvironment& environment) {
    const Words& words = options.words;
    const std::string& command = words[0];
    const bool takesAll = command == "set-network" || command == "reset";
    if ((options.all || !options.remotes.empty()) && !takesAll) {
        err << "ambrel-cli: --all and --remote go with set-network and reset only\n";
        return 2;
    }
    if (options.name && command != "network") {
        err << "ambrel-cli: --name goes with network only\n";
        return 2;
    }
    const bool qosOptions =
        options.preset || options.vlanMap || options.tosMap || options.vlan || options.tos;
    if (qosOptions && command != "qos") {
        err << "ambrel-cli: --preset, --vlan-map, --tos-map, --vlan and --tos go with qos set\n";
        return 2;
    }
    if (command == "set-network")
        return SetNetworkCommand(words, options, out, err, environment);
    if (command == "add-device")
        return AddDeviceCommand(words, out, err, environment);
    if (command == "join")
        return JoinCommand(words, out, err, environment);
    if (command == "reset")
        return ResetCommand(words, options, out, err, environment);
    if (command == "restart")
        return RestartCommand(words, out, err, environment);
    if (command == "network")
        return NetworkCommand(words, options, out, err, environment);
    if (command == "qos")
        return QosCommand(words, options, out, err, environment);
    if (command == "pib")
        return PibCommand(words, out, err, environment);
    return UpgradeCommand(words, out, err, environment);
}

}  // namespace ambrel
