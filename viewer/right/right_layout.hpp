// right_layout.hpp: the symbol list's row numbering without a window: which line each block and item occupies.
#pragma once

#include "map_model.hpp"
#include "right/change_column.hpp"
#include "right/list_columns.hpp"
#include "section_tag.hpp"

#include <cstdint>
#include <vector>

namespace tessaly {

// Entries of size 0 get no row while OmitZeroSizeSections is on.
inline bool IsOmitted(const SectionEntry& entry, bool omitZeroSize)
{
    return omitZeroSize && entry.record->size == 0;
}
inline bool IsOmitted(const ModuleSectionEntry& entry, bool omitZeroSize)
{
    return omitZeroSize && entry.record->size == 0;
}

// The outcome of numbering the rows: the line count and, per item table, the indexes of the
// entries that got a row, in line order, so a plan can find the first one of its lines by binary
// search (labels of scope 'L', items of omitted blocks and uncounted functions have no row and are
// not listed).
struct ListRows {
    int32_t lineCount = 0; // m_nLineCount: one past the highest line in use
    std::vector<int32_t> labels;
    std::vector<int32_t> equs;
    std::vector<int32_t> functions;
    // While comparing, the baseline's removed items on the lines after the last block.
    GoneRows gone;
};

// Numbers the blocks and their items for the model's current options, writing startLine and
// lineCount of the listed table and line of every label, constant and function (−1 when it has
// no row). An omitted entry gets lineCount 0 and the startLine of the next block, in both modes,
// so a jump onto it shows that block. A block lists exactly the functions counted for it, passing
// over uncounted ones that sort among them.
ListRows NumberRows(MapModel& model);

} // namespace tessaly
