// bench_main.cpp: the benchmark program's main, with an offscreen QApplication, ending with a table of targets.
#include "bench_files.hpp"

#include <QApplication>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <map>
#include <optional>
#include <string>
#include <tuple>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

struct Result {
    double ms = 0;
    std::map<std::string, double> counters;
};

// The console table as usual, while keeping each benchmark's real time (the median when
// repeated) and counters for the summary.
class CollectingReporter : public benchmark::ConsoleReporter {
public:
    // Colours only on a terminal, so that logs of `make bench` stay plain text.
    CollectingReporter()
        : ConsoleReporter(::isatty(STDOUT_FILENO) ? OO_Color : OO_None)
    {
    }

    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.error_occurred)
                continue;
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            if (run.run_type == Run::RT_Aggregate && !median)
                continue;
            Result& result = m_results[run.run_name.str()];
            result.ms = run.GetAdjustedRealTime() * toMs(run.time_unit);
            for (const auto& [name, counter] : run.counters)
                result.counters[name] = counter.value;
        }
    }

    // The result of the benchmark named key, or whose name continues key with '/'.
    const Result* find(const std::string& key) const
    {
        for (const auto& [name, result] : m_results)
            if (name == key || name.rfind(key + "/", 0) == 0)
                return &result;
        return nullptr;
    }

private:
    static double toMs(benchmark::TimeUnit unit)
    {
        switch (unit) {
        case benchmark::kNanosecond:
            return 1e-6;
        case benchmark::kMicrosecond:
            return 1e-3;
        case benchmark::kMillisecond:
            return 1;
        case benchmark::kSecond:
            return 1e3;
        }
        return 1;
    }

    std::map<std::string, Result> m_results;
};

std::optional<double> counter(const Result* r, const char* name)
{
    if (!r)
        return std::nullopt;
    const auto found = r->counters.find(name);
    return found == r->counters.end() ? std::nullopt : std::optional<double>(found->second);
}

// One row: the measure, its value, the baseline beside it and their ratio, and the target.
void row(const char* what, std::optional<double> value, const char* unit, const char* baselineName,
    std::optional<double> baseline, const char* target, std::optional<bool> met)
{
    char valueText[32] = "-";
    char baseText[32] = "-";
    char ratioText[32] = "-";
    if (value)
        std::snprintf(valueText, sizeof valueText, "%.3g %s", *value, unit);
    if (baseline)
        std::snprintf(baseText, sizeof baseText, "%.3g %s", *baseline, unit);
    if (value && baseline && *baseline > 0)
        std::snprintf(ratioText, sizeof ratioText, "%.2f", *value / *baseline);
    std::printf("%-34s %12s  %-26s %12s %7s  %-28s %s\n", what, valueText, baselineName, baseText, ratioText, target,
        !met       ? ""
            : *met ? "met"
                   : "MISSED");
}

void printSummary(const CollectingReporter& rep)
{
    auto ms = [&](const char* key) -> std::optional<double> {
        const Result* r = rep.find(key);
        return r ? std::optional<double>(r->ms) : std::nullopt;
    };
    auto le = [](std::optional<double> v, double limit) -> std::optional<bool> {
        return v ? std::optional<bool>(*v <= limit) : std::nullopt;
    };
    auto both = [](std::optional<bool> a, std::optional<bool> b) -> std::optional<bool> {
        return a && b ? std::optional<bool>(*a && *b) : std::nullopt;
    };
    auto ratio = [](std::optional<double> a, std::optional<double> b) -> std::optional<double> {
        return a && b && *b > 0 ? std::optional<double>(*a / *b) : std::nullopt;
    };

    std::printf("\n%-34s %12s  %-26s %12s %7s  %-28s %s\n", "Measure", "Value", "Baseline", "", "Ratio", "Target", "");
    for (const auto& [key, label, plain] : { std::tuple { "BM_ReadIeee695", "read IEEE-695", "BM_PlainBufferedRead/0" },
             std::tuple { "BM_ReadFramed", "read framed", "BM_PlainBufferedRead/1" } }) {
        const std::optional<double> t = ms(key), p = ms(plain), mb = counter(rep.find(key), "fileMB");
        const std::optional<double> rate = t && mb ? std::optional<double>(*mb / (*t / 1e3)) : std::nullopt;
        row((std::string(label) + " (time)").c_str(), t, "ms", "plain buffered read", p, "<= 3x plain",
            le(ratio(t, p), 3.0));
        row((std::string(label) + " (rate)").c_str(), rate, "MB/s", "", std::nullopt, ">= 200 MB/s",
            rate ? std::optional<bool>(*rate >= 200) : std::nullopt);
    }
    for (const auto& [key, label] : { std::pair { "BM_OpenToFirstPaint/0", "open to first paint, IEEE-695" },
             std::pair { "BM_OpenToFirstPaint/1", "open to first paint, framed" } })
        row(label, ms(key), "ms", "plain buffered read", counter(rep.find(key), "plainReadMs"), "<= 1000 ms",
            le(ms(key), 1000));
    const std::optional<double> rightTop = ms("BM_RightPanePaint/0"), leftTop = ms("BM_LeftPanePaint/0");
    row("right pane paint, top", rightTop, "ms", "", std::nullopt, "<= 5 ms", le(rightTop, 5));
    row("right pane paint, middle", ms("BM_RightPanePaint/1"), "ms", "right pane paint, top", rightTop,
        "<= 5 ms, <= 1.2x top",
        both(le(ms("BM_RightPanePaint/1"), 5), le(ratio(ms("BM_RightPanePaint/1"), rightTop), 1.2)));
    row("right pane paint, bottom", ms("BM_RightPanePaint/2"), "ms", "right pane paint, top", rightTop,
        "<= 5 ms, <= 1.2x top",
        both(le(ms("BM_RightPanePaint/2"), 5), le(ratio(ms("BM_RightPanePaint/2"), rightTop), 1.2)));
    row("right pane page down + paint", ms("BM_RightPanePageDown"), "ms", "right pane paint, top", rightTop, "<= 5 ms",
        le(ms("BM_RightPanePageDown"), 5));
    row("left pane paint, top", leftTop, "ms", "", std::nullopt, "<= 5 ms", le(leftTop, 5));
    row("left pane paint, bottom", ms("BM_LeftPanePaint/1"), "ms", "left pane paint, top", leftTop,
        "<= 5 ms, <= 1.2x top",
        both(le(ms("BM_LeftPanePaint/1"), 5), le(ratio(ms("BM_LeftPanePaint/1"), leftTop), 1.2)));
    const std::optional<double> findPlain = ms("BM_FindNextToEnd/0"), findWild = ms("BM_FindNextToEnd/1");
    row("Find Next to the end, plain", findPlain, "ms", "", std::nullopt, "<= 100 ms", le(findPlain, 100));
    row("Find Next to the end, wild card", findWild, "ms", "Find Next, plain", findPlain, "<= 100 ms",
        le(findWild, 100));
    const std::optional<double> dump = ms("BM_OrvikDumpTables"), nm = ms("BM_NmSorted");
    row("orvik-dump --tables", dump, "ms", "nm -n (ELF, same labels)", nm, "<= 1.0x nm -n", le(ratio(dump, nm), 1.0));
    const std::optional<double> diff = ms("BM_OrvikDumpDiff");
    row("orvik-dump --diff (1M labels)", diff, "ms", "orvik-dump --tables", dump, "<= 1.5x --tables",
        le(ratio(diff, dump), 1.5));
    const Result* baseline = rep.find("BM_OpenBaseline");
    row("open baseline (read + snapshot)", ms("BM_OpenBaseline"), "ms", "", std::nullopt, "<= 1000 ms",
        le(ms("BM_OpenBaseline"), 1000));
    const std::optional<double> snapshotMB = counter(baseline, "snapshotMB"), tablesMB = counter(baseline, "tablesMB");
    row("baseline snapshot memory", snapshotMB, "MB", "map tables", tablesMB, "< 2x map tables",
        snapshotMB && tablesMB ? std::optional<bool>(*snapshotMB < 2 * *tablesMB) : std::nullopt);
    row("changes over the shown tables", ms("BM_CompareWithTables"), "ms", "", std::nullopt, "(part of compare)",
        std::nullopt);
    row("Compare With in the viewer, to first paint", ms("BM_ViewerOpenBaseline"), "ms", "", std::nullopt, "<= 1000 ms",
        le(ms("BM_ViewerOpenBaseline"), 1000));
    const Result* peak = rep.find("BM_ViewerPeakMemory");
    const std::optional<double> peakMB = counter(peak, "peakRssMB"), fileMB = counter(peak, "fileMB");
    row("viewer peak resident memory", peakMB, "MB", "file size", fileMB, "<= 3x file + 80 MB",
        peakMB && fileMB ? std::optional<bool>(*peakMB <= 3 * *fileMB + 80) : std::nullopt);
    const Result* tables = rep.find("BM_BuildMapTables");
    const std::optional<double> tree = counter(tables, "treeMB"), built = counter(tables, "tablesMB");
    row("tree + tables", tree && built ? std::optional<double>(*tree + *built) : std::nullopt, "MB", "file size",
        fileMB, "(recorded)", std::nullopt);
    row("DetectCpuFamily + BuildMapTables", ms("BM_BuildMapTables"), "ms", "", std::nullopt, "(part of open)",
        std::nullopt);
    row("parse 10 MB regions file", ms("BM_ParseRegions/0"), "ms", "", std::nullopt, "<= 1000 ms",
        le(ms("BM_ParseRegions/0"), 1000));
    row("parse 10 MB of bad lines", ms("BM_ParseRegions/1"), "ms", "", std::nullopt, "<= 1000 ms",
        le(ms("BM_ParseRegions/1"), 1000));
    row("usage of 312k regions", ms("BM_MemoryUsage"), "ms", "", std::nullopt, "(recorded)", std::nullopt);
}

} // namespace

int main(int argc, char** argv)
{
    tessaly::bench::startLauncher();
    // Before QApplication, so that no display is needed and paints go to memory.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qt(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    CollectingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    printSummary(reporter);
    benchmark::Shutdown();
    return 0;
}
