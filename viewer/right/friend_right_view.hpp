// friend_right_view.hpp: CFriendRightView, the right pane that lists sections, labels, constants and functions.
#pragma once

#include "right/jump.hpp"
#include "right/list_columns.hpp"
#include "right/list_selection.hpp"
#include "right/right_layout.hpp"
#include "right/right_scroll.hpp"
#include "shell/cell_glyphs.hpp"
#include "shell/log_font.hpp"
#include "shell/pane_view.hpp"

#include <QCursor>
#include <QFont>
#include <QString>
#include <cstdint>

class QAbstractSlider;

namespace tessaly {

class FindDialog;

class CFriendRightView : public PaneView {
    Q_OBJECT

public:
    // Registers itself with the frame as its right pane and makes its font.
    CFriendRightView(CTessalyDoc& document, CMainFrame& frame, QWidget* parent);
    // An open Find dialog is told to forget the pane.
    ~CFriendRightView() override;

    // Measures the character cell of m_font and asks for a new layout of the list.
    void RemeasureFont();
    // The tool bar's Find button: opens or activates the Find dialog.
    void OpenFindDialog();
    // The Find dialog's request: the next match with its current settings (right_find.cpp).
    void FindNext();
    // F3 / Shift+F3: the next match down or up with the dialog's settings (the last search's
    // when the dialog is closed); opens Find when nothing was searched yet.
    void FindAgain(int32_t direction);

    // Brings the block that holds the address to the top of the list (the left pane's Jump).
    void JumpToAddress(uint32_t address);
    // Bring the scroll bars in line with m_nTopLine, m_nLineCount and m_nHorzPos.
    void RefreshVertBar();
    void RefreshHorzBar();
    // The scroll commands that the bars, the keys and the wheel run.
    void OnVScroll(ScrollCode code, int thumb);
    void OnHScroll(ScrollCode code, int thumb);

    int32_t m_nLineCount = 0;
    int32_t m_nTopLine = 0;
    int32_t m_nHorzPos = 0;
    int32_t m_nHorzExtent = 1024;
    int m_nDragColumn = ColumnNone;
    ColumnTable m_columns = EmptyColumnTable();
    uint32_t m_nTopAddress = 0;

    // The open Find dialog, or none; the last Find result, which the paint inverts.
    FindDialog* m_pFindDlg = nullptr;
    int32_t m_nFoundLine = 0;
    int32_t m_nFoundOffset = -1;
    int32_t m_nFoundLength = 0;
    int32_t m_nFoundKind = 0;
    int32_t m_nFoundEntry = 0;
    QString m_strLastFind;
    // The settings of the last search, for Find Next without the dialog.
    bool m_bLastMatchCase = true;
    bool m_bLastWildCard = false;
    int32_t m_nLastKind = 0;
    // Whether a Section match indexes ModuleSectionTable rather than SectionTable.
    bool m_bFoundInModuleTable = false;

    QFont m_font;
    LogFont m_logFont;
    // m_font spaced so that every character advances by exactly m_nCharWidth (header texts).
    QFont m_cellFont;
    int m_nCharWidth = 0;
    int m_nLineHeight = 0;
    int m_nColumnsEnd = 0;
    int m_nClientRight = 0;
    QCursor m_hArrowCursor;
    QCursor m_hSizeCursor;

    // A column border was dragged since the last paint: the next paint re-stacks the columns.
    bool ColumnsMoved = false;

    // The row picked by a click, which the paint inverts and Copy copies (right_select.cpp).
    ListSelection m_selection;
    // What a click at a viewport point picks; nothing above the first row.
    ListSelection SelectionAt(QPoint point);
    void CopySelection();
    // Go to Address: the block holding the address at the top and the row at or before it
    // picked, as GoToAddressTarget says (nothing moves for an address no block holds).
    GoToTarget GoToAddress(uint32_t address);

    // What the last layout numbered: the line count and the rows of the item tables.
    const ListRows& rows() const { return m_rows; }

signals:
    // At the end of every paint: the start address of the block that owns the top row.
    void topAddressPainted(uint32_t address);

protected:
    void OnDraw(QPainter& painter) override;
    // FindNotify from the Find dialog.
    void customEvent(QEvent* event) override;

    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    bool viewportEvent(QEvent* event) override;

private:
    void Relayout();
    // One search with these settings; "Can't Find" is told over owner.
    void runFind(const QString& text, bool matchCase, bool wildCard, int32_t direction, int32_t kind, QWidget* owner);
    void OnBarAction(QAbstractSlider* bar, int action, bool vertical);
    int scrollPx() const { return m_nHorzPos * m_nCharWidth; }
    // The strip the drag bar covers at window x.
    QRect dragBarRect(int x) const;

    ListRows m_rows;
    CellGlyphs m_glyphs;
    // Wheel deltas not yet worth a line (touchpads send small ones).
    int32_t m_nWheelRemainderX = 0;
    int32_t m_nWheelRemainderY = 0;
};

} // namespace tessaly
