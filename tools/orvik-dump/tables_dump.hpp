// tables_dump.hpp: the CPU family and the five map tables written as text or JSON (orvik-dump --tables).
#pragma once

#include "map_model.hpp"

#include <ostream>

namespace tessaly {

// One table after another, one entry per line, addresses in the family's digits.
void writeTablesText(const MapModel& model, std::ostream& out);

// {"cpuFamily", "maxAddress", "addressDigits", "nameWidths", "sectionTable", "moduleSectionTable",
//  "labelTable", "equTable", "functionTable"}, one table entry per line.
void writeTablesJson(const MapModel& model, std::ostream& out);

} // namespace tessaly
