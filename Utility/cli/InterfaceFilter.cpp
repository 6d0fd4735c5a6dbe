#include "InterfaceFilter.h"

#include <algorithm>

namespace ambrel {

InterfaceFilter::InterfaceFilter(CaptureBackend& inner, std::vector<std::string> names)
    : inner_(inner), names_(std::move(names)) {}

std::optional<std::vector<std::string>> InterfaceFilter::ListDevices(std::string& error) {
    auto devices = inner_.ListDevices(error);
    if (!devices || names_.empty())
        return devices;
    std::erase_if(*devices, [this](const std::string& name) {
        return std::find(names_.begin(), names_.end(), name) == names_.end();
    });
    return devices;
}

std::optional<MacAddress> InterfaceFilter::QueryMac(const std::string& name) {
    return inner_.QueryMac(name);
}

std::unique_ptr<CaptureHandle> InterfaceFilter::Open(const std::string& name, std::string& error) {
    return inner_.Open(name, error);
}

}  // namespace ambrel
