// cell_text.cpp: formatting of address, section, label and function cells.
#include "right/cell_text.hpp"

#include "section_tag.hpp"

namespace tessaly {

namespace {

void appendName(std::string& out, const char* name)
{
    if (!name)
        return;
    size_t length = 0;
    while (length < kMaxCellName && name[length])
        ++length;
    out.append(name, length);
}

// "%06x" or "%08x".
void appendHex(std::string& out, int32_t addressDigits, uint32_t value)
{
    static constexpr char kDigits[] = "0123456789abcdef";
    char text[8];
    int n = 0;
    for (uint32_t v = value; v != 0; v >>= 4)
        text[n++] = kDigits[v & 0xF];
    for (int pad = (addressDigits == 8 ? 8 : 6) - n; pad > 0; --pad)
        out.push_back('0');
    while (n > 0)
        out.push_back(text[--n]);
}

template <typename Append> std::string formatted(Append append)
{
    std::string text;
    append(text);
    return text;
}

} // namespace

void AppendAddressSize(std::string& out, int32_t addressDigits, uint32_t start, uint32_t size)
{
    out.push_back(' ');
    appendHex(out, addressDigits, start);
    out.push_back('(');
    appendHex(out, addressDigits, size);
    out.push_back(')');
}

void AppendSymbolCell(std::string& out, int32_t addressDigits, const SymbolEntry& symbol)
{
    out.push_back('[');
    out.push_back(static_cast<char>(symbol.scope));
    out.append("] ");
    appendHex(out, addressDigits, symbol.value);
    out.push_back(':');
    appendName(out, symbol.name);
}

void AppendFunctionCell(std::string& out, int32_t addressDigits, const FunctionEntry& function)
{
    const IeFnDef* f = function.function;
    out.append("[F] ");
    appendHex(out, addressDigits, f->address);
    out.push_back('(');
    appendHex(out, addressDigits, f->size);
    out.append("):");
    appendName(out, f->name);
    out.push_back('(');
    appendName(out, f->owner ? f->owner->name : nullptr);
    out.push_back(')');
}

void AppendSectionCellText(std::string& out, const SectionEntry& entry)
{
    if (!entry.record->name)
        return;
    out.append(GetSectionTag(entry.record).text);
    out.push_back(' ');
    appendName(out, entry.record->name);
}

void AppendSectionCellText(std::string& out, const ModuleSectionEntry& entry)
{
    const IeModSection* part = entry.record;
    if (!part->section)
        return;
    out.append(GetSectionTag(part).text);
    out.push_back(' ');
    appendName(out, part->section->name);
    out.push_back('(');
    appendName(out, part->owner ? part->owner->name : nullptr);
    out.push_back(')');
}

std::string FormatAddressSize(int32_t addressDigits, uint32_t start, uint32_t size)
{
    return formatted([&](std::string& out) { AppendAddressSize(out, addressDigits, start, size); });
}

std::string FormatSymbolCell(int32_t addressDigits, const SymbolEntry& symbol)
{
    return formatted([&](std::string& out) { AppendSymbolCell(out, addressDigits, symbol); });
}

std::string FormatFunctionCell(int32_t addressDigits, const FunctionEntry& function)
{
    return formatted([&](std::string& out) { AppendFunctionCell(out, addressDigits, function); });
}

std::string SectionCellText(const SectionEntry& entry)
{
    return formatted([&](std::string& out) { AppendSectionCellText(out, entry); });
}

std::string SectionCellText(const ModuleSectionEntry& entry)
{
    return formatted([&](std::string& out) { AppendSectionCellText(out, entry); });
}

bool AddressIsRed(RangeFlag flag, uint32_t start, uint32_t size, uint32_t maxAddress)
{
    const uint64_t end = uint64_t { start } + size;
    const uint32_t last = start + size - 1u; // modulo 2^32: a size-0 entry at 0 reads 0xFFFFFFFF
    return flag != RangeNormal || maxAddress < start || maxAddress < last || end > (uint64_t { 1 } << 32);
}

} // namespace tessaly
