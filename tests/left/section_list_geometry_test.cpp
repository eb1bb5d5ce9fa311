// section_list_geometry_test.cpp: the section-list picture: columns for 6 and 8 digits, rows, marker, hit test and
// Jump.
#include "left_geometry.hpp"
#include "picture_tables.hpp"

#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <vector>

namespace {

using tessaly::CellMetrics;
using tessaly::SectionListGeometry;
using tessaly::testing::BuiltTable;
using tessaly::testing::Entry;
using tessaly::testing::PictureTable;

constexpr CellMetrics kCell { 8, 16 };

// free 0+100, code 100+100, zero 180+0, free 200+200, data 400+80, free 480 up to the top.
const std::vector<Entry> kSections = {
    { "code", 0x100, 0x100, IE_SECTION_ASP },
    { "zero", 0x180, 0 },
    { "data", 0x400, 0x80, IE_SECTION_ASD },
};

TEST(AddressFormatTest, SixAndEightDigitsWithALeadingBlank)
{
    struct Case {
        int32_t digits;
        uint32_t address;
        uint32_t size;
        const char* address_text;
        const char* pair_text;
    };
    const Case cases[] = {
        { 6, 0x0, 0x100, " 000000", " 000000(000100)" },
        { 6, 0xFFFFF, 0x1, " 0fffff", " 0fffff(000001)" },
        { 8, 0x1234, 0xABCDEF01, " 00001234", " 00001234(abcdef01)" },
        { 8, 0xFFFFFFFF, 0, " ffffffff", " ffffffff(00000000)" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pair_text);
        EXPECT_EQ(tessaly::FormatAddress(c.digits, c.address), c.address_text);
        EXPECT_EQ(tessaly::FormatAddressAndSize(c.digits, c.address, c.size), c.pair_text);
    }
}

TEST(SectionListGeometryTest, ColumnsFollowTheAddressDigitsAndTheLongestName)
{
    struct Case {
        int32_t digits;
        int32_t name_max;
        int32_t rows;
        int32_t marker_x, box_left, box_right, list_bottom;
    };
    const Case cases[] = {
        { 6, 10, 3, 15 * 8, 17 * 8, 17 * 8 + 14 * 8, 4 * 16 },
        { 8, 10, 3, 19 * 8, 21 * 8, 21 * 8 + 14 * 8, 4 * 16 },
        { 6, 2, 0, 15 * 8, 17 * 8, 17 * 8 + 7 * 8, 16 }, // the box is at least seven cells wide
        { 8, 3, 1, 19 * 8, 21 * 8, 21 * 8 + 7 * 8, 2 * 16 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.digits << " digits, name " << c.name_max);
        const SectionListGeometry g = SectionListGeometry::Compute(c.digits, c.name_max, kCell, c.rows);
        EXPECT_EQ(g.addressX, 0);
        EXPECT_EQ(g.markerX, c.marker_x);
        EXPECT_EQ(g.boxLeft, c.box_left);
        EXPECT_EQ(g.boxRight, c.box_right);
        EXPECT_EQ(g.firstRowTop, 16);
        EXPECT_EQ(g.listBottom, c.list_bottom);
    }
}

TEST(SectionListPictureTest, OneRowPerNonEmptyEntryThenMaxAddress)
{
    struct Case {
        const char* cpu;
        const char* header;
        int32_t box_left;
        std::vector<std::string> addresses;
        const char* max_address;
    };
    const Case cases[] = {
        { "Carina", "Address(size)", 17 * 8,
            { " 000000(000100)", " 000100(000100)", " 000200(000200)", " 000400(000080)", " 000480(fffb7f)" },
            " ffffff" },
        { "Grus", "  Address(size)", 21 * 8,
            { " 00000000(00000100)", " 00000100(00000100)", " 00000200(00000200)", " 00000400(00000080)",
                " 00000480(fffffb7f)" },
            " ffffffff" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.cpu);
        const BuiltTable table(c.cpu, kSections);
        ASSERT_EQ(table.model.SectionTable.size(), 6u); // the size-0 entry is in the table
        EXPECT_EQ(tessaly::CountVisibleRows(table.model), 5);

        const auto picture = tessaly::BuildSectionListPicture(table.model, kCell, 16, 16);
        EXPECT_EQ(picture.header.text, c.header);
        EXPECT_EQ(picture.header.x, 0);
        EXPECT_EQ(picture.sectionHeader.text, "Section");
        EXPECT_EQ(picture.sectionHeader.x, c.box_left);

        std::vector<std::string> addresses;
        std::vector<std::string> names;
        for (const auto& row : picture.rows) {
            SCOPED_TRACE(row.row);
            addresses.push_back(row.address.text);
            names.push_back(row.name.text);
            const int32_t y = 16 * (row.row + 1);
            EXPECT_EQ(row.address.y, y);
            EXPECT_EQ(row.box.top, y);
            EXPECT_EQ(row.box.bottom, y + 17); // shares its bottom line with the next box
            EXPECT_EQ(row.box.left, c.box_left);
            EXPECT_EQ(row.box.right, c.box_left + 8 * 8);
            EXPECT_EQ(row.name.x, c.box_left);
        }
        EXPECT_EQ(addresses, c.addresses);
        EXPECT_EQ(names, (std::vector<std::string> { "", "code", "", "data", "" }));
        EXPECT_EQ(picture.geometry.listBottom, 6 * 16);
        EXPECT_EQ(picture.maxAddress.y, 6 * 16);
        EXPECT_EQ(picture.maxAddress.text, c.max_address);
    }
}

TEST(SectionListPictureTest, ClipKeepsOnlyTouchedRowsButCountsAll)
{
    const BuiltTable table("Carina", kSections);
    const auto picture = tessaly::BuildSectionListPicture(table.model, kCell, 16, 16, { 40, 60 });
    ASSERT_EQ(picture.rows.size(), 2u);
    EXPECT_EQ(picture.rows[0].row, 1); // 32..49 reaches into the clip
    EXPECT_EQ(picture.rows[1].row, 2);
    EXPECT_EQ(picture.geometry.listBottom, 6 * 16);
}

TEST(SectionListPictureTest, MarkerAndItsWipe)
{
    const BuiltTable table("Carina", kSections);
    const auto picture = tessaly::BuildSectionListPicture(table.model, kCell, 48, 16);
    EXPECT_EQ(picture.marker.text, ">>");
    EXPECT_EQ(picture.marker.x, 15 * 8);
    EXPECT_EQ(picture.marker.y, 48);
    EXPECT_EQ(picture.markerWipe.text, "  ");
    EXPECT_EQ(picture.markerWipe.y, 16);
}

TEST(SectionListMarkerTest, RowOfTheEntryAtOrBeforeTheAddress)
{
    const BuiltTable table("Carina", kSections);
    struct Case {
        uint32_t address;
        int32_t y;
    };
    const Case cases[] = {
        { 0x0, 16 }, // row 0
        { 0x100, 32 }, // code
        { 0x180, 32 }, // the size-0 section inside code: the row before the next entry
        { 0x400, 64 }, { 0x480, 80 }, // the last row
        { 0x500, 80 }, // inside the last row: that row, not the line below the list
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.address);
        EXPECT_EQ(tessaly::SectionListMarkerY(table.model, kCell, c.address), c.y);
    }

    const PictureTable later(6, { { "late", 0x10, 0x10 } }, 0, 0xFFFFFF);
    EXPECT_EQ(tessaly::SectionListMarkerY(later.model, kCell, 0x5), 0); // the header line
    const PictureTable empty(6, {}, 0, 0xFFFFFF);
    EXPECT_EQ(tessaly::SectionListMarkerY(empty.model, kCell, 0x5), 16);
}

TEST(SectionListHitTest, BoundsAreInclusive)
{
    const SectionListGeometry g = SectionListGeometry::Compute(6, 4, kCell, 5);
    ASSERT_EQ(g.boxLeft, 136);
    ASSERT_EQ(g.boxRight, 200);
    ASSERT_EQ(g.listBottom, 96);
    struct Case {
        int32_t x, y;
        bool inside;
    };
    const Case cases[] = {
        { 136, 16, true },
        { 200, 96, true },
        { 168, 50, true },
        { 135, 16, false },
        { 201, 50, false },
        { 150, 15, false },
        { 150, 97, false },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << "," << c.y);
        EXPECT_EQ(g.contains(c.x, c.y), c.inside);
    }
}

TEST(SectionListJumpTest, RowsCountOnlyNonEmptyEntries)
{
    const BuiltTable table("Carina", kSections);
    struct Case {
        int32_t y;
        std::optional<uint32_t> address;
    };
    const Case cases[] = {
        { 15, std::nullopt }, // the header line
        { 16, 0x0 }, { 31, 0x0 }, { 32, 0x100 }, { 48, 0x200 }, // the second row after code, past the size-0 entry
        { 80, 0x480 }, { 96, 0x480 }, // the bottom border of the last box: one row past the last gives the last
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.y);
        EXPECT_EQ(tessaly::SectionListJumpAddress(table.model, kCell, c.y), c.address);
    }

    const PictureTable empty(6, {}, 0, 0xFFFFFF);
    EXPECT_EQ(tessaly::SectionListJumpAddress(empty.model, kCell, 16), std::nullopt);
}

TEST(SectionListJumpTest, SecondRowSkipsEverySizeZeroEntry)
{
    const PictureTable table(6,
        {
            { "first", 0x0, 0x10 },
            { "z1", 0x10, 0 },
            { "z2", 0x10, 0 },
            { "z3", 0x10, 0 },
            { "second", 0x10, 0x10 },
        },
        0, 0xFFFFFF);
    EXPECT_EQ(tessaly::SectionListJumpAddress(table.model, kCell, 2 * 16), 0x10u);
    EXPECT_EQ(tessaly::CountVisibleRows(table.model), 2);
}

TEST(SectionListScrollTest, ExtentCoversAllRowsPlusTwoLines)
{
    struct Case {
        const char* cpu;
        int32_t width;
    };
    const Case cases[] = {
        { "Carina", (7 + 12 + 10) * 8 }, // "code" is shorter than seven cells
        { "Grus", (7 + 16 + 10) * 8 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.cpu);
        const BuiltTable table(c.cpu, kSections);
        const auto sizes = tessaly::SectionListScrollSizes(table.model, kCell, 5, 300, 200);
        EXPECT_EQ(sizes.width, c.width);
        EXPECT_EQ(sizes.height, 7 * 16);
        EXPECT_EQ(sizes.pageWidth, 300);
        EXPECT_EQ(sizes.pageHeight, 200);
        EXPECT_EQ(sizes.lineWidth, 8);
        EXPECT_EQ(sizes.lineHeight, 16);
    }
}

} // namespace
