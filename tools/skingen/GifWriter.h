#pragma once

// A small animated-GIF writer (Qt reads GIF but cannot write it): GIF89a,
// one global palette of at most 256 colours, a looping application
// extension, and per frame a graphic control extension and LZW image data.

#include <QByteArray>
#include <QImage>
#include <QRgb>
#include <vector>

namespace skingen {

struct GifFrame {
    QImage image;         // every frame the size of the first
    int delayHundredths;  // display time
};

// `palette` holds the colours; every pixel is written as the palette entry
// nearest to it. Returns the file's bytes.
QByteArray WriteAnimatedGif(const std::vector<GifFrame>& frames, const std::vector<QRgb>& palette);

// LZW-compressed image data of 8-bit indices (the code size byte first, then
// the sub-blocks and the terminating empty block).
QByteArray LzwEncode(const std::vector<uint8_t>& indices, int minimumCodeSize);

}  // namespace skingen
