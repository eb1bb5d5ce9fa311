// right_pane_bench.cpp: one full paint of an 800-pixel-high right pane at the top and at the bottom of the big program.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QScrollBar>

#include <memory>

#include "bench_files.hpp"
#include "map_model.hpp"
#include "right/friend_right_view.hpp"
#include "shell/main_frame.hpp"
#include "shell/tessaly_app.hpp"

namespace {

// The program with the big file open and the right pane's list area 800 pixels high, made once.
struct Pane {
    std::unique_ptr<QApplication> qt;
    std::unique_ptr<tessaly::MapModel> model;
    std::unique_ptr<tessaly::CTessalyApp> app;
    bool ok = false;

    Pane()
    {
        static int argc = 1;
        static char name[] = "right_pane_bench";
        static char* argv[] = { name, nullptr };
        qputenv("QT_QPA_PLATFORM", "offscreen");
        qt = std::make_unique<QApplication>(argc, argv);
        model = std::make_unique<tessaly::MapModel>();
        app = std::make_unique<tessaly::CTessalyApp>(*model);
        const QString path = QString::fromStdString(tessaly::bench::bigProgramFile().pathString());
        if (!app->InitInstance(path, false) || !model->FileLoaded)
            return;
        tessaly::CMainFrame& frame = *app->mainFrame();
        frame.resize(1400, 1000);
        frame.show();
        QApplication::processEvents();
        // Grow or shrink the window until the list area is exactly 800 pixels high.
        for (int i = 0; i < 5 && view().viewport()->height() != 800; ++i) {
            frame.resize(frame.width(), frame.height() + 800 - view().viewport()->height());
            QApplication::processEvents();
        }
        ok = view().viewport()->height() == 800;
    }

    tessaly::CFriendRightView& view() const { return *app->mainFrame()->m_pRightView; }
};

Pane& pane()
{
    static Pane instance;
    return instance;
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
    const bool bottom = state.range(0) != 0;
    view.m_nTopLine = bottom ? view.m_nLineCount : 1;
    view.RefreshVertBar(); // brings the bottom down to the last page
    if (qEnvironmentVariableIsSet("DBG_IMG")) { view.viewport()->render(&image); image.save(QString::fromLatin1(bottom ? "/tmp/rp/bench_bottom.png" : "/tmp/rp/bench_top.png")); }
    for (auto _ : state) {
        view.viewport()->render(&image);
        benchmark::DoNotOptimize(image.bits());
    }
    state.counters["topLine"] = view.m_nTopLine;
    state.counters["lines"] = view.m_nLineCount;
    state.counters["labels"] = static_cast<double>(p.model->LabelTable.size());
    state.SetLabel(bottom ? "bottom" : "top");
}
BENCHMARK(BM_RightPanePaint)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace
