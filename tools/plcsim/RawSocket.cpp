#include "RawSocket.h"

#include <arpa/inet.h>
#include <linux/if_ether.h>
#include <linux/if_packet.h>
#include <net/if.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

namespace plcsim {

namespace {
// Large enough for jumbo frames, so nothing arrives cut.
constexpr size_t kReceiveBufferSize = 65536;
}  // namespace

RawSocket::RawSocket(RawSocket&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), buffer_(std::move(other.buffer_)) {}

RawSocket& RawSocket::operator=(RawSocket&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0)
            close(fd_);
        fd_ = std::exchange(other.fd_, -1);
        buffer_ = std::move(other.buffer_);
    }
    return *this;
}

RawSocket::~RawSocket() {
    if (fd_ >= 0)
        close(fd_);
}

std::optional<RawSocket> RawSocket::Open(const std::string& interfaceName, std::string& error) {
    if (interfaceName.empty() || interfaceName.size() >= IFNAMSIZ) {
        error = "'" + interfaceName + "' is not a valid interface name";
        return std::nullopt;
    }
    unsigned index = if_nametoindex(interfaceName.c_str());
    if (index == 0) {
        error = "no network interface named '" + interfaceName + "'";
        return std::nullopt;
    }
    RawSocket raw;
    raw.fd_ = socket(AF_PACKET, SOCK_RAW | SOCK_CLOEXEC, htons(ETH_P_ALL));
    if (raw.fd_ < 0) {
        if (errno == EPERM || errno == EACCES) {
            error = "no permission to open a raw socket: run as root or grant CAP_NET_RAW";
        } else {
            error = std::string("cannot open a raw socket: ") + std::strerror(errno);
        }
        return std::nullopt;
    }
    sockaddr_ll address{};
    address.sll_family = AF_PACKET;
    address.sll_protocol = htons(ETH_P_ALL);
    address.sll_ifindex = static_cast<int>(index);
    if (bind(raw.fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        error = "cannot bind to interface '" + interfaceName + "': " + std::strerror(errno);
        return std::nullopt;
    }
    raw.buffer_.resize(kReceiveBufferSize);
    return raw;
}

std::optional<std::vector<uint8_t>> RawSocket::ReceiveIncoming() {
    for (;;) {
        sockaddr_ll from{};
        socklen_t fromLength = sizeof from;
        ssize_t length = recvfrom(fd_, buffer_.data(), buffer_.size(), MSG_DONTWAIT,
                                  reinterpret_cast<sockaddr*>(&from), &fromLength);
        if (length < 0) {
            if (errno == EINTR)
                continue;
            return std::nullopt;
        }
        if (from.sll_pkttype == PACKET_OUTGOING)
            continue;
        return std::vector<uint8_t>(buffer_.begin(), buffer_.begin() + length);
    }
}

bool RawSocket::Send(std::span<const uint8_t> frame) {
    for (;;) {
        ssize_t sent = send(fd_, frame.data(), frame.size(), 0);
        if (sent >= 0)
            return static_cast<size_t>(sent) == frame.size();
        if (errno != EINTR)
            return false;
    }
}

bool RawSocket::TakeError() {
    int pending = 0;
    socklen_t length = sizeof pending;
    return getsockopt(fd_, SOL_SOCKET, SO_ERROR, &pending, &length) == 0;
}

bool RawSocket::InterfaceExists(const std::string& interfaceName) {
    return if_nametoindex(interfaceName.c_str()) != 0;
}

}  // namespace plcsim
