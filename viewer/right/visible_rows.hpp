// visible_rows.hpp: what the visible rows of the symbol list hold, found by binary search on line numbers.
#pragma once

#include "map_model.hpp"
#include "right/right_layout.hpp"

#include <cstdint>
#include <vector>

namespace tessaly {

// One row of the Address and Section columns.
struct SectionRow {
    int32_t line = 0;
    int32_t entry = -1; // index in the listed table; −1 below the last block
    bool firstRow = false; // the block's first row: address, tag, name and top edge
    bool red = false; // the address is drawn in red
};

// The Address and Section columns of one paint.
struct SectionColumnPlan {
    std::vector<SectionRow> rows;
    bool hasTopAddress = false; // false when the top row shows no block
    uint32_t topAddress = 0; // start of the block that owns the top row
    // Row at whose top the last block is closed (its bottom edge one pixel above, the closing
    // line on it); −1 when the last block does not end inside the rows.
    int32_t closeRow = -1;
};

// The rows topLine to topLine + rowCount − 1 of the Address and Section columns of the listed
// table (rows numbered by NumberRows for the current options). Costs a binary search plus the
// rows, wherever the top line lies.
SectionColumnPlan PlanSectionColumn(const MapModel& model, int32_t topLine, int32_t rowCount);

// For the rows topLine to topLine + rowCount − 1, the index in its item table of the label,
// constant or function shown on each row, or −1. rowIndex is the matching vector of ListRows.
std::vector<int32_t> PlanItemColumn(
    const std::vector<SymbolEntry>& table, const std::vector<int32_t>& rowIndex, int32_t topLine, int32_t rowCount);
std::vector<int32_t> PlanItemColumn(
    const std::vector<FunctionEntry>& table, const std::vector<int32_t>& rowIndex, int32_t topLine, int32_t rowCount);

// The index, in the listed table, of the shown block whose rows hold the line, or −1.
int32_t BlockAtLine(const MapModel& model, int32_t line);

} // namespace tessaly
