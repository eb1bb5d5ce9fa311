// friend_right_view.hpp: CFriendRightView, the right pane that lists sections, labels, constants and functions.
#pragma once

#include <QFont>

#include "shell/log_font.hpp"
#include "shell/pane_view.hpp"

namespace tessaly {

class CFriendRightView : public PaneView {
    Q_OBJECT

public:
    // Registers itself with the frame as its right pane and makes its font.
    CFriendRightView(CTessalyDoc& document, CMainFrame& frame, QWidget* parent);

    // Measures the character cell of m_font and asks for a new layout of the list.
    void RemeasureFont();
    // The tool bar's Find button: opens or activates the Find dialog.
    void OpenFindDialog();

    QFont m_font;
    LogFont m_logFont;
    int m_nCharWidth = 0;
    int m_nLineHeight = 0;

protected:
    void OnDraw(QPainter& painter) override;
};

} // namespace tessaly
