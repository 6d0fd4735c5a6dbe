#include "IniFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <iterator>
#include <system_error>
#include <vector>

#include "TextNumbers.h"

namespace ambrel {
namespace {

void (*g_writeHook)() = nullptr;

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v';
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (LowerAscii(a[i]) != LowerAscii(b[i]))
            return false;
    }
    return true;
}

// One line of the file: [begin, contentEnd) without the line break,
// [contentEnd, end) the break itself ("\n", "\r\n" or nothing at the end).
struct Line {
    size_t begin;
    size_t contentEnd;
    size_t end;
};

std::vector<Line> SplitLines(const std::string& text) {
    std::vector<Line> lines;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t newline = text.find('\n', pos);
        if (newline == std::string::npos) {
            lines.push_back({pos, text.size(), text.size()});
            break;
        }
        size_t contentEnd = (newline > pos && text[newline - 1] == '\r') ? newline - 1 : newline;
        lines.push_back({pos, contentEnd, newline + 1});
        pos = newline + 1;
    }
    return lines;
}

std::string_view Content(const std::string& text, const Line& line, bool first) {
    std::string_view content(text.data() + line.begin, line.contentEnd - line.begin);
    if (first && content.substr(0, 3) == "\xEF\xBB\xBF")
        content.remove_prefix(3);
    return content;
}

// The section name of a "[name]" line.
std::optional<std::string_view> SectionName(std::string_view content) {
    std::string_view trimmed = Trim(content);
    if (trimmed.empty() || trimmed.front() != '[')
        return std::nullopt;
    size_t close = trimmed.find(']');
    if (close == std::string_view::npos)
        return std::nullopt;
    return Trim(trimmed.substr(1, close - 1));
}

// The key of a "key=value" line; comments and lines without '=' have none.
std::optional<std::string_view> KeyName(std::string_view content) {
    std::string_view trimmed = Trim(content);
    if (trimmed.empty() || trimmed.front() == ';' || trimmed.front() == '#')
        return std::nullopt;
    size_t equals = trimmed.find('=');
    if (equals == std::string_view::npos)
        return std::nullopt;
    std::string_view key = Trim(trimmed.substr(0, equals));
    if (key.empty())
        return std::nullopt;
    return key;
}

// Where the lines of the first section called `section` are, and where the
// first `key` line in it is.
struct Location {
    std::optional<size_t> header;   // line index of the section header
    std::optional<size_t> keyLine;  // line index of the key
    size_t lastContentLine = 0;     // last non-blank line of the section
};

Location Locate(const std::string& text, const std::vector<Line>& lines, std::string_view section,
                std::string_view key) {
    Location where;
    for (size_t i = 0; i < lines.size(); ++i) {
        std::string_view content = Content(text, lines[i], i == 0);
        if (std::optional<std::string_view> name = SectionName(content)) {
            if (where.header)
                break;  // the end of the first matching section
            if (EqualsNoCase(*name, section)) {
                where.header = i;
                where.lastContentLine = i;
            }
            continue;
        }
        if (!where.header)
            continue;
        if (!Trim(content).empty())
            where.lastContentLine = i;
        if (!where.keyLine) {
            std::optional<std::string_view> name = KeyName(content);
            if (name && EqualsNoCase(*name, key))
                where.keyLine = i;
        }
    }
    return where;
}

std::string LineBreakOf(const std::string& text) {
    size_t newline = text.find('\n');
    if (newline != std::string::npos && newline > 0 && text[newline - 1] == '\r')
        return "\r\n";
    return "\n";
}

std::string CleanValue(std::string_view value) {
    std::string clean(value);
    for (char& c : clean) {
        if (c == '\n' || c == '\r' || c == '\0')
            c = ' ';
    }
    return clean;
}

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        bytes.remove_prefix(static_cast<size_t>(written));
    }
    return true;
}

}  // namespace

std::optional<IniDocument> IniDocument::Load(const std::filesystem::path& path) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error))
        return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad())
        return std::nullopt;
    return IniDocument(std::move(text));
}

std::optional<std::string> IniDocument::Find(std::string_view section, std::string_view key) const {
    std::vector<Line> lines = SplitLines(text_);
    Location where = Locate(text_, lines, section, key);
    if (!where.keyLine)
        return std::nullopt;
    std::string_view content = Content(text_, lines[*where.keyLine], *where.keyLine == 0);
    return std::string(Trim(content.substr(content.find('=') + 1)));
}

std::string IniDocument::GetString(std::string_view section, std::string_view key,
                                   std::string_view fallback) const {
    std::optional<std::string> value = Find(section, key);
    return value ? *value : std::string(fallback);
}

int IniDocument::GetInt(std::string_view section, std::string_view key, int fallback) const {
    std::optional<std::string> value = Find(section, key);
    if (!value)
        return fallback;
    return ParseLeadingInt(*value).value_or(0);
}

void IniDocument::Set(std::string_view section, std::string_view key, std::string_view value) {
    std::string clean = CleanValue(value);
    std::vector<Line> lines = SplitLines(text_);
    Location where = Locate(text_, lines, section, key);
    std::string lineBreak = LineBreakOf(text_);

    if (where.keyLine) {
        // Keep "key =" and the blanks after it; replace the rest of the line.
        const Line& line = lines[*where.keyLine];
        size_t valueStart = text_.find('=', line.begin) + 1;
        while (valueStart < line.contentEnd &&
               (text_[valueStart] == ' ' || text_[valueStart] == '\t')) {
            ++valueStart;
        }
        text_.replace(valueStart, line.contentEnd - valueStart, clean);
        return;
    }
    std::string keyLine = std::string(key) + "=" + clean + lineBreak;
    if (where.header) {
        const Line& last = lines[where.lastContentLine];
        if (last.contentEnd == last.end) {  // the file ends without a line break
            text_.insert(last.end,
                         lineBreak + keyLine.substr(0, keyLine.size() - lineBreak.size()));
        } else {
            text_.insert(last.end, keyLine);
        }
        return;
    }
    if (!text_.empty() && text_.back() != '\n')
        text_ += lineBreak;
    text_ += "[" + std::string(section) + "]" + lineBreak + keyLine;
}

bool IniDocument::Save(const std::filesystem::path& path) const {
    return WriteFileAtomically(path, text_);
}

bool WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes) {
    std::error_code error;
    std::filesystem::path target = path;
    if (std::filesystem::is_symlink(path, error)) {
        target = std::filesystem::weakly_canonical(path, error);
        if (error)
            return false;
    }
    std::filesystem::path directory = target.parent_path();
    if (directory.empty())
        directory = ".";
    std::string pattern = (directory / ("." + target.filename().string() + ".XXXXXX")).string();
    int fd = ::mkstemp(pattern.data());
    if (fd < 0)
        return false;
    auto fail = [&] {
        ::close(fd);
        ::unlink(pattern.c_str());
        return false;
    };
    if (::fchmod(fd, S_IRUSR | S_IWUSR) != 0)
        return fail();
    size_t half = bytes.size() / 2;
    if (!WriteAll(fd, bytes.substr(0, half)))
        return fail();
    if (g_writeHook != nullptr)
        g_writeHook();
    if (!WriteAll(fd, bytes.substr(half)))
        return fail();
    if (::fsync(fd) != 0)
        return fail();
    if (::close(fd) != 0) {
        ::unlink(pattern.c_str());
        return false;
    }
    if (::rename(pattern.c_str(), target.c_str()) != 0) {
        ::unlink(pattern.c_str());
        return false;
    }
    // Make the rename itself durable; a failure here loses nothing.
    int dirFd = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    return true;
}

namespace testing {
void SetAtomicWriteHook(void (*hook)()) {
    g_writeHook = hook;
}
}  // namespace testing

}  // namespace ambrel
