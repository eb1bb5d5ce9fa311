// cell_text.hpp: the texts of the symbol list's cells, shared by screen and print.
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

// The same texts appended to out, which the plan of a paint collects in one buffer.
void AppendAddressSize(std::string& out, int32_t addressDigits, uint32_t start, uint32_t size);
void AppendSymbolCell(std::string& out, int32_t addressDigits, const SymbolEntry& symbol);
void AppendFunctionCell(std::string& out, int32_t addressDigits, const FunctionEntry& function);
void AppendSectionCellText(std::string& out, const SectionEntry& entry);
void AppendSectionCellText(std::string& out, const ModuleSectionEntry& entry);

// Whether a block's address is shown in red: its RangeFlag says it overlaps an earlier entry or
// lies outside the address space, or it reaches above maxAddress or past the top of the 32-bit
// space by itself (which RangeFlag leaves unsaid for the table's first entry). Both are
// properties of the table, so a block keeps its colour wherever the list is scrolled.
bool AddressIsRed(RangeFlag flag, uint32_t start, uint32_t size, uint32_t maxAddress);

} // namespace tessaly
