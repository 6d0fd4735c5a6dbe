#pragma once

// The devices the user has named: per MAC address the name and device
// password typed in the add-device dialog, and whether joining with that
// password last succeeded. Kept in config.ini as sections Device0,
// Device1, ... (keys Name, PSW, MAC, OK); the first deviceNum (AppSettings)
// are in use, in the order they were added.
//
// The table holds 32 entries and never more: a deviceNum above 32 in the
// file loads and saves the first 32 and leaves the later sections in the
// file as they are; adding a device to a full table is refused: the writes
// below return kNotRemembered, and the dialog tells the user that the device
// works but its name and password are not kept.
//
// An all-zero MAC identifies no device: FindRemembered never matches it and
// a join that did not learn the device's MAC is not remembered. Entries with
// an all-zero MAC text that a file already holds are kept and saved back
// unchanged, like every other entry; nothing moves their passwords around.

#include <array>
#include <string>
#include <string_view>

#include "MacAddress.h"

namespace ambrel {

inline constexpr int kMaxRememberedDevices = 32;
// The device has no entry: the table is full, or its MAC is all zero.
inline constexpr int kNotRemembered = -1;

struct RememberedDevice {
    std::u16string Name;
    std::u16string PSW;
    std::string MAC;  // 12 upper-case hexadecimal digits ("%02X" x 6)
    int OK = 0;       // 1: the last join with PSW succeeded

    bool operator==(const RememberedDevice&) const = default;
};

using RememberedDeviceTable = std::array<RememberedDevice, kMaxRememberedDevices>;

RememberedDeviceTable& rememberedDevices();

// Entries in use: deviceNum, at most 32.
int RememberedCount();

// Reads entries 0 to RememberedCount() - 1 from the settings file (the same
// file as LoadGlobalSettings); false, reading nothing, when there is none.
bool LoadRememberedDevices();

// Writes the entries in use, keys in the order Name, PSW, MAC, OK. Sections
// with an index of deviceNum or more stay in the file as they are.
bool SaveRememberedDevices();

// Index of the first entry in use whose MAC text equals the address
// (exactly, upper case), or -1.
int FindRemembered(const MacAddress& mac);

// The add-device dialog's writes.
//
// Remote-device mode, when the user confirms: renames the entry of `mac` and
// sets its password, or appends (name, password, MAC, OK 0). Returns the
// entry's index, or kNotRemembered.
int RememberListedDevice(const MacAddress& mac, std::u16string_view name,
                         std::u16string_view password);
// The join result for the entry RememberListedDevice returned (an index out
// of use, such as kNotRemembered, is ignored).
void SetRememberedResult(int index, bool joined);
// New-device mode, after a successful join: updates the entry of `mac`
// (name, password, OK 1) or appends one. Returns the index, or kNotRemembered.
int RememberJoinedDevice(const MacAddress& mac, std::u16string_view name,
                         std::u16string_view password);

// Empty table (tests).
void ResetRememberedDevices();

}  // namespace ambrel
