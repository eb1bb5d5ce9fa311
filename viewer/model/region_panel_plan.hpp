// region_panel_plan.hpp: the memory-usage panel as plain rows: names, figures, status and coloured bar runs per region.
#pragma once

#include "map_model.hpp"
#include "memory_usage.hpp"
#include "section_tag.hpp"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tessaly {

// The free part of a bar: a light grey, so that sections with the blank tag, white in the panes,
// still stand apart from free space.
inline constexpr Rgb kRgbRegionFree { 216, 216, 216 };
inline constexpr Rgb kRgbRegionWarn { 255, 176, 0 };

// Pixels left..right (exclusive) of a bar filled with one colour.
struct RegionBarRun {
    int32_t left = 0;
    int32_t right = 0;
    Rgb colour;
};

struct RegionPanelRow {
    std::string title; // "ROM 000000-007fff", guessed regions marked "(guessed)"
    std::string figures; // "used 001234/008000 14.2%  free 006dcc  largest 006dcc@001234"
    RegionStatus status = RegionStatus::Ok;
    // The used part, in address order and disjoint: a pixel two sections share keeps the
    // colour of the lower one. Every section of non-zero size gets at least one pixel.
    std::vector<RegionBarRun> runs;
};

// Per row the title line, the figures line and a bar, all measured in the pane's line height.
struct RegionPanelLayout {
    int32_t lineHeight = 1;
    int32_t margin = 4; // pixels around the bars, and their left and right inset

    int32_t rowHeight() const { return 4 * lineHeight; }
    int32_t rowTop(std::size_t row) const { return static_cast<int32_t>(row) * rowHeight(); }
    int32_t figuresTop(std::size_t row) const { return rowTop(row) + lineHeight; }
    int32_t barTop(std::size_t row) const { return rowTop(row) + 2 * lineHeight + 2; }
    int32_t barBottom(std::size_t row) const { return rowTop(row) + rowHeight() - margin; }
    int32_t barLeft() const { return margin; }
    int32_t barWidth(int32_t paneWidth) const { return paneWidth - 2 * margin > 1 ? paneWidth - 2 * margin : 1; }
    // The row under a point's y; nothing below the last of rowCount rows or above the first.
    std::optional<std::size_t> rowAt(int32_t y, std::size_t rowCount) const;
};

struct RegionPanelPlan {
    std::vector<RegionPanelRow> rows; // one per region, in the usage's order
    bool guessed = false; // the regions come from the runs of sections, not from a file
};

// The rows for regions whose bars are barWidth pixels wide.
RegionPanelPlan BuildRegionPanelPlan(const MapModel& model, const MemoryUsage& usage, int32_t barWidth);

// The memory-size picture's range for a region, in whole 256-byte pages as the options dialog
// sets it: from the page holding its first byte to the end of the page holding its last.
struct PageRange {
    uint32_t start = 0;
    uint32_t end = 0;
};
PageRange RegionPageRange(const MemoryRegion& region);

// The start of the first section of non-zero size that reaches into the region (the lowest
// start), or nothing when none does.
std::optional<uint32_t> FirstSectionIn(const MapModel& model, const MemoryRegion& region);

} // namespace tessaly
