#pragma once

// Building the adapter table from the system's interfaces.

#include <functional>
#include <string>
#include <vector>

#include "SystemAdapters.h"

namespace corvix {

// Rebuilds `scanAdapterTable` from the system's interfaces: the physical ones,
// or those named by the interface override when one is set. At most
// kMaxScanAdapters adapters are kept (the first ones in list order) and at
// most kMaxAddressPairs address pairs per adapter. An adapter without an IPv4
// address gets the pair 0.0.0.0 / 0.0.0.0, which the scan skips.
void EnumeratePhysicalAdapters();

// Frees the chained address pairs of every adapter and clears the table.
void ReleaseAdapterLists();

// The part of the enumeration that needs no system: fills `scanAdapterTable`
// from `adapters`, keeping those for which `take` is true.
void FillAdapterTable(const std::vector<SystemAdapter>& adapters,
                      const std::function<bool(const SystemAdapter&)>& take);

}  // namespace corvix
