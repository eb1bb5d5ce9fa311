// right_pane_bench.cpp: one full paint of an 800-pixel-high right pane at the top, middle and bottom of the big
// program.
#include "map_model.hpp"
#include "right/cell_text.hpp"
#include "right/friend_right_view.hpp"
#include "right/visible_rows.hpp"
#include "viewer_fixture.hpp"

#include <QImage>
#include <benchmark/benchmark.h>

namespace {

// Characters of the item cells on the rows a paint shows, so that top and bottom can be seen to draw alike.
double visibleCharacters(const tessaly::MapModel& model, const tessaly::CFriendRightView& view, int rowCount)
{
    const tessaly::ListRows& rows = view.rows();
    std::size_t chars = 0;
    auto addSymbols = [&](const std::vector<tessaly::SymbolEntry>& table, const std::vector<int32_t>& index) {
        for (int32_t i : tessaly::PlanItemColumn(table, index, view.m_nTopLine, rowCount))
            if (i >= 0)
                chars += tessaly::FormatSymbolCell(model.AddressDigits, table[static_cast<std::size_t>(i)]).size();
    };
    addSymbols(model.LabelTable, rows.labels);
    if (model.ShowEquList)
        addSymbols(model.EquTable, rows.equs);
    if (model.ShowFunctionList)
        for (int32_t i : tessaly::PlanItemColumn(model.FunctionTable, rows.functions, view.m_nTopLine, rowCount))
            if (i >= 0)
                chars += tessaly::FormatFunctionCell(
                    model.AddressDigits, model.FunctionTable[static_cast<std::size_t>(i)])
                             .size();
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
