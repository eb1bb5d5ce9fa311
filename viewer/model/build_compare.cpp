// build_compare.cpp: matching two builds by identity and the n-th rule, and the changes per map-table entry.
#include "build_compare.hpp"

#include "keyed_hash.hpp"

#include <algorithm>
#include <bit>
#include <cinttypes>
#include <cstdio>
#include <functional>
#include <utility>

namespace tessaly {

namespace {

// An item's identity: up to two names and a flag that keeps apart what the names alone would not
// (a global from a local symbol, a part without an owning section from one whose section has no name).
struct Key {
    std::string_view first;
    std::string_view second;
    bool flag = false;

    bool operator==(const Key&) const = default;

    // Keyed: the names are the files', and under a fixed hash two files could pile them on one
    // slot of the matching's table.
    uint64_t hash(const keyed::NameKey& key) const
    {
        const uint64_t secondHash = keyed::nameHash(second, key) ^ key.chain ^ (flag ? 1 : 0);
        return keyed::foldedProduct(keyed::nameHash(first, key) ^ key.word, secondHash);
    }
};

// The identity of each kind of item, in a snapshot or a view.
struct Keys {
    const BuildView& s;

    Key section(std::size_t i) const { return { s.sections[i].name, {}, false }; }
    Key moduleSection(std::size_t i) const
    {
        const auto& part = s.moduleSections[i];
        return { s.modules[static_cast<std::size_t>(part.module)], part.section, part.hasSection };
    }
    template <typename Symbol> Key symbol(const Symbol& symbol) const
    {
        if (symbol.module < 0)
            return { symbol.name, {}, false };
        return { s.modules[static_cast<std::size_t>(symbol.module)], symbol.name, true };
    }
    Key label(std::size_t i) const { return symbol(s.labels[i]); }
    Key equ(std::size_t i) const { return symbol(s.equs[i]); }
    Key function(std::size_t i) const
    {
        const auto& f = s.functions[i];
        return { s.sources[static_cast<std::size_t>(f.source)], f.name, false };
    }
};

// For each new item the old item it matches, or -1. The n-th old item of a key matches the n-th
// new item of the same key.
template <typename OldKey, typename NewKey>
std::vector<int32_t> matchByKey(std::size_t oldCount, std::size_t newCount, OldKey oldKey, NewKey newKey)
{
    std::vector<int32_t> newToOld(newCount, -1);

    // Successive builds of one program mostly list their items in the same order: the common run
    // at the start pairs up without hashing, and the n-th counts of what follows stay equal.
    std::size_t common = 0;
    while (common < oldCount && common < newCount && oldKey(common) == newKey(common)) {
        newToOld[common] = static_cast<int32_t>(common);
        ++common;
    }
    if (common == oldCount || common == newCount)
        return newToOld;

    // The rest through an open-addressing table of the old keys; a slot chains the old items of
    // its key in list order (next), and its cursor walks that chain as new items take them.
    struct Slot {
        uint64_t hash = 0;
        int32_t head = -1;
        int32_t cursor = -1; // the chain's tail while filling, then the next old item to hand out
    };
    const std::size_t rest = oldCount - common;
    const std::size_t capacity = std::bit_ceil(rest * 2);
    const std::size_t mask = capacity - 1;
    std::vector<Slot> slots(capacity);
    std::vector<int32_t> next(rest, -1);
    const keyed::NameKey hashKey;

    // The slot of a key: the one whose head has it, or the empty one where it goes.
    auto find = [&](const Key& key, uint64_t hash) -> Slot& {
        std::size_t at = static_cast<std::size_t>(hash) & mask;
        while (slots[at].head != -1
            && !(slots[at].hash == hash && oldKey(static_cast<std::size_t>(slots[at].head)) == key))
            at = (at + 1) & mask;
        return slots[at];
    };

    for (std::size_t i = common; i < oldCount; ++i) {
        const Key key = oldKey(i);
        const uint64_t hash = key.hash(hashKey);
        Slot& slot = find(key, hash);
        const auto index = static_cast<int32_t>(i);
        if (slot.head == -1) {
            slot = { hash, index, index };
        } else {
            next[static_cast<std::size_t>(slot.cursor) - common] = index;
            slot.cursor = index;
        }
    }
    for (Slot& slot : slots)
        slot.cursor = slot.head;

    for (std::size_t j = common; j < newCount; ++j) {
        const Key key = newKey(j);
        Slot& slot = find(key, key.hash(hashKey));
        if (slot.head == -1 || slot.cursor == -1)
            continue;
        newToOld[j] = slot.cursor;
        slot.cursor = next[static_cast<std::size_t>(slot.cursor) - common];
    }
    return newToOld;
}

// The new items in order with their matches and changes, then the unmatched old items.
template <typename OldItems, typename NewItems, typename KeyOfOld, typename KeyOfNew, typename ChangeOf>
std::vector<MatchedItem> compareItems(
    const OldItems& before, const NewItems& after, KeyOfOld oldKey, KeyOfNew newKey, ChangeOf changeOf)
{
    const std::vector<int32_t> newToOld = matchByKey(before.size(), after.size(), oldKey, newKey);
    std::vector<bool> matched(before.size(), false);
    const auto added = static_cast<std::size_t>(std::count(newToOld.begin(), newToOld.end(), -1));
    const std::size_t removed = before.size() - (after.size() - added);
    std::vector<MatchedItem> items;
    items.reserve(after.size() + removed);
    for (std::size_t j = 0; j < after.size(); ++j) {
        const int32_t i = newToOld[j];
        MatchedItem item { i, static_cast<int32_t>(j), Change::Added };
        if (i >= 0) {
            matched[static_cast<std::size_t>(i)] = true;
            item.change = changeOf(before[static_cast<std::size_t>(i)], after[j]);
        }
        items.push_back(item);
    }
    for (std::size_t i = 0; i < before.size(); ++i)
        if (!matched[i])
            items.push_back({ static_cast<int32_t>(i), -1, Change::Removed });
    return items;
}

Change rangeChange(uint32_t oldStart, uint32_t oldSize, uint32_t newStart, uint32_t newSize)
{
    if (oldSize != newSize)
        return Change::Resized;
    return oldStart != newStart ? Change::Moved : Change::Same;
}

BuildComparison compare(const BuildView& before, const BuildView& after)
{
    const Keys oldKeys { before };
    const Keys newKeys { after };
    BuildComparison result;

    const auto sectionChange
        = [](const auto& o, const auto& n) { return rangeChange(o.start, o.size, n.start, n.size); };
    const auto symbolChange
        = [](const auto& o, const auto& n) { return o.value != n.value ? Change::Moved : Change::Same; };
    const auto functionChange
        = [](const auto& o, const auto& n) { return rangeChange(o.address, o.size, n.address, n.size); };

    result.sections = compareItems(
        before.sections, after.sections, [&](std::size_t i) { return oldKeys.section(i); },
        [&](std::size_t i) { return newKeys.section(i); }, sectionChange);
    result.moduleSections = compareItems(
        before.moduleSections, after.moduleSections, [&](std::size_t i) { return oldKeys.moduleSection(i); },
        [&](std::size_t i) { return newKeys.moduleSection(i); }, sectionChange);
    result.labels = compareItems(
        before.labels, after.labels, [&](std::size_t i) { return oldKeys.label(i); },
        [&](std::size_t i) { return newKeys.label(i); }, symbolChange);
    result.equs = compareItems(
        before.equs, after.equs, [&](std::size_t i) { return oldKeys.equ(i); },
        [&](std::size_t i) { return newKeys.equ(i); }, symbolChange);
    result.functions = compareItems(
        before.functions, after.functions, [&](std::size_t i) { return oldKeys.function(i); },
        [&](std::size_t i) { return newKeys.function(i); }, functionChange);

    for (const auto& section : before.sections)
        result.totals[static_cast<std::size_t>(section.kind)].oldSize += section.size;
    for (const auto& section : after.sections)
        result.totals[static_cast<std::size_t>(section.kind)].newSize += section.size;
    return result;
}

// Spreads one kind's items over its map table: each entry whose record the view lists takes the
// change of the view's item; the removed items go to their own list. Both sides are sorted by
// record address and walked together, which for a million entries costs less than a search each.
template <typename Entry, typename Record, typename RecordOf>
void spreadOverTable(const std::vector<MatchedItem>& items, const std::vector<Record>& viewRecords,
    const std::vector<Entry>& table, RecordOf recordOf, std::vector<EntryChange>& changes,
    std::vector<int32_t>& removed)
{
    using Position = std::pair<const void*, int32_t>; // a record and its index in the view or the table
    const std::less<const void*> less; // a total order of any two pointers
    const auto byRecord = [&](const Position& a, const Position& b) { return less(a.first, b.first); };
    std::vector<Position> inView;
    inView.reserve(viewRecords.size());
    for (std::size_t i = 0; i < viewRecords.size(); ++i)
        inView.emplace_back(viewRecords[i], static_cast<int32_t>(i));
    std::sort(inView.begin(), inView.end(), byRecord);
    std::vector<Position> inTable;
    inTable.reserve(table.size());
    for (std::size_t t = 0; t < table.size(); ++t)
        inTable.emplace_back(recordOf(table[t]), static_cast<int32_t>(t));
    std::sort(inTable.begin(), inTable.end(), byRecord);

    changes.assign(table.size(), EntryChange {});
    auto view = inView.begin();
    for (const Position& entry : inTable) {
        while (view != inView.end() && less(view->first, entry.first))
            ++view;
        if (view == inView.end() || view->first != entry.first)
            continue; // a free area
        const MatchedItem& item = items[static_cast<std::size_t>(view->second)];
        changes[static_cast<std::size_t>(entry.second)] = { item.change, item.oldIndex };
    }
    removed.clear();
    for (std::size_t i = viewRecords.size(); i < items.size(); ++i)
        removed.push_back(items[i].oldIndex);
}

const void* symbolRecord(const SymbolEntry& entry)
{
    if (entry.scope == 'G')
        return entry.symbol.global;
    return entry.symbol.local;
}

std::string hexText(uint64_t value, int digits)
{
    char text[24];
    std::snprintf(text, sizeof text, "%0*" PRIx64, digits, value);
    return text;
}

} // namespace

const char* ChangeName(Change change)
{
    switch (change) {
    case Change::Same:
        return "same";
    case Change::Added:
        return "added";
    case Change::Removed:
        return "removed";
    case Change::Moved:
        return "moved";
    case Change::Resized:
        return "resized";
    }
    return "same";
}

BuildComparison CompareBuilds(const BuildView& before, const BuildView& after)
{
    return compare(before, after);
}

TableChanges CompareWithTables(const BuildSnapshot& baseline, const MapModel& shown, const IeRoot* root)
{
    const TreeBuildView view = ViewBuild(root, &baseline);
    const BuildComparison comparison = CompareBuilds(baseline, view);
    TableChanges changes;
    changes.totals = comparison.totals;
    spreadOverTable(
        comparison.sections, view.sectionRecords, shown.SectionTable,
        [](const SectionEntry& entry) -> const void* { return entry.record; }, changes.sections,
        changes.removedSections);
    spreadOverTable(
        comparison.moduleSections, view.moduleSectionRecords, shown.ModuleSectionTable,
        [](const ModuleSectionEntry& entry) -> const void* { return entry.record; }, changes.moduleSections,
        changes.removedModuleSections);
    spreadOverTable(
        comparison.labels, view.labelRecords, shown.LabelTable, symbolRecord, changes.labels, changes.removedLabels);
    spreadOverTable(comparison.equs, view.equRecords, shown.EquTable, symbolRecord, changes.equs, changes.removedEqus);
    spreadOverTable(
        comparison.functions, view.functionRecords, shown.FunctionTable,
        [](const FunctionEntry& entry) -> const void* { return entry.function; }, changes.functions,
        changes.removedFunctions);
    return changes;
}

int64_t SizeDifference(uint64_t oldSize, uint64_t newSize)
{
    return static_cast<int64_t>(newSize) - static_cast<int64_t>(oldSize);
}

std::string SizeDifferenceText(int64_t difference, std::string_view minus)
{
    if (difference == 0)
        return "0";
    const uint64_t magnitude
        = difference < 0 ? 0 - static_cast<uint64_t>(difference) : static_cast<uint64_t>(difference);
    return std::string(difference < 0 ? minus : std::string_view("+")) + "0x" + hexText(magnitude, 1);
}

std::string PercentText(uint64_t oldSize, uint64_t newSize, std::string_view minus)
{
    if (oldSize == 0)
        return newSize == 0 ? "0.0%" : "new";
    const double percent
        = (static_cast<double>(newSize) - static_cast<double>(oldSize)) * 100.0 / static_cast<double>(oldSize);
    char text[48];
    std::snprintf(text, sizeof text, "%.1f%%", percent < 0 ? -percent : percent);
    if (std::string_view(text) == "0.0%")
        return text;
    return std::string(percent < 0 ? minus : std::string_view("+")) + text;
}

std::string MovedFromText(uint32_t oldAddress, int32_t addressDigits)
{
    return "moved from " + hexText(oldAddress, addressDigits == 8 ? 8 : 6);
}

std::string TotalsStatusText(const KindTotals& totals)
{
    std::string text;
    for (std::size_t kind = 0; kind < totals.size(); ++kind) {
        const KindTotal& total = totals[kind];
        if (total.oldSize == total.newSize)
            continue;
        if (!text.empty())
            text += "  ";
        text += SectionKindName(static_cast<SectionKind>(kind));
        text += ' ';
        text += SizeDifferenceText(SizeDifference(total.oldSize, total.newSize));
        text += " (" + PercentText(total.oldSize, total.newSize) + ")";
    }
    return text;
}

} // namespace tessaly
