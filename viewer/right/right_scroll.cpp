// right_scroll.cpp: vertical and horizontal scroll commands and the bars' ranges.
#include "right/right_scroll.hpp"

#include <algorithm>

namespace tessaly {

int32_t ThumbScale(int32_t highestTop)
{
    return highestTop > kThumbPositions ? (highestTop >> 15) + 1 : 1;
}

int32_t PageLines(int32_t clientHeight, int32_t lineHeight)
{
    return lineHeight > 0 ? clientHeight / lineHeight - 2 : 0;
}

int32_t BarRows(int32_t clientHeight, int32_t lineHeight)
{
    return lineHeight > 0 ? clientHeight / lineHeight - 1 : 0;
}

int32_t FreeWidth(int32_t clientRight, int32_t columnsEnd, int32_t charWidth)
{
    if (charWidth <= 0)
        return 0;
    return std::max((clientRight - columnsEnd) / charWidth, 0);
}

int32_t VertScroll(ScrollCode code, int32_t thumb, int32_t topLine, int32_t lineCount, int32_t page)
{
    // A window lower than two rows has no positive page; a page command still moves one line
    // rather than the wrong way.
    const int32_t step = std::max(page, 1);
    switch (code) {
    case ScrollLineUp:
        return topLine > 1 ? topLine - 1 : topLine;
    case ScrollLineDown:
        return topLine + 1;
    case ScrollPageUp:
        if (step < topLine)
            return topLine - step;
        return topLine >= 2 ? 1 : topLine;
    case ScrollPageDown:
        return topLine + step;
    case ScrollThumbPosition:
    case ScrollThumbTrack: {
        const int32_t position = thumb & 0xFFFF;
        const int32_t highestTop = lineCount - page;
        return std::max(ThumbScale(highestTop) * position, 1);
    }
    case ScrollTop:
        return 1;
    case ScrollBottom:
        return lineCount - page;
    case ScrollEnd:
        break;
    }
    return topLine;
}

ScrollBarState RefreshVertBar(int32_t lineCount, int32_t rows, int32_t& topLine)
{
    if (lineCount > rows) {
        const int32_t highestTop = lineCount - rows + 1;
        topLine = std::clamp(topLine, 1, std::max(highestTop, 1));
        const int32_t scale = ThumbScale(highestTop);
        if (scale > 1)
            return { 1, highestTop / scale + 1, topLine / scale };
        return { 1, highestTop, topLine };
    }
    topLine = 1;
    return { 1, 1, 1 };
}

int32_t HorzScroll(ScrollCode code, int32_t thumb, int32_t horzPos, int32_t extent, int32_t freeWidth)
{
    switch (code) {
    case ScrollLineUp:
    case ScrollPageUp:
        return horzPos > 0 ? horzPos - 1 : horzPos;
    case ScrollLineDown:
    case ScrollPageDown: {
        const int32_t limit = extent - freeWidth;
        return horzPos < limit ? horzPos + 1 : limit;
    }
    case ScrollThumbPosition:
    case ScrollThumbTrack:
        return std::max(thumb, 0);
    default:
        return horzPos;
    }
}

ScrollBarState RefreshHorzBar(int32_t extent, int32_t freeWidth, int32_t horzPos)
{
    const int32_t v = std::min(freeWidth, extent - 1);
    return { 0, extent - v, horzPos };
}

int32_t WheelLines(int32_t& remainder, int32_t delta)
{
    // A turn the other way starts afresh rather than first paying off what was left.
    if ((remainder > 0 && delta < 0) || (remainder < 0 && delta > 0))
        remainder = 0;
    const int64_t total = int64_t { remainder } + delta;
    const int64_t lines = total / kWheelDeltaPerLine;
    remainder = static_cast<int32_t>(total - lines * kWheelDeltaPerLine);
    return static_cast<int32_t>(lines);
}

} // namespace tessaly
