// friend_right_view.cpp: the right pane's events: layout on demand, the paint through the plan and the renderer,
// scrolling, keys, wheel, column drags and jumps.
#include "right/friend_right_view.hpp"

#include "right/jump.hpp"
#include "right/list_plan.hpp"
#include "right/list_renderer.hpp"
#include "right/right_find.hpp"
#include "right/right_select.hpp"
#include "shell/main_frame.hpp"
#include "shell/tessaly_doc.hpp"

#include <QBitmap>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>
#include <cstdlib>
#include <vector>

namespace tessaly {

namespace {

// The column-resize cursor: two bars with arrows, hot spot (15, 15), from the resources.
QCursor loadSizeCursor()
{
    const QBitmap bits(QStringLiteral(":/cursors/column_resize.xbm"));
    const QBitmap mask(QStringLiteral(":/cursors/column_resize_mask.xbm"));
    if (bits.isNull() || mask.isNull())
        return QCursor(Qt::SplitHCursor);
    return QCursor(bits, mask, 15, 15);
}

// The platform's scroll-bar actions as scroll codes; false for actions the list ignores.
bool scrollCodeOf(int action, ScrollCode& code)
{
    switch (action) {
    case QAbstractSlider::SliderSingleStepSub:
        code = ScrollLineUp;
        return true;
    case QAbstractSlider::SliderSingleStepAdd:
        code = ScrollLineDown;
        return true;
    case QAbstractSlider::SliderPageStepSub:
        code = ScrollPageUp;
        return true;
    case QAbstractSlider::SliderPageStepAdd:
        code = ScrollPageDown;
        return true;
    case QAbstractSlider::SliderToMinimum:
        code = ScrollTop;
        return true;
    case QAbstractSlider::SliderToMaximum:
        code = ScrollBottom;
        return true;
    case QAbstractSlider::SliderMove:
        code = ScrollThumbTrack;
        return true;
    default:
        return false;
    }
}

} // namespace

CFriendRightView::CFriendRightView(CTessalyDoc& document, CMainFrame& frame, QWidget* parent)
    : PaneView(document, frame, parent)
{
    frame.m_pRightView = this;
    m_hArrowCursor = QCursor(Qt::ArrowCursor);
    m_hSizeCursor = loadSizeCursor();
    m_logFont = paneInitialLogFont();
    m_font = createFont(m_logFont);
    RemeasureFont();
    viewport()->setMouseTracking(true);
    connect(verticalScrollBar(), &QAbstractSlider::actionTriggered, this,
        [this](int action) { OnBarAction(verticalScrollBar(), action, true); });
    connect(horizontalScrollBar(), &QAbstractSlider::actionTriggered, this,
        [this](int action) { OnBarAction(horizontalScrollBar(), action, false); });
    RefreshVertBar();
    RefreshHorzBar();
    m_nColumnsEnd = 0;
    InstallFindCommand(*this);
    InstallSelectCommands(*this);
}

void CFriendRightView::RemeasureFont()
{
    // The cell holds every glyph whole, clear of the box edges along its top row.
    const CellGrid grid = MeasureCellGrid(m_font, viewport(), true, InkMargins { 1, 0 });
    m_nCharWidth = grid.charWidth;
    m_nLineHeight = grid.lineHeight;
    // Cells are whole multiples of the average width, but a scalable font advances by a fraction
    // more or less per character. The cells' glyphs are placed cell by cell; the header texts use
    // a copy of the font spaced to advance by exactly one cell.
    m_cellFont = m_font;
    const qreal advance = QFontMetricsF(m_font, viewport()).horizontalAdvance(QLatin1Char('0'));
    if (advance > 0)
        m_cellFont.setLetterSpacing(QFont::AbsoluteSpacing, m_nCharWidth - advance);
    m_glyphs = CellGlyphs(m_font, grid);
    // The columns are measured in characters, so the next paint lays them out again.
    GetDocument().model().ListRebuildPending = true;
}

void CFriendRightView::Relayout()
{
    MapModel& model = GetDocument().model();
    // A newly opened file starts at its first line; options and fonts keep the place.
    if (model.TablesChanged) {
        m_nTopLine = 1;
        m_nHorzPos = 0;
        m_nFoundLine = 0;
    }
    m_rows = NumberRows(model);
    // The picked row's entry belongs to the old numbering.
    m_selection = {};
    FollowFindAfterRelayout(*this, model.TablesChanged);
    m_nLineCount = m_rows.lineCount;
    RefreshVertBar();
    LayoutColumns(m_columns, ColumnWidths(model, m_nCharWidth));
    model.TablesChanged = false;
    model.ListRebuildPending = false;
}

void CFriendRightView::OnDraw(QPainter& painter)
{
    painter.setFont(m_cellFont);
    const MapModel& model = GetDocument().model();
    if (!model.FileLoaded)
        return;
    if (model.ListRebuildPending) {
        Relayout();
    } else if (ColumnsMoved && m_nDragColumn == ColumnNone) {
        // While a drag runs the dragged column's nDragX is a window x; the columns are re-stacked
        // once it has been released.
        RestackColumns(m_columns, model.ShowEquList);
        ColumnsMoved = false;
    }

    const int h = m_nLineHeight;
    PlanRequest request;
    request.firstLine = m_nTopLine;
    request.blockRows = std::max((viewport()->height() - h) / h + 1, 0);
    request.itemRows = request.blockRows + 1;
    request.match = { m_nFoundKind, m_nFoundLine, m_nFoundOffset, m_nFoundLength };
    request.selection = { m_selection.column, m_selection.line };
    const ListPlan plan = PlanList(model, m_rows, request);
    if (plan.hasTopAddress)
        m_nTopAddress = plan.topAddress;

    const std::vector<ColumnSpan> spans = ScreenColumnSpans(m_columns, model, scrollPx());
    RenderHeaderRow(painter, spans, model, h, m_nHorzExtent, palette());
    m_nColumnsEnd = spans.empty() ? 0 : spans.back().right;
    m_nClientRight = viewport()->width();
    RenderList(painter, plan, ScreenListStyle(spans, m_glyphs, h, viewport()->width(), palette()));
    if (m_nDragColumn != ColumnNone)
        InvertRect(painter, dragBarRect(column(m_columns, m_nDragColumn).nDragX));
    emit topAddressPainted(m_nTopAddress);
}

QRect CFriendRightView::dragBarRect(int x) const
{
    return QRect(x - 1, 0, 2, viewport()->height());
}

void CFriendRightView::RefreshVertBar()
{
    QScrollBar* bar = verticalScrollBar();
    const int rows = BarRows(viewport()->height(), m_nLineHeight);
    const ScrollBarState state = tessaly::RefreshVertBar(m_nLineCount, rows, m_nTopLine);
    bar->setRange(state.minimum, state.maximum);
    // The thumb covers a page of the list, in the bar's (possibly scaled) positions.
    bar->setPageStep(std::max(rows / ThumbScale(m_nLineCount - rows + 1), 1));
    bar->setValue(state.position);
}

void CFriendRightView::RefreshHorzBar()
{
    QScrollBar* bar = horizontalScrollBar();
    const int free = FreeWidth(viewport()->width(), m_nColumnsEnd, m_nCharWidth);
    const ScrollBarState state = tessaly::RefreshHorzBar(m_nHorzExtent, free, m_nHorzPos);
    bar->setRange(state.minimum, state.maximum);
    bar->setPageStep(std::max(viewport()->width() / m_nCharWidth, 1));
    bar->setValue(state.position);
}

void CFriendRightView::OnVScroll(ScrollCode code, int thumb)
{
    m_nTopLine = VertScroll(code, thumb, m_nTopLine, m_nLineCount, PageLines(viewport()->height(), m_nLineHeight));
    viewport()->update();
    RefreshVertBar();
}

void CFriendRightView::OnHScroll(ScrollCode code, int thumb)
{
    const int free = FreeWidth(viewport()->width(), m_nColumnsEnd, m_nCharWidth);
    m_nHorzPos = HorzScroll(code, thumb, m_nHorzPos, m_nHorzExtent, free);
    viewport()->update();
    RefreshHorzBar();
}

void CFriendRightView::OnBarAction(QAbstractSlider* bar, int action, bool vertical)
{
    ScrollCode code = ScrollEnd;
    if (!scrollCodeOf(action, code))
        return;
    // The horizontal bar knows no top and bottom commands.
    if (!vertical && (code == ScrollTop || code == ScrollBottom))
        code = ScrollEnd;
    // The bar has moved its slider already; the command decides, and the refresh sets the
    // slider where the list really is.
    if (vertical)
        OnVScroll(code, bar->sliderPosition());
    else
        OnHScroll(code, bar->sliderPosition());
}

void CFriendRightView::JumpToAddress(uint32_t address)
{
    MapModel& model = GetDocument().model();
    if (!model.FileLoaded)
        return;
    // The start lines must belong to the current options before one is chosen.
    if (model.ListRebuildPending)
        Relayout();
    m_nTopLine = JumpTopLine(model, address);
    Invalidate();
    RefreshVertBar();
}

void CFriendRightView::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_PageUp:
        OnVScroll(ScrollPageUp, 0);
        break;
    case Qt::Key_PageDown:
        OnVScroll(ScrollPageDown, 0);
        break;
    case Qt::Key_End:
        OnVScroll(ScrollBottom, 0);
        break;
    case Qt::Key_Home:
        OnVScroll(ScrollTop, 0);
        break;
    case Qt::Key_Up:
        OnVScroll(ScrollLineUp, 0);
        break;
    case Qt::Key_Down:
        OnVScroll(ScrollLineDown, 0);
        break;
    case Qt::Key_Left:
        OnHScroll(ScrollLineUp, 0);
        break;
    case Qt::Key_Right:
        OnHScroll(ScrollLineDown, 0);
        break;
    default:
        PaneView::keyPressEvent(event);
        return;
    }
    event->accept();
}

void CFriendRightView::wheelEvent(QWheelEvent* event)
{
    // Three lines per notch, as line commands, so the wheel obeys the same limits as the keys;
    // the fine steps of a touchpad add up to lines.
    const int32_t down = WheelLines(m_nWheelRemainderY, event->angleDelta().y());
    for (int32_t i = 0; i < std::abs(down); ++i)
        OnVScroll(down > 0 ? ScrollLineUp : ScrollLineDown, 0);
    const int32_t across = WheelLines(m_nWheelRemainderX, event->angleDelta().x());
    for (int32_t i = 0; i < std::abs(across); ++i)
        OnHScroll(across > 0 ? ScrollLineUp : ScrollLineDown, 0);
    event->accept();
}

void CFriendRightView::resizeEvent(QResizeEvent* event)
{
    PaneView::resizeEvent(event);
    RefreshHorzBar();
    RefreshVertBar();
}

void CFriendRightView::scrollContentsBy(int, int)
{
    // The list scrolls by whole lines and characters through its own commands; the bars'
    // pixel scrolling is not used.
}

void CFriendRightView::mousePressEvent(QMouseEvent* event)
{
    const MapModel& model = GetDocument().model();
    if (event->button() == Qt::LeftButton && model.FileLoaded && m_nDragColumn == ColumnNone) {
        const QPoint p = event->position().toPoint();
        const int hit = HitColumnBorder(m_columns, model, scrollPx(), m_nLineHeight, p.x(), p.y(), true);
        if (hit != ColumnNone) {
            m_nDragColumn = hit;
            column(m_columns, hit).nDragX = p.x();
            viewport()->update(dragBarRect(p.x()));
            viewport()->setCursor(m_hSizeCursor);
        } else if (p.y() >= m_nLineHeight) {
            m_selection = SelectionAt(p);
            viewport()->update();
        }
    }
    PaneView::mousePressEvent(event);
}

void CFriendRightView::mouseMoveEvent(QMouseEvent* event)
{
    const MapModel& model = GetDocument().model();
    const QPoint p = event->position().toPoint();
    if (m_nDragColumn != ColumnNone) {
        ColumnInfo& c = column(m_columns, m_nDragColumn);
        const int x = ClampDragX(m_columns, m_nDragColumn, scrollPx(), p.x());
        viewport()->update(dragBarRect(c.nDragX));
        viewport()->update(dragBarRect(x));
        c.nDragX = x;
        ColumnsMoved = true;
    } else if (model.FileLoaded) {
        const bool atBorder
            = HitColumnBorder(m_columns, model, scrollPx(), m_nLineHeight, p.x(), p.y(), false) != ColumnNone;
        viewport()->setCursor(atBorder ? m_hSizeCursor : m_hArrowCursor);
    }
    PaneView::mouseMoveEvent(event);
}

void CFriendRightView::mouseReleaseEvent(QMouseEvent* event)
{
    // The drag began with the left button and ends with it alone.
    if (event->button() == Qt::LeftButton && m_nDragColumn != ColumnNone) {
        const int x = column(m_columns, m_nDragColumn).nDragX;
        viewport()->setCursor(m_hArrowCursor);
        FinishDrag(m_columns, m_nDragColumn, x, scrollPx());
        // A press and release without a move still changes the width by up to a pixel.
        ColumnsMoved = true;
        m_nDragColumn = ColumnNone;
        Invalidate();
    }
    PaneView::mouseReleaseEvent(event);
}

} // namespace tessaly
