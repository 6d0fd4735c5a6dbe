#pragma once

// Bounds-checked access to frames and images at absolute offsets. Every byte
// that is parsed or built goes through these two classes: a read or write
// past the end fails instead of touching memory outside the buffer.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace ambrel {

class ByteReader {
public:
    explicit ByteReader(std::span<const uint8_t> bytes) : bytes_(bytes) {}

    size_t Size() const { return bytes_.size(); }
    bool Has(size_t offset, size_t count) const {
        return offset <= bytes_.size() && count <= bytes_.size() - offset;
    }

    std::optional<uint8_t> U8(size_t offset) const {
        if (!Has(offset, 1))
            return std::nullopt;
        return bytes_[offset];
    }
    std::optional<uint16_t> Le16(size_t offset) const {
        if (!Has(offset, 2))
            return std::nullopt;
        return static_cast<uint16_t>(bytes_[offset] | bytes_[offset + 1] << 8);
    }
    std::optional<uint16_t> Be16(size_t offset) const {
        if (!Has(offset, 2))
            return std::nullopt;
        return static_cast<uint16_t>(bytes_[offset] << 8 | bytes_[offset + 1]);
    }
    std::optional<uint32_t> Le32(size_t offset) const {
        if (!Has(offset, 4))
            return std::nullopt;
        return static_cast<uint32_t>(bytes_[offset]) |
               static_cast<uint32_t>(bytes_[offset + 1]) << 8 |
               static_cast<uint32_t>(bytes_[offset + 2]) << 16 |
               static_cast<uint32_t>(bytes_[offset + 3]) << 24;
    }
    std::optional<std::span<const uint8_t>> Bytes(size_t offset, size_t count) const {
        if (!Has(offset, count))
            return std::nullopt;
        return bytes_.subspan(offset, count);
    }

private:
    std::span<const uint8_t> bytes_;
};

class ByteWriter {
public:
    explicit ByteWriter(std::span<uint8_t> bytes) : bytes_(bytes) {}

    size_t Size() const { return bytes_.size(); }
    bool Has(size_t offset, size_t count) const {
        return offset <= bytes_.size() && count <= bytes_.size() - offset;
    }

    bool U8(size_t offset, uint8_t value) {
        if (!Has(offset, 1))
            return false;
        bytes_[offset] = value;
        return true;
    }
    bool Le16(size_t offset, uint16_t value) {
        if (!Has(offset, 2))
            return false;
        bytes_[offset] = static_cast<uint8_t>(value);
        bytes_[offset + 1] = static_cast<uint8_t>(value >> 8);
        return true;
    }
    bool Be16(size_t offset, uint16_t value) {
        if (!Has(offset, 2))
            return false;
        bytes_[offset] = static_cast<uint8_t>(value >> 8);
        bytes_[offset + 1] = static_cast<uint8_t>(value);
        return true;
    }
    bool Le32(size_t offset, uint32_t value) {
        if (!Has(offset, 4))
            return false;
        for (size_t i = 0; i < 4; ++i)
            bytes_[offset + i] = static_cast<uint8_t>(value >> (8 * i));
        return true;
    }
    bool Bytes(size_t offset, std::span<const uint8_t> source) {
        if (!Has(offset, source.size()))
            return false;
        std::copy(source.begin(), source.end(),
                  bytes_.begin() + static_cast<std::ptrdiff_t>(offset));
        return true;
    }
    bool Fill(size_t offset, size_t count, uint8_t value) {
        if (!Has(offset, count))
            return false;
        std::fill_n(bytes_.begin() + static_cast<std::ptrdiff_t>(offset), count, value);
        return true;
    }

private:
    std::span<uint8_t> bytes_;
};

}  // namespace ambrel
