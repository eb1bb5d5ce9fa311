// cell_text.cpp: formatting of address, section, label and function cells.
#include "right/cell_text.hpp"

#include "section_tag.hpp"

#include <cstdio>

namespace tessaly {

namespace {

std::string boundedName(const char* name)
{
    if (!name)
        return {};
    size_t length = 0;
    while (length < kMaxCellName && name[length])
        ++length;
    return std::string(name, length);
}

std::string hex(int32_t addressDigits, uint32_t value)
{
    char text[16];
    std::snprintf(text, sizeof text, addressDigits == 8 ? "%08x" : "%06x", static_cast<unsigned>(value));
    return text;
}

} // namespace

std::string FormatAddressSize(int32_t addressDigits, uint32_t start, uint32_t size)
{
    return " " + hex(addressDigits, start) + "(" + hex(addressDigits, size) + ")";
}

std::string FormatSymbolCell(int32_t addressDigits, const SymbolEntry& symbol)
{
    std::string text = "[";
    text += static_cast<char>(symbol.scope);
    text += "] " + hex(addressDigits, symbol.value) + ":" + boundedName(symbol.name);
    return text;
}

std::string FormatFunctionCell(int32_t addressDigits, const FunctionEntry& function)
{
    const IeFnDef* f = function.function;
    const char* file = f->owner ? f->owner->name : nullptr;
    return "[F] " + hex(addressDigits, f->address) + "(" + hex(addressDigits, f->size) + "):" + boundedName(f->name)
        + "(" + boundedName(file) + ")";
}

std::string SectionCellText(const SectionEntry& entry)
{
    if (!entry.record->name)
        return {};
    return std::string(GetSectionTag(entry.record).text) + " " + boundedName(entry.record->name);
}

std::string SectionCellText(const ModuleSectionEntry& entry)
{
    const IeModSection* part = entry.record;
    if (!part->section)
        return {};
    const char* module = part->owner ? part->owner->name : nullptr;
    return std::string(GetSectionTag(part).text) + " " + boundedName(part->section->name) + "(" + boundedName(module)
        + ")";
}

bool AddressIsRed(RangeFlag flag, uint32_t start, uint32_t size, uint32_t maxAddress)
{
    const uint64_t end = uint64_t { start } + size;
    const uint32_t last = start + size - 1u; // modulo 2^32: a size-0 entry at 0 reads 0xFFFFFFFF
    return flag != RangeNormal || maxAddress < start || maxAddress < last || end > (uint64_t { 1 } << 32);
}

} // namespace tessaly
