// ieee695_decoder_test.cpp: each part and record kind of IEEE-695, read back field by field.
#include "read_helpers.hpp"

#include <gtest/gtest.h>
#include <string>

namespace tessaly::testing {
namespace {

TEST(Ieee695Header, NamesInEveryLengthFormAndTheFixedRootTexts)
{
    for (NameForm form : { NameForm::Short, NameForm::Byte, NameForm::Word }) {
        SCOPED_TRACE(static_cast<int>(form));
        Ieee695Writer w;
        w.header({ .cpu = "Carina", .module = "firmware", .cpuForm = form, .moduleForm = form });
        ASSERT_EQ(readFile(w), 0);
        IeRoot* root = IE_getRoot();
        EXPECT_STREQ(root->cpuName, "Carina");
        EXPECT_STREQ(root->moduleName, "firmware");
        EXPECT_STREQ(root->revision, "Rev.N");
        EXPECT_STREQ(root->version, "V.2.10.00");
        EXPECT_EQ(root->modules, nullptr);
        EXPECT_EQ(root->sections, nullptr);
        EXPECT_EQ(root->symbols, nullptr);
    }
}

TEST(Ieee695Header, HeaderNamesLongerThanTheirBufferAreCutAndReadingStaysInStep)
{
    Ieee695Writer w;
    w.header(std::string(300, 'c'), std::string(256, 'm'));
    w.section({ .index = 1, .type = "ASP", .name = "CODE", .start = 0x10, .size = 0x4 });
    ASSERT_EQ(readFile(w), 0);
    EXPECT_EQ(std::string(IE_getRoot()->cpuName), std::string(255, 'c'));
    EXPECT_EQ(std::string(IE_getRoot()->moduleName), std::string(255, 'm'));
    ASSERT_NE(IE_getRoot()->sections, nullptr);
    EXPECT_STREQ(IE_getRoot()->sections->name, "CODE");
}

TEST(Ieee695Header, AswIndexesAboveSevenAreIgnoredStrictlyAndTolerantly)
{
    Ieee695Writer w;
    w.header("Alcor", "p");
    w.extraAsw(8, 3);
    w.extraAsw(200, 0);
    w.section({ .index = 1, .type = "CP", .name = "A", .start = 1, .size = 1 });
    for (const int mask : { IE_READ_VIEWER, IE_READ_VIEWER | IE_READ_TOLERANT }) {
        SCOPED_TRACE(mask);
        ASSERT_EQ(readFile(w, mask), 0);
        ASSERT_NE(IE_getRoot()->sections, nullptr);
        EXPECT_STREQ(IE_getRoot()->sections->name, "A");
    }
}

TEST(Ieee695Sections, TypeLettersAreePackedOnlyForKnownCombinations)
{
    const struct {
        const char* letters;
        int32_t type;
    } rows[] = {
        { "ASD", IE_SECTION_ASD },
        { "ASP", IE_SECTION_ASP },
        { "ASR", IE_SECTION_ASR },
        { "CD", IE_SECTION_CD },
        { "CP", IE_SECTION_CP },
        { "CR", IE_SECTION_CR },
        { "AS", 0 },
        { "ASDX", 0 },
        { "", 0 },
        { "X", 0 },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.letters);
        Ieee695Writer w;
        w.header("Alcor", "p");
        w.section({ .index = 3, .type = row.letters, .name = "DATA", .start = 0x200, .size = 0x80, .alignment = 2 });
        ASSERT_EQ(readFile(w), 0);
        IeSection* section = IE_getRoot()->sections;
        ASSERT_NE(section, nullptr);
        EXPECT_EQ(section->type, row.type);
        EXPECT_EQ(section->index, 3);
        EXPECT_STREQ(section->name, "DATA");
        EXPECT_EQ(section->alignment, 2);
        EXPECT_EQ(section->start, 0x200u);
        EXPECT_EQ(section->size, 0x80u);
        EXPECT_EQ(section->owner, IE_getRoot());
        EXPECT_EQ(section->next, nullptr);
    }
}

TEST(Ieee695Sections, SectionsKeepFileOrderAndMissingFieldsStayZero)
{
    Ieee695Writer w;
    w.header("Alcor", "p");
    w.section({ .index = 2, .type = "ASP", .name = "CODE", .start = 0xFFFFFFFF, .size = 0x10000 });
    w.section({ .index = 1, .type = "ASD", .name = std::string(127, 'n') });
    ASSERT_EQ(readFile(w), 0);
    const auto sections = listOf(IE_getRoot()->sections);
    ASSERT_EQ(sections.size(), 2u);
    EXPECT_EQ(sections[0]->start, 0xFFFFFFFFu);
    EXPECT_EQ(sections[0]->size, 0x10000u);
    EXPECT_EQ(std::string(sections[1]->name), std::string(127, 'n'));
    EXPECT_EQ(sections[1]->start, 0u);
    EXPECT_EQ(sections[1]->size, 0u);
    EXPECT_EQ(sections[1]->alignment, 0);
}

TEST(Ieee695Externals, GlobalSymbolsWithKindAttributeAndValue)
{
    Ieee695Writer w;
    w.header("Alcor", "p");
    w.globalSymbol({ .name = "_main", .value = 0x1234, .kind = IE_KIND_LABEL, .attribute = 8, .extra = 1 });
    w.globalSymbol({ .name = "BAUD", .value = 0xFFFFFFFF, .kind = IE_KIND_EQU, .attribute = 9, .extra = 0 });
    ASSERT_EQ(readFile(w), 0);
    const auto symbols = listOf(IE_getRoot()->symbols);
    ASSERT_EQ(symbols.size(), 2u);
    EXPECT_STREQ(symbols[0]->name, "_main");
    EXPECT_EQ(symbols[0]->kind, IE_KIND_LABEL);
    EXPECT_EQ(symbols[0]->attribute, 8);
    EXPECT_EQ(symbols[0]->extra, 1);
    EXPECT_EQ(symbols[0]->value, 0x1234u);
    EXPECT_EQ(symbols[0]->owner, IE_getRoot());
    EXPECT_STREQ(symbols[1]->name, "BAUD");
    EXPECT_EQ(symbols[1]->kind, IE_KIND_EQU);
    EXPECT_EQ(symbols[1]->value, 0xFFFFFFFFu);
}

TEST(Ieee695Mask, PartsAreReadOnlyWhenTheirBitIsSet)
{
    Ieee695Writer w;
    w.header("Alcor", "p");
    w.section({ .index = 1, .type = "ASP", .name = "CODE", .start = 0, .size = 1 });
    w.globalSymbol({ .name = "g", .value = 1 });
    w.environment().debugString(dstr::M("a.c", "mod"));
    w.asmModule("mod").moduleSection({ .sectionIndex = 1, .start = 0, .size = 1 }).end();
    const struct {
        int mask;
        bool sections, symbols, module, moduleSections;
    } rows[] = {
        { 0, false, false, false, false },
        { IE_READ_EXTERNALS, false, true, false, false },
        { IE_READ_SECTIONS, true, false, false, false },
        { IE_READ_ASM_BLOCKS, false, false, true, true }, // assembler blocks make their own module
        { IE_READ_ASM_BLOCKS_ALT, false, false, true, true },
        { IE_READ_ENVIRONMENT, false, false, true, false }, // environment only: the M string's module
        { IE_READ_ENVIRONMENT | IE_READ_ASM_BLOCKS, false, false, true, true },
        { IE_READ_VIEWER, true, true, true, true },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.mask);
        ASSERT_EQ(readFile(w, row.mask), 0);
        IeRoot* root = IE_getRoot();
        EXPECT_EQ(root->sections != nullptr, row.sections);
        EXPECT_EQ(root->symbols != nullptr, row.symbols);
        EXPECT_EQ(root->modules != nullptr, row.module);
        EXPECT_EQ(root->modules && root->modules->sections, row.moduleSections);
    }
}

TEST(Ieee695Environment, MStringsSelectOrCreateModulesAndSources)
{
    Ieee695Writer w;
    w.header("Alcor", "p");
    auto& env = w.environment();
    env.attribute50({ 1, 2, 3, 4, 5, 6 });
    env.attribute51("tool");
    env.attribute52(7);
    env.attribute53(8);
    env.attribute54({ 1, 2, 3, 4 });
    env.revision();
    env.debugString(dstr::M("a.c", "one"));
    env.debugString(dstr::M("b.c", "one"));
    env.debugString(dstr::M("a.c", "one")); // selects the existing source
    env.debugString(dstr::M("a.c", "two"));
    env.debugString(dstr::M("c.c", "One")); // module names compare exactly
    ASSERT_EQ(readFile(w, IE_READ_ALL), 0);
    const auto modules = listOf(IE_getRoot()->modules);
    ASSERT_EQ(modules.size(), 3u);
    EXPECT_STREQ(modules[0]->name, "one");
    EXPECT_STREQ(modules[1]->name, "two");
    EXPECT_STREQ(modules[2]->name, "One");
    const auto sources = listOf(modules[0]->sources);
    ASSERT_EQ(sources.size(), 2u);
    EXPECT_STREQ(sources[0]->name, "a.c");
    EXPECT_STREQ(sources[1]->name, "b.c");
    EXPECT_EQ(sources[1]->owner, modules[0]);
}

TEST(Ieee695Environment, RevisionStringAloneCreatesNothing)
{
    Ieee695Writer w;
    w.header("Alcor", "p");
    w.environment().revision();
    ASSERT_EQ(readFile(w, IE_READ_ALL), 0);
    EXPECT_EQ(IE_getRoot()->modules, nullptr);
}

// A file whose environment holds one of every debug string, after a module and source.
void everyDebugString(Ieee695Writer& w)
{
    w.header("Alcor", "p");
    auto& env = w.environment();
    env.debugString(dstr::M("main.c", "prog"));
    env.debugString(dstr::U('d', "DATA", "data", 'x'));
    env.debugString(dstr::Fs("main", "_main", 'G', 42));
    env.debugString(dstr::Fd("main", "", 0, { 1, 2, 3, 4 }));
    env.debugString(dstr::Fe("main", "", 0, 9, 0x30));
    env.debugString(dstr::Sp(6));
    env.debugString(dstr::Sc("r1", "reg", 'c', 1, 2));
    env.debugString(dstr::Ss("tmp", "stk", 's', 3, 4));
    env.debugString(dstr::Fp("puts", "stdio", 'G', { 5, 6, 7, 8 }));
    env.debugString(dstr::Fr("strlen", "string", 'G', { 9, 10, 11, 12 }));
    env.debugString(dstr::Ft("main", 'G', 0x101));
    env.debugString(dstr::Vd("count", "_count", 'G', { 1, 2, 3, 4, 5 }));
    env.debugString(dstr::Vd("state", "_state$1", 'L', { 0, 0, 0, 0, 0 }));
    env.debugString(dstr::Ve("errno", 'G', { 6, 7, 8, 9, 10 }));
    env.debugString(dstr::Vr("buffer", 'L', { 11, 12, 13, 14, 15 }));
    env.debugString(dstr::Vt("state", 'L', 0x102));
}

TEST(Ieee695Environment, EveryDebugStringCreatesItsRecord)
{
    Ieee695Writer w;
    everyDebugString(w);
    ASSERT_EQ(readFile(w, IE_READ_ALL), 0);
    IeModule* module = IE_getRoot()->modules;
    ASSERT_NE(module, nullptr);
    IeSource* source = module->sources;
    ASSERT_NE(source, nullptr);

    IeSecUse* use = source->sectionUses;
    ASSERT_NE(use, nullptr);
    EXPECT_EQ(use->subKind, 'd');
    EXPECT_STREQ(use->sectionName, "DATA");
    EXPECT_STREQ(use->name2, "data");
    EXPECT_EQ(use->letter, 'x');
    EXPECT_EQ(use->owner, source);

    IeFnDef* function = source->functions;
    ASSERT_NE(function, nullptr);
    EXPECT_EQ(function->number, 42);
    EXPECT_STREQ(function->name, "main");
    EXPECT_STREQ(function->linkName, "_main");
    EXPECT_EQ(function->scope, 'G');
    EXPECT_EQ(function->info1, 1);
    EXPECT_EQ(function->info4, 4);
    EXPECT_EQ(function->endInfo, 9);
    EXPECT_EQ(function->size, 0x30u);
    EXPECT_EQ(function->owner, source);

    const auto stack = listOf(function->stackInfo);
    ASSERT_EQ(stack.size(), 3u);
    EXPECT_EQ(stack[0]->subKind, 'p');
    EXPECT_EQ(stack[0]->payload.value->value, 6);
    EXPECT_EQ(stack[1]->subKind, 'c');
    EXPECT_STREQ(stack[1]->payload.item->name, "r1");
    EXPECT_STREQ(stack[1]->payload.item->name2, "reg");
    EXPECT_EQ(stack[1]->payload.item->letter, 'c');
    EXPECT_EQ(stack[1]->payload.item->info2, 2);
    EXPECT_EQ(stack[2]->payload.item->info1, 3);
    EXPECT_EQ(stack[2]->owner, function);

    ASSERT_NE(source->fnRefs, nullptr);
    EXPECT_STREQ(source->fnRefs->name, "puts");
    EXPECT_STREQ(source->fnRefs->name2, "stdio");
    EXPECT_EQ(source->fnRefs->info4, 8);
    EXPECT_EQ(source->fnRefs->owner.source, source);
    ASSERT_NE(function->fnRefs, nullptr);
    EXPECT_STREQ(function->fnRefs->name, "strlen");
    EXPECT_EQ(function->fnRefs->info1, 9);
    EXPECT_EQ(function->fnRefs->owner.function, function);

    const auto typeRefs = listOf(module->typeRefs);
    ASSERT_EQ(typeRefs.size(), 2u);
    EXPECT_EQ(typeRefs[0]->kind, 'F');
    EXPECT_STREQ(typeRefs[0]->name, "main");
    EXPECT_EQ(typeRefs[0]->typeIndex, 0x101);
    EXPECT_EQ(typeRefs[0]->function, nullptr);
    EXPECT_EQ(function->typeRef, typeRefs[0]) << "the current function takes a type reference of its own name";
    EXPECT_EQ(typeRefs[1]->kind, 'V');
    EXPECT_EQ(typeRefs[1]->letter, 'L');
    EXPECT_STREQ(typeRefs[1]->function, "main");
    EXPECT_EQ(typeRefs[1]->owner, module);

    const auto variables = listOf(source->variables);
    ASSERT_EQ(variables.size(), 2u);
    EXPECT_STREQ(variables[0]->linkName, "_count");
    EXPECT_EQ(variables[0]->scope, 'G');
    EXPECT_EQ(variables[0]->info5, 5);
    EXPECT_EQ(variables[0]->function, nullptr);
    EXPECT_EQ(variables[1]->scope, 'L');
    EXPECT_STREQ(variables[1]->function, "main");

    ASSERT_NE(source->vaRefs, nullptr);
    EXPECT_STREQ(source->vaRefs->name, "errno");
    EXPECT_EQ(source->vaRefs->info5, 10);
    ASSERT_NE(function->vaRefs, nullptr);
    EXPECT_STREQ(function->vaRefs->name, "buffer");
    EXPECT_EQ(function->vaRefs->letter, 'L');
    EXPECT_EQ(function->vaRefs->owner.function, function);
}

TEST(Ieee695Environment, EachDebugStringNeedsItsOwnMaskBit)
{
    const struct {
        int bit;
        const char* what;
    } rows[] = {
        { IE_READ_SECTION_USES, "U" },
        { IE_READ_STACK_INFO, "S" },
        { IE_READ_FUNCTIONS, "Fs" },
        { IE_READ_SOURCE_FN_REFS, "Fp" },
        { IE_READ_FUNCTION_FN_REFS, "Fr" },
        { IE_READ_TYPE_REFS, "Ft" },
        { IE_READ_VARIABLES, "Vd" },
        { IE_READ_SOURCE_VA_REFS, "Ve" },
        { IE_READ_FUNCTION_VA_REFS, "Vr" },
    };
    Ieee695Writer w;
    everyDebugString(w);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        // Fs keeps a function current for the strings that need one.
        const int mask = IE_READ_ENVIRONMENT | IE_READ_FUNCTIONS | row.bit;
        ASSERT_EQ(readFile(w, mask), 0);
        IeModule* module = IE_getRoot()->modules;
        ASSERT_NE(module, nullptr);
        IeSource* source = module->sources;
        IeFnDef* function = source->functions;
        ASSERT_NE(function, nullptr);
        const std::string what = row.what;
        EXPECT_EQ(source->sectionUses != nullptr, what == "U");
        EXPECT_EQ(function->stackInfo != nullptr, what == "S");
        EXPECT_EQ(source->fnRefs != nullptr, what == "Fp");
        EXPECT_EQ(function->fnRefs != nullptr, what == "Fr");
        EXPECT_EQ(module->typeRefs != nullptr, what == "Ft");
        EXPECT_EQ(source->variables != nullptr, what == "Vd");
        EXPECT_EQ(source->vaRefs != nullptr, what == "Ve");
        EXPECT_EQ(function->vaRefs != nullptr, what == "Vr");
    }
    // Without the function bit no function is made at all.
    ASSERT_EQ(readFile(w, IE_READ_ENVIRONMENT), 0);
    EXPECT_EQ(IE_getRoot()->modules->sources->functions, nullptr);
}

TEST(Ieee695Environment, AStringNumberWithAnInvalidPrefixLeavesItsFieldUnset)
{
    Ieee695Writer w;
    w.header("Alcor", "p");
    auto& env = w.environment();
    env.debugString(dstr::M("m.c", "m"));
    env.debugString(dstr::Fs("f", "_f", 'G', 1));
    Bytes fd;
    fd.text("Fd").name("f").name("").byte(0).number(7).byte(0x80).byte(0x85).number(9);
    env.debugString(fd);
    // A string cut short leaves its remaining fields zero.
    Bytes fe;
    fe.text("Fe").name("f").name("").byte(0).number(3);
    env.debugString(fe);
    ASSERT_EQ(readFile(w), 0);
    IeFnDef* function = IE_getRoot()->modules->sources->functions;
    EXPECT_EQ(function->info1, 7);
    EXPECT_EQ(function->info2, 0);
    EXPECT_EQ(function->info3, 0);
    EXPECT_EQ(function->info4, 9);
    EXPECT_EQ(function->endInfo, 3);
    EXPECT_EQ(function->size, 0u);
}

TEST(Ieee695Debug, AssemblerBlocksMakeModuleSectionsAndLocalSymbols)
{
    Ieee695Writer w;
    w.header("Alcor", "p");
    w.section({ .index = 1, .type = "ASP", .name = "CODE", .start = 0x100, .size = 0x100 });
    w.section({ .index = 2, .type = "ASD", .name = "DATA", .start = 0x400, .size = 0x40 });
    w.asmModule("crt0", { .skippedName = "crt0.s" })
        .moduleSection({ .sectionIndex = 1, .start = 0x100, .size = 0x20, .kind = 3 })
        .moduleSection({ .sectionIndex = 9, .start = 0x500, .size = 0x4, .kind = 2, .after90 = 0x12 })
        .localSymbol(
            { .name = "loop", .value = 0x104, .kind = IE_KIND_LABEL, .attribute = 19, .extra1 = 1, .extra2 = 2 })
        .localSymbol({ .name = "SIZE", .value = 0x40, .kind = IE_KIND_EQU })
        .end();
    ASSERT_EQ(readFile(w), 0);
    IeModule* module = IE_getRoot()->modules;
    ASSERT_NE(module, nullptr);
    EXPECT_STREQ(module->name, "crt0");
    const auto parts = listOf(module->sections);
    ASSERT_EQ(parts.size(), 2u);
    EXPECT_EQ(parts[0]->kind, 3);
    EXPECT_EQ(parts[0]->sectionIndex, 1);
    EXPECT_EQ(parts[0]->start, 0x100u);
    EXPECT_EQ(parts[0]->size, 0x20u);
    EXPECT_EQ(parts[0]->section, IE_getRoot()->sections);
    EXPECT_EQ(parts[0]->owner, module);
    EXPECT_EQ(parts[1]->section, nullptr) << "no section has index 9";
    EXPECT_EQ(parts[1]->size, 0x4u);
    const auto locals = listOf(module->symbols);
    ASSERT_EQ(locals.size(), 2u);
    EXPECT_STREQ(locals[0]->name, "loop");
    EXPECT_EQ(locals[0]->kind, IE_KIND_LABEL);
    EXPECT_EQ(locals[0]->attribute, 19);
    EXPECT_EQ(locals[0]->extra1, 1);
    EXPECT_EQ(locals[0]->extra2, 2);
    EXPECT_EQ(locals[0]->value, 0x104u);
    EXPECT_EQ(locals[1]->kind, IE_KIND_EQU);
    EXPECT_EQ(locals[1]->owner, module);
}

TEST(Ieee695Debug, BlocksFindModulesByTheFoldedNameAfterTheLastSlash)
{
    Ieee695Writer w;
    w.header("Alcor", "p");
    auto& env = w.environment();
    env.debugString(dstr::M("a.c", "lib/Uart"));
    env.debugString(dstr::M("b.c", "uart"));
    env.debugString(dstr::M("c.c", "timer"));
    auto& debug = w.debug();
    debug.asmModule("UART").localSymbol({ .name = "first" }).end(); // lib/Uart
    debug.asmModule("uart").localSymbol({ .name = "second" }).end(); // the next match: uart
    debug.asmModule("uart").localSymbol({ .name = "third" }).end(); // none left: appended
    debug.asmModule("timer").localSymbol({ .name = "fourth" }).end();
    ASSERT_EQ(readFile(w), 0);
    const auto modules = listOf(IE_getRoot()->modules);
    ASSERT_EQ(modules.size(), 4u);
    EXPECT_STREQ(modules[0]->symbols->name, "first");
    EXPECT_STREQ(modules[1]->symbols->name, "second");
    EXPECT_STREQ(modules[2]->symbols->name, "fourth") << "a miss leaves the cursor where it was";
    EXPECT_STREQ(modules[3]->name, "uart");
    EXPECT_STREQ(modules[3]->symbols->name, "third");
}

TEST(Ieee695Debug, SkippedBlockTypesCreateNothingAndReadingGoesOn)
{
    Ieee695Writer w;
    w.header("Alcor", "p");
    auto& debug = w.debug();
    debug.bb2("two");
    debug.bb3("three")
        .nn("x")
        .atn({ 1, 2, 3 })
        .nested(4, "four", { 1, 2, 3 })
        .as(0xCC, { 1 })
        .end()
        .nested(6, "six", { 4, 5, 6 })
        .end()
        .end();
    debug.bb5("five").nested(5, "inner").nested(5, "deeper").end().end().end();
    debug.typeBlock("types").nn("t").type(ty::T(0x100, 3)).end(); // skipped under IE_READ_VIEWER
    debug.asmModule("after").localSymbol({ .name = "seen" }).end();
    ASSERT_EQ(readFile(w), 0);
    const auto modules = listOf(IE_getRoot()->modules);
    ASSERT_EQ(modules.size(), 1u);
    EXPECT_STREQ(modules[0]->name, "after");
    EXPECT_STREQ(modules[0]->symbols->name, "seen");
}

TEST(Ieee695Types, EveryTypeLetterBuildsItsPayloadAndResolvesNumbers)
{
    Ieee695Writer w;
    w.header("Alcor", "p");
    w.environment().debugString(dstr::M("t.c", "types"));
    w.debug()
        .typeBlock("types")
        .nn("color")
        .type(ty::N(0x100, { { "red", 0 }, { "green", 1 } }))
        .type(ty::P(0x101, 0x104))
        .nn("point")
        .type(ty::S(0x102, 4, { { "x", 0x100, 0 }, { "y", 3, 2 } }))
        .type(ty::U(0x103, 2, { { "raw", 0x999, 0 } }))
        .nn("word")
        .type(ty::T(0x104, 0x102))
        .type(ty::Z(0x105, 0x102, 9))
        .type(ty::g(0x106, 1, 3, 0x104))
        .type(ty::v(0x107))
        .type(ty::x(0x108, 0x101, { 0x102, 5 }))
        .type(ty::x(0x109, 3, {}, 0xFFFFFFFFu))
        .type(ty::O(0x10A, 0x10A))
        .end();
    ASSERT_EQ(readFile(w, IE_READ_ALL), 0);
    IeModule* module = IE_getRoot()->modules;
    const auto types = listOf(module->typeDefs);
    ASSERT_EQ(types.size(), 11u);
    auto byIndex = [&](int index) {
        for (IeTypeDef* type : types)
            if (type->index == index)
                return type;
        return static_cast<IeTypeDef*>(nullptr);
    };
    IeTypeDef* color = byIndex(0x100);
    EXPECT_EQ(color->letter, 'N');
    EXPECT_STREQ(color->payload.enumeration->name, "color");
    const auto items = listOf(color->payload.enumeration->items);
    ASSERT_EQ(items.size(), 2u);
    EXPECT_STREQ(items[1]->name, "green");
    EXPECT_EQ(items[1]->value, 1);

    EXPECT_EQ(byIndex(0x101)->payload.pointer->target, 0x104);
    EXPECT_EQ(byIndex(0x101)->payload.pointer->resolvedTarget, byIndex(0x104)) << "resolved after the whole block";

    IeRecordType* point = byIndex(0x102)->payload.record;
    EXPECT_STREQ(point->name, "point");
    EXPECT_EQ(point->size, 4);
    const auto members = listOf(point->members);
    ASSERT_EQ(members.size(), 2u);
    EXPECT_EQ(members[0]->resolvedType, color);
    EXPECT_EQ(members[1]->type, 3);
    EXPECT_EQ(members[1]->offset, 2);
    EXPECT_EQ(members[1]->resolvedType, nullptr) << "built-in numbers have no record";
    EXPECT_EQ(byIndex(0x103)->letter, 'U');
    EXPECT_STREQ(byIndex(0x103)->payload.record->name, "point") << "the last NN name is kept";
    EXPECT_EQ(byIndex(0x103)->payload.record->members->resolvedType, nullptr) << "no type 0x999";

    EXPECT_STREQ(byIndex(0x104)->payload.alias->name, "word");
    EXPECT_EQ(byIndex(0x104)->payload.alias->resolvedType, byIndex(0x102));
    EXPECT_EQ(byIndex(0x105)->payload.array->bound, 9);
    EXPECT_EQ(byIndex(0x105)->payload.array->resolvedElement, byIndex(0x102));
    IeBitFieldType* bits = byIndex(0x106)->payload.bitField;
    EXPECT_EQ(bits->info1, 1);
    EXPECT_EQ(bits->info2, 3);
    EXPECT_EQ(bits->resolvedBase, byIndex(0x104));
    EXPECT_EQ(byIndex(0x107)->payload.any, nullptr);

    IeFunctionType* fn = byIndex(0x108)->payload.function;
    EXPECT_EQ(fn->returnType, 0x101);
    EXPECT_EQ(fn->paramCount, 2u);
    EXPECT_EQ(fn->resolvedReturn, byIndex(0x101));
    const auto params = listOf(fn->params);
    ASSERT_EQ(params.size(), 2u);
    EXPECT_EQ(params[0]->resolvedType, byIndex(0x102));
    EXPECT_EQ(params[1]->resolvedType, nullptr);
    EXPECT_EQ(byIndex(0x109)->payload.function->paramCount, 0xFFFFFFFFu);
    EXPECT_EQ(byIndex(0x109)->payload.function->params, nullptr);
    EXPECT_EQ(byIndex(0x10A)->payload.pointer->resolvedTarget, byIndex(0x10A));
}

TEST(Ieee695Types, LaterBlocksResolveNumbersThatEarlierBlocksLacked)
{
    Ieee695Writer w;
    w.header("Alcor", "p");
    // The first block finds no module and appends one without moving the cursor, so the
    // second block finds that same module.
    w.debug().typeBlock("types").type(ty::P(0x100, 0x200)).end();
    w.debug().typeBlock("types").type(ty::T(0x200, 1)).type(ty::T(0x200, 2)).end();
    ASSERT_EQ(readFile(w, IE_READ_ALL), 0);
    const auto types = listOf(IE_getRoot()->modules->typeDefs);
    ASSERT_EQ(types.size(), 3u);
    EXPECT_EQ(types[0]->payload.pointer->resolvedTarget, types[1]) << "the first definition of the number";
}

TEST(Ieee695Types, TypeReferencesLinkToDefinitionsAndDefinitionsToReferences)
{
    Ieee695Writer w;
    w.header("Alcor", "p");
    auto& env = w.environment();
    env.debugString(dstr::M("t.c", "types"));
    env.debugString(dstr::Vd("g", "_g", 'G', { 0, 0, 0, 0, 0 }));
    env.debugString(dstr::Fs("f", "_f", 'G', 1));
    env.debugString(dstr::Vd("s", "_s", 'L', { 0, 0, 0, 0, 0 }));
    env.debugString(dstr::Vr("s", 'L', { 0, 0, 0, 0, 0 }));
    env.debugString(dstr::Fr("h", "", 'G', { 0, 0, 0, 0 }));
    env.debugString(dstr::Fp("h", "", 'G', { 0, 0, 0, 0 }));
    env.debugString(dstr::Ve("g", 'G', { 0, 0, 0, 0, 0 }));
    env.debugString(dstr::Vt("g", 'G', 0x100));
    env.debugString(dstr::Vt("s", 'G', 0x100)); // not local: the local variable skips it
    env.debugString(dstr::Vt("s", 'L', 0x101));
    env.debugString(dstr::Ft("h", 'G', 0x102));
    w.debug().typeBlock("types").type(ty::T(0x100, 1)).type(ty::T(0x101, 2)).type(ty::T(0x100, 3)).end();
    ASSERT_EQ(readFile(w, IE_READ_ALL), 0);
    IeModule* module = IE_getRoot()->modules;
    const auto refs = listOf(module->typeRefs);
    ASSERT_EQ(refs.size(), 4u);
    IeSource* source = module->sources;
    const auto variables = listOf(source->variables);
    ASSERT_EQ(variables.size(), 2u);
    EXPECT_EQ(variables[0]->typeRef, refs[0]);
    EXPECT_EQ(variables[1]->typeRef, refs[2]);
    IeFnDef* function = source->functions;
    EXPECT_EQ(function->typeRef, nullptr) << "no type reference is named f";
    EXPECT_EQ(function->vaRefs->typeRef, refs[2]) << "a local reference needs the function to agree";
    EXPECT_EQ(function->fnRefs->typeRef, refs[3]);
    EXPECT_EQ(source->fnRefs->typeRef, refs[3]);
    EXPECT_EQ(source->vaRefs->typeRef, refs[0]);

    const auto types = listOf(module->typeDefs);
    EXPECT_EQ(refs[0]->typeDef, types[2]) << "each definition of the number takes the references in turn";
    EXPECT_EQ(refs[2]->typeDef, types[1]);
    EXPECT_EQ(refs[3]->typeDef, nullptr);
}

TEST(Ieee695Passes, SectionUsesAndAddressesAreResolved)
{
    Ieee695Writer w;
    w.header("Alcor", "p");
    w.section({ .index = 1, .type = "ASP", .name = "CODE", .start = 0x100, .size = 0x100 });
    w.section({ .index = 2, .type = "ASD", .name = "DATA", .start = 0x400, .size = 0x40 });
    w.section({ .index = 3, .type = "ASD", .name = "DATA", .start = 0x500, .size = 0x40 });
    w.globalSymbol({ .name = "_main", .value = 0x120 });
    w.globalSymbol({ .name = "_count", .value = 0x400 });
    w.globalSymbol({ .name = "_main", .value = 0x999 }); // only the first of a name counts
    auto& env = w.environment();
    env.debugString(dstr::M("main.c", "prog"));
    env.debugString(dstr::U('d', "DATA", "", 'x'));
    env.debugString(dstr::U('d', "BSS", "", 'x'));
    env.debugString(dstr::Fs("main", "_main", 'G', 1));
    env.debugString(dstr::Fs("helper", "_helper", 'S', 2));
    env.debugString(dstr::Fs("missing", "_missing", 'G', 3));
    env.debugString(dstr::Vd("count", "_count", 'G', { 0, 0, 0, 0, 0 }));
    env.debugString(dstr::Vd("state", "_state", 'L', { 0, 0, 0, 0, 0 }));
    env.debugString(dstr::Vd("odd", "_count", 'X', { 0, 0, 0, 0, 0 }));
    w.asmModule("prog")
        .moduleSection({ .sectionIndex = 1, .start = 0x100, .size = 0x80 })
        .moduleSection({ .sectionIndex = 3, .start = 0x500, .size = 0x10 })
        .moduleSection({ .sectionIndex = 2, .start = 0x400, .size = 0x20 })
        .localSymbol({ .name = "_helper", .value = 0x160 })
        .localSymbol({ .name = "_state", .value = 0x410 })
        .end();
    ASSERT_EQ(readFile(w, IE_READ_ALL), 0);
    IeSource* source = IE_getRoot()->modules->sources;
    const auto uses = listOf(source->sectionUses);
    ASSERT_EQ(uses.size(), 2u);
    EXPECT_EQ(uses[0]->resolved, 1);
    EXPECT_EQ(uses[0]->start, 0x500u) << "the first part in list order named DATA";
    EXPECT_EQ(uses[0]->size, 0x10u);
    EXPECT_EQ(uses[1]->resolved, 0);

    const auto functions = listOf(source->functions);
    ASSERT_EQ(functions.size(), 3u);
    EXPECT_EQ(functions[0]->resolved, 1);
    EXPECT_EQ(functions[0]->address, 0x120u);
    EXPECT_EQ(functions[1]->resolved, 1);
    EXPECT_EQ(functions[1]->address, 0x160u);
    EXPECT_EQ(functions[2]->resolved, 0);
    EXPECT_EQ(functions[2]->address, 0u);
    const auto variables = listOf(source->variables);
    EXPECT_EQ(variables[0]->address, 0x400u);
    EXPECT_EQ(variables[1]->resolved, 1);
    EXPECT_EQ(variables[1]->address, 0x410u);
    EXPECT_EQ(variables[2]->resolved, 0) << "an unknown scope stays unresolved";
}

} // namespace
} // namespace tessaly::testing
