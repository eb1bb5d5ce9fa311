// read_bench.cpp: IE_readIEEE on a big program against a plain buffered read of the same bytes.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <vector>

#include "bench_files.hpp"
#include "orvik.h"

namespace {

using tessaly::bench::bigProgramFile;

std::size_t fileSize(const std::string& path)
{
    std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "rb"), std::fclose);
    std::fseek(file.get(), 0, SEEK_END);
    return static_cast<std::size_t>(std::ftell(file.get()));
}

void BM_ReadIeee695(benchmark::State& state)
{
    const std::string path = bigProgramFile().pathString();
    for (auto _ : state) {
        const int code = IE_readIEEE(path.c_str(), 0x89F);
        if (code != 0)
            state.SkipWithError(IE_readError(code));
        benchmark::DoNotOptimize(IE_getRoot()->symbols);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * fileSize(path)));
    state.counters["fileMB"] = static_cast<double>(fileSize(path)) / 1e6;
}
BENCHMARK(BM_ReadIeee695)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The baseline: every byte of the same file through a 64 KiB buffered read.
void BM_PlainBufferedRead(benchmark::State& state)
{
    const std::string path = bigProgramFile().pathString();
    std::vector<unsigned char> buffer(1 << 16);
    for (auto _ : state) {
        std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "rb"), std::fclose);
        unsigned sum = 0;
        std::size_t n;
        while ((n = std::fread(buffer.data(), 1, buffer.size(), file.get())) > 0)
            for (std::size_t i = 0; i < n; ++i)
                sum += buffer[i];
        benchmark::DoNotOptimize(sum);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * fileSize(path)));
}
BENCHMARK(BM_PlainBufferedRead)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace
