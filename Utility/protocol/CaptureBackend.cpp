#include "CaptureBackend.h"

#include <atomic>

namespace ambrel {

namespace {

class NoCaptureBackend final : public CaptureBackend {
public:
    std::optional<std::vector<std::string>> ListDevices(std::string&) override {
        return std::vector<std::string>{};
    }
    std::optional<MacAddress> QueryMac(const std::string&) override { return std::nullopt; }
    std::unique_ptr<CaptureHandle> Open(const std::string&, std::string& error) override {
        error = "no capture backend";
        return nullptr;
    }
};

std::atomic<CaptureBackend*> installed{nullptr};

}  // namespace

CaptureBackend& ActiveCaptureBackend() {
    static NoCaptureBackend none;
    CaptureBackend* backend = installed.load(std::memory_order_acquire);
    return backend != nullptr ? *backend : none;
}

void SetCaptureBackend(CaptureBackend* backend) {
    installed.store(backend, std::memory_order_release);
}

}  // namespace ambrel
