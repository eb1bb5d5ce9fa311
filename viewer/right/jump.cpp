// jump.cpp: JumpToAddress's choice of top line, by binary search on the sorted start addresses.
#include "right/jump.hpp"

#include <algorithm>

namespace tessaly {

namespace {

template <typename Table> int32_t topLineIn(const Table& table, uint32_t address)
{
    // The tables are sorted by start address, so the last entry not above the address is the
    // one before the first entry above it.
    const auto above = std::upper_bound(
        table.begin(), table.end(), address, [](uint32_t a, const auto& entry) { return a < entry.record->start; });
    if (above == table.begin())
        return 1;
    return std::max(std::prev(above)->startLine, 1);
}

// The shown entry of the listed table that holds the address, or −1.
template <typename Table> int32_t blockHolding(const Table& table, uint32_t address, bool omit)
{
    const auto above = std::upper_bound(
        table.begin(), table.end(), address, [](uint32_t a, const auto& entry) { return a < entry.record->start; });
    for (auto k = above; k != table.begin();) {
        --k;
        if (address - k->record->start < k->record->size && !IsOmitted(*k, omit) && k->lineCount > 0)
            return static_cast<int32_t>(k - table.begin());
        if (k->rangeFlag == RangeNormal)
            break;
    }
    return -1;
}

template <typename Table>
GoToTarget targetIn(const MapModel& model, const Table& table, const ListRows& rows, uint32_t address)
{
    GoToTarget target;
    target.topLine = topLineIn(table, address);
    const int32_t block = blockHolding(table, address, model.OmitZeroSizeSections);
    if (block < 0)
        return target;
    const auto& entry = table[static_cast<size_t>(block)];
    target.inBlock = true;
    target.inSection = !model.isFreeArea(entry);
    target.topLine = std::max(entry.startLine, 1);
    if (!target.inSection)
        return target;
    target.selection = SelectAt(model, rows, ColumnSection, entry.startLine);
    // The labels are sorted by value: walk back from the address while still inside the block.
    const auto above = std::upper_bound(model.LabelTable.begin(), model.LabelTable.end(), address,
        [](uint32_t a, const SymbolEntry& label) { return a < label.value; });
    for (auto k = above; k != model.LabelTable.begin();) {
        --k;
        if (k->value < entry.record->start)
            break;
        if (k->line >= entry.startLine && k->line < entry.startLine + entry.lineCount) {
            target.selection = SelectAt(model, rows, ColumnLabel, k->line);
            break;
        }
    }
    return target;
}

} // namespace

std::optional<uint32_t> ParseHexAddress(std::string_view text)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
        text.remove_prefix(2);
    else if (!text.empty() && (text.back() == 'h' || text.back() == 'H'))
        text.remove_suffix(1);
    if (text.empty())
        return std::nullopt;
    uint64_t value = 0;
    for (const char c : text) {
        int digit = -1;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        if (digit < 0)
            return std::nullopt;
        value = value * 16 + static_cast<uint64_t>(digit);
        if (value > 0xFFFFFFFFu)
            return std::nullopt;
    }
    return static_cast<uint32_t>(value);
}

GoToTarget GoToAddressTarget(const MapModel& model, const ListRows& rows, uint32_t address)
{
    return model.ShowLocalInformation ? targetIn(model, model.ModuleSectionTable, rows, address)
                                      : targetIn(model, model.SectionTable, rows, address);
}

int32_t JumpTopLine(const MapModel& model, uint32_t address)
{
    return model.ShowLocalInformation ? topLineIn(model.ModuleSectionTable, address)
                                      : topLineIn(model.SectionTable, address);
}

} // namespace tessaly
