// pane_view.cpp: pane registration with the document, activation by focus and click, and the paint hand-off.
#include "shell/pane_view.hpp"

#include "shell/main_frame.hpp"
#include "shell/tessaly_doc.hpp"

#include <QEvent>
#include <QPainter>

namespace tessaly {

PaneView::PaneView(CTessalyDoc& document, CMainFrame& frame, QWidget* parent)
    : QAbstractScrollArea(parent)
    , m_document(document)
    , m_frame(frame)
{
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
    m_document.AddView(this);
}

PaneView::~PaneView()
{
    m_document.RemoveView(this);
    m_frame.ViewDestroyed(this);
}

void PaneView::OnUpdate(PaneView*)
{
    Invalidate();
}

void PaneView::Invalidate()
{
    viewport()->update();
}

void PaneView::paintEvent(QPaintEvent*)
{
    QPainter painter(viewport());
    OnDraw(painter);
}

void PaneView::focusInEvent(QFocusEvent* event)
{
    m_frame.SetActiveView(this);
    QAbstractScrollArea::focusInEvent(event);
}

bool PaneView::viewportEvent(QEvent* event)
{
    // A click with either button makes the pane active, as focus alone does not for the right button.
    if (event->type() == QEvent::MouseButtonPress) {
        m_frame.SetActiveView(this);
        if (!hasFocus())
            setFocus(Qt::MouseFocusReason);
    }
    return QAbstractScrollArea::viewportEvent(event);
}

} // namespace tessaly
