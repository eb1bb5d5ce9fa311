// jump.hpp: which line JumpToAddress brings to the top of the symbol list.
#pragma once

#include "map_model.hpp"
#include "right/list_selection.hpp"
#include "right/right_layout.hpp"

#include <cstdint>
#include <optional>
#include <string_view>

namespace tessaly {

// The startLine of the last entry, in the listed table (ModuleSectionTable while local
// information is shown, else SectionTable), whose start is not above the address. Omitted
// entries carry the next shown block's startLine (NumberRows), so a jump onto one shows that
// block. With an empty table, or an address below every entry, the answer is line 1.
// Expects the rows numbered for the current options.
int32_t JumpTopLine(const MapModel& model, uint32_t address);

// A typed hexadecimal address: digits with an optional "0x" before or "h" after, blanks around;
// none for anything else or more than 32 bits.
std::optional<uint32_t> ParseHexAddress(std::string_view text);

// What Go to Address does with an address: the top line Jump would give, and, when a shown block
// holds the address, the row at or before it picked: the block's last label not above the
// address, else the block itself.
struct GoToTarget {
    int32_t topLine = 1;
    bool inBlock = false; // a shown block (section or free area) holds the address
    bool inSection = false; // ... and it is a section, not a free area
    ListSelection selection;
};
GoToTarget GoToAddressTarget(const MapModel& model, const ListRows& rows, uint32_t address);

} // namespace tessaly
