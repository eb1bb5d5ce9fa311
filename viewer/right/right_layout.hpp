// right_layout.hpp: the symbol list without a window: section tags, row numbering and the column table.
#pragma once

#include "map_model.hpp"

#include <array>
#include <cstdint>
#include <vector>

namespace tessaly {

// A colour as plain red, green and blue, so the layout needs no graphics library.
struct Rgb {
    uint8_t r = 0;
    uint8_t g = 0;
    uint8_t b = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

inline constexpr Rgb kRgbWhite { 255, 255, 255 };
inline constexpr Rgb kRgbBlack { 0, 0, 0 };
inline constexpr Rgb kRgbRed { 255, 0, 0 };
inline constexpr Rgb kRgbData { 255, 255, 0 };
inline constexpr Rgb kRgbCode { 0, 255, 255 };
inline constexpr Rgb kRgbRom { 0, 255, 0 };

// The section types of the three kinds that get a tag.
inline constexpr int32_t kSectionTypeData = IE_SECTION_ASD;
inline constexpr int32_t kSectionTypeCode = IE_SECTION_ASP;
inline constexpr int32_t kSectionTypeRom = IE_SECTION_ASR;

struct SectionTag {
    const char* text = "   ";
    Rgb colour = kRgbWhite;
};

// The kind tag and box colour of a section or free area, and of a module section (whose owning
// section decides the kind; its own size decides the letter case). Both panes and the printout
// use it.
SectionTag GetSectionTag(const IeSection* section);
SectionTag GetSectionTag(const IeModSection* part);

// Columns, numbered as the drag code numbers them; 0 means none.
enum ListColumn : int {
    ColumnNone = 0,
    ColumnAddress = 1,
    ColumnSection = 2,
    ColumnLabel = 3,
    ColumnEqu = 4,
    ColumnFunction = 5,
};
inline constexpr int kColumnCount = 5;

struct ColumnInfo {
    int32_t nLeft = 0; // list pixels, before horizontal scrolling
    int32_t nRight = 0;
    int32_t nDragX = 0; // nRight after a layout; the window x of the drag bar while a drag runs
    int32_t nWidthPx = 0;
};

// m_columns: index 0 is the Address column (column number 1).
using ColumnTable = std::array<ColumnInfo, kColumnCount>;

inline ColumnInfo& column(ColumnTable& columns, int number)
{
    return columns[static_cast<size_t>(number - 1)];
}
inline const ColumnInfo& column(const ColumnTable& columns, int number)
{
    return columns[static_cast<size_t>(number - 1)];
}

// Whether the column is shown with the model's current list options.
bool ColumnShown(const MapModel& model, int number);
// The rightmost shown column: Function, .EQU or Label.
int LastShownColumn(const MapModel& model);
// The header text of a column for the given address digits and local-information mode.
const char* ColumnHeaderText(int number, int32_t addressDigits, bool localInformation);

// The five widths in pixels for a character width cw, from NameWidths and AddressDigits.
std::array<int32_t, kColumnCount> ColumnWidths(const MapModel& model, int32_t cw);
// Places the columns side by side from x = 0 with the given widths; every nDragX = nRight.
void LayoutColumns(ColumnTable& columns, const std::array<int32_t, kColumnCount>& widths);
// After a border drag: Address ends at its nDragX, the others follow with their own widths;
// Function follows .EQU only while the .EQU list is shown.
void RestackColumns(ColumnTable& columns, bool showEquList);

// Which border the point is on, 1 to 5, or 0. A border is the column's right edge in window
// coordinates; the point must be within one pixel of it and inside the header row. Only shown
// columns count when onlyShown is set (a press); a hover tests all five.
int HitColumnBorder(const ColumnTable& columns, const MapModel& model, int32_t scrollPx, int32_t lineHeight, int32_t x,
    int32_t y, bool onlyShown);
// Where the drag bar may go for pointer x: never closer than 3 pixels to the column's left edge.
int32_t ClampDragX(const ColumnTable& columns, int number, int32_t scrollPx, int32_t x);
// Ends a drag with the bar at window x: the column's right edge and width follow it.
void FinishDrag(ColumnTable& columns, int number, int32_t barX, int32_t scrollPx);

// Entries of size 0 get no row while OmitZeroSizeSections is on.
inline bool IsOmitted(const SectionEntry& entry, bool omitZeroSize)
{
    return omitZeroSize && entry.record->size == 0;
}
inline bool IsOmitted(const ModuleSectionEntry& entry, bool omitZeroSize)
{
    return omitZeroSize && entry.record->size == 0;
}

// The outcome of numbering the rows: the line count and, per item table, the indexes of the
// entries that got a row, in line order, so a paint can find the first visible one by binary
// search (labels of scope 'L' and items of omitted blocks have no row and are not listed).
struct ListRows {
    int32_t lineCount = 0; // m_nLineCount: one past the highest line in use
    std::vector<int32_t> labels;
    std::vector<int32_t> equs;
    std::vector<int32_t> functions;
};

// Numbers the blocks and their items for the model's current options, writing startLine and
// lineCount of the listed table and line of every label, constant and function (−1 when it has
// no row). An omitted entry gets lineCount 0 and the startLine of the next block, in both modes,
// so a jump onto it shows that block.
ListRows NumberRows(MapModel& model);

} // namespace tessaly
