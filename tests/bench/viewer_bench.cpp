// viewer_bench.cpp: open to first paint, left pane paint top and bottom, a page-down step, and Find Next to the end.
#include "bench_files.hpp"
#include "left/friend_left_view.hpp"
#include "orvik.h"
#include "right/find_state.hpp"
#include "right/friend_right_view.hpp"
#include "right/right_scroll.hpp"
#include "shell/tessaly_app.hpp"
#include "shell/tessaly_doc.hpp"
#include "viewer_fixture.hpp"

#include <QImage>
#include <QScrollBar>
#include <benchmark/benchmark.h>
#include <chrono>

namespace {

using namespace tessaly::bench;

// Read, DetectCpuFamily, BuildMapTables, the right pane's layout, then one paint of each pane.
void BM_OpenToFirstPaint(benchmark::State& state)
{
    Pane& p = pane();
    if (!p.ok) {
        state.SkipWithError("the big program did not open in an 800-pixel pane");
        return;
    }
    const QString path
        = QString::fromStdString(state.range(0) ? bigFramedFile().pathString() : bigProgramFile().pathString());
    QImage left(p.leftView().viewport()->size(), QImage::Format_RGB32);
    QImage right(p.view().viewport()->size(), QImage::Format_RGB32);
    for (auto _ : state) {
        p.app->document()->OpenCommandLineFile(path);
        p.leftView().viewport()->render(&left);
        p.view().viewport()->render(&right);
        benchmark::DoNotOptimize(left.bits());
        benchmark::DoNotOptimize(right.bits());
    }
    if (!p.model->FileLoaded)
        state.SkipWithError("the file did not open");
    state.counters["lines"] = p.view().m_nLineCount;
    state.counters["labels"] = static_cast<double>(p.model->LabelTable.size());
    state.counters["functions"] = static_cast<double>(p.model->FunctionTable.size());
    state.counters["plainReadMs"]
        = fastestSeconds(3, [&] { benchmark::DoNotOptimize(plainBufferedRead(path.toStdString())); }) * 1e3;
    state.SetLabel(state.range(0) ? "framed" : "IEEE-695");
    // Leave the IEEE-695 program open for the benchmarks that follow.
    if (state.range(0))
        p.app->document()->OpenCommandLineFile(QString::fromStdString(bigProgramFile().pathString()));
}
BENCHMARK(BM_OpenToFirstPaint)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);

// One full paint of the left pane scrolled to the top and to the bottom of its picture.
void BM_LeftPanePaint(benchmark::State& state)
{
    Pane& p = pane();
    if (!p.ok) {
        state.SkipWithError("the big program did not open in an 800-pixel pane");
        return;
    }
    tessaly::CFriendLeftView& view = p.leftView();
    QImage image(view.viewport()->size(), QImage::Format_RGB32);
    view.viewport()->render(&image);
    QScrollBar* bar = view.verticalScrollBar();
    const bool bottom = state.range(0) != 0;
    bar->setValue(bottom ? bar->maximum() : bar->minimum());
    for (auto _ : state) {
        view.viewport()->render(&image);
        benchmark::DoNotOptimize(image.bits());
    }
    state.counters["scrollY"] = bar->value();
    state.counters["scrollMax"] = bar->maximum();
    state.SetLabel(bottom ? "bottom" : "top");
    bar->setValue(bar->minimum());
}
BENCHMARK(BM_LeftPanePaint)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// One page-down step of the right pane and the paint that follows it, from the top towards the end.
void BM_RightPanePageDown(benchmark::State& state)
{
    Pane& p = pane();
    if (!p.ok) {
        state.SkipWithError("the big program did not open in an 800-pixel pane");
        return;
    }
    tessaly::CFriendRightView& view = p.view();
    QImage image(view.viewport()->size(), QImage::Format_RGB32);
    view.OnVScroll(tessaly::ScrollTop, 0);
    view.viewport()->render(&image);
    for (auto _ : state) {
        if (view.m_nTopLine + 200 >= view.m_nLineCount) {
            state.PauseTiming();
            view.OnVScroll(tessaly::ScrollTop, 0);
            state.ResumeTiming();
        }
        view.OnVScroll(tessaly::ScrollPageDown, 0);
        view.viewport()->render(&image);
        benchmark::DoNotOptimize(image.bits());
    }
    state.counters["topLine"] = view.m_nTopLine;
    view.OnVScroll(tessaly::ScrollTop, 0);
}
BENCHMARK(BM_RightPanePageDown)->Unit(benchmark::kMillisecond);

// Find Next from the start of the list to a label near its end: plain text, and a wild card
// whose '*' makes every label a backtracking match attempt.
void BM_FindNextToEnd(benchmark::State& state)
{
    Pane& p = pane();
    if (!p.ok) {
        state.SkipWithError("the big program did not open in an 800-pixel pane");
        return;
    }
    const bool wild = state.range(0) != 0;
    const uint32_t target = bigShape().globalLabels - 10;
    tessaly::FindRequest request;
    request.text = wild ? "_lab*" + std::to_string(target / 10) + "?" : tessaly::testing::bigGlobalLabelName(target);
    request.wildCard = wild;
    tessaly::FindState find;
    tessaly::FindOutcome outcome = tessaly::FindOutcome::Ignored;
    for (auto _ : state) {
        find.restart();
        outcome = tessaly::FindNext(*p.model, find, request);
        benchmark::DoNotOptimize(find.foundLine);
    }
    if (outcome != tessaly::FindOutcome::Found)
        state.SkipWithError("the label was not found");
    state.counters["foundLine"] = find.foundLine;
    state.counters["lines"] = p.view().m_nLineCount;
    state.counters["foundEntry"] = find.foundEntry;
    state.SetLabel(request.text);
}
BENCHMARK(BM_FindNextToEnd)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Compare With in the open window: the next build is shown, the big program read as its baseline
// (read, snapshot, free), the shown file read again with its tables and their changes, then one
// paint of each pane with the change column and the edges.
void BM_ViewerOpenBaseline(benchmark::State& state)
{
    Pane& p = pane();
    if (!p.ok) {
        state.SkipWithError("the big program did not open in an 800-pixel pane");
        return;
    }
    tessaly::CTessalyDoc& document = *p.app->document();
    document.OpenCommandLineFile(QString::fromStdString(bigChangedProgramFile().pathString()));
    const QString baseline = QString::fromStdString(bigProgramFile().pathString());
    QImage left(p.leftView().viewport()->size(), QImage::Format_RGB32);
    QImage right(p.view().viewport()->size(), QImage::Format_RGB32);
    bool compared = true;
    for (auto _ : state) {
        compared = compared && document.CompareWith(baseline);
        p.leftView().viewport()->render(&left);
        p.view().viewport()->render(&right);
        benchmark::DoNotOptimize(left.bits());
        benchmark::DoNotOptimize(right.bits());
        state.PauseTiming();
        document.StopComparing();
        state.ResumeTiming();
    }
    if (!compared)
        state.SkipWithError("the baseline did not read");
    state.counters["lines"] = p.view().m_nLineCount;
    // The benchmarks after this one expect the big program itself on screen.
    treeReplaced();
}
BENCHMARK(BM_ViewerOpenBaseline)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);

} // namespace
