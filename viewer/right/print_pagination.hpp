// print_pagination.hpp: the printed list without a printer: print font, lines per page, page count, header and footer,
// print columns and the plan request of each page.
#pragma once

#include "map_model.hpp"
#include "right/list_columns.hpp"
#include "right/list_plan.hpp"

#include <cstdint>
#include <string>
#include <vector>

namespace tessaly {

// The print font's height for a screen font of the given height, taken as points, on a printer
// of the given horizontal resolution: −(|height| × dpi ÷ 72), rounded to the nearest integer.
// A negative screen height (a character height) scales by its size like a positive one.
int32_t PrintFontHeight(int32_t screenHeight, int32_t dpi);

// Body lines on a page of the given height: (height ÷ H) − 4, the four lines going to the header
// and the footer. A page with room for four lines or fewer still prints one line per page, so
// that every line of the list comes out somewhere.
int32_t PrintLinesPerPage(int32_t pageHeight, int32_t lineHeight);

// The job's page count: the list's lines (line 0, the column headers, included) in pages of
// linesPerPage, rounded up; 0 when no file is loaded.
int32_t PrintMaxPage(bool fileLoaded, int32_t lineCount, int32_t linesPerPage);

// "File: " followed by the path: the header of every page.
std::string PrintHeaderText(const std::string& loadedPath);
// "Page %d of %d": the footer of every page.
std::string PrintFooterText(int32_t page, int32_t maxPage);

// Where the header and the footer go on a page whose drawing rectangle runs from top to bottom,
// for a text height cy; the body lies between bodyTop and bodyBottom.
struct PrintFrame {
    int32_t headerTextY = 0;
    int32_t headerRuleY = 0;
    int32_t bodyTop = 0;
    int32_t footerRuleY = 0;
    int32_t footerTextY = 0;
    int32_t bodyBottom = 0;
};
PrintFrame PrintFrameFor(int32_t top, int32_t bottom, int32_t cy);

// Print column positions in printer units for a print character width cw, from NameWidths and
// AddressDigits only: the printout never follows columns the user dragged on the screen.
struct PrintColumns {
    int32_t address = 0;
    int32_t sectionLeft = 0;
    int32_t sectionRight = 0;
    int32_t label = 0;
    int32_t equ = 0;
    int32_t function = 0;
};
PrintColumns PrintColumnPositions(const MapModel& model, int32_t cw);

// Character cells from the left edge to the end of the widest text a printed line can hold
// (the longest label, constant or function of the shown columns, or a column header), so the
// job can tell whether its lines fit the paper's width.
int32_t PrintLineChars(const MapModel& model);

// How much the printed list's character cell narrows, as a factor of its width: 1 for a list
// not compared, whose ends are given up where even its smallest font is too wide; when
// comparing, the Change column comes last and would be the part lost, so the cell narrows until
// lineChars cells of charWidth fit pageWidth.
double PrintCellNarrowing(bool comparing, int64_t lineChars, int32_t charWidth, int32_t pageWidth);

// The printed columns as the renderer places them: Address, Section (its bar from section left to
// section right, both edges included) and the shown item columns, left to right.
std::vector<ColumnSpan> PrintColumnSpans(const MapModel& model, int32_t cw);

// The plan request of one page (1 to the maximum page) of linesPerPage lines: page 1 from line 0,
// whose row holds the column headers; the last block is closed at the page's foot when it ends
// there.
PlanRequest PrintPageRequest(int32_t linesPerPage, int32_t page);

} // namespace tessaly
