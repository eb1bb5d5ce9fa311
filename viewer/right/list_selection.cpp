// list_selection.cpp: picking a row by its line, and the texts a picked row gives.
#include "right/list_selection.hpp"

#include "right/cell_text.hpp"
#include "right/list_plan.hpp"

#include <algorithm>
#include <optional>
#include <vector>

namespace tessaly {

namespace {

// The entry of an item table on the line, through the indexes in line order.
template <typename Entry>
int32_t itemOnLine(const std::vector<Entry>& table, const std::vector<int32_t>& inLineOrder, int32_t line)
{
    const auto k = std::lower_bound(inLineOrder.begin(), inLineOrder.end(), line,
        [&](int32_t index, int32_t l) { return table[static_cast<size_t>(index)].line < l; });
    if (k == inLineOrder.end() || table[static_cast<size_t>(*k)].line != line)
        return -1;
    return *k;
}

// What the texts need of a picked row, whatever it is.
struct RowFacts {
    std::string name;
    uint32_t address = 0;
    std::optional<uint32_t> size;
    const char* module = nullptr; // known from the record itself
};

const char* nameOr(const char* name)
{
    return name ? name : "";
}

std::optional<RowFacts> factsOf(const MapModel& model, const ListSelection& s)
{
    const auto in = [&](const auto& table) { return s.entry >= 0 && static_cast<size_t>(s.entry) < table.size(); };
    switch (s.column) {
    case ColumnLabel:
    case ColumnEqu: {
        const std::vector<SymbolEntry>& table = s.column == ColumnLabel ? model.LabelTable : model.EquTable;
        if (!in(table))
            return std::nullopt;
        const SymbolEntry& symbol = table[static_cast<size_t>(s.entry)];
        RowFacts facts { nameOr(symbol.name), symbol.value, std::nullopt, nullptr };
        if (symbol.scope == 'L' && symbol.symbol.local && symbol.symbol.local->owner)
            facts.module = symbol.symbol.local->owner->name;
        return facts;
    }
    case ColumnFunction: {
        if (!in(model.FunctionTable))
            return std::nullopt;
        const IeFnDef& function = *model.FunctionTable[static_cast<size_t>(s.entry)].function;
        RowFacts facts { nameOr(function.name), function.address, function.size, nullptr };
        if (function.owner && function.owner->owner)
            facts.module = function.owner->owner->name;
        return facts;
    }
    case ColumnSection:
        if (model.ShowLocalInformation) {
            if (!in(model.ModuleSectionTable))
                return std::nullopt;
            const IeModSection& part = *model.ModuleSectionTable[static_cast<size_t>(s.entry)].record;
            RowFacts facts { part.section ? nameOr(part.section->name) : "", part.start, part.size, nullptr };
            if (part.owner)
                facts.module = part.owner->name;
            return facts;
        }
        if (!in(model.SectionTable))
            return std::nullopt;
        {
            const IeSection& section = *model.SectionTable[static_cast<size_t>(s.entry)].record;
            return RowFacts { nameOr(section.name), section.start, section.size, nullptr };
        }
    default:
        return std::nullopt;
    }
}

// The last entry of a sorted table that starts at or below the address and holds it.
template <typename Table> const auto* holding(const Table& table, uint32_t address)
{
    const auto above = std::upper_bound(
        table.begin(), table.end(), address, [](uint32_t a, const auto& entry) { return a < entry.record->start; });
    for (auto k = above; k != table.begin();) {
        --k;
        const auto* record = k->record;
        if (address - record->start < record->size)
            return record;
        // Entries may overlap, so an earlier and larger one may still hold the address.
        if (k->rangeFlag == RangeNormal)
            break;
    }
    return static_cast<decltype(table.front().record)>(nullptr);
}

std::string hex(const MapModel& model, uint32_t value)
{
    std::string text = FormatAddressSize(model.AddressDigits, value, 0);
    // " start(size)": the start alone, in the list's digits.
    return text.substr(1, text.find('(') - 1);
}

} // namespace

ListSelection SelectAt(const MapModel& model, const ListRows& rows, int column, int32_t line)
{
    ListSelection s;
    int32_t entry = -1;
    switch (column) {
    case ColumnLabel:
        entry = itemOnLine(model.LabelTable, rows.labels, line);
        break;
    case ColumnEqu:
        entry = itemOnLine(model.EquTable, rows.equs, line);
        break;
    case ColumnFunction:
        entry = itemOnLine(model.FunctionTable, rows.functions, line);
        break;
    case ColumnAddress:
    case ColumnSection: {
        column = ColumnSection;
        entry = BlockAtLine(model, line);
        if (entry < 0)
            return s;
        const bool free = model.ShowLocalInformation
            ? model.isFreeArea(model.ModuleSectionTable[static_cast<size_t>(entry)])
            : model.isFreeArea(model.SectionTable[static_cast<size_t>(entry)]);
        if (free)
            return s;
        line = model.ShowLocalInformation ? model.ModuleSectionTable[static_cast<size_t>(entry)].startLine
                                          : model.SectionTable[static_cast<size_t>(entry)].startLine;
        break;
    }
    default:
        return s;
    }
    if (entry < 0)
        return s;
    return { column, line, entry };
}

std::string SelectionCopyText(const MapModel& model, const ListSelection& selection)
{
    const std::optional<RowFacts> facts = factsOf(model, selection);
    if (!facts)
        return {};
    std::string text = hex(model, facts->address);
    if (selection.column == ColumnSection)
        text += ' ' + hex(model, facts->size.value_or(0));
    return text + ' ' + facts->name;
}

std::string SelectionToolTip(const MapModel& model, const ListSelection& selection)
{
    const std::optional<RowFacts> facts = factsOf(model, selection);
    if (!facts)
        return {};
    std::string text = facts->name + "\nAddress: " + hex(model, facts->address);
    if (facts->size)
        text += "\nSize: " + hex(model, *facts->size);
    const IeSection* section = holding(model.SectionTable, facts->address);
    if (section && section->name)
        text += "\nSection: " + std::string(section->name);
    const char* module = facts->module;
    if (!module) {
        const IeModSection* part = holding(model.ModuleSectionTable, facts->address);
        if (part && part->owner)
            module = part->owner->name;
    }
    if (module)
        text += "\nModule: " + std::string(module);
    return text;
}

} // namespace tessaly
