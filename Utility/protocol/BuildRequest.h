#pragma once

#include <cstdint>

#include "KeyDerivation.h"
#include "MacAddress.h"
#include "ManagementMessage.h"

namespace ambrel {

// Fills `frame` with the request of `type` and returns the number of bytes
// to send. `operation` is used by the module operation only (others pass
// kNoModuleOp); `deviceAccessKey` by the set-key request only. The
// transfer-driven requests take their chunk from the device model's transfer
// state and update its chunk length (and the transaction identifier of a
// start write). Returns 0 for a request that cannot be built (an unknown type
// or operation, or a chunk that lies outside its source).
uint16_t BuildRequest(FrameBuffer& frame, const MacAddress& source, const MacAddress& destination,
                      uint16_t type, uint8_t operation = kNoModuleOp,
                      const Key16* deviceAccessKey = nullptr);

inline uint16_t BuildRequest(FrameBuffer& frame, const MacAddress& source,
                             const MacAddress& destination, MessageType type,
                             uint8_t operation = kNoModuleOp,
                             const Key16* deviceAccessKey = nullptr) {
    return BuildRequest(frame, source, destination, static_cast<uint16_t>(type), operation,
                        deviceAccessKey);
}

}  // namespace ambrel
