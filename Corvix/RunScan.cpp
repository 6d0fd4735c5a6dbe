#include "RunScan.h"

#include "AdapterEnumeration.h"
#include "AddressText.h"
#include "DiscoverySocket.h"
#include "ScanTables.h"

namespace corvix {

void RunScan() {
    EnumeratePhysicalAdapters();
    ClearApTable();
    // The count is read afresh for every adapter: the table may be rebuilt
    // on the way.
    for (uint32_t i = 0; i < scanAdapterTable.count && i < kMaxScanAdapters; ++i) {
        const AddressPair& first = scanAdapterTable.adapters[i].addresses;
        const uint32_t address = ParseIpv4(first.address).value_or(0);
        const uint32_t mask = ParseIpv4(first.mask).value_or(0);
        if (address == 0) {
            EnumeratePhysicalAdapters();
            continue;
        }
        const int socket = OpenDiscoverySocket(address);
        if (socket == kInvalidSocket)
            continue;
        SendDiscoveryRequest(socket, address, mask);
        ReceiveAnswers(socket);
        CloseDiscoverySocket(socket);
    }
    RefreshListRecords();
}

}  // namespace corvix
