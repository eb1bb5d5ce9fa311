// tree_index.hpp: positions of records in their lists, so pointers can be written as indexes.
#pragma once

#include <cstdint>
#include <optional>
#include <unordered_map>

namespace tessaly::dump {

// Maps each record of one list to its 0-based position. Built once per list so that
// writing every pointer into it costs one lookup, not a walk.
template <typename Record> class ListIndex {
public:
    explicit ListIndex(const Record* head)
    {
        int32_t position = 0;
        for (const Record* record = head; record; record = record->next)
            m_positions.emplace(record, position++);
    }

    // Null for a null pointer and for a record that is not in this list.
    std::optional<int32_t> find(const Record* record) const
    {
        if (!record)
            return std::nullopt;
        const auto it = m_positions.find(record);
        if (it == m_positions.end())
            return std::nullopt;
        return it->second;
    }

private:
    std::unordered_map<const Record*, int32_t> m_positions;
};

// Calls visit(record, position) for each record of a list, in list order.
template <typename Record, typename Visit> void forEachInList(const Record* head, Visit&& visit)
{
    int32_t position = 0;
    for (const Record* record = head; record; record = record->next)
        visit(*record, position++);
}

} // namespace tessaly::dump
