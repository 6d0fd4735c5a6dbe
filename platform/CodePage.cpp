#include "CodePage.h"

#include <iconv.h>

#include <bit>
#include <cerrno>
#include <cstring>
#include <vector>

namespace ambrel {
namespace {

constexpr const char* kUtf16Native =
    std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE";

// Owns one conversion descriptor.
class IconvHandle {
public:
    IconvHandle(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    IconvHandle(const IconvHandle&) = delete;
    IconvHandle& operator=(const IconvHandle&) = delete;
    ~IconvHandle() {
        if (Valid())
            iconv_close(cd_);
    }
    bool Valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
    iconv_t Get() const { return cd_; }

private:
    iconv_t cd_;
};

// Converts all of `input`; nullopt on any unconvertible or incomplete input.
std::optional<std::vector<char>> Convert(const char* to, const char* from, std::string_view input) {
    IconvHandle handle(to, from);
    if (!handle.Valid())
        return std::nullopt;
    std::vector<char> in(input.begin(), input.end());
    std::vector<char> out(input.size() * 2 + 16);
    char* inPtr = in.data();
    size_t inLeft = in.size();
    size_t produced = 0;
    for (;;) {
        char* outPtr = out.data() + produced;
        size_t outLeft = out.size() - produced;
        size_t result = inLeft == 0 ? iconv(handle.Get(), nullptr, nullptr, &outPtr, &outLeft)
                                    : iconv(handle.Get(), &inPtr, &inLeft, &outPtr, &outLeft);
        produced = out.size() - outLeft;
        if (result != static_cast<size_t>(-1)) {
            // Reversible conversions only: glibc counts the characters it had
            // to approximate in the return value.
            if (result != 0)
                return std::nullopt;
            if (inLeft == 0)
                break;
            continue;
        }
        if (errno != E2BIG)
            return std::nullopt;  // EILSEQ or EINVAL
        out.resize(out.size() * 2);
    }
    out.resize(produced);
    return out;
}

std::optional<std::u16string> ToU16(const std::optional<std::vector<char>>& bytes) {
    if (!bytes || bytes->size() % 2 != 0)
        return std::nullopt;
    std::u16string text(bytes->size() / 2, u'\0');
    std::memcpy(text.data(), bytes->data(), bytes->size());
    return text;
}

std::string_view AsBytes(std::u16string_view text) {
    return {reinterpret_cast<const char*>(text.data()), text.size() * sizeof(char16_t)};
}

}  // namespace

const char* AnsiCodePageName(int languageId) {
    return languageId == kLanguageChinese ? "GBK" : "CP1252";
}

std::optional<std::string> ToAnsi(std::u16string_view text, int languageId) {
    if (text.empty())
        return std::string();
    auto bytes = Convert(AnsiCodePageName(languageId), kUtf16Native, AsBytes(text));
    if (!bytes)
        return std::nullopt;
    return std::string(bytes->begin(), bytes->end());
}

std::optional<std::u16string> FromAnsi(std::string_view bytes, int languageId) {
    if (bytes.empty())
        return std::u16string();
    return ToU16(Convert(kUtf16Native, AnsiCodePageName(languageId), bytes));
}

std::optional<std::u16string> Utf8ToUtf16(std::string_view bytes) {
    if (bytes.empty())
        return std::u16string();
    return ToU16(Convert(kUtf16Native, "UTF-8", bytes));
}

std::optional<std::string> Utf16ToUtf8(std::u16string_view text) {
    if (text.empty())
        return std::string();
    auto bytes = Convert("UTF-8", kUtf16Native, AsBytes(text));
    if (!bytes)
        return std::nullopt;
    return std::string(bytes->begin(), bytes->end());
}

}  // namespace ambrel
