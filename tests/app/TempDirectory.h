#pragma once

// A directory of its own for one test, removed afterwards; the current
// directory is changed into it for the test's life when asked.

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <unistd.h>

class TempDirectory {
public:
    explicit TempDirectory(bool enter = false) {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "ambrel-test-XXXXXX").string();
        path_ = ::mkdtemp(pattern.data());
        if (enter) {
            previous_ = std::filesystem::current_path();
            std::filesystem::current_path(path_);
        }
    }
    ~TempDirectory() {
        if (!previous_.empty())
            std::filesystem::current_path(previous_);
        std::error_code error;
        std::filesystem::remove_all(path_, error);
    }
    TempDirectory(const TempDirectory&) = delete;
    TempDirectory& operator=(const TempDirectory&) = delete;

    const std::filesystem::path& Path() const { return path_; }

    void Write(const std::string& name, const std::string& bytes) const {
        std::ofstream(path_ / name, std::ios::binary) << bytes;
    }
    std::string Read(const std::string& name) const {
        std::ifstream in(path_ / name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

private:
    std::filesystem::path path_;
    std::filesystem::path previous_;
};
