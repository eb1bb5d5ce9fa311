// left_geometry.hpp: the left pane's two pictures as plain geometry: positions, texts, bands, marker, hit test, jump
// and zoom.
#pragma once

#include "map_model.hpp"

#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <vector>

namespace tessaly {

// Zoom In stops once the stretched picture is taller than this, so the doubled picture stays
// inside a signed 16-bit coordinate range.
inline constexpr int32_t kZoomLimit = 16383;

// The character cell of the pane's font.
struct CellMetrics {
    int32_t charWidth = 1;
    int32_t lineHeight = 1;
};

// A rectangle with its right and bottom edges exclusive.
struct PictureRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
};

// A text whose cell's top-left corner is at (x, y).
struct PictureText {
    int32_t x = 0;
    int32_t y = 0;
    std::string text;
};

// The logical y range a paint has to cover; items wholly outside it are not produced.
struct PictureClip {
    int32_t top = std::numeric_limits<int32_t>::min();
    int32_t bottom = std::numeric_limits<int32_t>::max();
    bool touches(int32_t y0, int32_t y1) const { return y1 > top && y0 < bottom; }
};

// Scroll extent, page and line steps of one picture.
struct ScrollSizes {
    int32_t width = 0;
    int32_t height = 0;
    int32_t pageWidth = 0;
    int32_t pageHeight = 0;
    int32_t lineWidth = 0;
    int32_t lineHeight = 0;
};

// " %06x" or " %08x".
std::string FormatAddress(int32_t addressDigits, uint32_t address);
// " %06x(%06x)" or " %08x(%08x)".
std::string FormatAddressAndSize(int32_t addressDigits, uint32_t address, uint32_t size);

// The number of SectionTable entries whose size is not 0: the section-list picture's rows.
int32_t CountVisibleRows(const MapModel& model);

// Width of the section-name column in characters, as the pictures use it.
inline int32_t SectionNameMax(const MapModel& model)
{
    return model.NameWidths[NameWidthSection];
}

// ---------------------------------------------------------------------------------------------
// Section-list picture: one box per non-empty entry, one line high.

struct SectionListGeometry {
    int32_t addressX = 0;
    int32_t markerX = 0;
    int32_t boxLeft = 0;
    int32_t boxRight = 0;
    int32_t firstRowTop = 0;
    int32_t listBottom = 0; // top of the line below the last row

    static SectionListGeometry Compute(int32_t addressDigits, int32_t sectionNameMax, CellMetrics cell, int32_t rows);

    // Inclusive bounds, so a click on the border line counts.
    bool contains(int32_t x, int32_t y) const
    {
        return firstRowTop <= y && y <= listBottom && boxLeft <= x && x <= boxRight;
    }
};

struct SectionListRow {
    int32_t row = 0;
    const IeSection* record = nullptr; // the entry's section or free area
    int32_t entry = -1; // its index in SectionTable
    PictureText address; // start and size
    PictureRect box;
    PictureText name; // the entry's name, empty for none; the painter puts the kind tag before it
};

struct SectionListPicture {
    SectionListGeometry geometry;
    PictureText header;
    PictureText sectionHeader;
    std::vector<SectionListRow> rows; // the rows the clip touches
    PictureText markerWipe; // blanks over the previous marker
    PictureText marker; // ">>", red
    PictureText maxAddress;
};

ScrollSizes SectionListScrollSizes(
    const MapModel& model, CellMetrics cell, int32_t rows, int32_t clientWidth, int32_t clientHeight);

// The picture of a loaded file; the list bottom follows the rows actually drawn.
SectionListPicture BuildSectionListPicture(
    const MapModel& model, CellMetrics cell, int32_t markerY, int32_t previousMarkerY, PictureClip clip = {});

// The marker's y for an address: the row whose entry starts at the address, else the row
// before the first entry that starts above it (the header line when that is the first row),
// else the last row.
int32_t SectionListMarkerY(const MapModel& model, CellMetrics cell, uint32_t address);

// The start address of the non-empty entry on the row at logical y. A point on the bottom
// border of the last box lies one row past the last; it gives the last row. Nothing when the
// table has no rows or y is above the first row.
std::optional<uint32_t> SectionListJumpAddress(const MapModel& model, CellMetrics cell, int32_t y);

// ---------------------------------------------------------------------------------------------
// Memory-size picture: the range RangeStart..RangeEnd drawn to scale as one bar.

struct MemorySizeGeometry {
    int32_t addressX = 0;
    int32_t markerX = 0;
    int32_t barLeft = 0;
    int32_t barRight = 0;
    int32_t textX = 0; // section text column
    int32_t barTop = 0;
    int32_t barBottom = 0;
    uint32_t rangeStart = 0;
    uint32_t rangeEnd = 0;

    static MemorySizeGeometry Compute(const MapModel& model, CellMetrics cell, int32_t clientHeight, int32_t zoom);

    int32_t barHeight() const { return barBottom - barTop; }
    // Bar pixels per address, in floating point so the whole 32-bit space fits.
    double pixelsPerAddress() const;
    // The integer part of the address's position; addresses below the range give positions
    // above the bar top. Far-off positions are held to +-2^30 so they stay plain ints.
    int32_t y(uint64_t address) const;
    // The inverse of the scale: the bar top gives RangeStart, the bar bottom RangeEnd.
    uint32_t addressAt(int32_t y) const;

    bool contains(int32_t x, int32_t y) const { return barTop <= y && y <= barBottom && barLeft <= x && x <= barRight; }

    // Half a line above the bar for addresses below the range, half a line below it for
    // addresses above, else on the scale.
    int32_t markerY(uint32_t address, int32_t lineHeight) const;
};

struct MemorySizeBand {
    const IeSection* record = nullptr;
    int32_t entry = -1; // its index in SectionTable
    PictureRect rect;
};

struct MemorySizePicture {
    MemorySizeGeometry geometry;
    PictureText header;
    PictureText mapHeader;
    PictureText sectionHeader;
    PictureRect frame;
    std::optional<PictureText> startLabel;
    std::vector<PictureText> addressLabels;
    std::vector<PictureText> nameLabels;
    std::vector<PictureText> ellipses; // "..." after a label whose neighbours were crowded out
    // " free(SIZE)" in the text column of a free area at least one line high that got an address
    // label, on that label's line.
    std::vector<PictureText> freeLabels;
    std::vector<MemorySizeBand> bands;
    std::optional<PictureText> endLabel;
    PictureText marker; // ">>", red
};

// Jump's address for a click on row y of the memory-size picture: the start of the band painted
// on that row (a section's over a free area's, a later one's over an earlier one's), so that a
// band's top row gives its own start and a two-pixel band is reached from both of its rows; the
// inverse of the scale where no band is painted.
uint32_t MemorySizeJumpAddress(const MapModel& model, const MemorySizeGeometry& geometry, int32_t y);

ScrollSizes MemorySizeScrollSizes(
    const MapModel& model, CellMetrics cell, int32_t zoom, int32_t clientWidth, int32_t clientHeight);

// The picture of a loaded file at the given client height and zoom.
MemorySizePicture BuildMemorySizePicture(const MapModel& model, CellMetrics cell, int32_t clientHeight, int32_t zoom,
    int32_t markerY, PictureClip clip = {});

// ---------------------------------------------------------------------------------------------
// Hover: the address under the pointer and the entry there, for the status bar.

// The SectionTable index of the entry of non-zero size that holds the address: of those
// starting at or below it, the last; nothing when that one ends at or below the address.
// A binary search: the pointer moves often and the table may be long.
std::optional<std::size_t> SectionEntryAt(const MapModel& model, uint32_t address);

// The SectionTable indexes of the section-list picture's rows, the entries of non-zero size.
std::vector<int32_t> SectionListRowEntries(const MapModel& model);

// "Address 001234: [C] CODE 001000(000100)", "Address 001234: free 001100(000f00)" for a free
// area, "Address 001234" where no entry holds the address; entry is a SectionTable index.
std::string HoverText(const MapModel& model, uint32_t address, std::optional<std::size_t> entry);

// ---------------------------------------------------------------------------------------------
// Zoom.

// Zoom In acts while the picture (line height + bar bottom, that is zoom x client height) is
// at most kZoomLimit.
inline bool ZoomInAllowed(int32_t lineHeight, int32_t barBottom)
{
    return static_cast<int64_t>(lineHeight) + barBottom <= kZoomLimit;
}

struct ZoomCommandState {
    bool zoomInEnabled = false;
    bool zoomOutEnabled = false;
};

ZoomCommandState ZoomState(const MapModel& model, int32_t zoom, int32_t lineHeight, int32_t barBottom);

// The zoom after Zoom In or Zoom Out; unchanged at the limits.
int32_t ZoomedIn(int32_t zoom, int32_t lineHeight, int32_t barBottom);
int32_t ZoomedOut(int32_t zoom);

} // namespace tessaly
