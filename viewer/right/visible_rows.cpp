// visible_rows.cpp: the plans of the visible rows, found by binary search on startLine and line.
#include "right/visible_rows.hpp"

#include "right/cell_text.hpp"

#include <algorithm>

namespace tessaly {

namespace {

// startLine never decreases through a numbered table: shown blocks follow one another, and an
// omitted entry carries the startLine of the next shown block (or the line count at the end).

// The first entry with startLine above the line.
template <typename Table> size_t firstStartingAbove(const Table& table, int32_t line)
{
    return static_cast<size_t>(std::upper_bound(table.begin(), table.end(), line, [](int32_t l, const auto& entry) {
        return l < entry.startLine;
    }) - table.begin());
}

// The shown entry at or after index i, or table.size(). Omitted entries before a shown block
// share its startLine, so it is the last entry with the startLine of entry i.
template <typename Table> size_t shownFrom(const Table& table, size_t i, bool omit)
{
    if (i >= table.size() || !IsOmitted(table[i], omit))
        return i;
    const size_t k = firstStartingAbove(table, table[i].startLine) - 1;
    return IsOmitted(table[k], omit) ? table.size() : k;
}

template <typename Table> int32_t blockAtLine(const Table& table, int32_t line, bool omit)
{
    size_t i = firstStartingAbove(table, line);
    // The last entry starting at or above the line; passing back over omitted entries only
    // happens at the very end of the table, where no shown block follows them.
    while (i > 0 && IsOmitted(table[i - 1], omit))
        --i;
    if (i == 0)
        return -1;
    const auto& entry = table[i - 1];
    return line < entry.startLine + entry.lineCount ? static_cast<int32_t>(i - 1) : -1;
}

template <typename Table>
SectionColumnPlan planSectionColumn(const MapModel& model, const Table& table, int32_t topLine, int32_t rowCount)
{
    SectionColumnPlan plan;
    if (rowCount <= 0)
        return plan;
    plan.rows.reserve(static_cast<size_t>(rowCount));
    const bool omit = model.OmitZeroSizeSections;
    // owner: the block whose rows are being painted; next: the next shown block.
    int32_t owner = blockAtLine(table, topLine, omit);
    size_t next = shownFrom(table, firstStartingAbove(table, topLine - 1), omit);
    if (owner >= 0 && static_cast<size_t>(owner) == next)
        owner = -1;
    uint64_t runningEnd = 0;
    bool blockPainted = false;
    for (int32_t r = 0; r < rowCount; ++r) {
        SectionRow row;
        row.line = topLine + r;
        if (next < table.size() && table[next].startLine == row.line) {
            const auto& entry = table[next];
            row.entry = static_cast<int32_t>(next);
            row.firstRow = true;
            row.red = AddressIsRed(entry.record->start, entry.record->size, runningEnd, model.MaxAddress);
            runningEnd = AdvanceRunningEnd(runningEnd, entry.record->start, entry.record->size);
            owner = row.entry;
            next = shownFrom(table, next + 1, omit);
        } else if (owner >= 0) {
            const auto& entry = table[static_cast<size_t>(owner)];
            if (row.line < entry.startLine + entry.lineCount) {
                row.entry = owner;
            } else {
                owner = -1;
                if (blockPainted && plan.closeRow < 0)
                    plan.closeRow = r;
            }
        }
        if (row.entry >= 0)
            blockPainted = true;
        if (r == 0 && row.entry >= 0) {
            plan.hasTopAddress = true;
            plan.topAddress = table[static_cast<size_t>(row.entry)].record->start;
        }
        plan.rows.push_back(row);
    }
    return plan;
}

template <typename Table>
std::vector<int32_t> planItemColumn(
    const Table& table, const std::vector<int32_t>& rowIndex, int32_t topLine, int32_t rowCount)
{
    std::vector<int32_t> cells(static_cast<size_t>(std::max(rowCount, 0)), -1);
    // rowIndex lists the items in line order, so the first visible one is a binary search away.
    auto k = std::lower_bound(rowIndex.begin(), rowIndex.end(), topLine,
        [&](int32_t index, int32_t line) { return table[static_cast<size_t>(index)].line < line; });
    for (; k != rowIndex.end(); ++k) {
        const int32_t r = table[static_cast<size_t>(*k)].line - topLine;
        if (r >= rowCount)
            break;
        cells[static_cast<size_t>(r)] = *k;
    }
    return cells;
}

} // namespace

SectionColumnPlan PlanSectionColumn(const MapModel& model, int32_t topLine, int32_t rowCount)
{
    return model.ShowLocalInformation ? planSectionColumn(model, model.ModuleSectionTable, topLine, rowCount)
                                      : planSectionColumn(model, model.SectionTable, topLine, rowCount);
}

std::vector<int32_t> PlanItemColumn(
    const std::vector<SymbolEntry>& table, const std::vector<int32_t>& rowIndex, int32_t topLine, int32_t rowCount)
{
    return planItemColumn(table, rowIndex, topLine, rowCount);
}

std::vector<int32_t> PlanItemColumn(
    const std::vector<FunctionEntry>& table, const std::vector<int32_t>& rowIndex, int32_t topLine, int32_t rowCount)
{
    return planItemColumn(table, rowIndex, topLine, rowCount);
}

int32_t BlockAtLine(const MapModel& model, int32_t line)
{
    return model.ShowLocalInformation ? blockAtLine(model.ModuleSectionTable, line, model.OmitZeroSizeSections)
                                      : blockAtLine(model.SectionTable, line, model.OmitZeroSizeSections);
}

} // namespace tessaly
