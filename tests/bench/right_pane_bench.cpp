// right_pane_bench.cpp: one full paint of an 800-pixel-high right pane at the top, middle and bottom of the big
// program.
#include "map_model.hpp"
#include "right/friend_right_view.hpp"
#include "right/list_plan.hpp"
#include "viewer_fixture.hpp"

#include <QImage>
#include <benchmark/benchmark.h>

namespace {

// Characters of the item cells on the rows a paint shows, so that top and bottom can be seen to draw alike.
double visibleCharacters(const tessaly::MapModel& model, const tessaly::CFriendRightView& view, int rowCount)
{
    tessaly::PlanRequest request;
    request.firstLine = view.m_nTopLine;
    request.blockRows = rowCount;
    request.itemRows = rowCount + 1;
    std::size_t chars = 0;
    for (const tessaly::PlanCell& cell : tessaly::PlanList(model, view.rows(), request).cells)
        if (cell.column != tessaly::ColumnAddress && cell.column != tessaly::ColumnSection)
            chars += cell.textLength;
    return static_cast<double>(chars);
}

void BM_RightPanePaint(benchmark::State& state)
{
    Pane& p = pane();
    if (!p.ok) {
        state.SkipWithError("the big program did not open in an 800-pixel pane");
        return;
    }
    tessaly::CFriendRightView& view = p.view();
    QImage image(view.viewport()->size(), QImage::Format_RGB32);
    view.viewport()->render(&image); // lays the list out once
    const int where = static_cast<int>(state.range(0));
    view.m_nTopLine = where == 0 ? 1 : where == 1 ? view.m_nLineCount / 2 : view.m_nLineCount;
    view.RefreshVertBar(); // brings the bottom down to the last page
    for (auto _ : state) {
        view.viewport()->render(&image);
        benchmark::DoNotOptimize(image.bits());
    }
    const int rowCount = (view.viewport()->height() - view.m_nLineHeight) / view.m_nLineHeight + 1;
    state.counters["topLine"] = view.m_nTopLine;
    state.counters["lines"] = view.m_nLineCount;
    state.counters["labels"] = static_cast<double>(p.model->LabelTable.size());
    state.counters["chars"] = visibleCharacters(*p.model, view, rowCount);
    state.SetLabel(where == 0 ? "top" : where == 1 ? "middle" : "bottom");
}
BENCHMARK(BM_RightPanePaint)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

} // namespace
