// memory_size_geometry_test.cpp: the memory-size picture: scale, bands, labels and "...", start and end labels, marker,
// Jump and zoom.
#include "left_geometry.hpp"
#include "picture_tables.hpp"
#include "section_tag.hpp"

#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <vector>

namespace {

using tessaly::CellMetrics;
using tessaly::MemorySizeGeometry;
using tessaly::testing::Entry;
using tessaly::testing::PictureTable;

// With these the bar runs from 20 to 1043, 1023 pixels for the 1023 addresses 100..4ff, so
// y(a) = 20 + (a - 0x100).
constexpr CellMetrics kCell { 8, 10 };
constexpr int32_t kClientHeight = 1053;
constexpr uint32_t kRangeStart = 0x100;
constexpr uint32_t kRangeEnd = 0x4FF;

tessaly::MemorySizePicture picture(const PictureTable& table, int32_t markerY = 0)
{
    return tessaly::BuildMemorySizePicture(table.model, kCell, kClientHeight, 1, markerY);
}

struct Span {
    int32_t top, bottom;
    bool operator==(const Span&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Span& s)
{
    return out << s.top << ".." << s.bottom;
}

std::vector<Span> bandSpans(const tessaly::MemorySizePicture& p)
{
    std::vector<Span> spans;
    for (const auto& band : p.bands)
        spans.push_back({ band.rect.top, band.rect.bottom });
    return spans;
}

struct Placed {
    int32_t x, y;
    std::string text;
    bool operator==(const Placed&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Placed& p)
{
    return out << p.x << "," << p.y << " '" << p.text << "'";
}

std::vector<Placed> placed(const std::vector<tessaly::PictureText>& texts)
{
    std::vector<Placed> out;
    for (const auto& t : texts)
        out.push_back({ t.x, t.y, t.text });
    return out;
}

TEST(MemorySizeGeometryTest, ColumnsAndBarFollowDigitsClientHeightAndZoom)
{
    struct Case {
        int32_t digits;
        int32_t client_height;
        int32_t zoom;
        int32_t marker_x, bar_left, bar_right, text_x, bar_bottom;
    };
    const Case cases[] = {
        { 6, 500, 1, 7 * 8, 9 * 8, 17 * 8, 18 * 8, 490 },
        { 8, 500, 1, 9 * 8, 11 * 8, 19 * 8, 20 * 8, 490 },
        { 6, 500, 4, 7 * 8, 9 * 8, 17 * 8, 18 * 8, 1990 },
        { 8, 8000, 4, 9 * 8, 11 * 8, 19 * 8, 20 * 8, 31990 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.digits << " digits, zoom " << c.zoom);
        const PictureTable table(c.digits, {}, 0, 0xFFFF);
        const MemorySizeGeometry g = MemorySizeGeometry::Compute(table.model, kCell, c.client_height, c.zoom);
        EXPECT_EQ(g.addressX, 0);
        EXPECT_EQ(g.markerX, c.marker_x);
        EXPECT_EQ(g.barLeft, c.bar_left);
        EXPECT_EQ(g.barRight, c.bar_right);
        EXPECT_EQ(g.textX, c.text_x);
        EXPECT_EQ(g.barTop, 20);
        EXPECT_EQ(g.barBottom, c.bar_bottom);
    }
}

TEST(MemorySizeGeometryTest, ScaleTruncatesAndHandlesTheWhole32BitSpace)
{
    struct Case {
        uint32_t range_start, range_end;
        uint64_t address;
        int32_t y;
    };
    const Case cases[] = {
        { kRangeStart, kRangeEnd, 0x100, 20 }, { kRangeStart, kRangeEnd, 0x180, 148 },
        { kRangeStart, kRangeEnd, 0x4FF, 1043 },
        { kRangeStart, kRangeEnd, 0x80, -108 }, // below the range: above the bar
        { 0, 0xFFFFF, 0x1000, 23 }, // 23.996 truncated
        { 0, 0xFFFFFFFF, 0xFFFFFFFF, 1043 }, { 0, 0xFFFFFFFF, 0x80000000, 531 }, // 20 + 511.5000001
        { 0x100, 0x1FF, 0xFFFFFFFF, 1 << 30 }, // far below a narrow range: held, not overflowed
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.range_start << ".." << c.range_end << " @" << c.address);
        const PictureTable table(8, {}, c.range_start, c.range_end);
        const MemorySizeGeometry g = MemorySizeGeometry::Compute(table.model, kCell, kClientHeight, 1);
        EXPECT_EQ(g.y(c.address), c.y);
    }
}

TEST(MemorySizePictureTest, HeadersFrameAndMarker)
{
    struct Case {
        int32_t digits;
        const char* header;
        int32_t bar_left, text_x;
    };
    const Case cases[] = {
        { 6, "Address", 9 * 8, 18 * 8 },
        { 8, "  Address", 11 * 8, 20 * 8 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.digits);
        const PictureTable table(c.digits, {}, kRangeStart, kRangeEnd);
        const auto p = picture(table, 300);
        EXPECT_EQ(p.header.text, c.header);
        EXPECT_EQ((Placed { p.mapHeader.x, p.mapHeader.y, p.mapHeader.text }), (Placed { c.bar_left, 0, "Map" }));
        EXPECT_EQ(p.sectionHeader.text, "Section(size)");
        EXPECT_EQ(p.sectionHeader.x, c.text_x);
        EXPECT_EQ(p.frame.top, 20);
        EXPECT_EQ(p.frame.bottom, 1043);
        EXPECT_EQ(p.frame.left, c.bar_left);
        EXPECT_EQ(p.frame.right, c.bar_left + 8 * 8);
        EXPECT_EQ(p.marker.text, ">>");
        EXPECT_EQ(p.marker.y, 295); // half a line above the marker's y
    }
}

TEST(MemorySizePictureTest, BandsFollowStartAndEndInsideTheRange)
{
    struct Case {
        const char* what;
        std::vector<Entry> entries;
        uint32_t range_start, range_end;
        std::vector<Span> bands;
    };
    const Case cases[] = {
        { "starts below RangeStart: from the bar top", { { "low", 0x80, 0x100 } }, kRangeStart, kRangeEnd,
            { { 20, 148 } } },
        { "runs past RangeEnd: to the bar bottom", { { "high", 0x400, 0x200 } }, kRangeStart, kRangeEnd,
            { { 788, 1043 } } },
        { "ends exactly at RangeEnd: to the bar bottom", { { "edge", 0x400, 0xFF } }, kRangeStart, kRangeEnd,
            { { 788, 1043 } } },
        { "an entry above RangeEnd ends the walk",
            { { "in", 0x100, 0x10 }, { "above", 0x500, 0x10 }, { "after", 0x200, 0x10 } }, kRangeStart, kRangeEnd,
            { { 20, 36 } } },
        { "size 0 is never drawn", { { "zero", 0x200, 0 }, { "one", 0x200, 0x10 } }, kRangeStart, kRangeEnd,
            { { 276, 292 } } },
        { "ends below RangeStart: skipped", { { "gone", 0x0, 0x80 }, { "kept", 0x100, 0x10 } }, kRangeStart, kRangeEnd,
            { { 20, 36 } } },
        { "sub-pixel sections are two pixels high", { { "tiny", 0x1000, 0x10 }, { "byte", 0x2000, 1 } }, 0, 0xFFFFF,
            { { 23, 25 }, { 27, 29 } } },
        { "reaching the top of the 32-bit space: to the bar bottom", { { "top", 0xFFFFFF00, 0x100 } }, 0, 0xFFFFFFFF,
            { { 1042, 1044 } } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const PictureTable table(8, c.entries, c.range_start, c.range_end);
        const auto p = picture(table);
        EXPECT_EQ(bandSpans(p), c.bands);
        for (const auto& band : p.bands) {
            EXPECT_EQ(band.rect.left, 11 * 8);
            EXPECT_EQ(band.rect.right, 19 * 8);
            EXPECT_GE(band.rect.bottom - band.rect.top, 2);
        }
    }
}

TEST(MemorySizePictureTest, BandsCarryTheirRecord)
{
    const PictureTable table(
        6, { { nullptr, 0x100, 0x100 }, { "code", 0x200, 0x100, IE_SECTION_ASP } }, kRangeStart, kRangeEnd);
    const auto p = picture(table);
    ASSERT_EQ(p.bands.size(), 2u);
    EXPECT_EQ(p.bands[0].record->name, nullptr);
    EXPECT_STREQ(p.bands[1].record->name, "code");
    EXPECT_EQ(p.bands[1].record->type, IE_SECTION_ASP);
}

TEST(MemorySizePictureTest, CrowdedLabelsGiveWayToEllipses)
{
    struct Case {
        const char* what;
        std::vector<Entry> entries;
        std::vector<Placed> addresses;
        std::vector<Placed> names;
        std::vector<Placed> ellipses;
    };
    const Case cases[] = {
        { "crowded named entries append \"...\" after the last label, once",
            {
                { "alpha", 0x100, 0x4 }, // y 20: label
                { "beta", 0x104, 0x2 }, // y 24: crowded
                { "bravo", 0x106, 0x2 }, // y 26: crowded, same "..."
                { nullptr, 0x108, 0x4 }, // y 28: crowded free area, no "..."
                { "delta", 0x10C, 0x4 }, // y 32: label
                { nullptr, 0x110, 0x10 }, // y 36: crowded free area
                { nullptr, 0x120, 0x4 }, // y 52: label of the address only
                { "gamma", 0x124, 0x4 }, // y 56: crowded, "..." after the address text
                { "last", 0x128, 0x3D8 }, // y 60: crowded but the table's last row
            },
            { { 0, 20, " 000100" }, { 0, 32, " 00010c" }, { 0, 52, " 000120" } },
            { { 144, 20, " alpha(000004)" }, { 144, 32, " delta(000004)" } },
            { { 144 + 14 * 8, 20, "..." }, { 144 + 7 * 8, 52, "..." } } },
        { "no \"...\" before the first label",
            { { "under", 0x0, 0x110 }, { "next", 0x110, 0x4 }, { nullptr, 0x114, 0x3EB } }, { { 0, 36, " 000110" } },
            { { 144, 36, " next(000004)" } }, {} },
        { "a crowded free area as last row",
            { { "one", 0x100, 0x4 }, { "two", 0x104, 0x4 }, { nullptr, 0x108, 0x3F7 } }, { { 0, 20, " 000100" } },
            { { 144, 20, " one(000004)" } }, { { 144 + 12 * 8, 20, "..." } } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const PictureTable table(6, c.entries, kRangeStart, kRangeEnd);
        const auto p = picture(table);
        EXPECT_EQ(placed(p.addressLabels), c.addresses);
        EXPECT_EQ(placed(p.nameLabels), c.names);
        EXPECT_EQ(placed(p.ellipses), c.ellipses);
    }
}

TEST(MemorySizePictureTest, FreeAreasALineHighAreLabelledWithTheirSize)
{
    const PictureTable table(6,
        {
            { "A", 0x100, 0x10 }, // y 20
            { nullptr, 0x110, 0x10 }, // y 36-52: labelled
            { "B", 0x120, 0x5 }, // y 52
            { nullptr, 0x125, 0x5 }, // y 57-62, under a line: not labelled
            { "C", 0x12A, 0x5 }, // y 62
            { nullptr, 0x12F, 0x3D1 }, // y 67 on: tall but crowded out by C's label, not labelled
        },
        kRangeStart, kRangeEnd);
    const auto p = picture(table);
    EXPECT_EQ(placed(p.freeLabels), (std::vector<Placed> { { 144, 36, " free(000010)" } }));
    const PictureTable wide(8, { { "A", 0x100, 0x10 }, { nullptr, 0x110, 0x3F0 } }, kRangeStart, kRangeEnd);
    EXPECT_EQ(placed(picture(wide).freeLabels), (std::vector<Placed> { { (8 + 12) * 8, 36, " free(000003f0)" } }));
}

TEST(MemorySizePictureTest, StartLabelNeedsRoomBelowIt)
{
    struct Case {
        const char* what;
        std::vector<Entry> entries;
        bool start_label;
    };
    const Case cases[] = {
        { "first band taller than a line", { { "a", 0x100, 0x20 } }, true },
        { "first band exactly a line", { { "a", 0x100, 0xA } }, false },
        { "first band starts below the range, 8 pixels inside", { { "a", 0xF8, 0x10 } }, false },
        { "size-0 and earlier entries do not count", { { "z", 0x100, 0 }, { "e", 0x0, 0x100 }, { "a", 0x100, 0x20 } },
            true },
        { "no entry reaches the range", { { "above", 0x600, 0x10 } }, true },
        { "empty table", {}, true },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const PictureTable table(6, c.entries, kRangeStart, kRangeEnd);
        const auto p = picture(table);
        ASSERT_EQ(p.startLabel.has_value(), c.start_label);
        if (p.startLabel) {
            EXPECT_EQ((Placed { p.startLabel->x, p.startLabel->y, p.startLabel->text }), (Placed { 0, 20, " 000100" }));
        }
    }
}

TEST(MemorySizePictureTest, EndLabelUnlessTheLastLabelSitsOnTheBottom)
{
    struct Case {
        const char* what;
        std::vector<Entry> entries;
        bool end_label;
    };
    const Case cases[] = {
        { "last entry labelled, band top one line above the bottom", { { "a", 0x100, 0x3F5 }, { "z", 0x4F5, 0x10 } },
            false },
        { "last entry labelled, band top more than a line above", { { "a", 0x100, 0x3F4 }, { "z", 0x4F4, 0x10 } },
            true },
        { "last entry crowded out", { { "a", 0x100, 0x3F0 }, { "y", 0x4F0, 0x5 }, { "z", 0x4F5, 0x10 } }, true },
        // y's label stands at 1035, less than a line above the bottom: the end label gives way.
        { "last entry crowded out under a label near the bottom",
            { { "a", 0x100, 0x3F7 }, { "y", 0x4F7, 0x2 }, { "z", 0x4F9, 0x10 } }, false },
        { "last entry crowded out under a label a line above the bottom",
            { { "a", 0x100, 0x3F5 }, { "y", 0x4F5, 0x5 }, { "z", 0x4FA, 0x10 } }, true },
        { "a free area's address label near the bottom",
            { { "a", 0x100, 0x3F8 }, { nullptr, 0x4F8, 0x2 }, { "z", 0x4FA, 0x10 } }, false },
        { "nothing in the range", { { "above", 0x600, 0x10 } }, true },
        { "the entry above RangeEnd is not the last drawn", { { "z", 0x4F5, 0xB }, { "above", 0x600, 0x10 } }, false },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const PictureTable table(6, c.entries, kRangeStart, kRangeEnd);
        const auto p = picture(table);
        ASSERT_EQ(p.endLabel.has_value(), c.end_label);
        if (p.endLabel) {
            EXPECT_EQ((Placed { p.endLabel->x, p.endLabel->y, p.endLabel->text }), (Placed { 0, 1043, " 0004ff" }));
        }
    }
}

TEST(MemorySizeMarkerTest, OutsideTheRangeHalfALineBeyondTheBar)
{
    struct Case {
        int32_t line_height;
        uint32_t address;
        int32_t marker_y; // with bar top 2 lines and bar bottom 1053 - line height
    };
    const Case cases[] = {
        { 10, 0x80, 15 },
        { 10, 0x600, 1048 },
        { 10, 0x180, 148 },
        { 10, kRangeStart, 20 },
        { 15, 0x0, 23 }, // 30 - 7
        { 15, 0xFFFFFF, 1038 + 7 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.line_height << " @" << std::hex << c.address);
        const PictureTable table(6, {}, kRangeStart, kRangeEnd);
        const CellMetrics cell { 8, c.line_height };
        const MemorySizeGeometry g = MemorySizeGeometry::Compute(table.model, cell, kClientHeight, 1);
        const int32_t y = g.markerY(c.address, c.line_height);
        EXPECT_EQ(y, c.marker_y);
        const auto p = tessaly::BuildMemorySizePicture(table.model, cell, kClientHeight, 1, y);
        EXPECT_EQ(p.marker.y, y - c.line_height / 2);
        EXPECT_EQ(p.marker.x, 7 * 8);
    }
}

TEST(MemorySizeHitTest, BoundsAreInclusive)
{
    const PictureTable table(6, {}, kRangeStart, kRangeEnd);
    const MemorySizeGeometry g = MemorySizeGeometry::Compute(table.model, kCell, kClientHeight, 1);
    struct Case {
        int32_t x, y;
        bool inside;
    };
    const Case cases[] = {
        { 72, 20, true },
        { 136, 1043, true },
        { 100, 500, true },
        { 71, 500, false },
        { 137, 500, false },
        { 100, 19, false },
        { 100, 1044, false },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << "," << c.y);
        EXPECT_EQ(g.contains(c.x, c.y), c.inside);
    }
}

TEST(MemorySizeJumpTest, InverseOfTheScale)
{
    struct Case {
        uint32_t range_start, range_end;
        int32_t client_height;
        int32_t y;
        uint32_t address;
    };
    const Case cases[] = {
        { kRangeStart, kRangeEnd, kClientHeight, 20, kRangeStart }, // bar top
        { kRangeStart, kRangeEnd, kClientHeight, 1043, kRangeEnd }, // bar bottom
        { kRangeStart, kRangeEnd, kClientHeight, 148, 0x180 }, // a band's top edge
        { 0, 0xFFFFFFFF, kClientHeight, 20, 0 },
        { 0, 0xFFFFFFFF, kClientHeight, 1043, 0xFFFFFFFF },
        { 0x100, 0xFFFFFF, 8000, 20, 0x100 },
        { 0x100, 0xFFFFFF, 8000, 7990, 0xFFFFFF },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(
            testing::Message() << std::hex << c.range_start << ".." << c.range_end << " y " << std::dec << c.y);
        const PictureTable table(8, {}, c.range_start, c.range_end);
        const MemorySizeGeometry g = MemorySizeGeometry::Compute(table.model, kCell, c.client_height, 1);
        EXPECT_EQ(g.addressAt(c.y), c.address);
    }
}

TEST(MemorySizeJumpTest, TheBandPaintedUnderThePoint)
{
    // Sixteen addresses a pixel, y(a) = 20 + (a - 0x100) / 16 truncated: A 20-52, free 52-68, T
    // (3 bytes, under a pixel) 68-70 drawn two pixels high over the free area after it (68-260),
    // B 260-516 whose start 0x1008 lies half a pixel into its top row; nothing below 516.
    const PictureTable table(6,
        { { "A", 0x100, 0x200 }, { nullptr, 0x300, 0x105 }, { "T", 0x405, 0x3 }, { nullptr, 0x408, 0xC00 },
            { "B", 0x1008, 0x1000 } },
        0x100, 0x100 + 16 * 1023);
    const MemorySizeGeometry g = MemorySizeGeometry::Compute(table.model, kCell, kClientHeight, 1);
    ASSERT_EQ(g.y(0x1008), 260);
    struct Case {
        int32_t y;
        uint32_t address;
    };
    const Case cases[] = {
        { 20, 0x100 }, // the bar top: A
        { 51, 0x100 }, { 52, 0x300 }, // the free area's top row
        { 68, 0x405 }, // T's top row, over the free area that shares it
        { 69, 0x405 }, // T's second row
        { 70, 0x408 }, { 260, 0x1008 }, // B's top row, which the scale alone reads as 0x1000
        { 515, 0x1008 }, { 600, 0x100 + 16 * 580 }, // below every band: the scale
        { 1043, 0x100 + 16 * 1023 }, // the bar bottom: RangeEnd
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "y " << c.y);
        EXPECT_EQ(tessaly::MemorySizeJumpAddress(table.model, g, c.y), c.address);
    }
}

TEST(HoverTest, TheAddressAndTheEntryThatHoldsIt)
{
    const PictureTable table(6,
        { { "CODE", 0x100, 0x10, tessaly::kSectionTypeCode }, { nullptr, 0x110, 0x10 }, { "Z", 0x120, 0 },
            { "OTHER", 0x120, 0x8 }, { "Y", 0x130, 0 } },
        kRangeStart, kRangeEnd);
    struct Case {
        uint32_t address;
        std::string text;
    };
    const Case cases[] = {
        { 0xFF, "Address 0000ff" },
        { 0x100, "Address 000100: [C] CODE 000100(000010)" },
        { 0x10F, "Address 00010f: [C] CODE 000100(000010)" },
        { 0x110, "Address 000110: free 000110(000010)" },
        { 0x120, "Address 000120: OTHER 000120(000008)" }, // Z at the same start holds nothing
        { 0x128, "Address 000128" }, // past OTHER, before Y, which has no size
        { 0x140, "Address 000140" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(tessaly::HoverText(table.model, c.address, tessaly::SectionEntryAt(table.model, c.address)), c.text);
    }
    EXPECT_EQ(tessaly::SectionListRowEntries(table.model), (std::vector<int32_t> { 0, 1, 3 }));
}

TEST(ZoomTest, ZoomInStopsAtTheCoordinateLimit)
{
    struct Case {
        int32_t client_height;
        int32_t final_zoom;
    };
    const Case cases[] = {
        { 8000, 4 }, // 32000 pixels
        { 100, 256 }, // 25600 pixels
        { 16383, 2 }, { 16384, 1 }, { 1, 16384 },
        { 0, 16384 }, // no client area: held by the cap instead of doubling forever
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.client_height);
        const PictureTable table(6, {}, 0, 0xFFFFFF);
        int32_t zoom = 1;
        for (int step = 0; step < 40; ++step) {
            const auto g = MemorySizeGeometry::Compute(table.model, kCell, c.client_height, zoom);
            const int32_t next = tessaly::ZoomedIn(zoom, kCell.lineHeight, g.barBottom);
            EXPECT_EQ(tessaly::ZoomState(table.model, zoom, kCell.lineHeight, g.barBottom).zoomInEnabled, next != zoom);
            if (next == zoom)
                break;
            EXPECT_EQ(next, 2 * zoom);
            zoom = next;
        }
        EXPECT_EQ(zoom, c.final_zoom);
    }
}

TEST(ZoomTest, CommandStates)
{
    struct Case {
        const char* what;
        bool loaded;
        tessaly::ImageMode mode;
        int32_t zoom;
        int32_t bar_bottom;
        bool zoom_in, zoom_out;
    };
    const Case cases[] = {
        { "memory size at zoom 1", true, tessaly::MemorySizeImage, 1, 490, true, false },
        { "memory size zoomed", true, tessaly::MemorySizeImage, 2, 990, true, true },
        { "at the limit", true, tessaly::MemorySizeImage, 4, 16374, false, true },
        { "just below the limit", true, tessaly::MemorySizeImage, 4, 16373, true, true },
        { "section list", true, tessaly::SectionListImage, 2, 990, false, false },
        { "nothing loaded", false, tessaly::MemorySizeImage, 2, 990, false, false },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        PictureTable table(6, {}, 0, 0xFFFFFF);
        table.model.FileLoaded = c.loaded;
        table.model.ImageMode = c.mode;
        const auto state = tessaly::ZoomState(table.model, c.zoom, 10, c.bar_bottom);
        EXPECT_EQ(state.zoomInEnabled, c.zoom_in);
        EXPECT_EQ(state.zoomOutEnabled, c.zoom_out);
    }
    EXPECT_EQ(tessaly::ZoomedOut(1), 1);
    EXPECT_EQ(tessaly::ZoomedOut(8), 4);
    EXPECT_EQ(tessaly::ZoomedIn(4, 10, 16374), 4);
}

TEST(MemorySizeScrollTest, ExtentIsZoomClientHeightsTall)
{
    struct Case {
        int32_t digits;
        int32_t zoom;
        int32_t width, height;
    };
    const Case cases[] = {
        { 6, 1, (5 + 12 + 15) * 8, 400 },
        { 8, 4, (5 + 16 + 15) * 8, 1600 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.digits);
        const PictureTable table(c.digits, { { "abcde", 0, 0x10 } }, 0, 0xFFFFFF);
        const auto sizes = tessaly::MemorySizeScrollSizes(table.model, kCell, c.zoom, 300, 400);
        EXPECT_EQ(sizes.width, c.width);
        EXPECT_EQ(sizes.height, c.height);
        EXPECT_EQ(sizes.pageHeight, 400);
        EXPECT_EQ(sizes.lineHeight, 40);
        EXPECT_EQ(sizes.lineWidth, 30);
    }
}

} // namespace
