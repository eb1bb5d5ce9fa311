// build_compare_test.cpp: matching two writer-built builds, the changes per map-table entry, and the texts.
#include "build_compare.hpp"
#include "build_snapshot.hpp"
#include "map_model.hpp"
#include "orvik.h"
#include "support/ieee695_writer.hpp"
#include "support/temp_file.hpp"

#include <cstdio>
#include <gtest/gtest.h>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace {

using namespace tessaly;
using tessaly::testing::AsmModuleBlock;
using tessaly::testing::GlobalSymbol;
using tessaly::testing::Ieee695Writer;
using tessaly::testing::LocalSymbol;
using tessaly::testing::ModuleSection;
using tessaly::testing::Section;
using tessaly::testing::TempFile;
namespace dstr = tessaly::testing::dstr;

// ---- writer-built programs --------------------------------------------------------------------

struct AsmModule {
    std::string name {};
    std::vector<ModuleSection> parts {};
    std::vector<LocalSymbol> locals {};
};

struct Function {
    std::string source {};
    std::string name {};
    std::string linkName {}; // a global label, whose value is the function's address
    uint32_t size = 0x10;
};

struct Program {
    std::vector<Section> sections {};
    std::vector<GlobalSymbol> globals {};
    std::vector<AsmModule> modules {};
    std::vector<Function> functions {}; // all in the C module "cmod"
};

std::vector<uint8_t> write(const Program& program)
{
    Ieee695Writer w;
    w.header("Carina", "prog");
    for (const Section& section : program.sections)
        w.section(section);
    for (const GlobalSymbol& symbol : program.globals)
        w.globalSymbol(symbol);
    auto& env = w.environment();
    uint32_t number = 1;
    for (const Function& f : program.functions) {
        env.debugString(dstr::M(f.source, "cmod"));
        env.debugString(dstr::Fs(f.name, f.linkName, 'G', number++));
        env.debugString(dstr::Fe(f.name, "", 0, 0, f.size));
    }
    for (const AsmModule& module : program.modules) {
        AsmModuleBlock block = w.asmModule(module.name);
        for (const ModuleSection& part : module.parts)
            block.moduleSection(part);
        for (const LocalSymbol& local : module.locals)
            block.localSymbol(local);
        block.end();
    }
    return w.bytes();
}

BuildSnapshot snapshotOf(const Program& program)
{
    const TempFile file(write(program));
    BuildSnapshot snapshot;
    EXPECT_EQ(ReadBuildSnapshot(file.pathString(), IE_READ_VIEWER, snapshot), 0);
    return snapshot;
}

std::string hex(uint32_t value)
{
    char text[16];
    std::snprintf(text, sizeof text, "%x", static_cast<unsigned>(value));
    return text;
}

// "section DATA 2000+10 -> 2000+18 resized": each item's identity, both sides and its change, in
// the comparison's order.
std::vector<std::string> describe(const BuildSnapshot& before, const BuildSnapshot& after, const BuildComparison& c)
{
    std::vector<std::string> lines;
    auto at = [](int32_t i) { return static_cast<std::size_t>(i); };
    // The side that names an item (either does for a matched one), and its index there.
    auto named = [&](const MatchedItem& item) -> const BuildSnapshot& { return item.newIndex >= 0 ? after : before; };
    auto namedAt = [&](const MatchedItem& item) { return at(item.newIndex >= 0 ? item.newIndex : item.oldIndex); };
    auto add = [&](const std::string& identity, const MatchedItem& item, auto numbers) {
        auto side = [&](const BuildSnapshot& b, int32_t i) { return i < 0 ? std::string("-") : numbers(b, at(i)); };
        lines.push_back(identity + " " + side(before, item.oldIndex) + " -> " + side(after, item.newIndex) + " "
            + ChangeName(item.change));
    };
    auto range = [](uint32_t start, uint32_t size) { return hex(start) + "+" + hex(size); };

    for (const MatchedItem& item : c.sections)
        add("section " + std::string(named(item).sections[namedAt(item)].name), item,
            [&](const BuildSnapshot& b, std::size_t i) { return range(b.sections[i].start, b.sections[i].size); });
    for (const MatchedItem& item : c.moduleSections) {
        const auto& part = named(item).moduleSections[namedAt(item)];
        add("part " + std::string(named(item).modules[at(part.module)]) + "/"
                + std::string(part.hasSection ? part.section : "?"),
            item, [&](const BuildSnapshot& b, std::size_t i) {
                return range(b.moduleSections[i].start, b.moduleSections[i].size);
            });
    }
    for (const bool labels : { true, false }) {
        for (const MatchedItem& item : labels ? c.labels : c.equs) {
            const BuildSnapshot& b = named(item);
            const auto& symbol = (labels ? b.labels : b.equs)[namedAt(item)];
            const std::string module = symbol.module < 0 ? "" : std::string(b.modules[at(symbol.module)]) + "/";
            add(std::string(labels ? "label " : "equ ") + module + std::string(symbol.name), item,
                [&](const BuildSnapshot& s, std::size_t i) { return hex((labels ? s.labels : s.equs)[i].value); });
        }
    }
    for (const MatchedItem& item : c.functions) {
        const auto& f = named(item).functions[namedAt(item)];
        add("function " + std::string(named(item).sources[at(f.source)]) + "/" + std::string(f.name), item,
            [&](const BuildSnapshot& b, std::size_t i) { return range(b.functions[i].address, b.functions[i].size); });
    }
    return lines;
}

// A program with one of everything: two sections, a module section, a global label and an .EQU,
// a local label and a C function.
Program basic()
{
    Program p;
    p.sections = { { .index = 1, .type = "ASP", .name = "CODE", .start = 0x1000, .size = 0x100 },
        { .index = 2, .type = "ASD", .name = "DATA", .start = 0x2000, .size = 0x80 } };
    p.globals = { { .name = "main", .value = 0x1000 }, { .name = "LIMIT", .value = 0x40, .kind = 17 } };
    p.modules = { { .name = "amod",
        .parts = { { .sectionIndex = 1, .start = 0x1000, .size = 0x40 } },
        .locals = { { .name = "loop", .value = 0x1020 } } } };
    p.functions = { { .source = "main.c", .name = "start", .linkName = "main", .size = 0x20 } };
    return p;
}

struct MatchCase {
    const char* what;
    Program before;
    Program after;
    std::vector<std::string> expected;
};

TEST(CompareBuilds, MatchesByIdentityAndTheNthRule)
{
    const Program base = basic();
    auto changed = [&](auto edit) {
        Program p = basic();
        edit(p);
        return p;
    };
    const std::vector<std::string> allSame = { "section CODE 1000+100 -> 1000+100 same",
        "section DATA 2000+80 -> 2000+80 same", "part amod/CODE 1000+40 -> 1000+40 same",
        "label main 1000 -> 1000 same", "label amod/loop 1020 -> 1020 same", "equ LIMIT 40 -> 40 same",
        "function main.c/start 1000+20 -> 1000+20 same" };

    const MatchCase cases[] = {
        { "identical builds", base, base, allSame },
        { "a section of each change kind", base, changed([](Program& p) {
             p.sections[0].size = 0x180; // resized
             p.sections[1].start = 0x2100; // moved
             p.sections.push_back({ .index = 3, .type = "ASD", .name = "BSS", .start = 0x3000, .size = 0x10 });
         }),
            { "section CODE 1000+100 -> 1000+180 resized", "section DATA 2000+80 -> 2100+80 moved",
                "section BSS - -> 3000+10 added", "part amod/CODE 1000+40 -> 1000+40 same",
                "label main 1000 -> 1000 same", "label amod/loop 1020 -> 1020 same", "equ LIMIT 40 -> 40 same",
                "function main.c/start 1000+20 -> 1000+20 same" } },
        { "a removed section, a part that grows and moves", base, changed([](Program& p) {
             p.sections.pop_back();
             p.modules[0].parts[0] = { .sectionIndex = 1, .start = 0x1010, .size = 0x48 };
         }),
            { "section CODE 1000+100 -> 1000+100 same", "section DATA 2000+80 -> - removed",
                "part amod/CODE 1000+40 -> 1010+48 resized", "label main 1000 -> 1000 same",
                "label amod/loop 1020 -> 1020 same", "equ LIMIT 40 -> 40 same",
                "function main.c/start 1000+20 -> 1000+20 same" } },
        { "sections of one name pair up in list order", changed([](Program& p) {
             p.sections.push_back({ .index = 3, .type = "ASD", .name = "DATA", .start = 0x3000, .size = 0x20 });
         }),
            changed([](Program& p) {
                p.sections[1].size = 0x88;
                p.sections.push_back({ .index = 3, .type = "ASD", .name = "DATA", .start = 0x3000, .size = 0x20 });
                p.sections.push_back({ .index = 4, .type = "ASD", .name = "DATA", .start = 0x4000, .size = 0x8 });
            }),
            { "section CODE 1000+100 -> 1000+100 same", "section DATA 2000+80 -> 2000+88 resized",
                "section DATA 3000+20 -> 3000+20 same", "section DATA - -> 4000+8 added",
                "part amod/CODE 1000+40 -> 1000+40 same", "label main 1000 -> 1000 same",
                "label amod/loop 1020 -> 1020 same", "equ LIMIT 40 -> 40 same",
                "function main.c/start 1000+20 -> 1000+20 same" } },
        { "the n-th rule holds past a reordering", changed([](Program& p) {
             p.sections.push_back({ .index = 3, .type = "ASD", .name = "DATA", .start = 0x3000, .size = 0x20 });
         }),
            changed([](Program& p) {
                // CODE is now listed last, so the lists part at once; the two DATA keep their places
                // among themselves.
                std::swap(p.sections[0], p.sections[1]);
                p.sections.push_back({ .index = 3, .type = "ASD", .name = "DATA", .start = 0x3100, .size = 0x20 });
                std::swap(p.sections[1], p.sections[2]);
            }),
            { "section DATA 2000+80 -> 2000+80 same", "section DATA 3000+20 -> 3100+20 moved",
                "section CODE 1000+100 -> 1000+100 same", "part amod/CODE 1000+40 -> 1000+40 same",
                "label main 1000 -> 1000 same", "label amod/loop 1020 -> 1020 same", "equ LIMIT 40 -> 40 same",
                "function main.c/start 1000+20 -> 1000+20 same" } },
        { "module sections by module, owning section and n-th", changed([](Program& p) {
             p.modules[0].parts.push_back({ .sectionIndex = 1, .start = 0x1040, .size = 0x20 });
             p.modules[0].parts.push_back({ .sectionIndex = 2, .start = 0x2000, .size = 0x10 });
             p.modules.push_back({ .name = "bmod", .parts = { { .sectionIndex = 1, .start = 0x1060, .size = 0x20 } } });
         }),
            changed([](Program& p) {
                p.modules[0].parts.push_back({ .sectionIndex = 2, .start = 0x2000, .size = 0x10 });
                p.modules[0].parts.push_back({ .sectionIndex = 1, .start = 0x1050, .size = 0x20 });
                p.modules.push_back(
                    { .name = "bmod", .parts = { { .sectionIndex = 1, .start = 0x1070, .size = 0x20 } } });
            }),
            { "section CODE 1000+100 -> 1000+100 same", "section DATA 2000+80 -> 2000+80 same",
                "part amod/CODE 1000+40 -> 1000+40 same", "part amod/DATA 2000+10 -> 2000+10 same",
                "part amod/CODE 1040+20 -> 1050+20 moved", "part bmod/CODE 1060+20 -> 1070+20 moved",
                "label main 1000 -> 1000 same", "label amod/loop 1020 -> 1020 same", "equ LIMIT 40 -> 40 same",
                "function main.c/start 1000+20 -> 1000+20 same" } },
        { "locals of two modules with one name, and a global of that name", changed([](Program& p) {
             p.modules.push_back({ .name = "bmod", .locals = { { .name = "loop", .value = 0x1030 } } });
             p.globals.push_back({ .name = "loop", .value = 0x1040 });
         }),
            changed([](Program& p) {
                p.modules.push_back({ .name = "bmod", .locals = { { .name = "loop", .value = 0x1034 } } });
                p.globals.push_back({ .name = "loop", .value = 0x1040 });
            }),
            { "section CODE 1000+100 -> 1000+100 same", "section DATA 2000+80 -> 2000+80 same",
                "part amod/CODE 1000+40 -> 1000+40 same", "label main 1000 -> 1000 same",
                "label loop 1040 -> 1040 same", "label amod/loop 1020 -> 1020 same",
                "label bmod/loop 1030 -> 1034 moved", "equ LIMIT 40 -> 40 same",
                "function main.c/start 1000+20 -> 1000+20 same" } },
        { "symbols of one name pair up in list order",
            changed([](Program& p) { p.modules[0].locals.push_back({ .name = "loop", .value = 0x1028 }); }),
            changed([](Program& p) {
                p.modules[0].locals[0].value = 0x1022;
                p.modules[0].locals.push_back({ .name = "loop", .value = 0x1028 });
                p.modules[0].locals.push_back({ .name = "loop", .value = 0x1030 });
            }),
            { "section CODE 1000+100 -> 1000+100 same", "section DATA 2000+80 -> 2000+80 same",
                "part amod/CODE 1000+40 -> 1000+40 same", "label main 1000 -> 1000 same",
                "label amod/loop 1020 -> 1022 moved", "label amod/loop 1028 -> 1028 same",
                "label amod/loop - -> 1030 added", "equ LIMIT 40 -> 40 same",
                "function main.c/start 1000+20 -> 1000+20 same" } },
        { "labels and constants: moved, added, removed, and a label that became a constant", changed([](Program& p) {
             p.globals.push_back({ .name = "gone", .value = 0x1050 });
             p.globals.push_back({ .name = "SIZE", .value = 0x1060 });
         }),
            changed([](Program& p) {
                p.globals[0].value = 0x1008;
                p.globals[1].value = 0x44;
                p.globals.push_back({ .name = "SIZE", .value = 0x1060, .kind = 17 });
                p.globals.push_back({ .name = "fresh", .value = 0x1070 });
            }),
            { "section CODE 1000+100 -> 1000+100 same", "section DATA 2000+80 -> 2000+80 same",
                "part amod/CODE 1000+40 -> 1000+40 same", "label main 1000 -> 1008 moved",
                "label fresh - -> 1070 added", "label amod/loop 1020 -> 1020 same", "label gone 1050 -> - removed",
                "label SIZE 1060 -> - removed", "equ LIMIT 40 -> 44 moved", "equ SIZE - -> 1060 added",
                "function main.c/start 1000+20 -> 1008+20 moved" } },
        { "functions by source and name", changed([](Program& p) {
             p.globals.push_back({ .name = "_init_b", .value = 0x1080 });
             p.functions.push_back({ .source = "main.c", .name = "init", .linkName = "main", .size = 0x8 });
             p.functions.push_back({ .source = "b.c", .name = "init", .linkName = "_init_b", .size = 0x10 });
         }),
            changed([](Program& p) {
                p.globals.push_back({ .name = "_init_b", .value = 0x1090 });
                p.functions.push_back({ .source = "main.c", .name = "init", .linkName = "main", .size = 0xC });
                p.functions.push_back({ .source = "b.c", .name = "init", .linkName = "_init_b", .size = 0x10 });
            }),
            { "section CODE 1000+100 -> 1000+100 same", "section DATA 2000+80 -> 2000+80 same",
                "part amod/CODE 1000+40 -> 1000+40 same", "label main 1000 -> 1000 same",
                "label _init_b 1080 -> 1090 moved", "label amod/loop 1020 -> 1020 same", "equ LIMIT 40 -> 40 same",
                "function main.c/start 1000+20 -> 1000+20 same", "function main.c/init 1000+8 -> 1000+c resized",
                "function b.c/init 1080+10 -> 1090+10 moved" } },
    };
    for (const MatchCase& c : cases) {
        SCOPED_TRACE(c.what);
        const BuildSnapshot before = snapshotOf(c.before);
        const BuildSnapshot after = snapshotOf(c.after);
        EXPECT_EQ(describe(before, after, CompareBuilds(before, after)), c.expected);
    }
}

TEST(CompareBuilds, TotalsPerKindTag)
{
    Program before;
    before.sections = { { .index = 1, .type = "ASP", .name = "CODE", .start = 0x1000, .size = 0x100 },
        { .index = 2, .type = "ASD", .name = "DATA", .start = 0x2000, .size = 0x80 },
        { .index = 3, .type = "ASD", .name = "BSS", .start = 0x3000, .size = 0x20 },
        { .index = 4, .type = "ASR", .name = "CONST", .start = 0x4000, .size = 0x10 },
        { .index = 5, .type = "CP", .name = "OVERLAY", .start = 0x5000, .size = 0x8 } };
    Program after = before;
    after.sections[0].size = 0x140;
    after.sections[2].size = 0x10;
    after.sections.pop_back();
    const BuildComparison c = CompareBuilds(snapshotOf(before), snapshotOf(after));

    struct Row {
        SectionKind kind;
        const char* name;
        uint64_t oldSize, newSize;
    };
    const Row rows[] = { { SectionKind::Code, "code", 0x100, 0x140 }, { SectionKind::Data, "data", 0xA0, 0x90 },
        { SectionKind::Rom, "rom", 0x10, 0x10 }, { SectionKind::Other, "other", 0x8, 0 } };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_STREQ(SectionKindName(row.kind), row.name);
        EXPECT_EQ(c.totals[static_cast<std::size_t>(row.kind)].oldSize, row.oldSize);
        EXPECT_EQ(c.totals[static_cast<std::size_t>(row.kind)].newSize, row.newSize);
    }
    EXPECT_EQ(TotalsStatusText(c.totals), "code +0x40 (+25.0%)  data −0x10 (−10.0%)  other −0x8 (−100.0%)");
}

TEST(CompareBuilds, Texts)
{
    const std::pair<int64_t, const char*> differences[]
        = { { 0x1a2, "+0x1a2" }, { -0x10, "−0x10" }, { 0, "0" }, { 0x1'0000'0000, "+0x100000000" } };
    for (const auto& [difference, text] : differences)
        EXPECT_EQ(SizeDifferenceText(difference), text);
    EXPECT_EQ(SizeDifferenceText(-0x10, "-"), "-0x10");

    const std::tuple<uint64_t, uint64_t, const char*> percents[] = { { 1000, 1031, "+3.1%" }, { 1000, 995, "-0.5%" },
        { 0, 0, "0.0%" }, { 0, 16, "new" }, { 16, 0, "-100.0%" }, { 100000, 100001, "0.0%" } };
    for (const auto& [oldSize, newSize, text] : percents)
        EXPECT_EQ(PercentText(oldSize, newSize, "-"), text);

    EXPECT_EQ(MovedFromText(0x1234, 6), "moved from 001234");
    EXPECT_EQ(MovedFromText(0x1234, 8), "moved from 00001234");
    EXPECT_EQ(TotalsStatusText({}), "");
}

// ---- the changes per map-table entry ---------------------------------------------------------

TEST(CompareWithTables, EveryEntryFindsItsChangeAndTheBaselineItem)
{
    Program before = basic();
    before.globals.push_back({ .name = "gone", .value = 0x1050 });
    before.sections.push_back({ .index = 3, .type = "ASD", .name = "OLD", .start = 0x3000, .size = 0x10 });
    Program after = basic();
    after.sections[0].size = 0x180;
    after.globals[0].value = 0x1008;
    after.globals.push_back({ .name = "fresh", .value = 0x1010 });
    after.modules[0].parts[0].size = 0x50;

    const BuildSnapshot baseline = snapshotOf(before);
    const TempFile shownFile(write(after));
    ASSERT_EQ(IE_readIEEE(shownFile.pathString().c_str(), IE_READ_VIEWER), 0);
    MapModel model;
    DetectCpuFamily(model);
    const TableChanges changes = CompareWithTables(baseline, model, IE_getRoot());

    ASSERT_EQ(changes.sections.size(), model.SectionTable.size());
    std::vector<std::string> sections;
    for (std::size_t i = 0; i < model.SectionTable.size(); ++i) {
        const EntryChange& change = changes.sections[i];
        const IeSection& record = *model.SectionTable[i].record;
        if (model.isFreeArea(model.SectionTable[i])) {
            EXPECT_EQ(change.change, Change::Same);
            EXPECT_EQ(change.oldIndex, -1);
            continue;
        }
        std::string line = std::string(record.name) + " " + ChangeName(change.change);
        if (change.oldIndex >= 0)
            line += " was " + hex(baseline.sections[static_cast<std::size_t>(change.oldIndex)].size);
        sections.push_back(line);
    }
    EXPECT_EQ(sections, (std::vector<std::string> { "CODE resized was 100", "DATA same was 80" }));
    ASSERT_EQ(changes.removedSections.size(), 1u);
    EXPECT_EQ(baseline.sections[static_cast<std::size_t>(changes.removedSections[0])].name, "OLD");

    std::vector<std::string> labels;
    ASSERT_EQ(changes.labels.size(), model.LabelTable.size());
    for (std::size_t i = 0; i < model.LabelTable.size(); ++i) {
        const EntryChange& change = changes.labels[i];
        std::string line = std::string(model.LabelTable[i].name) + " " + ChangeName(change.change);
        if (change.oldIndex >= 0)
            line += " " + MovedFromText(baseline.labels[static_cast<std::size_t>(change.oldIndex)].value, 6);
        labels.push_back(line);
    }
    EXPECT_EQ(labels,
        (std::vector<std::string> { "main moved moved from 001000", "fresh added", "loop same moved from 001020" }));
    ASSERT_EQ(changes.removedLabels.size(), 1u);
    EXPECT_EQ(baseline.labels[static_cast<std::size_t>(changes.removedLabels[0])].name, "gone");

    std::vector<Change> parts;
    for (std::size_t i = 0; i < model.ModuleSectionTable.size(); ++i)
        if (!model.isFreeArea(model.ModuleSectionTable[i]))
            parts.push_back(changes.moduleSections[i].change);
    EXPECT_EQ(parts, std::vector<Change> { Change::Resized });
    ASSERT_EQ(changes.equs.size(), 1u);
    EXPECT_EQ(changes.equs[0].change, Change::Same);
    ASSERT_EQ(changes.functions.size(), 1u);
    EXPECT_EQ(changes.functions[0].change, Change::Moved);
    EXPECT_EQ(changes.totals[static_cast<std::size_t>(SectionKind::Code)].newSize, 0x180u);
    EXPECT_EQ(changes.totals[static_cast<std::size_t>(SectionKind::Data)].oldSize, 0x90u);
}

TEST(ReadBuildSnapshot, AFailedReadLeavesNoSnapshotAndNoTree)
{
    const TempFile good(write(basic()));
    BuildSnapshot snapshot;
    ASSERT_EQ(ReadBuildSnapshot(good.pathString(), IE_READ_VIEWER, snapshot), 0);
    EXPECT_EQ(snapshot.sections.size(), 2u);
    EXPECT_EQ(IE_getRoot()->sections, nullptr) << "the tree is freed once copied";

    std::vector<uint8_t> cut = write(basic());
    cut.resize(cut.size() - 3);
    const TempFile bad(cut);
    EXPECT_EQ(ReadBuildSnapshot(bad.pathString(), IE_READ_VIEWER, snapshot), 2);
    EXPECT_TRUE(snapshot.sections.empty());
    EXPECT_TRUE(snapshot.labels.empty());
    EXPECT_EQ(IE_getRoot()->sections, nullptr);
}

} // namespace
