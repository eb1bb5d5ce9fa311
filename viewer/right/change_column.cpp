// change_column.cpp: the change column's texts from the baseline's changes, and the removed items' rows.
#include "right/change_column.hpp"

#include "right/cell_text.hpp"
#include "section_tag.hpp"

#include <algorithm>

namespace tessaly {

namespace {

const char* kNewText = "new";

// The change of a table entry, or none when the index lies outside the changes (never while the
// changes are rebuilt with the tables).
EntryChange changeAt(const std::vector<EntryChange>& changes, int32_t index)
{
    if (index < 0 || static_cast<size_t>(index) >= changes.size())
        return {};
    return changes[static_cast<size_t>(index)];
}

template <typename Items> bool valid(const Items& items, int32_t index)
{
    return index >= 0 && static_cast<size_t>(index) < items.size();
}

ChangeText sizeChange(EntryChange change, uint32_t newSize, const auto& oldItems)
{
    if (change.change == Change::Added)
        return { kNewText, ChangeTone::Grown };
    if (change.change != Change::Resized || !valid(oldItems, change.oldIndex))
        return {};
    const int64_t difference = SizeDifference(oldItems[static_cast<size_t>(change.oldIndex)].size, newSize);
    return { SizeDifferenceText(difference), difference > 0 ? ChangeTone::Grown : ChangeTone::Shrunk };
}

// A function that only changed its size stays where it was, and says nothing here.
ChangeText moveChange(const MapModel& model, EntryChange change, uint32_t oldAddress, uint32_t newAddress)
{
    if (change.change == Change::Added)
        return { kNewText, ChangeTone::Item };
    if ((change.change != Change::Moved && change.change != Change::Resized) || oldAddress == newAddress)
        return {};
    return { MovedFromText(oldAddress, model.AddressDigits), ChangeTone::Item };
}

int32_t sectionTypeOf(SectionKind kind)
{
    switch (kind) {
    case SectionKind::Code:
        return kSectionTypeCode;
    case SectionKind::Data:
        return kSectionTypeData;
    case SectionKind::Rom:
        return kSectionTypeRom;
    case SectionKind::Other:
        break;
    }
    return 0;
}

// The kind of a removed module section: that of the baseline's first section of its name.
SectionKind partKind(const BuildSnapshot& snapshot, const SnapshotModuleSection& part)
{
    const auto section = std::find_if(
        snapshot.sections.begin(), snapshot.sections.end(), [&](const auto& s) { return s.name == part.section; });
    return section != snapshot.sections.end() ? section->kind : SectionKind::Other;
}

} // namespace

int32_t ChangeLabelIndent()
{
    return kChangeBlockChars;
}

int32_t ChangeFunctionIndent(int32_t addressDigits)
{
    // "moved from " and the address, then a blank.
    return ChangeLabelIndent() + 11 + addressDigits + 1;
}

int32_t ChangeColumnChars(const MapModel& model)
{
    if (!model.Baseline)
        return 0;
    const int32_t end = model.ShowFunctionList ? ChangeFunctionIndent(model.AddressDigits) : ChangeLabelIndent();
    return end + 11 + model.AddressDigits + 1;
}

ChangeText BlockChangeText(const MapModel& model, int32_t block)
{
    if (!model.Baseline)
        return {};
    const BuildBaseline& baseline = *model.Baseline;
    if (model.ShowLocalInformation) {
        if (!valid(model.ModuleSectionTable, block))
            return {};
        return sizeChange(changeAt(baseline.changes.moduleSections, block),
            model.ModuleSectionTable[static_cast<size_t>(block)].record->size, baseline.snapshot.moduleSections);
    }
    if (!valid(model.SectionTable, block))
        return {};
    return sizeChange(changeAt(baseline.changes.sections, block),
        model.SectionTable[static_cast<size_t>(block)].record->size, baseline.snapshot.sections);
}

ChangeText LabelChangeText(const MapModel& model, int32_t label)
{
    if (!model.Baseline)
        return {};
    if (!valid(model.LabelTable, label))
        return {};
    const EntryChange change = changeAt(model.Baseline->changes.labels, label);
    const auto& old = model.Baseline->snapshot.labels;
    if (change.change != Change::Added && !valid(old, change.oldIndex))
        return {};
    return moveChange(model, change, change.oldIndex >= 0 ? old[static_cast<size_t>(change.oldIndex)].value : 0,
        model.LabelTable[static_cast<size_t>(label)].value);
}

ChangeText FunctionChangeText(const MapModel& model, int32_t function)
{
    if (!model.Baseline)
        return {};
    if (!valid(model.FunctionTable, function))
        return {};
    const EntryChange change = changeAt(model.Baseline->changes.functions, function);
    const auto& old = model.Baseline->snapshot.functions;
    if (change.change != Change::Added && !valid(old, change.oldIndex))
        return {};
    return moveChange(model, change, change.oldIndex >= 0 ? old[static_cast<size_t>(change.oldIndex)].address : 0,
        model.FunctionTable[static_cast<size_t>(function)].address);
}

int32_t GoneRows::lineCount() const
{
    if (firstLine < 0)
        return 0;
    return 1 + static_cast<int32_t>(std::max({ blocks.size(), labels.size(), equs.size(), functions.size() }));
}

GoneRows ListGoneRows(const MapModel& model, int32_t firstLine)
{
    GoneRows gone;
    if (!model.Baseline)
        return gone;
    const BuildBaseline& baseline = *model.Baseline;
    const TableChanges& changes = baseline.changes;
    const BuildSnapshot& old = baseline.snapshot;
    const bool local = model.ShowLocalInformation;
    const bool omit = model.OmitZeroSizeSections;
    auto keep = [](const std::vector<int32_t>& removed, const auto& items, auto wanted, std::vector<int32_t>& out) {
        for (const int32_t i : removed)
            if (valid(items, i) && wanted(items[static_cast<size_t>(i)]))
                out.push_back(i);
    };
    const auto sized = [omit](const auto& block) { return !omit || block.size != 0; };
    const auto scoped = [local](const auto& symbol) { return local || symbol.module < 0; };
    if (local)
        keep(changes.removedModuleSections, old.moduleSections, sized, gone.blocks);
    else
        keep(changes.removedSections, old.sections, sized, gone.blocks);
    keep(changes.removedLabels, old.labels, scoped, gone.labels);
    if (model.ShowEquList)
        keep(changes.removedEqus, old.equs, scoped, gone.equs);
    if (model.ShowFunctionList)
        keep(
            changes.removedFunctions, old.functions, [](const auto&) { return true; }, gone.functions);
    if (!gone.blocks.empty() || !gone.labels.empty() || !gone.equs.empty() || !gone.functions.empty())
        gone.firstLine = firstLine;
    return gone;
}

std::array<int32_t, NameWidthCount> ListNameWidths(const MapModel& model)
{
    std::array<int32_t, NameWidthCount> widths = model.NameWidths;
    if (!model.Baseline)
        return widths;
    const BuildSnapshot& old = model.Baseline->snapshot;
    // Cells hold at most kMaxCellName bytes of a name.
    auto raise = [&](NameWidthIndex index, std::string_view name) {
        widths[index] = std::max(widths[index], static_cast<int32_t>(std::min(name.size(), kMaxCellName)));
    };
    auto raiseAt = [&](NameWidthIndex index, const auto& items, int32_t at, auto name) {
        if (valid(items, at))
            raise(index, name(items[static_cast<size_t>(at)]));
    };
    const auto itemName = [](const auto& item) { return item.name; };
    const auto itself = [](std::string_view name) { return name; };
    const GoneRows gone = ListGoneRows(model, 0);
    for (const int32_t block : gone.blocks) {
        if (!model.ShowLocalInformation) {
            raiseAt(NameWidthSection, old.sections, block, itemName);
        } else if (valid(old.moduleSections, block)) {
            const auto& part = old.moduleSections[static_cast<size_t>(block)];
            raise(NameWidthSection, part.section);
            raiseAt(NameWidthModule, old.modules, part.module, itself);
        }
    }
    for (const int32_t label : gone.labels)
        raiseAt(NameWidthLabel, old.labels, label, itemName);
    for (const int32_t equ : gone.equs)
        raiseAt(NameWidthEqu, old.equs, equ, itemName);
    for (const int32_t function : gone.functions) {
        raiseAt(NameWidthFunction, old.functions, function, itemName);
        if (valid(old.functions, function))
            raiseAt(NameWidthFunctionFile, old.sources, old.functions[static_cast<size_t>(function)].source, itself);
    }
    return widths;
}

// The gone rows are numbered with the list; an index of an older numbering writes nothing.
void AppendGoneAddress(std::string& out, const MapModel& model, int32_t block)
{
    if (!model.Baseline)
        return;
    const BuildSnapshot& old = model.Baseline->snapshot;
    if (model.ShowLocalInformation) {
        if (valid(old.moduleSections, block)) {
            const auto& part = old.moduleSections[static_cast<size_t>(block)];
            AppendAddressSize(out, model.AddressDigits, part.start, part.size);
        }
    } else if (valid(old.sections, block)) {
        const auto& section = old.sections[static_cast<size_t>(block)];
        AppendAddressSize(out, model.AddressDigits, section.start, section.size);
    }
}

void AppendGoneSection(std::string& out, const MapModel& model, int32_t block)
{
    // Records of the baseline's shape, so that the list's own formats write them (a snapshot's
    // names are C strings).
    if (!model.Baseline)
        return;
    const BuildSnapshot& old = model.Baseline->snapshot;
    IeSection section {};
    if (model.ShowLocalInformation) {
        if (!valid(old.moduleSections, block))
            return;
        const auto& part = old.moduleSections[static_cast<size_t>(block)];
        if (!part.hasSection || !valid(old.modules, part.module))
            return;
        section.name = part.section.data();
        section.type = sectionTypeOf(partKind(old, part));
        IeModule module {};
        module.name = old.modules[static_cast<size_t>(part.module)].data();
        IeModSection record {};
        record.section = &section;
        record.owner = &module;
        record.start = part.start;
        record.size = part.size;
        AppendSectionCellText(out, ModuleSectionEntry { &record });
        return;
    }
    if (!valid(old.sections, block))
        return;
    const auto& s = old.sections[static_cast<size_t>(block)];
    section.name = s.name.data();
    section.type = sectionTypeOf(s.kind);
    section.start = s.start;
    section.size = s.size;
    AppendSectionCellText(out, SectionEntry { &section });
}

void AppendGoneSymbol(
    std::string& out, const MapModel& model, const std::vector<SnapshotSymbol>& symbols, int32_t index)
{
    if (!valid(symbols, index))
        return;
    const auto& symbol = symbols[static_cast<size_t>(index)];
    SymbolEntry entry;
    entry.scope = symbol.module < 0 ? 'G' : 'L';
    entry.value = symbol.value;
    entry.name = symbol.name.data();
    AppendSymbolCell(out, model.AddressDigits, entry);
}

void AppendGoneFunction(std::string& out, const MapModel& model, int32_t function)
{
    if (!model.Baseline || !valid(model.Baseline->snapshot.functions, function))
        return;
    const BuildSnapshot& old = model.Baseline->snapshot;
    const auto& f = old.functions[static_cast<size_t>(function)];
    if (!valid(old.sources, f.source))
        return;
    IeSource source {};
    source.name = old.sources[static_cast<size_t>(f.source)].data();
    IeFnDef record {};
    record.name = f.name.data();
    record.address = f.address;
    record.size = f.size;
    record.owner = &source;
    FunctionEntry entry;
    entry.function = &record;
    entry.address = f.address;
    AppendFunctionCell(out, model.AddressDigits, entry);
}

} // namespace tessaly
