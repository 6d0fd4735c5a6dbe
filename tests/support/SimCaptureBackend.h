#pragma once

// A capture backend for tests that need no root and no network: named
// adapters, each optionally wired to a simulated powerline network. A frame
// sent through an adapter goes to that network's responder; the answers wait
// on the adapter until the protocol clock says they are due, so delayed
// answers work with a fake clock too.

#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "CaptureBackend.h"
#include "MacAddress.h"
#include "Network.h"
#include "Responder.h"

namespace ambrel::test {

// Failures an adapter can be made to show.
struct SimAdapterOptions {
    bool macQueryFails = false;
    bool openFails = false;
    bool filterFails = false;
    bool sendFails = false;
    bool dispatchFails = false;  // Dispatch reports a library error
};

class SimCaptureBackend final : public CaptureBackend {
public:
    using AdapterOptions = SimAdapterOptions;

    SimCaptureBackend() = default;
    SimCaptureBackend(const SimCaptureBackend&) = delete;
    SimCaptureBackend& operator=(const SimCaptureBackend&) = delete;
    ~SimCaptureBackend() override;

    // Adapters are listed in the order they were added.
    void AddAdapter(const std::string& name, const MacAddress& mac, AdapterOptions options = {});
    // Wires a network to the adapter (replacing any earlier one) and returns
    // it; it stays valid while the backend lives.
    plcsim::Network& AttachNetwork(const std::string& name, plcsim::Network network);
    plcsim::Network& NetworkOf(const std::string& name);
    plcsim::Responder& ResponderOf(const std::string& name);

    // Makes the device list fail (ListDevices returns nullopt).
    void SetListFails(bool fails);

    // Puts any frame into the adapter's receive queue, due `delayMs` from now.
    void InjectFrame(const std::string& name, std::vector<uint8_t> frame, uint64_t delayMs = 0);
    // Every frame sent through the adapter, in order.
    std::vector<std::vector<uint8_t>> SentFrames(const std::string& name) const;
    // Frames still waiting in the adapter's queue (due or not).
    size_t PendingFrames(const std::string& name) const;
    // How many handles are open on the adapter now.
    int OpenHandles(const std::string& name) const;

    std::optional<std::vector<std::string>> ListDevices(std::string& error) override;
    std::optional<MacAddress> QueryMac(const std::string& name) override;
    std::unique_ptr<CaptureHandle> Open(const std::string& name, std::string& error) override;

private:
    class Handle;
    struct Queued {
        uint64_t dueMs;
        uint64_t order;
        std::vector<uint8_t> frame;
    };
    struct Adapter {
        std::string name;
        MacAddress mac{};
        AdapterOptions options;
        std::unique_ptr<plcsim::Network> network;
        std::unique_ptr<plcsim::Responder> responder;
        std::deque<Queued> queue;
        std::vector<std::vector<uint8_t>> sent;
        int openHandles = 0;
    };

    Adapter& Find(const std::string& name);
    const Adapter& Find(const std::string& name) const;
    void Enqueue(Adapter& adapter, std::vector<uint8_t> frame, uint64_t dueMs);
    bool SendFrom(const std::string& name, std::span<const uint8_t> frame);
    std::vector<std::vector<uint8_t>> TakeDue(const std::string& name, bool filtered, bool& failed);
    void Closed(const std::string& name);

    mutable std::recursive_mutex mutex_;
    std::deque<Adapter> adapters_;
    bool listFails_ = false;
    uint64_t order_ = 0;
};

}  // namespace ambrel::test
