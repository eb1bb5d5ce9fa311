// list_plan_test.cpp: the plan of a window of lines, on the screen and on paper: blocks, continuations, closing edges,
// red addresses, item cells, column headers and Find's match, in one table.
#include "right/list_plan.hpp"
#include "right/print_pagination.hpp"
#include "right_fixtures.hpp"

#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <vector>

namespace {

using namespace tessaly;
using tessaly::testing::BuiltModel;

// The programs of the table, each built from scratch by its case.
enum class Program {
    // The worked example: free 1, CODE 2..7 (labels start, loop, done; constants LIMIT, COUNT;
    // functions f1..f5), free 8; in local mode CODE(mod) 2..6 carries the local label inner too.
    Worked,
    // A (0x000, 0x100) with a0..a4: lines 1-6; B (0x100, 0x100) with b0, b1: 7-9; free 10.
    ThreeBlocks,
    // ThreeBlocks with Z1 and Z2 (size 0) between A and B and ZEND (size 0) at the top address.
    Omitted,
    // A 0x1000+0x100, OVL 0x1080+0x100 overlapping it, TOP ending at MaxAddress + 1, OVER ending
    // above it: free 1, A 2, OVL 3, free 4, TOP 5, OVER 6.
    Overlaps,
    // A (0x000, 0x100) line 1; C from 0x100 up to MaxAddress with c0..c2, the last block, 2-5.
    LastBlock,
    // CODE with a resolved reset at 0, an unresolved stub at 0 sorted after it, and main at 0x10.
    ResetHandlers,
    // HIGH, the only section, reaching one byte above MaxAddress: free 1, HIGH 2.
    HighOnly,
    // Z0, a size-0 section at address 0 (listed with OmitZeroSizeSections off): Z0 1, free 2.
    ZeroAtZero,
    Empty,
};

struct Built : BuiltModel {
    std::vector<std::string> names;

    Built(Program program, const char* cpu)
        : BuiltModel(cpu)
    {
        names.reserve(16);
        auto label
            = [&](const std::string& name, uint32_t value) { tree->global(names.emplace_back(name).c_str(), value); };
        switch (program) {
        case Program::Worked:
            tessaly::testing::addWorkedExample(*this);
            break;
        case Program::Omitted:
            section("Z1", 0x100, 0, kSectionTypeData);
            section("Z2", 0x100, 0, kSectionTypeRom);
            section("ZEND", 0xFFFFFF, 0, kSectionTypeData);
            [[fallthrough]];
        case Program::ThreeBlocks:
            section("A", 0x000, 0x100);
            section("B", 0x100, 0x100);
            for (uint32_t i = 0; i < 5; ++i)
                label("a" + std::to_string(i), 0x10 * i);
            label("b0", 0x100);
            label("b1", 0x110);
            break;
        case Program::Overlaps:
            section("A", 0x1000, 0x100);
            section("OVL", 0x1080, 0x100);
            section("TOP", 0xFFFF00, 0x100);
            section("OVER", 0xFFFFF0, 0x11, kSectionTypeData);
            break;
        case Program::LastBlock:
            section("A", 0x000, 0x100);
            section("C", 0x100, 0xFFFFFF - 0x100);
            for (uint32_t i = 0; i < 3; ++i)
                label("c" + std::to_string(i), 0x100 + i);
            break;
        case Program::ResetHandlers: {
            section("CODE", 0x000, 0x100);
            IeSource* src = tree->source(tree->module("boot"), "boot.c");
            tree->function(src, "reset", "_reset", 0x0);
            tree->function(src, "reset_stub", "_reset_stub", 0x0, 0x10, false);
            tree->function(src, "main", "_main", 0x10);
            break;
        }
        case Program::HighOnly:
            section("HIGH", 0xFFFF00, 0x101);
            break;
        case Program::ZeroAtZero:
            section("Z0", 0, 0);
            break;
        case Program::Empty:
            break;
        }
    }
};

struct Options {
    bool local = false;
    bool equ = false;
    bool functions = false;
    bool omit = true;
};

// The block of a row: its name ("~" for a free area), "^" on its first row, "!" when its address
// is red; "." for none. Then each cell of the row: "L:", "E:" or "F:" and the item's name, "H:"
// and the column headers, "*start+length" after an inverted cell.
std::string blockName(const MapModel& model, int32_t block)
{
    const char* name = model.ShowLocalInformation
        ? (model.ModuleSectionTable[static_cast<size_t>(block)].record->section
                ? model.ModuleSectionTable[static_cast<size_t>(block)].record->section->name
                : nullptr)
        : model.SectionTable[static_cast<size_t>(block)].record->name;
    return name ? name : "~";
}

std::vector<std::string> describe(const MapModel& model, const ListPlan& plan)
{
    std::vector<std::string> rows;
    for (const PlanRow& row : plan.rows)
        rows.push_back(row.block < 0 ? "." : blockName(model, row.block) + (row.blockStart ? "^" : ""));
    std::string headers;
    for (const PlanCell& cell : plan.cells) {
        std::string& text = rows.at(static_cast<size_t>(cell.row));
        const std::string highlight = cell.highlight.length == 0
            ? ""
            : "*" + std::to_string(cell.highlight.start) + "+" + std::to_string(cell.highlight.length);
        if (plan.rows[static_cast<size_t>(cell.row)].block < 0 && cell.row == 0 && plan.rows[0].line == 0) {
            headers += (headers.empty() ? "" : ",") + std::string(plan.text(cell));
            continue;
        }
        switch (cell.column) {
        case ColumnAddress:
            if (cell.ink == Ink::Red)
                text.insert(text.find('^') + 1, "!");
            break;
        case ColumnSection:
            text += highlight;
            break;
        default: {
            const std::string cellText(plan.text(cell));
            const std::string name = cellText.substr(cellText.find(':') + 1);
            const char* tag = cell.column == ColumnLabel ? " L:" : cell.column == ColumnEqu ? " E:" : " F:";
            text += tag + name.substr(0, name.find('(')) + highlight;
        }
        }
    }
    if (!headers.empty())
        rows[0] = "H:" + headers;
    return rows;
}

PlanRequest screen(int32_t topLine, int32_t rows, PlanMatch match = {})
{
    PlanRequest request;
    request.firstLine = topLine;
    request.blockRows = rows;
    request.itemRows = rows + 1; // the item columns paint one row more
    request.match = match;
    return request;
}

const std::vector<std::string> kDots(11, ".");

TEST(PlanList, ScreenRowsAndPrintedPages)
{
    struct Case {
        const char* label;
        Program program;
        Options options;
        PlanRequest request;
        std::vector<std::string> rows;
        int32_t closeRow;
        std::optional<uint32_t> topAddress;
        const char* cpu = "Carina";
    };
    const Options all { false, true, true };
    const Case cases[] = {
        // The screen.
        { "screen from the top", Program::Worked, all, screen(1, 10),
            { "~^", "CODE^ L:start E:LIMIT F:f1", "CODE L:loop E:COUNT F:f2", "CODE L:done F:f3", "CODE F:f4",
                "CODE F:f5", "CODE", "~^", ".", ".", "." },
            8, 0 },
        { "screen inside the block", Program::Worked, all, screen(4, 6),
            { "CODE L:done F:f3", "CODE F:f4", "CODE F:f5", "CODE", "~^", ".", "." }, 5, 0x1000 },
        { "screen ending inside a block: no closing edge", Program::Worked, all, screen(2, 3),
            { "CODE^ L:start E:LIMIT F:f1", "CODE L:loop E:COUNT F:f2", "CODE L:done F:f3", ". F:f4" }, -1, 0x1000 },
        { "screen: the last block ends with the rows and is not closed", Program::Worked, all, screen(1, 8),
            { "~^", "CODE^ L:start E:LIMIT F:f1", "CODE L:loop E:COUNT F:f2", "CODE L:done F:f3", "CODE F:f4",
                "CODE F:f5", "CODE", "~^", "." },
            -1, 0 },
        { "screen below the list", Program::Worked, all, screen(9, 2), { ".", ".", "." }, -1, std::nullopt },
        { "screen: a label match", Program::Worked, all, screen(1, 4, { 0, 3, 1, 2 }),
            { "~^", "CODE^ L:start E:LIMIT F:f1", "CODE L:loop*12+2 E:COUNT F:f2", "CODE L:done F:f3", ". F:f4" }, -1,
            0 },
        { "screen: a section match, after the tag", Program::Worked, all, screen(1, 3, { 1, 2, 1, 2 }),
            { "~^", "CODE^*5+2 L:start E:LIMIT F:f1", "CODE L:loop E:COUNT F:f2", ". L:done F:f3" }, -1, 0 },
        { "screen: 8 digits move the label match", Program::Worked, all, screen(2, 1, { 0, 2, 0, 3 }),
            { "CODE^ L:start*13+3 E:LIMIT F:f1", ". L:loop E:COUNT F:f2" }, -1, 0x1000, "Grus" },
        { "screen: the lists off", Program::Worked, {}, screen(1, 6),
            { "~^", "CODE^ L:start", "CODE L:loop", "CODE L:done", "CODE", "~^", "." }, -1, 0 },
        { "screen: local information lists module sections and local labels", Program::Worked, { true }, screen(1, 8),
            { "~^", "CODE^ L:start", "CODE L:loop", "CODE L:done", "CODE L:inner", "CODE", "~^", ".", "." }, 7, 0 },
        // Red by RangeFlag: the same block keeps its colour wherever the window starts.
        { "red: overlap and the top of the space", Program::Overlaps, {}, screen(1, 6),
            { "~^", "A^", "OVL^!", "~^", "TOP^", "OVER^!", "." }, -1, 0 },
        { "red: an overlap at the top row is still red", Program::Overlaps, {}, screen(3, 2), { "OVL^!", "~^", "." },
            -1, 0x1080 },
        { "red: outside the space at the top row", Program::Overlaps, {}, screen(6, 1), { "OVER^!", "." }, -1,
            0xFFFFF0 },
        { "red: the first section reaching outside the space", Program::HighOnly, {}, screen(1, 2),
            { "~^", "HIGH^!", "." }, -1, 0 },
        { "red: size 0 at address 0 ends at 2^32 - 1", Program::ZeroAtZero, { false, false, false, false },
            screen(1, 2), { "Z0^!", "~^", "." }, -1, 0 },
        { "red: size 0 at address 0 in the 32-bit space", Program::ZeroAtZero, { false, false, false, false },
            screen(1, 2), { "Z0^", "~^", "." }, -1, 0, "Grus" },
        // Omitted entries.
        { "omitted: skipped from A to B and at the end", Program::Omitted, {}, screen(1, 11),
            { "A^ L:a0", "A L:a1", "A L:a2", "A L:a3", "A L:a4", "A", "B^ L:b0", "B L:b1", "B", "~^", ".", "." }, 10,
            0 },
        { "omitted: listed, a line each", Program::Omitted, { false, false, false, false }, screen(6, 8),
            { "A", "Z1^", "Z2^", "B^ L:b0", "B L:b1", "B", "~^", "ZEND^", "." }, -1, 0 },
        // Paper: page 1 from line 0, whose row holds the column headers; a block ending at the
        // foot of the last page is closed there.
        { "page: exactly P lines on one page", Program::ThreeBlocks, {}, PrintPageRequest(11, 1),
            { "H:Address(size),Section,Label:", "A^ L:a0", "A L:a1", "A L:a2", "A L:a3", "A L:a4", "A", "B^ L:b0",
                "B L:b1", "B", "~^" },
            11, std::nullopt },
        { "page: P + 1 lines, the first of two", Program::ThreeBlocks, {}, PrintPageRequest(10, 1),
            { "H:Address(size),Section,Label:", "A^ L:a0", "A L:a1", "A L:a2", "A L:a3", "A L:a4", "A", "B^ L:b0",
                "B L:b1", "B" },
            -1, std::nullopt },
        { "page: P + 1 lines, the second of two", Program::ThreeBlocks, {}, PrintPageRequest(10, 2),
            { "~^", ".", ".", ".", ".", ".", ".", ".", ".", "." }, 1, 0x200 },
        { "page: a continuation with the labels that follow", Program::ThreeBlocks, {}, PrintPageRequest(4, 2),
            { "A L:a3", "A L:a4", "A", "B^ L:b0" }, -1, 0 },
        { "page: the last of three", Program::ThreeBlocks, {}, PrintPageRequest(4, 3), { "B L:b1", "B", "~^", "." }, 3,
            0x100 },
        { "page: a block ending at the foot is closed by the next one", Program::ThreeBlocks, {},
            PrintPageRequest(7, 1),
            { "H:Address(size),Section,Label:", "A^ L:a0", "A L:a1", "A L:a2", "A L:a3", "A L:a4", "A" }, -1,
            std::nullopt },
        { "page: the next one starts the next page", Program::ThreeBlocks, {}, PrintPageRequest(7, 2),
            { "B^ L:b0", "B L:b1", "B", "~^", ".", ".", "." }, 4, 0x100 },
        { "page: a line per page", Program::ThreeBlocks, {}, PrintPageRequest(1, 3), { "A L:a1" }, -1, 0 },
        { "page: the last line of a line per page", Program::ThreeBlocks, {}, PrintPageRequest(1, 11), { "~^" }, 1,
            0x200 },
        { "page: omitted entries on the way to the first block", Program::Omitted, {}, PrintPageRequest(7, 2),
            { "B^ L:b0", "B L:b1", "B", "~^", ".", ".", "." }, 4, 0x100 },
        { "page: listed size-0 entries, the list ending at the foot", Program::Omitted, { false, false, false, false },
            PrintPageRequest(7, 2), { "Z1^", "Z2^", "B^ L:b0", "B L:b1", "B", "~^", "ZEND^" }, 7, 0x100 },
        { "page: the last block across a break, 1", Program::LastBlock, {}, PrintPageRequest(4, 1),
            { "H:Address(size),Section,Label:", "A^", "C^ L:c0", "C L:c1" }, -1, std::nullopt },
        { "page: the last block across a break, 2", Program::LastBlock, {}, PrintPageRequest(4, 2),
            { "C L:c2", "C", ".", "." }, 2, 0x100 },
        { "page: the item columns follow the options", Program::Worked, all, PrintPageRequest(5, 2),
            { "CODE F:f4", "CODE F:f5", "CODE", "~^", "." }, 4, 0x1000 },
        { "page: local information", Program::Worked, { true }, PrintPageRequest(4, 2),
            { "CODE L:done", "CODE L:inner", "CODE", "~^" }, 4, 0x1000 },
        { "page: every column header", Program::Worked, { true, true, true }, PrintPageRequest(3, 1),
            { "H:Address(size),Section(Module),Label:,.EQU,Function(size)", "~^", "CODE^ L:start E:LIMIT F:f1" }, -1,
            std::nullopt },
        { "page: the short 8-digit Address header", Program::Worked, { false, false, true }, PrintPageRequest(2, 1),
            { "H:  Address(size),Section,Label:,Function(size)", "~^" }, -1, std::nullopt, "Grus" },
        { "page: an empty list still has its headers", Program::Empty, {}, PrintPageRequest(3, 1),
            { "H:Address(size),Section,Label:", ".", "." }, -1, std::nullopt },
        // A block lists exactly the functions counted for it.
        { "functions: an unresolved one among them takes no line", Program::ResetHandlers, { false, false, true },
            screen(1, 3), { "CODE^ F:reset", "CODE F:main", "CODE", "." }, -1, 0 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        Built built(c.program, c.cpu);
        MapModel& model = built.build();
        model.ShowLocalInformation = c.options.local;
        model.ShowEquList = c.options.equ;
        model.ShowFunctionList = c.options.functions;
        model.OmitZeroSizeSections = c.options.omit;
        const ListRows rows = NumberRows(model);
        const ListPlan plan = PlanList(model, rows, c.request);
        EXPECT_EQ(describe(model, plan), c.rows);
        EXPECT_EQ(plan.closeRow, c.closeRow);
        EXPECT_EQ(plan.hasTopAddress, c.topAddress.has_value());
        if (c.topAddress) {
            EXPECT_EQ(plan.topAddress, *c.topAddress);
        }
        for (size_t r = 0; r < plan.rows.size(); ++r)
            EXPECT_EQ(plan.rows[r].line, c.request.firstLine + static_cast<int32_t>(r));
    }
}

TEST(PlanList, PagesCoverEveryLineOnce)
{
    // Whatever the page height, the pages together show lines 1 to 10 once each with their
    // labels, start every block once on its startLine, and close the list once at its end.
    Built built(Program::ThreeBlocks, "Carina");
    MapModel& model = built.build();
    const ListRows rows = NumberRows(model);
    for (int32_t p = 1; p <= 12; ++p) {
        SCOPED_TRACE(::testing::Message() << p << " lines per page");
        std::vector<int32_t> covered(static_cast<size_t>(rows.lineCount), 0);
        std::vector<int32_t> starts(model.SectionTable.size(), 0);
        std::vector<std::string> labels;
        int32_t closings = 0;
        for (int32_t n = 1; n <= PrintMaxPage(true, rows.lineCount, p); ++n) {
            const ListPlan page = PlanList(model, rows, PrintPageRequest(p, n));
            for (const PlanRow& row : page.rows) {
                if (row.block >= 0)
                    ++covered[static_cast<size_t>(row.line)];
                if (row.blockStart) {
                    ++starts[static_cast<size_t>(row.block)];
                    EXPECT_EQ(model.SectionTable[static_cast<size_t>(row.block)].startLine, row.line);
                }
            }
            for (const PlanCell& cell : page.cells)
                if (cell.column == ColumnLabel && cell.row + page.rows[0].line > 0)
                    labels.push_back(std::string(page.text(cell).substr(page.text(cell).find(':') + 1)));
            if (page.closeRow >= 0) {
                ++closings;
                EXPECT_EQ(page.rows[0].line + page.closeRow, rows.lineCount);
            }
        }
        for (int32_t line = 1; line < rows.lineCount; ++line)
            EXPECT_EQ(covered[static_cast<size_t>(line)], 1) << "line " << line;
        for (int32_t s : starts)
            EXPECT_EQ(s, 1);
        EXPECT_EQ(closings, 1);
        EXPECT_EQ(labels, (std::vector<std::string> { "a0", "a1", "a2", "a3", "a4", "b0", "b1" }));
    }
}

} // namespace
