#pragma once

// Number parsing with the lenient rules that config.ini values and layout
// strings have always been read with: optional leading blanks, an optional
// sign, then decimal digits; whatever follows the digits is ignored.

#include <cstddef>
#include <optional>
#include <string_view>

namespace ambrel {

// The number at the start of `text`, saturated to the int range, or nullopt
// when no digit follows the blanks and the sign. `consumed` (when given)
// receives the number of characters read.
std::optional<int> ParseLeadingInt(std::string_view text, size_t* consumed = nullptr);

// Reads `count` numbers separated by commas into `out`, as "%d,%d,..." does:
// blanks may precede each number but not a comma ("5, 10,120,24" reads,
// "5 ,10,120,24" does not). nullopt unless all `count` numbers are there;
// anything after the last one is ignored.
std::optional<int> ParseIntList(std::string_view text, int* out, int count);

}  // namespace ambrel
