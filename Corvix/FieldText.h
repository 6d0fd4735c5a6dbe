#pragma once

// Bounded UTF-16 text fields and their decoding from ANSI byte fields.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace corvix {

// `text` cut to at most `width` code units, never splitting a surrogate pair.
std::u16string CutToField(std::u16string_view text, size_t width);

// Decodes an ANSI text field: the bytes up to the first NUL (or the whole
// field when it has none), converted from the code page of `languageId`, cut
// to `width`. A byte or byte pair that the code page does not define becomes
// U+FFFD and decoding goes on with the next byte, so one bad byte never costs
// the rest of the text.
std::u16string DecodeAnsiField(std::span<const uint8_t> field, int languageId, size_t width);

// The same for text that is not NUL-bounded (names from the system's lists).
std::u16string DecodeAnsiText(std::string_view bytes, int languageId, size_t width);

}  // namespace corvix
