// map_tables.cpp: BuildMapTables, which flattens the reader's tree into the five sorted map tables.
#include "build_baseline.hpp"
#include "map_model.hpp"

#include <algorithm>
#include <cstring>

namespace tessaly {

namespace {

int32_t nameLength(const char* name)
{
    return name ? static_cast<int32_t>(std::strlen(name)) : 0;
}

void raiseWidth(int32_t& width, const char* name)
{
    width = std::max(width, nameLength(name));
}

bool isPresent(const char* name)
{
    return name && *name;
}

// Byte-wise order of NUL-terminated names (strcmp compares as unsigned char); a missing name
// sorts after every present one, and two missing names are equal.
int compareNames(const char* a, const char* b)
{
    if (a && b)
        return std::strcmp(a, b);
    if (a)
        return -1;
    return b ? 1 : 0;
}

// Kind 2 first, kind 1 last, every other kind in between.
int zeroSizeKindRank(int32_t kind)
{
    return kind == 2 ? 0 : (kind == 1 ? 2 : 1);
}

} // namespace

// Start ascending, then size ascending, then name.
bool SectionOrderLess(const SectionEntry& a, const SectionEntry& b)
{
    const IeSection& x = *a.record;
    const IeSection& y = *b.record;
    if (x.start != y.start)
        return x.start < y.start;
    if (x.size != y.size)
        return x.size < y.size;
    return compareNames(x.name, y.name) < 0;
}

// Start ascending, then size ascending. Two entries of equal non-zero size at the same start
// are equal. Two zero-size ones go by kind rank, then by kind code ascending (so the order
// among the other kinds is fixed and the comparison stays a strict weak ordering), then by the
// owning section's name with entries without a section last.
bool ModuleSectionOrderLess(const ModuleSectionEntry& a, const ModuleSectionEntry& b)
{
    const IeModSection& x = *a.record;
    const IeModSection& y = *b.record;
    if (x.start != y.start)
        return x.start < y.start;
    if (x.size != y.size)
        return x.size < y.size;
    if (x.size != 0)
        return false;
    const int xRank = zeroSizeKindRank(x.kind);
    const int yRank = zeroSizeKindRank(y.kind);
    if (xRank != yRank)
        return xRank < yRank;
    if (x.kind != y.kind)
        return x.kind < y.kind;
    return compareNames(x.section ? x.section->name : nullptr, y.section ? y.section->name : nullptr) < 0;
}

// Value ascending, then name; the scope takes no part.
bool SymbolOrderLess(const SymbolEntry& a, const SymbolEntry& b)
{
    if (a.value != b.value)
        return a.value < b.value;
    return compareNames(a.name, b.name) < 0;
}

// Address only: functions at one address keep no defined order.
bool FunctionOrderLess(const FunctionEntry& a, const FunctionEntry& b)
{
    return a.address < b.address;
}

bool AdmittedToFunctionTable(CpuFamily family, const IeFnDef& function)
{
    return family == CpuGrus || (isPresent(function.linkName) && isPresent(function.name));
}

namespace {

// The first entry is normal whatever its address; each later one is outside, overlapping or
// normal against the running end of the entries before it. Ends are taken modulo 2^32.
template <typename Entry> void classifyRanges(std::vector<Entry>& entries, uint32_t maxAddress)
{
    if (entries.empty())
        return;
    entries.front().rangeFlag = RangeNormal;
    uint32_t runningEnd = entries.front().record->start + entries.front().record->size;
    for (std::size_t i = 1; i < entries.size(); ++i) {
        const uint32_t start = entries[i].record->start;
        const uint32_t end = start + entries[i].record->size;
        if (start > maxAddress || end - 1u > maxAddress || start > end)
            entries[i].rangeFlag = RangeOutside;
        else if (start < runningEnd)
            entries[i].rangeFlag = RangeOverlap;
        else
            entries[i].rangeFlag = RangeNormal;
        runningEnd = std::max(runningEnd, end);
    }
}

// Calls emit(start, size) for every gap below maxAddress that no entry covers, in address order.
// The running end is kept in 64 bits so that an entry wrapping past 0xFFFFFFFF covers the rest
// of the space instead of dropping the running end back to its small 32-bit end. A gap before
// an entry that starts above maxAddress stops at maxAddress, like the final gap: free areas
// never reach above the address space, and the top address itself is never free.
template <typename Entry, typename Emit>
void forEachFreeArea(const std::vector<Entry>& entries, uint32_t maxAddress, Emit emit)
{
    if (entries.empty())
        return;
    uint64_t covered = 0;
    for (const Entry& entry : entries) {
        const uint64_t start = entry.record->start;
        const uint64_t end = start + entry.record->size;
        if (covered < start) {
            const uint64_t gapEnd = std::min<uint64_t>(start, maxAddress);
            if (covered < gapEnd)
                emit(static_cast<uint32_t>(covered), static_cast<uint32_t>(gapEnd - covered));
            covered = end;
        } else if (covered < end) {
            covered = end;
        }
    }
    if (covered < maxAddress)
        emit(static_cast<uint32_t>(covered), static_cast<uint32_t>(maxAddress - covered));
}

// Steps 2 to 5 of a range table: sort the tree entries, classify them, count and make the free
// areas, add their entries and sort again. Returns the number of free areas.
template <typename Entry, typename Record, typename Less>
int32_t finishRangeTable(std::vector<Entry>& table, std::vector<Record>& freeAreas, uint32_t maxAddress, Less less)
{
    std::sort(table.begin(), table.end(), less);
    classifyRanges(table, maxAddress);

    std::size_t freeCount = 0;
    forEachFreeArea(table, maxAddress, [&](uint32_t, uint32_t) { ++freeCount; });
    freeAreas = {};
    freeAreas.reserve(freeCount);
    forEachFreeArea(table, maxAddress, [&](uint32_t start, uint32_t size) {
        Record area {};
        area.start = start;
        area.size = size;
        freeAreas.push_back(area);
    });

    table.reserve(table.size() + freeCount);
    for (const Record& area : freeAreas) {
        Entry entry;
        entry.record = &area;
        table.push_back(entry);
    }
    std::sort(table.begin(), table.end(), less);
    return static_cast<int32_t>(freeCount);
}

void buildSectionTable(MapModel& model, const IeRoot& root)
{
    std::size_t count = 0;
    for (const IeSection* section = root.sections; section; section = section->next)
        ++count;

    auto& table = model.SectionTable;
    table = {};
    table.reserve(count);
    for (const IeSection* section = root.sections; section; section = section->next) {
        SectionEntry entry;
        entry.record = section;
        table.push_back(entry);
        raiseWidth(model.NameWidths[NameWidthSection], section->name);
    }
    model.SectionCount = static_cast<int32_t>(count);
    model.SectionFreeAreaCount = finishRangeTable(table, model.SectionFreeAreas, model.MaxAddress, SectionOrderLess);
}

void buildModuleSectionTable(MapModel& model, const IeRoot& root)
{
    std::size_t count = 0;
    for (const IeModule* module = root.modules; module; module = module->next)
        for (const IeModSection* part = module->sections; part; part = part->next)
            ++count;

    auto& table = model.ModuleSectionTable;
    table = {};
    table.reserve(count);
    for (const IeModule* module = root.modules; module; module = module->next) {
        if (module->sections)
            raiseWidth(model.NameWidths[NameWidthModule], module->name);
        for (const IeModSection* part = module->sections; part; part = part->next) {
            ModuleSectionEntry entry;
            entry.record = part;
            table.push_back(entry);
        }
    }
    model.ModuleSectionCount = static_cast<int32_t>(count);
    model.ModuleSectionFreeAreaCount
        = finishRangeTable(table, model.ModuleSectionFreeAreas, model.MaxAddress, ModuleSectionOrderLess);
}

void buildSymbolTables(MapModel& model, const IeRoot& root)
{
    std::size_t labels = 0;
    std::size_t equs = 0;
    auto countKind = [&](int32_t kind) {
        labels += kind == IE_KIND_LABEL;
        equs += kind == IE_KIND_EQU;
    };
    for (const IeSymbol* symbol = root.symbols; symbol; symbol = symbol->next)
        countKind(symbol->kind);
    for (const IeModule* module = root.modules; module; module = module->next)
        for (const IeModSymbol* symbol = module->symbols; symbol; symbol = symbol->next)
            countKind(symbol->kind);

    auto& labelTable = model.LabelTable;
    auto& equTable = model.EquTable;
    labelTable = {};
    equTable = {};
    labelTable.reserve(labels);
    equTable.reserve(equs);
    model.GlobalLabelCount = model.LocalLabelCount = 0;
    model.GlobalEquCount = model.LocalEquCount = 0;

    auto add = [&](int32_t kind, const SymbolEntry& entry, int32_t& globalLabels, int32_t& globalEqus) {
        if (kind == IE_KIND_LABEL) {
            labelTable.push_back(entry);
            raiseWidth(model.NameWidths[NameWidthLabel], entry.name);
            ++globalLabels;
        } else if (kind == IE_KIND_EQU) {
            equTable.push_back(entry);
            raiseWidth(model.NameWidths[NameWidthEqu], entry.name);
            ++globalEqus;
        }
    };
    for (const IeSymbol* symbol = root.symbols; symbol; symbol = symbol->next) {
        SymbolEntry entry;
        entry.scope = 'G';
        entry.symbol.global = symbol;
        entry.value = symbol->value;
        entry.name = symbol->name;
        add(symbol->kind, entry, model.GlobalLabelCount, model.GlobalEquCount);
    }
    for (const IeModule* module = root.modules; module; module = module->next) {
        for (const IeModSymbol* symbol = module->symbols; symbol; symbol = symbol->next) {
            SymbolEntry entry;
            entry.scope = 'L';
            entry.symbol.local = symbol;
            entry.value = symbol->value;
            entry.name = symbol->name;
            add(symbol->kind, entry, model.LocalLabelCount, model.LocalEquCount);
        }
    }
    model.LabelCount = static_cast<int32_t>(labels);
    model.EquCount = static_cast<int32_t>(equs);
    std::sort(labelTable.begin(), labelTable.end(), SymbolOrderLess);
    std::sort(equTable.begin(), equTable.end(), SymbolOrderLess);
}

void buildFunctionTable(MapModel& model, const IeRoot& root)
{
    auto admitted = [&](const IeFnDef& function) { return AdmittedToFunctionTable(model.CpuFamily, function); };

    std::size_t count = 0;
    for (const IeModule* module = root.modules; module; module = module->next)
        for (const IeSource* source = module->sources; source; source = source->next)
            for (const IeFnDef* function = source->functions; function; function = function->next)
                count += admitted(*function);

    auto& table = model.FunctionTable;
    table = {};
    table.reserve(count);
    for (const IeModule* module = root.modules; module; module = module->next) {
        for (const IeSource* source = module->sources; source; source = source->next) {
            for (const IeFnDef* function = source->functions; function; function = function->next) {
                if (!admitted(*function))
                    continue;
                FunctionEntry entry;
                entry.function = function;
                entry.address = function->address;
                table.push_back(entry);
                raiseWidth(model.NameWidths[NameWidthFunction], function->name);
                raiseWidth(model.NameWidths[NameWidthFunctionFile], source->name);
            }
        }
    }
    model.FunctionCount = static_cast<int32_t>(count);
    std::sort(table.begin(), table.end(), FunctionOrderLess);
}

// One forward-only pass of an item table over a range table: each eligible item is counted for
// the first entry, in table order, that contains it when the cursor gets there.
template <typename Entry, typename Item, typename Eligible, typename Address, typename Count>
void sweep(std::vector<Entry>& entries, const std::vector<Item>& items, Eligible eligible, Address address, Count count)
{
    const std::size_t itemCount = items.size();
    std::size_t cursor = 0;
    for (Entry& entry : entries) {
        if (cursor == itemCount)
            return;
        const uint32_t start = entry.record->start;
        const uint32_t end = start + entry.record->size;
        while (cursor < itemCount) {
            const Item& item = items[cursor];
            if (!eligible(item)) {
                ++cursor;
                continue;
            }
            const uint32_t at = address(item);
            if (at < start) {
                ++cursor;
                continue;
            }
            if (at >= end)
                break;
            count(entry, item, static_cast<int32_t>(cursor));
            ++cursor;
        }
    }
}

bool anySymbol(const SymbolEntry&)
{
    return true;
}
uint32_t symbolAddress(const SymbolEntry& entry)
{
    return entry.value;
}
uint32_t functionAddress(const FunctionEntry& entry)
{
    return entry.address;
}

// Labels, .EQU constants and functions over a range table (both entry types share the field names).
template <typename Entry> void sweepSymbolsAndFunctions(std::vector<Entry>& entries, const MapModel& model)
{
    sweep(
        entries, model.LabelTable, anySymbol, symbolAddress, [](Entry& entry, const SymbolEntry& item, int32_t index) {
            ++(item.scope == 'G' ? entry.globalLabelCount : entry.localLabelCount);
            if (entry.firstLabel == -1)
                entry.firstLabel = index;
        });
    sweep(entries, model.EquTable, anySymbol, symbolAddress, [](Entry& entry, const SymbolEntry& item, int32_t index) {
        ++(item.scope == 'G' ? entry.globalEquCount : entry.localEquCount);
        if (entry.firstEqu == -1)
            entry.firstEqu = index;
    });
    sweep(entries, model.FunctionTable, FunctionIsCounted, functionAddress,
        [](Entry& entry, const FunctionEntry&, int32_t index) {
            ++entry.functionCount;
            if (entry.firstFunction == -1)
                entry.firstFunction = index;
        });
}

void clearTables(MapModel& model)
{
    model.SectionTable = {};
    model.SectionFreeAreas = {};
    model.SectionCount = model.SectionFreeAreaCount = 0;
    model.ModuleSectionTable = {};
    model.ModuleSectionFreeAreas = {};
    model.ModuleSectionCount = model.ModuleSectionFreeAreaCount = 0;
    model.LabelTable = {};
    model.LabelCount = model.GlobalLabelCount = model.LocalLabelCount = 0;
    model.EquTable = {};
    model.EquCount = model.GlobalEquCount = model.LocalEquCount = 0;
    model.FunctionTable = {};
    model.FunctionCount = 0;
}

} // namespace

void BuildMapTables(MapModel& model, const IeRoot* root)
{
    // Drop the old tables first: their records belong to a tree that no longer exists, and
    // freeing them before allocating the new ones keeps the peak lower.
    clearTables(model);
    RefreshBaselineChanges(model, nullptr);
    if (!root)
        return;

    buildSectionTable(model, *root);
    buildModuleSectionTable(model, *root);
    buildSymbolTables(model, *root);
    buildFunctionTable(model, *root);

    sweepSymbolsAndFunctions(model.ModuleSectionTable, model);

    // Free areas have no owning section, so they pass as ineligible and the module-section
    // table can be swept as it stands.
    sweep(
        model.SectionTable, model.ModuleSectionTable,
        [](const ModuleSectionEntry& item) { return item.record->section != nullptr; },
        [](const ModuleSectionEntry& item) { return item.record->start; },
        [](SectionEntry& entry, const ModuleSectionEntry&, int32_t) { ++entry.moduleSectionCount; });
    sweepSymbolsAndFunctions(model.SectionTable, model);
    // The changes are indexed like the tables, so they are rebuilt with them.
    RefreshBaselineChanges(model, root);
}

void BuildMapTables(const IeRoot* root)
{
    BuildMapTables(mapModel(), root);
}

} // namespace tessaly
