// cell_text.hpp: the texts of the symbol list's cells and the red-address rule, shared by screen and print.
#pragma once

#include "map_model.hpp"

#include <cstdint>
#include <string>

namespace tessaly {

// Names are cut to this many bytes in a cell: a cell's text is not clipped, and a name of
// megabytes would only cost time to lay out.
inline constexpr size_t kMaxCellName = 1024;

// " %06x(%06x)" or " %08x(%08x)": an entry's start and size.
std::string FormatAddressSize(int32_t addressDigits, uint32_t start, uint32_t size);
// "[%c] %06x:" followed by the name: a label or .EQU constant.
std::string FormatSymbolCell(int32_t addressDigits, const SymbolEntry& symbol);
// "[F] %06x(%06x):%s(%s)": a C function with its address, size, name and source file.
std::string FormatFunctionCell(int32_t addressDigits, const FunctionEntry& function);
// "%s %s" with the tag and the section name; empty for a free area.
std::string SectionCellText(const SectionEntry& entry);
// "%s %s(%s)" with the tag, the owning section's name and the module's name; empty without an
// owning section.
std::string SectionCellText(const ModuleSectionEntry& entry);

// Whether a block's address is shown in red: it starts below the running end of the blocks
// painted above it, or it reaches above maxAddress, or it passes the top of the 32-bit space.
// runningEnd is 64-bit so a block ending exactly at 2^32 keeps its true end.
bool AddressIsRed(uint32_t start, uint32_t size, uint64_t runningEnd, uint32_t maxAddress);
// The running end after a block: the larger of the two.
inline uint64_t AdvanceRunningEnd(uint64_t runningEnd, uint32_t start, uint32_t size)
{
    const uint64_t end = uint64_t { start } + size;
    return end > runningEnd ? end : runningEnd;
}

} // namespace tessaly
