// build_compare.hpp: two builds matched item by item: what was added, removed, moved or resized.
#pragma once

#include "build_snapshot.hpp"
#include "map_model.hpp"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tessaly {

// Moved: the start (value, address) differs and the size is equal. Resized: the size differs,
// whatever the start. Symbols have no size, so they are only ever moved.
enum class Change : uint8_t { Same, Added, Removed, Moved, Resized };

// "same", "added", "removed", "moved", "resized".
const char* ChangeName(Change change);

// One item of either build, by its index in each snapshot's vector (-1 on the side it is missing from).
struct MatchedItem {
    int32_t oldIndex = -1;
    int32_t newIndex = -1;
    Change change = Change::Same;
};

// The summed section sizes of one kind in each build.
struct KindTotal {
    uint64_t oldSize = 0;
    uint64_t newSize = 0;
};
using KindTotals = std::array<KindTotal, kSectionKindCount>; // indexed by SectionKind

// Items are matched on their identity, and the n-th item of one identity in the old build's list
// order matches the n-th of the same identity in the new one's:
//   sections by name; module sections by (module name, owning section's name); global labels and
//   .EQU constants by name, local ones by (module name, name); functions by (source, name).
// Every vector holds first the new build's items in its order (item j has newIndex j), then the
// old build's unmatched items (removed) in the old order.
struct BuildComparison {
    std::vector<MatchedItem> sections;
    std::vector<MatchedItem> moduleSections;
    std::vector<MatchedItem> labels;
    std::vector<MatchedItem> equs;
    std::vector<MatchedItem> functions;
    KindTotals totals {};
};

BuildComparison CompareBuilds(const BuildView& before, const BuildView& after);

// ---- the comparison seen from the shown file's map tables --------------------------------------

// The change of one table entry and its item in the baseline (an index into the baseline's vector
// of that kind, -1 for an added item and for a free area, which stays {Same, -1}).
struct EntryChange {
    Change change = Change::Same;
    int32_t oldIndex = -1;
};

// Built once per comparison; each vector is indexed like the MapModel table of its name, so a pane
// finds a row's change without a search.
struct TableChanges {
    std::vector<EntryChange> sections; // SectionTable
    std::vector<EntryChange> moduleSections; // ModuleSectionTable
    std::vector<EntryChange> labels; // LabelTable
    std::vector<EntryChange> equs; // EquTable
    std::vector<EntryChange> functions; // FunctionTable
    // Baseline items that the shown file does not have, as indexes into the baseline's vectors,
    // in the baseline's list order.
    std::vector<int32_t> removedSections;
    std::vector<int32_t> removedModuleSections;
    std::vector<int32_t> removedLabels;
    std::vector<int32_t> removedEqus;
    std::vector<int32_t> removedFunctions;
    KindTotals totals {};
};

// Compares the baseline with the shown file: shown holds the map tables built on the tree under
// root, which must still be the reader's tree.
TableChanges CompareWithTables(const BuildSnapshot& baseline, const MapModel& shown, const IeRoot* root);

// ---- texts ------------------------------------------------------------------------------------

// The minus sign of the viewer's texts (U+2212, in UTF-8).
inline constexpr std::string_view kMinusSign = "\xE2\x88\x92";

// New size minus old size, with 0 for a side an item is missing from.
int64_t SizeDifference(uint64_t oldSize, uint64_t newSize);

// "+0x1a2", "−0x10" with the given minus, "0".
std::string SizeDifferenceText(int64_t difference, std::string_view minus = kMinusSign);

// "+3.1%", "−0.5%" of the old size; "new" when only the new one is not 0, "0.0%" when both are 0.
std::string PercentText(uint64_t oldSize, uint64_t newSize, std::string_view minus = kMinusSign);

// "moved from 001234", the old address in the given digits (6 or 8).
std::string MovedFromText(uint32_t oldAddress, int32_t addressDigits);

// "code +0x1a2 (+3.1%)  data −0x10 (−0.5%)": each kind whose total changed, in the order code,
// data, rom, other, two blanks apart; empty when no total changed.
std::string TotalsStatusText(const KindTotals& totals);

} // namespace tessaly
