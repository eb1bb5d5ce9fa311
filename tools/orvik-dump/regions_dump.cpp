// regions_dump.cpp: the --regions table, its budget lines and overflows, and the same as JSON.
#include "regions_dump.hpp"

#include "json_writer.hpp"

#include <algorithm>
#include <array>
#include <cstdio>
#include <string>
#include <vector>

namespace tessaly::dump {

namespace {

const char* sectionName(const SectionEntry& entry)
{
    return entry.record->name ? entry.record->name : "";
}

constexpr std::size_t kColumns = 8;
using Row = std::array<std::string, kColumns>;

void writeTable(const std::vector<Row>& rows, std::ostream& out)
{
    std::array<std::size_t, kColumns> widths {};
    for (const Row& row : rows)
        for (std::size_t c = 0; c < kColumns; ++c)
            widths[c] = std::max(widths[c], row[c].size());
    for (const Row& row : rows) {
        std::string line;
        for (std::size_t c = 0; c < kColumns; ++c) {
            line += row[c];
            if (c + 1 < kColumns)
                line.append(widths[c] - row[c].size() + 2, ' ');
        }
        out << line << '\n';
    }
}

} // namespace

void writeRegionsText(const MapModel& model, const MemoryUsage& usage, std::ostream& out)
{
    const auto hex = [&model](uint64_t value) { return RegionHex(model, value); };
    std::vector<Row> rows = { { "region", "start", "end", "size", "used", "free", "used%", "largest-free" } };
    for (std::size_t i = 0; i < usage.regions.size(); ++i) {
        const MemoryRegion& region = usage.regions[i];
        const RegionUsage& figures = usage.usage[i];
        rows.push_back({ region.name, hex(region.start), hex(region.end() - 1), hex(region.size), hex(figures.used),
            hex(figures.free), RegionPercentText(figures.usedTenths),
            figures.largestFreeSize == 0 ? std::string("-")
                                         : hex(figures.largestFreeSize) + "@" + hex(figures.largestFreeStart) });
    }
    writeTable(rows, out);

    for (std::size_t i = 0; i < usage.regions.size(); ++i) {
        const MemoryRegion& region = usage.regions[i];
        const RegionUsage& figures = usage.usage[i];
        const std::string used = RegionPercentText(figures.usedTenths);
        // Only percentages here: a section across a bound makes its own overflow line below.
        if (figures.aboveFail)
            out << "over budget: region " << region.name << ' ' << used << " used, fail above " << region.failPercent
                << "%\n";
        else if (figures.aboveWarn)
            out << "warning: region " << region.name << ' ' << used << " used, warn above " << *region.warnPercent
                << "%\n";
    }

    for (const RegionOverflow& overflow : usage.overflows) {
        const SectionEntry& entry = model.SectionTable[static_cast<std::size_t>(overflow.section)];
        out << "overflow: section " << sectionName(entry) << " at " << hex(entry.record->start) << " size "
            << hex(entry.record->size) << ' ';
        if (overflow.region < 0)
            out << "outside all regions\n";
        else
            out << "crosses " << usage.regions[static_cast<std::size_t>(overflow.region)].name << '\n';
    }
}

void writeRegionsJson(const MapModel& model, const MemoryUsage& usage, std::ostream& out)
{
    JsonWriter json(out);
    json.beginObject().key("regions").beginArray();
    for (std::size_t i = 0; i < usage.regions.size(); ++i) {
        const MemoryRegion& region = usage.regions[i];
        const RegionUsage& figures = usage.usage[i];
        json.beginObject();
        json.key("name").string(region.name.c_str());
        json.key("start").unsignedInteger(region.start);
        json.key("size").unsignedInteger(region.size);
        json.key("used").unsignedInteger(figures.used);
        json.key("free").unsignedInteger(figures.free);
        json.key("largestFreeStart");
        if (figures.largestFreeSize == 0)
            json.null();
        else
            json.unsignedInteger(figures.largestFreeStart);
        json.key("largestFreeSize").unsignedInteger(figures.largestFreeSize);
        json.key("warn");
        if (region.warnPercent)
            json.unsignedInteger(*region.warnPercent);
        else
            json.null();
        json.key("fail").unsignedInteger(region.failPercent);
        json.key("status").string(RegionStatusName(figures.status));
        json.endObject();
    }
    json.endArray().key("overflows").beginArray();
    for (const RegionOverflow& overflow : usage.overflows) {
        const IeSection& section = *model.SectionTable[static_cast<std::size_t>(overflow.section)].record;
        json.beginObject();
        json.key("section").string(section.name);
        json.key("start").unsignedInteger(section.start);
        json.key("size").unsignedInteger(section.size);
        json.key("region");
        if (overflow.region < 0)
            json.null();
        else
            json.string(usage.regions[static_cast<std::size_t>(overflow.region)].name.c_str());
        json.endObject();
    }
    json.endArray().endObject();
    out << '\n';
}

int dumpRegions(const std::filesystem::path& absoluteFile, const std::filesystem::path& regionsFile, bool json,
    std::ostream& out, std::ostream& err)
{
    MapModel& model = mapModel();
    DetectCpuFamily(model);
    const std::filesystem::path path = FindRegionsFile(absoluteFile, regionsFile).value_or(regionsFile);
    RegionsParseResult parsed = readRegionsFile(path, model.MaxAddress);
    if (parsed.refused()) {
        for (const std::string& error : parsed.errors)
            err << error << '\n';
        return kExitBadRegions;
    }
    const MemoryUsage usage = ComputeMemoryUsage(model, std::move(parsed.regions));
    if (json)
        writeRegionsJson(model, usage, out);
    else
        writeRegionsText(model, usage, out);
    return usage.overBudget() ? kExitOverBudget : 0;
}

} // namespace tessaly::dump
