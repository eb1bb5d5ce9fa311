// print_pagination.hpp: the printed list without a printer: lines per page, page count, print columns and each page's
// blocks.
#pragma once

#include "map_model.hpp"
#include "right/right_layout.hpp"

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

// One column header of page 1: its x and its text.
struct PrintHeaderCell {
    int32_t x = 0;
    const char* text = "";
};
// The column headers shown with the model's list options, left to right.
std::vector<PrintHeaderCell> PrintColumnHeaders(const MapModel& model, const PrintColumns& columns);

// The part of one block that falls on a page: rows row0 up to row1 (exclusive) of the page.
struct PrintPart {
    int32_t entry = -1; // index in the listed table (SectionTable or ModuleSectionTable)
    int32_t row0 = 0;
    int32_t row1 = 0;
    // The block's first line is on this page: top edge, address and name are printed. A
    // continuation from the page before gets its side edges only.
    bool blockStarts = false;
    bool red = false; // the entry's RangeFlag is not RangeNormal
};

// Everything one page of the body holds. Row r of the page shows line first + r and is drawn
// at y = (r + 2)·H.
struct PrintedPage {
    int32_t page = 0;
    int32_t first = 0; // the page's first line
    int32_t end = 0; // one past its last line
    bool columnHeaders = false; // page 1: the column headers in row 0, the body from row 1
    std::vector<PrintPart> parts;
    int32_t closingRow = -1; // the row at whose top the last block is closed; −1 when not on this page
    // Per row of the page, the index in its table of the label, constant or function printed
    // there, or −1. Empty when the column is not printed.
    std::vector<int32_t> labels;
    std::vector<int32_t> equs;
    std::vector<int32_t> functions;
};

// Lays out one page (1 to the maximum page) of the list numbered by NumberRows; rows is what
// that numbering returned. The page's first block is the shown one whose lines hold the page's
// start line (BlockAtLine). A page outside the job has no body.
PrintedPage PaginatePage(const MapModel& model, const ListRows& rows, int32_t linesPerPage, int32_t page);

} // namespace tessaly
