// right_layout.cpp: section tags, row numbering, column widths, re-stacking and border hit tests.
#include "right/right_layout.hpp"

#include <algorithm>
#include <cstdlib>

namespace tessaly {

namespace {

SectionTag tagOfType(int32_t type, bool sizeZero)
{
    switch (type) {
    case kSectionTypeData:
        return { sizeZero ? "[d]" : "[D]", kRgbData };
    case kSectionTypeCode:
        return { sizeZero ? "[c]" : "[C]", kRgbCode };
    case kSectionTypeRom:
        return { sizeZero ? "[r]" : "[R]", kRgbRom };
    default:
        return {};
    }
}

template <typename Table> void clearLines(Table& table)
{
    for (auto& entry : table)
        entry.line = -1;
}

// Numbers the run [first, first + count) of an item table from line L, in table order; with
// globalOnly set, items of scope 'L' keep −1.
void numberRun(std::vector<SymbolEntry>& table, int32_t first, int32_t count, int32_t line, bool globalOnly,
    std::vector<int32_t>& index)
{
    if (first < 0)
        return;
    const int32_t end = std::min<int32_t>(first + count, static_cast<int32_t>(table.size()));
    for (int32_t k = first; k < end; ++k) {
        SymbolEntry& item = table[static_cast<size_t>(k)];
        if (globalOnly && item.scope != 'G')
            continue;
        item.line = line++;
        index.push_back(k);
    }
}

void numberRun(
    std::vector<FunctionEntry>& table, int32_t first, int32_t count, int32_t line, std::vector<int32_t>& index)
{
    if (first < 0)
        return;
    const int32_t end = std::min<int32_t>(first + count, static_cast<int32_t>(table.size()));
    for (int32_t k = first; k < end; ++k) {
        table[static_cast<size_t>(k)].line = line++;
        index.push_back(k);
    }
}

} // namespace

SectionTag GetSectionTag(const IeSection* section)
{
    if (!section || !section->name)
        return {};
    return tagOfType(section->type, section->size == 0);
}

SectionTag GetSectionTag(const IeModSection* part)
{
    if (!part || !part->section || !part->section->name)
        return {};
    return tagOfType(part->section->type, part->size == 0);
}

bool ColumnShown(const MapModel& model, int number)
{
    switch (number) {
    case ColumnAddress:
    case ColumnSection:
    case ColumnLabel:
        return true;
    case ColumnEqu:
        return model.ShowEquList;
    case ColumnFunction:
        return model.ShowFunctionList;
    default:
        return false;
    }
}

int LastShownColumn(const MapModel& model)
{
    if (model.ShowFunctionList)
        return ColumnFunction;
    return model.ShowEquList ? ColumnEqu : ColumnLabel;
}

const char* ColumnHeaderText(int number, int32_t addressDigits, bool localInformation)
{
    switch (number) {
    case ColumnAddress:
        return addressDigits == 8 ? " Address(  size  )" : "Address(size)";
    case ColumnSection:
        return localInformation ? "Section(Module)" : "Section";
    case ColumnLabel:
        return "Label:";
    case ColumnEqu:
        return ".EQU";
    case ColumnFunction:
        return "Function(size)";
    default:
        return "";
    }
}

std::array<int32_t, kColumnCount> ColumnWidths(const MapModel& model, int32_t cw)
{
    const int32_t d = model.AddressDigits;
    const auto& n = model.NameWidths;
    const int32_t s = n[NameWidthSection];
    const int32_t sectionChars
        = model.ShowLocalInformation ? std::max(s + n[NameWidthModule] + 6, 15) : std::max(s + 4, 7);
    return {
        (2 * d + 3) * cw,
        (sectionChars + 1) * cw + 2,
        (n[NameWidthLabel] + d + 6) * cw,
        model.ShowEquList ? (n[NameWidthEqu] + d + 6) * cw : 0,
        model.ShowFunctionList ? (n[NameWidthFunction] + n[NameWidthFunctionFile] + 2 * d + 9) * cw : 0,
    };
}

void LayoutColumns(ColumnTable& columns, const std::array<int32_t, kColumnCount>& widths)
{
    int32_t x = 0;
    for (size_t i = 0; i < columns.size(); ++i) {
        ColumnInfo& c = columns[i];
        c.nWidthPx = widths[i];
        c.nLeft = x;
        c.nRight = x + widths[i];
        c.nDragX = c.nRight;
        x = c.nRight;
    }
}

void RestackColumns(ColumnTable& columns, bool showEquList)
{
    ColumnInfo& address = column(columns, ColumnAddress);
    address.nRight = address.nDragX;
    int32_t x = address.nRight;
    for (int number : { ColumnSection, ColumnLabel, ColumnEqu }) {
        ColumnInfo& c = column(columns, number);
        c.nLeft = x;
        c.nRight = x + c.nWidthPx;
        x = c.nRight;
    }
    ColumnInfo& function = column(columns, ColumnFunction);
    function.nLeft = column(columns, showEquList ? ColumnEqu : ColumnLabel).nRight;
    function.nRight = function.nLeft + function.nWidthPx;
}

int HitColumnBorder(const ColumnTable& columns, const MapModel& model, int32_t scrollPx, int32_t lineHeight, int32_t x,
    int32_t y, bool onlyShown)
{
    if (y >= lineHeight)
        return ColumnNone;
    for (int number = ColumnAddress; number <= ColumnFunction; ++number) {
        if (onlyShown && !ColumnShown(model, number))
            continue;
        const int32_t border = column(columns, number).nRight - scrollPx;
        if (x > border - 2 && x < border + 2)
            return number;
    }
    return ColumnNone;
}

int32_t ClampDragX(const ColumnTable& columns, int number, int32_t scrollPx, int32_t x)
{
    return std::max(x, column(columns, number).nLeft - scrollPx + 3);
}

void FinishDrag(ColumnTable& columns, int number, int32_t barX, int32_t scrollPx)
{
    ColumnInfo& c = column(columns, number);
    c.nRight = barX + scrollPx;
    c.nDragX = c.nRight;
    c.nWidthPx = c.nRight - c.nLeft;
}

ListRows NumberRows(MapModel& model)
{
    ListRows rows;
    // Items keep no line from an earlier layout: one that gets no row now must read −1.
    clearLines(model.LabelTable);
    clearLines(model.EquTable);
    clearLines(model.FunctionTable);
    rows.labels.reserve(model.LabelTable.size());
    if (model.ShowEquList)
        rows.equs.reserve(model.EquTable.size());
    if (model.ShowFunctionList)
        rows.functions.reserve(model.FunctionTable.size());

    const bool local = model.ShowLocalInformation;
    int32_t line = 1;
    auto numberBlock = [&](auto& entry) {
        entry.startLine = line;
        if (IsOmitted(entry, model.OmitZeroSizeSections)) {
            entry.lineCount = 0;
            return;
        }
        const int32_t labels = local ? entry.globalLabelCount + entry.localLabelCount : entry.globalLabelCount;
        numberRun(model.LabelTable, entry.firstLabel, entry.globalLabelCount + entry.localLabelCount, line, !local,
            rows.labels);
        int32_t longest = labels;
        if (model.ShowEquList) {
            numberRun(
                model.EquTable, entry.firstEqu, entry.globalEquCount + entry.localEquCount, line, !local, rows.equs);
            longest = std::max(longest, local ? entry.globalEquCount + entry.localEquCount : entry.globalEquCount);
        }
        if (model.ShowFunctionList) {
            numberRun(model.FunctionTable, entry.firstFunction, entry.functionCount, line, rows.functions);
            longest = std::max(longest, entry.functionCount);
        }
        entry.lineCount = 1 + longest;
        line += entry.lineCount;
    };
    if (local)
        for (ModuleSectionEntry& entry : model.ModuleSectionTable)
            numberBlock(entry);
    else
        for (SectionEntry& entry : model.SectionTable)
            numberBlock(entry);
    rows.lineCount = line;
    return rows;
}

} // namespace tessaly
