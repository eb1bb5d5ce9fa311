// right_fixtures.hpp: small in-memory programs for the symbol list's layout tests.
#pragma once

#include "map_model.hpp"
#include "right/right_layout.hpp"
#include "support/memory_tree.hpp"

#include <memory>
#include <string_view>

namespace tessaly::testing {

// A tree and the model built from it; the model points into the tree, so both live together.
struct BuiltModel {
    std::unique_ptr<MemoryTree> tree;
    std::unique_ptr<MapModel> model;

    explicit BuiltModel(const char* cpu = "Carina")
        : tree(std::make_unique<MemoryTree>(cpu))
        , model(std::make_unique<MapModel>())
    {
    }

    // Builds the tables from the tree as a successful open does.
    MapModel& build()
    {
        DetectCpuFamily(*model, &tree->root);
        model->FileLoaded = true;
        return *model;
    }

    IeSection* section(const char* name, uint32_t start, uint32_t size, int32_t type = kSectionTypeCode)
    {
        IeSection* s = tree->section(name, start, size);
        s->type = type;
        return s;
    }
};

// The worked example: CODE at 0x1000 (0x100 bytes) with 3 global labels, 1 local label,
// 2 global .EQU constants and 5 C functions; module "mod" owns all of CODE.
inline void addWorkedExample(BuiltModel& built)
{
    MemoryTree& t = *built.tree;
    IeSection* code = built.section("CODE", 0x1000, 0x100);
    IeModule* mod = t.module("mod");
    t.part(mod, code, 0x1000, 0x100);
    t.global("start", 0x1000);
    t.global("loop", 0x1004);
    t.global("done", 0x1008);
    t.local(mod, "inner", 0x100c);
    t.global("LIMIT", 0x1010, IE_KIND_EQU);
    t.global("COUNT", 0x1014, IE_KIND_EQU);
    IeSource* src = t.source(mod, "main.c");
    t.function(src, "f1", "_f1", 0x1000);
    t.function(src, "f2", "_f2", 0x1010);
    t.function(src, "f3", "_f3", 0x1020);
    t.function(src, "f4", "_f4", 0x1030);
    t.function(src, "f5", "_f5", 0x1040);
}

// Index of the SectionTable entry with the given name (free areas have none).
inline int32_t sectionIndex(const MapModel& model, const char* name)
{
    for (size_t i = 0; i < model.SectionTable.size(); ++i) {
        const char* n = model.SectionTable[i].record->name;
        if (n && std::string_view(n) == name)
            return static_cast<int32_t>(i);
    }
    return -1;
}

inline const SectionEntry& sectionNamed(const MapModel& model, const char* name)
{
    return model.SectionTable.at(static_cast<size_t>(sectionIndex(model, name)));
}

} // namespace tessaly::testing
