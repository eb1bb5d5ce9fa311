// right_layout.cpp: row numbering of blocks, labels, constants and functions in both modes.
#include "right/right_layout.hpp"

#include <algorithm>

namespace tessaly {

namespace {

template <typename Table> void clearLines(Table& table)
{
    for (auto& entry : table)
        entry.line = -1;
}

// Numbers the run [first, first + count) of a symbol table from line L, in table order; with
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

// Numbers the count functions counted for a block from line L. An uncounted function (unresolved,
// or without a name) can sort among them at an equal address; it is passed over, so it neither
// takes a line nor pushes a counted one off the block.
void numberFunctions(
    std::vector<FunctionEntry>& table, int32_t first, int32_t count, int32_t line, std::vector<int32_t>& index)
{
    if (first < 0)
        return;
    for (size_t k = static_cast<size_t>(first); k < table.size() && count > 0; ++k) {
        if (!FunctionIsCounted(table[k]))
            continue;
        table[k].line = line++;
        index.push_back(static_cast<int32_t>(k));
        --count;
    }
}

} // namespace

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
            numberFunctions(model.FunctionTable, entry.firstFunction, entry.functionCount, line, rows.functions);
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
    rows.gone = ListGoneRows(model, line);
    rows.lineCount = line + rows.gone.lineCount();
    return rows;
}

} // namespace tessaly
