// friend_left_view.hpp: CFriendLeftView, the left pane that draws the mapping image.
#pragma once

#include "left/left_geometry.hpp"
#include "shell/cell_glyphs.hpp"
#include "shell/log_font.hpp"
#include "shell/pane_view.hpp"

#include <QFont>
#include <QPoint>
#include <cstdint>
#include <functional>
#include <vector>

class QMenu;

namespace tessaly {

class CFriendLeftView : public PaneView {
    Q_OBJECT

public:
    // Registers itself with the frame as its left pane and makes its font.
    CFriendLeftView(CTessalyDoc& document, CMainFrame& frame, QWidget* parent);

    // Measures the character cell of m_font; called at creation and after every font change.
    void RemeasureFont();

    void OnInitialUpdate() override;
    // A new file or new options: zoom back to 1 and recount the rows.
    void OnUpdate(PaneView* sender) override;

    // The right pane's top block starts here; the red marker follows it.
    void SetMarkerAddress(uint32_t address);

    // Whether a context-menu request at this logical point (client point plus scroll
    // position) would open the "Jump" menu: a file is loaded and the point is on the picture.
    bool ContextMenuWouldOpen(QPoint logical) const;
    // The context-menu request at a point of the viewport; opens the menu through
    // m_trackPopupMenu when ContextMenuWouldOpen says so. True when it opened.
    bool OnContextMenu(QPoint viewportPoint, QPoint screenPoint);

    void OnJump();
    void OnZoomIn();
    void OnZoomOut();
    void OnUpdateZoomIn(CommandState& state) const;
    void OnUpdateZoomOut(CommandState& state) const;

    // The status-bar text for the pointer at a logical point: the address under it and the
    // entry there, empty off the picture.
    QString HoverTextAt(QPoint logical) const;

    // The logical point of the view's top-left corner.
    QPoint scrollPosition() const;
    CellMetrics cell() const { return { m_nCharWidth, m_nLineHeight }; }
    // The memory-size geometry for the current client height and zoom.
    MemorySizeGeometry currentMemorySizeGeometry() const;

    QFont m_font;
    LogFont m_logFont;
    int m_nCharWidth = 0;
    int m_nLineHeight = 0;
    int32_t m_nZoom = 1;
    uint32_t m_nMarkerAddress = 0;
    int32_t m_nVisibleRows = 0;
    QPoint m_ptContext;

    // Geometry of the last paint, which the hit test, Jump and marker placement use.
    SectionListGeometry m_sectionList;
    MemorySizeGeometry m_memorySize;
    int32_t m_nMarkerY = 0; // memory-size picture
    int32_t m_nListMarkerY = 0; // section-list picture
    int32_t m_nPrevMarkerY = 0;

    // Shows the popup menu at a screen point and returns once it is closed; the menu's
    // action sends its command on through the frame. Tests put a function here that picks
    // an item instead of running the menu's own loop.
    std::function<void(QMenu& menu, QPoint screenPoint)> m_trackPopupMenu;

signals:
    // Jump: the right pane is to show the block that holds the address.
    void jumpRequested(uint32_t address);
    // The pointer moved to another address or entry; empty when it left the picture.
    void hoverTextChanged(const QString& text);

protected:
    void OnDraw(QPainter& painter) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    bool viewportEvent(QEvent* event) override;

private:
    void setScrollSizes(const ScrollSizes& sizes);
    void drawSectionList(QPainter& painter);
    void drawMemorySize(QPainter& painter);
    void registerCommands();

    void setHoverText(const QString& text);

    CellGlyphs m_glyphs;
    std::vector<int32_t> m_rowEntries; // SectionTable index of each row of the last section-list paint
    QString m_hoverText;
};

} // namespace tessaly
