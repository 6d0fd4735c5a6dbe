#pragma once

// The simulator's side of the discovery protocol: parsing requests and
// building answers (valid and deliberately broken ones).

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "SimDevice.h"

namespace apsim {

inline constexpr size_t kRequestBytes = 164;
inline constexpr size_t kAnswerBytes = 160;
inline constexpr size_t kMaxPairs = 20;

struct Request {
    // (address, mask) in network order, as many as pairCount says.
    std::vector<std::pair<uint32_t, uint32_t>> pairs;
};

// A request is exactly 164 bytes, begins 01 00 and has a pairCount of at most
// 20; anything else is nullopt.
std::optional<Request> ParseRequest(std::span<const uint8_t> datagram);

// "pairs N: a/m a/m ..."
std::string DescribeRequest(const Request& request);

// Where a device answering by broadcast sends its answers to a request from
// `requester`: the broadcast address of the first of the request's subnets
// that holds the requester, else 255.255.255.255 (all in network order).
uint32_t AnswerBroadcast(const Request& request, uint32_t requester);

using Answer = std::array<uint8_t, kAnswerBytes>;

// The answer for `device` (texts converted to GBK). nullopt only when a text
// does not fit, which ParseDeviceSpec already refuses.
std::optional<Answer> BuildAnswer(const SimDevice& device);

enum class Malformation { Short, Long, WrongType };
std::optional<Malformation> ParseMalformation(std::string_view name);

// `answer` broken the given way: 159 bytes, 161 bytes, or type bytes 02 00.
std::vector<uint8_t> Malform(const Answer& answer, Malformation how);

}  // namespace apsim
