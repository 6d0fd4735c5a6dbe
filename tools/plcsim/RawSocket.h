#pragma once

// An AF_PACKET socket bound to one Ethernet interface: whole frames in and
// out, outgoing copies left out.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace plcsim {

class RawSocket {
public:
    RawSocket() = default;
    RawSocket(const RawSocket&) = delete;
    RawSocket& operator=(const RawSocket&) = delete;
    RawSocket(RawSocket&& other) noexcept;
    RawSocket& operator=(RawSocket&& other) noexcept;
    ~RawSocket();

    // Opens the socket on `interfaceName`. On failure `error` says why in
    // words meant for the user (no such interface, missing privilege).
    static std::optional<RawSocket> Open(const std::string& interfaceName, std::string& error);

    int Descriptor() const { return fd_; }
    // The next incoming frame without blocking; nullopt when none is waiting.
    // Frames the host itself sent are skipped.
    std::optional<std::vector<uint8_t>> ReceiveIncoming();
    bool Send(std::span<const uint8_t> frame);
    // Reads and clears a pending socket error (such as the link going down);
    // false when the socket itself is unusable.
    bool TakeError();
    static bool InterfaceExists(const std::string& interfaceName);

private:
    int fd_ = -1;
    std::vector<uint8_t> buffer_;
};

}  // namespace plcsim
