// compare_input.cpp: checks the build comparison against an independent matching, and its three diffs.
#include "compare_input.hpp"

#include "build_compare.hpp"
#include "build_snapshot.hpp"
#include "csv_check.hpp"
#include "diff_dump.hpp"
#include "fuzz_check.hpp"
#include "input_split.hpp"
#include "json_check.hpp"
#include "map_model.hpp"
#include "orvik.h"
#include "scratch_file.hpp"

#include <algorithm>
#include <map>
#include <sstream>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

namespace tessaly::fuzz {
namespace {

constexpr std::size_t kCsvFields = 8;

ScratchFile& scratchFile()
{
    static ScratchFile file;
    return file;
}

using Identity = std::tuple<std::string_view, std::string_view, bool>;

// The matches the n-th rule gives, found with an ordered map instead of the comparison's
// hashing: for each new item, the old item of the same identity and the same rank, or -1.
template <typename OldIdentity, typename NewIdentity>
std::vector<int32_t> expectedMatches(
    std::size_t oldCount, std::size_t newCount, OldIdentity oldIdentity, NewIdentity newIdentity)
{
    std::map<Identity, std::vector<int32_t>> oldByIdentity;
    for (std::size_t i = 0; i < oldCount; ++i)
        oldByIdentity[oldIdentity(i)].push_back(static_cast<int32_t>(i));
    std::map<Identity, std::size_t> taken;
    std::vector<int32_t> matches(newCount, -1);
    for (std::size_t j = 0; j < newCount; ++j) {
        const Identity identity = newIdentity(j);
        const auto found = oldByIdentity.find(identity);
        std::size_t& rank = taken[identity];
        if (found != oldByIdentity.end() && rank < found->second.size())
            matches[j] = found->second[rank];
        ++rank;
    }
    return matches;
}

// The items in the promised order with the promised matches, each old item once; changeOf
// gives the change a matched pair must have.
template <typename ChangeOf>
void checkItems(const std::vector<MatchedItem>& items, std::size_t oldCount, const std::vector<int32_t>& expected,
    ChangeOf changeOf)
{
    const std::size_t newCount = expected.size();
    FUZZ_CHECK(items.size() >= newCount);
    std::vector<bool> seen(oldCount, false);
    int32_t previousRemoved = -1;
    for (std::size_t k = 0; k < items.size(); ++k) {
        const MatchedItem& item = items[k];
        FUZZ_CHECK(item.oldIndex >= -1 && item.oldIndex < static_cast<int32_t>(oldCount));
        if (item.oldIndex >= 0) {
            FUZZ_CHECK(!seen[std::size_t(item.oldIndex)]);
            seen[std::size_t(item.oldIndex)] = true;
        }
        if (k < newCount) {
            FUZZ_CHECK(item.newIndex == static_cast<int32_t>(k) && item.oldIndex == expected[k]);
            FUZZ_CHECK(item.change
                == (item.oldIndex < 0 ? Change::Added
                                      : changeOf(std::size_t(item.oldIndex), std::size_t(item.newIndex))));
        } else {
            FUZZ_CHECK(item.newIndex == -1 && item.change == Change::Removed && item.oldIndex > previousRemoved);
            previousRemoved = item.oldIndex;
        }
    }
    FUZZ_CHECK(std::find(seen.begin(), seen.end(), false) == seen.end());
}

Change rangeChange(uint32_t oldStart, uint32_t oldSize, uint32_t newStart, uint32_t newSize)
{
    return oldSize != newSize ? Change::Resized : oldStart != newStart ? Change::Moved : Change::Same;
}

template <typename Snapshot> struct Identities {
    const Snapshot& s;
    Identity section(std::size_t i) const { return { s.sections[i].name, {}, false }; }
    Identity moduleSection(std::size_t i) const
    {
        const auto& part = s.moduleSections[i];
        return { s.modules[std::size_t(part.module)], part.section, part.hasSection };
    }
    template <typename Symbol> Identity symbol(const Symbol& symbol) const
    {
        return symbol.module < 0 ? Identity { symbol.name, {}, false }
                                 : Identity { s.modules[std::size_t(symbol.module)], symbol.name, true };
    }
    Identity function(std::size_t i) const
    {
        return { s.sources[std::size_t(s.functions[i].source)], s.functions[i].name, false };
    }
};

template <typename After>
void checkComparison(const BuildSnapshot& before, const After& after, const BuildComparison& comparison)
{
    const Identities<BuildSnapshot> o { before };
    const Identities<After> n { after };
    checkItems(comparison.sections, before.sections.size(),
        expectedMatches(
            before.sections.size(), after.sections.size(), [&](std::size_t i) { return o.section(i); },
            [&](std::size_t j) { return n.section(j); }),
        [&](std::size_t i, std::size_t j) {
            return rangeChange(
                before.sections[i].start, before.sections[i].size, after.sections[j].start, after.sections[j].size);
        });
    checkItems(comparison.moduleSections, before.moduleSections.size(),
        expectedMatches(
            before.moduleSections.size(), after.moduleSections.size(),
            [&](std::size_t i) { return o.moduleSection(i); }, [&](std::size_t j) { return n.moduleSection(j); }),
        [&](std::size_t i, std::size_t j) {
            const auto& a = before.moduleSections[i];
            const auto& b = after.moduleSections[j];
            return rangeChange(a.start, a.size, b.start, b.size);
        });
    checkItems(comparison.labels, before.labels.size(),
        expectedMatches(
            before.labels.size(), after.labels.size(), [&](std::size_t i) { return o.symbol(before.labels[i]); },
            [&](std::size_t j) { return n.symbol(after.labels[j]); }),
        [&](std::size_t i, std::size_t j) {
            return before.labels[i].value != after.labels[j].value ? Change::Moved : Change::Same;
        });
    checkItems(comparison.equs, before.equs.size(),
        expectedMatches(
            before.equs.size(), after.equs.size(), [&](std::size_t i) { return o.symbol(before.equs[i]); },
            [&](std::size_t j) { return n.symbol(after.equs[j]); }),
        [&](std::size_t i, std::size_t j) {
            return before.equs[i].value != after.equs[j].value ? Change::Moved : Change::Same;
        });
    checkItems(comparison.functions, before.functions.size(),
        expectedMatches(
            before.functions.size(), after.functions.size(), [&](std::size_t i) { return o.function(i); },
            [&](std::size_t j) { return n.function(j); }),
        [&](std::size_t i, std::size_t j) {
            const auto& a = before.functions[i];
            const auto& b = after.functions[j];
            return rangeChange(a.address, a.size, b.address, b.size);
        });
    KindTotals totals {};
    for (const auto& section : before.sections)
        totals[std::size_t(section.kind)].oldSize += section.size;
    for (const auto& section : after.sections)
        totals[std::size_t(section.kind)].newSize += section.size;
    for (std::size_t kind = 0; kind < kSectionKindCount; ++kind)
        FUZZ_CHECK(totals[kind].oldSize == comparison.totals[kind].oldSize
            && totals[kind].newSize == comparison.totals[kind].newSize);
}

bool sameItems(const std::vector<MatchedItem>& a, const std::vector<MatchedItem>& b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const MatchedItem& x, const MatchedItem& y) {
        return x.oldIndex == y.oldIndex && x.newIndex == y.newIndex && x.change == y.change;
    });
}

// The table changes agree with the comparison: one per table entry, the removed ones in
// baseline order and within the baseline.
void checkTableChanges(const BuildSnapshot& before, const MapModel& model, const TableChanges& changes)
{
    FUZZ_CHECK(changes.sections.size() == model.SectionTable.size());
    FUZZ_CHECK(changes.moduleSections.size() == model.ModuleSectionTable.size());
    FUZZ_CHECK(changes.labels.size() == model.LabelTable.size());
    FUZZ_CHECK(changes.equs.size() == model.EquTable.size());
    FUZZ_CHECK(changes.functions.size() == model.FunctionTable.size());
    auto ascending = [](const std::vector<int32_t>& removed, std::size_t count) {
        for (std::size_t i = 0; i < removed.size(); ++i)
            FUZZ_CHECK(removed[i] >= 0 && std::size_t(removed[i]) < count && (i == 0 || removed[i] > removed[i - 1]));
    };
    ascending(changes.removedSections, before.sections.size());
    ascending(changes.removedModuleSections, before.moduleSections.size());
    ascending(changes.removedLabels, before.labels.size());
    ascending(changes.removedEqus, before.equs.size());
    ascending(changes.removedFunctions, before.functions.size());
    auto within = [](const std::vector<EntryChange>& entries, std::size_t count) {
        for (const EntryChange& entry : entries)
            FUZZ_CHECK(entry.oldIndex >= -1 && entry.oldIndex < static_cast<int32_t>(count)
                && (entry.change != Change::Added || entry.oldIndex == -1));
    };
    within(changes.sections, before.sections.size());
    within(changes.moduleSections, before.moduleSections.size());
    within(changes.labels, before.labels.size());
    within(changes.equs, before.equs.size());
    within(changes.functions, before.functions.size());
}

// The three diffs of one comparison; the JSON parses and the CSV has a line per item.
void writeDiffs(const BuildSnapshot& before, const TreeBuildView& after, const BuildComparison& comparison)
{
    const dump::DiffInput input { "old,\"1\".abs", "new\r\n\xE9.abs", before, after, comparison };
    for (const bool all : { false, true }) {
        std::ostringstream text;
        dump::writeDiffText(input, all, text);
        FUZZ_CHECK(!text.str().empty());
    }
    std::ostringstream json;
    dump::writeDiffJson(input, json);
    checkNoFault(jsonFault(json.str()), "diff JSON", json.str());
    std::ostringstream csv;
    dump::writeDiffCsv(input, csv);
    std::size_t records = 0;
    checkNoFault(csvFault(csv.str(), kCsvFields, records), "diff CSV", csv.str());
    const std::size_t items = comparison.sections.size() + comparison.moduleSections.size() + comparison.labels.size()
        + comparison.equs.size() + comparison.functions.size();
    FUZZ_CHECK(records == 1 + items);
}

// The same items in the same order; a comparison sees nothing else of a tree.
bool sameBuild(const BuildSnapshot& a, const BuildSnapshot& b)
{
    const auto range
        = [](const auto& x, const auto& y) { return std::tie(x.start, x.size) == std::tie(y.start, y.size); };
    const auto section
        = [&](const auto& x, const auto& y) { return x.name == y.name && x.kind == y.kind && range(x, y); };
    const auto part = [&](const auto& x, const auto& y) {
        return std::tie(x.module, x.hasSection, x.section) == std::tie(y.module, y.hasSection, y.section)
            && range(x, y);
    };
    const auto symbol = [](const auto& x, const auto& y) {
        return std::tie(x.name, x.value, x.module) == std::tie(y.name, y.value, y.module);
    };
    const auto function = [](const auto& x, const auto& y) {
        return std::tie(x.name, x.source, x.address, x.size) == std::tie(y.name, y.source, y.address, y.size);
    };
    return a.family == b.family && a.addressDigits == b.addressDigits && a.modules == b.modules
        && a.sources == b.sources && std::ranges::equal(a.sections, b.sections, section)
        && std::ranges::equal(a.moduleSections, b.moduleSections, part)
        && std::ranges::equal(a.labels, b.labels, symbol) && std::ranges::equal(a.equs, b.equs, symbol)
        && std::ranges::equal(a.functions, b.functions, function);
}

// The pairs of builds the masks so far gave and that were compared.
struct ComparedPair {
    BuildSnapshot before;
    BuildSnapshot after;
};

void compareWithMask(InputParts parts, int mask, std::vector<ComparedPair>& compared)
{
    ScratchFile& file = scratchFile();
    // An old file that does not read is an empty build: everything in the new one is added.
    BuildSnapshot before = IE_readIEEE(file.write(parts.first), mask) == 0 ? TakeBuildSnapshot(IE_getRoot())
                                                                           : TakeBuildSnapshot(nullptr);
    if (IE_readIEEE(file.write(parts.second), mask) != 0)
        return;
    const IeRoot* root = IE_getRoot();
    BuildSnapshot after = TakeBuildSnapshot(root);
    // Most files read the same with every mask; the same two builds give the same comparison,
    // tables and diffs, so checking them again would find nothing new.
    for (const ComparedPair& pair : compared)
        if (sameBuild(pair.before, before) && sameBuild(pair.after, after))
            return;
    const TreeBuildView view = ViewBuild(root, &before);
    const BuildComparison comparison = CompareBuilds(before, view);
    checkComparison(before, view, comparison);
    const BuildComparison copied = CompareBuilds(before, after);
    FUZZ_CHECK(sameItems(copied.sections, comparison.sections)
        && sameItems(copied.moduleSections, comparison.moduleSections) && sameItems(copied.labels, comparison.labels)
        && sameItems(copied.equs, comparison.equs) && sameItems(copied.functions, comparison.functions));

    MapModel model;
    DetectCpuFamily(model, root);
    checkTableChanges(before, model, CompareWithTables(before, model, root));
    writeDiffs(before, view, comparison);
    compared.push_back({ std::move(before), std::move(after) });
}

} // namespace

void runCompareInput(const uint8_t* data, std::size_t size)
{
    const InputParts parts = splitInput({ data, size });
    std::vector<ComparedPair> compared;
    compareWithMask(parts, IE_READ_VIEWER, compared);
    compareWithMask(parts, IE_READ_ALL, compared);
#if defined(IE_READ_TOLERANT)
    compareWithMask(parts, IE_READ_ALL | IE_READ_TOLERANT, compared);
#endif
    IE_freeIEEE();
}

} // namespace tessaly::fuzz
