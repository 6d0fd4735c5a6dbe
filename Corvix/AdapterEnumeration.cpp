#include "AdapterEnumeration.h"

#include <algorithm>

#include "AddressText.h"
#include "FieldText.h"
#include "InterfaceOverride.h"
#include "ScanAdapter.h"

namespace corvix {
namespace {

std::u16string AddressField(uint32_t networkOrder) {
    return CutToField(FormatIpv4(networkOrder), kAddressTextWidth);
}

void FillAdapter(ScanAdapter& entry, const SystemAdapter& adapter) {
    entry.name = DecodeAnsiText(adapter.name, kCorvixLanguage, kAdapterNameWidth);
    entry.description =
        DecodeAnsiText(adapter.description, kCorvixLanguage, kAdapterDescriptionWidth);
    entry.gateway = DecodeAnsiText(adapter.gateway, kCorvixLanguage, kAddressTextWidth);
    entry.hardwareAddress = adapter.hardwareAddress;
    entry.addresses = AddressPair{};
    if (adapter.ipv4.empty()) {
        entry.addresses.address = AddressField(0);
        entry.addresses.mask = AddressField(0);
        return;
    }
    AddressPair* tail = nullptr;
    const size_t pairs = std::min(adapter.ipv4.size(), kMaxAddressPairs);
    for (size_t k = 0; k < pairs; ++k) {
        AddressPair* pair = &entry.addresses;
        if (tail != nullptr) {
            tail->next = std::make_unique<AddressPair>();
            pair = tail->next.get();
        }
        pair->address = AddressField(adapter.ipv4[k].first);
        pair->mask = AddressField(adapter.ipv4[k].second);
        tail = pair;
    }
}

bool IsNamed(const std::vector<std::string>& names, const std::string& name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

}  // namespace

void ReleaseAdapterLists() {
    for (auto& adapter : scanAdapterTable.adapters)
        adapter = ScanAdapter{};
    scanAdapterTable.count = 0;
}

void FillAdapterTable(const std::vector<SystemAdapter>& adapters,
                      const std::function<bool(const SystemAdapter&)>& take) {
    ReleaseAdapterLists();
    for (const auto& adapter : adapters) {
        if (scanAdapterTable.count >= kMaxScanAdapters)
            break;
        if (!take(adapter))
            continue;
        FillAdapter(scanAdapterTable.adapters[scanAdapterTable.count], adapter);
        ++scanAdapterTable.count;
    }
}

void EnumeratePhysicalAdapters() {
    ReleaseAdapterLists();
    const auto adapters = ListSystemAdapters();
    if (auto names = CurrentInterfaceOverride()) {
        FillAdapterTable(
            adapters, [&](const SystemAdapter& adapter) { return IsNamed(*names, adapter.name); });
    } else {
        FillAdapterTable(adapters, [](const SystemAdapter& adapter) {
            return IsPhysicalInterface(adapter.name);
        });
    }
}

}  // namespace corvix
