#pragma once

// Conversions between UTF-16 texts and the ANSI code page of a language:
// language 2052 uses GBK (code page 936), every other language Windows-1252.
// A conversion fails as a whole when the text holds a character that the code
// page lacks or a byte sequence that it does not define: nothing is replaced,
// approximated or transliterated.

#include <optional>
#include <string>
#include <string_view>

namespace ambrel {

inline constexpr int kLanguageChinese = 2052;
inline constexpr int kLanguageEnglish = 1033;

// The iconv name of the ANSI code page of `languageId`.
const char* AnsiCodePageName(int languageId);

std::optional<std::string> ToAnsi(std::u16string_view text, int languageId);
std::optional<std::u16string> FromAnsi(std::string_view bytes, int languageId);

// UTF-8 <-> UTF-16, with the same all-or-nothing rule (ill-formed input and
// unpaired surrogates fail).
std::optional<std::u16string> Utf8ToUtf16(std::string_view bytes);
std::optional<std::string> Utf16ToUtf8(std::u16string_view text);

}  // namespace ambrel
