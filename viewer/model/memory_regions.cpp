// memory_regions.cpp: the regions-file parser, its messages, and the search for the file beside an absolute file.
#include "memory_regions.hpp"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <numeric>
#include <system_error>
#include <tuple>

namespace tessaly {

namespace {

// A regions file is a few lines; anything this big is some other file named by mistake, and
// the cap keeps every line number within 32 bits.
constexpr std::size_t kMaxRegionsFileBytes = std::size_t { 64 } << 20;
// Bad text is quoted in messages up to this many bytes.
constexpr std::size_t kQuotedBytes = 32;
// Numbers saturate here while they are read: far above any 32-bit start or size, and low
// enough that the K and M suffixes cannot overflow 64 bits.
constexpr uint64_t kNumberCeiling = uint64_t { 1 } << 40;

struct LineError {
    int32_t line = 0;
    std::string text;
};

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool isNameCharacter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || isDigit(c) || c == '_' || c == '.' || c == '-';
}

// 'text' for a message: printable ASCII as it is, other bytes as \xNN, long text cut short.
std::string quoted(std::string_view text)
{
    static const char kHex[] = "0123456789abcdef";
    std::string out = "'";
    for (const char c : text.substr(0, kQuotedBytes)) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte < 0x7F && c != '\\' && c != '\'') {
            out += c;
        } else {
            out += "\\x";
            out += kHex[byte >> 4];
            out += kHex[byte & 0xF];
        }
    }
    if (text.size() > kQuotedBytes)
        out += "...";
    return out + "'";
}

std::vector<std::string_view> fieldsOf(std::string_view line)
{
    if (const std::size_t hash = line.find('#'); hash != std::string_view::npos)
        line = line.substr(0, hash);
    std::vector<std::string_view> fields;
    std::size_t pos = 0;
    while (pos < line.size()) {
        while (pos < line.size() && isBlank(line[pos]))
            ++pos;
        const std::size_t begin = pos;
        while (pos < line.size() && !isBlank(line[pos]))
            ++pos;
        if (pos > begin)
            fields.push_back(line.substr(begin, pos - begin));
    }
    return fields;
}

int hexValue(char c)
{
    if (isDigit(c))
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

enum class NumberFault { None, NotANumber, LeadingZero };

// A C integer, 0x hexadecimal or decimal, with an optional K (x1024) or M (x1048576) suffix.
// Octal is refused rather than read as decimal: in C a leading 0 means octal.
NumberFault parseNumber(std::string_view text, uint64_t& value)
{
    uint64_t multiplier = 1;
    if (!text.empty() && (text.back() == 'K' || text.back() == 'M')) {
        multiplier = text.back() == 'K' ? 1024 : 1024 * 1024;
        text.remove_suffix(1);
    }
    int base = 10;
    if (text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    }
    if (text.empty())
        return NumberFault::NotANumber;
    uint64_t number = 0;
    for (const char c : text) {
        const int digit = base == 16 ? hexValue(c) : (isDigit(c) ? c - '0' : -1);
        if (digit < 0)
            return NumberFault::NotANumber;
        number = std::min(number * static_cast<uint64_t>(base) + static_cast<uint64_t>(digit), kNumberCeiling);
    }
    if (base == 10 && text.size() > 1 && text[0] == '0')
        return NumberFault::LeadingZero;
    value = number * multiplier;
    return NumberFault::None;
}

// A whole percentage from 0 to 100, in decimal.
bool parsePercent(std::string_view text, uint32_t& percent)
{
    if (text.empty() || text.size() > 3 || !std::all_of(text.begin(), text.end(), isDigit))
        return false;
    uint32_t value = 0;
    for (const char c : text)
        value = value * 10 + static_cast<uint32_t>(c - '0');
    if (value > 100)
        return false;
    percent = value;
    return true;
}

// What is wrong with field `field` as a number, or nothing when it is one.
std::string numberFault(
    const std::vector<std::string_view>& fields, std::size_t field, const std::string& what, uint64_t& value)
{
    if (fields.size() <= field)
        return what + " missing";
    switch (parseNumber(fields[field], value)) {
    case NumberFault::None:
        break;
    case NumberFault::NotANumber:
        return what + " " + quoted(fields[field]) + " is not a number";
    case NumberFault::LeadingZero:
        return what + " " + quoted(fields[field]) + " has a leading zero (octal is not taken)";
    }
    return {};
}

// What is wrong with an optional percentage field, or nothing; value is left alone when absent.
std::string percentFault(
    const std::vector<std::string_view>& fields, std::size_t field, const std::string& what, uint32_t& value)
{
    if (fields.size() <= field || parsePercent(fields[field], value))
        return {};
    return what + " " + quoted(fields[field]) + " is not a percentage from 0 to 100";
}

// The region a line gives, or the text of what is wrong with it: the first fault found.
std::optional<MemoryRegion> parseLine(
    const std::vector<std::string_view>& fields, uint32_t maxAddress, std::string& fault)
{
    const std::string_view name = fields[0];
    if (name.size() > kMaxRegionNameLength)
        fault = "name longer than " + std::to_string(kMaxRegionNameLength) + " characters";
    else if (!std::all_of(name.begin(), name.end(), isNameCharacter))
        fault = "name " + quoted(name) + ": only letters, digits, '_', '.' and '-' are allowed";
    if (!fault.empty())
        return std::nullopt;

    uint64_t start = 0;
    uint64_t size = 0;
    fault = numberFault(fields, 1, "start", start);
    if (fault.empty())
        fault = numberFault(fields, 2, "size", size);
    if (!fault.empty())
        return std::nullopt;
    if (size == 0)
        fault = "size zero";
    else if (start > maxAddress)
        fault = "start above the address space";
    // The last byte, start + size - 1, may be maxAddress itself; compared without overflow.
    else if (size > uint64_t { maxAddress } + 1 - start)
        fault = "end above the address space";
    if (!fault.empty())
        return std::nullopt;

    MemoryRegion region;
    region.name = std::string(name);
    region.start = static_cast<uint32_t>(start);
    region.size = size;
    uint32_t warn = 0;
    fault = percentFault(fields, 3, "warn", warn);
    if (fault.empty())
        fault = percentFault(fields, 4, "fail", region.failPercent);
    if (fault.empty() && fields.size() > 3) {
        region.warnPercent = warn;
        if (warn > region.failPercent)
            fault = "warn " + std::to_string(warn) + " above fail " + std::to_string(region.failPercent);
    }
    if (fault.empty() && fields.size() > 5)
        fault = "unexpected " + quoted(fields[5]) + " after the fail percentage";
    if (!fault.empty())
        return std::nullopt;
    return region;
}

// The message for a pair of regions goes on the later of their two lines, so reading the
// file top down, the first line that cannot stand with what came before is the one refused.
// Each line gets at most one message.
class PairErrors {
public:
    PairErrors(const std::vector<MemoryRegion>& regions, std::vector<LineError>& errors)
        : m_regions(regions)
        , m_errors(errors)
        , m_flagged(regions.size(), false)
    {
    }

    template <typename Text> void report(std::size_t a, std::size_t b, Text text)
    {
        const std::size_t later = m_regions[a].line > m_regions[b].line ? a : b;
        const std::size_t earlier = later == a ? b : a;
        if (m_flagged[later])
            return;
        m_flagged[later] = true;
        m_errors.push_back({ m_regions[later].line, text(m_regions[later], m_regions[earlier]) });
    }

private:
    const std::vector<MemoryRegion>& m_regions;
    std::vector<LineError>& m_errors;
    std::vector<bool> m_flagged;
};

// Names are compared after sorting, regions after sorting by start: no pairwise search, so a
// file of a million lines costs a sort.
void checkPairs(const std::vector<MemoryRegion>& regions, std::vector<LineError>& errors)
{
    PairErrors pairs(regions, errors);
    std::vector<std::size_t> order(regions.size());

    std::iota(order.begin(), order.end(), std::size_t { 0 });
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return std::tie(regions[a].name, regions[a].line) < std::tie(regions[b].name, regions[b].line);
    });
    for (std::size_t i = 1; i < order.size(); ++i) {
        if (regions[order[i]].name == regions[order[i - 1]].name)
            pairs.report(order[i], order[i - 1], [](const MemoryRegion& later, const MemoryRegion& earlier) {
                return "region " + later.name + " already named on line " + std::to_string(earlier.line);
            });
    }

    std::iota(order.begin(), order.end(), std::size_t { 0 });
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return std::tie(regions[a].start, regions[a].line) < std::tie(regions[b].start, regions[b].line);
    });
    // The region reaching furthest so far: any later start below its end overlaps it.
    std::size_t reaching = order.empty() ? 0 : order[0];
    for (std::size_t i = 1; i < order.size(); ++i) {
        const std::size_t current = order[i];
        if (regions[current].start < regions[reaching].end())
            pairs.report(current, reaching, [](const MemoryRegion& later, const MemoryRegion& earlier) {
                return "region " + later.name + " overlaps " + earlier.name;
            });
        if (regions[current].end() > regions[reaching].end())
            reaching = current;
    }
}

RegionsParseResult refusal(std::string_view fileName, std::vector<LineError> errors)
{
    std::stable_sort(
        errors.begin(), errors.end(), [](const LineError& a, const LineError& b) { return a.line < b.line; });
    RegionsParseResult result;
    const std::string file(fileName);
    for (std::size_t i = 0; i < errors.size() && i < kMaxRegionsErrors; ++i) {
        const LineError& error = errors[i];
        result.errors.push_back(
            error.line > 0 ? file + ":" + std::to_string(error.line) + ": " + error.text : file + ": " + error.text);
    }
    if (errors.size() > kMaxRegionsErrors)
        result.errors.push_back(file + ": " + std::to_string(errors.size() - kMaxRegionsErrors) + " more bad lines");
    return result;
}

} // namespace

RegionsParseResult parseRegions(std::string_view text, std::string_view fileName, uint32_t maxAddress)
{
    if (text.size() > kMaxRegionsFileBytes)
        return refusal(fileName, { { 0, "too large for a regions file" } });

    std::vector<MemoryRegion> regions;
    std::vector<LineError> errors;
    int32_t lineNumber = 0;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t newline = text.find('\n', pos);
        const std::size_t end = newline == std::string_view::npos ? text.size() : newline;
        const std::string_view line = text.substr(pos, end - pos);
        pos = end + 1;
        ++lineNumber;

        const std::vector<std::string_view> fields = fieldsOf(line);
        if (fields.empty())
            continue;
        std::string fault;
        if (std::optional<MemoryRegion> region = parseLine(fields, maxAddress, fault)) {
            region->line = lineNumber;
            regions.push_back(std::move(*region));
        } else {
            errors.push_back({ lineNumber, std::move(fault) });
        }
    }
    checkPairs(regions, errors);

    if (errors.empty() && regions.empty())
        errors.push_back({ 0, "no regions" });
    if (!errors.empty())
        return refusal(fileName, std::move(errors));
    RegionsParseResult result;
    result.regions = std::move(regions);
    return result;
}

RegionsParseResult readRegionsFile(const std::filesystem::path& path, uint32_t maxAddress)
{
    const std::string fileName = path.string();
    std::error_code error;
    std::ifstream in(path, std::ios::binary);
    if (!in || std::filesystem::is_directory(path, error))
        return refusal(fileName, { { 0, "cannot be read" } });
    // Read in blocks up to one byte past the cap: enough to refuse a huge file without reading
    // all of it, and it works for pipes, whose size is not known beforehand.
    std::string text;
    char block[1 << 16];
    while (text.size() <= kMaxRegionsFileBytes && in.read(block, sizeof block).gcount() > 0)
        text.append(block, static_cast<std::size_t>(in.gcount()));
    if (in.bad())
        return refusal(fileName, { { 0, "cannot be read" } });
    return parseRegions(text, fileName, maxAddress);
}

std::optional<std::filesystem::path> FindRegionsFile(
    const std::filesystem::path& absoluteFile, const std::optional<std::filesystem::path>& namedFile)
{
    if (namedFile)
        return namedFile;
    std::filesystem::path beside = absoluteFile;
    beside.replace_extension(".regions");
    const std::filesystem::path shared = absoluteFile.parent_path() / "tessaly.regions";
    for (const std::filesystem::path& candidate : { beside, shared }) {
        // An absolute file that is itself called NAME.regions is not its own regions file.
        std::error_code error;
        if (candidate != absoluteFile && std::filesystem::is_regular_file(candidate, error))
            return candidate;
    }
    return std::nullopt;
}

} // namespace tessaly
