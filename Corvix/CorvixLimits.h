#pragma once

// Fixed sizes, bounds and ports of the access-point discovery.

#include <cstddef>
#include <cstdint>

namespace corvix {

// Corvix's own texts are Chinese: answers are read in that language's ANSI
// code page (GBK).
inline constexpr int kCorvixLanguage = 2052;

inline constexpr uint16_t kClientPort = 28011;  // we send from and listen on this port
inline constexpr uint16_t kDevicePort = 28010;  // access points listen on this port

inline constexpr size_t kRequestSize = 164;
inline constexpr size_t kAnswerSize = 160;

inline constexpr size_t kMaxScanAdapters = 5;
inline constexpr size_t kMaxAddressPairs = 20;  // per request, and per adapter chain
inline constexpr size_t kMaxApEntries = 20;
inline constexpr size_t kListRecordCount = 32;
inline constexpr int kMaxReadsPerAdapter = 20;

// Widths of the text fields, in UTF-16 code units.
inline constexpr size_t kAdapterNameWidth = 255;
inline constexpr size_t kAdapterDescriptionWidth = 255;
inline constexpr size_t kAddressTextWidth = 16;  // gateway, address, mask, ipText
inline constexpr size_t kModelWidth = 20;
inline constexpr size_t kNameWidth = 128;
inline constexpr size_t kMacTextWidth = 18;

inline constexpr size_t kHardwareAddressSize = 8;

}  // namespace corvix
