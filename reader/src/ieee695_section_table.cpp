// ieee695_section_table.cpp: section lookup by index and context, and sizes from contents.
#include "ieee695_section_table.hpp"

#include <algorithm>

namespace orvik {

void SectionExtent::cover(uint64_t start, uint64_t size)
{
    if (size == 0)
        return;
    low = std::min(low, start);
    high = std::max(high, start + size);
}

std::size_t SectionTable::add(IeSection* section, uint32_t recordAt)
{
    const std::size_t position = m_sections.size();
    m_sections.push_back({ section, recordAt });
    m_latestByIndex[section->index] = position;
    m_firstByIndex.emplace(section->index, position);
    return position;
}

void SectionTable::addContext(uint32_t context, std::size_t position)
{
    // A context that two sections share names neither of them.
    auto [it, added] = m_byContext.emplace(context, position);
    if (!added)
        it->second = kNone;
}

const SectionExtent* SectionTable::firstUnaddressed() const
{
    for (const SectionExtent& extent : m_sections)
        if (!extent.addressed)
            return &extent;
    return nullptr;
}

void SectionTable::sizeFromContents()
{
    for (SectionExtent& extent : m_sections) {
        if (extent.sized || extent.high <= extent.low)
            continue;
        extent.section->start = static_cast<uint32_t>(extent.low);
        extent.section->size
            = static_cast<uint32_t>(std::min<uint64_t>(extent.high - extent.low, std::numeric_limits<uint32_t>::max()));
    }
}

} // namespace orvik
