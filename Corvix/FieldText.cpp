#include "FieldText.h"

#include <algorithm>
#include <optional>

#include "CodePage.h"

namespace corvix {
namespace {

constexpr char16_t kReplacement = u'\uFFFD';
// No ANSI code page in use here encodes a character in more than two bytes.
constexpr size_t kMaxSequence = 2;

bool IsHighSurrogate(char16_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}

std::u16string DecodeLenient(std::string_view bytes, int languageId) {
    if (auto whole = ambrel::FromAnsi(bytes, languageId))
        return *whole;
    std::u16string text;
    size_t offset = 0;
    while (offset < bytes.size()) {
        bool decoded = false;
        for (size_t length = 1; length <= kMaxSequence && offset + length <= bytes.size();
             ++length) {
            if (auto piece = ambrel::FromAnsi(bytes.substr(offset, length), languageId)) {
                text += *piece;
                offset += length;
                decoded = true;
                break;
            }
        }
        if (!decoded) {
            text += kReplacement;
            ++offset;
        }
    }
    return text;
}

}  // namespace

std::u16string CutToField(std::u16string_view text, size_t width) {
    if (text.size() <= width)
        return std::u16string(text);
    size_t length = width;
    if (length > 0 && IsHighSurrogate(text[length - 1]))
        --length;
    return std::u16string(text.substr(0, length));
}

std::u16string DecodeAnsiField(std::span<const uint8_t> field, int languageId, size_t width) {
    auto end = std::find(field.begin(), field.end(), uint8_t{0});
    std::string bytes(field.begin(), end);
    return CutToField(DecodeLenient(bytes, languageId), width);
}

std::u16string DecodeAnsiText(std::string_view bytes, int languageId, size_t width) {
    return CutToField(DecodeLenient(bytes, languageId), width);
}

}  // namespace corvix
