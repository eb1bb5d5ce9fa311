// model_bench.cpp: BuildMapTables on the big program, the memory of tree and tables, and opening a baseline to
// compare with.
#include "bench_files.hpp"
#include "build_compare.hpp"
#include "build_snapshot.hpp"
#include "map_model.hpp"
#include "orvik.h"
#include "viewer_fixture.hpp"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <malloc.h>

namespace {

template <typename T> double megabytes(const std::vector<T>& table)
{
    return static_cast<double>(table.capacity() * sizeof(T)) / 1e6;
}

double heapMegabytes()
{
    return static_cast<double>(mallinfo2().uordblks) / 1e6;
}

// Heap in use including the blocks malloc maps on their own (every big vector).
double heapWithMappedMegabytes()
{
    const struct mallinfo2 info = mallinfo2();
    return static_cast<double>(info.uordblks + info.hblkhd) / 1e6;
}

double tablesMegabytes(const tessaly::MapModel& model)
{
    return megabytes(model.SectionTable) + megabytes(model.ModuleSectionTable) + megabytes(model.LabelTable)
        + megabytes(model.EquTable) + megabytes(model.FunctionTable) + megabytes(model.SectionFreeAreas)
        + megabytes(model.ModuleSectionFreeAreas);
}

void BM_BuildMapTables(benchmark::State& state)
{
    const std::string path = tessaly::bench::bigProgramFile().pathString();
    treeReplaced();
    IE_freeIEEE();
    const double heapBefore = heapMegabytes();
    if (IE_readIEEE(path.c_str(), IE_READ_VIEWER) != 0) {
        state.SkipWithError("the big program did not read");
        return;
    }
    const double treeMB = heapMegabytes() - heapBefore;
    tessaly::MapModel model;
    for (auto _ : state) {
        tessaly::DetectCpuFamily(model);
        benchmark::DoNotOptimize(model.LabelTable.data());
    }
    state.counters["labels"] = static_cast<double>(model.LabelTable.size());
    state.counters["treeMB"] = treeMB;
    state.counters["tablesMB"] = tablesMegabytes(model);
}
BENCHMARK(BM_BuildMapTables)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// Compare With: the baseline is read, copied into a snapshot and its tree freed. The snapshot's
// heap is set against the map tables of the same program.
void BM_OpenBaseline(benchmark::State& state)
{
    const std::string path = tessaly::bench::bigProgramFile().pathString();
    treeReplaced();
    IE_freeIEEE();
    tessaly::BuildSnapshot snapshot;
    double snapshotMB = 0;
    for (auto _ : state) {
        const double heapBefore = heapWithMappedMegabytes();
        if (tessaly::ReadBuildSnapshot(path, IE_READ_VIEWER, snapshot) != 0) {
            state.SkipWithError("the big program did not read");
            return;
        }
        snapshotMB = heapWithMappedMegabytes() - heapBefore;
        state.PauseTiming();
        snapshot = {};
        state.ResumeTiming();
    }
    if (IE_readIEEE(path.c_str(), IE_READ_VIEWER) != 0)
        return;
    tessaly::MapModel model;
    tessaly::DetectCpuFamily(model);
    state.counters["snapshotMB"] = snapshotMB;
    state.counters["tablesMB"] = tablesMegabytes(model);
}
BENCHMARK(BM_OpenBaseline)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();

// Then the shown file's tables get their changes: the next build against the baseline.
void BM_CompareWithTables(benchmark::State& state)
{
    treeReplaced();
    tessaly::BuildSnapshot baseline;
    if (tessaly::ReadBuildSnapshot(tessaly::bench::bigProgramFile().pathString(), IE_READ_VIEWER, baseline) != 0
        || IE_readIEEE(tessaly::bench::bigChangedProgramFile().pathString().c_str(), IE_READ_VIEWER) != 0) {
        state.SkipWithError("the big programs did not read");
        return;
    }
    tessaly::MapModel model;
    tessaly::DetectCpuFamily(model);
    std::size_t moved = 0;
    for (auto _ : state) {
        const tessaly::TableChanges changes = tessaly::CompareWithTables(baseline, model, IE_getRoot());
        moved = static_cast<std::size_t>(std::count_if(changes.labels.begin(), changes.labels.end(),
            [](const tessaly::EntryChange& c) { return c.change == tessaly::Change::Moved; }));
    }
    state.counters["movedLabels"] = static_cast<double>(moved);
}
BENCHMARK(BM_CompareWithTables)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();

} // namespace
