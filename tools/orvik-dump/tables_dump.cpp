// tables_dump.cpp: text and JSON writers for the CPU family and the five map tables.
#include "tables_dump.hpp"

#include "json_writer.hpp"

#include <cstdio>
#include <string>
#include <string_view>

namespace tessaly {

namespace {

// ---- text -------------------------------------------------------------------------------------

class TextWriter {
public:
    TextWriter(const MapModel& model, std::ostream& out)
        : m_out(out)
        , m_wide(model.AddressDigits == 8)
    {
    }

    // An address or size in the family's digits, as the panes show it.
    std::string hex(uint32_t value) const
    {
        char text[16];
        std::snprintf(text, sizeof text, m_wide ? "%08x" : "%06x", static_cast<unsigned>(value));
        return text;
    }

    std::ostream& out() { return m_out; }

private:
    std::ostream& m_out;
    bool m_wide;
};

const char* rangeFlagName(RangeFlag flag)
{
    switch (flag) {
    case RangeNormal:
        return "normal";
    case RangeOverlap:
        return "overlap";
    case RangeOutside:
        return "outside";
    }
    return "?";
}

const char* textName(const char* name)
{
    return name ? name : "(null)";
}

template <typename Entry> void writeContentsText(std::ostream& out, const Entry& entry)
{
    out << " labels=" << entry.globalLabelCount << "G+" << entry.localLabelCount << "L@" << entry.firstLabel
        << " equs=" << entry.globalEquCount << "G+" << entry.localEquCount << "L@" << entry.firstEqu
        << " functions=" << entry.functionCount << '@' << entry.firstFunction;
}

// ---- JSON -------------------------------------------------------------------------------------

void writeJsonName(std::ostream& out, const char* name)
{
    if (name)
        dump::writeJsonString(out, name);
    else
        out << "null";
}

const char* jsonBool(bool value)
{
    return value ? "true" : "false";
}

template <typename Entry> void writeContentsJson(std::ostream& out, const Entry& entry)
{
    out << ", \"globalLabelCount\": " << entry.globalLabelCount << ", \"localLabelCount\": " << entry.localLabelCount
        << ", \"firstLabel\": " << entry.firstLabel << ", \"globalEquCount\": " << entry.globalEquCount
        << ", \"localEquCount\": " << entry.localEquCount << ", \"firstEqu\": " << entry.firstEqu
        << ", \"functionCount\": " << entry.functionCount << ", \"firstFunction\": " << entry.firstFunction;
}

// Writes `"key": [` then one element per line through writeOne, then `]`.
template <typename Item, typename WriteOne>
void writeJsonArray(
    std::ostream& out, const char* key, const std::vector<Item>& items, WriteOne writeOne, bool last = false)
{
    out << "  \"" << key << "\": [";
    for (std::size_t i = 0; i < items.size(); ++i) {
        out << (i ? ",\n    " : "\n    ");
        writeOne(items[i]);
    }
    out << (items.empty() ? "]" : "\n  ]") << (last ? "\n" : ",\n");
}

void writeSymbolJson(std::ostream& out, const SymbolEntry& entry)
{
    out << "{\"scope\": \"" << static_cast<char>(entry.scope) << "\", \"name\": ";
    writeJsonName(out, entry.name);
    out << ", \"value\": " << entry.value << '}';
}

} // namespace

void writeTablesText(const MapModel& model, std::ostream& out)
{
    TextWriter text(model, out);
    const auto& widths = model.NameWidths;
    out << "cpu family: " << CpuFamilyName(model.CpuFamily) << '\n'
        << "max address: " << text.hex(model.MaxAddress) << '\n'
        << "address digits: " << model.AddressDigits << '\n'
        << "name widths: module " << widths[NameWidthModule] << ", section " << widths[NameWidthSection]
        << ", function file " << widths[NameWidthFunctionFile] << ", function " << widths[NameWidthFunction] << ", equ "
        << widths[NameWidthEqu] << ", label " << widths[NameWidthLabel] << '\n';

    out << "\nsection table: " << model.SectionCount << " sections, " << model.SectionFreeAreaCount << " free areas\n";
    for (std::size_t i = 0; i < model.SectionTable.size(); ++i) {
        const SectionEntry& entry = model.SectionTable[i];
        out << "  [" << i << "] " << text.hex(entry.record->start) << ' ' << text.hex(entry.record->size) << ' '
            << rangeFlagName(entry.rangeFlag) << ' ';
        if (model.isFreeArea(entry))
            out << "(free)";
        else
            out << "section " << textName(entry.record->name);
        writeContentsText(out, entry);
        out << " moduleSections=" << entry.moduleSectionCount << '\n';
    }

    out << "\nmodule section table: " << model.ModuleSectionCount << " module sections, "
        << model.ModuleSectionFreeAreaCount << " free areas\n";
    for (std::size_t i = 0; i < model.ModuleSectionTable.size(); ++i) {
        const ModuleSectionEntry& entry = model.ModuleSectionTable[i];
        const IeModSection& record = *entry.record;
        out << "  [" << i << "] " << text.hex(record.start) << ' ' << text.hex(record.size) << ' '
            << rangeFlagName(entry.rangeFlag) << ' ';
        if (model.isFreeArea(entry))
            out << "(free)";
        else
            out << "kind " << record.kind << " section " << textName(record.section ? record.section->name : nullptr)
                << " module " << textName(record.owner ? record.owner->name : nullptr);
        writeContentsText(out, entry);
        out << '\n';
    }

    auto writeSymbols = [&](const char* title, const std::vector<SymbolEntry>& table, int32_t global, int32_t local) {
        out << '\n' << title << ": " << global << " global, " << local << " local\n";
        for (std::size_t i = 0; i < table.size(); ++i) {
            const SymbolEntry& entry = table[i];
            out << "  [" << i << "] [" << static_cast<char>(entry.scope) << "] " << text.hex(entry.value) << ' '
                << textName(entry.name) << '\n';
        }
    };
    writeSymbols("label table", model.LabelTable, model.GlobalLabelCount, model.LocalLabelCount);
    writeSymbols("equ table", model.EquTable, model.GlobalEquCount, model.LocalEquCount);

    out << "\nfunction table: " << model.FunctionCount << " functions\n";
    for (std::size_t i = 0; i < model.FunctionTable.size(); ++i) {
        const IeFnDef& function = *model.FunctionTable[i].function;
        out << "  [" << i << "] " << text.hex(function.address) << ' ' << text.hex(function.size) << ' '
            << (function.resolved ? "resolved" : "unresolved") << ' ' << textName(function.name) << " link "
            << textName(function.linkName) << " source " << textName(function.owner ? function.owner->name : nullptr)
            << '\n';
    }
}

void writeTablesJson(const MapModel& model, std::ostream& out)
{
    out << "{\n  \"cpuFamily\": \"" << CpuFamilyName(model.CpuFamily) << "\",\n  \"maxAddress\": " << model.MaxAddress
        << ",\n  \"addressDigits\": " << model.AddressDigits << ",\n  \"nameWidths\": [";
    for (int i = 0; i < NameWidthCount; ++i)
        out << (i ? ", " : "") << model.NameWidths[static_cast<std::size_t>(i)];
    out << "],\n";

    writeJsonArray(out, "sectionTable", model.SectionTable, [&](const SectionEntry& entry) {
        const bool free = model.isFreeArea(entry);
        out << "{\"start\": " << entry.record->start << ", \"size\": " << entry.record->size << ", \"name\": ";
        writeJsonName(out, free ? nullptr : entry.record->name);
        out << ", \"free\": " << jsonBool(free) << ", \"rangeFlag\": " << entry.rangeFlag;
        writeContentsJson(out, entry);
        out << ", \"moduleSectionCount\": " << entry.moduleSectionCount << '}';
    });

    writeJsonArray(out, "moduleSectionTable", model.ModuleSectionTable, [&](const ModuleSectionEntry& entry) {
        const IeModSection& record = *entry.record;
        out << "{\"start\": " << record.start << ", \"size\": " << record.size << ", \"kind\": " << record.kind
            << ", \"section\": ";
        writeJsonName(out, record.section ? record.section->name : nullptr);
        out << ", \"module\": ";
        writeJsonName(out, record.owner ? record.owner->name : nullptr);
        out << ", \"free\": " << jsonBool(model.isFreeArea(entry)) << ", \"rangeFlag\": " << entry.rangeFlag;
        writeContentsJson(out, entry);
        out << '}';
    });

    writeJsonArray(out, "labelTable", model.LabelTable, [&](const SymbolEntry& entry) { writeSymbolJson(out, entry); });
    writeJsonArray(out, "equTable", model.EquTable, [&](const SymbolEntry& entry) { writeSymbolJson(out, entry); });

    writeJsonArray(
        out, "functionTable", model.FunctionTable,
        [&](const FunctionEntry& entry) {
            const IeFnDef& function = *entry.function;
            out << "{\"name\": ";
            writeJsonName(out, function.name);
            out << ", \"linkName\": ";
            writeJsonName(out, function.linkName);
            out << ", \"source\": ";
            writeJsonName(out, function.owner ? function.owner->name : nullptr);
            out << ", \"address\": " << function.address << ", \"size\": " << function.size
                << ", \"resolved\": " << jsonBool(function.resolved != 0) << '}';
        },
        true);
    out << "}\n";
}

} // namespace tessaly
