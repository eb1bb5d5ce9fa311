// tables_dump.cpp: text and JSON writers for the CPU family and the five map tables.
#include "tables_dump.hpp"

#include "json_writer.hpp"
#include "name_chars.hpp"

#include <charconv>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>

namespace tessaly {

namespace {

// ---- text -------------------------------------------------------------------------------------

// The text is a million lines on big programs: formatting each field through the stream costs
// more than reading the file, so lines are formatted into a buffer that is written in blocks.
class TextOut {
public:
    explicit TextOut(std::ostream& out)
        : m_out(out)
        , m_buffer(std::make_unique<char[]>(kBlock))
    {
    }
    ~TextOut() { flush(); }
    TextOut(const TextOut&) = delete;
    TextOut& operator=(const TextOut&) = delete;

    TextOut& operator<<(std::string_view text)
    {
        put(text.data(), text.size());
        return *this;
    }
    TextOut& operator<<(const char* text) { return *this << std::string_view(text); }

    // A name of the tree, "(null)" for none, each byte as its ISO 8859-1 character in UTF-8.
    TextOut& name(const char* text)
    {
        if (!text)
            return *this << "(null)";
        // ASCII runs, which names mostly are, are copied whole; the bytes are checked eight
        // at a time for one above 0x7F.
        const std::size_t length = std::strlen(text);
        std::size_t i = 0;
        for (; i + 8 <= length; i += 8) {
            uint64_t word;
            std::memcpy(&word, text + i, 8);
            if (word & 0x8080808080808080ull)
                break;
        }
        const char* run = text;
        const char* end = text + length;
        for (const char* p = text + i; p != end; ++p) {
            if (static_cast<unsigned char>(*p) < 0x80)
                continue;
            put(run, static_cast<std::size_t>(p - run));
            const NameCharacterUtf8 character = NameCharacterAsUtf8(static_cast<unsigned char>(*p));
            put(character.bytes, character.size);
            run = p + 1;
        }
        put(run, static_cast<std::size_t>(end - run));
        return *this;
    }
    TextOut& operator<<(char c)
    {
        if (m_size == kBlock)
            flush();
        m_buffer[m_size++] = c;
        return *this;
    }
    template <typename Int>
    requires(std::is_integral_v<Int> && !std::is_same_v<Int, char> && !std::is_same_v<Int, bool>) TextOut& operator<<(
        Int value)
    {
        char text[24];
        const auto end = std::to_chars(text, text + sizeof text, value).ptr;
        put(text, static_cast<std::size_t>(end - text));
        return *this;
    }

    // Lower-case hex, zero-padded to at least digits characters, as printf's %0*x.
    TextOut& hex(uint32_t value, int digits)
    {
        char text[8];
        int n = 0;
        do {
            text[7 - n++] = "0123456789abcdef"[value & 0xF];
            value >>= 4;
        } while (value != 0);
        for (int i = n; i < digits; ++i)
            *this << '0';
        put(text + 8 - n, static_cast<std::size_t>(n));
        return *this;
    }

    void flush()
    {
        m_out.write(m_buffer.get(), static_cast<std::streamsize>(m_size));
        m_size = 0;
    }

private:
    static constexpr std::size_t kBlock = 1 << 16;

    // Copied into the buffer, which is written out whenever it is full.
    void put(const char* bytes, std::size_t n)
    {
        if (n > kBlock - m_size) {
            flush();
            if (n > kBlock) {
                m_out.write(bytes, static_cast<std::streamsize>(n));
                return;
            }
        }
        if (n)
            std::memcpy(m_buffer.get() + m_size, bytes, n);
        m_size += n;
    }

    std::ostream& m_out;
    std::unique_ptr<char[]> m_buffer;
    std::size_t m_size = 0;
};

// An address or size in the family's digits, as the panes show it.
struct Hex {
    uint32_t value;
    int digits;
};

TextOut& operator<<(TextOut& out, Hex h)
{
    return out.hex(h.value, h.digits);
}

// A name of the tree, as TextOut::name writes it.
struct Name {
    const char* text;
};

TextOut& operator<<(TextOut& out, Name n)
{
    return out.name(n.text);
}

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

template <typename Entry> void writeContentsText(TextOut& out, const Entry& entry)
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

void writeTablesText(const MapModel& model, std::ostream& stream)
{
    TextOut out(stream);
    const int digits = model.AddressDigits == 8 ? 8 : 6;
    auto hex = [digits](uint32_t value) { return Hex { value, digits }; };
    const auto& widths = model.NameWidths;
    out << "cpu family: " << CpuFamilyName(model.CpuFamily) << '\n'
        << "max address: " << hex(model.MaxAddress) << '\n'
        << "address digits: " << model.AddressDigits << '\n'
        << "name widths: module " << widths[NameWidthModule] << ", section " << widths[NameWidthSection]
        << ", function file " << widths[NameWidthFunctionFile] << ", function " << widths[NameWidthFunction] << ", equ "
        << widths[NameWidthEqu] << ", label " << widths[NameWidthLabel] << '\n';

    out << "\nsection table: " << model.SectionCount << " sections, " << model.SectionFreeAreaCount << " free areas\n";
    for (std::size_t i = 0; i < model.SectionTable.size(); ++i) {
        const SectionEntry& entry = model.SectionTable[i];
        out << "  [" << i << "] " << hex(entry.record->start) << ' ' << hex(entry.record->size) << ' '
            << rangeFlagName(entry.rangeFlag) << ' ';
        if (model.isFreeArea(entry))
            out << "(free)";
        else
            out << "section " << Name { entry.record->name };
        writeContentsText(out, entry);
        out << " moduleSections=" << entry.moduleSectionCount << '\n';
    }

    out << "\nmodule section table: " << model.ModuleSectionCount << " module sections, "
        << model.ModuleSectionFreeAreaCount << " free areas\n";
    for (std::size_t i = 0; i < model.ModuleSectionTable.size(); ++i) {
        const ModuleSectionEntry& entry = model.ModuleSectionTable[i];
        const IeModSection& record = *entry.record;
        out << "  [" << i << "] " << hex(record.start) << ' ' << hex(record.size) << ' '
            << rangeFlagName(entry.rangeFlag) << ' ';
        if (model.isFreeArea(entry))
            out << "(free)";
        else
            out << "kind " << record.kind << " section " << Name { record.section ? record.section->name : nullptr }
                << " module " << Name { record.owner ? record.owner->name : nullptr };
        writeContentsText(out, entry);
        out << '\n';
    }

    auto writeSymbols = [&](const char* title, const std::vector<SymbolEntry>& table, int32_t global, int32_t local) {
        out << '\n' << title << ": " << global << " global, " << local << " local\n";
        for (std::size_t i = 0; i < table.size(); ++i) {
            const SymbolEntry& entry = table[i];
            out << "  [" << i << "] [" << static_cast<char>(entry.scope) << "] " << hex(entry.value) << ' '
                << Name { entry.name } << '\n';
        }
    };
    writeSymbols("label table", model.LabelTable, model.GlobalLabelCount, model.LocalLabelCount);
    writeSymbols("equ table", model.EquTable, model.GlobalEquCount, model.LocalEquCount);

    out << "\nfunction table: " << model.FunctionCount << " functions\n";
    for (std::size_t i = 0; i < model.FunctionTable.size(); ++i) {
        const IeFnDef& function = *model.FunctionTable[i].function;
        out << "  [" << i << "] " << hex(function.address) << ' ' << hex(function.size) << ' '
            << (function.resolved ? "resolved" : "unresolved") << ' ' << Name { function.name } << " link "
            << Name { function.linkName } << " source " << Name { function.owner ? function.owner->name : nullptr }
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
