// ieee695_section_table.hpp: the sections of an IEEE-695 section part, found by index or context.
#pragma once

#include "keyed_hash.hpp"
#include "orvik.h"

#include <cstddef>
#include <cstdint>
#include <limits>
#include <unordered_map>
#include <vector>

namespace orvik {

// A section as its ST record gave it, and the addresses found in it since.
struct SectionExtent {
    IeSection* section = nullptr;
    uint32_t recordAt = 0; // its ST record, where a missing address is reported
    bool addressed = false;
    bool sized = false;
    uint64_t low = std::numeric_limits<uint64_t>::max();
    uint64_t high = 0; // one past the last address covered

    void cover(uint64_t start, uint64_t size);
};

// Module sections name the first section of an index; SA and AS records, which follow their
// section, the latest; a context names a section only while no other section shares it.
class SectionTable {
public:
    static constexpr std::size_t kNone = std::numeric_limits<std::size_t>::max();

    // Adds the section of the ST record at recordAt; returns its position.
    std::size_t add(IeSection* section, uint32_t recordAt);
    void addContext(uint32_t context, std::size_t position);

    std::size_t firstWithIndex(int32_t index) const { return find(m_firstByIndex, index); }
    std::size_t latestWithIndex(int32_t index) const { return find(m_latestByIndex, index); }
    std::size_t withContext(uint32_t context) const { return find(m_byContext, context); }

    SectionExtent& operator[](std::size_t position) { return m_sections[position]; }
    SectionExtent& last() { return m_sections.back(); }

    // The first section that no AS-L record gave an address, or null.
    const SectionExtent* firstUnaddressed() const;
    // Gives each section without a size the hull of what was found in it.
    void sizeFromContents();

private:
    template <typename Key> static std::size_t find(const keyed::NumberMap<Key, std::size_t>& map, Key key)
    {
        const auto found = map.find(key);
        return found != map.end() ? found->second : kNone;
    }

    std::vector<SectionExtent> m_sections;
    keyed::NumberMap<int32_t, std::size_t> m_firstByIndex;
    keyed::NumberMap<int32_t, std::size_t> m_latestByIndex;
    keyed::NumberMap<uint32_t, std::size_t> m_byContext;
};

} // namespace orvik
