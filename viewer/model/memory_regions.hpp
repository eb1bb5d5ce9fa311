// memory_regions.hpp: the user's memory regions, read from a regions file, and where that file is found.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tessaly {

// One memory of the target, as the user names it: "ROM 0x000000 32K 90 100".
struct MemoryRegion {
    std::string name;
    uint32_t start = 0;
    // Up to 2^32: a region may cover the whole 32-bit space, whose size 32 bits cannot hold.
    uint64_t size = 0;
    std::optional<uint32_t> warnPercent; // none unless the file gives one
    uint32_t failPercent = 100;
    int32_t line = 0; // line of its regions file; 0 for a guessed region
    bool guessed = false; // made from the runs of sections, not read from a file

    // One past the last byte; 2^32 for a region that ends at 0xFFFFFFFF.
    uint64_t end() const { return start + size; }
};

// The regions of a file, or why the file is refused. A refused file gives no regions at all.
struct RegionsParseResult {
    std::vector<MemoryRegion> regions; // in file order; they never overlap
    // "FILE:LINE: what is wrong", one per bad line in line order, or "FILE: what is wrong" for
    // the file as a whole. At most kMaxRegionsErrors of them, then one line counting the rest.
    std::vector<std::string> errors;

    bool refused() const { return !errors.empty(); }
};

inline constexpr std::size_t kMaxRegionsErrors = 100;
inline constexpr std::size_t kMaxRegionNameLength = 64;

// Parses the text of a regions file: one region a line, "name start size [warn% [fail%]]",
// '#' to the end of the line is a comment, blank lines are ignored. fileName is only used in
// the messages. A region may reach at most to maxAddress, the top of the file's address space.
RegionsParseResult parseRegions(std::string_view text, std::string_view fileName, uint32_t maxAddress);

// Reads and parses the file; a file that cannot be read is refused with "FILE: cannot be read".
RegionsParseResult readRegionsFile(const std::filesystem::path& path, uint32_t maxAddress);

// The regions file for an absolute file NAME.ext: the one named on the command line if any,
// else NAME.regions beside it, else tessaly.regions in the same folder; nullopt when there is
// none. A named file is returned whether it exists or not, so reading it reports the fault.
std::optional<std::filesystem::path> FindRegionsFile(
    const std::filesystem::path& absoluteFile, const std::optional<std::filesystem::path>& namedFile);

} // namespace tessaly
