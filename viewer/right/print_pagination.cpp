// print_pagination.cpp: print font scaling, page count, header and footer frame, print columns and page requests.
#include "right/print_pagination.hpp"

#include "right/cell_text.hpp"
#include "right/change_column.hpp"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace tessaly {

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
    const auto n = ListNameWidths(model);
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

namespace {

// Where the change column starts, in characters: a blank after the item columns' widest text.
int32_t changeColumnChars(const MapModel& model, int32_t itemsEnd)
{
    return std::max(itemsEnd, PrintColumnPositions(model, 1).function) + 1;
}

// The end of the widest text of the specified columns, in characters.
int32_t itemColumnsEnd(const MapModel& model)
{
    // Cells are cut to kMaxCellName bytes of a name, whatever NameWidths says.
    const auto n = ListNameWidths(model);
    auto width = [&](int index) { return std::min<int32_t>(n[static_cast<size_t>(index)], kMaxCellName); };
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

} // namespace

int32_t PrintLineChars(const MapModel& model)
{
    const int32_t end = itemColumnsEnd(model);
    if (!model.Baseline)
        return end;
    return changeColumnChars(model, end) + ChangeColumnChars(model);
}

double PrintCellNarrowing(bool comparing, int64_t lineChars, int32_t charWidth, int32_t pageWidth)
{
    const int64_t width = lineChars * std::max(charWidth, 1);
    if (!comparing || width <= 0 || width <= pageWidth)
        return 1.0;
    return static_cast<double>(std::max(pageWidth, 1)) / static_cast<double>(width);
}

std::vector<ColumnSpan> PrintColumnSpans(const MapModel& model, int32_t cw)
{
    const PrintColumns c = PrintColumnPositions(model, cw);
    const int32_t itemsEnd = itemColumnsEnd(model);
    const int32_t end = itemsEnd * cw;
    std::vector<ColumnSpan> spans {
        { ColumnAddress, c.address, c.sectionLeft },
        { ColumnSection, c.sectionLeft, c.sectionRight + 1 },
        { ColumnLabel, c.label, model.ShowEquList ? c.equ : c.function },
    };
    if (model.ShowEquList)
        spans.push_back({ ColumnEqu, c.equ, c.function });
    if (model.ShowFunctionList)
        spans.push_back({ ColumnFunction, c.function, std::max(end, c.function) });
    if (model.Baseline)
        spans.push_back({ ColumnChange, changeColumnChars(model, itemsEnd) * cw, PrintLineChars(model) * cw });
    return spans;
}

PlanRequest PrintPageRequest(int32_t linesPerPage, int32_t page)
{
    const int32_t p = std::max(linesPerPage, 1);
    PlanRequest request;
    request.firstLine = p * (std::max(page, 1) - 1);
    request.blockRows = p;
    request.itemRows = p;
    request.closeAtWindowEnd = true;
    request.columnHeaders = true;
    return request;
}

} // namespace tessaly
