// framed_decoder_test.cpp: the framed-record format's groups: header, sections, symbols, definitions.
#include "framed_read.hpp"

#include <gtest/gtest.h>

namespace tessaly::testing::framed_test {
namespace {

TEST(FramedHeader, NamesAreReadWhateverTheOptionalFields)
{
    const struct {
        uint8_t a, f;
    } rows[] = { { 0, 0 }, { 1, 0 }, { 0, 1 }, { 1, 1 } };
    for (const auto& row : rows) {
        SCOPED_TRACE(::testing::Message() << "A=" << int(row.a) << " F=" << int(row.f));
        FramedWriter w;
        w.start({ .module = "blinky", .cpu = "Cetus-32", .a = row.a, .f = row.f });
        w.end();
        ASSERT_EQ(readFramed(w).code, 0);
        const IeRoot* root = IE_getRoot();
        EXPECT_EQ(str(root->moduleName), "blinky");
        EXPECT_EQ(str(root->cpuName), "Cetus-32");
        EXPECT_EQ(root->modules, nullptr);
        EXPECT_EQ(root->sections, nullptr);
        EXPECT_EQ(root->symbols, nullptr);
    }
}

TEST(FramedModules, KeepFileOrderAndStayApartWithEqualNames)
{
    FramedWriter w = startFile();
    w.module("uart");
    w.module("main");
    w.module("uart");
    w.end();
    ASSERT_EQ(readFramed(w).code, 0);
    const auto modules = listOf(IE_getRoot()->modules);
    ASSERT_EQ(modules.size(), 3u);
    EXPECT_EQ(str(modules[0]->name), "uart");
    EXPECT_EQ(str(modules[1]->name), "main");
    EXPECT_EQ(str(modules[2]->name), "uart");
    EXPECT_EQ(IE_getModMode(1), modules[0]); // the first module is current after a read
}

TEST(FramedSections, RangeGrowsToTheHullOfItsParts)
{
    struct Range {
        uint32_t start, size;
    };
    const struct {
        const char* name;
        Range first, second, expected;
    } rows[] = {
        { "gap between parts", { 0x100, 0x100 }, { 0x400, 0x80 }, { 0x100, 0x380 } },
        { "part of size 0", { 0x100, 0x100 }, { 0x400, 0 }, { 0x100, 0x100 } },
        { "part touching the end", { 0x100, 0x100 }, { 0x200, 0x40 }, { 0x100, 0x140 } },
        { "part starting below", { 0x200, 0x100 }, { 0x180, 0x40 }, { 0x180, 0x180 } },
        { "part covering from below", { 0x200, 0x100 }, { 0x100, 0x400 }, { 0x100, 0x400 } },
        { "part inside", { 0x100, 0x100 }, { 0x120, 0x20 }, { 0x100, 0x100 } },
        { "part overlapping the end", { 0x100, 0x100 }, { 0x1C0, 0x80 }, { 0x100, 0x140 } },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        FramedWriter w = startFile();
        w.module("a");
        w.sectionPart({ .name = "CODE", .start = row.first.start, .size = row.first.size });
        w.module("b");
        w.sectionPart({ .name = "CODE", .start = row.second.start, .size = row.second.size });
        w.end();
        ASSERT_EQ(readFramed(w).code, 0);
        const auto sections = listOf(IE_getRoot()->sections);
        ASSERT_EQ(sections.size(), 1u);
        EXPECT_EQ(sections[0]->start, row.expected.start);
        EXPECT_EQ(sections[0]->size, row.expected.size);
        const IeModSection* part = IE_getRoot()->modules->next->sections;
        ASSERT_NE(part, nullptr);
        EXPECT_EQ(part->start, row.second.start);
        EXPECT_EQ(part->size, row.second.size);
        EXPECT_EQ(part->section, sections[0]);
        EXPECT_EQ(part->sectionIndex, 0);
    }
}

TEST(FramedSections, PartKindComesFromTheFlagBytes)
{
    const struct {
        uint8_t f1, f2;
        int32_t kind;
    } rows[] = {
        { 0x00, 0x00, IE_SECTION_ASP },
        { 0x0F, 0x30, IE_SECTION_ASP },
        { 0x10, 0x10, IE_SECTION_ASD },
        { 0x10, 0x20, IE_SECTION_ASD },
        { 0x10, 0x00, IE_SECTION_ASR },
        { 0x1F, 0xCF, IE_SECTION_ASR },
        { 0x20, 0x00, IE_SECTION_ASD },
        { 0xF0, 0x00, IE_SECTION_ASD },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(::testing::Message() << std::hex << "F1=" << int(row.f1) << " F2=" << int(row.f2));
        FramedWriter w = startFile();
        w.module("m");
        w.sectionPart({ .name = "S", .start = 0, .size = 4, .flags = { row.f1, row.f2 } });
        w.end();
        ASSERT_EQ(readFramed(w).code, 0);
        EXPECT_EQ(IE_getRoot()->modules->sections->kind, row.kind);
        EXPECT_EQ(IE_getRoot()->sections->type, row.kind);
    }
}

TEST(FramedSections, NewSectionsTakeThePartsFieldsAndTheirPosition)
{
    FramedWriter w = startFile();
    w.module("m");
    w.sectionPart({ .name = "CODE", .start = 0x1000, .size = 0x200, .alignment = 2, .flags = part::program });
    w.sectionPart({ .name = "DATA", .start = 0x8000, .size = 0x40, .alignment = 4, .flags = part::data });
    w.module("n");
    w.sectionPart({ .name = "DATA", .start = 0x8040, .size = 0x10, .alignment = 8, .flags = part::data });
    w.sectionPart({ .name = "ROM", .start = 0x4000, .size = 0x10, .alignment = 1, .flags = part::rom });
    w.end();
    ASSERT_EQ(readFramed(w).code, 0);
    const auto sections = listOf(IE_getRoot()->sections);
    ASSERT_EQ(sections.size(), 3u);
    const struct {
        const char* name;
        int32_t index, type, alignment;
        uint32_t start, size;
    } expected[] = {
        { "CODE", 0, IE_SECTION_ASP, 2, 0x1000, 0x200 },
        { "DATA", 1, IE_SECTION_ASD, 4, 0x8000, 0x50 },
        { "ROM", 2, IE_SECTION_ASR, 1, 0x4000, 0x10 },
    };
    for (std::size_t i = 0; i < sections.size(); ++i) {
        SCOPED_TRACE(expected[i].name);
        EXPECT_EQ(str(sections[i]->name), expected[i].name);
        EXPECT_EQ(sections[i]->index, expected[i].index);
        EXPECT_EQ(sections[i]->type, expected[i].type);
        EXPECT_EQ(sections[i]->alignment, expected[i].alignment);
        EXPECT_EQ(sections[i]->start, expected[i].start);
        EXPECT_EQ(sections[i]->size, expected[i].size);
        EXPECT_EQ(sections[i]->owner, IE_getRoot());
    }
    const auto parts = listOf(IE_getRoot()->modules->next->sections);
    ASSERT_EQ(parts.size(), 2u);
    EXPECT_EQ(parts[0]->sectionIndex, 1);
    EXPECT_EQ(parts[0]->section, sections[1]);
    EXPECT_EQ(parts[1]->sectionIndex, 2);
    EXPECT_EQ(parts[1]->owner, IE_getRoot()->modules->next);
}

TEST(FramedGlobals, KindAndValueFollowTheFlagByte)
{
    FramedWriter w = startFile();
    w.module("m");
    w.sectionPart({ .name = "CODE", .start = 0x1000, .size = 0x100 });
    w.sectionPart({ .name = "DATA", .start = 0x2000, .size = 0x100 });
    const std::vector<GlobalEntry> entries = {
        GlobalEntry::label("reset", 0, 0x10),
        GlobalEntry::label("buffer", 1, 0x20, 0x20),
        GlobalEntry::label("absolute", 0xFFFF, 0x1234),
        GlobalEntry::constant("STACK_SIZE", 0x400),
        { "odd", 0, 0x60 },
        { "odder", 0, 0xE0 },
    };
    // small records: the entries continue in further global symbol records
    w.globals(entries, 24);
    w.end();
    ASSERT_EQ(readFramed(w).code, 0);
    const struct {
        const char* name;
        int32_t kind;
        uint32_t value;
    } expected[] = {
        { "reset", 15, 0x1010 },
        { "buffer", 15, 0x2020 },
        { "absolute", 15, 0x1234 },
        { "STACK_SIZE", 17, 0x400 },
        { "odd", 0, 0 },
        { "odder", 0, 0 },
    };
    const auto symbols = listOf(IE_getRoot()->symbols);
    ASSERT_EQ(symbols.size(), std::size(expected));
    for (std::size_t i = 0; i < symbols.size(); ++i) {
        SCOPED_TRACE(expected[i].name);
        EXPECT_EQ(str(symbols[i]->name), expected[i].name);
        EXPECT_EQ(symbols[i]->kind, expected[i].kind);
        EXPECT_EQ(symbols[i]->value, expected[i].value);
        EXPECT_EQ(symbols[i]->attribute, 8);
        EXPECT_EQ(symbols[i]->extra, 1);
        EXPECT_EQ(symbols[i]->owner, IE_getRoot());
    }
}

TEST(FramedGlobals, PartNumbersCountInTheModuleThatHoldsTheRecord)
{
    FramedWriter w = startFile();
    w.module("a");
    w.sectionPart({ .name = "CODE", .start = 0x1000, .size = 0x100 });
    w.globals({ GlobalEntry::label("inA", 0, 4) });
    w.module("b");
    w.sectionPart({ .name = "CODE", .start = 0x1100, .size = 0x100 });
    w.globals({ GlobalEntry::label("inB", 0, 4) });
    w.end();
    ASSERT_EQ(readFramed(w).code, 0);
    const auto symbols = listOf(IE_getRoot()->symbols);
    ASSERT_EQ(symbols.size(), 2u);
    EXPECT_EQ(symbols[0]->value, 0x1004u);
    EXPECT_EQ(symbols[1]->value, 0x1104u);
}

TEST(FramedGlobals, AreOnlyReadWithMaskBitZero)
{
    FramedWriter w = startFile();
    w.module("m");
    w.sectionPart({ .name = "CODE", .start = 0x1000, .size = 0x100 });
    w.globals({ GlobalEntry::label("reset", 0, 0) });
    w.module("n");
    w.end();
    ASSERT_EQ(readFramed(w, 0x89E).code, 0);
    EXPECT_EQ(IE_getRoot()->symbols, nullptr);
    EXPECT_EQ(listOf(IE_getRoot()->modules).size(), 2u); // the records after it are still read
    ASSERT_EQ(readFramed(w, IE_READ_EXTERNALS).code, 0);
    EXPECT_NE(IE_getRoot()->symbols, nullptr);
}

// A file with every record the reader passes over between the ones it keeps.
TEST(FramedGroups, PassedOverRecordsLeaveTheRestIntact)
{
    FramedWriter w = startFile();
    w.module("m");
    w.sectionPart({ .name = "CODE", .start = 0x1000, .size = 0x100 });
    w.record(framed::kModuleExtra, { 1, 2, 3 });
    w.record(framed::kModuleExtra, {});
    w.globals({ GlobalEntry::label("reset", 0, 0) });
    w.skippedGroup();
    w.skippedGroup();
    w.moduleSelect(0);
    w.record(framed::kModuleSelect & 0x7F, FramedContent {}.byte(0).u16(7)); // passed over
    w.sourceFiles({ "main.c" });
    w.openBlock();
    w.record(framed::kPassedOver, { 5 });
    w.localValue("LIMIT", 99);
    w.closeBlock();
    w.record(framed::kAfterBlocks, { 1 });
    w.record(framed::kAfterBlocks & 0x7F, {});
    w.end();
    ASSERT_EQ(readFramed(w).code, 0);
    const IeModule* module = IE_getRoot()->modules;
    ASSERT_NE(module, nullptr);
    EXPECT_EQ(str(module->sections->section->name), "CODE");
    EXPECT_EQ(str(IE_getRoot()->symbols->name), "reset");
    EXPECT_EQ(str(module->sources->name), "main.c");
    ASSERT_NE(module->symbols, nullptr);
    EXPECT_EQ(module->symbols->value, 99u);
}

TEST(FramedDebug, ModuleSelectChoosesTheNthModuleAndSourcesAccumulate)
{
    FramedWriter w = startFile();
    w.module("a");
    w.module("b");
    w.moduleSelect(1);
    w.sourceFiles({ "b1.c", "b2.c" });
    w.moduleSelect(0);
    w.sourceFiles({ "a1.c" });
    w.moduleSelect(1);
    w.sourceFiles({ "b3.c" });
    w.openBlock();
    w.variable({ .name = "third", .storage = kStatic, .source = 2 });
    w.closeBlock();
    w.end();
    ASSERT_EQ(readFramed(w).code, 0);
    const auto modules = listOf(IE_getRoot()->modules);
    ASSERT_EQ(modules.size(), 2u);
    const auto aSources = listOf(modules[0]->sources);
    const auto bSources = listOf(modules[1]->sources);
    ASSERT_EQ(aSources.size(), 1u);
    ASSERT_EQ(bSources.size(), 3u);
    EXPECT_EQ(str(aSources[0]->name), "a1.c");
    EXPECT_EQ(str(bSources[0]->name), "b1.c");
    EXPECT_EQ(str(bSources[2]->name), "b3.c");
    EXPECT_EQ(bSources[2]->owner, modules[1]);
    ASSERT_NE(bSources[2]->variables, nullptr);
    EXPECT_EQ(str(bSources[2]->variables->name), "third");
}

TEST(FramedDebug, SourceFilesContinueInFollowingRecords)
{
    std::vector<std::string> names;
    for (int i = 0; i < 12; ++i)
        names.push_back("src/dir" + std::to_string(i) + "/file_with_a_long_name.c");
    for (bool trailing : { false, true }) {
        SCOPED_TRACE(trailing ? "with an empty last record" : "entries up to the last record");
        FramedWriter w = startFile();
        w.module("m");
        w.moduleSelect(0);
        const std::size_t at = w.sourceFiles(names, 100, trailing);
        w.openBlock();
        w.closeBlock();
        w.end();
        ASSERT_GT(w.findRecord(framed::kBlock, at) - at, 300u); // several records
        ASSERT_EQ(readFramed(w).code, 0);
        const auto sources = listOf(IE_getRoot()->modules->sources);
        ASSERT_EQ(sources.size(), names.size());
        for (std::size_t i = 0; i < names.size(); ++i)
            EXPECT_EQ(str(sources[i]->name), names[i]);
    }
}

TEST(FramedDebug, LocalSymbolsHaveAttribute19)
{
    FramedWriter w = startFile();
    w.module("m");
    w.sectionPart({ .name = "CODE", .start = 0x1000, .size = 0x100 });
    w.sectionPart({ .name = "DATA", .start = 0x8000, .size = 0x100 });
    w.moduleSelect(0);
    w.sourceFiles({ "m.c" });
    w.openBlock();
    w.localLabel("loop", 0, 0x20);
    w.localLabel("table", 1, 0x8, 4, 3);
    w.localLabel("fixed", 0xFFFF, 0x77);
    w.localValue("COUNT", 0x12345);
    w.localValue("MASK", 0xFF, 31);
    // a label whose marker is not 4: its continuation records go with it
    w.item({ { framed::kDefinition, FramedContent {}.byte(2).u16(0).string("ignored").byte(5) },
        { framed::kPassedOver, { 1 } }, { framed::kPassedOver, { 2 } } });
    w.localLabel("after", 0, 0x30);
    w.closeBlock();
    w.end();
    ASSERT_EQ(readFramed(w).code, 0);
    const struct {
        const char* name;
        int32_t kind;
        uint32_t value;
    } expected[] = {
        { "loop", 15, 0x1020 },
        { "table", 15, 0x8008 },
        { "fixed", 15, 0x77 },
        { "COUNT", 17, 0x12345 },
        { "MASK", 17, 0xFF },
        { "after", 15, 0x1030 },
    };
    const auto symbols = listOf(IE_getRoot()->modules->symbols);
    ASSERT_EQ(symbols.size(), std::size(expected));
    for (std::size_t i = 0; i < symbols.size(); ++i) {
        SCOPED_TRACE(expected[i].name);
        EXPECT_EQ(str(symbols[i]->name), expected[i].name);
        EXPECT_EQ(symbols[i]->kind, expected[i].kind);
        EXPECT_EQ(symbols[i]->value, expected[i].value);
        EXPECT_EQ(symbols[i]->attribute, 19);
        EXPECT_EQ(symbols[i]->extra1, 1);
        EXPECT_EQ(symbols[i]->extra2, 0);
        EXPECT_EQ(symbols[i]->owner, IE_getRoot()->modules);
    }
}

// Two functions in function blocks, with statics at each depth; the local static of the
// second block is defined before its function.
FramedWriter variablesAndFunctions()
{
    FramedWriter w = startFile();
    w.module("m");
    w.sectionPart({ .name = "CODE", .start = 0x1000, .size = 0x100 });
    w.sectionPart({ .name = "DATA", .start = 0x8000, .size = 0x100 });
    w.moduleSelect(0);
    w.sourceFiles({ "main.c", "util.c" });
    w.openBlock();
    w.variable({ .name = "counter",
        .storage = kGlobal,
        .part = 1,
        .offset = 4,
        .linkName = "_counter",
        .source = 0,
        .info1 = 7,
        .info2 = 0x11 });
    w.variable({ .name = "state", .storage = kStatic, .part = 1, .offset = 8, .source = 1, .info1 = 3 });
    w.openFunctionBlock(0x40);
    w.variable({ .name = "calls", .storage = kStatic, .part = 1, .offset = 12, .source = 0 });
    w.function({ .name = "main",
        .storage = kGlobal,
        .part = 0,
        .offset = 0x10,
        .linkName = "_main",
        .source = 0,
        .info1 = 9 });
    w.openBlock(); // a nested scope inside the function
    w.variable({ .name = "inner", .storage = kStatic, .part = 1, .offset = 16, .source = 0 });
    w.closeBlock();
    w.closeBlock();
    w.openFunctionBlock(0x22);
    w.function({ .name = "helper", .storage = kStatic, .part = 0, .offset = 0x50, .source = 1, .k = 7 });
    w.closeBlock();
    w.function({ .name = "outside", .storage = kGlobal, .part = 0, .offset = 0x80, .linkName = "_outside" });
    w.closeBlock();
    w.end();
    return w;
}

TEST(FramedDefinitions, VariablesGetScopeAddressAndTheNextFunctionsName)
{
    ASSERT_EQ(readFramed(variablesAndFunctions()).code, 0);
    const IeModule* module = IE_getRoot()->modules;
    const auto sources = listOf(module->sources);
    ASSERT_EQ(sources.size(), 2u);
    const struct {
        const char* name;
        std::size_t source;
        int32_t scope;
        uint32_t address;
        const char* linkName;
        const char* function;
    } expected[] = {
        { "counter", 0, 'G', 0x8004, "_counter", nullptr },
        { "calls", 0, 'L', 0x800C, nullptr, "main" },
        { "inner", 0, 'L', 0x8010, nullptr, "helper" },
        { "state", 1, 'S', 0x8008, nullptr, nullptr },
    };
    std::vector<IeVaDef*> variables = listOf(sources[0]->variables);
    for (IeVaDef* v : listOf(sources[1]->variables))
        variables.push_back(v);
    ASSERT_EQ(variables.size(), std::size(expected));
    for (std::size_t i = 0; i < variables.size(); ++i) {
        SCOPED_TRACE(expected[i].name);
        const IeVaDef* v = variables[i];
        EXPECT_EQ(str(v->name), expected[i].name);
        EXPECT_EQ(v->owner, sources[expected[i].source]);
        EXPECT_EQ(v->scope, expected[i].scope);
        EXPECT_EQ(v->address, expected[i].address);
        EXPECT_EQ(v->resolved, 1);
        EXPECT_EQ(str(v->linkName), str(expected[i].linkName));
        EXPECT_EQ(str(v->function), str(expected[i].function));
        ASSERT_NE(v->typeRef, nullptr);
        EXPECT_EQ(v->typeRef->kind, 'V');
        EXPECT_EQ(v->typeRef->name, v->name);
        EXPECT_EQ(v->typeRef->letter, expected[i].scope);
        EXPECT_EQ(str(v->typeRef->function), str(expected[i].function));
        EXPECT_EQ(v->typeRef->owner, module);
    }
    EXPECT_EQ(variables[0]->info1, 7);
    EXPECT_EQ(variables[0]->info2, 0x11);
    EXPECT_EQ(variables[3]->info1, 3);
}

TEST(FramedDefinitions, FunctionsTakeTheirSizeFromTheEnclosingFunctionBlock)
{
    ASSERT_EQ(readFramed(variablesAndFunctions()).code, 0);
    const auto sources = listOf(IE_getRoot()->modules->sources);
    const struct {
        const char* name;
        std::size_t source;
        int32_t scope;
        uint32_t address, size;
        const char* linkName;
        int32_t info1;
    } expected[] = {
        { "main", 0, 'G', 0x1010, 0x40, "_main", 9 },
        { "outside", 0, 'G', 0x1080, 0, "_outside", 0 },
        { "helper", 1, 'S', 0x1050, 0x22, nullptr, 0 },
    };
    std::vector<IeFnDef*> functions = listOf(sources[0]->functions);
    for (IeFnDef* f : listOf(sources[1]->functions))
        functions.push_back(f);
    ASSERT_EQ(functions.size(), std::size(expected));
    for (std::size_t i = 0; i < functions.size(); ++i) {
        SCOPED_TRACE(expected[i].name);
        const IeFnDef* f = functions[i];
        EXPECT_EQ(str(f->name), expected[i].name);
        EXPECT_EQ(f->owner, sources[expected[i].source]);
        EXPECT_EQ(f->scope, expected[i].scope);
        EXPECT_EQ(f->address, expected[i].address);
        EXPECT_EQ(f->size, expected[i].size);
        EXPECT_EQ(f->resolved, 1);
        EXPECT_EQ(f->info1, expected[i].info1);
        EXPECT_EQ(str(f->linkName), str(expected[i].linkName));
        ASSERT_NE(f->typeRef, nullptr);
        EXPECT_EQ(f->typeRef->kind, 'F');
        EXPECT_EQ(f->typeRef->letter, expected[i].scope);
        ASSERT_NE(f->typeRef->typeDef, nullptr);
        EXPECT_EQ(f->typeRef->typeDef->letter, 'x');
    }
}

TEST(FramedDefinitions, FunctionsAndVariablesAreFoundByName)
{
    ASSERT_EQ(readFramed(variablesAndFunctions()).code, 0);
    const IeFnDef* helper = IE_getFnDefMode("helper", 1);
    ASSERT_NE(helper, nullptr);
    EXPECT_EQ(helper->address, 0x1050u);
    const IeVaDef* calls = IE_getVaDefMode("calls", 1);
    ASSERT_NE(calls, nullptr);
    EXPECT_EQ(calls->scope, 'L');
    EXPECT_EQ(IE_getFnDefMode("missing", 1), nullptr);
}

TEST(FramedDefinitions, ReferencesGoToTheirSourceFile)
{
    FramedWriter w = startFile();
    w.module("m");
    w.moduleSelect(0);
    w.sourceFiles({ "a.c", "b.c" });
    w.openBlock();
    w.variable({ .name = "extern_var",
        .storage = kReference,
        .source = 1,
        .info1 = 5,
        .info2 = 0xABCD,
        .refName = "_extern_var" });
    w.function({ .name = "extern_fn",
        .storage = kReference,
        .linkName = "_extern_fn",
        .source = 1,
        .info1 = 6,
        .number32 = 0x99 });
    w.closeBlock();
    w.end();
    ASSERT_EQ(readFramed(w).code, 0);
    const IeSource* b = IE_getRoot()->modules->sources->next;
    ASSERT_NE(b, nullptr);
    const IeVaRef* va = b->vaRefs;
    ASSERT_NE(va, nullptr);
    EXPECT_EQ(str(va->name), "extern_var");
    EXPECT_EQ(va->letter, 'G');
    EXPECT_EQ(va->info1, 5);
    EXPECT_EQ(va->info2, 0xABCD);
    EXPECT_EQ(va->owner.source, b);
    ASSERT_NE(va->typeRef, nullptr);
    EXPECT_EQ(va->typeRef->kind, 'V');
    EXPECT_EQ(va->typeRef->letter, 'G');
    const IeFnRef* fn = b->fnRefs;
    ASSERT_NE(fn, nullptr);
    EXPECT_EQ(str(fn->name), "extern_fn");
    EXPECT_EQ(str(fn->name2), "_extern_fn");
    EXPECT_EQ(fn->letter, 'G');
    EXPECT_EQ(fn->info1, 6);
    EXPECT_EQ(fn->owner.source, b);
    ASSERT_NE(fn->typeRef, nullptr);
    EXPECT_EQ(fn->typeRef->kind, 'F');
    EXPECT_EQ(b->variables, nullptr);
    EXPECT_EQ(b->functions, nullptr);
}

TEST(FramedDefinitions, UninterpretedDefinitionsAreSkippedWithTheirDescriptions)
{
    const struct {
        const char* name;
        uint8_t k;
        uint8_t storage; // for k 0 and 6
    } rows[] = {
        { "k 4", 4, 0 },
        { "k 10", 10, 0 },
        { "k 21", 21, 0 },
        { "k 28", 28, 0 },
        { "k 32", 32, 0 },
        { "k 200", 200, 0 },
        { "variable with s 1", 0, 1 },
        { "variable with s 5", 1, 5 },
        { "function with s 0", 6, 0 },
    };
    // a description with nested levels, so that skipping must balance them
    const TypeDesc nested { base::integer(2), { ctor::structure({ { .name = "x", .type = { base::integer(4) } } }) } };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        FramedWriter w = startFile();
        w.module("m");
        w.moduleSelect(0);
        w.sourceFiles({ "a.c" });
        w.openBlock();
        if (row.k == 0 || row.k == 1)
            w.variable({ .name = "v", .storage = row.storage, .desc = nested, .k = row.k });
        else if (row.k == 6)
            w.function({ .name = "f", .storage = row.storage });
        else
            w.otherDefinition(row.k, nested);
        w.localValue("after", 1);
        w.closeBlock();
        w.end();
        ASSERT_EQ(readFramed(w).code, 0);
        const IeModule* module = IE_getRoot()->modules;
        EXPECT_EQ(module->sources->variables, nullptr);
        EXPECT_EQ(module->sources->functions, nullptr);
        EXPECT_EQ(module->typeDefs, nullptr);
        ASSERT_NE(module->symbols, nullptr);
        EXPECT_EQ(str(module->symbols->name), "after");
    }
}

} // namespace
} // namespace tessaly::testing::framed_test
