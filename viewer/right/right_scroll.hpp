// right_scroll.hpp: the symbol list's scroll arithmetic: line and character steps, bar ranges and thumb scaling.
#pragma once

#include <cstdint>

namespace tessaly {

// The platform's standard scroll codes, as the scroll bars and keys deliver them.
enum ScrollCode : int {
    ScrollLineUp, // also line left
    ScrollLineDown, // also line right
    ScrollPageUp, // also page left
    ScrollPageDown, // also page right
    ScrollThumbPosition,
    ScrollThumbTrack,
    ScrollTop,
    ScrollBottom,
    ScrollEnd,
};

// A scroll bar's range and position.
struct ScrollBarState {
    int32_t minimum = 0;
    int32_t maximum = 0;
    int32_t position = 0;
    friend bool operator==(const ScrollBarState&, const ScrollBarState&) = default;
};

// The thumb travels over at most this many positions; longer lists scale it.
inline constexpr int32_t kThumbPositions = 0x8000;

// Lines per thumb position for a highest top line: 1 up to 32768, then enough to keep the
// bar's range within 32769 positions.
int32_t ThumbScale(int32_t highestTop);

// P: the lines a page command moves, client height / line height − 2.
int32_t PageLines(int32_t clientHeight, int32_t lineHeight);
// R: the rows the vertical bar counts, client height / line height − 1.
int32_t BarRows(int32_t clientHeight, int32_t lineHeight);
// V: whole characters of free width right of the columns, at least 0.
int32_t FreeWidth(int32_t clientRight, int32_t columnsEnd, int32_t charWidth);

// The top line after a vertical scroll command; RefreshVertBar brings it into range afterwards.
int32_t VertScroll(ScrollCode code, int32_t thumb, int32_t topLine, int32_t lineCount, int32_t page);
// The vertical bar for the line count and rows; clamps topLine to the highest top line, and to 1
// when everything fits.
ScrollBarState RefreshVertBar(int32_t lineCount, int32_t rows, int32_t& topLine);

// Wheel turns as line commands: three lines for a notch of 120, so one line for every 40 of
// delta, positive towards the top. What is left over of the deltas is kept in remainder, so the
// small deltas of a touchpad add up to lines instead of each rounding to none.
inline constexpr int32_t kWheelDeltaPerLine = 40;
int32_t WheelLines(int32_t& remainder, int32_t delta);

// The horizontal position after a horizontal scroll command.
int32_t HorzScroll(ScrollCode code, int32_t thumb, int32_t horzPos, int32_t extent, int32_t freeWidth);
// The horizontal bar: range 0 to extent − V (V capped at extent − 1), position horzPos as is.
ScrollBarState RefreshHorzBar(int32_t extent, int32_t freeWidth, int32_t horzPos);

} // namespace tessaly
