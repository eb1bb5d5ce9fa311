// map_tables_test.cpp: BuildMapTables on in-memory trees: orders, range flags, free areas, sweeps, widths.
#include "map_model.hpp"
#include "support/memory_tree.hpp"

#include <cstdio>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using tessaly::MapModel;
using tessaly::ModuleSectionEntry;
using tessaly::SectionEntry;
using tessaly::SymbolEntry;
using tessaly::testing::MemoryTree;

struct Sec {
    const char* name;
    uint32_t start;
    uint32_t size;
};

std::string hex(uint32_t value)
{
    char text[16];
    std::snprintf(text, sizeof text, "%x", static_cast<unsigned>(value));
    return text;
}

const char* flagName(tessaly::RangeFlag flag)
{
    switch (flag) {
    case tessaly::RangeNormal:
        return "normal";
    case tessaly::RangeOverlap:
        return "overlap";
    case tessaly::RangeOutside:
        return "outside";
    }
    return "?";
}

// "name start+size" for a section, "free start+size" for a free area.
std::string key(const MapModel& model, const SectionEntry& entry)
{
    const char* name = model.isFreeArea(entry) ? "free" : (entry.record->name ? entry.record->name : "(null)");
    return std::string(name) + " " + hex(entry.record->start) + "+" + hex(entry.record->size);
}

std::vector<std::string> sectionKeys(const MapModel& model, bool withFreeAreas = true)
{
    std::vector<std::string> keys;
    for (const SectionEntry& entry : model.SectionTable)
        if (withFreeAreas || !model.isFreeArea(entry))
            keys.push_back(key(model, entry));
    return keys;
}

std::vector<std::string> sectionFlags(const MapModel& model)
{
    std::vector<std::string> flags;
    for (const SectionEntry& entry : model.SectionTable)
        if (!model.isFreeArea(entry))
            flags.push_back(std::string(entry.record->name) + " " + flagName(entry.rangeFlag));
    return flags;
}

// "kind:section start+size", or "free start+size".
std::string key(const MapModel& model, const ModuleSectionEntry& entry)
{
    const IeModSection& r = *entry.record;
    if (model.isFreeArea(entry))
        return "free " + hex(r.start) + "+" + hex(r.size);
    const char* section = r.section ? r.section->name : "-";
    return std::to_string(r.kind) + ":" + section + " " + hex(r.start) + "+" + hex(r.size);
}

std::vector<std::string> moduleSectionKeys(const MapModel& model)
{
    std::vector<std::string> keys;
    for (const ModuleSectionEntry& entry : model.ModuleSectionTable)
        keys.push_back(key(model, entry));
    return keys;
}

std::vector<std::string> symbolKeys(const std::vector<SymbolEntry>& table)
{
    std::vector<std::string> keys;
    for (const SymbolEntry& entry : table)
        keys.push_back(std::string(1, static_cast<char>(entry.scope)) + " " + entry.name + "@" + hex(entry.value));
    return keys;
}

void addSections(MemoryTree& tree, const std::vector<Sec>& sections)
{
    for (const Sec& s : sections)
        tree.section(s.name, s.start, s.size);
}

// ---- orders -----------------------------------------------------------------------------------

TEST(SectionOrder, StartThenSizeThenNameBytewise)
{
    struct Case {
        const char* what;
        std::vector<Sec> sections;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        { "start ascending", { { "B", 0x200, 0x10 }, { "A", 0x100, 0x10 }, { "C", 0x300, 0x10 } },
            { "A 100+10", "B 200+10", "C 300+10" } },
        { "equal start: size ascending", { { "big", 0x100, 0x20 }, { "small", 0x100, 0x10 }, { "zero", 0x100, 0 } },
            { "zero 100+0", "small 100+10", "big 100+20" } },
        { "equal start and size: name byte-wise", { { "b", 0x100, 0x10 }, { "a", 0x100, 0x10 }, { "B", 0x100, 0x10 } },
            { "B 100+10", "a 100+10", "b 100+10" } },
        { "names compare as unsigned bytes", { { "\xE9t\xE9", 0x100, 0x10 }, { "z", 0x100, 0x10 } },
            { "z 100+10", "\xE9t\xE9 100+10" } },
        { "a prefix sorts first", { { "ab", 0x100, 0x10 }, { "a", 0x100, 0x10 } }, { "a 100+10", "ab 100+10" } },
        { "start beats size and name", { { "a", 0x200, 0x1 }, { "z", 0x100, 0x500 } }, { "z 100+500", "a 200+1" } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MemoryTree tree;
        addSections(tree, c.sections);
        MapModel model;
        tessaly::DetectCpuFamily(model, &tree.root);
        EXPECT_EQ(sectionKeys(model, false), c.expected);
    }
}

TEST(SectionOrder, AnEntryWithoutNameSortsAfterOneWithAndTwoWithoutAreEqual)
{
    IeSection named {};
    named.name = "x";
    named.start = 0x10;
    named.size = 4;
    IeSection unnamed = named;
    unnamed.name = nullptr;
    IeSection unnamed2 = unnamed;
    SectionEntry a, b, c;
    a.record = &named;
    b.record = &unnamed;
    c.record = &unnamed2;
    EXPECT_TRUE(tessaly::SectionOrderLess(a, b));
    EXPECT_FALSE(tessaly::SectionOrderLess(b, a));
    EXPECT_FALSE(tessaly::SectionOrderLess(b, c));
    EXPECT_FALSE(tessaly::SectionOrderLess(c, b));
    EXPECT_FALSE(tessaly::SectionOrderLess(a, a));
}

TEST(ModuleSectionOrder, StartSizeThenKindRankForZeroSize)
{
    struct Part {
        const char* section; // null: no owning section
        uint32_t start;
        uint32_t size;
        int32_t kind;
    };
    struct Case {
        const char* what;
        std::vector<Part> parts;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        { "start, then size", { { "S", 0x200, 0x10, 2 }, { "S", 0x100, 0x10, 1 }, { "S", 0x100, 0, 1 } },
            { "1:S 100+0", "1:S 100+10", "2:S 200+10" } },
        { "zero size: kind 2 first, kind 1 last, other kinds by code",
            { { "S", 0x100, 0, 1 }, { "S", 0x100, 0, 7 }, { "S", 0x100, 0, 2 }, { "S", 0x100, 0, 0 },
                { "S", 0x100, 0, 3 }, { "S", 0x100, 0, -4 } },
            { "2:S 100+0", "-4:S 100+0", "0:S 100+0", "3:S 100+0", "7:S 100+0", "1:S 100+0" } },
        { "zero size, equal kinds: owning section's name, none last",
            { { nullptr, 0x100, 0, 5 }, { "b", 0x100, 0, 5 }, { "a", 0x100, 0, 5 } },
            { "5:a 100+0", "5:b 100+0", "5:- 100+0" } },
        { "kind before section name", { { "a", 0x100, 0, 1 }, { "z", 0x100, 0, 2 }, { nullptr, 0x100, 0, 2 } },
            { "2:z 100+0", "2:- 100+0", "1:a 100+0" } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MemoryTree tree;
        tree.section("a", 0, 0);
        tree.section("b", 0, 0);
        tree.section("z", 0, 0);
        tree.section("S", 0, 0);
        auto sectionNamed = [&](const char* name) -> IeSection* {
            if (!name)
                return nullptr;
            for (IeSection* s = tree.root.sections; s; s = s->next)
                if (std::string(s->name) == name)
                    return s;
            return nullptr;
        };
        auto* module = tree.module("m");
        for (const Part& p : c.parts)
            tree.part(module, sectionNamed(p.section), p.start, p.size, p.kind);
        MapModel model;
        model.MaxAddress = 0xFFFFFF; // free areas 0..100 and above the last part are not part of this test
        tessaly::BuildMapTables(model, &tree.root);
        std::vector<std::string> keys;
        for (const ModuleSectionEntry& entry : model.ModuleSectionTable)
            if (!model.isFreeArea(entry))
                keys.push_back(key(model, entry));
        EXPECT_EQ(keys, c.expected);
    }
}

TEST(ModuleSectionOrder, EqualStartAndNonZeroSizeAreEqualWhateverTheKind)
{
    IeSection s {};
    s.name = "S";
    IeModSection x {};
    x.start = 0x100;
    x.size = 0x10;
    x.kind = 1;
    x.section = &s;
    IeModSection y = x;
    y.kind = 2;
    y.section = nullptr;
    ModuleSectionEntry a, b;
    a.record = &x;
    b.record = &y;
    EXPECT_FALSE(tessaly::ModuleSectionOrderLess(a, b));
    EXPECT_FALSE(tessaly::ModuleSectionOrderLess(b, a));
}

// std::sort needs a strict weak ordering; check the axioms over every triple of a mixed set.
TEST(ModuleSectionOrder, IsAStrictWeakOrdering)
{
    IeSection sa {}, sb {};
    sa.name = "a";
    sb.name = "b";
    std::vector<IeModSection> records;
    for (uint32_t start : { 0x100u, 0x200u })
        for (uint32_t size : { 0u, 0x10u })
            for (int32_t kind : { 0, 1, 2, 3, 9 })
                for (IeSection* section : { &sa, &sb, static_cast<IeSection*>(nullptr) }) {
                    IeModSection r {};
                    r.start = start;
                    r.size = size;
                    r.kind = kind;
                    r.section = section;
                    records.push_back(r);
                }
    std::vector<ModuleSectionEntry> entries(records.size());
    for (std::size_t i = 0; i < records.size(); ++i)
        entries[i].record = &records[i];

    auto less = tessaly::ModuleSectionOrderLess;
    auto equivalent = [&](const auto& x, const auto& y) { return !less(x, y) && !less(y, x); };
    int failures = 0;
    for (const auto& a : entries) {
        if (less(a, a))
            ++failures;
        for (const auto& b : entries) {
            if (less(a, b) && less(b, a))
                ++failures;
            for (const auto& c : entries) {
                if (less(a, b) && less(b, c) && !less(a, c))
                    ++failures;
                if (equivalent(a, b) && equivalent(b, c) && !equivalent(a, c))
                    ++failures;
            }
        }
    }
    EXPECT_EQ(failures, 0);
}

TEST(SymbolOrder, ValueThenNameScopeTakesNoPart)
{
    MemoryTree tree;
    auto* m1 = tree.module("m1");
    auto* m2 = tree.module("m2");
    tree.global("b", 0x10);
    tree.local(m1, "a", 0x10);
    tree.global("c", 0x8);
    tree.local(m2, "z", 0x20);
    tree.local(m2, "B", 0x10);
    tree.global("skipped", 0x10, 16); // neither label nor .EQU
    tree.global("two", 2, IE_KIND_EQU);
    tree.local(m1, "one", 2, IE_KIND_EQU);
    tree.local(m2, "zero", 0, IE_KIND_EQU);
    tree.local(m2, "skipped too", 0, 0);

    MapModel model;
    tessaly::DetectCpuFamily(model, &tree.root);
    EXPECT_EQ(
        symbolKeys(model.LabelTable), (std::vector<std::string> { "G c@8", "L B@10", "L a@10", "G b@10", "L z@20" }));
    EXPECT_EQ(symbolKeys(model.EquTable), (std::vector<std::string> { "L zero@0", "L one@2", "G two@2" }));
    EXPECT_EQ(model.LabelCount, 5);
    EXPECT_EQ(model.GlobalLabelCount, 2);
    EXPECT_EQ(model.LocalLabelCount, 3);
    EXPECT_EQ(model.EquCount, 3);
    EXPECT_EQ(model.GlobalEquCount, 1);
    EXPECT_EQ(model.LocalEquCount, 2);
    EXPECT_EQ(model.LabelTable.size(), 5u);
    EXPECT_EQ(model.LabelTable.capacity(), 5u); // sized exactly
    // The entry points at the record it came from.
    EXPECT_STREQ(model.LabelTable[0].symbol.global->name, "c");
    EXPECT_STREQ(model.LabelTable[1].symbol.local->name, "B");
    EXPECT_EQ(model.LabelTable[1].symbol.local->owner, m2);
    EXPECT_EQ(model.LabelTable[0].line, -1);
}

TEST(FunctionOrder, AddressOnly)
{
    MemoryTree tree;
    auto* module = tree.module("m");
    auto* a = tree.source(module, "a.c");
    auto* b = tree.source(module, "b.c");
    tree.function(a, "late", "_late", 0x300);
    tree.function(b, "early", "_early", 0x100);
    tree.function(a, "middle", "_middle", 0x200);
    tree.function(b, "lost", "_lost", 0, 0x10, false);

    MapModel model;
    tessaly::DetectCpuFamily(model, &tree.root);
    ASSERT_EQ(model.FunctionCount, 4);
    std::vector<std::string> names;
    for (const auto& entry : model.FunctionTable)
        names.push_back(entry.function->name);
    EXPECT_EQ(names, (std::vector<std::string> { "lost", "early", "middle", "late" }));
}

// ---- range flags ------------------------------------------------------------------------------

TEST(RangeFlags, ClassifiedAgainstTheRunningEnd)
{
    struct Case {
        const char* what;
        const char* cpu;
        std::vector<Sec> sections;
        std::vector<std::string> expected; // in table order, free areas left out
    };
    const Case cases[] = {
        { "overlap, then adjacent", "Carina", { { "A", 0x100, 0x100 }, { "B", 0x180, 0x10 }, { "C", 0x200, 0x10 } },
            { "A normal", "B overlap", "C normal" } },
        { "overlap against the largest end so far", "Carina",
            { { "A", 0x100, 0x400 }, { "B", 0x200, 0x10 }, { "C", 0x300, 0x10 } },
            { "A normal", "B overlap", "C overlap" } },
        { "starts above MaxAddress", "Carina", { { "A", 0, 0x10 }, { "B", 0x1000000, 0x10 } },
            { "A normal", "B outside" } },
        { "reaches above MaxAddress", "Carina", { { "A", 0, 0x10 }, { "B", 0xFFFFF0, 0x20 } },
            { "A normal", "B outside" } },
        { "last address is MaxAddress", "Carina", { { "A", 0, 0x10 }, { "B", 0xFFFFF0, 0x10 } },
            { "A normal", "B normal" } },
        { "20-bit space", "Alcor", { { "A", 0, 0x10 }, { "B", 0xFFFF0, 0x20 } }, { "A normal", "B outside" } },
        { "wraps past the 32-bit top", "Grus", { { "A", 0, 0x10 }, { "B", 0xFFFFFFF0, 0x20 } },
            { "A normal", "B outside" } },
        { "ends exactly at 2^32 (end 0 is below start)", "Grus", { { "A", 0, 0x10 }, { "B", 0xFFFFFFF0, 0x10 } },
            { "A normal", "B outside" } },
        { "zero size at 0, not first", "Carina", { { "A", 0, 0 }, { "B", 0, 0 } }, { "A normal", "B outside" } },
        { "zero size at 0, not first, 32-bit space", "Grus", { { "A", 0, 0 }, { "B", 0, 0 } },
            { "A normal", "B normal" } },
        { "zero size at 0, first", "Carina", { { "A", 0, 0x10 }, { "Z", 0, 0 } }, { "Z normal", "A normal" } },
        { "zero size inside another section", "Carina", { { "A", 0x100, 0x100 }, { "Z", 0x180, 0 } },
            { "A normal", "Z overlap" } },
        { "the first entry is normal wherever it lies", "Carina", { { "A", 0x2000000, 0x10 } }, { "A normal" } },
        { "an outside entry still raises the running end", "Carina",
            { { "A", 0, 0x10 }, { "B", 0xFFFFF0, 0x100 }, { "C", 0xFFFFF8, 0x4 } },
            { "A normal", "B outside", "C overlap" } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MemoryTree tree(c.cpu);
        addSections(tree, c.sections);
        MapModel model;
        tessaly::DetectCpuFamily(model, &tree.root);
        EXPECT_EQ(sectionFlags(model), c.expected);
        for (const SectionEntry& entry : model.SectionTable) {
            if (model.isFreeArea(entry)) {
                EXPECT_EQ(entry.rangeFlag, tessaly::RangeNormal) << key(model, entry);
            }
        }
    }
}

// ---- free areas -------------------------------------------------------------------------------

TEST(FreeAreas, CoverEveryGapBelowMaxAddress)
{
    struct Case {
        const char* what;
        const char* cpu;
        std::vector<Sec> sections;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        { "gaps before, between and after", "Carina", { { "B", 0x400, 0x100 }, { "A", 0x100, 0x100 } },
            { "free 0+100", "A 100+100", "free 200+200", "B 400+100", "free 500+fffaff" } },
        { "no gap inside overlapping sections", "Carina",
            { { "A", 0, 0x300 }, { "B", 0x100, 0x100 }, { "C", 0x300, 0x10 } },
            { "A 0+300", "B 100+100", "C 300+10", "free 310+fffcef" } },
        { "exactly one, ending one below MaxAddress", "Carina", { { "A", 0, 0xFFFF00 } },
            { "A 0+ffff00", "free ffff00+ff" } },
        { "none when a section ends at MaxAddress", "Carina", { { "A", 0, 0xFFFFFF } }, { "A 0+ffffff" } },
        { "none when a section covers MaxAddress", "Carina", { { "A", 0, 0x1000000 } }, { "A 0+1000000" } },
        { "none above an entry reaching past MaxAddress", "Carina", { { "A", 0, 0x100 }, { "B", 0xFFFF00, 0x200 } },
            { "A 0+100", "free 100+fffe00", "B ffff00+200" } },
        { "gap before an entry above MaxAddress stops at MaxAddress", "Carina",
            { { "A", 0, 0x100 }, { "B", 0x2000000, 0x10 } }, { "A 0+100", "free 100+fffeff", "B 2000000+10" } },
        { "20-bit space", "Alcor", { { "A", 0, 0x100 } }, { "A 0+100", "free 100+ffeff" } },
        { "32-bit space", "Grus", { { "A", 0x10, 0x10 } }, { "free 0+10", "A 10+10", "free 20+ffffffdf" } },
        { "a wrapping entry covers the rest of the space", "Grus",
            { { "A", 0x1000, 0x10 }, { "B", 0xFFFFFF00, 0x200 } },
            { "free 0+1000", "A 1000+10", "free 1010+ffffeef0", "B ffffff00+200" } },
        { "an entry ending at 2^32 leaves no final free area", "Grus", { { "A", 0xFFFFFF00, 0x100 } },
            { "free 0+ffffff00", "A ffffff00+100" } },
        { "a zero-size section between two free areas", "Carina", { { "Z", 0x100, 0 } },
            { "free 0+100", "Z 100+0", "free 100+fffeff" } },
        { "zero-size sections at 0 make no free area of size 0", "Carina", { { "Z", 0, 0 }, { "A", 0, 0x10 } },
            { "Z 0+0", "A 0+10", "free 10+ffffef" } },
        { "none without sections", "Carina", {}, {} },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MemoryTree tree(c.cpu);
        addSections(tree, c.sections);
        MapModel model;
        tessaly::DetectCpuFamily(model, &tree.root);
        EXPECT_EQ(sectionKeys(model), c.expected);
        EXPECT_EQ(model.SectionCount, static_cast<int32_t>(c.sections.size()));
        EXPECT_EQ(static_cast<std::size_t>(model.SectionCount + model.SectionFreeAreaCount), model.SectionTable.size());
        EXPECT_EQ(model.SectionTable.size(), model.SectionTable.capacity()); // sized exactly
        for (const SectionEntry& entry : model.SectionTable) {
            if (!model.isFreeArea(entry))
                continue;
            EXPECT_EQ(entry.record->name, nullptr);
            EXPECT_NE(entry.record->size, 0u);
            EXPECT_EQ(entry.rangeFlag, tessaly::RangeNormal);
        }
    }
}

TEST(FreeAreas, ModuleSectionFreeAreasAreModSectionShapedWithoutSection)
{
    MemoryTree tree("Alcor");
    auto* code = tree.section("CODE", 0x100, 0x100);
    auto* module = tree.module("m");
    tree.part(module, code, 0x180, 0x80, 3);
    tree.part(module, code, 0x100, 0x40, 3);

    MapModel model;
    tessaly::DetectCpuFamily(model, &tree.root);
    EXPECT_EQ(moduleSectionKeys(model),
        (std::vector<std::string> { "free 0+100", "3:CODE 100+40", "free 140+40", "3:CODE 180+80", "free 200+ffdff" }));
    EXPECT_EQ(model.ModuleSectionCount, 2);
    EXPECT_EQ(model.ModuleSectionFreeAreaCount, 3);
    for (const ModuleSectionEntry& entry : model.ModuleSectionTable) {
        if (!model.isFreeArea(entry))
            continue;
        EXPECT_EQ(entry.record->section, nullptr);
        EXPECT_EQ(entry.record->owner, nullptr);
        EXPECT_EQ(entry.rangeFlag, tessaly::RangeNormal);
    }
    // The section table has its own free areas; the section counts both of its parts.
    EXPECT_EQ(sectionKeys(model), (std::vector<std::string> { "free 0+100", "CODE 100+100", "free 200+ffdff" }));
    EXPECT_EQ(model.SectionTable[1].moduleSectionCount, 2);
}

TEST(FreeAreas, SectionsWithoutModuleSectionsGiveAnEmptyModuleSectionTable)
{
    MemoryTree tree;
    tree.section("CODE", 0x100, 0x100);
    tree.module("m");
    tree.global("start", 0x120);
    MapModel model;
    tessaly::DetectCpuFamily(model, &tree.root);
    EXPECT_TRUE(model.ModuleSectionTable.empty());
    EXPECT_EQ(model.ModuleSectionFreeAreaCount, 0);
    ASSERT_EQ(sectionKeys(model).size(), 3u);
    EXPECT_EQ(model.SectionTable[1].globalLabelCount, 1);
    EXPECT_EQ(model.SectionTable[1].firstLabel, 0);
}

TEST(FreeAreas, NoSectionsStillBuildsTheOtherTables)
{
    MemoryTree tree;
    auto* module = tree.module("m");
    tree.global("start", 0x120);
    tree.local(module, "k", 3, IE_KIND_EQU);
    tree.function(tree.source(module, "a.c"), "f", "_f", 0x120);
    MapModel model;
    tessaly::DetectCpuFamily(model, &tree.root);
    EXPECT_TRUE(model.SectionTable.empty());
    EXPECT_EQ(model.SectionFreeAreaCount, 0);
    EXPECT_EQ(model.LabelCount, 1);
    EXPECT_EQ(model.EquCount, 1);
    EXPECT_EQ(model.FunctionCount, 1);
}

// ---- sweeps -----------------------------------------------------------------------------------

struct Contents {
    std::string entry;
    int32_t globalLabels, localLabels, firstLabel;
    int32_t globalEqus, localEqus, firstEqu;
    int32_t functions, firstFunction;
    int32_t moduleSections; // -1 for module-section entries, which have no such count
};

template <typename Entry> Contents contentsOf(const MapModel& model, const Entry& entry, int32_t moduleSections)
{
    return { key(model, entry), entry.globalLabelCount, entry.localLabelCount, entry.firstLabel, entry.globalEquCount,
        entry.localEquCount, entry.firstEqu, entry.functionCount, entry.firstFunction, moduleSections };
}

void expectContents(const Contents& actual, const Contents& expected)
{
    SCOPED_TRACE(expected.entry);
    EXPECT_EQ(actual.entry, expected.entry);
    EXPECT_EQ(actual.globalLabels, expected.globalLabels);
    EXPECT_EQ(actual.localLabels, expected.localLabels);
    EXPECT_EQ(actual.firstLabel, expected.firstLabel);
    EXPECT_EQ(actual.globalEqus, expected.globalEqus);
    EXPECT_EQ(actual.localEqus, expected.localEqus);
    EXPECT_EQ(actual.firstEqu, expected.firstEqu);
    EXPECT_EQ(actual.functions, expected.functions);
    EXPECT_EQ(actual.firstFunction, expected.firstFunction);
    EXPECT_EQ(actual.moduleSections, expected.moduleSections);
}

// Overlapping sections, a zero-size section, items in free areas, an item at MaxAddress, an
// unresolved function and a module section without an owning section, in one program.
class SweepTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        auto* a = tree.section("A", 0x100, 0x200);
        auto* b = tree.section("B", 0x200, 0x200);
        auto* c = tree.section("C", 0x800, 0x100);
        tree.section("zero_size", 0x900, 0);
        tree.section("D", 0xFFFF00, 0xFF);

        auto* m1 = tree.module("m1");
        tree.module("no_module_sections_here");
        tree.part(m1, a, 0x100, 0x80);
        tree.part(m1, nullptr, 0x110, 0x10);
        tree.part(m1, b, 0x300, 0x10);
        tree.part(m1, c, 0x800, 0x100);

        tree.global("l1", 0x50);
        tree.global("longest_label", 0x150);
        tree.local(m1, "l3", 0x250);
        tree.global("l4", 0x350);
        tree.local(m1, "l5", 0x850);
        tree.global("l6", 0xFFFFFF); // at MaxAddress: counted nowhere
        tree.global("e1", 0x120, IE_KIND_EQU);
        tree.local(m1, "equ_22", 0x120, IE_KIND_EQU);

        auto* main = tree.source(m1, "main.c");
        tree.function(main, "f1", "_f1", 0x110);
        tree.function(main, "f2", "_f2", 0, 0x10, false); // unresolved: in the table, counted nowhere
        tree.function(main, "function4", "_f4", 0x260);
        tree.function(main, "f3", "_f3", 0x850);
        auto* other = tree.source(m1, "a_very_long_source_name.c");
        tree.function(other, "an_unadmitted_function_name", nullptr, 0x120); // no link name, not Grus

        tessaly::DetectCpuFamily(model, &tree.root);
    }

    MemoryTree tree { "Carina" };
    MapModel model;
};

TEST_F(SweepTest, SectionTableContents)
{
    ASSERT_EQ(symbolKeys(model.LabelTable),
        (std::vector<std::string> {
            "G l1@50", "G longest_label@150", "L l3@250", "G l4@350", "L l5@850", "G l6@ffffff" }));
    std::vector<std::string> functions;
    for (const auto& entry : model.FunctionTable)
        functions.push_back(entry.function->name);
    ASSERT_EQ(functions, (std::vector<std::string> { "f2", "f1", "function4", "f3" }));

    const std::vector<Contents> expected = {
        { "free 0+100", 1, 0, 0, 0, 0, -1, 0, -1, 0 },
        { "A 100+200", 1, 1, 1, 1, 1, 0, 2, 1, 1 }, // l3 and function4 lie in the overlap with B
        { "B 200+200", 1, 0, 3, 0, 0, -1, 0, -1, 1 },
        { "free 400+400", 0, 0, -1, 0, 0, -1, 0, -1, 0 },
        { "C 800+100", 0, 1, 4, 0, 0, -1, 1, 3, 1 },
        { "zero_size 900+0", 0, 0, -1, 0, 0, -1, 0, -1, 0 },
        { "free 900+fff600", 0, 0, -1, 0, 0, -1, 0, -1, 0 },
        { "D ffff00+ff", 0, 0, -1, 0, 0, -1, 0, -1, 0 },
    };
    ASSERT_EQ(model.SectionTable.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const SectionEntry& entry = model.SectionTable[i];
        expectContents(contentsOf(model, entry, entry.moduleSectionCount), expected[i]);
        EXPECT_EQ(entry.startLine, -1);
        EXPECT_EQ(entry.lineCount, 0);
    }
}

TEST_F(SweepTest, ModuleSectionTableContents)
{
    const std::vector<Contents> expected = {
        { "free 0+100", 1, 0, 0, 0, 0, -1, 0, -1, -1 }, { "0:A 100+80", 1, 0, 1, 1, 1, 0, 1, 1, -1 },
        { "0:- 110+10", 0, 0, -1, 0, 0, -1, 0, -1, -1 }, // overlapped entirely by the part before it
        { "free 180+180", 0, 1, 2, 0, 0, -1, 1, 2, -1 }, { "0:B 300+10", 0, 0, -1, 0, 0, -1, 0, -1, -1 },
        { "free 310+4f0", 1, 0, 3, 0, 0, -1, 0, -1, -1 }, { "0:C 800+100", 0, 1, 4, 0, 0, -1, 1, 3, -1 },
        { "free 900+fff6ff", 0, 0, -1, 0, 0, -1, 0, -1, -1 }, // ends below MaxAddress, so l6 is not in it
    };
    ASSERT_EQ(model.ModuleSectionTable.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i)
        expectContents(contentsOf(model, model.ModuleSectionTable[i], -1), expected[i]);
    EXPECT_EQ(model.ModuleSectionTable[2].rangeFlag, tessaly::RangeOverlap);
}

TEST_F(SweepTest, NameWidthsAndCounts)
{
    // module, section, function file, function, equ, label
    const std::array<int32_t, 6> expected = { 2, 9, 6, 9, 6, 13 };
    EXPECT_EQ(model.NameWidths, expected);
    EXPECT_EQ(model.SectionCount, 5);
    EXPECT_EQ(model.SectionFreeAreaCount, 3);
    EXPECT_EQ(model.ModuleSectionCount, 4);
    EXPECT_EQ(model.ModuleSectionFreeAreaCount, 4);
    EXPECT_EQ(model.FunctionCount, 4);
}

TEST_F(SweepTest, EveryItemIsCountedAtMostOnceAndRunsAreContiguous)
{
    int32_t labels = 0;
    for (const SectionEntry& entry : model.SectionTable) {
        const int32_t count = entry.globalLabelCount + entry.localLabelCount;
        if (count) {
            EXPECT_EQ(entry.firstLabel, labels) << key(model, entry);
        }
        labels += count;
    }
    EXPECT_EQ(labels, model.LabelCount - 1); // all but the one at MaxAddress
}

TEST(Sweeps, ItemAtTheTopOfA32BitSpaceIsCountedNowhere)
{
    MemoryTree tree("Grus");
    tree.section("TOP", 0xFFFFFF00, 0xFF);
    tree.global("top", 0xFFFFFFFF);
    tree.global("inside", 0xFFFFFFFE);
    MapModel model;
    tessaly::DetectCpuFamily(model, &tree.root);
    ASSERT_EQ(sectionKeys(model), (std::vector<std::string> { "free 0+ffffff00", "TOP ffffff00+ff" }));
    EXPECT_EQ(model.SectionTable[1].globalLabelCount, 1);
    EXPECT_EQ(model.SectionTable[1].firstLabel, 0);
    EXPECT_EQ(model.SectionTable[0].globalLabelCount, 0);
}

// ---- functions --------------------------------------------------------------------------------

TEST(FunctionTable, GrusAdmitsEveryDefinitionOtherFamiliesNeedBothNames)
{
    struct Case {
        const char* cpu;
        std::vector<std::string> expected; // function names in table order
        int32_t countedInSection;
        std::array<int32_t, 6> widths;
    };
    const Case cases[] = {
        { "Grus", { "nolink", "(null)", "", "named" }, 2, { 1, 4, 9, 6, 0, 0 } },
        { "Carina", { "named" }, 1, { 1, 4, 6, 5, 0, 0 } },
        { "Fornax", { "named" }, 1, { 1, 4, 6, 5, 0, 0 } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.cpu);
        MemoryTree tree(c.cpu);
        auto* code = tree.section("CODE", 0, 0x1000);
        auto* module = tree.module("m");
        tree.part(module, code, 0, 0x1000);
        auto* lib = tree.source(module, "library.c");
        tree.function(lib, "nolink", nullptr, 0, 0x10, false);
        tree.function(lib, nullptr, "_anonymous", 0x100); // resolved, but no name: counted nowhere
        tree.function(lib, "", "", 0x200); // empty name is still a name
        tree.function(tree.source(module, "main.c"), "named", "_named", 0x300);
        MapModel model;
        tessaly::DetectCpuFamily(model, &tree.root);
        std::vector<std::string> names;
        for (const auto& entry : model.FunctionTable)
            names.push_back(entry.function->name ? entry.function->name : "(null)");
        EXPECT_EQ(names, c.expected);
        EXPECT_EQ(model.FunctionCount, static_cast<int32_t>(c.expected.size()));
        ASSERT_EQ(model.SectionTable.size(), 2u);
        EXPECT_EQ(model.SectionTable[0].functionCount, c.countedInSection);
        EXPECT_EQ(model.NameWidths, c.widths);
    }
}

TEST(BuildMapTables, ARebuildReplacesEveryTable)
{
    MemoryTree first;
    auto* module = first.module("m");
    auto* code = first.section("CODE", 0x100, 0x100);
    first.part(module, code, 0x100, 0x100);
    first.global("a", 0x100);
    first.global("k", 1, IE_KIND_EQU);
    first.function(first.source(module, "a.c"), "f", "_f", 0x100);

    MemoryTree second;
    second.section("DATA", 0x0, 0xFFFFFF);

    MapModel model;
    tessaly::DetectCpuFamily(model, &first.root);
    ASSERT_EQ(model.SectionTable.size(), 3u);
    model.SectionTable[1].startLine = 7; // as the right pane would
    tessaly::DetectCpuFamily(model, &second.root);
    EXPECT_EQ(sectionKeys(model), (std::vector<std::string> { "DATA 0+ffffff" }));
    EXPECT_EQ(model.SectionTable[0].startLine, -1);
    EXPECT_EQ(model.SectionFreeAreaCount, 0);
    EXPECT_TRUE(model.SectionFreeAreas.empty());
    EXPECT_TRUE(model.ModuleSectionTable.empty());
    EXPECT_TRUE(model.ModuleSectionFreeAreas.empty());
    EXPECT_EQ(model.ModuleSectionCount, 0);
    EXPECT_TRUE(model.LabelTable.empty());
    EXPECT_TRUE(model.EquTable.empty());
    EXPECT_TRUE(model.FunctionTable.empty());
    EXPECT_EQ(model.GlobalLabelCount + model.LocalLabelCount + model.GlobalEquCount + model.LocalEquCount, 0);
}

} // namespace
