// right_layout_test.cpp: row numbering in both modes, column widths, re-stacking and border hits.
#include "right/right_layout.hpp"
#include "right_fixtures.hpp"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using namespace tessaly;
using tessaly::testing::BuiltModel;
using tessaly::testing::sectionNamed;

struct Options {
    bool local;
    bool equ;
    bool functions;
};

void apply(MapModel& model, Options o)
{
    model.ShowLocalInformation = o.local;
    model.ShowEquList = o.equ;
    model.ShowFunctionList = o.functions;
}

TEST(NumberRows, WorkedExampleBlockSizes)
{
    struct Case {
        const char* label;
        Options options;
        int32_t blockRows;
        std::vector<int32_t> labelRows; // start, loop, done, inner: row within the block, −1 none
        std::vector<int32_t> equRows; // LIMIT, COUNT (by value)
        int32_t functionRows; // functions numbered 0..n−1 in the block, or 0 when not listed
    };
    const Case cases[] = {
        { "labels only", { false, false, false }, 4, { 0, 1, 2, -1 }, { -1, -1 }, 0 },
        { ".EQU list", { false, true, false }, 4, { 0, 1, 2, -1 }, { 0, 1 }, 0 },
        { "functions", { false, false, true }, 6, { 0, 1, 2, -1 }, { -1, -1 }, 5 },
        { "all lists", { false, true, true }, 6, { 0, 1, 2, -1 }, { 0, 1 }, 5 },
        { "local, labels only", { true, false, false }, 5, { 0, 1, 2, 3 }, { -1, -1 }, 0 },
        { "local, all lists", { true, true, true }, 6, { 0, 1, 2, 3 }, { 0, 1 }, 5 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        BuiltModel built;
        tessaly::testing::addWorkedExample(built);
        MapModel& model = built.build();
        apply(model, c.options);
        const ListRows rows = NumberRows(model);

        int32_t start = 0;
        int32_t count = 0;
        if (c.options.local) {
            ASSERT_EQ(model.ModuleSectionTable.size(), 3u); // free, the part, free
            start = model.ModuleSectionTable[1].startLine;
            count = model.ModuleSectionTable[1].lineCount;
        } else {
            const SectionEntry& code = sectionNamed(model, "CODE");
            start = code.startLine;
            count = code.lineCount;
        }
        EXPECT_EQ(start, 2); // the free area below 0x1000 takes line 1
        EXPECT_EQ(count, c.blockRows);
        EXPECT_EQ(rows.lineCount, 2 + c.blockRows + 1); // one free area after it

        // LabelTable by value: start, loop, done, inner.
        ASSERT_EQ(model.LabelTable.size(), 4u);
        for (size_t k = 0; k < 4; ++k) {
            SCOPED_TRACE(model.LabelTable[k].name);
            const int32_t expected = c.labelRows[k] < 0 ? -1 : start + c.labelRows[k];
            EXPECT_EQ(model.LabelTable[k].line, expected);
        }
        ASSERT_EQ(model.EquTable.size(), 2u);
        for (size_t k = 0; k < 2; ++k)
            EXPECT_EQ(model.EquTable[k].line, c.equRows[k] < 0 ? -1 : start + c.equRows[k]);
        ASSERT_EQ(model.FunctionTable.size(), 5u);
        for (size_t k = 0; k < 5; ++k)
            EXPECT_EQ(model.FunctionTable[k].line, c.functionRows ? start + static_cast<int32_t>(k) : -1);
        EXPECT_EQ(rows.labels.size(), c.options.local ? 4u : 3u);
        EXPECT_EQ(rows.functions.size(), static_cast<size_t>(c.functionRows));
    }
}

TEST(NumberRows, EmptyAndZeroSizeSections)
{
    struct Case {
        const char* label;
        bool omit;
        bool local;
        int32_t zeroStart; // startLine of the size-0 section (or its module section)
        int32_t zeroCount;
        int32_t labelLine; // the label in NEXT
        int32_t afterStart; // startLine of NEXT, the section after it
        int32_t lineCount;
    };
    // Sections: EMPTY 0x100+0x10 (nothing in it), ZERO 0x200+0, NEXT 0x200+0x10 with one label.
    // Free areas: [0,0x100), [0x110,0x200), [0x210,Max). Lines: free 1, EMPTY 2, free 3, then
    // ZERO (one row when listed, none when omitted), NEXT (two rows), free.
    const Case cases[] = {
        { "omitted", true, false, 4, 0, 4, 4, 7 },
        { "listed", false, false, 4, 1, 5, 5, 8 },
        { "local, omitted", true, true, 4, 0, 4, 4, 7 },
        { "local, listed", false, true, 4, 1, 5, 5, 8 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        BuiltModel built;
        built.section("EMPTY", 0x100, 0x10, kSectionTypeData);
        IeSection* zero = built.section("ZERO", 0x200, 0, kSectionTypeData);
        IeSection* next = built.section("NEXT", 0x200, 0x10, kSectionTypeRom);
        IeModule* mod = built.tree->module("m");
        built.tree->part(mod, built.tree->root.sections, 0x100, 0x10);
        built.tree->part(mod, zero, 0x200, 0);
        built.tree->part(mod, next, 0x200, 0x10);
        built.tree->global("inNext", 0x204);
        MapModel& model = built.build();
        model.OmitZeroSizeSections = c.omit;
        model.ShowLocalInformation = c.local;
        const ListRows rows = NumberRows(model);

        EXPECT_EQ(rows.lineCount, c.lineCount);
        if (c.local) {
            ASSERT_EQ(model.ModuleSectionTable.size(), 6u);
            EXPECT_EQ(model.ModuleSectionTable[1].lineCount, 1); // the empty part
            EXPECT_EQ(model.ModuleSectionTable[3].startLine, c.zeroStart);
            EXPECT_EQ(model.ModuleSectionTable[3].lineCount, c.zeroCount);
            EXPECT_EQ(model.ModuleSectionTable[4].startLine, c.afterStart);
        } else {
            EXPECT_EQ(sectionNamed(model, "EMPTY").startLine, 2);
            EXPECT_EQ(sectionNamed(model, "EMPTY").lineCount, 1);
            EXPECT_EQ(sectionNamed(model, "ZERO").startLine, c.zeroStart);
            EXPECT_EQ(sectionNamed(model, "ZERO").lineCount, c.zeroCount);
            EXPECT_EQ(sectionNamed(model, "NEXT").startLine, c.afterStart);
        }
        EXPECT_EQ(model.LabelTable.at(0).line, c.labelLine);
    }
}

TEST(NumberRows, LinesFromAnEarlierLayoutDoNotSurvive)
{
    BuiltModel built;
    tessaly::testing::addWorkedExample(built);
    MapModel& model = built.build();
    apply(model, { true, true, true });
    NumberRows(model);
    ASSERT_GT(model.LabelTable[3].line, 0); // the local label is listed in local mode
    ASSERT_GT(model.FunctionTable[0].line, 0);

    apply(model, { false, false, false });
    const ListRows rows = NumberRows(model);
    EXPECT_EQ(model.LabelTable[3].line, -1);
    for (const SymbolEntry& equ : model.EquTable)
        EXPECT_EQ(equ.line, -1);
    for (const FunctionEntry& function : model.FunctionTable)
        EXPECT_EQ(function.line, -1);
    EXPECT_TRUE(rows.equs.empty());
    EXPECT_TRUE(rows.functions.empty());
}

TEST(NumberRows, EmptyProgramHasOnlyLineCountOne)
{
    BuiltModel built;
    MapModel& model = built.build();
    EXPECT_EQ(NumberRows(model).lineCount, 1);
}

TEST(ColumnWidths, FromNameWidthsAndDigits)
{
    struct Case {
        const char* label;
        int32_t digits;
        Options options;
        std::array<int32_t, 6> names; // module, section, function file, function, .EQU, label
        std::array<int32_t, 5> widthChars; // widths / cw, Section without its extra 2 pixels
    };
    const int32_t cw = 7;
    const Case cases[] = {
        { "6 digits", 6, { false, false, false }, { 3, 5, 6, 4, 5, 10 }, { 15, 10, 22, 0, 0 } },
        { "8 digits", 8, { false, false, false }, { 3, 5, 6, 4, 5, 10 }, { 19, 10, 24, 0, 0 } },
        { "short names", 6, { false, false, false }, { 0, 2, 0, 0, 0, 0 }, { 15, 8, 12, 0, 0 } },
        { "all lists", 6, { false, true, true }, { 3, 5, 6, 4, 5, 10 }, { 15, 10, 22, 17, 31 } },
        { "all lists, 8", 8, { false, true, true }, { 3, 5, 6, 4, 5, 10 }, { 19, 10, 24, 19, 35 } },
        { "local", 6, { true, false, false }, { 3, 5, 6, 4, 5, 10 }, { 15, 16, 22, 0, 0 } },
        { "local, short", 6, { true, false, false }, { 1, 2, 0, 0, 0, 0 }, { 15, 16, 12, 0, 0 } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        MapModel model;
        model.AddressDigits = c.digits;
        apply(model, c.options);
        for (size_t i = 0; i < 6; ++i)
            model.NameWidths[i] = c.names[i];
        const auto widths = ColumnWidths(model, cw);
        EXPECT_EQ(widths[0], c.widthChars[0] * cw);
        EXPECT_EQ(widths[1], c.widthChars[1] * cw + 2);
        EXPECT_EQ(widths[2], c.widthChars[2] * cw);
        EXPECT_EQ(widths[3], c.widthChars[3] * cw);
        EXPECT_EQ(widths[4], c.widthChars[4] * cw);
    }
}

TEST(ColumnHeaderText, ByDigitsAndMode)
{
    struct Case {
        int column;
        int32_t digits;
        bool local;
        const char* text;
    };
    const Case cases[] = {
        { ColumnAddress, 6, false, "Address(size)" },
        { ColumnAddress, 8, false, " Address(  size  )" },
        { ColumnSection, 6, false, "Section" },
        { ColumnSection, 6, true, "Section(Module)" },
        { ColumnLabel, 8, true, "Label:" },
        { ColumnEqu, 6, false, ".EQU" },
        { ColumnFunction, 6, false, "Function(size)" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(std::string(ColumnHeaderText(c.column, c.digits, c.local)), c.text);
    }
}

TEST(LayoutColumns, SideBySideWithEmptyColumnsCollapsed)
{
    struct Case {
        const char* label;
        std::vector<int32_t> widths;
        std::array<int32_t, 5> lefts;
    };
    const Case cases[] = {
        { "all shown", { 10, 20, 30, 40, 50 }, { 0, 10, 30, 60, 100 } },
        { ".EQU off", { 10, 20, 30, 0, 50 }, { 0, 10, 30, 60, 60 } },
        { "both off", { 10, 20, 30, 0, 0 }, { 0, 10, 30, 60, 60 } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        ColumnTable columns;
        LayoutColumns(columns, c.widths);
        for (size_t i = 0; i < 5; ++i) {
            EXPECT_EQ(columns[i].nLeft, c.lefts[i]);
            EXPECT_EQ(columns[i].nRight, c.lefts[i] + c.widths[i]);
            EXPECT_EQ(columns[i].nDragX, columns[i].nRight);
            EXPECT_EQ(columns[i].nWidthPx, c.widths[i]);
        }
    }
}

TEST(RestackColumns, AfterDragsAndWithEquOff)
{
    struct Case {
        const char* label;
        std::vector<int32_t> widths;
        int dragged;
        int32_t barX;
        bool showEqu;
        std::array<int32_t, 5> lefts;
        std::array<int32_t, 5> rights;
    };
    const Case cases[] = {
        { "Address wider", { 10, 20, 30, 40, 50 }, ColumnAddress, 25, true, { 0, 25, 45, 75, 115 },
            { 25, 45, 75, 115, 165 } },
        { "Label narrower", { 10, 20, 30, 40, 50 }, ColumnLabel, 40, true, { 0, 10, 30, 40, 80 },
            { 10, 30, 40, 80, 130 } },
        { ".EQU off: Function follows Label", { 10, 20, 30, 0, 50 }, ColumnSection, 40, false, { 0, 10, 40, 70, 70 },
            { 10, 40, 70, 70, 120 } },
        { ".EQU hidden but sized", { 10, 20, 30, 40, 50 }, ColumnLabel, 70, false, { 0, 10, 30, 70, 70 },
            { 10, 30, 70, 110, 120 } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        ColumnTable columns;
        LayoutColumns(columns, c.widths);
        FinishDrag(columns, c.dragged, c.barX, 0);
        RestackColumns(columns, c.showEqu);
        for (size_t i = 0; i < 5; ++i) {
            SCOPED_TRACE(i + 1);
            EXPECT_EQ(columns[i].nLeft, c.lefts[i]);
            EXPECT_EQ(columns[i].nRight, c.rights[i]);
        }
    }
}

TEST(ColumnDrag, BorderHitsClampAndFinish)
{
    MapModel model;
    model.ShowEquList = false;
    model.ShowFunctionList = true;
    ColumnTable columns;
    LayoutColumns(columns, { 100, 50, 80, 0, 60 });
    // Borders at 100, 150, 230, 230 (.EQU, hidden), 290; header row is y < 16.
    struct Case {
        int32_t scrollPx;
        int32_t x;
        int32_t y;
        bool onlyShown;
        int hit;
    };
    const Case cases[] = {
        { 0, 100, 0, true, ColumnAddress },
        { 0, 99, 15, true, ColumnAddress },
        { 0, 101, 5, true, ColumnAddress },
        { 0, 98, 5, true, ColumnNone }, // two pixels off
        { 0, 102, 5, true, ColumnNone },
        { 0, 100, 16, true, ColumnNone }, // below the header
        { 0, 151, 5, true, ColumnSection },
        { 0, 230, 5, true, ColumnLabel },
        { 0, 290, 5, true, ColumnFunction },
        { 0, 289, 5, false, ColumnFunction },
        { 70, 30, 5, true, ColumnAddress }, // scrolled by 70 pixels
        { 70, 100, 5, true, ColumnNone },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "x " << c.x << " y " << c.y << " scroll " << c.scrollPx);
        EXPECT_EQ(HitColumnBorder(columns, model, c.scrollPx, 16, c.x, c.y, c.onlyShown), c.hit);
    }

    struct Clamp {
        int column;
        int32_t scrollPx;
        int32_t x;
        int32_t expected;
    };
    const Clamp clamps[] = {
        { ColumnAddress, 0, -40, 3 },
        { ColumnAddress, 0, 50, 50 },
        { ColumnLabel, 0, 100, 153 },
        { ColumnLabel, 0, 153, 153 },
        { ColumnLabel, 20, 100, 133 },
    };
    for (const Clamp& c : clamps) {
        SCOPED_TRACE(::testing::Message() << "column " << c.column << " x " << c.x);
        EXPECT_EQ(ClampDragX(columns, c.column, c.scrollPx, c.x), c.expected);
    }

    FinishDrag(columns, ColumnLabel, 133, 20);
    EXPECT_EQ(column(columns, ColumnLabel).nRight, 153);
    EXPECT_EQ(column(columns, ColumnLabel).nDragX, 153);
    EXPECT_EQ(column(columns, ColumnLabel).nWidthPx, 3);
}

} // namespace
