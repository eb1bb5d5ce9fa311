// build_series_test.cpp: consecutive real builds of one program compared, checked against their linkers' maps.
#include "build_compare.hpp"
#include "build_snapshot.hpp"
#include "orvik.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace tessaly;

const std::vector<std::string> kBuilds = { "arcanoid_01_b012b92", "arcanoid_02_9846451", "arcanoid_03_3a1ed2f",
    "arcanoid_04_4654a78", "arcanoid_05_b8e8db8", "arcanoid_06_fa150cb" };

// The map's extent of this space counts C data segments that the files do not record (see the
// README beside them); the file's section spans only its recorded modules' segments there.
constexpr const char* kSpaceOfUnrecordedData = "EDATA";

struct Range {
    uint32_t base = 0;
    uint32_t size = 0;
};

// What a linker map says: its spaces ("SPACE ALLOCATION") and each module's segments ("SEGMENTS
// WITHIN MODULES"), with the space of a segment found by the letter before its address.
struct LinkerMap {
    std::map<std::string, Range> spaces;
    struct Segment {
        std::string module, space, name;
        Range range;
    };
    std::vector<Segment> segments;
};

// "E:0100" and "706h".
uint32_t mapAddress(const std::string& text)
{
    return static_cast<uint32_t>(std::stoul(text.substr(text.find(':') + 1), nullptr, 16));
}
uint32_t mapSize(const std::string& text)
{
    return static_cast<uint32_t>(std::stoul(text.substr(0, text.size() - 1), nullptr, 16));
}

LinkerMap readMap(const std::filesystem::path& path)
{
    LinkerMap map;
    std::map<char, std::string> spaceOfLetter;
    std::ifstream in(path);
    std::string line, part, module;
    while (std::getline(in, line) && line.rfind("SPACE ALLOCATION:", 0) != 0) { }
    while (std::getline(in, line) && line.rfind("SEGMENTS WITHIN SPACE:", 0) != 0) {
        std::istringstream fields(line);
        std::string name, base, top, size;
        if (fields >> name >> base >> top >> size && base.size() > 2 && base[1] == ':') {
            map.spaces[name] = { mapAddress(base), mapSize(size) };
            spaceOfLetter[base[0]] = name;
        }
    }
    while (std::getline(in, line) && line.rfind("SEGMENTS WITHIN MODULES:", 0) != 0) { }
    while (std::getline(in, line) && line.rfind("EXTERNAL DEFINITIONS:", 0) != 0) {
        if (line.rfind("Module: ", 0) == 0) {
            module = line.substr(8, line.find(" (") - 8);
            continue;
        }
        std::istringstream fields(line);
        std::string name, base, top, size;
        if (fields >> part >> name >> base >> top >> size && part == "Segment:")
            map.segments.push_back({ module, spaceOfLetter[base[0]], name, { mapAddress(base), mapSize(size) } });
    }
    return map;
}

// The module of the file that a map's module is: the same name, or the file's name with a folder
// before it (the map gives one library module without its folder).
const std::string_view* fileModule(const BuildSnapshot& build, const std::string& mapModule)
{
    for (const std::string_view& module : build.modules)
        if (module == mapModule
            || (module.size() > mapModule.size() && module.ends_with(mapModule)
                && module[module.size() - mapModule.size() - 1] == '\\'))
            return &module;
    return nullptr;
}

// The map's segments of the modules the file records, by (module, space, segment name), named with
// the file's module names.
std::map<std::string, Range> recordedSegments(const LinkerMap& map, const BuildSnapshot& build)
{
    std::map<std::string, Range> segments;
    for (const LinkerMap::Segment& segment : map.segments) {
        if (const std::string_view* module = fileModule(build, segment.module)) {
            EXPECT_TRUE(
                segments.emplace(std::string(*module) + "|" + segment.space + "|" + segment.name, segment.range).second)
                << "a segment named twice in one module and space: " << segment.name;
        }
    }
    return segments;
}

// The sections the map describes: its spaces, but the span of the recorded segments in the space
// whose data segments the file does not record.
std::map<std::string, Range> expectedSections(const LinkerMap& map, const BuildSnapshot& build)
{
    std::map<std::string, Range> sections = map.spaces;
    uint32_t low = UINT32_MAX, high = 0;
    for (const auto& [key, range] : recordedSegments(map, build))
        if (key.find(std::string("|") + kSpaceOfUnrecordedData + "|") != std::string::npos && range.size > 0) {
            low = std::min(low, range.base);
            high = std::max(high, range.base + range.size);
        }
    if (low < high)
        sections[kSpaceOfUnrecordedData] = { low, high - low };
    return sections;
}

std::string side(const Range* range)
{
    if (!range)
        return "-";
    std::ostringstream text;
    text << std::hex << range->base << "+" << range->size;
    return text.str();
}

const char* expectedChange(const Range* before, const Range* after)
{
    if (!before)
        return "added";
    if (!after)
        return "removed";
    if (before->size != after->size)
        return "resized";
    return before->base != after->base ? "moved" : "same";
}

// "name old -> new change" for every key of either side, sorted.
std::vector<std::string> expectedLines(
    const std::map<std::string, Range>& before, const std::map<std::string, Range>& after)
{
    std::vector<std::string> lines;
    std::map<std::string, bool> keys;
    for (const auto& [key, range] : before)
        keys[key] = true;
    for (const auto& [key, range] : after)
        keys[key] = true;
    for (const auto& [key, unused] : keys) {
        const auto o = before.find(key);
        const auto n = after.find(key);
        const Range* oldRange = o == before.end() ? nullptr : &o->second;
        const Range* newRange = n == after.end() ? nullptr : &n->second;
        // Module-section items are named by module and section only: drop the segment name.
        const std::string name = key.substr(0, key.rfind('|') == key.find('|') ? key.size() : key.rfind('|'));
        lines.push_back(
            name + " " + side(oldRange) + " -> " + side(newRange) + " " + expectedChange(oldRange, newRange));
    }
    std::sort(lines.begin(), lines.end());
    return lines;
}

template <typename Name>
std::string itemLine(
    std::string_view name, const std::vector<Name>& before, const std::vector<Name>& after, const MatchedItem& item)
{
    auto range = [](const auto& items, int32_t i) {
        if (i < 0)
            return std::string("-");
        const Range r { items[static_cast<std::size_t>(i)].start, items[static_cast<std::size_t>(i)].size };
        return side(&r);
    };
    return std::string(name) + " " + range(before, item.oldIndex) + " -> " + range(after, item.newIndex) + " "
        + ChangeName(item.change);
}

TEST(BuildSeries, ConsecutiveBuildsDifferAsTheirMapsSay)
{
    const std::filesystem::path folder = TESSALY_SERIES_DIR;
    if (!std::filesystem::exists(folder / (kBuilds[0] + ".lod")))
        GTEST_SKIP() << "the build series is not beside this checkout: " << folder;

    for (std::size_t i = 0; i + 1 < kBuilds.size(); ++i) {
        SCOPED_TRACE(kBuilds[i] + " -> " + kBuilds[i + 1]);
        BuildSnapshot before, after;
        ASSERT_EQ(
            ReadBuildSnapshot((folder / (kBuilds[i] + ".lod")).string(), IE_READ_VIEWER | IE_READ_TOLERANT, before), 0);
        ASSERT_EQ(
            ReadBuildSnapshot((folder / (kBuilds[i + 1] + ".lod")).string(), IE_READ_VIEWER | IE_READ_TOLERANT, after),
            0);
        const LinkerMap oldMap = readMap(folder / (kBuilds[i] + ".map"));
        const LinkerMap newMap = readMap(folder / (kBuilds[i + 1] + ".map"));
        ASSERT_FALSE(oldMap.spaces.empty());
        ASSERT_FALSE(newMap.segments.empty());
        const BuildComparison comparison = CompareBuilds(before, after);

        const auto oldSections = expectedSections(oldMap, before);
        const auto newSections = expectedSections(newMap, after);
        std::vector<std::string> sections;
        for (const MatchedItem& item : comparison.sections) {
            const BuildSnapshot& named = item.newIndex >= 0 ? after : before;
            const auto at = static_cast<std::size_t>(item.newIndex >= 0 ? item.newIndex : item.oldIndex);
            sections.push_back(itemLine(named.sections[at].name, before.sections, after.sections, item));
        }
        std::sort(sections.begin(), sections.end());
        EXPECT_EQ(sections, expectedLines(oldSections, newSections));

        std::vector<std::string> parts;
        for (const MatchedItem& item : comparison.moduleSections) {
            const BuildSnapshot& named = item.newIndex >= 0 ? after : before;
            const auto& part
                = named.moduleSections[static_cast<std::size_t>(item.newIndex >= 0 ? item.newIndex : item.oldIndex)];
            parts.push_back(itemLine(
                std::string(named.modules[static_cast<std::size_t>(part.module)]) + "|" + std::string(part.section),
                before.moduleSections, after.moduleSections, item));
        }
        std::sort(parts.begin(), parts.end());
        EXPECT_EQ(parts, expectedLines(recordedSegments(oldMap, before), recordedSegments(newMap, after)));

        uint64_t oldTotal = 0, newTotal = 0;
        for (const KindTotal& total : comparison.totals) {
            oldTotal += total.oldSize;
            newTotal += total.newSize;
        }
        uint64_t oldExpected = 0, newExpected = 0;
        for (const auto& [name, range] : oldSections)
            oldExpected += range.size;
        for (const auto& [name, range] : newSections)
            newExpected += range.size;
        EXPECT_EQ(oldTotal, oldExpected);
        EXPECT_EQ(newTotal, newExpected);
    }
}

} // namespace
