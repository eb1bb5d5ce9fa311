// friend_right_view.cpp: the right pane's font, measurement and paint.
#include "right/friend_right_view.hpp"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>

#include "shell/main_frame.hpp"
#include "shell/tessaly_doc.hpp"

namespace tessaly {

CFriendRightView::CFriendRightView(CTessalyDoc& document, CMainFrame& frame, QWidget* parent)
    : PaneView(document, frame, parent)
{
    frame.m_pRightView = this;
    m_logFont = paneInitialLogFont();
    m_font = createFont(m_logFont);
    RemeasureFont();
}

void CFriendRightView::RemeasureFont()
{
    const QFontMetrics metrics(m_font, viewport());
    m_nCharWidth = std::max(metrics.averageCharWidth(), 1);
    m_nLineHeight = metrics.height() + std::max(metrics.leading(), 0);
    // The columns are measured in characters, so the next paint lays them out again.
    GetDocument().model().ListRebuildPending = true;
}

void CFriendRightView::OpenFindDialog()
{
    // The Find dialog arrives with the find code; until then the button has nothing to open.
}

void CFriendRightView::OnDraw(QPainter& painter)
{
    painter.setFont(m_font);
    if (!GetDocument().model().FileLoaded)
        return;
}

} // namespace tessaly
