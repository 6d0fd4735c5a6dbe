#include "TextNumbers.h"

#include <climits>

namespace ambrel {

std::optional<int> ParseLeadingInt(std::string_view text, size_t* consumed) {
    size_t pos = 0;
    while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t' || text[pos] == '\r' ||
                                 text[pos] == '\n' || text[pos] == '\v' || text[pos] == '\f')) {
        ++pos;
    }
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    size_t digitsStart = pos;
    long long value = 0;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
        if (value <= static_cast<long long>(INT_MAX) + 1)
            value = value * 10 + (text[pos] - '0');
        ++pos;
    }
    if (pos == digitsStart)
        return std::nullopt;
    if (consumed != nullptr)
        *consumed = pos;
    if (negative)
        value = -value;
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return static_cast<int>(value);
}

std::optional<int> ParseIntList(std::string_view text, int* out, int count) {
    size_t pos = 0;
    for (int i = 0; i < count; ++i) {
        if (i > 0) {
            if (pos >= text.size() || text[pos] != ',')
                return std::nullopt;
            ++pos;
        }
        size_t used = 0;
        std::optional<int> value = ParseLeadingInt(text.substr(pos), &used);
        if (!value)
            return std::nullopt;
        out[i] = *value;
        pos += used;
    }
    return count;
}

}  // namespace ambrel
