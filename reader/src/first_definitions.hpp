// first_definitions.hpp: a module's first type definition of each type number.
#pragma once

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

    // Fibonacci hashing spreads the runs of consecutive numbers a module defines.
    std::size_t slotOf(uint32_t number) const { return (uint64_t { number } * 0x9E3779B97F4A7C15ull) >> m_shift; }
    std::size_t mask() const { return m_slots.size() - 1; }

    std::vector<Slot> m_slots;
    std::size_t m_count = 0;
    int m_shift = 64;
};

} // namespace orvik
