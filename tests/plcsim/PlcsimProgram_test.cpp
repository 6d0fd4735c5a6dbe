// The real program on a veth pair: a version request from the host end gets
// its confirmation from the simulated local device.

#include <arpa/inet.h>
#include <linux/if_packet.h>
#include <net/if.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <fstream>
#include <sstream>

#include "Frames.h"
#include "TestNetwork.h"

namespace plcsim::testing {
namespace {

using namespace std::chrono_literals;

class PacketSocket {
public:
    explicit PacketSocket(const std::string& interfaceName) {
        fd_ = socket(AF_PACKET, SOCK_RAW, htons(ambrel::kEtherTypeManagement));
        if (fd_ < 0)
            return;
        sockaddr_ll address{};
        address.sll_family = AF_PACKET;
        address.sll_protocol = htons(ambrel::kEtherTypeManagement);
        address.sll_ifindex = static_cast<int>(if_nametoindex(interfaceName.c_str()));
        ifreq request{};
        std::strncpy(request.ifr_name, interfaceName.c_str(), IFNAMSIZ - 1);
        if (bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
            ioctl(fd_, SIOCGIFHWADDR, &request) != 0) {
            close(fd_);
            fd_ = -1;
            return;
        }
        std::memcpy(mac_.data(), request.ifr_hwaddr.sa_data, mac_.size());
    }
    ~PacketSocket() {
        if (fd_ >= 0)
            close(fd_);
    }
    bool Ok() const { return fd_ >= 0; }
    const ambrel::MacAddress& Mac() const { return mac_; }
    bool Send(const std::vector<uint8_t>& frame) {
        return send(fd_, frame.data(), frame.size(), 0) == static_cast<ssize_t>(frame.size());
    }
    std::optional<std::vector<uint8_t>> Receive(int timeoutMs) {
        pollfd watched{fd_, POLLIN, 0};
        if (poll(&watched, 1, timeoutMs) <= 0)
            return std::nullopt;
        std::vector<uint8_t> frame(65536);
        ssize_t length = recv(fd_, frame.data(), frame.size(), 0);
        if (length < 0)
            return std::nullopt;
        frame.resize(static_cast<size_t>(length));
        return frame;
    }

private:
    int fd_ = -1;
    ambrel::MacAddress mac_{};
};

TEST(PlcsimProgram, AnswersAVersionRequestOnAVethPair) {
    AMBREL_REQUIRE_PRIVATE_NETWORK();
    const std::string hostEnd = "plcsim-h0";
    const std::string peerEnd = "plcsim-p0";
    ASSERT_TRUE(ambrel::test::CreateVethPair(hostEnd, peerEnd));
    ambrel::test::PeerHost peer;
    ASSERT_TRUE(peer.Create(peerEnd));

    const std::string dir = ::testing::TempDir();
    const std::string networkFile = dir + "/plcsim-veth-network.txt";
    const std::string logFile = dir + "/plcsim-veth.log";
    std::remove(logFile.c_str());
    std::ofstream(networkFile) << "local 02:00:00:00:00:01\n  id 0x21\n  firmware VETH-FW-9\n";
    ASSERT_TRUE(peer.Start({ambrel::test::BuiltProgram("plcsim"), "--interface", peerEnd,
                            "--network", networkFile, "--log", logFile}));

    PacketSocket host(hostEnd);
    ASSERT_TRUE(host.Ok()) << std::strerror(errno);
    auto request = Header(ambrel::kLocalManagementAddress, 0xA000, 64, host.Mac());

    // The program needs a moment to start: ask again until it answers.
    std::optional<std::vector<uint8_t>> confirm;
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    while (!confirm && std::chrono::steady_clock::now() < deadline) {
        ASSERT_TRUE(host.Send(request));
        const auto waitEnd = std::chrono::steady_clock::now() + 100ms;
        while (!confirm && std::chrono::steady_clock::now() < waitEnd) {
            auto frame = host.Receive(20);
            if (frame && Le16(*frame, 15) == 0xA001)
                confirm = frame;
        }
    }
    ASSERT_TRUE(confirm) << "no version confirmation within 5 s";
    EXPECT_EQ(MacAt(*confirm, 0), host.Mac());
    EXPECT_EQ(MacAt(*confirm, 6), kLocalMac);
    EXPECT_EQ(U8(*confirm, 21), 0x21);
    auto text = BytesAt(*confirm, 23, 9);
    EXPECT_EQ(std::string(text.begin(), text.end()), "VETH-FW-9");
    EXPECT_EQ(confirm->size(), 1448u);

    peer.Stop();
    std::ifstream log(logFile);
    std::stringstream lines;
    lines << log.rdbuf();
    EXPECT_NE(lines.str().find(" A000 dst=00:B0:52:00:00:01 src=" + ambrel::FormatMac(host.Mac())),
              std::string::npos)
        << lines.str();
}

}  // namespace
}  // namespace plcsim::testing
