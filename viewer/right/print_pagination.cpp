// print_pagination.cpp: print font scaling, page count, header and footer frame, print columns and page contents.
#include "right/print_pagination.hpp"

#include "right/cell_text.hpp"
#include "right/visible_rows.hpp"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace tessaly {

namespace {

// The first entry whose startLine is above the line (startLine never decreases through a
// numbered table; omitted entries carry the startLine of the next shown block).
template <typename Table> size_t firstStartingAbove(const Table& table, int32_t line)
{
    return static_cast<size_t>(std::upper_bound(table.begin(), table.end(), line, [](int32_t l, const auto& entry) {
        return l < entry.startLine;
    }) - table.begin());
}

// The shown entry that follows the shown entry i, or table.size(). Omitted entries between two
// shown blocks share the second one's startLine, so it is the last entry starting where block i
// ends: a binary search, however many omitted entries lie between.
template <typename Table> size_t nextShown(const Table& table, size_t i, bool omit)
{
    const int32_t blockEnd = table[i].startLine + table[i].lineCount;
    const size_t k = firstStartingAbove(table, blockEnd);
    if (k <= i + 1)
        return table.size();
    return IsOmitted(table[k - 1], omit) ? table.size() : k - 1;
}

template <typename Table>
void paginateBody(const MapModel& model, const Table& table, PrintedPage& page, int32_t startLine)
{
    const bool omit = model.OmitZeroSizeSections;
    const int32_t found = BlockAtLine(model, startLine);
    if (found < 0)
        return;
    size_t i = static_cast<size_t>(found);
    int32_t r0 = startLine - page.first;
    while (true) {
        const auto& entry = table[i];
        const int32_t s = entry.startLine;
        // lineCount is the numbering's 1 + the longest of the block's printed lists.
        const int32_t blockEnd = s + entry.lineCount;
        const int32_t r1 = std::min(blockEnd, page.end) - page.first;
        PrintPart part;
        part.entry = static_cast<int32_t>(i);
        part.row0 = r0;
        part.row1 = r1;
        part.blockStarts = s >= page.first;
        part.red = entry.rangeFlag != RangeNormal;
        page.parts.push_back(part);
        r0 = r1;
        i = nextShown(table, i, omit);
        if (i >= table.size()) {
            // The last block is closed where it ends; when it runs on to the next page, it is
            // closed there rather than across its middle at the foot of this one.
            if (blockEnd <= page.end)
                page.closingRow = r1;
            return;
        }
        // A block ending exactly at the page's foot is closed by the next block's top edge on
        // the next page.
        if (blockEnd >= page.end)
            return;
    }
}

} // namespace

int32_t PrintFontHeight(int32_t screenHeight, int32_t dpi)
{
    const int64_t scaled = (std::llabs(screenHeight) * int64_t { std::max(dpi, 0) } + 36) / 72;
    return -static_cast<int32_t>(std::min<int64_t>(scaled, INT32_MAX));
}

int32_t PrintLinesPerPage(int32_t pageHeight, int32_t lineHeight)
{
    if (lineHeight <= 0)
        return 1;
    return std::max(pageHeight / lineHeight - 4, 1);
}

int32_t PrintMaxPage(bool fileLoaded, int32_t lineCount, int32_t linesPerPage)
{
    if (!fileLoaded || lineCount <= 0)
        return 0;
    const int32_t p = std::max(linesPerPage, 1);
    return lineCount / p + (lineCount % p != 0 ? 1 : 0);
}

std::string PrintHeaderText(const std::string& loadedPath)
{
    return "File: " + loadedPath;
}

std::string PrintFooterText(int32_t page, int32_t maxPage)
{
    char text[48];
    std::snprintf(text, sizeof text, "Page %d of %d", static_cast<int>(page), static_cast<int>(maxPage));
    return text;
}

PrintFrame PrintFrameFor(int32_t top, int32_t bottom, int32_t cy)
{
    PrintFrame frame;
    frame.headerTextY = top;
    frame.headerRuleY = top + 2 * cy - cy / 2;
    frame.bodyTop = top + 2 * cy;
    frame.bodyBottom = bottom - 2 * cy;
    frame.footerRuleY = frame.bodyBottom + cy / 2;
    frame.footerTextY = frame.bodyBottom + cy;
    return frame;
}

PrintColumns PrintColumnPositions(const MapModel& model, int32_t cw)
{
    const int32_t d = model.AddressDigits;
    const auto& n = model.NameWidths;
    const int32_t s = n[NameWidthSection];
    const int32_t w = model.ShowLocalInformation ? std::max(s + n[NameWidthModule] + 6, 15) : std::max(s + 4, 7);
    PrintColumns c;
    c.address = 0;
    c.sectionLeft = (2 * d + 3) * cw;
    c.sectionRight = (2 * d + 3 + w) * cw;
    c.label = (2 * d + 4 + w) * cw;
    c.equ = (w + n[NameWidthLabel] + 3 * d + 11) * cw;
    c.function = c.equ + (model.ShowEquList ? (n[NameWidthEqu] + d + 7) * cw : cw);
    return c;
}

int32_t PrintLineChars(const MapModel& model)
{
    // Cells are cut to kMaxCellName bytes of a name, whatever NameWidths says.
    auto width
        = [&](int index) { return std::min<int32_t>(model.NameWidths[static_cast<size_t>(index)], kMaxCellName); };
    const int32_t d = model.AddressDigits;
    const PrintColumns c = PrintColumnPositions(model, 1);
    int32_t end = std::max(c.sectionRight, c.label + std::max(4 + d + 1 + width(NameWidthLabel), 6)); // "Label:"
    if (model.ShowEquList)
        end = std::max(end, c.equ + std::max(4 + d + 1 + width(NameWidthEqu), 4)); // ".EQU"
    if (model.ShowFunctionList) // "[F] %06x(%06x):%s(%s)", or "Function(size)"
        end = std::max(
            end, c.function + std::max(2 * d + 9 + width(NameWidthFunction) + width(NameWidthFunctionFile), 14));
    return end;
}

std::vector<PrintHeaderCell> PrintColumnHeaders(const MapModel& model, const PrintColumns& columns)
{
    const bool local = model.ShowLocalInformation;
    std::vector<PrintHeaderCell> cells;
    cells.push_back({ columns.address, model.AddressDigits == 8 ? "  Address(size)" : "Address(size)" });
    cells.push_back({ columns.sectionLeft, ColumnHeaderText(ColumnSection, model.AddressDigits, local) });
    cells.push_back({ columns.label, ColumnHeaderText(ColumnLabel, model.AddressDigits, local) });
    if (model.ShowEquList)
        cells.push_back({ columns.equ, ColumnHeaderText(ColumnEqu, model.AddressDigits, local) });
    if (model.ShowFunctionList)
        cells.push_back({ columns.function, ColumnHeaderText(ColumnFunction, model.AddressDigits, local) });
    return cells;
}

PrintedPage PaginatePage(const MapModel& model, const ListRows& rows, int32_t linesPerPage, int32_t page)
{
    PrintedPage result;
    result.page = page;
    const int32_t p = std::max(linesPerPage, 1);
    if (page < 1 || page > PrintMaxPage(model.FileLoaded, rows.lineCount, p))
        return result;
    result.first = p * (page - 1);
    result.end = result.first + p;
    result.columnHeaders = page == 1;
    // Page 1 gives its row 0 to the column headers; the body starts at line 1 there.
    const int32_t startLine = page == 1 ? 1 : result.first;
    if (startLine < result.end) {
        if (model.ShowLocalInformation)
            paginateBody(model, model.ModuleSectionTable, result, startLine);
        else
            paginateBody(model, model.SectionTable, result, startLine);
    }
    // Label k of a block stands on line startLine + k, on whatever page that line falls, so the
    // labels that continue a block on this page follow the last one printed on the page before.
    result.labels = PlanItemColumn(model.LabelTable, rows.labels, result.first, p);
    if (model.ShowEquList)
        result.equs = PlanItemColumn(model.EquTable, rows.equs, result.first, p);
    if (model.ShowFunctionList)
        result.functions = PlanItemColumn(model.FunctionTable, rows.functions, result.first, p);
    return result;
}

} // namespace tessaly
