#include "ScanReport.h"

#include <cstdio>
#include <string>
#include <string_view>

#include "DeviceModel.h"
#include "Transport.h"

namespace ambrel {

namespace {

std::string JsonString(std::string_view text) {
    std::string quoted = "\"";
    for (unsigned char c : text) {
        switch (c) {
            case '"':
                quoted += "\\\"";
                break;
            case '\\':
                quoted += "\\\\";
                break;
            default:
                if (c < 0x20 || c >= 0x7F) {
                    char escaped[8];
                    std::snprintf(escaped, sizeof escaped, "\\u%04X", c);
                    quoted += escaped;
                } else {
                    quoted += static_cast<char>(c);
                }
        }
    }
    return quoted + "\"";
}

const char* Generation(const DeviceModel& model) {
    return model.secondGeneration ? "second" : "first";
}

}  // namespace

void PrintScanText(std::ostream& out) {
    const DeviceModel& model = TheDeviceModel();
    const DeviceRecord& local = model.localDevice;
    out << "Local device\n"
        << "  adapter:    " << AdapterName(model.selectedAdapter) << "\n"
        << "  MAC:        " << FormatMac(local.mac) << "\n"
        << "  chip:       " << FieldText(local.chipLabel) << "\n"
        << "  generation: " << Generation(model) << "\n"
        << "  firmware:   " << FieldText(local.firmwareVersion) << "\n";
    const DeviceTable& stations = model.stationTable;
    out << "Stations: " << static_cast<int>(stations.count) << "\n";
    for (int i = 0; i < stations.count; ++i) {
        const DeviceRecord& station = stations.records[static_cast<size_t>(i)];
        out << "  " << FormatMac(station.mac) << "  rate " << static_cast<int>(station.rate)
            << " Mbps";
        if (station.answered) {
            out << "  chip " << FieldText(station.chipLabel) << "  firmware "
                << FieldText(station.firmwareVersion) << "\n";
        } else {
            out << "  (did not answer)\n";
        }
    }
}

void PrintScanJson(std::ostream& out) {
    const DeviceModel& model = TheDeviceModel();
    const DeviceRecord& local = model.localDevice;
    out << "{\"local\":{\"adapter\":" << JsonString(AdapterName(model.selectedAdapter))
        << ",\"mac\":" << JsonString(FormatMac(local.mac))
        << ",\"chip\":" << JsonString(FieldText(local.chipLabel))
        << ",\"deviceId\":" << local.deviceId << ",\"generation\":" << JsonString(Generation(model))
        << ",\"firmware\":" << JsonString(FieldText(local.firmwareVersion)) << "},\"stations\":[";
    const DeviceTable& stations = model.stationTable;
    for (int i = 0; i < stations.count; ++i) {
        const DeviceRecord& station = stations.records[static_cast<size_t>(i)];
        out << (i > 0 ? "," : "") << "{\"mac\":" << JsonString(FormatMac(station.mac))
            << ",\"rate\":" << static_cast<int>(station.rate)
            << ",\"answered\":" << (station.answered ? "true" : "false");
        if (station.answered) {
            out << ",\"chip\":" << JsonString(FieldText(station.chipLabel))
                << ",\"deviceId\":" << station.deviceId
                << ",\"firmware\":" << JsonString(FieldText(station.firmwareVersion));
        }
        out << "}";
    }
    out << "]}\n";
}

}  // namespace ambrel
