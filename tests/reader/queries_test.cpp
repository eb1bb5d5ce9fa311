// queries_test.cpp: the IE_ walks and lookups, and how their cursors move.
#include "read_helpers.hpp"

#include <functional>
#include <gtest/gtest.h>
#include <string>

namespace tessaly::testing {
namespace {

// Two modules named alike but for case, sources with a shared name, and functions and
// variables of one name in different modules.
class Queries : public ::testing::Test {
protected:
    void SetUp() override
    {
        Ieee695Writer w;
        w.header("Alcor", "p");
        w.section({ .index = 1, .type = "ASP", .name = "CODE", .start = 0x100, .size = 0x100 });
        w.section({ .index = 2, .type = "ASD", .name = "DATA", .start = 0x400, .size = 0x40 });
        w.globalSymbol({ .name = "_main", .value = 0x100 });
        w.globalSymbol({ .name = "_init", .value = 0x140 });
        auto& env = w.environment();
        env.debugString(dstr::M("Main.c", "App"));
        env.debugString(dstr::Fs("init", "_init", 'G', 1));
        env.debugString(dstr::Vd("state", "_s1", 'L', { 0, 0, 0, 0, 0 }));
        env.debugString(dstr::Fs("main", "_main", 'G', 2));
        env.debugString(dstr::Vd("state", "_s2", 'L', { 0, 0, 0, 0, 0 }));
        env.debugString(dstr::M("util.c", "App"));
        env.debugString(dstr::M("main.c", "lib"));
        env.debugString(dstr::Fs("init", "_lib_init", 'S', 3));
        env.debugString(dstr::Vd("state", "_s3", 'G', { 0, 0, 0, 0, 0 }));
        env.debugString(dstr::M("x.c", "app"));
        w.asmModule("App")
            .moduleSection({ .sectionIndex = 1, .start = 0x100, .size = 0x80 })
            .moduleSection({ .sectionIndex = 2, .start = 0x400, .size = 0x10 })
            .localSymbol({ .name = "a1" })
            .localSymbol({ .name = "a2" })
            .end();
        w.asmModule("lib")
            .moduleSection({ .sectionIndex = 1, .start = 0x180, .size = 0x80 })
            .localSymbol({ .name = "l1" })
            .end();
        w.asmModule("app").moduleSection({ .sectionIndex = 2, .start = 0x410, .size = 0x10 }).end();
        ASSERT_EQ(readFile(w, IE_READ_ALL), 0);
        root = IE_getRoot();
        modules = listOf(root->modules);
        ASSERT_EQ(modules.size(), 3u);
    }

    IeRoot* root = nullptr;
    std::vector<IeModule*> modules;
};

TEST_F(Queries, RootWalksStartWhereGetRootLeftThem)
{
    EXPECT_EQ(IE_getModMode(2), modules[0]) << "IE_getRoot set the cursor to the first module";
    EXPECT_EQ(IE_getModMode(2), modules[1]);
    EXPECT_EQ(IE_getModMode(3), nullptr);
    EXPECT_EQ(IE_getModMode(2), modules[2]) << "mode 3 left the cursor alone";
    EXPECT_EQ(IE_getModMode(2), nullptr);
    EXPECT_EQ(IE_getModMode(1), modules[0]);

    EXPECT_STREQ(IE_getSecMode(1)->name, "CODE");
    EXPECT_STREQ(IE_getSecMode(2)->name, "DATA");
    EXPECT_EQ(IE_getSecMode(2), nullptr);
    EXPECT_EQ(IE_getSecMode(2), nullptr);
    EXPECT_STREQ(IE_getSymMode(1)->name, "_main");
    EXPECT_STREQ(IE_getSymMode(2)->name, "_init");
    EXPECT_EQ(IE_getSymMode(2), nullptr);
    IE_getRoot();
    EXPECT_STREQ(IE_getSymMode(2)->name, "_main");
}

TEST_F(Queries, ModuleSectionAndSymbolWalksFollowTheCurrentModule)
{
    // A read makes the first module current.
    EXPECT_EQ(IE_getModSecMode(1), modules[0]->sections);
    EXPECT_EQ(IE_getModSecMode(2), modules[0]->sections->next);
    EXPECT_EQ(IE_getModSecMode(2), nullptr);
    EXPECT_EQ(IE_getModSecMode(2), nullptr);
    EXPECT_EQ(IE_getModSecMode(7), nullptr);
    EXPECT_STREQ(IE_getModSymFi(1)->name, "a1");
    EXPECT_STREQ(IE_getModSymFi(2)->name, "a2");
    EXPECT_EQ(IE_getModSymFi(2), nullptr);
}

TEST_F(Queries, NamedModuleWalksSwitchModulesOnlyWhenTheFoldedNameChanges)
{
    // The read left the first module current and its part cursor unset: naming it continues
    // from nothing, which is why walks start with IE_getModSecMode(1).
    EXPECT_EQ(IE_getModSecFpi("App"), nullptr);
    EXPECT_EQ(IE_getModSecFpi("lib"), modules[1]->sections);
    EXPECT_EQ(IE_getModSecFpi("APP"), modules[0]->sections);
    EXPECT_EQ(IE_getModSecFpi("app"), modules[0]->sections->next) << "same module, compared folded";
    EXPECT_EQ(IE_getModSecFpi("app"), nullptr);
    EXPECT_EQ(IE_getModSecFpi("none"), nullptr);
    EXPECT_EQ(IE_getModSecMode(1), nullptr) << "no current module after a failed switch";
    EXPECT_STREQ(IE_getModSymFpi("lib")->name, "l1") << "switching modules starts at the first symbol";
    EXPECT_EQ(IE_getModSymFpi("LIB"), nullptr);
}

TEST_F(Queries, LookupsByName)
{
    EXPECT_EQ(IE_getModName("APP"), modules[0]);
    EXPECT_EQ(IE_getModMode(2), modules[1]) << "the module cursor moves past the match";
    EXPECT_EQ(IE_getModName("missing"), nullptr);
    EXPECT_EQ(IE_getModMode(2), nullptr);

    EXPECT_STREQ(IE_getSecName("DATA")->name, "DATA");
    EXPECT_EQ(IE_getSecName("data"), nullptr) << "section names compare exactly";
    EXPECT_EQ(IE_getSymName("_init")->value, 0x140u);
    EXPECT_EQ(IE_getSymName("_INIT"), nullptr);

    EXPECT_EQ(IE_getSrcSrcMod("MAIN.C", "app"), modules[0]->sources);
    EXPECT_EQ(IE_getSrcSrcMod("x.c", "app"), nullptr) << "only the first module of the name is searched";
    EXPECT_EQ(IE_getSrcSrcMod("main.c", "nothing"), nullptr);

    EXPECT_STREQ(IE_getFnDef("init", "main.c")->linkName, "_init");
    EXPECT_STREQ(IE_getFnDef("init", "MAIN.C")->linkName, "_init");
    EXPECT_EQ(IE_getFnDef("Init", "main.c"), nullptr);
    EXPECT_EQ(IE_getFnDef("main", "util.c"), nullptr);

    EXPECT_STREQ(IE_getVaDef("state", "main.c", 'L', "main")->linkName, "_s2");
    EXPECT_STREQ(IE_getVaDef("state", "main.c", 'L', "init")->linkName, "_s1");
    EXPECT_EQ(IE_getVaDef("state", "main.c", 'L', "other"), nullptr);
    EXPECT_STREQ(IE_getVaDef("state", "main.c", 'G', nullptr)->linkName, "_s1")
        << "other scopes ignore the function and do not check the variable's own scope";

    EXPECT_EQ(IE_getModSecFip(2, "APP"), modules[0]->sections->next);
    EXPECT_EQ(IE_getModSecFip(3, "APP"), nullptr);
    EXPECT_EQ(IE_getModSecFp("DATA", "app"), modules[0]->sections->next);
    EXPECT_EQ(IE_getModSecFp("CODE", "lib"), modules[1]->sections);
    EXPECT_EQ(IE_getModSecFp("BSS", "lib"), nullptr);
}

TEST_F(Queries, SourceSearchRunsAcrossModules)
{
    IeSource* first = IE_getSrcSrcMode("main.c", 1);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first, modules[0]->sources);
    IeSource* second = IE_getSrcSrcMode("main.c", 2);
    EXPECT_EQ(second, modules[1]->sources);
    EXPECT_EQ(IE_getSrcSrcMode("main.c", 2), nullptr);
    EXPECT_EQ(IE_getSrcSrcMode("main.c", 2), nullptr) << "a failed search leaves no cursor";
    EXPECT_EQ(IE_getSrcSrcMode("X.C", 1), modules[2]->sources);
    EXPECT_EQ(IE_getSrcSrcMode("x.c", 0), nullptr);
}

TEST_F(Queries, HashLookupsFindEveryDefinitionOfANameInTreeOrder)
{
    IeFnDef* first = IE_getFnDefMode("init", 1);
    ASSERT_NE(first, nullptr);
    EXPECT_STREQ(first->linkName, "_init");
    IeFnDef* second = IE_getFnDefMode("init", 2);
    ASSERT_NE(second, nullptr);
    EXPECT_STREQ(second->linkName, "_lib_init");
    EXPECT_EQ(IE_getFnDefMode("init", 2), nullptr);
    EXPECT_EQ(IE_getFnDefMode("init", 2), nullptr);
    EXPECT_EQ(IE_getFnDefMode("init", 5), nullptr);

    EXPECT_EQ(IE_getFnDefMode("nothing", 1), nullptr);
    EXPECT_EQ(IE_getFnDefMode("nothing", 2), nullptr);

    std::vector<std::string> links;
    for (IeVaDef* v = IE_getVaDefMode("state", 1); v; v = IE_getVaDefMode("state", 2))
        links.push_back(v->linkName);
    EXPECT_EQ(links, (std::vector<std::string> { "_s1", "_s2", "_s3" }));
}

// Whichever way a search by name fails, it leaves no cursor for a mode-2 call to continue from.
TEST(QueryLookups, EveryFailedNameSearchClearsItsCursor)
{
    Ieee695Writer w;
    w.header("Alcor", "p");
    auto& env = w.environment();
    env.debugString(dstr::M("a.c", "a"));
    env.debugString(dstr::Fs("main", "_main_a", 'G', 1));
    env.debugString(dstr::Fs("init", "_init", 'G', 2));
    env.debugString(dstr::Vd("count", "_count_a", 'G', { 0, 0, 0, 0, 0 }));
    env.debugString(dstr::Vd("flag", "_flag", 'G', { 0, 0, 0, 0, 0 }));
    env.debugString(dstr::M("b.c", "b"));
    env.debugString(dstr::Fs("main", "_main_b", 'G', 3));
    env.debugString(dstr::Vd("count", "_count_b", 'G', { 0, 0, 0, 0, 0 }));
    ASSERT_EQ(readFile(w, IE_READ_ALL), 0);

    auto linkOf = [](const auto* definition) { return definition ? str(definition->linkName) : str(nullptr); };
    const struct {
        const char* table;
        std::function<std::string(const char*, int)> find;
        const char* name; // defined twice
        const char* other; // defined once, in another slot
    } tables[] = {
        { "functions", [&](const char* n, int mode) { return linkOf(IE_getFnDefMode(n, mode)); }, "main", "init" },
        { "variables", [&](const char* n, int mode) { return linkOf(IE_getVaDefMode(n, mode)); }, "count", "flag" },
    };
    for (const auto& t : tables) {
        SCOPED_TRACE(t.table);
        const std::string first = t.find(t.name, 1);
        const std::string second = t.find(t.name, 2);
        ASSERT_NE(first, str(nullptr));
        ASSERT_NE(second, str(nullptr));
        // "nosuch" lands in an empty slot; the anagram in the name's own slot, which runs to its end.
        const std::string anagram = std::string(t.name).substr(0, 2) + t.name[3] + t.name[2] + (t.name + 4);
        const struct {
            const char* how;
            std::string name;
            int mode;
        } failures[] = {
            { "empty slot", "nosuch", 1 },
            { "mode 2 on another name's chain", t.other, 2 },
            { "chain run to its end", anagram, 1 },
        };
        for (const auto& failure : failures) {
            SCOPED_TRACE(failure.how);
            ASSERT_EQ(t.find(t.name, 1), first);
            EXPECT_EQ(t.find(failure.name.c_str(), failure.mode), str(nullptr));
            EXPECT_EQ(t.find(t.name, 2), str(nullptr)) << "the failed search left the cursor on " << first;
        }
    }
}

TEST(QueryLookups, NullNamesFindNothing)
{
    EXPECT_EQ(IE_getModName(nullptr), nullptr);
    EXPECT_EQ(IE_getSecName(nullptr), nullptr);
    EXPECT_EQ(IE_getSymName(nullptr), nullptr);
    EXPECT_EQ(IE_getSrcSrcMod(nullptr, nullptr), nullptr);
    EXPECT_EQ(IE_getFnDef(nullptr, nullptr), nullptr);
    EXPECT_EQ(IE_getVaDef(nullptr, nullptr, 'L', nullptr), nullptr);
    EXPECT_EQ(IE_getFnDefMode(nullptr, 1), nullptr);
    EXPECT_EQ(IE_getModSecFpi(nullptr), nullptr);
    EXPECT_EQ(IE_getModSecFp(nullptr, nullptr), nullptr);
}

} // namespace
} // namespace tessaly::testing
