#pragma once

// An explicit list of interface names that replaces the "is it a physical
// adapter" test of the enumeration. Tests use it to scan veth interfaces;
// users can set CORVIX_INTERFACES=eth0,eth1 to choose the adapters themselves.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace corvix {

inline constexpr const char* kInterfaceOverrideVariable = "CORVIX_INTERFACES";

// From now on only interfaces with these names are scanned (still in the
// order of the system's list). An empty list scans nothing.
void SetInterfaceOverride(std::vector<std::string> names);
// Back to the physical-adapter test.
void ClearInterfaceOverride();
std::optional<std::vector<std::string>> CurrentInterfaceOverride();

// Splits "veth0, veth1" at commas; blanks around names and empty names are
// dropped.
std::vector<std::string> ParseInterfaceList(std::string_view text);

// Sets the override from CORVIX_INTERFACES when the variable is set and names
// at least one interface; returns whether it did.
bool LoadInterfaceOverrideFromEnvironment();

}  // namespace corvix
