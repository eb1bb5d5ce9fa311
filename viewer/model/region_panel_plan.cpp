// region_panel_plan.cpp: rows of the memory-usage panel from the usage, and the range and section a click on one shows.
#include "region_panel_plan.hpp"

#include <algorithm>
#include <numeric>

namespace tessaly {

namespace {

// The pixel of a bar barWidth wide at which an offset into a region of `size` bytes falls;
// offsets and widths are far below 2^32, so the product fits in 64 bits.
int32_t pixelOf(uint64_t offset, uint64_t size, int32_t barWidth)
{
    return static_cast<int32_t>(offset * static_cast<uint64_t>(barWidth) / size);
}

// The first pixel past the one where the byte before `offset` falls.
int32_t pixelAfter(uint64_t offset, uint64_t size, int32_t barWidth)
{
    return static_cast<int32_t>((offset * static_cast<uint64_t>(barWidth) + size - 1) / size);
}

std::string titleOf(const MapModel& model, const MemoryRegion& region)
{
    std::string title = region.name + " " + RegionHex(model, region.start) + "-" + RegionHex(model, region.end() - 1);
    if (region.guessed)
        title += " (guessed)";
    return title;
}

std::string figuresOf(const MapModel& model, const RegionUsage& usage, uint64_t size)
{
    std::string text = "used " + RegionHex(model, usage.used) + "/" + RegionHex(model, size) + " "
        + RegionPercentText(usage.usedTenths) + "  free " + RegionHex(model, usage.free);
    if (usage.largestFreeSize != 0)
        text += "  largest " + RegionHex(model, usage.largestFreeSize) + "@" + RegionHex(model, usage.largestFreeStart);
    if (!usage.crossingSections.empty())
        text += "  " + std::to_string(usage.crossingSections.size()) + " across its bounds";
    return text;
}

void addRun(std::vector<RegionBarRun>& runs, int32_t left, int32_t right, Rgb colour)
{
    if (!runs.empty()) {
        RegionBarRun& last = runs.back();
        // A pixel already coloured keeps its colour; the same colour just grows.
        left = std::max(left, last.right);
        if (last.colour == colour && left <= last.right) {
            last.right = std::max(last.right, right);
            return;
        }
    }
    if (left < right)
        runs.push_back({ left, right, colour });
}

} // namespace

std::optional<std::size_t> RegionPanelLayout::rowAt(int32_t y, std::size_t rowCount) const
{
    if (y < 0 || rowHeight() <= 0)
        return std::nullopt;
    const auto row = static_cast<std::size_t>(y / rowHeight());
    if (row >= rowCount)
        return std::nullopt;
    return row;
}

RegionPanelPlan BuildRegionPanelPlan(const MapModel& model, const MemoryUsage& usage, int32_t barWidth)
{
    RegionPanelPlan plan;
    const std::vector<MemoryRegion>& regions = usage.regions;
    barWidth = std::max(barWidth, 1);
    plan.guessed = !regions.empty()
        && std::all_of(regions.begin(), regions.end(), [](const MemoryRegion& r) { return r.guessed; });
    for (std::size_t i = 0; i < regions.size(); ++i) {
        RegionPanelRow& row = plan.rows.emplace_back();
        row.title = titleOf(model, regions[i]);
        row.figures = figuresOf(model, usage.usage[i], regions[i].size);
        row.status = usage.usage[i].status;
    }

    // Regions by start; they do not overlap, so their ends are in the same order, and the
    // regions a section reaches into are found by a binary search and a short walk.
    std::vector<std::size_t> byStart(regions.size());
    std::iota(byStart.begin(), byStart.end(), std::size_t { 0 });
    std::sort(byStart.begin(), byStart.end(),
        [&](std::size_t a, std::size_t b) { return regions[a].start < regions[b].start; });
    // SectionTable is sorted by start, so each region's runs come in address order.
    for (const SectionEntry& entry : model.SectionTable) {
        const IeSection& section = *entry.record;
        if (section.size == 0 || model.isFreeArea(entry))
            continue;
        const uint64_t start = section.start;
        const uint64_t end = start + section.size;
        auto next = std::partition_point(
            byStart.begin(), byStart.end(), [&](std::size_t r) { return regions[r].end() <= start; });
        for (; next != byStart.end() && regions[*next].start < end; ++next) {
            const MemoryRegion& region = regions[*next];
            const uint64_t from = std::max<uint64_t>(start, region.start) - region.start;
            const uint64_t to = std::min(end, region.end()) - region.start;
            const int32_t left = pixelOf(from, region.size, barWidth);
            const int32_t right = std::max(pixelAfter(to, region.size, barWidth), left + 1);
            addRun(plan.rows[*next].runs, left, std::min(right, barWidth), GetSectionTag(&section).colour);
        }
    }
    return plan;
}

PageRange RegionPageRange(const MemoryRegion& region)
{
    const uint64_t last = region.end() - 1;
    return { region.start / 256u * 256u, static_cast<uint32_t>(last / 256u * 256u + 255u) };
}

std::optional<uint32_t> FirstSectionIn(const MapModel& model, const MemoryRegion& region)
{
    const auto& table = model.SectionTable;
    // Sections starting inside the region come in start order from the first at or above its
    // start; one starting below it can still reach in, and would be the lowest. A click runs
    // this once, so the walk below the region is left linear.
    const auto inside = std::partition_point(
        table.begin(), table.end(), [&](const SectionEntry& e) { return e.record->start < region.start; });
    for (auto it = table.begin(); it != inside; ++it) {
        const IeSection& section = *it->record;
        if (section.size != 0 && !model.isFreeArea(*it) && uint64_t { section.start } + section.size > region.start)
            return section.start;
    }
    for (auto it = inside; it != table.end() && uint64_t { it->record->start } < region.end(); ++it)
        if (it->record->size != 0 && !model.isFreeArea(*it))
            return it->record->start;
    return std::nullopt;
}

} // namespace tessaly
