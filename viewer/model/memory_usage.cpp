// memory_usage.cpp: per-region usage from SectionTable, overflowing sections, and regions guessed from runs of
// sections.
#include "memory_usage.hpp"

#include <algorithm>
#include <cstdio>
#include <numeric>
#include <tuple>

namespace tessaly {

namespace {

// A section's bytes as a 64-bit range, so that an end at or past the 32-bit top does not wrap.
struct Span {
    uint64_t start = 0;
    uint64_t end = 0;
    int32_t section = -1; // SectionTable index
};

struct Range {
    uint64_t start = 0;
    uint64_t end = 0;
};

// The tree sections of non-zero size, by start.
std::vector<Span> sectionSpans(const MapModel& model)
{
    std::vector<Span> spans;
    for (std::size_t i = 0; i < model.SectionTable.size(); ++i) {
        const SectionEntry& entry = model.SectionTable[i];
        if (model.isFreeArea(entry) || entry.record->size == 0)
            continue;
        const uint64_t start = entry.record->start;
        spans.push_back({ start, start + entry.record->size, static_cast<int32_t>(i) });
    }
    std::sort(spans.begin(), spans.end(), [](const Span& a, const Span& b) {
        return std::tie(a.start, a.end, a.section) < std::tie(b.start, b.end, b.section);
    });
    return spans;
}

// The union of the spans as disjoint ranges by start; touching ranges are joined.
std::vector<Range> unionOf(const std::vector<Span>& spans)
{
    std::vector<Range> ranges;
    for (const Span& span : spans) {
        if (!ranges.empty() && span.start <= ranges.back().end)
            ranges.back().end = std::max(ranges.back().end, span.end);
        else
            ranges.push_back({ span.start, span.end });
    }
    return ranges;
}

// Used bytes and the largest free block of one region, from the covered ranges.
void measure(const MemoryRegion& region, const std::vector<Range>& covered, RegionUsage& usage)
{
    const uint64_t start = region.start;
    const uint64_t end = region.end();
    // Disjoint ranges by start have their ends in order too: the first one ending after the
    // region's start is the first that can touch it.
    auto range
        = std::partition_point(covered.begin(), covered.end(), [start](const Range& r) { return r.end <= start; });
    uint64_t cursor = start; // first byte not yet known to be used or free
    auto freeBlock = [&](uint64_t blockEnd) {
        // Strictly larger only: of equal blocks the lowest start stays.
        if (blockEnd - cursor > usage.largestFreeSize) {
            usage.largestFreeStart = cursor;
            usage.largestFreeSize = blockEnd - cursor;
        }
    };
    for (; range != covered.end() && range->start < end; ++range) {
        const uint64_t usedStart = std::max(range->start, start);
        const uint64_t usedEnd = std::min(range->end, end);
        freeBlock(usedStart);
        usage.used += usedEnd - usedStart;
        cursor = usedEnd;
    }
    freeBlock(end);
    usage.free = region.size - usage.used;
    usage.usedTenths = static_cast<uint32_t>(usage.used * 1000 / region.size);
}

void judge(const MemoryRegion& region, RegionUsage& usage)
{
    // Compared as used / size > percent / 100, in integers.
    auto above = [&](uint32_t percent) { return usage.used * 100 > uint64_t { percent } * region.size; };
    usage.aboveFail = above(region.failPercent);
    usage.aboveWarn = region.warnPercent && above(*region.warnPercent);
    if (usage.aboveFail || !usage.crossingSections.empty())
        usage.status = RegionStatus::Fail;
    else if (usage.aboveWarn)
        usage.status = RegionStatus::Warn;
}

} // namespace

const char* RegionStatusName(RegionStatus status)
{
    switch (status) {
    case RegionStatus::Ok:
        return "ok";
    case RegionStatus::Warn:
        return "warn";
    case RegionStatus::Fail:
        return "fail";
    }
    return "ok";
}

bool MemoryUsage::overBudget() const
{
    return !overflows.empty()
        || std::any_of(usage.begin(), usage.end(), [](const RegionUsage& u) { return u.status == RegionStatus::Fail; });
}

MemoryUsage ComputeMemoryUsage(const MapModel& model, std::vector<MemoryRegion> regions)
{
    MemoryUsage result;
    result.regions = std::move(regions);
    const std::vector<MemoryRegion>& all = result.regions;
    result.usage.resize(all.size());

    const std::vector<Span> spans = sectionSpans(model);
    const std::vector<Range> covered = unionOf(spans);
    for (std::size_t i = 0; i < all.size(); ++i)
        measure(all[i], covered, result.usage[i]);

    // Regions by start; they do not overlap, so their ends are in the same order.
    std::vector<std::size_t> byStart(all.size());
    std::iota(byStart.begin(), byStart.end(), std::size_t { 0 });
    std::sort(
        byStart.begin(), byStart.end(), [&](std::size_t a, std::size_t b) { return all[a].start < all[b].start; });

    for (const Span& span : spans) {
        auto next = std::partition_point(
            byStart.begin(), byStart.end(), [&](std::size_t r) { return all[r].end() <= span.start; });
        uint64_t cursor = span.start; // first byte of the section not yet found in a region
        bool outside = false;
        for (; next != byStart.end() && all[*next].start < span.end; ++next) {
            const MemoryRegion& region = all[*next];
            outside = outside || region.start > cursor;
            if (span.start < region.start || span.end > region.end()) {
                result.usage[*next].crossingSections.push_back(span.section);
                result.overflows.push_back({ span.section, static_cast<int32_t>(*next) });
            }
            cursor = std::max(cursor, region.end());
        }
        if (outside || cursor < span.end)
            result.overflows.push_back({ span.section, -1 });
    }

    for (std::size_t i = 0; i < all.size(); ++i)
        judge(all[i], result.usage[i]);
    return result;
}

std::vector<MemoryRegion> GuessMemoryRegions(const MapModel& model)
{
    const uint64_t spaceEnd = uint64_t { model.MaxAddress } + 1;
    const uint64_t splittingGap = spaceEnd / 16;
    std::vector<MemoryRegion> runs;
    for (const Range& range : unionOf(sectionSpans(model))) {
        if (range.start >= spaceEnd)
            break;
        const uint64_t end = std::min(range.end, spaceEnd);
        if (runs.empty() || range.start - runs.back().end() > splittingGap) {
            MemoryRegion run;
            run.name = "run " + std::to_string(runs.size() + 1);
            run.start = static_cast<uint32_t>(range.start);
            run.guessed = true;
            runs.push_back(std::move(run));
        }
        runs.back().size = end - runs.back().start;
    }
    return runs;
}

std::string RegionHex(const MapModel& model, uint64_t value)
{
    char text[24];
    std::snprintf(
        text, sizeof text, "%0*llx", model.AddressDigits == 8 ? 8 : 6, static_cast<unsigned long long>(value));
    return text;
}

std::string RegionPercentText(uint32_t usedTenths)
{
    return std::to_string(usedTenths / 10) + "." + std::to_string(usedTenths % 10) + "%";
}

} // namespace tessaly
