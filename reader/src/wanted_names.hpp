// wanted_names.hpp: the link names that definitions wait for, and the first value of each.
#pragma once

#include <cstdint>
#include <vector>

namespace orvik {

// A definition waiting for the value of the first symbol named linkName.
struct WantedAddress {
    const char* linkName;
    uint32_t* address;
    int32_t* resolved;
};

// The names some definition waits for, each with the value of the first symbol of that
// name. Open addressing over a power-of-two table keeps a probe to one or two cache lines,
// which matters when a million symbols are each probed once.
class WantedNames {
public:
    explicit WantedNames(const std::vector<WantedAddress>& wanted);

    // Records the symbol's value when its name is wanted and has no value yet.
    void offer(const char* name, uint32_t value);
    bool allFound() const { return m_pending == 0; }
    const uint32_t* valueOf(const char* name);

private:
    // Slots hold a hash tag and an entry number: 8 bytes each, so the table of a large
    // program stays in cache while every symbol probes it.
    struct Slot {
        uint32_t tag = 0;
        uint32_t entry = 0; // 1-based; 0 is an empty slot
    };
    struct Entry {
        const char* name;
        uint32_t value;
        bool found;
    };

    static uint64_t hashOf(const char* name);
    // The entry of name, or null; with insert, a new entry when there is none.
    Entry* find(const char* name, bool insert);

    std::vector<Slot> m_slots;
    std::vector<Entry> m_entries;
    std::size_t m_mask = 0;
    std::size_t m_pending = 0;
};

// The global definitions (scope 'G') of the tree as it stands.
std::vector<WantedAddress> wantedGlobalAddresses();

} // namespace orvik
