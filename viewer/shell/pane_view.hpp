// pane_view.hpp: what both panes share as views of the document: activation, notifications and painting.
#pragma once

#include "shell/command_router.hpp"

#include <QAbstractScrollArea>

class QPainter;

namespace tessaly {

class CMainFrame;
class CTessalyDoc;

class PaneView : public QAbstractScrollArea, public CommandTarget {
    Q_OBJECT

public:
    PaneView(CTessalyDoc& document, CMainFrame& frame, QWidget* parent);
    ~PaneView() override;

    CTessalyDoc& GetDocument() const { return m_document; }
    CMainFrame& GetParentFrame() const { return m_frame; }

    // After the document has been named, new or opened: the view updates itself as after any
    // change of the document (OnUpdate), which repaints it.
    virtual void OnInitialUpdate() { OnUpdate(nullptr); }
    // The document changed; sender is the view that asked, or null.
    virtual void OnUpdate(PaneView* sender);
    // Invalidates the whole pane; the background is erased by the repaint.
    void Invalidate();

protected:
    virtual void OnDraw(QPainter& painter) = 0;

    void paintEvent(QPaintEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    bool viewportEvent(QEvent* event) override;

private:
    CTessalyDoc& m_document;
    CMainFrame& m_frame;
};

} // namespace tessaly
