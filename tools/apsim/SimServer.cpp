#include "SimServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <thread>

namespace apsim {
namespace {

// Big enough to see that a datagram is longer than a request.
constexpr size_t kReceiveBytes = 2048;

void Pause(int ms) {
    if (ms > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

}  // namespace

std::vector<std::vector<uint8_t>> PlanReplies(const Options& options) {
    std::vector<std::vector<uint8_t>> replies;
    // Broken answers carry MACs of their own (02:BA:D0:00:00:<n>), so a
    // scanner that wrongly took one would list a device that does not exist.
    for (size_t k = 0; k < options.malformed.size(); ++k) {
        SimDevice broken;
        broken.model = "BROKEN";
        broken.name = "malformed";
        broken.address = options.devices.empty() ? 0 : options.devices.front().address;
        broken.mac = {0x02, 0xBA, 0xD0, 0x00, 0x00, static_cast<uint8_t>(k + 1)};
        if (auto answer = BuildAnswer(broken)) {
            replies.push_back(Malform(*answer, options.malformed[k]));
        }
    }
    for (const SimDevice& device : options.devices) {
        if (auto answer = BuildAnswer(device))
            replies.emplace_back(answer->begin(), answer->end());
    }
    if (options.duplicateAddress && !options.devices.empty()) {
        SimDevice again = options.devices.front();
        again.address = *options.duplicateAddress;
        if (auto answer = BuildAnswer(again))
            replies.emplace_back(answer->begin(), answer->end());
    }
    return replies;
}

int RunServer(const Options& options) {
    const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        std::fprintf(stderr, "apsim: socket: %s\n", std::strerror(errno));
        return 1;
    }
    const int on = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    setsockopt(fd, SOL_SOCKET, SO_BROADCAST, &on, sizeof on);
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_port = htons(options.port);
    local.sin_addr.s_addr = options.listenAddress;
    if (bind(fd, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0) {
        std::fprintf(stderr, "apsim: bind %s:%u: %s\n", AddressText(options.listenAddress).c_str(),
                     options.port, std::strerror(errno));
        close(fd);
        return 1;
    }
    std::printf("apsim listening on %s:%u with %zu device(s)\n",
                AddressText(options.listenAddress).c_str(), options.port, options.devices.size());
    std::fflush(stdout);
    if (!options.readyFile.empty())
        std::ofstream(options.readyFile) << "ready\n";

    const auto replies = PlanReplies(options);
    std::array<uint8_t, kReceiveBytes> buffer{};
    for (;;) {
        sockaddr_in source{};
        socklen_t sourceLength = sizeof source;
        const ssize_t length = recvfrom(fd, buffer.data(), buffer.size(), MSG_TRUNC,
                                        reinterpret_cast<sockaddr*>(&source), &sourceLength);
        if (length < 0) {
            if (errno == EINTR)
                continue;
            std::fprintf(stderr, "apsim: recvfrom: %s\n", std::strerror(errno));
            close(fd);
            return 1;
        }
        const std::string from =
            AddressText(source.sin_addr.s_addr) + ":" + std::to_string(ntohs(source.sin_port));
        const size_t received = std::min(static_cast<size_t>(length), buffer.size());
        auto request = static_cast<size_t>(length) == received
                           ? ParseRequest(std::span(buffer.data(), received))
                           : std::nullopt;
        if (!request) {
            std::printf("ignored %zd-byte datagram from %s\n", length, from.c_str());
            std::fflush(stdout);
            continue;
        }
        std::printf("request from %s %s\n", from.c_str(), DescribeRequest(*request).c_str());
        std::fflush(stdout);
        Pause(options.delayMs);
        sockaddr_in destination = source;
        if (options.broadcastAnswers)
            destination.sin_addr.s_addr = AnswerBroadcast(*request, source.sin_addr.s_addr);
        for (size_t i = 0; i < replies.size(); ++i) {
            if (i > 0)
                Pause(options.gapMs);
            sendto(fd, replies[i].data(), replies[i].size(), 0,
                   reinterpret_cast<const sockaddr*>(&destination), sizeof destination);
        }
    }
}

}  // namespace apsim
