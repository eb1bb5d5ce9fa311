// visible_rows_test.cpp: the rows a paint draws: blocks, first rows, red addresses, the closing edge and item cells.
#include "right/visible_rows.hpp"
#include "right_fixtures.hpp"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using namespace tessaly;
using tessaly::testing::BuiltModel;
using tessaly::testing::sectionIndex;

// "F3" a block's first row for entry 3, "-3" a row inside it, "." a row below the last block.
std::vector<std::string> describe(const SectionColumnPlan& plan)
{
    std::vector<std::string> rows;
    for (const SectionRow& row : plan.rows) {
        if (row.entry < 0)
            rows.push_back(".");
        else
            rows.push_back((row.firstRow ? (row.red ? "R" : "F") : "-") + std::to_string(row.entry));
    }
    return rows;
}

TEST(PlanSectionColumn, WorkedExampleFromAnyTopLine)
{
    // All lists on: free 1, CODE 2..7, free 8; line count 9.
    BuiltModel built;
    tessaly::testing::addWorkedExample(built);
    MapModel& model = built.build();
    model.ShowEquList = true;
    model.ShowFunctionList = true;
    const ListRows rows = NumberRows(model);
    ASSERT_EQ(rows.lineCount, 9);

    struct Case {
        int32_t topLine;
        int32_t rowCount;
        std::vector<std::string> rows;
        uint32_t topAddress;
        int32_t closeRow;
    };
    const Case cases[] = {
        { 1, 10, { "F0", "F1", "-1", "-1", "-1", "-1", "-1", "F2", ".", "." }, 0, 8 },
        { 4, 6, { "-1", "-1", "-1", "-1", "F2", "." }, 0x1000, 5 },
        { 8, 3, { "F2", ".", "." }, 0x1100, 1 },
        { 2, 3, { "F1", "-1", "-1" }, 0x1000, -1 }, // the pane ends inside the block: no closing edge
        { 1, 8, { "F0", "F1", "-1", "-1", "-1", "-1", "-1", "F2" }, 0, -1 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "top " << c.topLine << ", " << c.rowCount << " rows");
        const SectionColumnPlan plan = PlanSectionColumn(model, c.topLine, c.rowCount);
        EXPECT_EQ(describe(plan), c.rows);
        EXPECT_TRUE(plan.hasTopAddress);
        EXPECT_EQ(plan.topAddress, c.topAddress);
        EXPECT_EQ(plan.closeRow, c.closeRow);
        ASSERT_EQ(plan.rows.size(), static_cast<size_t>(c.rowCount));
        for (int32_t r = 0; r < c.rowCount; ++r)
            EXPECT_EQ(plan.rows[static_cast<size_t>(r)].line, c.topLine + r);
    }
    EXPECT_FALSE(PlanSectionColumn(model, 9, 2).hasTopAddress);
}

TEST(PlanSectionColumn, RedAddressesSeenWithinOnePaint)
{
    // A 0x1000+0x100, OVL 0x1080+0x100 overlaps it; TOP ends exactly at MaxAddress + 1 (black),
    // OVER one byte further (red). Carina: MaxAddress 0xFFFFFF.
    BuiltModel built;
    built.section("A", 0x1000, 0x100);
    built.section("OVL", 0x1080, 0x100);
    built.section("TOP", 0xFFFF00, 0x100);
    built.section("OVER", 0xFFFFF0, 0x11, kSectionTypeData);
    MapModel& model = built.build();
    NumberRows(model);
    const int32_t a = sectionIndex(model, "A");
    const int32_t ovl = sectionIndex(model, "OVL");
    const int32_t top = sectionIndex(model, "TOP");
    const int32_t over = sectionIndex(model, "OVER");

    struct Case {
        const char* label;
        int32_t topEntry; // the paint starts at this entry's first row
        int32_t entry;
        bool red;
    };
    const Case cases[] = {
        { "A", a, a, false },
        { "OVL below A's end", a, ovl, true },
        { "OVL at the top: the overlap is not seen", ovl, ovl, false },
        { "TOP ends at MaxAddress + 1", top, top, false },
        { "OVER ends above it", top, over, true },
        { "OVER at the top: still outside the space", over, over, true },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        const int32_t topLine = model.SectionTable[static_cast<size_t>(c.topEntry)].startLine;
        const SectionColumnPlan plan = PlanSectionColumn(model, topLine, 20);
        bool seen = false;
        for (const SectionRow& row : plan.rows)
            if (row.firstRow && row.entry == c.entry) {
                seen = true;
                EXPECT_EQ(row.red, c.red);
            }
        EXPECT_TRUE(seen);
    }
}

TEST(PlanSectionColumn, OmittedEntriesGetNoRow)
{
    BuiltModel built;
    built.section("A", 0x1000, 0x100);
    built.section("Z1", 0x1100, 0, kSectionTypeData);
    built.section("Z2", 0x1100, 0, kSectionTypeRom);
    built.section("B", 0x1100, 0x100);
    built.section("ZEND", 0xFFFFFF, 0, kSectionTypeData);
    MapModel& model = built.build();
    struct Case {
        const char* label;
        bool omit;
        bool local;
        std::vector<std::string> names; // section names of the first rows, "" for free areas
    };
    const Case cases[] = {
        { "omitted", true, false, { "", "A", "B", "" } },
        { "listed", false, false, { "", "A", "Z1", "Z2", "B", "", "ZEND" } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        model.OmitZeroSizeSections = c.omit;
        model.ShowLocalInformation = c.local;
        const ListRows rows = NumberRows(model);
        std::vector<std::string> names;
        const SectionColumnPlan plan = PlanSectionColumn(model, 1, rows.lineCount + 2);
        for (const SectionRow& row : plan.rows)
            if (row.firstRow) {
                const char* name = model.SectionTable[static_cast<size_t>(row.entry)].record->name;
                names.push_back(name ? name : "");
            }
        EXPECT_EQ(names, c.names);
        EXPECT_EQ(plan.closeRow, rows.lineCount - 1);
        // Every line's owner agrees with the block search.
        for (const SectionRow& row : plan.rows)
            EXPECT_EQ(BlockAtLine(model, row.line), row.entry);
    }
}

TEST(PlanItemColumn, CellsOfTheVisibleRows)
{
    BuiltModel built;
    tessaly::testing::addWorkedExample(built);
    MapModel& model = built.build();
    model.ShowEquList = true;
    model.ShowFunctionList = true;
    const ListRows rows = NumberRows(model); // CODE on lines 2..7

    struct Case {
        const char* label;
        int32_t topLine;
        int32_t rowCount;
        std::vector<int32_t> labels;
        std::vector<int32_t> equs;
        std::vector<int32_t> functions;
    };
    const Case cases[] = {
        { "from the top", 1, 5, { -1, 0, 1, 2, -1 }, { -1, 0, 1, -1, -1 }, { -1, 0, 1, 2, 3 } },
        { "inside the block", 4, 4, { 2, -1, -1, -1 }, { -1, -1, -1, -1 }, { 2, 3, 4, -1 } },
        { "below the list", 20, 3, { -1, -1, -1 }, { -1, -1, -1 }, { -1, -1, -1 } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(PlanItemColumn(model.LabelTable, rows.labels, c.topLine, c.rowCount), c.labels);
        EXPECT_EQ(PlanItemColumn(model.EquTable, rows.equs, c.topLine, c.rowCount), c.equs);
        EXPECT_EQ(PlanItemColumn(model.FunctionTable, rows.functions, c.topLine, c.rowCount), c.functions);
    }
}

} // namespace
