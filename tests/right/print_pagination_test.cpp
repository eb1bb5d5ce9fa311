// print_pagination_test.cpp: print font, lines per page, page count, frame, print columns and the blocks of each page.
#include "right/cell_text.hpp"
#include "right/print_pagination.hpp"
#include "right_fixtures.hpp"

#include <array>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using namespace tessaly;
using tessaly::testing::BuiltModel;
using tessaly::testing::sectionIndex;

// "A:1-4" a part of section A on rows 1 to 4 that starts there, "A:0-3+" a continuation,
// "!" after the name when the address is red; "" names a free area.
std::vector<std::string> describe(const MapModel& model, const PrintedPage& page)
{
    std::vector<std::string> parts;
    for (const PrintPart& part : page.parts) {
        const char* name = model.ShowLocalInformation
            ? (model.ModuleSectionTable[static_cast<size_t>(part.entry)].record->section
                    ? model.ModuleSectionTable[static_cast<size_t>(part.entry)].record->section->name
                    : "")
            : model.SectionTable[static_cast<size_t>(part.entry)].record->name;
        std::string text = name ? name : "";
        if (part.red)
            text += "!";
        text += ":" + std::to_string(part.row0) + "-" + std::to_string(part.row1);
        if (!part.blockStarts)
            text += "+";
        parts.push_back(text);
    }
    return parts;
}

// Names of the items printed per row of a page, "" for an empty row.
std::vector<std::string> itemNames(const std::vector<SymbolEntry>& table, const std::vector<int32_t>& rows)
{
    std::vector<std::string> names;
    for (int32_t index : rows)
        names.push_back(index < 0 ? "" : table[static_cast<size_t>(index)].name);
    return names;
}

// A (0x000, 0x100) with labels a0..a4: lines 1-6; B (0x100, 0x100) with b0, b1: lines 7-9; the
// free area above it: line 10. Line count 11.
struct ThreeBlocks : BuiltModel {
    ThreeBlocks()
    {
        section("A", 0x000, 0x100);
        section("B", 0x100, 0x100);
        for (const char* name : { "a0", "a1", "a2", "a3", "a4" })
            tree->global(name, 0x10 * static_cast<uint32_t>(name[1] - '0'));
        tree->global("b0", 0x100);
        tree->global("b1", 0x110);
    }
};

TEST(PrintFontHeight, ScalesPointsToPrinterDots)
{
    struct Case {
        int32_t screen;
        int32_t dpi;
        int32_t expected;
    };
    const Case cases[] = {
        { 14, 600, -117 }, // 116.67 rounds up
        { 14, 300, -58 }, // 58.33 rounds down
        { 14, 1200, -233 },
        { -14, 600, -117 }, // a character height scales by its size too
        { 10, 108, -15 }, // exact
        { 1, 36, -1 }, // half rounds away from zero
        { 14, 0, 0 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.screen << " at " << c.dpi << " dpi");
        EXPECT_EQ(PrintFontHeight(c.screen, c.dpi), c.expected);
    }
}

TEST(PrintLinesPerPage, FourLinesGoToHeaderAndFooter)
{
    struct Case {
        int32_t pageHeight;
        int32_t lineHeight;
        int32_t expected;
    };
    const Case cases[] = {
        { 6600, 110, 56 },
        { 6650, 110, 56 }, // a partial line does not count
        { 550, 110, 1 }, // five lines: one for the body
        { 440, 110, 1 }, // four lines or fewer: still one line per page
        { 100, 110, 1 },
        { 6600, 0, 1 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.pageHeight << " / " << c.lineHeight);
        EXPECT_EQ(PrintLinesPerPage(c.pageHeight, c.lineHeight), c.expected);
    }
}

TEST(PrintMaxPage, LinesInPagesRoundedUp)
{
    struct Case {
        bool loaded;
        int32_t lineCount;
        int32_t linesPerPage;
        int32_t expected;
    };
    const Case cases[] = {
        { true, 11, 11, 1 }, // exactly P lines: one page
        { true, 12, 11, 2 }, // one more: two
        { true, 11, 4, 3 }, { true, 1, 56, 1 }, // a list with no blocks still prints its column headers
        { false, 11, 4, 0 }, { true, 5, 0, 5 }, // no room at all: a line per page
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.lineCount << " lines, " << c.linesPerPage << " per page");
        EXPECT_EQ(PrintMaxPage(c.loaded, c.lineCount, c.linesPerPage), c.expected);
    }
}

TEST(PrintTexts, HeaderAndFooter)
{
    EXPECT_EQ(PrintHeaderText("/tmp/a b.xqa"), "File: /tmp/a b.xqa");
    EXPECT_EQ(PrintHeaderText(""), "File: ");
    struct Case {
        int32_t page;
        int32_t maxPage;
        const char* text;
    };
    const Case cases[] = { { 1, 1, "Page 1 of 1" }, { 2, 3, "Page 2 of 3" }, { 12, 140, "Page 12 of 140" } };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(PrintFooterText(c.page, c.maxPage), c.text);
    }
}

TEST(PrintFrameFor, HeaderAndFooterTakeTwoLinesEach)
{
    struct Case {
        int32_t top, bottom, cy;
        PrintFrame frame;
    };
    const Case cases[] = {
        { 0, 1000, 20, { 0, 30, 40, 970, 980, 960 } },
        { 50, 1000, 21, { 50, 82, 92, 968, 979, 958 } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.top << ".." << c.bottom << " cy " << c.cy);
        const PrintFrame f = PrintFrameFor(c.top, c.bottom, c.cy);
        EXPECT_EQ(f.headerTextY, c.frame.headerTextY);
        EXPECT_EQ(f.headerRuleY, c.frame.headerRuleY);
        EXPECT_EQ(f.bodyTop, c.frame.bodyTop);
        EXPECT_EQ(f.footerRuleY, c.frame.footerRuleY);
        EXPECT_EQ(f.footerTextY, c.frame.footerTextY);
        EXPECT_EQ(f.bodyBottom, c.frame.bodyBottom);
    }
}

TEST(PrintColumnPositions, FollowNameWidthsOnly)
{
    // S 10, M 6, NL 12, NE 5; the screen's dragged columns play no part (there is no input for them).
    struct Case {
        const char* label;
        int32_t digits;
        bool local;
        bool equ;
        PrintColumns columns; // in characters (cw = 1)
    };
    const Case cases[] = {
        // W = max(14, 7) = 14: section 15..29, label 30, .EQU 14+12+18+11 = 55, function 55+1.
        { "6 digits", 6, false, false, { 0, 15, 29, 30, 55, 56 } },
        { "6 digits, .EQU", 6, false, true, { 0, 15, 29, 30, 55, 55 + 5 + 6 + 7 } },
        // W = max(10+6+6, 15) = 22.
        { "local", 6, true, false, { 0, 15, 37, 38, 63, 64 } },
        // d = 8: section from 19, W 14; .EQU 14+12+24+11 = 61.
        { "8 digits, .EQU", 8, false, true, { 0, 19, 33, 34, 61, 61 + 5 + 8 + 7 } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        for (int32_t cw : { 1, 7 }) {
            MapModel model;
            model.AddressDigits = c.digits;
            model.NameWidths[NameWidthSection] = 10;
            model.NameWidths[NameWidthModule] = 6;
            model.NameWidths[NameWidthLabel] = 12;
            model.NameWidths[NameWidthEqu] = 5;
            model.ShowLocalInformation = c.local;
            model.ShowEquList = c.equ;
            const PrintColumns p = PrintColumnPositions(model, cw);
            EXPECT_EQ(p.address, 0);
            EXPECT_EQ(p.sectionLeft, c.columns.sectionLeft * cw);
            EXPECT_EQ(p.sectionRight, c.columns.sectionRight * cw);
            EXPECT_EQ(p.label, c.columns.label * cw);
            EXPECT_EQ(p.equ, c.columns.equ * cw);
            EXPECT_EQ(p.function, c.columns.function * cw);
        }
    }
}

TEST(PrintColumnPositions, ShortNamesKeepTheHeaderWidths)
{
    MapModel model;
    model.AddressDigits = 6;
    EXPECT_EQ(PrintColumnPositions(model, 1).sectionRight, 15 + 7); // "Section"
    model.ShowLocalInformation = true;
    EXPECT_EQ(PrintColumnPositions(model, 1).sectionRight, 15 + 15); // "Section(Module)"
}

TEST(PrintLineChars, WidestTextOfTheShownColumns)
{
    struct Case {
        const char* label;
        std::array<int32_t, NameWidthCount> widths; // module, section, file, function, .EQU, label
        bool equ, functions;
        int32_t chars;
    };
    const Case cases[] = {
        // Label x 30, "[G] 123456:" and 12 characters.
        { "labels", { 6, 10, 9, 7, 5, 12 }, false, false, 53 },
        // .EQU x 55 and 5 + 6 + 5.
        { ".EQU", { 6, 10, 9, 7, 5, 12 }, true, false, 71 },
        // Function x 56 and "[F] 123456(123456):" + 7 + "(" + 9 + ")".
        { "functions", { 6, 10, 9, 7, 5, 12 }, false, true, 93 },
        // No names at all: the headers "Label:" and "Function(size)" still count.
        { "no names", { 0, 0, 0, 0, 0, 0 }, false, false, 34 },
        { "no names, functions", { 0, 0, 0, 0, 0, 0 }, false, true, 58 },
        // Cells cut names at kMaxCellName.
        { "huge label", { 0, 0, 0, 0, 0, 5000 }, false, false, 23 + 11 + static_cast<int32_t>(kMaxCellName) },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        MapModel model;
        model.AddressDigits = 6;
        model.NameWidths = c.widths;
        model.ShowEquList = c.equ;
        model.ShowFunctionList = c.functions;
        EXPECT_EQ(PrintLineChars(model), c.chars);
    }
}

TEST(PrintColumnHeaders, TextsAndPlaces)
{
    struct Case {
        const char* label;
        int32_t digits;
        bool local, equ, functions;
        std::vector<std::string> texts;
    };
    const Case cases[] = {
        { "plain", 6, false, false, false, { "Address(size)", "Section", "Label:" } },
        { "everything", 6, true, true, true,
            { "Address(size)", "Section(Module)", "Label:", ".EQU", "Function(size)" } },
        { "8 digits", 8, false, false, true, { "  Address(size)", "Section", "Label:", "Function(size)" } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        MapModel model;
        model.AddressDigits = c.digits;
        model.ShowLocalInformation = c.local;
        model.ShowEquList = c.equ;
        model.ShowFunctionList = c.functions;
        const PrintColumns columns = PrintColumnPositions(model, 3);
        const std::vector<PrintHeaderCell> cells = PrintColumnHeaders(model, columns);
        std::vector<std::string> texts;
        for (const PrintHeaderCell& cell : cells)
            texts.push_back(cell.text);
        EXPECT_EQ(texts, c.texts);
        ASSERT_GE(cells.size(), 3u);
        EXPECT_EQ(cells[0].x, columns.address);
        EXPECT_EQ(cells[1].x, columns.sectionLeft);
        EXPECT_EQ(cells[2].x, columns.label);
        EXPECT_EQ(cells.back().x, c.functions ? columns.function : c.equ ? columns.equ : columns.label);
    }
}

TEST(PaginatePage, PageBreaksThroughThreeBlocks)
{
    ThreeBlocks built;
    MapModel& model = built.build();
    const ListRows rows = NumberRows(model);
    ASSERT_EQ(rows.lineCount, 11);

    struct Case {
        const char* label;
        int32_t linesPerPage;
        int32_t page;
        int32_t maxPage;
        std::vector<std::string> parts;
        int32_t closingRow;
        std::vector<std::string> labels; // per row of the page
    };
    const Case cases[] = {
        { "exactly P lines: one page", 11, 1, 1, { "A:1-7", "B:7-10", ":10-11" }, 11,
            { "", "a0", "a1", "a2", "a3", "a4", "", "b0", "b1", "", "" } },
        { "P + 1 lines: first of two", 10, 1, 2, { "A:1-7", "B:7-10" }, -1,
            { "", "a0", "a1", "a2", "a3", "a4", "", "b0", "b1", "" } },
        // The free area's line 10 is the only one of page 2; it starts there, and the list ends.
        { "P + 1 lines: second of two", 10, 2, 2, { ":0-1" }, 1, std::vector<std::string>(10) },
        // A crosses the break: page 2 continues it with side edges only and label a3.
        { "three pages: 1", 4, 1, 3, { "A:1-4" }, -1, { "", "a0", "a1", "a2" } },
        { "three pages: 2", 4, 2, 3, { "A:0-3+", "B:3-4" }, -1, { "a3", "a4", "", "b0" } },
        { "three pages: 3", 4, 3, 3, { "B:0-2+", ":2-3" }, 3, { "b1", "", "", "" } },
        // A ends exactly at the foot of page 1: not closed there; B's top edge closes it on page 2.
        { "block ends at the foot: 1", 7, 1, 2, { "A:1-7" }, -1, { "", "a0", "a1", "a2", "a3", "a4", "" } },
        { "block ends at the foot: 2", 7, 2, 2, { "B:0-3", ":3-4" }, 4, { "b0", "b1", "", "", "", "", "" } },
        { "outside the job", 7, 3, 2, {}, -1, {} },
        { "page 0", 7, 0, 2, {}, -1, {} },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(PrintMaxPage(model.FileLoaded, rows.lineCount, c.linesPerPage), c.maxPage);
        const PrintedPage page = PaginatePage(model, rows, c.linesPerPage, c.page);
        EXPECT_EQ(describe(model, page), c.parts);
        EXPECT_EQ(page.closingRow, c.closingRow);
        EXPECT_EQ(itemNames(model.LabelTable, page.labels), c.labels);
        EXPECT_EQ(page.columnHeaders, c.page == 1);
        if (!c.parts.empty()) {
            EXPECT_EQ(page.first, c.linesPerPage * (c.page - 1));
            EXPECT_EQ(page.end, page.first + c.linesPerPage);
        }
    }
}

TEST(PaginatePage, EveryLineOnExactlyOnePage)
{
    // Whatever the page height, the parts of all pages together cover lines 1 to 10 once each,
    // every block starts (top edge, address) exactly once, and the list is closed exactly once.
    ThreeBlocks built;
    MapModel& model = built.build();
    const ListRows rows = NumberRows(model);
    for (int32_t p = 1; p <= 12; ++p) {
        SCOPED_TRACE(::testing::Message() << p << " lines per page");
        std::vector<int32_t> covered(static_cast<size_t>(rows.lineCount), 0);
        std::vector<int32_t> starts(model.SectionTable.size(), 0);
        std::vector<std::string> labels;
        int32_t closings = 0;
        const int32_t maxPage = PrintMaxPage(true, rows.lineCount, p);
        for (int32_t n = 1; n <= maxPage; ++n) {
            const PrintedPage page = PaginatePage(model, rows, p, n);
            int32_t row = n == 1 ? 1 : 0;
            for (const PrintPart& part : page.parts) {
                EXPECT_EQ(part.row0, row); // parts follow one another without gaps
                EXPECT_LE(part.row1, p);
                for (int32_t r = part.row0; r < part.row1; ++r)
                    ++covered[static_cast<size_t>(page.first + r)];
                if (part.blockStarts) {
                    ++starts[static_cast<size_t>(part.entry)];
                    EXPECT_EQ(model.SectionTable[static_cast<size_t>(part.entry)].startLine, page.first + part.row0);
                }
                row = part.row1;
            }
            if (page.closingRow >= 0) {
                ++closings;
                EXPECT_EQ(page.first + page.closingRow, rows.lineCount);
            }
            for (const std::string& name : itemNames(model.LabelTable, page.labels))
                if (!name.empty())
                    labels.push_back(name);
        }
        for (int32_t line = 1; line < rows.lineCount; ++line)
            EXPECT_EQ(covered[static_cast<size_t>(line)], 1) << "line " << line;
        for (int32_t s : starts)
            EXPECT_EQ(s, 1);
        EXPECT_EQ(closings, 1);
        EXPECT_EQ(labels, (std::vector<std::string> { "a0", "a1", "a2", "a3", "a4", "b0", "b1" }));
    }
}

TEST(PaginatePage, LastBlockAcrossABreakIsClosedOnlyAtItsEnd)
{
    // C reaches MaxAddress, so no free area follows it: it is the last block, lines 2-5.
    BuiltModel built;
    built.section("A", 0x000, 0x100);
    built.section("C", 0x100, 0xFFFFFF - 0x100);
    for (const char* name : { "c0", "c1", "c2" })
        built.tree->global(name, 0x100 + static_cast<uint32_t>(name[1] - '0'));
    MapModel& model = built.build();
    const ListRows rows = NumberRows(model);
    ASSERT_EQ(rows.lineCount, 6);
    const PrintedPage first = PaginatePage(model, rows, 4, 1);
    EXPECT_EQ(describe(model, first), (std::vector<std::string> { "A:1-2", "C:2-4" }));
    EXPECT_EQ(first.closingRow, -1);
    const PrintedPage second = PaginatePage(model, rows, 4, 2);
    EXPECT_EQ(describe(model, second), (std::vector<std::string> { "C:0-2+" }));
    EXPECT_EQ(second.closingRow, 2);
    EXPECT_EQ(itemNames(model.LabelTable, second.labels), (std::vector<std::string> { "c2", "", "", "" }));
}

TEST(PaginatePage, OmittedEntriesAreSkipped)
{
    // Z1 and Z2 (size 0) lie between A and B; ZEND (size 0) after the free area ends the table.
    ThreeBlocks built;
    built.section("Z1", 0x100, 0, kSectionTypeData);
    built.section("Z2", 0x100, 0, kSectionTypeRom);
    built.section("ZEND", 0xFFFFFF, 0, kSectionTypeData);
    MapModel& model = built.build();

    struct Case {
        const char* label;
        bool omit;
        int32_t linesPerPage;
        int32_t page;
        std::vector<std::string> parts;
        int32_t closingRow;
    };
    const Case cases[] = {
        // From A to B past Z1 and Z2; past ZEND to the end of the table.
        { "next block", true, 8, 1, { "A:1-7", "B:7-8" }, -1 },
        { "past the last", true, 8, 2, { "B:0-2+", ":2-3" }, 3 },
        // Page 2 starts on line 7, where Z1, Z2 and B all start: B is the block found.
        { "first block of a page", true, 7, 2, { "B:0-3", ":3-4" }, 4 },
        // Listed, they take a line each; ZEND ends the list exactly at the foot of the last page.
        { "listed", false, 7, 2, { "Z1:0-1", "Z2:1-2", "B:2-5", ":5-6", "ZEND:6-7" }, 7 },
        { "listed, no page 3", false, 7, 3, {}, -1 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        model.OmitZeroSizeSections = c.omit;
        const ListRows rows = NumberRows(model);
        const PrintedPage page = PaginatePage(model, rows, c.linesPerPage, c.page);
        EXPECT_EQ(describe(model, page), c.parts);
        EXPECT_EQ(page.closingRow, c.closingRow);
    }
}

TEST(PaginatePage, RedByRangeFlagAcrossPages)
{
    // OVL overlaps A; on page 2 A is not printed, yet OVL's address is red by its RangeFlag.
    BuiltModel built;
    built.section("A", 0x000, 0x100);
    built.section("OVL", 0x080, 0x100);
    for (const char* name : { "a0", "a1", "a2" })
        built.tree->global(name, static_cast<uint32_t>(name[1] - '0'));
    MapModel& model = built.build();
    const ListRows rows = NumberRows(model); // A 1-4, OVL 5, free area 6
    ASSERT_EQ(model.SectionTable[static_cast<size_t>(sectionIndex(model, "OVL"))].rangeFlag, RangeOverlap);
    EXPECT_EQ(describe(model, PaginatePage(model, rows, 5, 1)), (std::vector<std::string> { "A:1-5" }));
    EXPECT_EQ(describe(model, PaginatePage(model, rows, 5, 2)), (std::vector<std::string> { "OVL!:0-1", ":1-2" }));
}

TEST(PaginatePage, ItemColumnsFollowTheListOptions)
{
    // The worked example with everything on: free 1, CODE 2-7, free 8. Page 2 of 5-line pages
    // starts inside CODE: labels are done, constants too, functions f4 and f5 continue.
    BuiltModel built;
    tessaly::testing::addWorkedExample(built);
    MapModel& model = built.build();
    model.ShowEquList = true;
    model.ShowFunctionList = true;
    const ListRows rows = NumberRows(model);
    const PrintedPage page = PaginatePage(model, rows, 5, 2);
    EXPECT_EQ(describe(model, page), (std::vector<std::string> { "CODE:0-3+", ":3-4" }));
    EXPECT_EQ(page.labels, (std::vector<int32_t> { -1, -1, -1, -1, -1 }));
    EXPECT_EQ(page.equs, (std::vector<int32_t> { -1, -1, -1, -1, -1 }));
    EXPECT_EQ(page.functions, (std::vector<int32_t> { 3, 4, -1, -1, -1 }));

    model.ShowEquList = false;
    model.ShowFunctionList = false;
    const ListRows plain = NumberRows(model); // free 1, CODE 2-5, free 6
    const PrintedPage first = PaginatePage(model, plain, 7, 1);
    EXPECT_TRUE(first.equs.empty());
    EXPECT_TRUE(first.functions.empty());
    EXPECT_EQ(itemNames(model.LabelTable, first.labels),
        (std::vector<std::string> { "", "", "start", "loop", "done", "", "" }));
}

TEST(PaginatePage, LocalInformationListsModuleSections)
{
    // Local mode: CODE(mod) carries its local label too, so its block is 5 lines (2-6).
    BuiltModel built;
    tessaly::testing::addWorkedExample(built);
    MapModel& model = built.build();
    model.ShowLocalInformation = true;
    const ListRows rows = NumberRows(model);
    ASSERT_EQ(rows.lineCount, 8);
    const PrintedPage page = PaginatePage(model, rows, 4, 2);
    EXPECT_EQ(describe(model, page), (std::vector<std::string> { "CODE:0-3+", ":3-4" }));
    EXPECT_EQ(itemNames(model.LabelTable, page.labels), (std::vector<std::string> { "done", "inner", "", "" }));
    EXPECT_EQ(page.closingRow, 4);
}

TEST(PaginatePage, EmptyAndUnloadedLists)
{
    BuiltModel built; // no sections at all
    MapModel& model = built.build();
    const ListRows rows = NumberRows(model);
    ASSERT_EQ(rows.lineCount, 1);
    const PrintedPage page = PaginatePage(model, rows, 10, 1);
    EXPECT_TRUE(page.columnHeaders);
    EXPECT_TRUE(page.parts.empty());
    EXPECT_EQ(page.closingRow, -1);

    model.FileLoaded = false;
    EXPECT_EQ(PrintMaxPage(model.FileLoaded, rows.lineCount, 10), 0);
    EXPECT_FALSE(PaginatePage(model, rows, 10, 1).columnHeaders);
}

TEST(PaginatePage, OneLinePerPageWhenThePageIsTooSmall)
{
    // Four lines or fewer: a line per page, so page 1 holds only the column headers and page n
    // line n − 1.
    ThreeBlocks built;
    MapModel& model = built.build();
    const ListRows rows = NumberRows(model);
    const int32_t p = PrintLinesPerPage(4 * 30, 30);
    ASSERT_EQ(p, 1);
    EXPECT_EQ(PrintMaxPage(true, rows.lineCount, p), rows.lineCount);
    EXPECT_TRUE(PaginatePage(model, rows, p, 1).parts.empty());
    EXPECT_EQ(describe(model, PaginatePage(model, rows, p, 2)), (std::vector<std::string> { "A:0-1" }));
    EXPECT_EQ(describe(model, PaginatePage(model, rows, p, 3)), (std::vector<std::string> { "A:0-1+" }));
    const PrintedPage last = PaginatePage(model, rows, p, rows.lineCount);
    EXPECT_EQ(describe(model, last), (std::vector<std::string> { ":0-1" }));
    EXPECT_EQ(last.closingRow, 1);
}

} // namespace
