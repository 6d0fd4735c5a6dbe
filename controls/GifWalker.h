#pragma once

// Walks the blocks of a GIF and splits an animation into its frames, each
// rebuilt as a standalone GIF (header, screen descriptor and global colour
// table of the source, the frame's own blocks, a trailer) that the picture
// loader can decode on its own. Plain C++: the decoding is the caller's.

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace ambrel {

struct GifFrameData {
    std::vector<uint8_t> gif;  // the standalone GIF of this frame
    uint16_t left = 0;
    uint16_t top = 0;
    uint16_t width = 0;
    uint16_t height = 0;
    uint16_t delay = 0;    // hundredths of a second; 0 without a graphic control block
    uint8_t disposal = 0;  // 0 to 7
};

struct GifLayout {
    uint16_t width = 0;
    uint16_t height = 0;
    size_t globalTableSize = 0;  // bytes
    // The global table's entry at the background index, when there is one.
    std::optional<uint32_t> backgroundRgb;  // 0xRRGGBB
    size_t imageCount = 0;
    // Filled only for an animation (more than one image).
    std::vector<GifFrameData> frames;
};

// True when the data begins with "GIF".
bool LooksLikeGif(std::span<const uint8_t> data);

// Nothing when the data is not a GIF, has no image, or any block is cut off
// or unknown: such data is never handed to a decoder.
std::optional<GifLayout> WalkGif(std::span<const uint8_t> data);

}  // namespace ambrel
