// type_index_table.hpp: the first type definition of each index, in one flat table.
#pragma once

#include "orvik.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace orvik {

// Open addressing over a power-of-two table of (index, definition) pairs. A module of a big
// program defines some 500 types, and a node-based map took an allocation for each and a
// free when the read ended: a sixth of a framed read's instructions.
class TypeIndexTable {
public:
    // Adds the definition unless its index has one already; true when added.
    bool add(int32_t index, IeTypeDef* type)
    {
        if ((m_count + 1) * 2 > m_slots.size())
            grow();
        Slot& slot = slotOf(index);
        if (slot.type)
            return false;
        slot = { index, type };
        ++m_count;
        return true;
    }

    IeTypeDef* find(int32_t index) const
    {
        if (m_slots.empty())
            return nullptr;
        return const_cast<TypeIndexTable*>(this)->slotOf(index).type;
    }

private:
    struct Slot {
        int32_t index = 0;
        IeTypeDef* type = nullptr; // null: empty
    };

    // The slot holding index, or the empty one where it would go.
    Slot& slotOf(int32_t index)
    {
        const std::size_t mask = m_slots.size() - 1;
        // Fibonacci hashing spreads the consecutive numbers of a module's types.
        std::size_t i = static_cast<std::size_t>((static_cast<uint32_t>(index) * 0x9E3779B97F4A7C15ull) >> 32) & mask;
        while (m_slots[i].type && m_slots[i].index != index)
            i = (i + 1) & mask;
        return m_slots[i];
    }

    void grow()
    {
        std::vector<Slot> old(m_slots.size() < 16 ? 32 : m_slots.size() * 2);
        old.swap(m_slots);
        for (const Slot& slot : old)
            if (slot.type)
                slotOf(slot.index) = slot;
    }

    std::vector<Slot> m_slots;
    std::size_t m_count = 0;
};

} // namespace orvik
