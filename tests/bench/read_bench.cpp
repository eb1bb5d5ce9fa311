// read_bench.cpp: IE_readIEEE on the big program in both formats, each beside a plain buffered read of the same bytes.
#include "bench_files.hpp"
#include "orvik.h"
#include "viewer_fixture.hpp"

#include <benchmark/benchmark.h>
#include <chrono>

namespace {

using namespace tessaly::bench;

// Reads the file with the reader; counters give the plain read of the same bytes and the ratio.
void readWithOrvik(benchmark::State& state, const std::string& path)
{
    treeReplaced();
    double total = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const int code = IE_readIEEE(path.c_str(), IE_READ_VIEWER);
        total += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (code != 0) {
            state.SkipWithError(IE_readError(code));
            return;
        }
        benchmark::DoNotOptimize(IE_getRoot()->symbols);
    }
    const double bytes = static_cast<double>(fileSize(path));
    const double plain = fastestSeconds(5, [&] { benchmark::DoNotOptimize(plainBufferedRead(path)); });
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes));
    state.counters["fileMB"] = bytes / 1e6;
    state.counters["plainMs"] = plain * 1e3;
    state.counters["xPlain"] = total / static_cast<double>(state.iterations()) / plain;
}

void BM_ReadIeee695(benchmark::State& state)
{
    readWithOrvik(state, bigProgramFile().pathString());
}
BENCHMARK(BM_ReadIeee695)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();

// The baseline: every byte of the same file through a 64 KiB buffered read.
void BM_PlainBufferedRead(benchmark::State& state)
{
    const std::string path = state.range(0) ? bigFramedFile().pathString() : bigProgramFile().pathString();
    for (auto _ : state)
        benchmark::DoNotOptimize(plainBufferedRead(path));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(fileSize(path)));
    state.SetLabel(state.range(0) ? "framed bytes" : "IEEE-695 bytes");
}
BENCHMARK(BM_PlainBufferedRead)->Arg(0)->Unit(benchmark::kMillisecond)->MinTime(1.0)->UseRealTime();

void BM_ReadFramed(benchmark::State& state)
{
    readWithOrvik(state, bigFramedFile().pathString());
}
BENCHMARK(BM_ReadFramed)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();
BENCHMARK(BM_PlainBufferedRead)->Arg(1)->Unit(benchmark::kMillisecond)->MinTime(1.0)->UseRealTime();

} // namespace
