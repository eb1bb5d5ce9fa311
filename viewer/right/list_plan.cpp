// list_plan.cpp: the rows of a window of lines and their cells, found by binary search on startLine and line.
#include "right/list_plan.hpp"

#include "right/cell_text.hpp"
#include "right/change_column.hpp"

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

// What the Address cell needs of a block, whichever table lists it.
struct BlockAddress {
    uint32_t start = 0;
    uint32_t size = 0;
    bool red = false;
};
template <typename Entry> BlockAddress addressOf(const Entry& entry, uint32_t maxAddress)
{
    const uint32_t start = entry.record->start;
    const uint32_t size = entry.record->size;
    return { start, size, AddressIsRed(entry.rangeFlag, start, size, maxAddress) };
}

// The rows of the Address and Section columns: the block of each line, where blocks start, and
// where the last one is closed.
template <typename Table>
void planBlocks(const MapModel& model, const Table& table, const PlanRequest& request, ListPlan& plan)
{
    const bool omit = model.OmitZeroSizeSections;
    const int32_t firstLine = request.firstLine;
    // owner: the block whose rows are being planned; next: the next shown block.
    int32_t owner = blockAtLine(table, firstLine, omit);
    size_t next = shownFrom(table, firstStartingAbove(table, firstLine - 1), omit);
    if (owner >= 0 && static_cast<size_t>(owner) == next)
        owner = -1;
    bool blockSeen = false;
    for (int32_t r = 0; r < request.blockRows; ++r) {
        PlanRow& row = plan.rows[static_cast<size_t>(r)];
        if (next < table.size() && table[next].startLine == row.line) {
            row.block = static_cast<int32_t>(next);
            row.blockStart = true;
            owner = row.block;
            next = shownFrom(table, next + 1, omit);
        } else if (owner >= 0) {
            const auto& entry = table[static_cast<size_t>(owner)];
            if (row.line < entry.startLine + entry.lineCount) {
                row.block = owner;
            } else {
                // Only the last block ends without the next one starting on the following line.
                owner = -1;
                if (blockSeen && plan.closeRow < 0)
                    plan.closeRow = r;
            }
        }
        if (row.block >= 0) {
            blockSeen = true;
            row.box = GetSectionTag(table[static_cast<size_t>(row.block)].record).colour;
        }
    }
    if (request.closeAtWindowEnd && owner >= 0 && next >= table.size()) {
        const auto& entry = table[static_cast<size_t>(owner)];
        if (entry.startLine + entry.lineCount == firstLine + request.blockRows)
            plan.closeRow = request.blockRows;
    }
    if (request.blockRows > 0 && plan.rows.front().block >= 0) {
        plan.hasTopAddress = true;
        plan.topAddress = table[static_cast<size_t>(plan.rows.front().block)].record->start;
    }
}

// Adds a cell whose text append writes at the end of the plan's texts.
template <typename Append>
PlanCell& addCell(ListPlan& plan, int32_t row, int number, Ink ink, Append append, CellHighlight highlight = {})
{
    const size_t begin = plan.texts.size();
    append(plan.texts);
    return plan.cells.emplace_back(PlanCell {
        row, number, static_cast<uint32_t>(begin), static_cast<uint32_t>(plan.texts.size() - begin), ink, highlight });
}

void addColumnHeaders(const MapModel& model, const PlanRequest& request, ListPlan& plan, int number)
{
    if (!request.columnHeaders || request.firstLine != 0 || !ColumnShown(model, number))
        return;
    if (std::max(request.blockRows, request.itemRows) <= 0)
        return;
    addCell(plan, 0, number, Ink::Black, [&](std::string& out) {
        out.append(ColumnHeaderText(number, model.AddressDigits, model.ShowLocalInformation, true));
    });
}

template <typename Table>
void addBlockCells(const MapModel& model, const Table& table, const PlanRequest& request, ListPlan& plan)
{
    const int32_t d = model.AddressDigits;
    addColumnHeaders(model, request, plan, ColumnAddress);
    for (int32_t r = 0; r < request.blockRows; ++r) {
        const PlanRow& row = plan.rows[static_cast<size_t>(r)];
        if (!row.blockStart)
            continue;
        const BlockAddress block = addressOf(table[static_cast<size_t>(row.block)], model.MaxAddress);
        PlanCell& cell = addCell(plan, r, ColumnAddress, block.red ? Ink::Red : Ink::Black,
            [&](std::string& out) { AppendAddressSize(out, d, block.start, block.size); });
        if (request.selection.column == ColumnSection && request.selection.line == row.line)
            cell.highlight = { 0, kWholeCell };
    }
    const PlanMatch& match = request.match;
    addColumnHeaders(model, request, plan, ColumnSection);
    for (int32_t r = 0; r < request.blockRows; ++r) {
        const PlanRow& row = plan.rows[static_cast<size_t>(r)];
        if (row.block < 0)
            continue;
        PlanCell& cell = addCell(plan, r, ColumnSection, Ink::Black, [&](std::string& out) {
            if (row.blockStart)
                AppendSectionCellText(out, table[static_cast<size_t>(row.block)]);
        });
        // The match is in the name, which follows the tag and a blank.
        if (row.blockStart && match.kind == 1 && match.length > 0 && match.line == row.line)
            cell.highlight = { match.offset + 4, match.length };
        if (row.blockStart && request.selection.column == ColumnSection && request.selection.line == row.line)
            cell.highlight = { 0, kWholeCell };
    }
}

// Calls each(row, index) for the items of table on the window's item rows, in line order.
template <typename Entry, typename Each>
void forItemRows(
    const std::vector<Entry>& table, const std::vector<int32_t>& rowIndex, const PlanRequest& request, Each each)
{
    // rowIndex lists the items in line order, so the first one of the window is a binary search away.
    auto k = std::lower_bound(rowIndex.begin(), rowIndex.end(), request.firstLine,
        [&](int32_t index, int32_t line) { return table[static_cast<size_t>(index)].line < line; });
    for (; k != rowIndex.end(); ++k) {
        const int32_t r = table[static_cast<size_t>(*k)].line - request.firstLine;
        if (r >= request.itemRows)
            break;
        each(r, *k);
    }
}

// The cells of one item column: the item whose line each row shows.
template <typename Entry, typename Append>
void addItemCells(const std::vector<Entry>& table, const std::vector<int32_t>& rowIndex, int number,
    const PlanRequest& request, CellHighlight matchOnRow, int32_t matchRow, Append append, ListPlan& plan)
{
    forItemRows(table, rowIndex, request, [&](int32_t r, int32_t index) {
        const Entry& item = table[static_cast<size_t>(index)];
        const bool selected = request.selection.column == number && request.selection.line == item.line;
        addCell(
            plan, r, number, Ink::WindowText, [&](std::string& out) { append(out, item); },
            selected            ? CellHighlight { 0, kWholeCell }
                : r == matchRow ? matchOnRow
                                : CellHighlight {});
    });
}

// The rows of the removed items: the "(gone)" line, then each item in its column.
void addGoneCells(const MapModel& model, const GoneRows& gone, const PlanRequest& request, ListPlan& plan)
{
    if (gone.firstLine < 0 || !model.Baseline)
        return;
    const BuildSnapshot& old = model.Baseline->snapshot;
    auto itemOf = [&](int32_t r, const std::vector<int32_t>& items) -> int32_t {
        const int32_t k = plan.rows[static_cast<size_t>(r)].line - gone.firstLine - 1;
        return k >= 0 && static_cast<size_t>(k) < items.size() ? items[static_cast<size_t>(k)] : -1;
    };
    for (int32_t r = 0; r < request.blockRows; ++r) {
        if (plan.rows[static_cast<size_t>(r)].line == gone.firstLine)
            addCell(plan, r, ColumnSection, Ink::Black, [](std::string& out) { out.append(kGoneTitle); });
        if (const int32_t block = itemOf(r, gone.blocks); block >= 0) {
            addCell(
                plan, r, ColumnAddress, Ink::Black, [&](std::string& out) { AppendGoneAddress(out, model, block); });
            addCell(
                plan, r, ColumnSection, Ink::Black, [&](std::string& out) { AppendGoneSection(out, model, block); });
        }
    }
    for (int32_t r = 0; r < request.itemRows; ++r) {
        if (const int32_t label = itemOf(r, gone.labels); label >= 0)
            addCell(plan, r, ColumnLabel, Ink::WindowText,
                [&](std::string& out) { AppendGoneSymbol(out, model, old.labels, label); });
        if (const int32_t equ = itemOf(r, gone.equs); equ >= 0)
            addCell(plan, r, ColumnEqu, Ink::WindowText,
                [&](std::string& out) { AppendGoneSymbol(out, model, old.equs, equ); });
        if (const int32_t function = itemOf(r, gone.functions); function >= 0)
            addCell(plan, r, ColumnFunction, Ink::WindowText,
                [&](std::string& out) { AppendGoneFunction(out, model, function); });
        if (itemOf(r, gone.blocks) >= 0)
            addCell(plan, r, ColumnChange, Ink::Green, [](std::string& out) { out.append(kGoneBlock); }).utf8 = true;
    }
}

Ink inkOf(ChangeTone tone)
{
    switch (tone) {
    case ChangeTone::Grown:
        return Ink::Red;
    case ChangeTone::Shrunk:
        return Ink::Green;
    default:
        return Ink::WindowText;
    }
}

void addChangeText(ListPlan& plan, int32_t row, int32_t indent, ChangeText change)
{
    if (change.text.empty())
        return;
    PlanCell& cell
        = addCell(plan, row, ColumnChange, inkOf(change.tone), [&](std::string& out) { out.append(change.text); });
    cell.indent = indent;
    cell.utf8 = true;
}

// The change column of the shown file's rows: a block's size difference on its first row, each
// label's and function's move on its own.
void addChangeCells(const MapModel& model, const ListRows& rows, const PlanRequest& request, ListPlan& plan)
{
    for (int32_t r = 0; r < request.blockRows && r < request.itemRows; ++r) {
        const PlanRow& row = plan.rows[static_cast<size_t>(r)];
        if (row.blockStart)
            addChangeText(plan, r, 0, BlockChangeText(model, row.block));
    }
    forItemRows(model.LabelTable, rows.labels, request,
        [&](int32_t r, int32_t k) { addChangeText(plan, r, ChangeLabelIndent(), LabelChangeText(model, k)); });
    if (model.ShowFunctionList)
        forItemRows(model.FunctionTable, rows.functions, request, [&](int32_t r, int32_t k) {
            addChangeText(plan, r, ChangeFunctionIndent(model.AddressDigits), FunctionChangeText(model, k));
        });
}

} // namespace

ListPlan PlanList(const MapModel& model, const ListRows& rows, const PlanRequest& request)
{
    ListPlan plan;
    plan.blockRows = std::max(request.blockRows, 0);
    plan.itemRows = std::max(request.itemRows, 0);
    PlanRequest window = request;
    window.blockRows = plan.blockRows;
    window.itemRows = plan.itemRows;
    plan.rows.resize(static_cast<size_t>(std::max(plan.blockRows, plan.itemRows)));
    // An Address and a Section cell per block row and a cell per item row of each column.
    plan.cells.reserve(static_cast<size_t>(2 * plan.blockRows + 3 * plan.itemRows + kColumnCount));
    plan.texts.reserve(plan.cells.capacity() * 32);
    for (size_t r = 0; r < plan.rows.size(); ++r)
        plan.rows[r].line = request.firstLine + static_cast<int32_t>(r);

    // Column by column, as the renderer draws them.
    if (model.ShowLocalInformation) {
        planBlocks(model, model.ModuleSectionTable, window, plan);
        addBlockCells(model, model.ModuleSectionTable, window, plan);
    } else {
        planBlocks(model, model.SectionTable, window, plan);
        addBlockCells(model, model.SectionTable, window, plan);
    }
    const int32_t d = model.AddressDigits;
    const PlanMatch& match = request.match;
    const bool labelMatch = match.kind == 0 && match.length > 0;
    const int32_t matchRow = labelMatch ? match.line - request.firstLine : -1;
    // The match is in the name, which follows "[G] ", the address and ':'.
    const CellHighlight labelHighlight { match.offset + d + 5, match.length };
    const auto symbol = [d](std::string& out, const SymbolEntry& entry) { AppendSymbolCell(out, d, entry); };
    addColumnHeaders(model, window, plan, ColumnLabel);
    addItemCells(model.LabelTable, rows.labels, ColumnLabel, window, labelHighlight, matchRow, symbol, plan);
    if (model.ShowEquList) {
        addColumnHeaders(model, window, plan, ColumnEqu);
        addItemCells(model.EquTable, rows.equs, ColumnEqu, window, {}, -1, symbol, plan);
    }
    if (model.ShowFunctionList) {
        addColumnHeaders(model, window, plan, ColumnFunction);
        addItemCells(
            model.FunctionTable, rows.functions, ColumnFunction, window, {}, -1,
            [d](std::string& out, const FunctionEntry& entry) { AppendFunctionCell(out, d, entry); }, plan);
    }
    if (model.Baseline) {
        addColumnHeaders(model, window, plan, ColumnChange);
        addChangeCells(model, rows, window, plan);
        addGoneCells(model, rows.gone, window, plan);
        // The renderer takes the cells column by column, in column order.
        std::stable_sort(plan.cells.begin(), plan.cells.end(),
            [](const PlanCell& a, const PlanCell& b) { return a.column < b.column; });
    }
    return plan;
}

int32_t BlockAtLine(const MapModel& model, int32_t line)
{
    return model.ShowLocalInformation ? blockAtLine(model.ModuleSectionTable, line, model.OmitZeroSizeSections)
                                      : blockAtLine(model.SectionTable, line, model.OmitZeroSizeSections);
}

} // namespace tessaly
