// list_selection.hpp: the row picked in the symbol list (a label, .EQU constant, function or section), its copied text
// and its tool tip, without a window.
#pragma once

#include "map_model.hpp"
#include "right/list_columns.hpp"
#include "right/right_layout.hpp"

#include <cstdint>
#include <string>

namespace tessaly {

struct ListSelection {
    // ColumnLabel, ColumnEqu or ColumnFunction for an item; ColumnSection for a block (a click
    // on its address picks it too); ColumnNone when nothing is picked.
    int column = ColumnNone;
    int32_t line = 0; // the item's line, or the block's first line
    int32_t entry = -1; // index in the item's table, or in the listed section table
    friend bool operator==(const ListSelection&, const ListSelection&) = default;
};

// What a click on a column at a list line picks: the item on that line, or the block that owns
// it (free areas and empty lines pick nothing). rows: what NumberRows returned for the model.
ListSelection SelectAt(const MapModel& model, const ListRows& rows, int column, int32_t line);

// The text Copy puts on the clipboard: "address name", for a block "start size name", the numbers
// in hexadecimal as the list writes them.
std::string SelectionCopyText(const MapModel& model, const ListSelection& selection);

// The tool tip of a row: its name, address, size where it has one, and the section and module it
// lies in, a line each.
std::string SelectionToolTip(const MapModel& model, const ListSelection& selection);

} // namespace tessaly
