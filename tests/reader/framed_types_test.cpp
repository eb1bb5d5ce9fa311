// framed_types_test.cpp: type descriptions of the framed-record format, constructor by constructor.
#include "first_definitions.hpp"
#include "framed_read.hpp"
#include "keyed_hash.hpp"

#include <gtest/gtest.h>
#include <vector>

namespace tessaly::testing::framed_test {
namespace {

constexpr int32_t kNumbered = 0x10000;
constexpr int32_t kAnonymous = 0x1000000;

// One module with one source file; definitions go into a single block.
class Types : public ::testing::Test {
protected:
    Types()
    {
        w = startFile();
        w.module("m");
        w.sectionPart({ .name = "DATA", .start = 0x8000, .size = 0x100 });
        w.moduleSelect(0);
        w.sourceFiles({ "t.c" });
        w.openBlock();
    }

    void read()
    {
        w.closeBlock();
        w.end();
        ASSERT_EQ(readFramed(w).code, 0);
        module = IE_getRoot()->modules;
    }

    // The type reference of the n-th variable of the source file.
    const IeTypeRef* variableType(std::size_t n) const
    {
        const auto variables = listOf(module->sources->variables);
        return n < variables.size() ? variables[n]->typeRef : nullptr;
    }

    const IeTypeDef* typeNumbered(int32_t index) const
    {
        for (const IeTypeDef* type : listOf(module->typeDefs))
            if (type->index == index)
                return type;
        return nullptr;
    }

    FramedWriter w;
    const IeModule* module = nullptr;
};

TEST_F(Types, BaseTypesMapToTypeNumbers)
{
    const struct {
        BaseType base;
        int32_t number;
    } rows[] = {
        { { 0, 0, 0, 0 }, 1 },
        { { 2, 1, 0x00, 0 }, 19 },
        { { 2, 1, 0x40, 0 }, 3 },
        { { 2, 1, 0x80, 0 }, 2 },
        { { 2, 1, 0xC0, 0 }, 3 },
        { { 3, 2, 0x00, 0 }, 23 },
        { { 3, 2, 0x40, 0 }, 5 },
        { { 5, 2, 0x80, 0 }, 2 },
        { { 5, 4, 0x00, 0 }, 16 },
        { { 3, 4, 0x40, 0 }, 18 },
        { { 3, 8, 0x00, 0 }, 0 },
        { { 5, 8, 0xC0, 0 }, 3 },
        { { 4, 4, 0x00, 0 }, 10 },
        { { 4, 8, 0x01, 0 }, 11 },
        { { 4, 8, 0xE5, 0 }, 0x25 },
        { { 8, 4, 0, 0 }, 16 },
        { { 9, 4, 0, 0 }, 255 },
        { { 10, 0, 0, 5 }, kNumbered + 5 },
        { { 11, 0, 0, 0xFFFF }, kNumbered + 0xFFFF },
    };
    for (const auto& row : rows)
        w.variable({ .name = "v", .storage = kStatic, .desc = { row.base } });
    read();
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        SCOPED_TRACE(::testing::Message() << "row " << i << ", code " << int(rows[i].base.code));
        const IeTypeRef* ref = variableType(i);
        ASSERT_NE(ref, nullptr);
        EXPECT_EQ(ref->typeIndex, rows[i].number);
        EXPECT_EQ(ref->typeDef, nullptr);
    }
    EXPECT_EQ(module->typeDefs, nullptr);
}

TEST_F(Types, PointersChainToTheBaseOrToVoid)
{
    w.variable({ .name = "p", .storage = kStatic, .desc = { base::integer(2), { ctor::pointer() } } });
    w.variable({ .name = "pp", .storage = kStatic, .desc = { base::none(), { ctor::pointer(), ctor::pointer() } } });
    read();
    const IeTypeRef* p = variableType(0);
    ASSERT_NE(p->typeDef, nullptr);
    EXPECT_EQ(p->typeDef->letter, 'P');
    EXPECT_EQ(p->typeDef->index, kAnonymous + 0); // the counter starts at 0 for every read
    EXPECT_EQ(p->typeIndex, p->typeDef->index);
    EXPECT_EQ(p->typeDef->payload.pointer->target, 23);
    EXPECT_EQ(p->typeDef->payload.pointer->resolvedTarget, nullptr);
    EXPECT_EQ(p->typeDef->owner, module);

    const IeTypeDef* outer = variableType(1)->typeDef;
    ASSERT_NE(outer, nullptr);
    const IeTypeDef* inner = outer->payload.pointer->resolvedTarget;
    ASSERT_NE(inner, nullptr);
    EXPECT_EQ(inner->letter, 'P');
    EXPECT_EQ(outer->payload.pointer->target, inner->index);
    const IeTypeDef* none = inner->payload.pointer->resolvedTarget;
    ASSERT_NE(none, nullptr);
    EXPECT_EQ(none->letter, 'v');
    EXPECT_EQ(none->payload.any, nullptr);
    EXPECT_EQ(inner->payload.pointer->target, none->index);
    EXPECT_EQ(none->index, kAnonymous + 3);
}

TEST_F(Types, VoidWithoutConstructorsIsTypeNumberOne)
{
    w.variable({ .name = "v", .storage = kStatic, .desc = { base::none() } });
    read();
    EXPECT_EQ(variableType(0)->typeIndex, 1);
    EXPECT_EQ(variableType(0)->typeDef, nullptr);
    EXPECT_EQ(module->typeDefs, nullptr);
}

TEST_F(Types, ArrayDimensionsChainOutermostFirst)
{
    // three dimensions, one per record, the second with the optional number
    w.variable({ .name = "grid",
        .storage = kStatic,
        .desc = { base::character(), { ctor::array({ { 3 }, { 4, true }, { 5 } }, 1) } } });
    read();
    const IeTypeDef* dim = variableType(0)->typeDef;
    const int32_t bounds[] = { 3, 4, 5 };
    for (std::size_t i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        ASSERT_NE(dim, nullptr);
        EXPECT_EQ(dim->letter, 'Z');
        EXPECT_EQ(dim->payload.array->bound, bounds[i]);
        if (i < 2)
            EXPECT_EQ(dim->payload.array->elementType, dim->payload.array->resolvedElement->index);
        else
            EXPECT_EQ(dim->payload.array->elementType, 19);
        dim = dim->payload.array->resolvedElement;
    }
    EXPECT_EQ(dim, nullptr);
}

TEST_F(Types, EnumerationsCarryTheDefinitionsNameAndItems)
{
    w.recordTypeDef("colour", 40, 2,
        { base::named(40, 2), { ctor::enumeration({ { "RED", 0 }, { "GREEN", 1, false }, { "BLUE", 0x10000 } }) } });
    read();
    const IeTypeDef* type = typeNumbered(kNumbered + 40);
    ASSERT_NE(type, nullptr);
    EXPECT_EQ(type->letter, 'N');
    EXPECT_EQ(str(type->payload.enumeration->name), "colour");
    const auto items = listOf(type->payload.enumeration->items);
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(str(items[0]->name), "RED");
    EXPECT_EQ(items[0]->value, 0);
    EXPECT_EQ(str(items[1]->name), "GREEN");
    EXPECT_EQ(items[1]->value, 1);
    EXPECT_EQ(str(items[2]->name), "BLUE");
    EXPECT_EQ(items[2]->value, 0x10000);
}

TEST_F(Types, StructuresAndUnionsWithMembers)
{
    const std::vector<StructMember> members = {
        { .name = "id", .number = 1, .offset = 0, .type = { base::integer(2) } },
        { .name = "next", .number = 2, .offset = 4, .type = { base::named(50), { ctor::pointer() } } },
        { .name = "data", .number = 3, .offset = 8, .type = { base::character(), { ctor::array({ { 4 } }) } } },
    };
    w.recordTypeDef("node", 50, 0, { base::named(50, 12), { ctor::structure(members) } });
    w.recordTypeDef("word", 51, 1, { base::named(51, 4), { ctor::structure({ members[0] }) } });
    read();
    const IeTypeDef* node = typeNumbered(kNumbered + 50);
    ASSERT_NE(node, nullptr);
    EXPECT_EQ(node->letter, 'S');
    EXPECT_EQ(str(node->payload.record->name), "node");
    EXPECT_EQ(node->payload.record->size, 12);
    const auto fields = listOf(node->payload.record->members);
    ASSERT_EQ(fields.size(), 3u);
    EXPECT_EQ(str(fields[0]->name), "id");
    EXPECT_EQ(fields[0]->type, 23);
    EXPECT_EQ(fields[0]->resolvedType, nullptr);
    EXPECT_EQ(fields[1]->offset, 4);
    ASSERT_NE(fields[1]->resolvedType, nullptr);
    EXPECT_EQ(fields[1]->resolvedType->letter, 'P');
    EXPECT_EQ(fields[1]->type, fields[1]->resolvedType->index);
    // the pointer names the structure by number and is linked to it
    EXPECT_EQ(fields[1]->resolvedType->payload.pointer->target, kNumbered + 50);
    EXPECT_EQ(fields[1]->resolvedType->payload.pointer->resolvedTarget, node);
    EXPECT_EQ(fields[2]->offset, 8);
    ASSERT_NE(fields[2]->resolvedType, nullptr);
    EXPECT_EQ(fields[2]->resolvedType->letter, 'Z');

    const IeTypeDef* word = typeNumbered(kNumbered + 51);
    ASSERT_NE(word, nullptr);
    EXPECT_EQ(word->letter, 'U');
    EXPECT_EQ(word->payload.record->size, 4);
}

TEST_F(Types, BitFieldsBecomeNumberedBitFieldTypes)
{
    const std::vector<StructMember> members = {
        { .name = "ready", .number = 7, .bitField = true, .a = 1, .b = 2, .c = 3, .bitBase = { 4, 2, 0x80, 0 } },
        { .name = "mode", .number = 8, .bitField = true, .a = 3, .b = 0, .c = 4, .bitBase = base::named(60) },
        { .name = "after", .number = 9, .offset = 4, .type = { base::integer(4) } },
    };
    w.recordTypeDef("flags", 60, 0, { base::named(60, 8), { ctor::structure(members) } });
    read();
    const IeTypeDef* flags = typeNumbered(kNumbered + 60);
    ASSERT_NE(flags, nullptr);
    const auto fields = listOf(flags->payload.record->members);
    ASSERT_EQ(fields.size(), 3u);
    const IeTypeDef* ready = fields[0]->resolvedType;
    ASSERT_NE(ready, nullptr);
    EXPECT_EQ(ready->letter, 'g');
    EXPECT_EQ(ready->index, kNumbered + 7);
    EXPECT_EQ(fields[0]->type, kNumbered + 7);
    EXPECT_EQ(fields[0]->offset, 3 + 8 * 2);
    EXPECT_EQ(ready->payload.bitField->info1, 2);
    EXPECT_EQ(ready->payload.bitField->info2, 1);
    EXPECT_EQ(ready->payload.bitField->baseType, 10);
    EXPECT_EQ(ready->payload.bitField->resolvedBase, nullptr);
    const IeTypeDef* mode = fields[1]->resolvedType;
    ASSERT_NE(mode, nullptr);
    EXPECT_EQ(fields[1]->offset, 4);
    EXPECT_EQ(mode->payload.bitField->baseType, kNumbered + 60);
    EXPECT_EQ(mode->payload.bitField->resolvedBase, flags);
    EXPECT_EQ(fields[2]->offset, 4);
    EXPECT_EQ(fields[2]->type, 16);
}

TEST_F(Types, FunctionDefinitionsHaveAFunctionType)
{
    w.function({ .name = "add",
        .type = 70,
        .part = 0,
        .desc = { .returns = base::integer(2),
            .params = { { 1, { base::integer(2) } }, { 2, { base::character(), { ctor::pointer() } } } } } });
    w.function({ .name = "stop", .type = 71, .part = 0, .desc = { .returns = base::none() } });
    w.function({ .name = "name", .type = 72, .part = 0, .desc = { .returns = base::character(), .pointerLevels = 2 } });
    read();
    const auto functions = listOf(module->sources->functions);
    ASSERT_EQ(functions.size(), 3u);

    const IeTypeDef* add = functions[0]->typeRef->typeDef;
    ASSERT_NE(add, nullptr);
    EXPECT_EQ(add->letter, 'x');
    EXPECT_EQ(add->index, kNumbered + 70);
    EXPECT_EQ(functions[0]->typeRef->typeIndex, kNumbered + 70);
    EXPECT_EQ(add->payload.function->returnType, 23);
    EXPECT_EQ(add->payload.function->resolvedReturn, nullptr);
    EXPECT_EQ(add->payload.function->paramCount, 2u);
    const auto params = listOf(add->payload.function->params);
    ASSERT_EQ(params.size(), 2u);
    EXPECT_EQ(params[0]->type, 23);
    EXPECT_EQ(params[0]->resolvedType, nullptr);
    ASSERT_NE(params[1]->resolvedType, nullptr);
    EXPECT_EQ(params[1]->resolvedType->letter, 'P');
    EXPECT_EQ(params[1]->type, params[1]->resolvedType->index);

    const IeTypeDef* stop = functions[1]->typeRef->typeDef;
    ASSERT_NE(stop, nullptr);
    EXPECT_EQ(stop->payload.function->paramCount, 0u);
    ASSERT_NE(stop->payload.function->resolvedReturn, nullptr);
    EXPECT_EQ(stop->payload.function->resolvedReturn->letter, 'v');

    const IeTypeDef* name = functions[2]->typeRef->typeDef;
    ASSERT_NE(name, nullptr);
    const IeTypeDef* level1 = name->payload.function->resolvedReturn;
    ASSERT_NE(level1, nullptr);
    EXPECT_EQ(level1->letter, 'P');
    const IeTypeDef* level2 = level1->payload.pointer->resolvedTarget;
    ASSERT_NE(level2, nullptr);
    EXPECT_EQ(level2->letter, 'P');
    EXPECT_EQ(level2->payload.pointer->target, 19);
}

TEST_F(Types, FunctionPointerVariablesChainIntoTheFunctionType)
{
    w.variable({ .name = "handler",
        .storage = kStatic,
        .type = 80,
        .desc
        = { base::none(), { ctor::pointer(), ctor::passedOver(), ctor::function({ { 1, { base::integer(4) } } }) } } });
    read();
    const IeTypeDef* pointer = variableType(0)->typeDef;
    ASSERT_NE(pointer, nullptr);
    EXPECT_EQ(pointer->letter, 'P');
    const IeTypeDef* function = pointer->payload.pointer->resolvedTarget;
    ASSERT_NE(function, nullptr);
    EXPECT_EQ(function->letter, 'x');
    EXPECT_EQ(function->index, kNumbered + 80);
    EXPECT_EQ(function->payload.function->paramCount, 1u);
    EXPECT_EQ(function->payload.function->params->type, 16);
    ASSERT_NE(function->payload.function->resolvedReturn, nullptr);
    EXPECT_EQ(function->payload.function->resolvedReturn->letter, 'v');
}

TEST_F(Types, TypedefsAreNumberedAndNamed)
{
    w.typedefDef("u16", 90, { base::integer(2, 0x40) });
    w.typedefDef("text", 91, { base::character(), { ctor::pointer() } });
    w.variable({ .name = "length", .storage = kStatic, .desc = { base::named(90) } });
    read();
    const IeTypeDef* u16 = typeNumbered(kNumbered + 90);
    ASSERT_NE(u16, nullptr);
    EXPECT_EQ(u16->letter, 'T');
    EXPECT_EQ(str(u16->payload.alias->name), "u16");
    EXPECT_EQ(u16->payload.alias->type, 5);
    EXPECT_EQ(u16->payload.alias->resolvedType, nullptr);
    const IeTypeDef* text = typeNumbered(kNumbered + 91);
    ASSERT_NE(text, nullptr);
    ASSERT_NE(text->payload.alias->resolvedType, nullptr);
    EXPECT_EQ(text->payload.alias->resolvedType->letter, 'P');
    // a reference to a numbered type is linked at the end of the module's debug group
    EXPECT_EQ(variableType(0)->typeIndex, kNumbered + 90);
    EXPECT_EQ(variableType(0)->typeDef, u16);
}

TEST_F(Types, ReferencesLinkToTypesDefinedLaterInTheModule)
{
    w.variable({ .name = "head", .storage = kStatic, .desc = { base::named(95) } });
    w.recordTypeDef(
        "list", 95, 0, { base::named(95, 4), { ctor::structure({ { .name = "n", .type = { base::integer(4) } } }) } });
    read();
    const IeTypeDef* list = typeNumbered(kNumbered + 95);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(variableType(0)->typeDef, list);
}

TEST(FramedTypeLinks, ReachAcrossSelectsOfTheSameModuleButNotAcrossModules)
{
    FramedWriter w = startFile();
    w.module("a");
    w.module("b");
    w.moduleSelect(0);
    w.sourceFiles({ "a.c" });
    w.openBlock();
    w.variable({ .name = "early", .storage = kStatic, .desc = { base::named(5) } });
    w.closeBlock();
    w.moduleSelect(1);
    w.sourceFiles({ "b.c" });
    w.openBlock();
    w.typedefDef("five", 5, { base::integer(4) });
    w.closeBlock();
    w.moduleSelect(0);
    w.sourceFiles({});
    w.openBlock();
    w.typedefDef("five", 5, { base::integer(2) });
    w.closeBlock();
    w.end();
    ASSERT_EQ(readFramed(w).code, 0);
    const auto modules = listOf(IE_getRoot()->modules);
    const IeTypeRef* early = modules[0]->sources->variables->typeRef;
    ASSERT_NE(early->typeDef, nullptr);
    EXPECT_EQ(early->typeDef->owner, modules[0]);
    EXPECT_EQ(early->typeDef->payload.alias->type, 23);
}

// Numbers far apart and in runs, added again with another definition, across many growths.
TEST(FirstDefinitions, KeepTheFirstDefinitionOfEachNumberAsTheTableGrows)
{
    std::vector<IeTypeDef> first(5000), second(5000);
    orvik::FirstDefinitions table;
    auto numberOf = [](std::size_t i) { return static_cast<uint32_t>(i % 2 ? kAnonymous + i : i * 0x10001u); };
    for (std::size_t i = 0; i < first.size(); ++i) {
        EXPECT_TRUE(table.add(numberOf(i), &first[i]));
        EXPECT_FALSE(table.add(numberOf(i / 2), &second[i / 2]));
    }
    EXPECT_EQ(table.size(), first.size());
    for (std::size_t i = 0; i < first.size(); ++i)
        EXPECT_EQ(table.find(numberOf(i)), &first[i]) << i;
    EXPECT_EQ(table.find(kNumbered + 1), nullptr);
}

// A file can choose numbers that all share one slot of a fixed multiplicative hash (here
// Fibonacci hashing's); piled up, each insertion would walk the whole pile.
TEST(FirstDefinitions, NumbersChosenToCollideUnderAFixedHashDoNotPileUp)
{
    constexpr std::size_t kCount = 4096; // the table then has 8,192 slots: a 13-bit slot
    std::vector<uint32_t> numbers;
    for (uint32_t x = 1; numbers.size() < kCount; ++x)
        if ((uint64_t { x } * 0x9E3779B97F4A7C15ull) >> (64 - 13) == 0)
            numbers.push_back(x);
    std::vector<IeTypeDef> definitions(kCount);
    orvik::FirstDefinitions table;
    for (std::size_t i = 0; i < kCount; ++i)
        table.add(numbers[i], &definitions[i]);
    EXPECT_LT(table.longestProbe(), 128u);
    EXPECT_EQ(table.find(numbers.back()), &definitions.back());
}

// The product from 32-bit halves serves compilers without a 128-bit integer; every carry
// between the halves must reach the high word.
TEST(KeyedHash, TheProductOfHalvesIsTheFullProduct)
{
    const uint64_t values[] = { 0, 1, 0xFFFFFFFF, 0x100000000ull, 0xFFFFFFFFFFFFFFFFull, 0x9E3779B97F4A7C15ull,
        0x8000000000000000ull, 0xFFFFFFFF00000001ull };
    for (uint64_t a : values)
        for (uint64_t b : values)
            EXPECT_EQ(keyed::foldedProductOfHalves(a, b), keyed::foldedProduct(a, b)) << a << " " << b;
}

TEST(FramedTypeNumbers, AnonymousCounterStartsAtZeroForEveryRead)
{
    FramedWriter w = startFile();
    w.module("m");
    w.moduleSelect(0);
    w.sourceFiles({ "a.c" });
    w.openBlock();
    w.variable({ .name = "p", .storage = kStatic, .desc = { base::integer(2), { ctor::pointer() } } });
    w.closeBlock();
    w.end();
    for (int read = 0; read < 2; ++read) {
        SCOPED_TRACE(read);
        ASSERT_EQ(readFramed(w).code, 0);
        const IeTypeDef* type = IE_getRoot()->modules->typeDefs;
        ASSERT_NE(type, nullptr);
        EXPECT_EQ(type->index, kAnonymous);
        EXPECT_EQ(type->next, nullptr);
    }
}

} // namespace
} // namespace tessaly::testing::framed_test
