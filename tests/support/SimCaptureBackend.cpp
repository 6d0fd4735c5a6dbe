#include "SimCaptureBackend.h"

#include <algorithm>
#include <stdexcept>

#include "ByteCursor.h"
#include "Clock.h"
#include "ManagementMessage.h"

namespace ambrel::test {

namespace {

// What the receive filter lets through: EtherType 0x887B or 0x88E1.
bool PassesFilter(std::span<const uint8_t> frame) {
    auto type = ByteReader(frame).Be16(12);
    return type == kEtherTypeHomePlugAv || type == kEtherTypeManagement;
}

}  // namespace

class SimCaptureBackend::Handle final : public CaptureHandle {
public:
    Handle(SimCaptureBackend& backend, std::string name)
        : backend_(backend), name_(std::move(name)) {}
    ~Handle() override { backend_.Closed(name_); }

    bool InstallReceiveFilter(std::string& error) override {
        std::lock_guard lock(backend_.mutex_);
        if (backend_.Find(name_).options.filterFails) {
            error = "simulated filter failure on " + name_;
            return false;
        }
        filtered_ = true;
        return true;
    }

    bool Send(std::span<const uint8_t> frame) override { return backend_.SendFrom(name_, frame); }

    int Dispatch(FrameSink sink, void* context) override {
        bool failed = false;
        auto frames = backend_.TakeDue(name_, filtered_, failed);
        if (failed)
            return -1;
        // The sink runs without the backend's lock held, so it may call back.
        for (const auto& frame : frames)
            sink(context, frame);
        return static_cast<int>(frames.size());
    }

private:
    SimCaptureBackend& backend_;
    std::string name_;
    bool filtered_ = false;
};

SimCaptureBackend::~SimCaptureBackend() = default;

void SimCaptureBackend::AddAdapter(const std::string& name, const MacAddress& mac,
                                   AdapterOptions options) {
    std::lock_guard lock(mutex_);
    Adapter adapter;
    adapter.name = name;
    adapter.mac = mac;
    adapter.options = options;
    adapters_.push_back(std::move(adapter));
}

plcsim::Network& SimCaptureBackend::AttachNetwork(const std::string& name,
                                                  plcsim::Network network) {
    std::lock_guard lock(mutex_);
    Adapter& adapter = Find(name);
    adapter.network = std::make_unique<plcsim::Network>(std::move(network));
    adapter.responder = std::make_unique<plcsim::Responder>(*adapter.network);
    return *adapter.network;
}

plcsim::Network& SimCaptureBackend::NetworkOf(const std::string& name) {
    std::lock_guard lock(mutex_);
    Adapter& adapter = Find(name);
    if (!adapter.network)
        throw std::logic_error("adapter " + name + " has no network");
    return *adapter.network;
}

plcsim::Responder& SimCaptureBackend::ResponderOf(const std::string& name) {
    std::lock_guard lock(mutex_);
    Adapter& adapter = Find(name);
    if (!adapter.responder)
        throw std::logic_error("adapter " + name + " has no network");
    return *adapter.responder;
}

void SimCaptureBackend::SetListFails(bool fails) {
    std::lock_guard lock(mutex_);
    listFails_ = fails;
}

void SimCaptureBackend::InjectFrame(const std::string& name, std::vector<uint8_t> frame,
                                    uint64_t delayMs) {
    std::lock_guard lock(mutex_);
    Enqueue(Find(name), std::move(frame), ProtocolClock().NowMs() + delayMs);
}

std::vector<std::vector<uint8_t>> SimCaptureBackend::SentFrames(const std::string& name) const {
    std::lock_guard lock(mutex_);
    return Find(name).sent;
}

size_t SimCaptureBackend::PendingFrames(const std::string& name) const {
    std::lock_guard lock(mutex_);
    return Find(name).queue.size();
}

int SimCaptureBackend::OpenHandles(const std::string& name) const {
    std::lock_guard lock(mutex_);
    return Find(name).openHandles;
}

std::optional<std::vector<std::string>> SimCaptureBackend::ListDevices(std::string& error) {
    std::lock_guard lock(mutex_);
    if (listFails_) {
        error = "simulated device list failure";
        return std::nullopt;
    }
    std::vector<std::string> names;
    for (const auto& adapter : adapters_)
        names.push_back(adapter.name);
    return names;
}

std::optional<MacAddress> SimCaptureBackend::QueryMac(const std::string& name) {
    std::lock_guard lock(mutex_);
    auto found = std::find_if(adapters_.begin(), adapters_.end(),
                              [&](const Adapter& a) { return a.name == name; });
    if (found == adapters_.end() || found->options.macQueryFails)
        return std::nullopt;
    return found->mac;
}

std::unique_ptr<CaptureHandle> SimCaptureBackend::Open(const std::string& name,
                                                       std::string& error) {
    std::lock_guard lock(mutex_);
    auto found = std::find_if(adapters_.begin(), adapters_.end(),
                              [&](const Adapter& a) { return a.name == name; });
    if (found == adapters_.end()) {
        error = "no such adapter: " + name;
        return nullptr;
    }
    if (found->options.openFails) {
        error = "simulated open failure on " + name;
        return nullptr;
    }
    ++found->openHandles;
    return std::make_unique<Handle>(*this, name);
}

SimCaptureBackend::Adapter& SimCaptureBackend::Find(const std::string& name) {
    auto found = std::find_if(adapters_.begin(), adapters_.end(),
                              [&](const Adapter& a) { return a.name == name; });
    if (found == adapters_.end())
        throw std::logic_error("no simulated adapter " + name);
    return *found;
}

const SimCaptureBackend::Adapter& SimCaptureBackend::Find(const std::string& name) const {
    return const_cast<SimCaptureBackend*>(this)->Find(name);
}

void SimCaptureBackend::Enqueue(Adapter& adapter, std::vector<uint8_t> frame, uint64_t dueMs) {
    adapter.queue.push_back({dueMs, order_++, std::move(frame)});
}

bool SimCaptureBackend::SendFrom(const std::string& name, std::span<const uint8_t> frame) {
    std::lock_guard lock(mutex_);
    Adapter& adapter = Find(name);
    if (adapter.options.sendFails || frame.size() > kMaxFrameLength)
        return false;
    adapter.sent.emplace_back(frame.begin(), frame.end());
    if (!adapter.responder)
        return true;
    uint64_t now = ProtocolClock().NowMs();
    for (auto& reply : adapter.responder->Handle(frame, now)) {
        Enqueue(adapter, std::move(reply.frame), now + reply.delayMs);
    }
    return true;
}

std::vector<std::vector<uint8_t>> SimCaptureBackend::TakeDue(const std::string& name, bool filtered,
                                                             bool& failed) {
    std::lock_guard lock(mutex_);
    Adapter& adapter = Find(name);
    std::vector<std::vector<uint8_t>> due;
    if (adapter.options.dispatchFails) {
        failed = true;
        return due;
    }
    const uint64_t now = ProtocolClock().NowMs();
    // Deliver in order of due time, then of arrival.
    std::stable_sort(adapter.queue.begin(), adapter.queue.end(),
                     [](const Queued& a, const Queued& b) {
                         return a.dueMs != b.dueMs ? a.dueMs < b.dueMs : a.order < b.order;
                     });
    while (!adapter.queue.empty() && adapter.queue.front().dueMs <= now) {
        Queued item = std::move(adapter.queue.front());
        adapter.queue.pop_front();
        // The kernel filter drops everything else before the library sees it.
        if (filtered && !PassesFilter(item.frame))
            continue;
        due.push_back(std::move(item.frame));
    }
    return due;
}

void SimCaptureBackend::Closed(const std::string& name) {
    std::lock_guard lock(mutex_);
    auto found = std::find_if(adapters_.begin(), adapters_.end(),
                              [&](const Adapter& a) { return a.name == name; });
    if (found != adapters_.end())
        --found->openHandles;
}

}  // namespace ambrel::test
