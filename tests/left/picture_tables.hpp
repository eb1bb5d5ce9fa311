// picture_tables.hpp: map models for the left pane's tests, built from a tree or straight from a list of entries.
#pragma once

#include "map_model.hpp"
#include "support/memory_tree.hpp"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <deque>
#include <memory>
#include <vector>

namespace tessaly::testing {

// One SectionTable entry; a null name stands for a free area.
struct Entry {
    const char* name;
    uint32_t start;
    uint32_t size;
    int32_t type = 0;
};

// A loaded MapModel whose SectionTable is exactly the given entries, in the given order, with
// the records owned here. For picture rules that need entries the table build would not give.
class PictureTable {
public:
    MapModel model;

    PictureTable(int32_t addressDigits, std::vector<Entry> entries, uint32_t rangeStart, uint32_t rangeEnd)
    {
        model.FileLoaded = true;
        model.AddressDigits = addressDigits;
        model.MaxAddress = addressDigits == 8 ? 0xFFFFFFFFu : 0xFFFFFFu;
        model.RangeStart = rangeStart;
        model.RangeEnd = rangeEnd;
        model.ImageMode = MemorySizeImage;
        for (const Entry& e : entries) {
            IeSection& record = m_records.emplace_back();
            record.name = e.name;
            record.start = e.start;
            record.size = e.size;
            record.type = e.type;
            SectionEntry entry;
            entry.record = &record;
            model.SectionTable.push_back(entry);
            if (e.name)
                model.NameWidths[NameWidthSection]
                    = std::max(model.NameWidths[NameWidthSection], static_cast<int32_t>(std::strlen(e.name)));
        }
    }

private:
    std::deque<IeSection> m_records;
};

// A model built the way an open builds it: family detection and the table build over an
// in-memory tree, free areas included, range reset to the whole space.
class BuiltTable {
public:
    MemoryTree tree;
    MapModel model;

    explicit BuiltTable(const char* cpuName, const std::vector<Entry>& sections)
        : tree(cpuName)
    {
        for (const Entry& e : sections)
            tree.section(e.name, e.start, e.size)->type = e.type;
        DetectCpuFamily(model, &tree.root);
        model.FileLoaded = true;
        model.RangeStart = 0;
        model.RangeEnd = model.MaxAddress;
    }
};

} // namespace tessaly::testing
