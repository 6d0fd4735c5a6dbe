#include "PcapBackend.h"

#include <net/if.h>
#include <net/if_arp.h>
#include <pcap/pcap.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cstring>
#include <string_view>

#include "ManagementMessage.h"

namespace ambrel {

namespace {

std::atomic<bool> permissionDenied{false};

// Accept frames of EtherType 0x887B or 0x88E1, drop everything else.
struct bpf_insn kReceiveFilter[] = {
    BPF_STMT(BPF_LD + BPF_H + BPF_ABS, 12),
    BPF_JUMP(BPF_JMP + BPF_JEQ + BPF_K, kEtherTypeHomePlugAv, 0, 1),
    BPF_STMT(BPF_RET + BPF_K, 0xFFFFFFFF),
    BPF_STMT(BPF_LD + BPF_H + BPF_ABS, 12),
    BPF_JUMP(BPF_JMP + BPF_JEQ + BPF_K, kEtherTypeManagement, 0, 1),
    BPF_STMT(BPF_RET + BPF_K, 0xFFFFFFFF),
    BPF_STMT(BPF_RET + BPF_K, 0),
};

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0)
            close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int Get() const { return fd_; }

private:
    int fd_;
};

// The interface's hardware address when it is a 6-byte Ethernet address.
std::optional<MacAddress> EthernetAddress(const std::string& name) {
    if (name.size() >= IFNAMSIZ)
        return std::nullopt;
    FileDescriptor socketFd(socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0));
    if (socketFd.Get() < 0)
        return std::nullopt;
    ifreq request{};
    std::memcpy(request.ifr_name, name.c_str(), name.size());
    if (ioctl(socketFd.Get(), SIOCGIFHWADDR, &request) != 0)
        return std::nullopt;
    if (request.ifr_hwaddr.sa_family != ARPHRD_ETHER)
        return std::nullopt;
    MacAddress mac{};
    std::memcpy(mac.data(), request.ifr_hwaddr.sa_data, mac.size());
    return mac;
}

bool IsPseudoDevice(std::string_view name, bpf_u_int32 flags) {
    if (flags & PCAP_IF_LOOPBACK)
        return true;
    if (name == "any")
        return true;
    for (std::string_view prefix : {"bluetooth", "usbmon", "dbus", "nflog", "nfqueue"}) {
        if (name.starts_with(prefix))
            return true;
    }
    return false;
}

class PcapHandle final : public CaptureHandle {
public:
    explicit PcapHandle(pcap_t* handle) : handle_(handle) {}
    ~PcapHandle() override { pcap_close(handle_); }
    PcapHandle(const PcapHandle&) = delete;
    PcapHandle& operator=(const PcapHandle&) = delete;

    bool InstallReceiveFilter(std::string& error) override {
        bpf_program program{static_cast<u_int>(std::size(kReceiveFilter)), kReceiveFilter};
        if (pcap_setfilter(handle_, &program) != 0) {
            error = pcap_geterr(handle_);
            return false;
        }
        return true;
    }

    bool Send(std::span<const uint8_t> frame) override {
        return pcap_sendpacket(handle_, frame.data(), static_cast<int>(frame.size())) == 0;
    }

    int Dispatch(FrameSink sink, void* context) override {
        struct Target {
            FrameSink sink;
            void* context;
        } target{sink, context};
        auto callback = [](u_char* user, const pcap_pkthdr* header, const u_char* bytes) {
            auto* t = reinterpret_cast<Target*>(user);
            t->sink(t->context, std::span<const uint8_t>(bytes, header->caplen));
        };
        return pcap_dispatch(handle_, 0, callback, reinterpret_cast<u_char*>(&target));
    }

private:
    pcap_t* handle_;
};

class LibpcapBackend final : public CaptureBackend {
public:
    std::optional<std::vector<std::string>> ListDevices(std::string& error) override {
        std::array<char, PCAP_ERRBUF_SIZE> errorText{};
        pcap_if_t* all = nullptr;
        if (pcap_findalldevs(&all, errorText.data()) != 0) {
            error = errorText.data();
            return std::nullopt;
        }
        std::vector<std::string> names;
        for (pcap_if_t* device = all; device != nullptr; device = device->next) {
            std::string name = device->name;
            if (IsPseudoDevice(name, device->flags))
                continue;
            if (!EthernetAddress(name))
                continue;
            names.push_back(std::move(name));
        }
        pcap_freealldevs(all);
        return names;
    }

    std::optional<MacAddress> QueryMac(const std::string& name) override {
        return EthernetAddress(name);
    }

    std::unique_ptr<CaptureHandle> Open(const std::string& name, std::string& error) override {
        std::array<char, PCAP_ERRBUF_SIZE> errorText{};
        pcap_t* raw = pcap_create(name.c_str(), errorText.data());
        if (raw == nullptr) {
            error = errorText.data();
            return nullptr;
        }
        auto handle = std::make_unique<PcapHandle>(raw);
        pcap_set_snaplen(raw, 65536);
        pcap_set_promisc(raw, 0);
        pcap_set_timeout(raw, 1);
        // Frames are handed over as they arrive, and a poll never blocks:
        // the waits pace themselves with their own 1 ms sleep.
        pcap_set_immediate_mode(raw, 1);
        int status = pcap_activate(raw);
        if (status < 0) {
            permissionDenied = status == PCAP_ERROR_PERM_DENIED;
            error = pcap_geterr(raw);
            return nullptr;
        }
        pcap_setnonblock(raw, 1, errorText.data());
        // Our own requests are of no interest to the waits.
        pcap_setdirection(raw, PCAP_D_IN);
        return handle;
    }
};

}  // namespace

CaptureBackend& PcapCaptureBackend() {
    static LibpcapBackend backend;
    return backend;
}

void UsePcapBackend() {
    SetCaptureBackend(&PcapCaptureBackend());
}

bool PcapPermissionDenied() {
    return permissionDenied;
}

}  // namespace ambrel
