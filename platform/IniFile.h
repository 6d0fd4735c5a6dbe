#pragma once

// config.ini, read and written key by key the way the settings have always
// been kept: section and key names match without regard to ASCII case, the
// first matching section and the first matching key in it win, and a write
// replaces the value in place, or adds the key at the end of its section, or
// adds the section at the end of the file. Every other byte of the file stays
// as it was: comments, unknown keys, other sections, blank lines, line endings.
//
// Values are bytes (the application stores UTF-8). A value read is the text
// after the first '=' with blanks trimmed on both sides. A value written
// never contains a line break or NUL: those become spaces, so no value can
// start a section or a key of its own.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace ambrel {

class IniDocument {
public:
    IniDocument() = default;
    explicit IniDocument(std::string text) : text_(std::move(text)) {}

    // The file's contents; nullopt when it does not exist or cannot be read.
    static std::optional<IniDocument> Load(const std::filesystem::path& path);

    std::optional<std::string> Find(std::string_view section, std::string_view key) const;
    std::string GetString(std::string_view section, std::string_view key,
                          std::string_view fallback) const;
    // The leading decimal number of the value ("12abc" reads 12, "abc" 0);
    // `fallback` only when the key is missing.
    int GetInt(std::string_view section, std::string_view key, int fallback) const;

    void Set(std::string_view section, std::string_view key, std::string_view value);

    const std::string& Text() const { return text_; }

    // Replaces the file atomically (see WriteFileAtomically).
    bool Save(const std::filesystem::path& path) const;

private:
    std::string text_;
};

// Writes `bytes` to a new file beside `path` (mode 0600: the file holds
// device passwords), flushes it to disk and renames it over `path`, so that a
// crash at any moment leaves either the old or the new file, never a mix.
// A symbolic link at `path` is followed: its target is replaced. On failure
// the temporary file is removed and false is returned.
bool WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes);

namespace testing {
// Called while a replacement file is half written (tests simulate a crash
// there). Null to remove.
void SetAtomicWriteHook(void (*hook)());
}  // namespace testing

}  // namespace ambrel
