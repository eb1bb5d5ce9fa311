// region_panel_plan_test.cpp: the memory-usage panel's rows: bar runs and their colours, texts, page range, first
// section.
#include "memory_regions.hpp"
#include "memory_usage.hpp"
#include "region_panel_plan.hpp"
#include "section_tag.hpp"
#include "usage_models.hpp"

#include <cstdio>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <vector>

namespace {

using tessaly::MapModel;
using tessaly::MemoryRegion;
using tessaly::testing::regionsOf;
using tessaly::testing::Sec;
using tessaly::testing::SectionsModel;

// "0-64 00ffff" per run.
std::vector<std::string> describeRuns(const tessaly::RegionPanelRow& row)
{
    std::vector<std::string> out;
    for (const tessaly::RegionBarRun& run : row.runs) {
        char text[40];
        std::snprintf(
            text, sizeof text, "%d-%d %02x%02x%02x", run.left, run.right, run.colour.r, run.colour.g, run.colour.b);
        out.push_back(text);
    }
    return out;
}

constexpr int32_t kCode = tessaly::kSectionTypeCode;
constexpr int32_t kData = tessaly::kSectionTypeData;

TEST(RegionPanelPlan, BarRunsTakeTheKindColoursInAddressOrder)
{
    struct Case {
        const char* what;
        const char* cpu;
        std::vector<Sec> sections;
        std::string regions;
        int32_t barWidth;
        std::vector<std::string> runs;
    };
    const Case cases[] = {
        { "a pixel a byte: code, data, and a blank-tag section one byte long", "Carina",
            { { "C", 0, 0x40, kCode }, { "D", 0x40, 0x40, kData }, { "O", 0xC0, 1 } }, "R 0 0x100", 256,
            { "0-64 00ffff", "64-128 ffff00", "192-193 ffffff" } },
        { "touching sections of one kind make one run", "Carina",
            { { "A", 0, 0x10, kCode }, { "B", 0x10, 0x10, kCode } }, "R 0 0x100", 256, { "0-32 00ffff" } },
        { "a shared pixel keeps the lower section's colour", "Carina",
            { { "A", 0, 1, kCode }, { "B", 1, 1, kData }, { "E", 0x80, 0x80, kData } }, "R 0 0x100", 10,
            { "0-1 00ffff", "5-10 ffff00" } },
        { "a section across the region's end is cut at it", "Carina", { { "S", 0xF0, 0x20, kCode } }, "R 0 0x100", 256,
            { "240-256 00ffff" } },
        { "a section starting below the region is cut at its start", "Carina", { { "S", 0x80, 0x100, kData } },
            "R 0x100 0x100", 256, { "0-128 ffff00" } },
        { "the 32-bit top", "Grus", { { "E", 0xFFFFFFF0, 0x10, kCode } }, "TOP 0xFFFFFF00 0x100", 256,
            { "240-256 00ffff" } },
        { "the whole 32-bit space: a small section still gets a pixel", "Grus", { { "A", 0x100, 0x100, kCode } },
            "ALL 0 4096M", 1000, { "0-1 00ffff" } },
        { "zero-size sections and sections outside take no room", "Carina",
            { { "Z", 0x10, 0, kCode }, { "X", 0x200, 0x10, kCode } }, "R 0 0x100", 256, {} },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const SectionsModel built(c.cpu, c.sections);
        const tessaly::MemoryUsage usage
            = tessaly::ComputeMemoryUsage(built.model, regionsOf(c.regions, built.model.MaxAddress));
        const tessaly::RegionPanelPlan plan = tessaly::BuildRegionPanelPlan(built.model, usage, c.barWidth);
        ASSERT_EQ(plan.rows.size(), 1u);
        EXPECT_EQ(describeRuns(plan.rows[0]), c.runs);
        EXPECT_FALSE(plan.guessed);
    }
}

TEST(RegionPanelPlan, TitlesFiguresAndStatus)
{
    const SectionsModel built("Carina",
        { { "A", 0, 0x80, kCode }, { "B", 0x100, 0xF0, kData }, { "X", 0x1F8, 0x10, kData }, { "F", 0x300, 0x100 } });
    const tessaly::MemoryUsage usage = tessaly::ComputeMemoryUsage(
        built.model, regionsOf("LOW 0 0x100 40 60\nMID 0x100 0x100 90\nHIGH 0x300 0x100", built.model.MaxAddress));
    const tessaly::RegionPanelPlan plan = tessaly::BuildRegionPanelPlan(built.model, usage, 100);
    struct Row {
        std::string title;
        std::string figures;
        tessaly::RegionStatus status;
    };
    const Row rows[] = {
        { "LOW 000000-0000ff", "used 000080/000100 50.0%  free 000080  largest 000080@000080",
            tessaly::RegionStatus::Warn },
        { "MID 000100-0001ff", "used 0000f8/000100 96.8%  free 000008  largest 000008@0001f0  1 across its bounds",
            tessaly::RegionStatus::Fail },
        { "HIGH 000300-0003ff", "used 000100/000100 100.0%  free 000000", tessaly::RegionStatus::Ok },
    };
    ASSERT_EQ(plan.rows.size(), std::size(rows));
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        SCOPED_TRACE(rows[i].title);
        EXPECT_EQ(plan.rows[i].title, rows[i].title);
        EXPECT_EQ(plan.rows[i].figures, rows[i].figures);
        EXPECT_EQ(plan.rows[i].status, rows[i].status);
    }

    const tessaly::RegionPanelPlan guessed = tessaly::BuildRegionPanelPlan(
        built.model, tessaly::ComputeMemoryUsage(built.model, tessaly::GuessMemoryRegions(built.model)), 100);
    ASSERT_EQ(guessed.rows.size(), 1u);
    EXPECT_TRUE(guessed.guessed);
    EXPECT_EQ(guessed.rows[0].title, "run 1 000000-0003ff (guessed)");
}

TEST(RegionPanelPlan, AClickShowsTheRegionsPagesAndItsFirstSection)
{
    const SectionsModel built(
        "Grus", { { "A", 0x80, 0x100 }, { "Z", 0x190, 0 }, { "B", 0x200, 0x10 }, { "T", 0xFFFFFFF0, 0x10 } });
    struct Case {
        std::string region;
        uint32_t rangeStart;
        uint32_t rangeEnd;
        std::optional<uint32_t> first;
    };
    const Case cases[] = {
        { "R 0x123 0x10", 0x100, 0x1FF, 0x80 }, // A reaches in from below
        { "R 0x190 0x100", 0x100, 0x2FF, 0x200 }, // Z has no size
        { "R 0x300 0x100", 0x300, 0x3FF, std::nullopt },
        { "R 0xFFFFFF00 0x100", 0xFFFFFF00, 0xFFFFFFFF, 0xFFFFFFF0 },
        { "R 0 4096M", 0, 0xFFFFFFFF, 0x80 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.region);
        const MemoryRegion region = regionsOf(c.region, built.model.MaxAddress).at(0);
        const tessaly::PageRange range = tessaly::RegionPageRange(region);
        EXPECT_EQ(range.start, c.rangeStart);
        EXPECT_EQ(range.end, c.rangeEnd);
        EXPECT_EQ(tessaly::FirstSectionIn(built.model, region), c.first);
    }
}

} // namespace
