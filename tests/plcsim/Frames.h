#pragma once

// Requests as the program sends them, built byte by byte from the message
// layouts (deliberately not with the program's own builder), and small
// readers for the confirmations.

#include <cstdint>
#include <ostream>
#include <span>
#include <vector>

#include "ByteCursor.h"
#include "Checksum32.h"
#include "KeyDerivation.h"
#include "MacAddress.h"
#include "ManagementMessage.h"
#include "Responder.h"

namespace plcsim::testing {

inline const ambrel::MacAddress kHostMac{0x02, 0x00, 0x00, 0x00, 0x00, 0x99};
inline const ambrel::MacAddress kLocalMac{0x02, 0x00, 0x00, 0x00, 0x00, 0x01};

inline std::vector<uint8_t> Header(const ambrel::MacAddress& destination, uint16_t type,
                                   size_t length = 64,
                                   const ambrel::MacAddress& source = kHostMac) {
    std::vector<uint8_t> frame(length, 0);
    ambrel::ByteWriter out(frame);
    out.Bytes(0, destination);
    out.Bytes(6, source);
    out.Be16(12, ambrel::kEtherTypeManagement);
    out.Le16(15, type);
    out.Bytes(17, ambrel::kVendorId);
    return frame;
}

inline std::vector<uint8_t> SetKeyRequest(const ambrel::MacAddress& destination,
                                          const ambrel::Key16& key, bool localForm,
                                          const ambrel::MacAddress& target,
                                          const ambrel::Key16& accessKey) {
    auto frame = Header(destination, 0xA050);
    ambrel::ByteWriter out(frame);
    out.U8(20, 1);
    out.Bytes(21, key);
    out.U8(37, localForm ? 0x0F : 0x00);
    out.Bytes(38, target);
    if (!localForm)
        out.Bytes(44, accessKey);
    return frame;
}

inline std::vector<uint8_t> ReadChunkRequest(uint32_t offset, uint16_t length, uint8_t module = 2) {
    auto frame = Header(kLocalMac, 0xA024);
    ambrel::ByteWriter out(frame);
    out.U8(20, module);
    out.Le16(22, length);
    out.Le32(24, offset);
    return frame;
}

inline std::vector<uint8_t> WriteChunkRequest(uint8_t module, uint32_t offset,
                                              std::span<const uint8_t> chunk) {
    auto frame = Header(kLocalMac, 0xA020, std::max<size_t>(64, 32 + chunk.size()));
    ambrel::ByteWriter out(frame);
    out.U8(20, module);
    out.Le16(22, static_cast<uint16_t>(chunk.size()));
    out.Le32(24, offset);
    out.Le32(28, ambrel::Checksum32(chunk, chunk.size() / 4));
    out.Bytes(32, chunk);
    return frame;
}

inline std::vector<uint8_t> ModuleRequest(uint16_t op, size_t length = 1448) {
    auto frame = Header(kLocalMac, 0xA0B0, length);
    ambrel::ByteWriter out(frame);
    out.U8(24, 1);
    out.Le16(25, op);
    return frame;
}

inline std::vector<uint8_t> ModuleReadRequest(uint32_t offset, uint16_t length,
                                              uint16_t module = ambrel::kModuleParameterBlock) {
    auto frame = ModuleRequest(0x00);
    ambrel::ByteWriter out(frame);
    out.Le16(27, 18);
    out.Le16(33, module);
    out.Le16(37, length);
    out.Le32(39, offset);
    return frame;
}

struct Descriptor {
    uint16_t module;
    std::span<const uint8_t> bytes;
};

inline std::vector<uint8_t> StartWriteRequest(uint32_t transaction,
                                              std::initializer_list<Descriptor> modules) {
    auto frame = ModuleRequest(0x10);
    ambrel::ByteWriter out(frame);
    out.Le16(27, 133);
    out.Le32(33, transaction);
    out.U8(37, static_cast<uint8_t>(modules.size()));
    size_t at = 38;
    for (const auto& module : modules) {
        out.Le16(at, module.module);
        out.Le32(at + 4, static_cast<uint32_t>(module.bytes.size()));
        out.Le32(at + 8, ambrel::Checksum32(module.bytes, module.bytes.size() / 4));
        at += 12;
    }
    return frame;
}

inline std::vector<uint8_t> ModuleWriteRequest(uint32_t transaction, uint8_t index, uint16_t module,
                                               uint32_t offset, std::span<const uint8_t> chunk) {
    auto frame = ModuleRequest(0x11);
    ambrel::ByteWriter out(frame);
    out.Le16(27, static_cast<uint16_t>(chunk.size() + 23));
    out.Le32(33, transaction);
    out.U8(37, index);
    out.Le16(38, module);
    out.Le16(42, static_cast<uint16_t>(chunk.size()));
    out.Le32(44, offset);
    out.Bytes(48, chunk);
    return frame;
}

inline std::vector<uint8_t> ModuleCommitRequest(uint32_t transaction, uint32_t flags) {
    auto frame = ModuleRequest(0x12);
    ambrel::ByteWriter out(frame);
    out.Le16(27, 20);
    out.Le32(33, transaction);
    out.Le32(37, flags);
    return frame;
}

inline uint8_t U8(const std::vector<uint8_t>& frame, size_t offset) {
    return ambrel::ByteReader(frame).U8(offset).value_or(0xEE);
}
inline uint16_t Le16(const std::vector<uint8_t>& frame, size_t offset) {
    return ambrel::ByteReader(frame).Le16(offset).value_or(0xEEEE);
}
inline uint32_t Le32(const std::vector<uint8_t>& frame, size_t offset) {
    return ambrel::ByteReader(frame).Le32(offset).value_or(0xEEEEEEEE);
}
inline ambrel::MacAddress MacAt(const std::vector<uint8_t>& frame, size_t offset) {
    ambrel::MacAddress mac{};
    if (auto bytes = ambrel::ByteReader(frame).Bytes(offset, 6)) {
        std::copy(bytes->begin(), bytes->end(), mac.begin());
    }
    return mac;
}
inline std::vector<uint8_t> BytesAt(const std::vector<uint8_t>& frame, size_t offset,
                                    size_t count) {
    auto bytes = ambrel::ByteReader(frame).Bytes(offset, count);
    if (!bytes)
        return {};
    return {bytes->begin(), bytes->end()};
}

inline ambrel::MacAddress Mac(uint8_t last) {
    return {0x02, 0x00, 0x00, 0x00, 0x01, last};
}

// A responder over its own network, with a clock the test moves.
struct Bench {
    explicit Bench(uint8_t localId = 2)
        : Bench(DeviceConfig{.mac = kLocalMac, .deviceId = localId}) {}
    explicit Bench(DeviceConfig local) : network(std::move(local)) {}

    std::vector<Reply> Send(const std::vector<uint8_t>& frame) {
        return responder.Handle(frame, nowMs);
    }
    // The one confirmation a request gets (empty, with a test failure, if
    // there is not exactly one).
    std::vector<uint8_t> Ask(const std::vector<uint8_t>& frame) {
        auto replies = Send(frame);
        EXPECT_EQ(replies.size(), 1u) << "expected exactly one confirmation";
        return replies.size() == 1 ? replies[0].frame : std::vector<uint8_t>{};
    }

    Network network;
    Responder responder{network};
    uint64_t nowMs = 1000;
};

// Table cases print as their name in test listings, not as raw bytes. In
// the unnamed namespace, where each test file keeps its cases.
namespace {
template <typename Case>
requires requires(const Case& c) {
    c.name;
}
[[maybe_unused]] void PrintTo(const Case& c, std::ostream* os) {
    *os << c.name;
}
}  // namespace

}  // namespace plcsim::testing
