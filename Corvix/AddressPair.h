#pragma once

// One IPv4 address of an adapter with its subnet mask. The first pair of an
// adapter is held inline; the later ones hang behind it, each owned by the
// pair before it, in the order of the system's adapter list.

#include <memory>
#include <string>

namespace corvix {

struct AddressPair {
    AddressPair() = default;
    AddressPair(AddressPair&&) = default;
    AddressPair& operator=(AddressPair&&) = default;
    // Frees the chain one pair at a time rather than recursively.
    ~AddressPair() {
        auto pair = std::move(next);
        while (pair)
            pair = std::move(pair->next);
    }

    std::unique_ptr<AddressPair> next;
    std::u16string address;  // dotted IPv4, at most kAddressTextWidth units
    std::u16string mask;     // dotted subnet mask, at most kAddressTextWidth units
};

}  // namespace corvix
