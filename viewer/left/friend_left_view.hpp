// friend_left_view.hpp: CFriendLeftView, the left pane that draws the mapping image.
#pragma once

#include <QFont>

#include <cstdint>

#include "shell/log_font.hpp"
#include "shell/pane_view.hpp"

namespace tessaly {

class CFriendLeftView : public PaneView {
    Q_OBJECT

public:
    // Registers itself with the frame as its left pane and makes its font.
    CFriendLeftView(CTessalyDoc& document, CMainFrame& frame, QWidget* parent);

    // Measures the character cell of m_font; called at creation and after every font change.
    void RemeasureFont();

    QFont m_font;
    LogFont m_logFont;
    int m_nCharWidth = 0;
    int m_nLineHeight = 0;

protected:
    void OnDraw(QPainter& painter) override;
};

} // namespace tessaly
