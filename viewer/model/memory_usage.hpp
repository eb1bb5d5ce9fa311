// memory_usage.hpp: used and free bytes per memory region, the sections that overflow, and guessed regions.
#pragma once

#include "map_model.hpp"
#include "memory_regions.hpp"

#include <cstdint>
#include <string>
#include <vector>

namespace tessaly {

enum class RegionStatus {
    Ok,
    Warn, // used above the warn percentage
    Fail, // used above the fail percentage, or a section crosses the region's bounds
};

// "ok", "warn", "fail".
const char* RegionStatusName(RegionStatus status);

// Byte counts are 64-bit: a region may hold 2^32 bytes.
struct RegionUsage {
    uint64_t used = 0; // bytes covered by sections of non-zero size; a byte covered twice counts once
    uint64_t free = 0;
    uint32_t usedTenths = 0; // used per mille of the size, rounded down: 875 is 87.5 %
    uint64_t largestFreeStart = 0; // the lowest of equal largest free blocks; meaningless when free is 0
    uint64_t largestFreeSize = 0;
    std::vector<int32_t> crossingSections; // SectionTable indexes of sections that cross the bounds
    bool aboveFail = false; // used / size above the fail percentage
    bool aboveWarn = false; // used / size above the warn percentage, if there is one
    RegionStatus status = RegionStatus::Ok;
};

// A section of non-zero size that does not fit: it crosses the bounds of a region, or lies
// wholly or partly outside every region (region -1).
struct RegionOverflow {
    int32_t section = -1; // index in SectionTable
    int32_t region = -1; // index in MemoryUsage::regions, -1 for "outside all regions"
};

struct MemoryUsage {
    std::vector<MemoryRegion> regions;
    std::vector<RegionUsage> usage; // one per region, in the same order
    // In section order; for each section the regions it crosses by address, then -1.
    std::vector<RegionOverflow> overflows;

    // A region above its fail percentage or a section that overflows: the build does not fit.
    bool overBudget() const;
};

// Usage of the regions by the sections of model.SectionTable. The regions must not overlap and
// end at most at 2^32, as parseRegions and GuessMemoryRegions give them. A section whose
// start + size passes 2^32 covers up to the 32-bit top; the rest lies outside all regions.
MemoryUsage ComputeMemoryUsage(const MapModel& model, std::vector<MemoryRegion> regions);

// Regions for a file without a regions file: one per run of sections of non-zero size, where a
// gap larger than 1/16 of the address space ends a run; each reaches from its first section's
// start to its last one's end, cut at MaxAddress. Named "run 1", "run 2", ... and marked guessed.
std::vector<MemoryRegion> GuessMemoryRegions(const MapModel& model);

// Lower-case hex, zero-padded to the family's digits (8 for 8-digit families, else 6), as the
// panes show addresses; a 2^32 size takes nine.
std::string RegionHex(const MapModel& model, uint64_t value);
// "87.5%" for 875 tenths.
std::string RegionPercentText(uint32_t usedTenths);

} // namespace tessaly
