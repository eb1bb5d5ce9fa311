// jump.hpp: which line JumpToAddress brings to the top of the symbol list.
#pragma once

#include "map_model.hpp"

#include <cstdint>

namespace tessaly {

// The startLine of the last entry, in the listed table (ModuleSectionTable while local
// information is shown, else SectionTable), whose start is not above the address. Omitted
// entries carry the next shown block's startLine (NumberRows), so a jump onto one shows that
// block. With an empty table, or an address below every entry, the answer is line 1.
// Expects the rows numbered for the current options.
int32_t JumpTopLine(const MapModel& model, uint32_t address);

} // namespace tessaly
