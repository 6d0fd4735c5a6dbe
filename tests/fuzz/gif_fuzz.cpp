// Feeds arbitrary data to the GIF block walker and walks every frame it
// rebuilds again.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "GifWalker.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<uint8_t> copy(data, data + size);
    auto layout = ambrel::WalkGif(copy);
    if (layout) {
        for (const auto& frame : layout->frames)
            ambrel::WalkGif(frame.gif);
    }
    return 0;
}
