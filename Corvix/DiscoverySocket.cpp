#include "DiscoverySocket.h"

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <string>

#include "AdapterEnumeration.h"
#include "AddressText.h"
#include "CorvixLimits.h"
#include "DiscoveryRequest.h"
#include "RecordAnswer.h"
#include "ScanAdapter.h"
#include "ScanTiming.h"

namespace corvix {
namespace {

bool SetFlag(int socket, int option) {
    const int on = 1;
    return setsockopt(socket, SOL_SOCKET, option, &on, sizeof on) == 0;
}

// The interface of the scanned adapter whose first address is `address`
// (empty when no adapter of the table has it, or its name is not ASCII).
std::string InterfaceOf(uint32_t address) {
    for (uint32_t i = 0; i < scanAdapterTable.count && i < kMaxScanAdapters; ++i) {
        const ScanAdapter& adapter = scanAdapterTable.adapters[i];
        if (ParseIpv4(adapter.addresses.address) != address)
            continue;
        std::string name;
        for (char16_t unit : adapter.name) {
            if (unit == 0 || unit > 0x7E)
                return {};
            name += static_cast<char>(unit);
        }
        return name;
    }
    return {};
}

// Whether `address` is still one of this machine's: bind reports
// EADDRNOTAVAIL otherwise.
bool AddressIsOurs(uint32_t address) {
    const int probe = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (probe < 0)
        return true;  // nothing learnt; the scan goes on
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = address;
    const bool gone = bind(probe, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0 &&
                      errno == EADDRNOTAVAIL;
    close(probe);
    return !gone;
}

}  // namespace

int OpenDiscoverySocket(uint32_t address) {
    const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return kInvalidSocket;
    // Linux refuses a send to a directed broadcast address without
    // SO_BROADCAST.
    if (!SetFlag(fd, SO_BROADCAST)) {
        close(fd);
        return kInvalidSocket;
    }
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_port = htons(kClientPort);
    local.sin_addr.s_addr = address;
    // A device on another subnet than the adapter's can only answer by
    // broadcast, and on Linux a socket bound to one address never receives
    // broadcasts. Bound to the adapter's interface instead, with any address,
    // it receives what arrives on that interface for port 28011, broadcast or
    // not; its requests still leave from the adapter's address.
    const std::string device = InterfaceOf(address);
    if (!device.empty() && setsockopt(fd, SOL_SOCKET, SO_BINDTODEVICE, device.c_str(),
                                      static_cast<socklen_t>(device.size() + 1)) == 0) {
        if (!AddressIsOurs(address)) {
            close(fd);
            EnumeratePhysicalAdapters();
            return kInvalidSocket;
        }
        local.sin_addr.s_addr = htonl(INADDR_ANY);
    }
    if (bind(fd, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0) {
        const int error = errno;
        close(fd);
        if (error == EADDRNOTAVAIL)
            EnumeratePhysicalAdapters();
        return kInvalidSocket;
    }
    return fd;
}

int SendDiscoveryRequest(int socket, uint32_t address, uint32_t mask) {
    const DiscoveryRequest request = BuildDiscoveryRequest(scanAdapterTable);
    sockaddr_in destination{};
    destination.sin_family = AF_INET;
    destination.sin_port = htons(kDevicePort);
    destination.sin_addr.s_addr = DirectedBroadcast(address, mask);
    std::printf("server_to.sin_addr.s_addr = %x\n", destination.sin_addr.s_addr);
    std::fflush(stdout);
    const ssize_t sent =
        sendto(socket, request.data(), request.size(), MSG_NOSIGNAL,
               reinterpret_cast<const sockaddr*>(&destination), sizeof destination);
    (void)sent;  // a failed send still leaves the adapter to be listened to
    return 0;
}

int ReceiveAnswers(int socket) {
    const auto silence = CurrentScanTiming().answerSilence;
    for (int attempt = 0; attempt < kMaxReadsPerAdapter; ++attempt) {
        if (WaitReadable(socket, silence) != WaitOutcome::Readable)
            break;
        std::array<uint8_t, kAnswerSize> buffer{};
        // MSG_TRUNC makes recv report the datagram's real length, so a longer
        // datagram is refused rather than taken as its first 160 bytes.
        const ssize_t length = recv(socket, buffer.data(), buffer.size(), MSG_TRUNC | MSG_DONTWAIT);
        if (length < 0) {
            if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)
                continue;
            break;
        }
        if (static_cast<size_t>(length) != buffer.size())
            continue;
        RecordAnswer(buffer);
    }
    return 0;
}

bool CloseDiscoverySocket(int socket) {
    return socket >= 0 && close(socket) == 0;
}

}  // namespace corvix
