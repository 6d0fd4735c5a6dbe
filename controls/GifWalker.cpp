#include "GifWalker.h"

#include <cstdint>

#include "ByteCursor.h"

namespace ambrel {

namespace {

constexpr uint8_t kExtension = 0x21;
constexpr uint8_t kImage = 0x2C;
constexpr uint8_t kTrailer = 0x3B;
constexpr uint8_t kPlainText = 0x01;
constexpr uint8_t kGraphicControl = 0xF9;
constexpr uint8_t kComment = 0xFE;
constexpr uint8_t kApplication = 0xFF;
constexpr size_t kScreenEnd = 13;

size_t ColourTableSize(uint8_t packed) {
    return (packed & 0x80) ? 3u * (2u << (packed & 7)) : 0;
}

// One block as the walk sees it.
struct Block {
    enum class Kind { GraphicControl, OtherExtension, Image, Trailer } kind;
    size_t start = 0;
    size_t end = 0;  // one past the block's last byte
};

class Walker {
public:
    explicit Walker(std::span<const uint8_t> data) : in_(data) {}

    // The next block at `pos`, or nothing on an error.
    std::optional<Block> Next(size_t pos) const {
        auto introducer = in_.U8(pos);
        if (!introducer)
            return std::nullopt;
        if (*introducer == kTrailer)
            return Block{Block::Kind::Trailer, pos, pos + 1};
        if (*introducer == kImage) {
            auto packed = in_.U8(pos + 9);
            if (!packed)
                return std::nullopt;
            // 10 bytes of descriptor, the local table, the code size byte.
            auto end = SkipSubBlocks(pos + 10 + ColourTableSize(*packed) + 1);
            if (!end)
                return std::nullopt;
            return Block{Block::Kind::Image, pos, *end};
        }
        if (*introducer != kExtension)
            return std::nullopt;
        auto label = in_.U8(pos + 1);
        if (!label)
            return std::nullopt;
        std::optional<size_t> end;
        switch (*label) {
            case kGraphicControl:
                if (!in_.Has(pos, 8))
                    return std::nullopt;
                return Block{Block::Kind::GraphicControl, pos, pos + 8};
            case kPlainText:
                end = SkipSubBlocks(pos + 15);
                break;
            case kComment:
                end = SkipSubBlocks(pos + 2);
                break;
            case kApplication:
                end = SkipSubBlocks(pos + 14);
                break;
            default:
                return std::nullopt;
        }
        if (!end)
            return std::nullopt;
        return Block{Block::Kind::OtherExtension, pos, *end};
    }

    const ByteReader& In() const { return in_; }

private:
    // Length-prefixed sub-blocks ending with a zero byte; the position after
    // the terminator.
    std::optional<size_t> SkipSubBlocks(size_t pos) const {
        for (;;) {
            auto length = in_.U8(pos);
            if (!length)
                return std::nullopt;
            pos += 1;
            if (*length == 0)
                return pos;
            if (!in_.Has(pos, *length))
                return std::nullopt;
            pos += *length;
        }
    }

    ByteReader in_;
};

}  // namespace

bool LooksLikeGif(std::span<const uint8_t> data) {
    return data.size() >= 3 && data[0] == 'G' && data[1] == 'I' && data[2] == 'F';
}

std::optional<GifLayout> WalkGif(std::span<const uint8_t> data) {
    if (!LooksLikeGif(data))
        return std::nullopt;
    Walker walker(data);
    const ByteReader& in = walker.In();
    auto width = in.Le16(6);
    auto height = in.Le16(8);
    auto packed = in.U8(10);
    auto backgroundIndex = in.U8(11);
    if (!width || !height || !packed || !backgroundIndex)
        return std::nullopt;

    GifLayout layout;
    layout.width = *width;
    layout.height = *height;
    layout.globalTableSize = ColourTableSize(*packed);
    const size_t firstBlock = kScreenEnd + layout.globalTableSize;
    if (!in.Has(0, firstBlock))
        return std::nullopt;
    if (layout.globalTableSize > 0) {
        auto rgb = in.Bytes(kScreenEnd + 3u * *backgroundIndex, 3);
        if (rgb)
            layout.backgroundRgb = (*rgb)[0] << 16 | (*rgb)[1] << 8 | (*rgb)[2];
    }

    // First walk: every block must be whole; count the images.
    std::vector<Block> blocks;
    for (size_t pos = firstBlock; pos < data.size();) {
        auto block = walker.Next(pos);
        if (!block)
            return std::nullopt;
        if (block->kind == Block::Kind::Trailer)
            break;
        if (block->kind == Block::Kind::Image)
            ++layout.imageCount;
        blocks.push_back(*block);
        pos = block->end;
    }
    if (layout.imageCount == 0)
        return std::nullopt;
    if (layout.imageCount == 1)
        return layout;

    // Second walk: a standalone GIF per image, from its graphic control block
    // (when it has one) to its image data.
    const auto screen = data.first(firstBlock);
    constexpr size_t kNoControl = SIZE_MAX;
    size_t control = kNoControl;  // start of the pending graphic control block
    for (const Block& block : blocks) {
        if (block.kind == Block::Kind::GraphicControl) {
            control = block.start;
            continue;
        }
        if (block.kind != Block::Kind::Image)
            continue;
        GifFrameData frame;
        const size_t from = control != kNoControl ? control : block.start;
        if (control != kNoControl) {
            frame.delay = *in.Le16(control + 4);
            frame.disposal = static_cast<uint8_t>((*in.U8(control + 3) >> 2) & 7);
        }
        frame.left = *in.Le16(block.start + 1);
        frame.top = *in.Le16(block.start + 3);
        frame.width = *in.Le16(block.start + 5);
        frame.height = *in.Le16(block.start + 7);
        frame.gif.reserve(screen.size() + (block.end - from) + 1);
        frame.gif.assign(screen.begin(), screen.end());
        auto body = data.subspan(from, block.end - from);
        frame.gif.insert(frame.gif.end(), body.begin(), body.end());
        frame.gif.push_back(kTrailer);
        layout.frames.push_back(std::move(frame));
        control = kNoControl;
    }
    return layout;
}

}  // namespace ambrel
