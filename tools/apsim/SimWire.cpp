#include "SimWire.h"

#include <cstring>

#include "ByteCursor.h"
#include "CodePage.h"

namespace apsim {
namespace {

constexpr int kAnswerLanguage = 2052;

bool WriteText(ambrel::ByteWriter& writer, size_t offset, size_t width, const std::string& utf8) {
    auto wide = ambrel::Utf8ToUtf16(utf8);
    if (!wide)
        return false;
    auto ansi = ambrel::ToAnsi(*wide, kAnswerLanguage);
    if (!ansi || ansi->size() > width)
        return false;
    return writer.Bytes(offset,
                        std::span(reinterpret_cast<const uint8_t*>(ansi->data()), ansi->size()));
}

}  // namespace

std::optional<Request> ParseRequest(std::span<const uint8_t> datagram) {
    ambrel::ByteReader reader(datagram);
    if (reader.Size() != kRequestBytes || reader.Le16(0) != 1)
        return std::nullopt;
    const auto count = reader.Le16(2);
    if (!count || *count > kMaxPairs)
        return std::nullopt;
    Request request;
    for (size_t k = 0; k < *count; ++k) {
        auto address = reader.Bytes(4 + 8 * k, 4);
        auto mask = reader.Bytes(8 + 8 * k, 4);
        if (!address || !mask)
            return std::nullopt;
        uint32_t a = 0;
        uint32_t m = 0;
        std::memcpy(&a, address->data(), 4);
        std::memcpy(&m, mask->data(), 4);
        request.pairs.emplace_back(a, m);
    }
    return request;
}

std::string DescribeRequest(const Request& request) {
    std::string text = "pairs " + std::to_string(request.pairs.size()) + ":";
    for (const auto& [address, mask] : request.pairs) {
        text += " " + AddressText(address) + "/" + AddressText(mask);
    }
    return text;
}

std::optional<Answer> BuildAnswer(const SimDevice& device) {
    Answer answer{};
    ambrel::ByteWriter writer(answer);
    writer.Be16(0, 2);
    std::array<uint8_t, 4> address{};
    std::memcpy(address.data(), &device.address, address.size());
    writer.Bytes(2, address);
    writer.Bytes(6, device.mac);
    if (!WriteText(writer, 12, 20, device.model) || !WriteText(writer, 32, 128, device.name)) {
        return std::nullopt;
    }
    return answer;
}

std::optional<Malformation> ParseMalformation(std::string_view name) {
    if (name == "short")
        return Malformation::Short;
    if (name == "long")
        return Malformation::Long;
    if (name == "type")
        return Malformation::WrongType;
    return std::nullopt;
}

std::vector<uint8_t> Malform(const Answer& answer, Malformation how) {
    std::vector<uint8_t> bytes(answer.begin(), answer.end());
    switch (how) {
        case Malformation::Short:
            bytes.pop_back();
            break;
        case Malformation::Long:
            bytes.push_back(0);
            break;
        case Malformation::WrongType: {
            ambrel::ByteWriter writer(bytes);
            writer.Be16(0, 0x0200);
            break;
        }
    }
    return bytes;
}

uint32_t AnswerBroadcast(const Request& request, uint32_t requester) {
    for (const auto& [address, mask] : request.pairs) {
        if (mask != 0 && (address & mask) == (requester & mask))
            return address | ~mask;
    }
    return 0xFFFFFFFFu;
}

}  // namespace apsim
