#pragma once

#include <string>
#include <vector>

#include "CaptureBackend.h"

namespace ambrel {

// A capture backend that shows only the named devices of another one, in the
// other's order. An empty list shows them all.
class InterfaceFilter final : public CaptureBackend {
public:
    InterfaceFilter(CaptureBackend& inner, std::vector<std::string> names);

    std::optional<std::vector<std::string>> ListDevices(std::string& error) override;
    std::optional<MacAddress> QueryMac(const std::string& name) override;
    std::unique_ptr<CaptureHandle> Open(const std::string& name, std::string& error) override;

private:
    CaptureBackend& inner_;
    std::vector<std::string> names_;
};

}  // namespace ambrel
