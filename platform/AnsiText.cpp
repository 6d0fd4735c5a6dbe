#include "AnsiText.h"

#include "CodePage.h"

namespace ambrel {
namespace {

bool IsHighSurrogate(char16_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}
bool IsLowSurrogate(char16_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

}  // namespace

std::optional<std::string> ToAnsiBuffer(std::u16string_view text, size_t size, int languageId) {
    if (text.size() + 1 > size)
        return std::nullopt;  // no code page has fewer bytes than units
    std::optional<std::string> bytes = ToAnsi(text, languageId);
    if (!bytes || bytes->size() + 1 > size)
        return std::nullopt;
    return bytes;
}

std::optional<std::u16string> FromAnsiBuffer(std::string_view field, int languageId) {
    if (field.empty())
        return std::u16string();
    std::string_view text = field.substr(0, field.size() - 1);
    size_t nul = text.find('\0');
    if (nul != std::string_view::npos)
        text = text.substr(0, nul);
    return FromAnsi(text, languageId);
}

std::u16string DecodeSettingsText(std::string_view bytes, int languageId, size_t maxUnits) {
    std::optional<std::u16string> text = Utf8ToUtf16(bytes);
    if (!text)
        text = FromAnsi(bytes, languageId);
    if (!text) {
        text.emplace();
        for (char c : bytes)
            text->push_back(static_cast<char16_t>(static_cast<unsigned char>(c)));
    }
    if (text->size() > maxUnits) {
        size_t keep = maxUnits;
        if (keep > 0 && IsHighSurrogate((*text)[keep - 1]))
            --keep;
        text->resize(keep);
    }
    return *text;
}

std::string EncodeSettingsText(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t code = text[i];
        if (IsHighSurrogate(text[i]) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
            code = 0x10000 + ((code - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (IsHighSurrogate(text[i]) || IsLowSurrogate(text[i])) {
            code = 0xFFFD;
        }
        if (code < 0x80) {
            out.push_back(static_cast<char>(code));
        } else if (code < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (code >> 6)));
            out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
        } else if (code < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (code >> 12)));
            out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (code >> 18)));
            out.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
        }
    }
    return out;
}

}  // namespace ambrel
