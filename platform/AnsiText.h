#pragma once

// Texts for the fixed byte fields of the device records (names and network
// names of 24 bytes, passwords of 19) and for config.ini, on top of the code
// page conversions of CodePage.h.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace ambrel {

// The ANSI form of `text` for a buffer of `size` bytes that must also hold a
// terminating NUL: nullopt unless every character converts and the bytes
// plus the NUL fit. A 10-character English text needs 11 bytes; 12 Chinese
// characters are 24 GBK bytes and need 25.
std::optional<std::string> ToAnsiBuffer(std::u16string_view text, size_t size, int languageId);

// The text of a fixed ANSI field: up to the first NUL, and never the last
// byte of the field (it stands for the terminator). nullopt when the bytes
// are not valid in the code page.
std::optional<std::u16string> FromAnsiBuffer(std::string_view field, int languageId);

// config.ini holds UTF-8. A file written by hand in the language's ANSI code
// page still reads: bytes that are not UTF-8 are taken in that code page, and
// as Latin-1 when even that fails. At most `maxUnits` UTF-16 units are kept
// (a surrogate pair is never split).
std::u16string DecodeSettingsText(std::string_view bytes, int languageId, size_t maxUnits);

// UTF-8 for config.ini; unpaired surrogates become U+FFFD.
std::string EncodeSettingsText(std::u16string_view text);

}  // namespace ambrel
