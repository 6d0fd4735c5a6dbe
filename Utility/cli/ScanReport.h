#pragma once

#include <ostream>

namespace ambrel {

// What a scan found, from the device model: the local device and then each
// station, as text for people or as JSON.
void PrintScanText(std::ostream& out);
void PrintScanJson(std::ostream& out);

}  // namespace ambrel
