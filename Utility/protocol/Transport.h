#pragma once

// The PC's wired adapters as the capture library sees them: listing, opening
// with the management-frame filter, sending through the selected adapter and
// polling every adapter for a confirmation.

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "KeyDerivation.h"
#include "MacAddress.h"
#include "ManagementMessage.h"

namespace ambrel {

bool EnumerateAdapters();
std::optional<MacAddress> QueryAdapterMac(const std::string& deviceName);
bool OpenAdapter(int index);
bool SendFrame(std::span<const uint8_t> frame, uint16_t length);
// The last frame of one dispatch on adapter `index`, or nothing.
std::optional<std::span<const uint8_t>> ReceiveFrame(int index);
// Polls every open adapter until a frame whose type at offset 15 is
// requestType | 1 arrives or `ticks` × 100 ms have passed. The frame is
// copied into `receive` (cut to the buffer, the rest zeroed).
bool WaitForConfirm(FrameBuffer& receive, uint16_t requestType, uint16_t ticks);
bool CloseAdapters();
MacAddress SourceMac();

// The capture device name of adapter `index`, or an empty text.
std::string AdapterName(int index);

// One whole request/confirm exchange: build, send through the selected
// adapter, wait `ticks`, parse. `confirmed` tells whether a confirmation
// arrived at all; the result is whether it was accepted.
struct ExchangeResult {
    bool sent = false;
    bool confirmed = false;
    bool accepted = false;
};
ExchangeResult Exchange(const MacAddress& destination, MessageType type, uint16_t ticks,
                        uint8_t operation = kNoModuleOp, const Key16* deviceAccessKey = nullptr);

}  // namespace ambrel
