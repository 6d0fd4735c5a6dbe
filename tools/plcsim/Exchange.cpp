#include "Exchange.h"

#include <algorithm>

namespace plcsim {

ConfirmBuilder::ConfirmBuilder(const SimDevice& device, const Request& request)
    : frame_(ambrel::kMaxFrameLength, 0),
      writer_(frame_),
      minimumLength_(device.Gen() == Generation::Second ? ambrel::kSecondGenerationFrameLength
                                                        : ambrel::kMinFrameLength) {
    writer_.Bytes(ambrel::header::kDestination, request.source);
    writer_.Bytes(ambrel::header::kSource, device.Mac());
    writer_.Be16(ambrel::header::kEtherType, ambrel::kEtherTypeManagement);
    writer_.U8(ambrel::header::kVersion, 0);
    writer_.Le16(ambrel::header::kType, ambrel::ConfirmOf(request.type));
    writer_.Bytes(ambrel::header::kVendor, ambrel::kVendorId);
}

std::vector<uint8_t> ConfirmBuilder::Finish(size_t contentLength) {
    size_t length = std::clamp(std::max(contentLength, minimumLength_), ambrel::kMinFrameLength,
                               ambrel::kMaxFrameLength);
    frame_.resize(length);
    return std::move(frame_);
}

std::string StatusText(uint8_t value) {
    switch (value) {
        case status::kOk:
            return "ok";
        case status::kMalformed:
            return "refused: malformed";
        case status::kBadChecksum:
            return "refused: bad checksum";
        case status::kBadOffset:
            return "refused: bad offset";
        case status::kUnknownTransaction:
            return "refused: unknown transaction";
        case status::kWrongKey:
            return "refused: wrong device key";
        case status::kUnknownModule:
            return "refused: unknown module";
        case status::kNotSupported:
            return "refused: not supported by this generation";
        case status::kBadLength:
            return "refused: bad length";
        default:
            return "status " + std::to_string(value);
    }
}

}  // namespace plcsim
