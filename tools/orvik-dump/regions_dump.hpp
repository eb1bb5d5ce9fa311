// regions_dump.hpp: orvik-dump --regions, used and free bytes per memory region as a text table or JSON.
#pragma once

#include "map_model.hpp"
#include "memory_usage.hpp"

#include <filesystem>
#include <ostream>

namespace tessaly::dump {

// Exit statuses of --regions besides 0: a region above its fail percentage or a section that
// overflows (for a build's budget check), and a regions file that is refused.
inline constexpr int kExitOverBudget = 1;
inline constexpr int kExitBadRegions = 65;

// The table "region start end size used free used% largest-free" (end is the last address,
// largest-free is SIZE@START), then a line per region above its fail or warn percentage and
// a line per overflow.
void writeRegionsText(const MapModel& model, const MemoryUsage& usage, std::ostream& out);

// {"regions": [{"name", "start", "size", "used", "free", "largestFreeStart", "largestFreeSize",
//  "warn", "fail", "status"}], "overflows": [{"section", "start", "size", "region"}]}
void writeRegionsJson(const MapModel& model, const MemoryUsage& usage, std::ostream& out);

// After a successful read of absoluteFile: builds the model, reads the regions file and writes
// the usage. Returns 0, kExitOverBudget, or kExitBadRegions with the file's messages on err.
int dumpRegions(const std::filesystem::path& absoluteFile, const std::filesystem::path& regionsFile, bool json,
    std::ostream& out, std::ostream& err);

} // namespace tessaly::dump
