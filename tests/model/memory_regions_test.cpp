// memory_regions_test.cpp: the regions-file parser, every message it gives, and where the file is found.
#include "memory_regions.hpp"
#include "support/temp_file.hpp"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using tessaly::MemoryRegion;
using tessaly::parseRegions;
using tessaly::RegionsParseResult;

constexpr uint32_t k24Bit = 0xFFFFFF;
constexpr uint32_t k32Bit = 0xFFFFFFFF;

// "name start+size warn/fail @line", warn "-" when there is none.
std::string describe(const MemoryRegion& r)
{
    char text[160];
    std::snprintf(text, sizeof text, "%s %x+%llx %s/%u @%d", r.name.c_str(), r.start,
        static_cast<unsigned long long>(r.size), r.warnPercent ? std::to_string(*r.warnPercent).c_str() : "-",
        r.failPercent, r.line);
    return text;
}

std::vector<std::string> describe(const RegionsParseResult& result)
{
    std::vector<std::string> out;
    for (const MemoryRegion& region : result.regions)
        out.push_back(describe(region));
    return out;
}

TEST(RegionsParser, AcceptedFiles)
{
    struct Case {
        std::string text;
        uint32_t maxAddress;
        std::vector<std::string> regions;
    };
    const Case cases[] = {
        { "# name   start      size    [warn%  [fail%]]\n"
          "ROM      0x000000   32K     90      100\n"
          "RAM      0x008000   0xF00   85\n",
            k24Bit, { "ROM 0+8000 90/100 @2", "RAM 8000+f00 85/100 @3" } },
        // Decimal, both hex prefixes and digit cases, M, tabs, CRLF, comments after fields,
        // blank lines, no line feed at the end.
        { "\n  A 0 1 # one byte\r\n\tB\t0X10\t0xaB\r\n\n# C 1 1\nc.d-e_1 1024 1M 0 0", k24Bit,
            { "A 0+1 -/100 @2", "B 10+ab -/100 @3", "c.d-e_1 400+100000 0/0 @6" } },
        // Regions that touch do not overlap; the last may reach MaxAddress itself.
        { "LOW 0 0x800000\nHIGH 0x800000 0x800000\n", k24Bit,
            { "LOW 0+800000 -/100 @1", "HIGH 800000+800000 -/100 @2" } },
        { "TOP 0xFFFFF000 4K\n", k32Bit, { "TOP fffff000+1000 -/100 @1" } },
        // The whole 32-bit space: a size 32 bits cannot hold.
        { "ALL 0 4096M 100\n", k32Bit, { "ALL 0+100000000 100/100 @1" } },
        { "0 0x0K 1K\n", 0x3FF, { "0 0+400 -/100 @1" } },
        { std::string(64, 'N') + " 0 1\n", k24Bit, { std::string(64, 'N') + " 0+1 -/100 @1" } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const RegionsParseResult result = parseRegions(c.text, "tessaly.regions", c.maxAddress);
        EXPECT_EQ(result.errors, std::vector<std::string> {});
        EXPECT_EQ(describe(result), c.regions);
    }
}

TEST(RegionsParser, EveryBadLineIsRefusedWithWhatIsWrong)
{
    struct Case {
        std::string text;
        std::vector<std::string> errors;
        uint32_t maxAddress = k24Bit;
    };
    const std::string f = "tessaly.regions:";
    const Case cases[] = {
        { "ROM\n", { f + "1: start missing" } },
        { "ROM 0 32K\n\nRAM 0x100\n", { f + "3: size missing" } },
        { std::string(65, 'N') + " 0 1\n", { f + "1: name longer than 64 characters" } },
        { "R@M 0 1\n", { f + "1: name 'R@M': only letters, digits, '_', '.' and '-' are allowed" } },
        { "ROM zz 1\nROM2 0x 1\nROM3 0 0xK\nROM4 -1 1\nROM5 0 1.5\nROM6 0 32k\nROM7 +1 1\nROM8 0 1KK\n",
            { f + "1: start 'zz' is not a number", f + "2: start '0x' is not a number",
                f + "3: size '0xK' is not a number", f + "4: start '-1' is not a number",
                f + "5: size '1.5' is not a number", f + "6: size '32k' is not a number",
                f + "7: start '+1' is not a number", f + "8: size '1KK' is not a number" } },
        { "ROM 0100 1\nRAM 0 00\n",
            { f + "1: start '0100' has a leading zero (octal is not taken)",
                f + "2: size '00' has a leading zero (octal is not taken)" } },
        { "ROM 0 0\nRAM 0 0x0K\n", { f + "1: size zero", f + "2: size zero" } },
        { "ROM 0x1000000 1\nRAM 0x100000000 1\n",
            { f + "1: start above the address space", f + "2: start above the address space" } },
        { "ROM 0xFFFF00 0x101\n", { f + "1: end above the address space" } },
        // start + size past 2^32, and numbers far beyond 64 bits, do not wrap into range.
        { "ROM 0xFFFFFF00 0x101\nRAM 1 4096M\nX 0 99999999999999999999999999\nY 0 0xFFFFFFFFFFFFFFFFFFFFM\n",
            { f + "1: end above the address space", f + "2: end above the address space",
                f + "3: end above the address space", f + "4: end above the address space" },
            k32Bit },
        { "A 0 1 101\nB 1 1 90 abc\nC 2 1 -5\nD 3 1 50%\n",
            { f + "1: warn '101' is not a percentage from 0 to 100",
                f + "2: fail 'abc' is not a percentage from 0 to 100",
                f + "3: warn '-5' is not a percentage from 0 to 100",
                f + "4: warn '50%' is not a percentage from 0 to 100" } },
        { "ROM 0 1 95 90\n", { f + "1: warn 95 above fail 90" } },
        { "ROM 0 1 90 100 extra\n", { f + "1: unexpected 'extra' after the fail percentage" } },
        // The overlap goes on the later line of the two, whichever starts lower.
        { "# name   start      size    [warn%  [fail%]]\n"
          "ROM      0x000000   32K     90      100\n"
          "RAM      0x000100   0xF00   85\n",
            { f + "3: region RAM overlaps ROM" } },
        { "RAM 0x100 0xF00\nROM 0 32K\n", { f + "2: region ROM overlaps RAM" } },
        // Every region that starts inside the one reaching furthest so far is found.
        { "A 0 100\nB 10 10\nC 50 10\nD 100 1\n", { f + "2: region B overlaps A", f + "3: region C overlaps A" } },
        { "ROM 0 1\nRAM 1 1\nROM 2 1\n", { f + "3: region ROM already named on line 1" } },
        { "", { "tessaly.regions: no regions" } },
        { "# only a comment\n\n   \n", { "tessaly.regions: no regions" } },
        // Bad lines of every kind are all reported, in line order.
        { "ROM 0 32K\nbad\nRAM 0x100 1\nX 0 zz\n",
            { f + "2: start missing", f + "3: region RAM overlaps ROM", f + "4: size 'zz' is not a number" } },
        // Bytes that are not printable are quoted as escapes, long ones cut short.
        { std::string("ROM 0 \x01\xff'\\\0\n", 11), { f + "1: size '\\x01\\xff\\x27\\x5c\\x00' is not a number" } },
        { "ROM 0 " + std::string(40, 'z') + "\n", { f + "1: size '" + std::string(32, 'z') + "...' is not a number" } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const RegionsParseResult result = parseRegions(c.text, "tessaly.regions", c.maxAddress);
        EXPECT_EQ(result.errors, c.errors);
        EXPECT_TRUE(result.refused());
        EXPECT_TRUE(result.regions.empty()) << "nothing of a refused file is used";
    }
}

TEST(RegionsParser, ManyBadLinesAreCountedAfterTheFirstHundred)
{
    std::string text;
    for (int i = 0; i < 250; ++i)
        text += "bad\n";
    const RegionsParseResult result = parseRegions(text, "r", k24Bit);
    ASSERT_EQ(result.errors.size(), tessaly::kMaxRegionsErrors + 1);
    EXPECT_EQ(result.errors.front(), "r:1: start missing");
    EXPECT_EQ(result.errors[99], "r:100: start missing");
    EXPECT_EQ(result.errors.back(), "r: 150 more bad lines");
}

TEST(RegionsParser, TooLargeATextIsNotARegionsFile)
{
    const std::string text((64 << 20) + 1, '\n');
    const RegionsParseResult result = parseRegions(text, "r", k24Bit);
    EXPECT_EQ(result.errors, std::vector<std::string> { "r: too large for a regions file" });
}

// A folder of its own under the temp directory, removed with everything in it.
class TempFolder {
public:
    TempFolder()
        : m_path(std::filesystem::temp_directory_path()
            / ("tessaly-regions-" + std::to_string(::getpid()) + "-" + std::to_string(++s_count)))
    {
        std::filesystem::create_directories(m_path);
    }
    ~TempFolder() { std::filesystem::remove_all(m_path); }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    std::filesystem::path file(const std::string& name, const std::string& text = "") const
    {
        std::ofstream(m_path / name, std::ios::binary) << text;
        return m_path / name;
    }
    const std::filesystem::path& path() const { return m_path; }

private:
    static inline int s_count = 0;
    std::filesystem::path m_path;
};

TEST(RegionsFile, ReadFromDiskOrRefused)
{
    const TempFolder folder;
    const auto good = folder.file("good.regions", "ROM 0 32K\n");
    const RegionsParseResult read = tessaly::readRegionsFile(good, k24Bit);
    EXPECT_EQ(describe(read), std::vector<std::string> { "ROM 0+8000 -/100 @1" });

    const auto bad = folder.file("bad.regions", "ROM 0\n");
    EXPECT_EQ(
        tessaly::readRegionsFile(bad, k24Bit).errors, std::vector<std::string> { bad.string() + ":1: size missing" });

    for (const std::filesystem::path& unreadable : { folder.path() / "missing.regions", folder.path() }) {
        SCOPED_TRACE(unreadable.string());
        const RegionsParseResult result = tessaly::readRegionsFile(unreadable, k24Bit);
        EXPECT_EQ(result.errors, std::vector<std::string> { unreadable.string() + ": cannot be read" });
        EXPECT_TRUE(result.regions.empty());
    }
}

TEST(RegionsFile, FoundByNameBesideTheFileOrSharedInItsFolder)
{
    struct Case {
        std::vector<std::string> present; // files in the folder besides the absolute file
        std::string absoluteFile;
        std::optional<std::string> named;
        std::optional<std::string> found; // a name in the folder, or a named path as given
    };
    const Case cases[] = {
        { { "prog.regions", "tessaly.regions" }, "prog.abs", "/elsewhere/my.regions", "/elsewhere/my.regions" },
        { { "prog.regions", "tessaly.regions" }, "prog.abs", std::nullopt, "prog.regions" },
        { { "tessaly.regions", "other.regions" }, "prog.abs", std::nullopt, "tessaly.regions" },
        { { "prog.abs.regions" }, "prog.abs", std::nullopt, std::nullopt },
        { { "prog.regions" }, "prog", std::nullopt, "prog.regions" },
        { {}, "prog.abs", std::nullopt, std::nullopt },
        // An absolute file called NAME.regions is not taken for its own regions file.
        { { "tessaly.regions" }, "odd.regions", std::nullopt, "tessaly.regions" },
        { {}, "odd.regions", std::nullopt, std::nullopt },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.absoluteFile + " with " + ::testing::PrintToString(c.present));
        const TempFolder folder;
        for (const std::string& name : c.present)
            folder.file(name, "ROM 0 1\n");
        const auto absolute = folder.file(c.absoluteFile, "\xE0");
        std::optional<std::filesystem::path> named;
        if (c.named)
            named = *c.named;
        const auto found = tessaly::FindRegionsFile(absolute, named);
        if (!c.found) {
            EXPECT_FALSE(found.has_value()) << *found;
        } else {
            ASSERT_TRUE(found.has_value());
            EXPECT_EQ(*found, c.named ? std::filesystem::path(*c.found) : folder.path() / *c.found);
        }
    }
    // A folder called like the regions file is not one.
    const TempFolder folder;
    std::filesystem::create_directory(folder.path() / "prog.regions");
    EXPECT_FALSE(tessaly::FindRegionsFile(folder.file("prog.abs"), std::nullopt).has_value());
}

} // namespace
