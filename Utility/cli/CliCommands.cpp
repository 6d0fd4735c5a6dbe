#include "CliCommands.h"

#include <cstdio>
#include <optional>

#include "DeviceCommands.h"
#include "DeviceModel.h"
#include "Discovery.h"
#include "InterfaceFilter.h"
#include "KeyDerivation.h"
#include "ScanReport.h"
#include "Transport.h"

namespace ambrel {

namespace {

constexpr const char* kUsage =
    "usage: ambrel-cli COMMAND [OPTIONS]\n"
    "\n"
    "commands:\n"
    "  adapters               list the wired adapters and their MAC addresses\n"
    "  scan [--json]          find the local powerline device and its stations\n"
    "  key network NAME       the network membership key of a network name\n"
    "  key device PASSWORD    the device access key of a device password\n"
    "  key password MAC       the default device password of a MAC address\n"
    "  set-network NAME [--all]\n"
    "                         move the local device (with --all also the remote\n"
    "                         devices given with --remote) into the network NAME\n"
    "  add-device PASSWORD    add the device with this device password\n"
    "  join MAC PASSWORD      give the network key to a known device\n"
    "  reset [--all]          restore factory defaults (local device, or with\n"
    "                         --all also the remote devices given with --remote)\n"
    "  restart                restart the local device\n"
    "  network [--name NAME]  which network the local device is in\n"
    "  qos show               the QoS settings of the local device\n"
    "  qos set (--preset N | [--vlan-map a,b,...] [--tos-map a,b,...]\n"
    "          [--vlan on|off] [--tos on|off])\n"
    "                         change the QoS settings of the local device\n"
    "  pib read FILE          save the parameter block of the local device\n"
    "  upgrade FIRMWARE.NVM PARAMETERS.PIB\n"
    "                         replace the firmware and the parameter block\n"
    "\n"
    "options (anywhere after the command):\n"
    "  --interface NAME       use only this adapter (may be repeated)\n"
    "  --json                 machine-readable output (scan)\n"
    "  --remote MAC=PASSWORD  a remote device for --all (may be repeated)\n"
    "  --help                 this text\n";

// Options that take a value, and where the value goes.
std::string* ValueSlot(CliOptions& options, const std::string& name) {
    if (name == "--interface")
        return &options.interfaces.emplace_back();
    if (name == "--remote")
        return &options.remotes.emplace_back();
    std::optional<std::string>* slot = name == "--name"       ? &options.name
                                       : name == "--preset"   ? &options.preset
                                       : name == "--vlan-map" ? &options.vlanMap
                                       : name == "--tos-map"  ? &options.tosMap
                                       : name == "--vlan"     ? &options.vlan
                                       : name == "--tos"      ? &options.tos
                                                              : nullptr;
    if (slot == nullptr)
        return nullptr;
    return &slot->emplace();
}

std::optional<CliOptions> ParseOptions(const std::vector<std::string>& args, std::ostream& err) {
    CliOptions options;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--json") {
            options.json = true;
        } else if (arg == "--all") {
            options.all = true;
        } else if (arg == "--help" || arg == "-h") {
            options.help = true;
        } else if (arg.starts_with("--")) {
            const size_t equals = arg.find('=');
            const std::string name = arg.substr(0, equals);
            std::string* slot = ValueSlot(options, name);
            if (slot == nullptr) {
                err << "ambrel-cli: unknown option " << name << "\n";
                return std::nullopt;
            }
            if (equals != std::string::npos) {
                *slot = arg.substr(equals + 1);
            } else if (i + 1 < args.size()) {
                *slot = args[++i];
            } else {
                err << "ambrel-cli: " << name << " needs a value\n";
                return std::nullopt;
            }
        } else {
            options.words.push_back(arg);
        }
    }
    return options;
}

std::string Hex(const Key16& key) {
    std::string text;
    char digits[3];
    for (uint8_t byte : key) {
        std::snprintf(digits, sizeof digits, "%02X", byte);
        text += digits;
    }
    return text;
}

int KeyCommand(const CliOptions& options, std::ostream& out, std::ostream& err) {
    if (options.words.size() != 3) {
        err << "ambrel-cli: key needs a kind (network, device or password) and one value\n";
        return 2;
    }
    const std::string& kind = options.words[1];
    const std::string& value = options.words[2];
    if (kind == "network") {
        out << Hex(DeriveNetworkKey(value)) << "\n";
    } else if (kind == "device") {
        out << Hex(DeriveDeviceKey(value)) << "\n";
    } else if (kind == "password") {
        auto mac = ParseMac(value);
        if (!mac) {
            err << "ambrel-cli: \"" << value
                << "\" is not a MAC address (12 hexadecimal digits, optionally separated by "
                   "':' or '-')\n";
            return 2;
        }
        auto password = DefaultDevicePassword(*mac);
        out << std::string_view(password.data(), password.size()) << "\n";
    } else {
        err << "ambrel-cli: unknown key kind \"" << kind << "\" (network, device or password)\n";
        return 2;
    }
    return 0;
}

int AdaptersCommand(std::ostream& out, std::ostream& err) {
    if (!EnumerateAdapters()) {
        err << "ambrel-cli: the capture library cannot list adapters: "
            << TheDeviceModel().captureError << "\n";
        return 1;
    }
    const DeviceModel& model = TheDeviceModel();
    if (model.adapterCount == 0) {
        err << "ambrel-cli: no wired capture adapter found\n";
        return 1;
    }
    for (int i = 0; i < model.adapterCount; ++i) {
        const MacAddress& mac = model.adapters[static_cast<size_t>(i)].mac;
        out << i << "  " << AdapterName(i) << "  "
            << (IsZeroMac(mac) ? std::string("(MAC unknown)") : FormatMac(mac)) << "\n";
    }
    return 0;
}

int ScanCommand(const CliOptions& options, std::ostream& out, std::ostream& err,
                const CliEnvironment& environment) {
    DeviceModel& model = TheDeviceModel();
    model.localFound = ScanForLocalDevice() ? 1 : 0;
    if (!model.localFound) {
        PrintNoLocalDevice(err, environment);
        CloseAdapters();
        return 1;
    }
    model.stationTable = DeviceTable{};
    if (!QueryNetworkInfo(model.localDevice.mac)) {
        err << "ambrel-cli: the local device did not report its stations\n";
        CloseAdapters();
        return 1;
    }
    QueryStationVersions();
    if (options.json) {
        PrintScanJson(out);
    } else {
        PrintScanText(out);
    }
    CloseAdapters();
    return 0;
}

}  // namespace

void PrintNoLocalDevice(std::ostream& err, const CliEnvironment& environment) {
    const DeviceModel& model = TheDeviceModel();
    bool anyOpen = false;
    for (int i = 0; i < model.adapterCount; ++i) {
        anyOpen = anyOpen || model.adapters[static_cast<size_t>(i)].handle != nullptr;
    }
    if (model.adapterCount == 0) {
        err << "ambrel-cli: no wired capture adapter found\n";
    } else if (!anyOpen && environment.permissionDenied()) {
        err << "ambrel-cli: no permission to send raw frames: run as root or give the "
               "program CAP_NET_RAW (setcap cap_net_raw+ep)\n";
    } else if (!anyOpen) {
        err << "ambrel-cli: no adapter could be opened: " << model.captureError << "\n";
    } else {
        err << "ambrel-cli: no powerline device found behind " << model.adapterCount
            << (model.adapterCount == 1 ? " adapter" : " adapters") << "\n";
    }
}

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
           const CliEnvironment& environment) {
    auto options = ParseOptions(args, err);
    if (!options)
        return 2;
    if (options->help) {
        out << kUsage;
        return 0;
    }
    if (options->words.empty()) {
        err << kUsage;
        return 2;
    }
    const std::string& command = options->words[0];
    const bool deviceCommand = IsDeviceCommand(command);
    if (!deviceCommand && options->HasDeviceOptions()) {
        err << "ambrel-cli: " << command
            << " takes none of --all, --remote, --name, --preset, --vlan-map, --tos-map, "
               "--vlan, --tos\n";
        return 2;
    }
    if (command == "key")
        return KeyCommand(*options, out, err);
    if (deviceCommand) {
        InterfaceFilter filter(*environment.backend, options->interfaces);
        SetCaptureBackend(&filter);
        int code = RunDeviceCommand(*options, out, err, environment);
        CloseAdapters();
        SetCaptureBackend(environment.backend);
        return code;
    }
    if (command != "adapters" && command != "scan") {
        err << "ambrel-cli: unknown command \"" << command << "\"\n" << kUsage;
        return 2;
    }
    if (options->words.size() != 1) {
        err << "ambrel-cli: " << command << " takes no operand\n";
        return 2;
    }

    InterfaceFilter filter(*environment.backend, options->interfaces);
    SetCaptureBackend(&filter);
    int code = command == "adapters" ? AdaptersCommand(out, err)
                                     : ScanCommand(*options, out, err, environment);
    SetCaptureBackend(environment.backend);
    return code;
}

}  // namespace ambrel
