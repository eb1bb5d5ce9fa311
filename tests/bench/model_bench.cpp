// model_bench.cpp: BuildMapTables on the big program, and the memory of tree and tables.
#include "bench_files.hpp"
#include "map_model.hpp"
#include "orvik.h"
#include "viewer_fixture.hpp"

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
    state.counters["tablesMB"] = megabytes(model.SectionTable) + megabytes(model.ModuleSectionTable)
        + megabytes(model.LabelTable) + megabytes(model.EquTable) + megabytes(model.FunctionTable)
        + megabytes(model.SectionFreeAreas) + megabytes(model.ModuleSectionFreeAreas);
}
BENCHMARK(BM_BuildMapTables)->Unit(benchmark::kMillisecond)->MinTime(2.0);

} // namespace
