#pragma once

// What the transport needs from a packet-capture library. The real one is
// libpcap (PcapBackend); tests plug in their own to run the transport and the
// discovery without a network.

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "MacAddress.h"

namespace ambrel {

class CaptureHandle {
public:
    virtual ~CaptureHandle() = default;

    // Lets only frames of EtherType 0x887B or 0x88E1 through.
    virtual bool InstallReceiveFilter(std::string& error) = 0;
    virtual bool Send(std::span<const uint8_t> frame) = 0;

    using FrameSink = void (*)(void* context, std::span<const uint8_t> frame);
    // Delivers every frame of the current capture buffer to the sink; returns
    // the number delivered, or -1 on an error.
    virtual int Dispatch(FrameSink sink, void* context) = 0;
};

class CaptureBackend {
public:
    virtual ~CaptureBackend() = default;

    // Names of the capture devices in the library's order; nullopt when the
    // library fails.
    virtual std::optional<std::vector<std::string>> ListDevices(std::string& error) = 0;
    // The adapter's current 6-byte MAC address by its device name.
    virtual std::optional<MacAddress> QueryMac(const std::string& name) = 0;
    // Snapshot length 65536, not promiscuous, read timeout 1 ms.
    virtual std::unique_ptr<CaptureHandle> Open(const std::string& name, std::string& error) = 0;
};

// The backend the transport uses. Until a program installs one, a backend
// that lists no device is in place. The caller keeps ownership.
CaptureBackend& ActiveCaptureBackend();
void SetCaptureBackend(CaptureBackend* backend);

}  // namespace ambrel
