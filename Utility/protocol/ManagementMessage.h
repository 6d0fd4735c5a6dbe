#pragma once

// Layout constants of the vendor management messages: the common header,
// the message types and the frame limits.

#include <array>
#include <cstddef>
#include <cstdint>

namespace ambrel {

inline constexpr uint16_t kEtherTypeManagement = 0x88E1;
inline constexpr uint16_t kEtherTypeHomePlugAv = 0x887B;
inline constexpr std::array<uint8_t, 3> kVendorId{0x00, 0xB0, 0x52};

inline constexpr size_t kFrameBufferSize = 1518;   // callers' zero-filled buffers
inline constexpr size_t kMinFrameLength = 60;      // Ethernet minimum without FCS
inline constexpr size_t kMaxFrameLength = 1514;    // Ethernet maximum without FCS
inline constexpr size_t kShortRequestLength = 64;  // first generation: raised to this
inline constexpr size_t kSecondGenerationFrameLength = 1448;

using FrameBuffer = std::array<uint8_t, kFrameBufferSize>;

// Offsets of the common header.
namespace header {
inline constexpr size_t kDestination = 0;
inline constexpr size_t kSource = 6;
inline constexpr size_t kEtherType = 12;
inline constexpr size_t kVersion = 14;
inline constexpr size_t kType = 15;
inline constexpr size_t kVendor = 17;
inline constexpr size_t kPayload = 20;
}  // namespace header

// A confirmation carries its request's type with bit 0 set.
enum class MessageType : uint16_t {
    Version = 0xA000,
    Restart = 0xA01C,
    WriteChunk = 0xA020,
    ReadChunk = 0xA024,
    Commit = 0xA028,
    NetworkInfo = 0xA038,
    SetKey = 0xA050,
    FactoryDefaults = 0xA07C,
    FinishUpgrade = 0xA080,
    ModuleOperation = 0xA0B0,
};

inline constexpr uint16_t ConfirmOf(uint16_t requestType) {
    return static_cast<uint16_t>(requestType | 1);
}
inline constexpr uint16_t ConfirmOf(MessageType requestType) {
    return ConfirmOf(static_cast<uint16_t>(requestType));
}

// Operation codes of the module operation (0xA0B0).
enum class ModuleOp : uint8_t {
    Read = 0x00,
    StartWrite = 0x10,
    Write = 0x11,
    Commit = 0x12,
};

// The operation code that callers pass for every other message type.
inline constexpr uint8_t kNoModuleOp = 255;

inline constexpr uint16_t kModuleParameterBlock = 0x7002;
inline constexpr uint16_t kModuleFirmware = 0x7001;

inline constexpr uint16_t kFirstGenerationChunk = 1024;
inline constexpr uint16_t kSecondGenerationChunk = 1400;

}  // namespace ambrel
