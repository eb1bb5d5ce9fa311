// friend_left_view.cpp: the left pane's font, measurement and paint.
#include "left/friend_left_view.hpp"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>

#include "shell/main_frame.hpp"
#include "shell/tessaly_doc.hpp"

namespace tessaly {

CFriendLeftView::CFriendLeftView(CTessalyDoc& document, CMainFrame& frame, QWidget* parent)
    : PaneView(document, frame, parent)
{
    frame.m_pLeftView = this;
    m_logFont = paneInitialLogFont();
    m_font = createFont(m_logFont);
    RemeasureFont();
}

void CFriendLeftView::RemeasureFont()
{
    const QFontMetrics metrics(m_font, viewport());
    m_nCharWidth = std::max(metrics.averageCharWidth(), 1);
    m_nLineHeight = metrics.height() + std::max(metrics.leading(), 0);
}

void CFriendLeftView::OnDraw(QPainter& painter)
{
    painter.setFont(m_font);
    // Nothing is drawn until a file has been read.
    if (!GetDocument().model().FileLoaded)
        return;
}

} // namespace tessaly
