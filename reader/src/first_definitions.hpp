// first_definitions.hpp: a module's first type definition of each type number.
#pragma once

#include "keyed_hash.hpp"
#include "orvik.h"

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace orvik {

// Open addressing in one array: a module defines thousands of numbers, and a node-based map
// made one heap block for each of them.
class FirstDefinitions {
public:
    // The first definition added for the number, or null.
    IeTypeDef* find(uint32_t number) const
    {
        if (m_slots.empty())
            return nullptr;
        for (std::size_t at = slotOf(number);; at = (at + 1) & mask()) {
            const Slot& slot = m_slots[at];
            if (!slot.definition || slot.number == number)
                return slot.definition;
        }
    }

    // Keeps the definition unless the number has one already; true when it was kept.
    bool add(uint32_t number, IeTypeDef* definition)
    {
        reserve(m_count + 1);
        for (std::size_t at = slotOf(number);; at = (at + 1) & mask()) {
            Slot& slot = m_slots[at];
            if (slot.definition && slot.number != number)
                continue;
            if (slot.definition)
                return false;
            slot = { number, definition };
            ++m_count;
            return true;
        }
    }

    std::size_t size() const { return m_count; }

    // The farthest any number lies past its home slot: the longest search the table makes.
    std::size_t longestProbe() const
    {
        std::size_t longest = 0;
        for (std::size_t at = 0; at < m_slots.size(); ++at)
            if (m_slots[at].definition)
                longest = std::max(longest, (at - slotOf(m_slots[at].number)) & mask());
        return longest;
    }

    // Room for that many numbers in all, so that a batch grows the array at most once.
    void reserve(std::size_t count)
    {
        if (count * 2 <= m_slots.size())
            return;
        std::vector<Slot> old(std::bit_ceil(std::max<std::size_t>(count * 2, 16)));
        old.swap(m_slots);
        m_shift = 64 - std::countr_zero(m_slots.size());
        for (const Slot& slot : old) {
            if (!slot.definition)
                continue;
            std::size_t at = slotOf(slot.number);
            while (m_slots[at].definition)
                at = (at + 1) & mask();
            m_slots[at] = slot;
        }
    }

private:
    struct Slot {
        uint32_t number = 0;
        IeTypeDef* definition = nullptr; // null: free
    };

    // The top bits of a keyed hash: a file can pile its numbers on one slot of any fixed hash
    // (in a linear-probing table the pile costs each insertion a walk over all of it).
    std::size_t slotOf(uint32_t number) const { return keyed::mixNumber(number, m_seed) >> m_shift; }
    std::size_t mask() const { return m_slots.size() - 1; }

    std::vector<Slot> m_slots;
    uint64_t m_seed = keyed::processSeed();
    std::size_t m_count = 0;
    int m_shift = 64;
};

} // namespace orvik
