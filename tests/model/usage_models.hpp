// usage_models.hpp: map models of a few sections and regions from text, for the memory-usage tests.
#pragma once

#include "map_model.hpp"
#include "memory_regions.hpp"
#include "support/memory_tree.hpp"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace tessaly::testing {

struct Sec {
    const char* name;
    uint32_t start;
    uint32_t size;
    int32_t type = 0;
};

// The tables of a tree holding just these sections.
struct SectionsModel {
    MemoryTree tree;
    MapModel model;

    SectionsModel(const char* cpu, const std::vector<Sec>& sections)
        : tree(cpu)
    {
        for (const Sec& s : sections)
            tree.section(s.name, s.start, s.size)->type = s.type;
        DetectCpuFamily(model, &tree.root);
    }
};

// The regions of a regions file's text, which must parse.
inline std::vector<MemoryRegion> regionsOf(const std::string& text, uint32_t maxAddress)
{
    RegionsParseResult parsed = parseRegions(text, "test.regions", maxAddress);
    EXPECT_EQ(parsed.errors, std::vector<std::string> {});
    return std::move(parsed.regions);
}

} // namespace tessaly::testing
