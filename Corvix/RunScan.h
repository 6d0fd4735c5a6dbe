#pragma once

namespace corvix {

// One whole scan: enumerate the adapters, clear the device table, send the
// request through every adapter and collect the answers, then refresh the
// list records. Blocks for at least one answer silence per usable adapter.
void RunScan();

}  // namespace corvix
