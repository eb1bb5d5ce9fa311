// list_columns.hpp: the symbol list's columns without a window: which are shown, their header texts, widths, layout,
// re-stacking after a drag and border hit tests.
#pragma once

#include "map_model.hpp"

#include <cstdint>
#include <vector>

namespace tessaly {

// Columns, numbered from 1 in their order on the list, as the drag code numbers them; 0 means none.
// A column added later takes the next number and stands after Function.
enum ListColumn : int {
    ColumnNone = 0,
    ColumnAddress = 1,
    ColumnSection = 2,
    ColumnLabel = 3,
    ColumnEqu = 4,
    ColumnFunction = 5,
    ColumnChange = 6, // while comparing with a baseline
};
// The columns every list has.
inline constexpr int kColumnCount = 5;

struct ColumnInfo {
    int32_t nLeft = 0; // list pixels, before horizontal scrolling
    int32_t nRight = 0;
    int32_t nDragX = 0; // nRight after a layout; the window x of the drag bar while a drag runs
    int32_t nWidthPx = 0;
};

// m_columns: index 0 is the Address column (column number 1). A table of the list's columns
// starts with kColumnCount entries, so that a pane that has not laid out yet hits nothing.
using ColumnTable = std::vector<ColumnInfo>;

inline ColumnTable EmptyColumnTable()
{
    return ColumnTable(kColumnCount);
}
inline ColumnInfo& column(ColumnTable& columns, int number)
{
    return columns.at(static_cast<size_t>(number - 1));
}
inline const ColumnInfo& column(const ColumnTable& columns, int number)
{
    return columns.at(static_cast<size_t>(number - 1));
}
inline int columnCount(const ColumnTable& columns)
{
    return static_cast<int>(columns.size());
}

// Where a shown column lies on a surface, in the surface's units; right is exclusive.
struct ColumnSpan {
    int number = ColumnNone;
    int32_t left = 0;
    int32_t right = 0;
    friend bool operator==(const ColumnSpan&, const ColumnSpan&) = default;
};

// The shown columns of a laid-out table in window pixels, after horizontal scrolling.
std::vector<ColumnSpan> ScreenColumnSpans(const ColumnTable& columns, const MapModel& model, int32_t scrollPx);

// Whether the column is shown with the model's current list options.
bool ColumnShown(const MapModel& model, int number);
// The rightmost shown column of a table of count columns.
int LastShownColumn(const MapModel& model, int count = kColumnCount);
// The header text of a column; on paper the 8-digit Address header has the shorter form.
const char* ColumnHeaderText(int number, int32_t addressDigits, bool localInformation, bool paper = false);

// The widths in pixels for a character width cw, from NameWidths and AddressDigits, one per column.
std::vector<int32_t> ColumnWidths(const MapModel& model, int32_t cw);
// Places the columns side by side from x = 0 with the given widths; every nDragX = nRight.
void LayoutColumns(ColumnTable& columns, const std::vector<int32_t>& widths);
// After a border drag: Address ends at its nDragX, the others follow with their own widths;
// Function follows .EQU only while the .EQU list is shown, and any later column follows Function.
void RestackColumns(ColumnTable& columns, bool showEquList);

// Which border the point is on, 1 to the column count, or 0. A border is the column's right edge
// in window coordinates; the point must be within one pixel of it and inside the header row. Only
// shown columns count when onlyShown is set (a press); a hover tests all of them.
int HitColumnBorder(const ColumnTable& columns, const MapModel& model, int32_t scrollPx, int32_t lineHeight, int32_t x,
    int32_t y, bool onlyShown);
// Where the drag bar may go for pointer x: never closer than 3 pixels to the column's left edge.
int32_t ClampDragX(const ColumnTable& columns, int number, int32_t scrollPx, int32_t x);
// Ends a drag with the bar at window x: the column's right edge and width follow it.
void FinishDrag(ColumnTable& columns, int number, int32_t barX, int32_t scrollPx);

} // namespace tessaly
