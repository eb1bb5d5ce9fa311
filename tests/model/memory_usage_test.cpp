// memory_usage_test.cpp: used and free bytes per region, overflows, guessed regions, and the other linker's samples.
#include "map_model.hpp"
#include "memory_regions.hpp"
#include "memory_usage.hpp"
#include "orvik.h"
#include "usage_models.hpp"

#include <cstdio>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using tessaly::MapModel;
using tessaly::MemoryRegion;
using tessaly::MemoryUsage;
using tessaly::testing::regionsOf;
using tessaly::testing::Sec;
using tessaly::testing::SectionsModel;

std::string hex(uint64_t value)
{
    char text[24];
    std::snprintf(text, sizeof text, "%llx", static_cast<unsigned long long>(value));
    return text;
}

const char* sectionName(const MapModel& model, int32_t index)
{
    return model.SectionTable[static_cast<std::size_t>(index)].record->name;
}

// "R used=180 free=e80 9.3% largest=d80@280 crossing=A,B ok" per region.
std::vector<std::string> describeRegions(const MapModel& model, const MemoryUsage& usage)
{
    std::vector<std::string> out;
    for (std::size_t i = 0; i < usage.regions.size(); ++i) {
        const tessaly::RegionUsage& u = usage.usage[i];
        std::string crossing;
        for (const int32_t section : u.crossingSections)
            crossing += (crossing.empty() ? "" : ",") + std::string(sectionName(model, section));
        out.push_back(usage.regions[i].name + " used=" + hex(u.used) + " free=" + hex(u.free) + " "
            + std::to_string(u.usedTenths / 10) + "." + std::to_string(u.usedTenths % 10)
            + "% largest=" + hex(u.largestFreeSize) + "@" + hex(u.largestFreeStart) + " crossing=" + crossing + " "
            + tessaly::RegionStatusName(u.status));
    }
    return out;
}

// "S R" for a section crossing region R, "S -" for a section outside all regions.
std::vector<std::string> describeOverflows(const MapModel& model, const MemoryUsage& usage)
{
    std::vector<std::string> out;
    for (const tessaly::RegionOverflow& o : usage.overflows)
        out.push_back(std::string(sectionName(model, o.section)) + " "
            + (o.region < 0 ? "-" : usage.regions[static_cast<std::size_t>(o.region)].name));
    return out;
}

TEST(MemoryUsage, UsedFreeLargestFreeBlockAndOverflows)
{
    struct Case {
        const char* what;
        const char* cpu;
        std::vector<Sec> sections;
        std::string regions;
        std::vector<std::string> usage;
        std::vector<std::string> overflows;
    };
    const Case cases[] = {
        { "overlapping sections count once", "Carina", { { "A", 0x100, 0x100 }, { "B", 0x180, 0x100 } }, "R 0 0x1000",
            { "R used=180 free=e80 9.3% largest=d80@280 crossing= ok" }, {} },
        { "a section across a region's end", "Carina", { { "S", 0xF00, 0x200 } }, "R 0 0x1000",
            { "R used=100 free=f00 6.2% largest=f00@0 crossing=S fail" }, { "S R", "S -" } },
        { "a region ending at MaxAddress", "Carina", { { "T", 0xFFFF80, 0x80 } }, "TOP 0xFFFF00 0x100",
            { "TOP used=80 free=80 50.0% largest=80@ffff00 crossing= ok" }, {} },
        { "a section beyond the 24-bit space", "Carina", { { "X", 0xFFFFF0, 0x20 } }, "TOP 0xFFFF00 0x100",
            { "TOP used=10 free=f0 6.2% largest=f0@ffff00 crossing=X fail" }, { "X TOP", "X -" } },
        { "zero-size sections take no room and never overflow", "Carina",
            { { "Z1", 0x10, 0 }, { "A", 0x20, 0x10 }, { "Z2", 0x5000, 0 } }, "R 0 0x100",
            { "R used=10 free=f0 6.2% largest=d0@30 crossing= ok" }, {} },
        // E ends at 2^32 exactly (its 32-bit end is 0); W wraps past it.
        { "the 32-bit top", "Grus", { { "E", 0xFFFFFFF0, 0x10 }, { "W", 0xFFFFFFF8, 0x10 } }, "TOP 0xFFFFFF00 0x100",
            { "TOP used=10 free=f0 6.2% largest=f0@ffffff00 crossing=W fail" }, { "W TOP", "W -" } },
        { "the whole 32-bit space", "Grus", { { "A", 0, 0x100 }, { "W", 0xFFFFFFF8, 0x10 } }, "ALL 0 4096M",
            { "ALL used=108 free=fffffef8 0.0% largest=fffffef8@100 crossing=W fail" }, { "W ALL", "W -" } },
        { "warn and fail are passed only above the percentage", "Carina",
            { { "S1", 0, 0x80 }, { "S2", 0x100, 0x81 }, { "S3", 0x200, 0x80 } },
            "A 0 0x100 50\nB 0x100 0x100 50 60\nC 0x200 0x100 40 49\n",
            { "A used=80 free=80 50.0% largest=80@80 crossing= ok",
                "B used=81 free=7f 50.3% largest=7f@181 crossing= warn",
                "C used=80 free=80 50.0% largest=80@280 crossing= fail" },
            {} },
        { "of equal free blocks the lowest", "Carina", { { "S", 0x100, 0x100 } }, "R 0 0x300",
            { "R used=100 free=200 33.3% largest=100@0 crossing= ok" }, {} },
        { "a full region has no free block", "Carina", { { "S", 0, 0x100 } }, "R 0 0x100",
            { "R used=100 free=0 100.0% largest=0@0 crossing= ok" }, {} },
        { "a section across two regions and the gap between them", "Carina", { { "S", 0x80, 0x200 } },
            "A 0 0x100\nB 0x200 0x100",
            { "A used=80 free=80 50.0% largest=80@0 crossing=S fail",
                "B used=80 free=80 50.0% largest=80@280 crossing=S fail" },
            { "S A", "S B", "S -" } },
        { "a section across two touching regions", "Carina", { { "S", 0x80, 0x100 } }, "B 0x100 0x100\nA 0 0x100",
            { "B used=80 free=80 50.0% largest=80@180 crossing=S fail",
                "A used=80 free=80 50.0% largest=80@0 crossing=S fail" },
            { "S A", "S B" } },
        { "sections outside every region", "Carina", { { "S", 0, 0x10 }, { "T", 0x2000, 0x10 } }, "R 0x1000 0x100",
            { "R used=0 free=100 0.0% largest=100@1000 crossing= ok" }, { "S -", "T -" } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const SectionsModel built(c.cpu, c.sections);
        const MapModel& model = built.model;
        const MemoryUsage usage = tessaly::ComputeMemoryUsage(model, regionsOf(c.regions, model.MaxAddress));
        EXPECT_EQ(describeRegions(model, usage), c.usage);
        EXPECT_EQ(describeOverflows(model, usage), c.overflows);
        const bool anyFail = std::any_of(usage.usage.begin(), usage.usage.end(),
            [](const auto& u) { return u.status == tessaly::RegionStatus::Fail; });
        EXPECT_EQ(usage.overBudget(), anyFail || !c.overflows.empty());
    }
}

TEST(MemoryUsage, GuessedRegionsFollowTheRunsOfSections)
{
    struct Case {
        const char* what;
        const char* cpu;
        std::vector<Sec> sections;
        std::vector<std::string> runs; // "name start+size"
    };
    const Case cases[] = {
        { "no sections, no regions", "Carina", {}, {} },
        // 1/16 of the 24-bit space is 0x100000: a gap of exactly that keeps the run.
        { "a gap of 1/16 of the space joins", "Carina", { { "A", 0, 0x100 }, { "B", 0x100100, 0x100 } },
            { "run 1 0+100200" } },
        { "a larger gap splits", "Carina", { { "A", 0, 0x100 }, { "B", 0x100101, 0x100 } },
            { "run 1 0+100", "run 2 100101+100" } },
        { "overlaps and zero sizes", "Carina",
            { { "Z", 0x800000, 0 }, { "A", 0x1000, 0x100 }, { "B", 0x1080, 0x100 }, { "C", 0x1100, 0x10 } },
            { "run 1 1000+180" } },
        { "cut at MaxAddress", "Carina", { { "A", 0xFFFF00, 0x200 } }, { "run 1 ffff00+100" } },
        { "beyond the 20-bit space", "Alcor", { { "A", 0x100, 0x10 }, { "X", 0x100000, 0x10 } }, { "run 1 100+10" } },
        { "the 32-bit top", "Grus", { { "A", 0xE0000000, 0x10 }, { "W", 0xFFFFFFF8, 0x10 } },
            { "run 1 e0000000+10", "run 2 fffffff8+8" } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const SectionsModel built(c.cpu, c.sections);
        const MapModel& model = built.model;
        const std::vector<MemoryRegion> runs = tessaly::GuessMemoryRegions(model);
        std::vector<std::string> described;
        for (const MemoryRegion& run : runs) {
            described.push_back(run.name + " " + hex(run.start) + "+" + hex(run.size));
            EXPECT_TRUE(run.guessed);
            EXPECT_FALSE(run.warnPercent.has_value());
            EXPECT_EQ(run.failPercent, 100u);
        }
        EXPECT_EQ(described, c.runs);
        // Every section of the space lies in a guessed region.
        const MemoryUsage usage = tessaly::ComputeMemoryUsage(model, runs);
        for (const tessaly::RegionOverflow& o : usage.overflows)
            EXPECT_GT(uint64_t { model.SectionTable[static_cast<std::size_t>(o.section)].record->start }
                    + model.SectionTable[static_cast<std::size_t>(o.section)].record->size,
                uint64_t { model.MaxAddress } + 1);
    }
}

// ---- the other linker's samples, against the figures of their maps -----------------------------

// From each map's space allocation table (EDATA E:0100, RDATA R:E0 size 10h, ROM C:0000), and
// how far the file itself records EDATA.
struct Sample {
    const char* file;
    uint32_t romSize;
    uint32_t edataSize;
    uint32_t edataRecorded;
};
constexpr Sample kSamples[] = {
    { "zds_Arkanoid.lod", 0x3bb2, 0x68c, 0x63 },
    { "zds_Ex2.lod", 0x2b5d, 0x684, 0x63 },
    { "zds_HelloWorld_head.lod", 0x6cd4, 0x88a, 0x47 },
    { "zds_HelloWorld_v1.lod", 0x162e, 0x37, 0x27 },
};

class SampleUsage : public ::testing::Test {
protected:
    // Reads the sample tolerantly into model; false (and the test skipped) without the folder.
    bool read(const Sample& sample)
    {
        const std::string path = std::string(TESSALY_SAMPLES_DIR) + "/" + sample.file;
        if (!std::filesystem::exists(path))
            return false;
        EXPECT_EQ(IE_readIEEE(path.c_str(), IE_READ_VIEWER | IE_READ_TOLERANT), 0);
        tessaly::DetectCpuFamily(model);
        return true;
    }
    void TearDown() override { IE_freeIEEE(); }

    MapModel model;
};

std::string hexText(uint32_t value)
{
    return "0x" + hex(value);
}

TEST_F(SampleUsage, TheSpaceTableOverlapsInTheFilesSingleAddressRange)
{
    for (const Sample& sample : kSamples) {
        SCOPED_TRACE(sample.file);
        if (!read(sample))
            GTEST_SKIP() << "the other linker's samples are not beside this checkout: " << TESSALY_SAMPLES_DIR;
        // The target keeps code (C:), register (R:) and data (E:) spaces apart; the file's
        // addresses put all three in one range, where ROM's addresses take in the other two.
        const std::string spaces = "EDATA 0x0100 " + hexText(sample.edataSize) + "\nRDATA 0xE0 0x10\nROM 0x0000 "
            + hexText(sample.romSize) + "\n";
        EXPECT_EQ(tessaly::parseRegions(spaces, "zds.regions", model.MaxAddress).errors,
            std::vector<std::string> { "zds.regions:3: region ROM overlaps RDATA" });

        // ROM alone: its used bytes are the map's ROM size, the data sections inside its
        // addresses counted once; nothing overflows. The guessed region is the same.
        const MemoryUsage usage
            = tessaly::ComputeMemoryUsage(model, regionsOf("ROM 0 " + hexText(sample.romSize), model.MaxAddress));
        EXPECT_EQ(usage.usage[0].used, sample.romSize);
        EXPECT_EQ(usage.usage[0].free, 0u);
        EXPECT_FALSE(usage.overBudget());
        const MemoryUsage guessed = tessaly::ComputeMemoryUsage(model, tessaly::GuessMemoryRegions(model));
        ASSERT_EQ(guessed.regions.size(), 1u);
        EXPECT_EQ(guessed.regions[0].start, 0u);
        EXPECT_EQ(guessed.regions[0].size, sample.romSize);
        EXPECT_EQ(guessed.usage[0].used, sample.romSize);
    }
}

TEST_F(SampleUsage, EachSpaceWithItsOwnSectionAgainstTheMap)
{
    for (const Sample& sample : kSamples) {
        SCOPED_TRACE(sample.file);
        if (!read(sample))
            GTEST_SKIP() << "the other linker's samples are not beside this checkout: " << TESSALY_SAMPLES_DIR;
        struct Space {
            const char* name;
            std::string region;
            uint32_t used;
        };
        // ROM and RDATA use what the map says. EDATA uses less: the map's top takes in the C
        // modules' data segments (FAR_DATA), which the file does not record, so the file's EDATA
        // reaches only as far as the module sections it describes.
        const Space spaces[] = {
            { "ROM", "ROM 0 " + hexText(sample.romSize), sample.romSize },
            { "RDATA", "RDATA 0xE0 0x10", 0x10 },
            { "EDATA", "EDATA 0x100 " + hexText(sample.edataSize), sample.edataRecorded },
        };
        for (const Space& space : spaces) {
            SCOPED_TRACE(space.name);
            // A model of that space alone: its own section, as the target keeps it.
            MapModel spaceModel;
            spaceModel.MaxAddress = model.MaxAddress;
            for (const tessaly::SectionEntry& entry : model.SectionTable)
                if (!model.isFreeArea(entry) && std::string(entry.record->name) == space.name)
                    spaceModel.SectionTable.push_back(entry);
            ASSERT_EQ(spaceModel.SectionTable.size(), 1u);
            const MemoryUsage usage
                = tessaly::ComputeMemoryUsage(spaceModel, regionsOf(space.region, model.MaxAddress));
            EXPECT_EQ(usage.usage[0].used, space.used);
            EXPECT_TRUE(usage.overflows.empty());
        }
    }
}

} // namespace
