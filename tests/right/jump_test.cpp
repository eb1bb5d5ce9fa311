// jump_test.cpp: JumpToAddress's top line: inside a section, free areas, omitted entries, the last page, an empty
// table.
#include "right/jump.hpp"
#include "right/right_scroll.hpp"
#include "right_fixtures.hpp"

#include <gtest/gtest.h>
#include <string>

namespace {

using namespace tessaly;
using tessaly::testing::BuiltModel;
using tessaly::testing::sectionNamed;

// A 0x1000+0x100 with three labels, Z 0x1080+0 (inside A, omitted by default), B 0x2000+0x200
// with 40 labels; free areas around them. Normal-mode lines: free 1, A 2..5, Z (0 rows, 6),
// free 6, B 7..47, free 48; line count 49.
struct JumpProgram {
    BuiltModel built;
    std::vector<std::string> names;

    JumpProgram()
    {
        IeSection* a = built.section("A", 0x1000, 0x100);
        IeSection* z = built.section("Z", 0x1080, 0);
        IeSection* b = built.section("B", 0x2000, 0x200, kSectionTypeData);
        IeModule* mod = built.tree->module("m");
        built.tree->part(mod, a, 0x1000, 0x100);
        built.tree->part(mod, z, 0x1080, 0);
        built.tree->part(mod, b, 0x2000, 0x200);
        names.reserve(43);
        for (int i = 0; i < 3; ++i)
            built.tree->global(names.emplace_back("a" + std::to_string(i)).c_str(), 0x1000 + 4u * i);
        for (int i = 0; i < 40; ++i)
            built.tree->global(names.emplace_back("b" + std::to_string(100 + i)).c_str(), 0x2000 + 4u * i);
        built.build();
    }
};

TEST(JumpTopLine, ChoosesTheBlockThatHoldsTheAddress)
{
    struct Case {
        const char* label;
        bool local;
        bool omit;
        uint32_t address;
        int32_t topLine;
    };
    const Case cases[] = {
        { "below every section: the first free area", false, true, 0x10, 1 },
        { "start of A", false, true, 0x1000, 2 },
        { "inside A", false, true, 0x1050, 2 },
        { "onto omitted Z: the next shown block", false, true, 0x1090, 6 },
        { "Z listed", false, false, 0x1090, 6 },
        { "free area after A", false, true, 0x1800, 6 },
        { "inside B", false, true, 0x2100, 7 },
        { "top of the space", false, true, 0xFFFFFFFF, 48 },
        { "local: inside A's part", true, true, 0x1050, 2 },
        { "local: onto omitted Z's part", true, true, 0x1090, 6 },
        { "local: Z's part listed", true, false, 0x1090, 6 },
        { "local: inside B's part", true, true, 0x2100, 7 },
    };
    JumpProgram program;
    MapModel& model = *program.built.model;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        model.ShowLocalInformation = c.local;
        model.OmitZeroSizeSections = c.omit;
        NumberRows(model);
        EXPECT_EQ(JumpTopLine(model, c.address), c.topLine);
    }
}

TEST(JumpTopLine, LastPageIsBroughtDownByTheBarRefresh)
{
    JumpProgram program;
    MapModel& model = *program.built.model;
    const int32_t lineCount = NumberRows(model).lineCount;
    ASSERT_EQ(lineCount, 49);
    ASSERT_EQ(sectionNamed(model, "B").startLine, 7);
    struct Case {
        int32_t rows;
        uint32_t address;
        int32_t topLine;
    };
    const Case cases[] = {
        { 11, 0x2100, 7 }, // B's first row at the top
        { 11, 0x3000, 39 }, // the last free area: the last page instead (49 − 11 + 1)
        { 60, 0x2100, 1 }, // everything fits
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << std::hex << c.address << " in " << std::dec << c.rows << " rows");
        int32_t top = JumpTopLine(model, c.address);
        RefreshVertBar(lineCount, c.rows, top);
        EXPECT_EQ(top, c.topLine);
    }
}

TEST(JumpTopLine, EmptyTableShowsLineOne)
{
    for (bool local : { false, true }) {
        SCOPED_TRACE(local);
        BuiltModel built;
        MapModel& model = built.build();
        model.ShowLocalInformation = local;
        NumberRows(model);
        EXPECT_EQ(JumpTopLine(model, 0x1234), 1);
    }
}

} // namespace
