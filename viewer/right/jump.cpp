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

} // namespace

int32_t JumpTopLine(const MapModel& model, uint32_t address)
{
    return model.ShowLocalInformation ? topLineIn(model.ModuleSectionTable, address)
                                      : topLineIn(model.SectionTable, address);
}

} // namespace tessaly
