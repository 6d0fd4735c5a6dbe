#include "InterfaceOverride.h"

#include <cstdlib>
#include <mutex>

namespace corvix {
namespace {

std::mutex overrideMutex;
std::optional<std::vector<std::string>> interfaceOverride;

std::string_view Trim(std::string_view text) {
    constexpr std::string_view kBlanks = " \t\r\n";
    const size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos)
        return {};
    const size_t last = text.find_last_not_of(kBlanks);
    return text.substr(first, last - first + 1);
}

}  // namespace

void SetInterfaceOverride(std::vector<std::string> names) {
    std::lock_guard lock(overrideMutex);
    interfaceOverride = std::move(names);
}

void ClearInterfaceOverride() {
    std::lock_guard lock(overrideMutex);
    interfaceOverride.reset();
}

std::optional<std::vector<std::string>> CurrentInterfaceOverride() {
    std::lock_guard lock(overrideMutex);
    return interfaceOverride;
}

std::vector<std::string> ParseInterfaceList(std::string_view text) {
    std::vector<std::string> names;
    while (!text.empty()) {
        const size_t comma = text.find(',');
        std::string_view name = Trim(text.substr(0, comma));
        if (!name.empty())
            names.emplace_back(name);
        if (comma == std::string_view::npos)
            break;
        text.remove_prefix(comma + 1);
    }
    return names;
}

bool LoadInterfaceOverrideFromEnvironment() {
    const char* value = std::getenv(kInterfaceOverrideVariable);
    if (value == nullptr)
        return false;
    auto names = ParseInterfaceList(value);
    if (names.empty())
        return false;
    SetInterfaceOverride(std::move(names));
    return true;
}

}  // namespace corvix
