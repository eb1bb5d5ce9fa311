// program_test.cpp: whole programs read back, and reading that stays linear in the file size.
#include "read_helpers.hpp"

#include <gtest/gtest.h>
#include <string>

namespace tessaly::testing {
namespace {

TEST(Ieee695Program, AThousandSymbolsInManyModulesReadBackInOrder)
{
    Ieee695Writer w;
    w.header("Dorado", "firmware");
    for (uint32_t s = 0; s < 8; ++s)
        w.section({ .index = s + 1,
            .type = s % 2 ? "ASD" : "ASP",
            .name = "S" + std::to_string(s),
            .start = s * 0x1000,
            .size = 0x1000 });
    for (uint32_t i = 0; i < 1000; ++i)
        w.globalSymbol({ .name = "g" + std::to_string(i), .value = i * 8, .kind = i % 10 ? 15u : 17u });
    auto& env = w.environment();
    for (int m = 0; m < 4; ++m) {
        const std::string module = "mod" + std::to_string(m);
        env.debugString(dstr::M(module + ".c", module));
        env.debugString(dstr::Fs("f" + std::to_string(m), "g" + std::to_string(m * 10 + 1), 'G', 1));
        env.debugString(dstr::Fe("f", "", 0, 0, 0x20 + m));
        env.debugString(dstr::Vd("v" + std::to_string(m), "g" + std::to_string(m * 10 + 2), 'G', {}));
    }
    for (int m = 0; m < 4; ++m) {
        auto block = w.asmModule("mod" + std::to_string(m));
        block.moduleSection({ .sectionIndex = uint32_t(m + 1), .start = uint32_t(m) * 0x1000, .size = 0x800 });
        for (int l = 0; l < 50; ++l)
            block.localSymbol({ .name = "L" + std::to_string(m) + "_" + std::to_string(l), .value = uint32_t(l) });
        block.end();
    }
    ASSERT_EQ(readFile(w, IE_READ_ALL), 0);
    IeRoot* root = IE_getRoot();
    EXPECT_EQ(listOf(root->sections).size(), 8u);
    const auto symbols = listOf(root->symbols);
    ASSERT_EQ(symbols.size(), 1000u);
    EXPECT_STREQ(symbols[999]->name, "g999");
    EXPECT_EQ(symbols[999]->value, 999u * 8);
    EXPECT_EQ(symbols[10]->kind, IE_KIND_EQU);
    const auto modules = listOf(root->modules);
    ASSERT_EQ(modules.size(), 4u);
    for (int m = 0; m < 4; ++m) {
        SCOPED_TRACE(m);
        IeModule* module = modules[m];
        EXPECT_EQ(module->sections->section, listOf(root->sections)[m]);
        EXPECT_EQ(listOf(module->symbols).size(), 50u);
        IeFnDef* function = module->sources->functions;
        ASSERT_NE(function, nullptr);
        EXPECT_EQ(function->resolved, 1);
        EXPECT_EQ(function->address, uint32_t(m * 10 + 1) * 8);
        EXPECT_EQ(function->size, uint32_t(0x20 + m));
        EXPECT_EQ(module->sources->variables->address, uint32_t(m * 10 + 2) * 8);
    }
}

// A program the size that made name resolution quadratic: it must read in well under a
// second; the benchmark measures the real speed. Its records also cross the end of the
// reader's 64 KiB buffer many times, where decoding from the buffer gives way to the cursor.
TEST(Ieee695Program, ResolvingTenThousandFunctionsAgainstAHundredThousandSymbolsIsLinear)
{
    Ieee695Writer w;
    w.header("Grus", "big");
    for (uint32_t i = 0; i < 100000; ++i)
        w.globalSymbol({ .name = "_sym" + std::to_string(i), .value = i * 4 });
    auto& env = w.environment();
    for (uint32_t i = 0; i < 10000; ++i) {
        if (i % 50 == 0)
            env.debugString(dstr::M("file" + std::to_string(i / 50) + ".c", "big"));
        env.debugString(dstr::Fs("fn" + std::to_string(i), "_sym" + std::to_string(i * 10), 'G', i));
    }
    auto block = w.asmModule("big");
    for (uint32_t l = 0; l < 10000; ++l)
        block.localSymbol({ .name = "L" + std::to_string(l), .value = l * 2, .kind = 16, .extra2 = l });
    block.end();
    ASSERT_EQ(readFile(w, IE_READ_ALL), 0);
    IeFnDef* last = IE_getFnDefMode("fn9999", 1);
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(last->resolved, 1);
    EXPECT_EQ(last->address, 99990u * 4);
    EXPECT_EQ(listOf(IE_getRoot()->modules->sources).size(), 200u);
    const auto symbols = listOf(IE_getRoot()->symbols);
    ASSERT_EQ(symbols.size(), 100000u);
    uint32_t wrong = 0;
    for (uint32_t i = 0; i < symbols.size(); ++i)
        wrong += symbols[i]->name != "_sym" + std::to_string(i) || symbols[i]->value != i * 4;
    EXPECT_EQ(wrong, 0u) << "global symbols read back differently";
    const auto locals = listOf(IE_getRoot()->modules->symbols);
    ASSERT_EQ(locals.size(), 10000u);
    wrong = 0;
    for (uint32_t l = 0; l < locals.size(); ++l)
        wrong += locals[l]->name != "L" + std::to_string(l) || locals[l]->value != l * 2 || locals[l]->kind != 16
            || locals[l]->extra2 != static_cast<int32_t>(l);
    EXPECT_EQ(wrong, 0u) << "local symbols read back differently";
}

} // namespace
} // namespace tessaly::testing
