// tables_dump_test.cpp: the text and JSON forms of the map tables.
#include "map_document.hpp"
#include "support/memory_tree.hpp"
#include "support/program_files.hpp"
#include "support/temp_file.hpp"
#include "tables_dump.hpp"

#include <gtest/gtest.h>
#include <sstream>
#include <string>

namespace {

using tessaly::MapModel;
using tessaly::testing::MemoryTree;

// Alcor: a section, one above the 20-bit space, a module part, two labels, an .EQU and a
// resolved and an unresolved function.
class DumpTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        auto* code = tree.section("CODE", 0x100, 0x100);
        tree.section("HIGH", 0x200000, 0x10);
        auto* module = tree.module("m");
        tree.part(module, code, 0x100, 0x10, 2);
        tree.global("start", 0x100);
        tree.local(module, "loop", 0x104);
        tree.global("K", 5, IE_KIND_EQU);
        auto* source = tree.source(module, "a.c");
        tree.function(source, "f", "_f", 0x100, 0x20);
        tree.function(source, "g", "_g", 0, 4, false);
        tessaly::DetectCpuFamily(model, &tree.root);
    }

    MemoryTree tree { "Alcor" };
    MapModel model;
};

TEST_F(DumpTest, Text)
{
    std::ostringstream out;
    tessaly::writeTablesText(model, out);
    EXPECT_EQ(out.str(),
        "cpu family: CpuAlcor\n"
        "max address: 0fffff\n"
        "address digits: 6\n"
        "name widths: module 1, section 4, function file 3, function 1, equ 1, label 5\n"
        "\n"
        "section table: 2 sections, 2 free areas\n"
        "  [0] 000000 000100 normal (free) labels=0G+0L@-1 equs=1G+0L@0 functions=0@-1 moduleSections=0\n"
        "  [1] 000100 000100 normal section CODE labels=1G+1L@0 equs=0G+0L@-1 functions=1@1 moduleSections=1\n"
        "  [2] 000200 0ffdff normal (free) labels=0G+0L@-1 equs=0G+0L@-1 functions=0@-1 moduleSections=0\n"
        "  [3] 200000 000010 outside section HIGH labels=0G+0L@-1 equs=0G+0L@-1 functions=0@-1 moduleSections=0\n"
        "\n"
        "module section table: 1 module sections, 2 free areas\n"
        "  [0] 000000 000100 normal (free) labels=0G+0L@-1 equs=1G+0L@0 functions=0@-1\n"
        "  [1] 000100 000010 normal kind 2 section CODE module m labels=1G+1L@0 equs=0G+0L@-1 functions=1@1\n"
        "  [2] 000110 0ffeef normal (free) labels=0G+0L@-1 equs=0G+0L@-1 functions=0@-1\n"
        "\n"
        "label table: 1 global, 1 local\n"
        "  [0] [G] 000100 start\n"
        "  [1] [L] 000104 loop\n"
        "\n"
        "equ table: 1 global, 0 local\n"
        "  [0] [G] 000005 K\n"
        "\n"
        "function table: 2 functions\n"
        "  [0] 000000 000004 unresolved g link _g source a.c\n"
        "  [1] 000100 000020 resolved f link _f source a.c\n");
}

TEST_F(DumpTest, Json)
{
    std::ostringstream out;
    tessaly::writeTablesJson(model, out);
    const std::string counts0 = "\"globalLabelCount\": 0, \"localLabelCount\": 0, \"firstLabel\": -1, ";
    const std::string noEqus = "\"globalEquCount\": 0, \"localEquCount\": 0, \"firstEqu\": -1, ";
    const std::string noFunctions = "\"functionCount\": 0, \"firstFunction\": -1";
    EXPECT_EQ(out.str(),
        "{\n"
        "  \"cpuFamily\": \"CpuAlcor\",\n"
        "  \"maxAddress\": 1048575,\n"
        "  \"addressDigits\": 6,\n"
        "  \"nameWidths\": [1, 4, 3, 1, 1, 5],\n"
        "  \"sectionTable\": [\n"
        "    {\"start\": 0, \"size\": 256, \"name\": null, \"free\": true, \"rangeFlag\": 0, "
            + counts0 + "\"globalEquCount\": 1, \"localEquCount\": 0, \"firstEqu\": 0, " + noFunctions
            + ", \"moduleSectionCount\": 0},\n"
              "    {\"start\": 256, \"size\": 256, \"name\": \"CODE\", \"free\": false, \"rangeFlag\": 0, "
              "\"globalLabelCount\": 1, \"localLabelCount\": 1, \"firstLabel\": 0, "
            + noEqus
            + "\"functionCount\": 1, \"firstFunction\": 1, \"moduleSectionCount\": 1},\n"
              "    {\"start\": 512, \"size\": 1048063, \"name\": null, \"free\": true, \"rangeFlag\": 0, "
            + counts0 + noEqus + noFunctions
            + ", \"moduleSectionCount\": 0},\n"
              "    {\"start\": 2097152, \"size\": 16, \"name\": \"HIGH\", \"free\": false, \"rangeFlag\": 2, "
            + counts0 + noEqus + noFunctions
            + ", \"moduleSectionCount\": 0}\n"
              "  ],\n"
              "  \"moduleSectionTable\": [\n"
              "    {\"start\": 0, \"size\": 256, \"kind\": 0, \"section\": null, \"module\": null, \"free\": true, "
              "\"rangeFlag\": 0, "
            + counts0 + "\"globalEquCount\": 1, \"localEquCount\": 0, \"firstEqu\": 0, " + noFunctions
            + "},\n"
              "    {\"start\": 256, \"size\": 16, \"kind\": 2, \"section\": \"CODE\", \"module\": \"m\", "
              "\"free\": false, \"rangeFlag\": 0, \"globalLabelCount\": 1, \"localLabelCount\": 1, "
              "\"firstLabel\": 0, "
            + noEqus
            + "\"functionCount\": 1, \"firstFunction\": 1},\n"
              "    {\"start\": 272, \"size\": 1048303, \"kind\": 0, \"section\": null, \"module\": null, "
              "\"free\": true, \"rangeFlag\": 0, "
            + counts0 + noEqus + noFunctions
            + "}\n"
              "  ],\n"
              "  \"labelTable\": [\n"
              "    {\"scope\": \"G\", \"name\": \"start\", \"value\": 256},\n"
              "    {\"scope\": \"L\", \"name\": \"loop\", \"value\": 260}\n"
              "  ],\n"
              "  \"equTable\": [\n"
              "    {\"scope\": \"G\", \"name\": \"K\", \"value\": 5}\n"
              "  ],\n"
              "  \"functionTable\": [\n"
              "    {\"name\": \"g\", \"linkName\": \"_g\", \"source\": \"a.c\", \"address\": 0, \"size\": 4, "
              "\"resolved\": false},\n"
              "    {\"name\": \"f\", \"linkName\": \"_f\", \"source\": \"a.c\", \"address\": 256, \"size\": 32, "
              "\"resolved\": true}\n"
              "  ]\n"
              "}\n");
}

TEST(TablesDump, EmptyTablesBeforeAnyFile)
{
    MapModel model;
    std::ostringstream json;
    tessaly::writeTablesJson(model, json);
    EXPECT_EQ(json.str(),
        "{\n"
        "  \"cpuFamily\": \"CpuNone\",\n"
        "  \"maxAddress\": 0,\n"
        "  \"addressDigits\": 0,\n"
        "  \"nameWidths\": [0, 0, 0, 0, 0, 0],\n"
        "  \"sectionTable\": [],\n"
        "  \"moduleSectionTable\": [],\n"
        "  \"labelTable\": [],\n"
        "  \"equTable\": [],\n"
        "  \"functionTable\": []\n"
        "}\n");
    std::ostringstream text;
    tessaly::writeTablesText(model, text);
    EXPECT_NE(text.str().find("section table: 0 sections, 0 free areas\n"), std::string::npos);
}

TEST(TablesDump, JsonStringsAreEscapedAndHighBytesAreLatin1CodePoints)
{
    struct Case {
        const char* name;
        const char* json;
    };
    const Case cases[] = {
        { "q\"b", "\"q\\\"b\"" },
        { "back\\slash", "\"back\\\\slash\"" },
        { "tab\tnl\n", "\"tab\\tnl\\n\"" },
        { "\x01\x1f", "\"\\u0001\\u001f\"" },
        { "del\x7f", "\"del\\u007f\"" },
        { "\x85", "\"\\u0085\"" },
        { "caf\xE9", "\"caf\xC3\xA9\"" },
        { "\xFF", "\"\xC3\xBF\"" },
        { "", "\"\"" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.json);
        MemoryTree tree("Carina");
        tree.global(c.name, 0x10);
        MapModel model;
        tessaly::DetectCpuFamily(model, &tree.root);
        std::ostringstream out;
        tessaly::writeTablesJson(model, out);
        EXPECT_NE(out.str().find(std::string("\"name\": ") + c.json + ", \"value\": 16}"), std::string::npos)
            << out.str();
    }
}

TEST(TablesDump, GrusAddressesHaveEightDigits)
{
    MemoryTree tree("Grus");
    tree.section("BIG", 0x80000000, 0x1000);
    MapModel model;
    tessaly::DetectCpuFamily(model, &tree.root);
    std::ostringstream out;
    tessaly::writeTablesText(model, out);
    const std::string text = out.str();
    EXPECT_NE(text.find("max address: ffffffff\n"), std::string::npos);
    EXPECT_NE(text.find("  [0] 00000000 80000000 normal (free)"), std::string::npos) << text;
    EXPECT_NE(text.find("  [1] 80000000 00001000 normal section BIG"), std::string::npos) << text;
    EXPECT_NE(text.find("  [2] 80001000 7fffefff normal (free)"), std::string::npos) << text;

    std::ostringstream json;
    tessaly::writeTablesJson(model, json);
    EXPECT_NE(json.str().find("\"cpuFamily\": \"CpuGrus\",\n  \"maxAddress\": 4294967295,\n  \"addressDigits\": 8,"),
        std::string::npos);
}

// The dump of a file read by the reader, as orvik-dump --tables shows it.
TEST(TablesDump, FileReadThroughTheDocument)
{
    class QuietHost : public tessaly::DocumentHost {
    public:
        std::optional<std::string> runOpenFileDialog(const std::string&) override { return std::nullopt; }
        void showMessage(const std::string&) override { }
        void setTitle(const std::string&) override { }
        void setModifiedFlag(bool) override { }
        bool runOptionsDialog(tessaly::OptionsValues&) override { return false; }
        void updateAllViews() override { }
        void repaintAllViews() override { }
    } host;
    MapModel model;
    tessaly::MapDocument document(model, host);
    tessaly::testing::TempFile file(tessaly::testing::smallProgram("Dorado"));
    document.OpenCommandLineFile(file.pathString());
    ASSERT_TRUE(model.FileLoaded);

    std::ostringstream text;
    tessaly::writeTablesText(model, text);
    EXPECT_NE(text.str().find("  [1] 001000 000100 normal section CODE labels=2G+1L@0 equs=0G+0L@-1 functions=1@0 "
                              "moduleSections=1\n"),
        std::string::npos)
        << text.str();
    EXPECT_NE(text.str().find("  [0] 001010 000020 resolved func link _f source main.c\n"), std::string::npos)
        << text.str();

    std::ostringstream json;
    tessaly::writeTablesJson(model, json);
    EXPECT_NE(
        json.str().find("{\"start\": 4096, \"size\": 64, \"kind\": 1, \"section\": \"CODE\", \"module\": \"mod\", "
                        "\"free\": false"),
        std::string::npos)
        << json.str();
    EXPECT_NE(json.str().find("{\"scope\": \"G\", \"name\": \"LIMIT\", \"value\": 64}"), std::string::npos);
}

} // namespace
