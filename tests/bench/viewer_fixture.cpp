// viewer_fixture.cpp: opens the big program in a main frame sized so that the list area is 800 pixels high.
#include "viewer_fixture.hpp"

#include "bench_files.hpp"
#include "left/friend_left_view.hpp"
#include "right/friend_right_view.hpp"
#include "shell/main_frame.hpp"
#include "shell/tessaly_app.hpp"
#include "shell/tessaly_doc.hpp"

#include <QApplication>
#include <QImage>

Pane::Pane()
{
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

Pane::~Pane() = default;

void Pane::reopen()
{
    app->document()->OpenCommandLineFile(QString::fromStdString(tessaly::bench::bigProgramFile().pathString()));
    ok = ok && model->FileLoaded;
    // The rows are numbered when the list is next drawn; Find needs them numbered.
    QImage image(view().viewport()->size(), QImage::Format_RGB32);
    view().viewport()->render(&image);
}

namespace {
bool g_treeReplaced = false;
} // namespace

void treeReplaced()
{
    g_treeReplaced = true;
}

tessaly::CFriendRightView& Pane::view() const
{
    return *app->mainFrame()->m_pRightView;
}
tessaly::CFriendLeftView& Pane::leftView() const
{
    return *app->mainFrame()->m_pLeftView;
}

Pane& pane()
{
    // Never destroyed: the widgets must not outlive the QApplication of main.
    static Pane* instance = new Pane;
    if (g_treeReplaced) {
        g_treeReplaced = false;
        instance->reopen();
    }
    return *instance;
}
