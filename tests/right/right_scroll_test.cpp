// right_scroll_test.cpp: vertical and horizontal scroll commands, bar ranges and thumb scaling.
#include "right/right_scroll.hpp"

#include <gtest/gtest.h>
#include <vector>

namespace {

using namespace tessaly;

// One vertical command followed by the bar refresh, as the view runs them.
int32_t scrollVert(
    ScrollCode code, int32_t thumb, int32_t topLine, int32_t lineCount, int32_t clientHeight, int32_t lineHeight)
{
    int32_t top = VertScroll(code, thumb, topLine, lineCount, PageLines(clientHeight, lineHeight));
    RefreshVertBar(lineCount, BarRows(clientHeight, lineHeight), top);
    return top;
}

TEST(RightScroll, DerivedQuantities)
{
    EXPECT_EQ(PageLines(12 * 16, 16), 10);
    EXPECT_EQ(BarRows(12 * 16, 16), 11);
    EXPECT_EQ(PageLines(12 * 16 + 15, 16), 10);
    EXPECT_EQ(FreeWidth(700, 500, 8), 25);
    EXPECT_EQ(FreeWidth(700, 695, 8), 0);
    EXPECT_EQ(FreeWidth(400, 500, 8), 0);
}

TEST(RightScroll, HundredLinesInTwelveRows)
{
    // m_nLineCount 100, client 12 H: R = 11, P = 10, highest top line 90.
    const int32_t h = 16;
    const int32_t client = 12 * h;
    struct Case {
        const char* label;
        ScrollCode code;
        int32_t thumb;
        int32_t from;
        int32_t to;
    };
    const Case cases[] = {
        { "line down from 95 comes back to 90", ScrollLineDown, 0, 95, 90 },
        { "line down inside", ScrollLineDown, 0, 40, 41 },
        { "line up", ScrollLineUp, 0, 40, 39 },
        { "line up at 1", ScrollLineUp, 0, 1, 1 },
        { "page up from 5", ScrollPageUp, 0, 5, 1 },
        { "page up from 1", ScrollPageUp, 0, 1, 1 },
        { "page up from 11", ScrollPageUp, 0, 11, 1 },
        { "page up from 12", ScrollPageUp, 0, 12, 2 },
        { "page down", ScrollPageDown, 0, 5, 15 },
        { "page down near the end", ScrollPageDown, 0, 85, 90 },
        { "bottom", ScrollBottom, 0, 1, 90 },
        { "top", ScrollTop, 0, 50, 1 },
        { "thumb", ScrollThumbTrack, 37, 1, 37 },
        { "thumb position", ScrollThumbPosition, 60, 1, 60 },
        { "end of scroll", ScrollEnd, 0, 42, 42 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(scrollVert(c.code, c.thumb, c.from, 100, client, h), c.to);
    }
    int32_t top = 95;
    EXPECT_EQ(RefreshVertBar(100, 11, top), (ScrollBarState { 1, 90, 90 }));
    EXPECT_EQ(top, 90);
}

TEST(RightScroll, ListThatFitsStaysAtLineOne)
{
    const ScrollCode codes[]
        = { ScrollLineDown, ScrollPageDown, ScrollBottom, ScrollLineUp, ScrollPageUp, ScrollTop, ScrollThumbTrack };
    for (ScrollCode code : codes) {
        SCOPED_TRACE(static_cast<int>(code));
        EXPECT_EQ(scrollVert(code, 5, 1, 8, 12 * 16, 16), 1);
    }
    int32_t top = 0; // as constructed, before any file
    EXPECT_EQ(RefreshVertBar(0, 11, top), (ScrollBarState { 1, 1, 1 }));
    EXPECT_EQ(top, 1);
}

TEST(RightScroll, LongListsScaleTheThumb)
{
    struct Case {
        int32_t lineCount;
        int32_t rows;
        int32_t scale;
    };
    const Case cases[] = {
        { 32768 + 10, 11, 1 }, // highest top line 32768: no scaling yet
        { 32769 + 10, 11, 2 },
        { 70'000, 11, 3 },
        { 1'000'001, 40, 31 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lineCount);
        const int32_t highestTop = c.lineCount - c.rows + 1;
        int32_t top = 3000;
        const ScrollBarState bar = RefreshVertBar(c.lineCount, c.rows, top);
        const int32_t maximum = c.scale == 1 ? highestTop : highestTop / c.scale + 1;
        EXPECT_EQ(bar, (ScrollBarState { 1, maximum, 3000 / c.scale }));
        EXPECT_LE(bar.maximum, 32769);
        // Dragging the thumb to p shows line scale·p (the page is rows − 1).
        EXPECT_EQ(VertScroll(ScrollThumbTrack, 1000, 1, c.lineCount, c.rows - 1), c.scale * 1000);
    }
    // The last thumb position reaches the end of the list after the refresh.
    int32_t top = VertScroll(ScrollThumbTrack, 69'990 / 3 + 1, 1, 70'000, 10);
    RefreshVertBar(70'000, 11, top);
    EXPECT_EQ(top, 69'990);
}

TEST(RightScroll, TinyWindowPagesStillMoveForward)
{
    // A client lower than two rows gives P ≤ 0; a page command moves one line, not backwards.
    EXPECT_EQ(VertScroll(ScrollPageDown, 0, 10, 100, PageLines(20, 16)), 11);
    EXPECT_EQ(VertScroll(ScrollPageUp, 0, 10, 100, PageLines(20, 16)), 9);
}

TEST(RightScroll, HorizontalCommandsAndRange)
{
    struct Case {
        const char* label;
        ScrollCode code;
        int32_t thumb;
        int32_t from;
        int32_t freeWidth;
        int32_t to;
    };
    const Case cases[] = {
        { "line left", ScrollLineUp, 0, 5, 0, 4 },
        { "line left at 0", ScrollLineUp, 0, 0, 0, 0 },
        { "page left", ScrollPageUp, 0, 5, 0, 4 },
        { "line right", ScrollLineDown, 0, 5, 0, 6 },
        { "page right", ScrollPageDown, 0, 5, 0, 6 },
        { "line right at the limit", ScrollLineDown, 0, 1000, 24, 1000 },
        { "line right past the limit", ScrollLineDown, 0, 1010, 24, 1000 },
        { "thumb", ScrollThumbTrack, 0 + 77, 5, 0, 77 },
        { "end", ScrollEnd, 0, 5, 0, 5 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(HorzScroll(c.code, c.thumb, c.from, 1024, c.freeWidth), c.to);
    }
    // The range shrinks by one character per character of free space, down to 0 to 1.
    struct Range {
        int32_t freeWidth;
        int32_t maximum;
    };
    const Range ranges[] = { { 0, 1024 }, { 1, 1023 }, { 30, 994 }, { 1023, 1 }, { 5000, 1 } };
    for (const Range& r : ranges) {
        SCOPED_TRACE(r.freeWidth);
        EXPECT_EQ(RefreshHorzBar(1024, r.freeWidth, 7), (ScrollBarState { 0, r.maximum, 7 }));
    }
}

TEST(RightScroll, WheelDeltasAddUpToLines)
{
    struct Case {
        const char* label;
        std::vector<int32_t> deltas;
        std::vector<int32_t> lines; // after each delta
    };
    const Case cases[] = {
        { "a notch is three lines", { 120, -240 }, { 3, -6 } },
        { "touchpad steps add up", { 15, 15, 15, 15, 15, 15, 15, 15 }, { 0, 0, 1, 0, 0, 1, 0, 1 } },
        { "a turn back starts afresh", { 30, -30, -30 }, { 0, 0, -1 } },
        { "what is left carries on", { 50, 70 }, { 1, 2 } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        int32_t remainder = 0;
        std::vector<int32_t> lines;
        for (int32_t delta : c.deltas)
            lines.push_back(WheelLines(remainder, delta));
        EXPECT_EQ(lines, c.lines);
    }
}

} // namespace
