#include "GifWriter.h"

#include <unordered_map>

namespace skingen {
namespace {

void Le16(QByteArray& out, int value) {
    out.append(static_cast<char>(value & 0xFF));
    out.append(static_cast<char>((value >> 8) & 0xFF));
}

// Packs variable-width codes least significant bit first into sub-blocks.
class BitPacker {
public:
    void Put(int code, int width) {
        accumulator_ |= static_cast<uint32_t>(code) << bits_;
        bits_ += width;
        while (bits_ >= 8) {
            bytes_.append(static_cast<char>(accumulator_ & 0xFF));
            accumulator_ >>= 8;
            bits_ -= 8;
        }
    }
    QByteArray Finish() {
        if (bits_ > 0)
            bytes_.append(static_cast<char>(accumulator_ & 0xFF));
        QByteArray blocks;
        for (qsizetype pos = 0; pos < bytes_.size(); pos += 255) {
            QByteArray chunk = bytes_.mid(pos, 255);
            blocks.append(static_cast<char>(chunk.size()));
            blocks.append(chunk);
        }
        blocks.append('\0');
        return blocks;
    }

private:
    uint32_t accumulator_ = 0;
    int bits_ = 0;
    QByteArray bytes_;
};

int NearestIndex(QRgb colour, const std::vector<QRgb>& palette) {
    int best = 0;
    long bestDistance = -1;
    for (size_t i = 0; i < palette.size(); ++i) {
        long dr = qRed(colour) - qRed(palette[i]);
        long dg = qGreen(colour) - qGreen(palette[i]);
        long db = qBlue(colour) - qBlue(palette[i]);
        long distance = dr * dr + dg * dg + db * db;
        if (bestDistance < 0 || distance < bestDistance) {
            bestDistance = distance;
            best = static_cast<int>(i);
        }
    }
    return best;
}

}  // namespace

QByteArray LzwEncode(const std::vector<uint8_t>& indices, int minimumCodeSize) {
    const int clearCode = 1 << minimumCodeSize;
    const int endCode = clearCode + 1;
    BitPacker packer;
    std::unordered_map<uint32_t, int> table;  // (prefix code << 8 | byte) -> code
    int nextCode = endCode + 1;
    int width = minimumCodeSize + 1;
    packer.Put(clearCode, width);

    int prefix = -1;
    for (uint8_t index : indices) {
        if (prefix < 0) {
            prefix = index;
            continue;
        }
        uint32_t key = (static_cast<uint32_t>(prefix) << 8) | index;
        auto found = table.find(key);
        if (found != table.end()) {
            prefix = found->second;
            continue;
        }
        packer.Put(prefix, width);
        if (nextCode < 4096) {
            table[key] = nextCode++;
            if (nextCode > (1 << width) && width < 12)
                ++width;
        } else {
            packer.Put(clearCode, width);
            table.clear();
            nextCode = endCode + 1;
            width = minimumCodeSize + 1;
        }
        prefix = index;
    }
    if (prefix >= 0)
        packer.Put(prefix, width);
    packer.Put(endCode, width);

    QByteArray out;
    out.append(static_cast<char>(minimumCodeSize));
    out.append(packer.Finish());
    return out;
}

QByteArray WriteAnimatedGif(const std::vector<GifFrame>& frames, const std::vector<QRgb>& palette) {
    QByteArray out("GIF89a");
    const int width = frames.front().image.width();
    const int height = frames.front().image.height();
    Le16(out, width);
    Le16(out, height);
    out.append(static_cast<char>(0xF7));  // global table of 256 entries, 8 bits per colour
    out.append('\0');                     // background colour index
    out.append('\0');                     // square pixels
    for (int i = 0; i < 256; ++i) {
        QRgb colour = i < static_cast<int>(palette.size()) ? palette[static_cast<size_t>(i)] : 0;
        out.append(static_cast<char>(qRed(colour)));
        out.append(static_cast<char>(qGreen(colour)));
        out.append(static_cast<char>(qBlue(colour)));
    }
    // Loop for ever.
    out.append("\x21\xFF\x0BNETSCAPE2.0\x03\x01", 16);
    Le16(out, 0);
    out.append('\0');

    for (const GifFrame& frame : frames) {
        out.append("\x21\xF9\x04", 3);
        out.append(static_cast<char>(1 << 2));  // disposal: leave in place
        Le16(out, frame.delayHundredths);
        out.append('\0');  // no transparent colour
        out.append('\0');

        out.append('\x2C');
        Le16(out, 0);
        Le16(out, 0);
        Le16(out, width);
        Le16(out, height);
        out.append('\0');  // no local table, not interlaced

        QImage image = frame.image.convertToFormat(QImage::Format_RGB32);
        std::vector<uint8_t> indices;
        indices.reserve(static_cast<size_t>(width * height));
        for (int y = 0; y < height; ++y) {
            const QRgb* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
            for (int x = 0; x < width; ++x) {
                indices.push_back(static_cast<uint8_t>(NearestIndex(line[x], palette)));
            }
        }
        out.append(LzwEncode(indices, 8));
    }
    out.append('\x3B');
    return out;
}

}  // namespace skingen
