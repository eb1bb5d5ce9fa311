// print_pagination_test.cpp: print font, lines per page, page count, header and footer frame and print columns.
#include "right/cell_text.hpp"
#include "right/print_pagination.hpp"
#include "right_fixtures.hpp"

#include <array>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using namespace tessaly;

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

} // namespace
