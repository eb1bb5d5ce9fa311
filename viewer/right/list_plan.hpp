// list_plan.hpp: the one plan of the symbol list: for a window of lines (the rows of a paint, or a printed page),
// its rows and their cells, already formatted, which the renderer draws on the screen or on paper.
#pragma once

#include "map_model.hpp"
#include "right/list_columns.hpp"
#include "right/right_layout.hpp"
#include "section_tag.hpp"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tessaly {

// The colour a cell's text is written in; the surface decides what the window's text colour is.
enum class Ink : uint8_t {
    WindowText,
    Black,
    Red, // a block whose RangeFlag is not RangeNormal; a block that grew since the baseline
    Green, // a block that shrank since the baseline, or is gone
};

// Characters of a cell drawn inverted, counted from the cell's left edge: Find's match. A length of
// kWholeCell inverts the whole cell.
inline constexpr int32_t kWholeCell = -1;
struct CellHighlight {
    int32_t start = 0;
    int32_t length = 0; // 0: nothing inverted
    friend bool operator==(const CellHighlight&, const CellHighlight&) = default;
};

// One cell with something in it. A Section cell stands on every row of a block, so that its box
// is drawn there; the other columns have cells only where there is a text.
struct PlanCell {
    int32_t row = 0; // index in ListPlan::rows
    int column = ColumnNone;
    // The cell's text in ListPlan::texts; names are bytes as they are, the renderer maps them to
    // characters.
    uint32_t textBegin = 0;
    uint32_t textLength = 0;
    Ink ink = Ink::WindowText;
    CellHighlight highlight;
    int32_t indent = 0; // characters from the column's left edge to the text
    bool utf8 = false; // the viewer's own text in UTF-8 (the change column), not a name's bytes
};

struct PlanRow {
    int32_t line = 0;
    int32_t block = -1; // index, in the listed table, of the block that owns the line; -1 for none
    bool blockStart = false; // the block's first line: its top edge, address and name
    Rgb box = kRgbWhite; // the block's tag colour, the fill of its Section cell
};

// The last Find result, as the screen shows it.
struct PlanMatch {
    int32_t kind = -1; // SearchKind: 0 Label, 1 Section; anything else shows nothing
    int32_t line = 0;
    int32_t offset = 0;
    int32_t length = 0;
};

// The row the user picked, drawn inverted: an item column's cell on the line, or for
// ColumnSection the Address and Section cells where the block starting on the line begins.
struct PlanSelection {
    int column = ColumnNone;
    int32_t line = 0;
};

// What a surface asks for. The screen asks for the rows under its header, the item columns one
// row longer; a page asks for its lines, page 1 from line 0, whose row holds the column headers.
struct PlanRequest {
    int32_t firstLine = 1; // the line of row 0; line 0 is the column headers' line
    int32_t blockRows = 0; // rows of the Address and Section columns
    int32_t itemRows = 0; // rows of the Label, .EQU and Function columns
    // The last block is closed where it ends even when that is just past the last row (a page's
    // foot); the screen closes it only inside the rows.
    bool closeAtWindowEnd = false;
    // Line 0, when in the window, carries the column headers (paper: page 1).
    bool columnHeaders = false;
    PlanMatch match;
    PlanSelection selection;
};

struct ListPlan {
    std::vector<PlanRow> rows; // the lines firstLine, firstLine + 1, ...
    std::vector<PlanCell> cells; // column by column, in column order, each top to bottom
    std::string texts; // the cells' texts one after the other, formatted in one buffer
    int32_t blockRows = 0;
    int32_t itemRows = 0;
    // Row at whose top the last block is closed; −1 when it does not end in the window.
    int32_t closeRow = -1;
    bool hasTopAddress = false; // false when row 0 shows no block
    uint32_t topAddress = 0; // start of the block that owns row 0

    std::string_view text(const PlanCell& cell) const
    {
        return std::string_view(texts).substr(cell.textBegin, cell.textLength);
    }
};

// The plan of the request's window over the rows numbered by NumberRows (rows is what that
// numbering returned) for the model's current options. Costs a binary search plus the rows,
// wherever the window lies in the list.
ListPlan PlanList(const MapModel& model, const ListRows& rows, const PlanRequest& request);

// The index, in the listed table, of the shown block whose rows hold the line, or −1.
int32_t BlockAtLine(const MapModel& model, int32_t line);

} // namespace tessaly
