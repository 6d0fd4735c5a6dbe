#pragma once

// What a message handler works with: the parsed request header, the device
// that answers, and a builder for the confirmation it sends back.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "ByteCursor.h"
#include "MacAddress.h"
#include "ManagementMessage.h"
#include "Network.h"

namespace plcsim {

// Status values the simulated devices put into their confirmations.
namespace status {
inline constexpr uint8_t kOk = 0x00;
inline constexpr uint8_t kMalformed = 0x01;
inline constexpr uint8_t kBadChecksum = 0x02;
inline constexpr uint8_t kBadOffset = 0x03;
inline constexpr uint8_t kUnknownTransaction = 0x04;
inline constexpr uint8_t kWrongKey = 0x05;
inline constexpr uint8_t kUnknownModule = 0x06;
inline constexpr uint8_t kNotSupported = 0x07;
inline constexpr uint8_t kBadLength = 0x08;
}  // namespace status

struct Request {
    explicit Request(std::span<const uint8_t> bytes) : frame(bytes), reader(bytes) {}

    std::span<const uint8_t> frame;
    ambrel::ByteReader reader;
    ambrel::MacAddress destination{};
    ambrel::MacAddress source{};
    uint16_t type = 0;
};

// Lays out a confirmation from `device` to the request's sender: the header,
// then the fields the handler writes. Finish() cuts it to the content and
// pads it to the device's minimum frame length.
class ConfirmBuilder {
public:
    ConfirmBuilder(const SimDevice& device, const Request& request);
    ConfirmBuilder(const ConfirmBuilder&) = delete;
    ConfirmBuilder& operator=(const ConfirmBuilder&) = delete;

    ambrel::ByteWriter& Fields() { return writer_; }
    std::vector<uint8_t> Finish(size_t contentLength);

private:
    std::vector<uint8_t> frame_;
    ambrel::ByteWriter writer_;
    size_t minimumLength_;
};

struct Exchange {
    Network& network;
    SimDevice& device;  // the device that answers
    const Request& request;
    uint64_t nowMs;
};

// A handler's answer: the confirmation (empty: none) and a short account of
// what happened, for the request log.
struct Outcome {
    std::vector<uint8_t> confirm;
    std::string summary;
};

Outcome HandleVersion(Exchange& exchange);
Outcome HandleNetworkInfo(Exchange& exchange);
Outcome HandleSetKey(Exchange& exchange);
Outcome HandleFactoryDefaults(Exchange& exchange);
Outcome HandleRestart(Exchange& exchange);
Outcome HandleReadChunk(Exchange& exchange);
Outcome HandleWriteChunk(Exchange& exchange);
Outcome HandleCommit(Exchange& exchange);
Outcome HandleFinishUpgrade(Exchange& exchange);
Outcome HandleModuleOperation(Exchange& exchange);

std::string StatusText(uint8_t status);

}  // namespace plcsim
