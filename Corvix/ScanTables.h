#pragma once

// The process-wide tables of the scanner, all in one place.

#include "ApListRecord.h"
#include "ApTable.h"
#include "ScanAdapter.h"

namespace corvix {

// Returns every table to its start-up state: no adapters, no devices, 32
// empty list records, `listCount` 0. For tests and for a fresh start.
void ResetScanTables();

}  // namespace corvix
