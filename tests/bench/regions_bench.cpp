// regions_bench.cpp: parsing a 10 MB regions file, good and bad, and the usage of its regions by the big program.
#include "bench_files.hpp"
#include "map_model.hpp"
#include "memory_regions.hpp"
#include "memory_usage.hpp"
#include "orvik.h"
#include "viewer_fixture.hpp"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr std::size_t kRegionsBytes = 10'000'000;
constexpr uint32_t kRegionSize = 0x100;

// Regions of 256 bytes laid end to end from 0, written from the highest address down, so that
// the overlap check has to sort them.
const std::string& goodRegionsText()
{
    static const std::string text = [] {
        const std::size_t count = kRegionsBytes / std::strlen("R0000000 0x00000000 0x100 80 95\n");
        std::string out;
        char line[64];
        for (std::size_t i = count; i-- > 0;) {
            std::snprintf(line, sizeof line, "R%07zu 0x%08zx 0x%x 80 95\n", i, i * kRegionSize, kRegionSize);
            out += line;
        }
        return out;
    }();
    return text;
}

// Every line refused: only the first hundred messages are kept.
const std::string& badRegionsText()
{
    static const std::string text = [] {
        std::string out;
        while (out.size() < kRegionsBytes)
            out += "R@M 0x100 32K\n";
        return out;
    }();
    return text;
}

// Every line a region the pair checks refuse: the same name and the same start as the first
// one, so each line costs a message after both sorts.
const std::string& clashingRegionsText()
{
    static const std::string text = [] {
        std::string out;
        while (out.size() < kRegionsBytes)
            out += "R 0x0 0x100\n";
        return out;
    }();
    return text;
}

void parse(benchmark::State& state, const std::string& text, bool refused)
{
    for (auto _ : state) {
        const tessaly::RegionsParseResult result = tessaly::parseRegions(text, "big.regions", 0xFFFFFFFF);
        if (result.refused() != refused) {
            state.SkipWithError(refused ? "the bad file was taken" : result.errors.front().c_str());
            return;
        }
        benchmark::DoNotOptimize(result.regions.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}

void BM_ParseRegions(benchmark::State& state)
{
    switch (state.range(0)) {
    case 0:
        parse(state, goodRegionsText(), false);
        state.SetLabel("10 MB of regions, in descending order");
        break;
    case 1:
        parse(state, badRegionsText(), true);
        state.SetLabel("10 MB, every line bad");
        break;
    default:
        parse(state, clashingRegionsText(), true);
        state.SetLabel("10 MB, every line a duplicate and an overlap");
        break;
    }
}
BENCHMARK(BM_ParseRegions)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The big program's 5,000 sections of 0x800 bytes over the regions of the good file: every
// section crosses eight regions.
void BM_MemoryUsage(benchmark::State& state)
{
    const std::string path = tessaly::bench::bigProgramFile().pathString();
    treeReplaced();
    if (IE_readIEEE(path.c_str(), IE_READ_VIEWER) != 0) {
        state.SkipWithError("the big program did not read");
        return;
    }
    tessaly::MapModel model;
    tessaly::DetectCpuFamily(model);
    const std::vector<tessaly::MemoryRegion> regions
        = tessaly::parseRegions(goodRegionsText(), "big.regions", model.MaxAddress).regions;
    std::size_t overflows = 0;
    for (auto _ : state) {
        const tessaly::MemoryUsage usage = tessaly::ComputeMemoryUsage(model, regions);
        overflows = usage.overflows.size();
        benchmark::DoNotOptimize(usage.usage.data());
    }
    state.counters["regions"] = static_cast<double>(regions.size());
    state.counters["sections"] = static_cast<double>(model.SectionCount);
    state.counters["overflows"] = static_cast<double>(overflows);
}
BENCHMARK(BM_MemoryUsage)->Unit(benchmark::kMillisecond)->MinTime(2.0);

} // namespace
