// tools_bench.cpp: orvik-dump --tables beside nm -n on an ELF object with the same labels, orvik-dump --diff, and the
// viewer's peak memory.
#include "bench_files.hpp"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using namespace tessaly::bench;

// A directory of the run's own, removed with everything in it when the program ends.
struct RunDirectory {
    std::filesystem::path path
        = std::filesystem::temp_directory_path() / ("tessaly_bench_" + std::to_string(::getpid()));
    RunDirectory() { std::filesystem::create_directories(path); }
    ~RunDirectory()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
};

const std::filesystem::path& runDirectory()
{
    static const RunDirectory directory;
    return directory.path;
}

// The labels of the big program assembled into an ELF object, made once.
const std::string& bigElfObject()
{
    static const std::string object = [] {
        const std::string source = (runDirectory() / "big.s").string();
        const std::string out = (runDirectory() / "big.o").string();
        std::ofstream(source) << tessaly::testing::bigAssemblerSource(bigShape());
        const ChildRun as = runChild({ "as", "-o", out, source });
        std::filesystem::remove(source);
        return WIFEXITED(as.status) && WEXITSTATUS(as.status) == 0 ? out : std::string();
    }();
    return object;
}

// Runs the program once per iteration, timing it by the wall clock.
void timeChild(benchmark::State& state, const std::vector<std::string>& argv, const std::string& input)
{
    ChildRun last;
    for (auto _ : state) {
        last = runChild(argv);
        state.SetIterationTime(last.seconds);
        if (!WIFEXITED(last.status) || WEXITSTATUS(last.status) != 0) {
            state.SkipWithError("the program failed");
            return;
        }
    }
    state.counters["inputMB"] = static_cast<double>(fileSize(input)) / 1e6;
    state.counters["peakRssMB"] = static_cast<double>(last.maxRssKiB) * 1024 / 1e6;
}

void BM_OrvikDumpTables(benchmark::State& state)
{
    const std::string path = bigProgramFile().pathString();
    timeChild(state, { TESSALY_ORVIK_DUMP, "--tables", path }, path);
}
BENCHMARK(BM_OrvikDumpTables)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);

// The big program against its next build, beside --tables of one of them.
void BM_OrvikDumpDiff(benchmark::State& state)
{
    const std::string before = bigProgramFile().pathString();
    const std::string after = bigChangedProgramFile().pathString();
    timeChild(state, { TESSALY_ORVIK_DUMP, "--diff", before, after }, after);
}
BENCHMARK(BM_OrvikDumpDiff)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);

// The baseline: nm listing the same labels sorted by address.
void BM_NmSorted(benchmark::State& state)
{
    const std::string& object = bigElfObject();
    if (object.empty()) {
        state.SkipWithError("as could not assemble the labels");
        return;
    }
    timeChild(state, { "nm", "-n", object }, object);
}
BENCHMARK(BM_NmSorted)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);

// The viewer with the big program open, drawn into a PNG: its peak resident set against the target
// of 3 × the file size + 80 MB.
void BM_ViewerPeakMemory(benchmark::State& state)
{
    const std::string path = bigProgramFile().pathString();
    const std::string png = (runDirectory() / "big.png").string();
    ChildRun last;
    for (auto _ : state) {
        last = runChild({ TESSALY_VIEWER, "--export-png", png, path }, { "QT_QPA_PLATFORM=offscreen" });
        state.SetIterationTime(last.seconds);
        if (!WIFEXITED(last.status) || WEXITSTATUS(last.status) != 0) {
            state.SkipWithError("tessaly --export-png failed");
            return;
        }
    }
    const double fileMB = static_cast<double>(fileSize(path)) / 1e6;
    state.counters["fileMB"] = fileMB;
    state.counters["peakRssMB"] = static_cast<double>(last.maxRssKiB) * 1024 / 1e6;
    state.counters["targetMB"] = 2.5 * fileMB + 80;
}
BENCHMARK(BM_ViewerPeakMemory)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);

} // namespace
