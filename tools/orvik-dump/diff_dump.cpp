// diff_dump.cpp: the text, JSON and CSV writers of orvik-dump --diff, over one ordered list of rows.
#include "diff_dump.hpp"

#include "json_writer.hpp"

#include <algorithm>
#include <array>
#include <cinttypes>
#include <cstdio>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace tessaly::dump {

namespace {

enum class Table : uint8_t { Section, ModuleSection, Label, Equ, Function };

const char* tableName(Table table)
{
    switch (table) {
    case Table::Section:
        return "section";
    case Table::ModuleSection:
        return "moduleSection";
    case Table::Label:
        return "label";
    case Table::Equ:
        return "equ";
    case Table::Function:
        return "function";
    }
    return "section";
}

bool hasSize(Table table)
{
    return table != Table::Label && table != Table::Equ;
}

// One item as all three writers see it. Symbols keep their value in start and have no size.
struct Row {
    Table table = Table::Section;
    std::string_view name;
    bool hasName = true; // false for a module section that names no section
    std::string_view owner; // the module (module sections, local symbols) or the source (functions)
    bool hasOwner = false;
    bool oldPresent = false;
    bool newPresent = false;
    uint32_t oldStart = 0;
    uint32_t oldSize = 0;
    uint32_t newStart = 0;
    uint32_t newSize = 0;
    Change change = Change::Same;

    uint64_t sizeChange() const
    {
        if (!hasSize(table))
            return 0;
        const int64_t difference = SizeDifference(oldPresent ? oldSize : 0, newPresent ? newSize : 0);
        return difference < 0 ? 0 - static_cast<uint64_t>(difference) : static_cast<uint64_t>(difference);
    }
};

struct Ref {
    Table table;
    MatchedItem item;
};

// Fills the identity from whichever side has the item, and each present side's numbers.
Row rowOf(const DiffInput& input, const Ref& ref)
{
    Row row;
    row.table = ref.table;
    row.change = ref.item.change;
    row.oldPresent = ref.item.oldIndex >= 0;
    row.newPresent = ref.item.newIndex >= 0;
    // Matched items have equal identities, so either side names them.
    auto identity = [&](const auto& named, std::size_t i) {
        switch (ref.table) {
        case Table::Section:
            row.name = named.sections[i].name;
            break;
        case Table::ModuleSection: {
            const auto& part = named.moduleSections[i];
            row.name = part.section;
            row.hasName = part.hasSection;
            row.owner = named.modules[static_cast<std::size_t>(part.module)];
            row.hasOwner = true;
            break;
        }
        case Table::Label:
        case Table::Equ: {
            const auto& symbol = ref.table == Table::Label ? named.labels[i] : named.equs[i];
            row.name = symbol.name;
            row.hasOwner = symbol.module >= 0;
            if (row.hasOwner)
                row.owner = named.modules[static_cast<std::size_t>(symbol.module)];
            break;
        }
        case Table::Function:
            row.name = named.functions[i].name;
            row.owner = named.sources[static_cast<std::size_t>(named.functions[i].source)];
            row.hasOwner = true;
            break;
        }
    };
    auto numbers = [&](const auto& side, std::size_t i) -> std::pair<uint32_t, uint32_t> {
        switch (ref.table) {
        case Table::Section:
            return { side.sections[i].start, side.sections[i].size };
        case Table::ModuleSection:
            return { side.moduleSections[i].start, side.moduleSections[i].size };
        case Table::Label:
            return { side.labels[i].value, 0 };
        case Table::Equ:
            return { side.equs[i].value, 0 };
        case Table::Function:
            return { side.functions[i].address, side.functions[i].size };
        }
        return {};
    };
    const auto oldIndex = static_cast<std::size_t>(ref.item.oldIndex);
    const auto newIndex = static_cast<std::size_t>(ref.item.newIndex);
    if (row.newPresent)
        identity(input.after, newIndex);
    else
        identity(input.before, oldIndex);
    if (row.oldPresent)
        std::tie(row.oldStart, row.oldSize) = numbers(input.before, oldIndex);
    if (row.newPresent)
        std::tie(row.newStart, row.newSize) = numbers(input.after, newIndex);
    return row;
}

struct Group {
    const char* title; // text
    const char* key; // JSON
    std::vector<Ref> refs;
    std::array<std::size_t, 5> counts {}; // of every item, listed or not, by Change
};

void addRefs(Group& group, Table table, const std::vector<MatchedItem>& items, bool changedOnly)
{
    for (const MatchedItem& item : items) {
        ++group.counts[static_cast<std::size_t>(item.change)];
        if (!changedOnly || item.change != Change::Same)
            group.refs.push_back({ table, item });
    }
}

// The four groups in the order every form writes them. Items equal in size change and names keep
// the comparison's order (the new build's, then the removed ones).
std::array<Group, 4> orderedGroups(const DiffInput& input, bool changedOnly)
{
    const BuildComparison& c = input.comparison;
    std::array<Group, 4> groups { Group { "sections", "sections", {} },
        Group { "module sections", "moduleSections", {} }, Group { "symbols", "symbols", {} },
        Group { "functions", "functions", {} } };
    addRefs(groups[0], Table::Section, c.sections, changedOnly);
    addRefs(groups[1], Table::ModuleSection, c.moduleSections, changedOnly);
    addRefs(groups[2], Table::Label, c.labels, changedOnly);
    addRefs(groups[2], Table::Equ, c.equs, changedOnly);
    addRefs(groups[3], Table::Function, c.functions, changedOnly);
    // Each item's sort key is taken once: the items lie all over both builds' vectors.
    struct SortKey {
        uint64_t sizeChange;
        std::string_view name;
        std::string_view owner;
        bool hasOwner;
        uint32_t position; // in the group's list before the sort
    };
    for (Group& group : groups) {
        std::vector<SortKey> keys;
        keys.reserve(group.refs.size());
        for (std::size_t i = 0; i < group.refs.size(); ++i) {
            const Row row = rowOf(input, group.refs[i]);
            keys.push_back({ row.sizeChange(), row.name, row.owner, row.hasOwner, static_cast<uint32_t>(i) });
        }
        std::sort(keys.begin(), keys.end(), [](const SortKey& x, const SortKey& y) {
            if (x.sizeChange != y.sizeChange)
                return x.sizeChange > y.sizeChange;
            if (x.name != y.name)
                return x.name < y.name;
            if (x.hasOwner != y.hasOwner)
                return !x.hasOwner;
            if (x.owner != y.owner)
                return x.owner < y.owner;
            return x.position < y.position;
        });
        std::vector<Ref> sorted;
        sorted.reserve(keys.size());
        for (const SortKey& key : keys)
            sorted.push_back(group.refs[key.position]);
        group.refs = std::move(sorted);
    }
    return groups;
}

std::string hex(uint64_t value, int digits)
{
    char text[24];
    std::snprintf(text, sizeof text, "%0*" PRIx64, digits, value);
    return text;
}

int digitsOf(const DiffInput& input)
{
    return input.after.addressDigits == 8 ? 8 : 6;
}

// ---- text -------------------------------------------------------------------------------------

void writeTotalsText(const DiffInput& input, std::ostream& out)
{
    const int digits = digitsOf(input);
    char line[160];
    std::snprintf(line, sizeof line, "%-6s %*s %*s %12s %8s\n", "", digits + 4, "old size", digits + 4, "new size",
        "difference", "percent");
    out << line;
    for (std::size_t kind = 0; kind < kSectionKindCount; ++kind) {
        const KindTotal& total = input.comparison.totals[kind];
        std::snprintf(line, sizeof line, "%-6s %*s %*s %12s %8s\n", SectionKindName(static_cast<SectionKind>(kind)),
            digits + 4, hex(total.oldSize, digits).c_str(), digits + 4, hex(total.newSize, digits).c_str(),
            SizeDifferenceText(SizeDifference(total.oldSize, total.newSize), "-").c_str(),
            PercentText(total.oldSize, total.newSize, "-").c_str());
        out << line;
    }
}

// "sections: 1 added, 2 resized, 4 same", counted over every item of the group.
void writeGroupHeading(const Group& group, std::ostream& out)
{
    out << '\n' << group.title << ':';
    const Change order[] = { Change::Added, Change::Removed, Change::Moved, Change::Resized, Change::Same };
    bool first = true;
    for (const Change change : order) {
        const std::size_t count = group.counts[static_cast<std::size_t>(change)];
        if (count == 0)
            continue;
        out << (first ? " " : ", ") << count << ' ' << ChangeName(change);
        first = false;
    }
    out << (first ? " none\n" : "\n");
}

void writeRowText(const Row& row, int digits, std::ostream& out)
{
    const std::string missing(static_cast<std::size_t>(digits), '-');
    auto field = [&](bool present, uint32_t value) { return present ? hex(value, digits) : missing; };
    std::string line = "  ";
    line += ChangeName(row.change);
    line.resize(11, ' ');
    if (hasSize(row.table)) {
        const int64_t difference = SizeDifference(row.oldPresent ? row.oldSize : 0, row.newPresent ? row.newSize : 0);
        char number[24];
        std::snprintf(number, sizeof number, "%11s", SizeDifferenceText(difference, "-").c_str());
        line += field(row.oldPresent, row.oldStart) + ' ' + field(row.oldPresent, row.oldSize) + "  "
            + field(row.newPresent, row.newStart) + ' ' + field(row.newPresent, row.newSize) + ' ' + number + "  ";
    } else {
        line += std::string(row.hasOwner ? "[L] " : "[G] ") + (row.table == Table::Label ? "label " : "equ   ")
            + field(row.oldPresent, row.oldStart) + "  " + field(row.newPresent, row.newStart) + "  ";
    }
    if (!row.hasName)
        line += "(no section)";
    else if (row.name.empty())
        line += "(no name)";
    else
        line += row.name;
    if (row.hasOwner)
        line += "  " + std::string(row.owner);
    out << line << '\n';
}

// ---- JSON -------------------------------------------------------------------------------------

void writeNumberOrNull(std::ostream& out, bool present, uint32_t value)
{
    if (present)
        out << value;
    else
        out << "null";
}

void writeStringOrNull(std::ostream& out, bool present, std::string_view text)
{
    if (present)
        writeJsonString(out, text);
    else
        out << "null";
}

void writeRowJson(const Row& row, std::ostream& out)
{
    auto pair = [&](const char* start, const char* size) {
        out << ", \"old" << start << "\": ";
        writeNumberOrNull(out, row.oldPresent, row.oldStart);
        if (size) {
            out << ", \"old" << size << "\": ";
            writeNumberOrNull(out, row.oldPresent, row.oldSize);
        }
        out << ", \"new" << start << "\": ";
        writeNumberOrNull(out, row.newPresent, row.newStart);
        if (size) {
            out << ", \"new" << size << "\": ";
            writeNumberOrNull(out, row.newPresent, row.newSize);
        }
    };
    switch (row.table) {
    case Table::Section:
        out << "{\"name\": ";
        writeJsonString(out, row.name);
        pair("Start", "Size");
        break;
    case Table::ModuleSection:
        out << "{\"module\": ";
        writeJsonString(out, row.owner);
        out << ", \"section\": ";
        writeStringOrNull(out, row.hasName, row.name);
        pair("Start", "Size");
        break;
    case Table::Label:
    case Table::Equ:
        out << "{\"name\": ";
        writeJsonString(out, row.name);
        out << ", \"scope\": \"" << (row.hasOwner ? 'L' : 'G') << "\", \"module\": ";
        writeStringOrNull(out, row.hasOwner, row.owner);
        out << ", \"kind\": \"" << (row.table == Table::Label ? "label" : "equ") << '"';
        pair("Value", nullptr);
        break;
    case Table::Function:
        out << "{\"name\": ";
        writeJsonString(out, row.name);
        out << ", \"source\": ";
        writeJsonString(out, row.owner);
        pair("Address", "Size");
        break;
    }
    out << ", \"change\": \"" << ChangeName(row.change) << "\"}";
}

// ---- CSV --------------------------------------------------------------------------------------

void writeCsvField(std::ostream& out, std::string_view text)
{
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) {
        out << text;
        return;
    }
    out << '"';
    for (const char c : text) {
        if (c == '"')
            out << '"';
        out << c;
    }
    out << '"';
}

void writeCsvNumber(std::ostream& out, bool present, uint32_t value)
{
    out << ',';
    if (present)
        out << value;
}

void writeRowCsv(const Row& row, std::ostream& out)
{
    out << tableName(row.table) << ',';
    writeCsvField(out, row.name);
    out << ',';
    writeCsvField(out, row.owner);
    const bool sized = hasSize(row.table);
    writeCsvNumber(out, row.oldPresent, row.oldStart);
    writeCsvNumber(out, row.oldPresent && sized, row.oldSize);
    writeCsvNumber(out, row.newPresent, row.newStart);
    writeCsvNumber(out, row.newPresent && sized, row.newSize);
    out << ',' << ChangeName(row.change) << "\r\n";
}

} // namespace

void writeDiffText(const DiffInput& input, bool all, std::ostream& out)
{
    out << "old: " << input.oldPath << "\nnew: " << input.newPath << "\n\n";
    writeTotalsText(input, out);
    const int digits = digitsOf(input);
    for (const Group& group : orderedGroups(input, !all)) {
        writeGroupHeading(group, out);
        for (const Ref& ref : group.refs)
            writeRowText(rowOf(input, ref), digits, out);
    }
}

void writeDiffJson(const DiffInput& input, std::ostream& out)
{
    out << "{\n  \"old\": ";
    writeJsonString(out, input.oldPath);
    out << ",\n  \"new\": ";
    writeJsonString(out, input.newPath);
    out << ",\n  \"totals\": [";
    for (std::size_t kind = 0; kind < kSectionKindCount; ++kind) {
        const KindTotal& total = input.comparison.totals[kind];
        out << (kind ? ",\n    " : "\n    ") << "{\"kind\": \"" << SectionKindName(static_cast<SectionKind>(kind))
            << "\", \"oldSize\": " << total.oldSize << ", \"newSize\": " << total.newSize << '}';
    }
    out << "\n  ]";
    for (const Group& group : orderedGroups(input, false)) {
        out << ",\n  \"" << group.key << "\": [";
        for (std::size_t i = 0; i < group.refs.size(); ++i) {
            out << (i ? ",\n    " : "\n    ");
            writeRowJson(rowOf(input, group.refs[i]), out);
        }
        out << (group.refs.empty() ? "]" : "\n  ]");
    }
    out << "\n}\n";
}

void writeDiffCsv(const DiffInput& input, std::ostream& out)
{
    out << "table,name,module_or_source,old_start,old_size,new_start,new_size,change\r\n";
    for (const Group& group : orderedGroups(input, false))
        for (const Ref& ref : group.refs)
            writeRowCsv(rowOf(input, ref), out);
}

int dumpDiff(const DumpOptions& options, int mask, std::ostream& out)
{
    // One tree at a time: the old build is copied and freed before the new one is read.
    BuildSnapshot before;
    if (const int code = ReadBuildSnapshot(options.path, mask, before))
        return code;
    if (const int code = IE_readIEEE(options.newPath.c_str(), mask))
        return code;
    const BuildView after = ViewBuildItems(IE_getRoot(), &before);
    const BuildComparison comparison = CompareBuilds(before, after);
    const DiffInput input { options.path, options.newPath, before, after, comparison };
    switch (options.format) {
    case OutputFormat::Json:
        writeDiffJson(input, out);
        break;
    case OutputFormat::Csv:
        writeDiffCsv(input, out);
        break;
    case OutputFormat::Text:
        writeDiffText(input, options.all, out);
        break;
    }
    return 0;
}

} // namespace tessaly::dump
