// wanted_names.hpp: the link names that definitions wait for, and the first value of each.
#pragma once

#include "keyed_hash.hpp"

#include <cstdint>
#include <string_view>
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
    WantedNames() = default;
    explicit WantedNames(std::vector<WantedAddress> definitions);

    // Starts again with the definitions filled into definitions(). The tables keep their
    // memory from one read to the next: given back at the end of every read, their few MiB
    // were faulted in again page by page by the next (770 pages a read of a big program).
    std::vector<WantedAddress>& definitions() { return m_wanted; }
    void rebuild();
    // Empties the tables and gives their memory back.
    void release();

    // Records the symbol's value when its name is wanted and has no value yet. A name holding
    // a NUL is offered as far as it, as it is stored; the hash finds the NUL on its way, where
    // a search of every name for one was a twentieth of a read.
    void offer(std::string_view name, uint32_t value)
    {
        if (m_pending == 0)
            return;
        bool holdsNul = false;
        uint64_t hash = hashOf(name, holdsNul);
        if (holdsNul) [[unlikely]] {
            name = name.substr(0, name.find('\0'));
            hash = hashOf(name, holdsNul);
        }
        // Most symbols are nobody's link name: two bit tests, in a table that stays in cache,
        // turn them away before the slot table (a cache miss each) is probed.
        if (filterHas(hash))
            take(find(name, hash, false), value);
    }
    // Names are compared up to their first NUL, as they are stored.
    void offer(const char* name, uint32_t value)
    {
        if (name)
            offer(std::string_view(name), value);
    }
    bool allFound() const { return m_pending == 0; }
    // Gives each definition the value found for its name, if any.
    void resolve() const;

private:
    // Slots hold a hash tag and an entry number: 8 bytes each, so the table of a large
    // program stays in cache while every symbol probes it.
    struct Slot {
        uint32_t tag = 0;
        uint32_t entry = 0; // 1-based; 0 is an empty slot
    };
    struct Entry {
        const char* name;
        uint32_t length;
        uint32_t value;
        bool found;
    };

    // Words, not bytes: names are known by their length, and FNV's byte loop was a tenth of a
    // read. Keyed, since the names are the file's. holdsNul: whether the name holds a NUL.
    uint64_t hashOf(std::string_view name, bool& holdsNul) const;
    // The entry of name, or null; with insert, a new entry when there is none.
    Entry* find(std::string_view name, uint64_t hash, bool insert);
    void take(Entry* entry, uint32_t value);
    // Both bits of a name lie in one word, so a test is one load where two were two misses.
    uint64_t filterBits(uint64_t hash) const
    {
        return uint64_t { 1 } << ((hash >> 17) & 63) | uint64_t { 1 } << ((hash >> 23) & 63);
    }
    bool filterHas(uint64_t hash) const
    {
        const uint64_t bits = filterBits(hash);
        return (m_filter[hash >> m_filterShift] & bits) == bits;
    }
    void filterAdd(uint64_t hash) { m_filter[hash >> m_filterShift] |= filterBits(hash); }

    keyed::NameKey m_key;
    std::vector<WantedAddress> m_wanted;
    // The entry of each definition, 0-based, found while the table is built: looking the
    // names up again to resolve them was a cache miss each.
    std::vector<uint32_t> m_entryOf;
    std::vector<Slot> m_slots;
    std::vector<Entry> m_entries;
    // A blocked Bloom filter of two bits a name: the hash's top bits choose the word, two runs
    // of its middle ones the bits.
    std::vector<uint64_t> m_filter;
    unsigned m_filterShift = 64;
    std::size_t m_mask = 0;
    std::size_t m_pending = 0;
};

// The global definitions (scope 'G') of the tree as it stands, into wanted.
void collectWantedGlobalAddresses(std::vector<WantedAddress>& wanted);

} // namespace orvik
