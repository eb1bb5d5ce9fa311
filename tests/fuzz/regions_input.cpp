// regions_input.cpp: checks the regions parser's promises, the usage figures and the regions dumps.
#include "regions_input.hpp"

#include "fuzz_check.hpp"
#include "input_split.hpp"
#include "json_check.hpp"
#include "map_model.hpp"
#include "memory_regions.hpp"
#include "memory_usage.hpp"
#include "orvik.h"
#include "regions_dump.hpp"
#include "scratch_file.hpp"

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace tessaly::fuzz {
namespace {

constexpr std::string_view kFileName = "fuzz.regions";
// The brute-force checks of the usage compare every section with every region; past this many
// of either they would cost more than the rest of the input.
constexpr std::size_t kBruteForceLimit = 64;

ScratchFile& scratchFile()
{
    static ScratchFile file;
    return file;
}

bool isNameCharacter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c == '.'
        || c == '-';
}

// "FILE: what" or "FILE:LINE: what" with LINE in 1..lastLine, printable ASCII on one line.
int32_t checkMessage(const std::string& message, std::size_t lastLine)
{
    FUZZ_CHECK(std::all_of(message.begin(), message.end(), [](char c) { return c >= 0x20 && c < 0x7F; }));
    const std::string prefix = std::string(kFileName) + ":";
    FUZZ_CHECK(message.starts_with(prefix));
    std::string_view rest = std::string_view(message).substr(prefix.size());
    if (rest.starts_with(" ")) {
        FUZZ_CHECK(rest.size() > 1);
        return 0;
    }
    std::size_t digits = 0;
    int64_t line = 0;
    while (digits < rest.size() && rest[digits] >= '0' && rest[digits] <= '9' && digits < 12)
        line = line * 10 + (rest[digits++] - '0');
    FUZZ_CHECK(digits > 0 && rest[0] != '0');
    FUZZ_CHECK(line >= 1 && std::size_t(line) <= lastLine);
    FUZZ_CHECK(rest.substr(digits).starts_with(": ") && rest.size() > digits + 2);
    return static_cast<int32_t>(line);
}

// Regions as parseRegions promises them: named, inside the space, apart, with sane percentages.
void checkRegions(const std::vector<MemoryRegion>& regions, uint64_t spaceEnd, bool guessed)
{
    std::vector<const MemoryRegion*> byStart;
    std::vector<std::string_view> names;
    for (const MemoryRegion& region : regions) {
        FUZZ_CHECK(region.guessed == guessed);
        FUZZ_CHECK(!region.name.empty() && region.name.size() <= kMaxRegionNameLength);
        if (!guessed)
            FUZZ_CHECK(std::all_of(region.name.begin(), region.name.end(), isNameCharacter));
        FUZZ_CHECK(region.size > 0 && region.end() <= spaceEnd);
        FUZZ_CHECK(region.failPercent <= 100);
        FUZZ_CHECK(!region.warnPercent || *region.warnPercent <= region.failPercent);
        byStart.push_back(&region);
        names.push_back(region.name);
    }
    std::sort(byStart.begin(), byStart.end(), [](auto* a, auto* b) { return a->start < b->start; });
    for (std::size_t i = 1; i < byStart.size(); ++i)
        FUZZ_CHECK(byStart[i - 1]->end() <= byStart[i]->start);
    std::sort(names.begin(), names.end());
    FUZZ_CHECK(std::adjacent_find(names.begin(), names.end()) == names.end());
}

// The regions written out again as a regions file read back as the same regions.
void checkRoundTrip(const std::vector<MemoryRegion>& regions, uint32_t maxAddress)
{
    std::string text;
    char line[160];
    for (const MemoryRegion& region : regions) {
        std::snprintf(line, sizeof line, "%s 0x%" PRIx32 " %" PRIu64, region.name.c_str(), region.start, region.size);
        text += line;
        if (region.warnPercent)
            text += " " + std::to_string(*region.warnPercent) + " " + std::to_string(region.failPercent);
        else
            FUZZ_CHECK(region.failPercent == 100);
        text += '\n';
    }
    const RegionsParseResult again = parseRegions(text, kFileName, maxAddress);
    FUZZ_CHECK(!again.refused() && again.regions.size() == regions.size());
    for (std::size_t i = 0; i < regions.size(); ++i) {
        const MemoryRegion& a = regions[i];
        const MemoryRegion& b = again.regions[i];
        FUZZ_CHECK(a.name == b.name && a.start == b.start && a.size == b.size && a.warnPercent == b.warnPercent
            && a.failPercent == b.failPercent && b.line == static_cast<int32_t>(i + 1));
    }
}

bool overlaps(uint64_t start, uint64_t end, uint64_t otherStart, uint64_t otherEnd)
{
    return start < otherEnd && otherStart < end;
}

// The figures of every region add up, and, for a few sections and regions, agree with a
// section-by-region search: no section in the largest free block, an overflow exactly for the
// sections that no single region holds.
void checkUsage(const MapModel& model, const MemoryUsage& usage)
{
    FUZZ_CHECK(usage.usage.size() == usage.regions.size());
    std::vector<std::pair<uint64_t, uint64_t>> sections; // [start, end) of the tree sections of non-zero size
    std::vector<int32_t> sectionIndexes;
    for (std::size_t i = 0; i < model.SectionTable.size(); ++i) {
        const SectionEntry& entry = model.SectionTable[i];
        if (!model.isFreeArea(entry) && entry.record->size > 0) {
            sections.emplace_back(entry.record->start, uint64_t { entry.record->start } + entry.record->size);
            sectionIndexes.push_back(static_cast<int32_t>(i));
        }
    }
    const bool bruteForce = sections.size() <= kBruteForceLimit && usage.regions.size() <= kBruteForceLimit;
    for (std::size_t r = 0; r < usage.regions.size(); ++r) {
        const MemoryRegion& region = usage.regions[r];
        const RegionUsage& figures = usage.usage[r];
        FUZZ_CHECK(figures.used <= region.size && figures.used + figures.free == region.size);
        FUZZ_CHECK(figures.usedTenths == figures.used * 1000 / region.size);
        FUZZ_CHECK((figures.largestFreeSize > 0) == (figures.free > 0) && figures.largestFreeSize <= figures.free);
        if (figures.largestFreeSize > 0)
            FUZZ_CHECK(figures.largestFreeStart >= region.start
                && figures.largestFreeStart + figures.largestFreeSize <= region.end());
        FUZZ_CHECK(figures.status
            == (figures.aboveFail || !figures.crossingSections.empty() ? RegionStatus::Fail
                    : figures.aboveWarn                                ? RegionStatus::Warn
                                                                       : RegionStatus::Ok));
        for (int32_t section : figures.crossingSections)
            FUZZ_CHECK(section >= 0 && std::size_t(section) < model.SectionTable.size());
        if (!bruteForce)
            continue;
        const uint64_t freeEnd = figures.largestFreeStart + figures.largestFreeSize;
        for (const auto& [start, end] : sections) {
            FUZZ_CHECK(!overlaps(start, end, figures.largestFreeStart, freeEnd));
            if (figures.used == 0)
                FUZZ_CHECK(!overlaps(start, end, region.start, region.end()));
        }
    }
    for (const RegionOverflow& overflow : usage.overflows) {
        FUZZ_CHECK(overflow.section >= 0 && std::size_t(overflow.section) < model.SectionTable.size());
        FUZZ_CHECK(overflow.region >= -1 && overflow.region < static_cast<int32_t>(usage.regions.size()));
    }
    if (!bruteForce)
        return;
    for (std::size_t s = 0; s < sections.size(); ++s) {
        const uint64_t start = sections[s].first;
        const uint64_t end = sections[s].second;
        const bool held = std::any_of(usage.regions.begin(), usage.regions.end(),
            [&](const MemoryRegion& region) { return start >= region.start && end <= region.end(); });
        const bool listed = std::any_of(usage.overflows.begin(), usage.overflows.end(),
            [&](const RegionOverflow& overflow) { return overflow.section == sectionIndexes[s]; });
        FUZZ_CHECK(held != listed);
    }
}

// The usage of regions, checked, and both dumps of it; the JSON must parse.
void useRegions(const MapModel& model, std::vector<MemoryRegion> regions)
{
    const MemoryUsage usage = ComputeMemoryUsage(model, std::move(regions));
    checkUsage(model, usage);
    std::ostringstream text;
    dump::writeRegionsText(model, usage, text);
    FUZZ_CHECK(!text.str().empty());
    std::ostringstream json;
    dump::writeRegionsJson(model, usage, json);
    checkNoFault(jsonFault(json.str()), "regions JSON", json.str());
}

void parseAndUse(const MapModel& model, std::string_view text, uint32_t maxAddress)
{
    const RegionsParseResult result = parseRegions(text, kFileName, maxAddress);
    const std::size_t lastLine = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) + 1;
    if (result.refused()) {
        FUZZ_CHECK(result.regions.empty());
        FUZZ_CHECK(result.errors.size() <= kMaxRegionsErrors + 1);
        int32_t previous = 0;
        for (std::size_t i = 0; i < result.errors.size() && i < kMaxRegionsErrors; ++i) {
            const int32_t line = checkMessage(result.errors[i], lastLine);
            FUZZ_CHECK(line == 0 || line > previous); // one message a line, in line order
            previous = std::max(previous, line);
        }
        return;
    }
    FUZZ_CHECK(!result.regions.empty());
    checkRegions(result.regions, uint64_t { maxAddress } + 1, false);
    for (std::size_t i = 0; i < result.regions.size(); ++i)
        FUZZ_CHECK(result.regions[i].line > (i ? result.regions[i - 1].line : 0)
            && std::size_t(result.regions[i].line) <= lastLine);
    checkRoundTrip(result.regions, maxAddress);
    useRegions(model, result.regions);
}

} // namespace

void runRegionsInput(const uint8_t* data, std::size_t size)
{
    const InputParts parts = splitInput({ data, size });
    const std::string_view text(reinterpret_cast<const char*>(parts.first.data()), parts.first.size());
    MapModel model;
    bool haveTree = false;
    if (!parts.second.empty()) {
        const char* path = scratchFile().write(parts.second);
        haveTree = IE_readIEEE(path, IE_READ_VIEWER) == 0;
        if (haveTree)
            DetectCpuFamily(model, IE_getRoot());
    }
    // The file's own space, and the whole 32-bit one, where a region may end at 2^32.
    for (const uint32_t maxAddress : { haveTree ? model.MaxAddress : 0xFFFFFFu, 0xFFFFFFFFu })
        parseAndUse(model, text, maxAddress);

    // The same text read from a file gives the same verdict.
    const char* path = scratchFile().write(parts.first);
    const RegionsParseResult fromFile = readRegionsFile(path, 0xFFFFFFFFu);
    const RegionsParseResult fromText = parseRegions(text, path, 0xFFFFFFFFu);
    FUZZ_CHECK(fromFile.errors == fromText.errors && fromFile.regions.size() == fromText.regions.size());

    if (haveTree) {
        std::vector<MemoryRegion> guessed = GuessMemoryRegions(model);
        checkRegions(guessed, uint64_t { model.MaxAddress } + 1, true);
        useRegions(model, std::move(guessed));
    }
    IE_freeIEEE();
}

} // namespace tessaly::fuzz
