// friend_right_view.cpp: the right pane: layout on demand, the paint, scrolling, keys, column drags and jumps.
#include "right/friend_right_view.hpp"

#include "left/friend_left_view.hpp"
#include "right/cell_glyphs.hpp"
#include "right/cell_text.hpp"
#include "right/header_painter.hpp"
#include "right/jump.hpp"
#include "right/right_find.hpp"
#include "right/visible_rows.hpp"
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
#include <string>
#include <string_view>
#include <vector>

namespace tessaly {

namespace {

QColor toQColor(Rgb rgb)
{
    return QColor(rgb.r, rgb.g, rgb.b);
}

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

void invert(QPainter& painter, const QRect& rect)
{
    painter.save();
    painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    painter.fillRect(rect, Qt::white);
    painter.restore();
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
}

void CFriendRightView::RemeasureFont()
{
    const QFontMetrics metrics(m_font, viewport());
    m_nCharWidth = std::max(metrics.averageCharWidth(), 1);
    m_nLineHeight = std::max(metrics.height() + std::max(metrics.leading(), 0), 1);
    // Cells are whole multiples of the average width, but a scalable font advances by a fraction
    // more or less per character; the paint uses a copy spaced to advance by exactly one cell, so
    // a text of n characters fills n cells and an address fits its column.
    m_cellFont = m_font;
    const qreal advance = QFontMetricsF(m_font, viewport()).horizontalAdvance(QLatin1Char('0'));
    if (advance > 0)
        m_cellFont.setLetterSpacing(QFont::AbsoluteSpacing, m_nCharWidth - advance);
    m_glyphs = CellGlyphs(m_font, m_nCharWidth);
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
    const int rowCount = std::max((viewport()->height() - h) / h + 1, 0);
    paintHeader(painter);
    paintSectionColumns(painter, rowCount);
    paintItemColumns(painter, rowCount + 1);
    paintBlankArea(painter, rowCount);
    if (m_nDragColumn != ColumnNone)
        invert(painter, dragBarRect(column(m_columns, m_nDragColumn).nDragX));

    if (CFriendLeftView* left = GetParentFrame().m_pLeftView)
        left->SetMarkerAddress(m_nTopAddress);
}

void CFriendRightView::paintHeader(QPainter& painter)
{
    const MapModel& model = GetDocument().model();
    const CHeaderPainter header(palette());
    const int sp = scrollPx();
    for (int number = ColumnAddress; number <= ColumnFunction; ++number) {
        if (!ColumnShown(model, number))
            continue;
        const ColumnInfo& c = column(m_columns, number);
        header.Paint(painter, QRect(c.nLeft - sp, 0, c.nRight - c.nLeft, m_nLineHeight),
            QString::fromLatin1(ColumnHeaderText(number, model.AddressDigits, model.ShowLocalInformation)));
    }
    const int end = column(m_columns, LastShownColumn(model)).nRight - sp;
    if (end < m_nHorzExtent)
        header.Paint(painter, QRect(end, 0, m_nHorzExtent - end, m_nLineHeight), QString());
    m_nColumnsEnd = end;
    m_nClientRight = viewport()->width();
}

void CFriendRightView::paintSectionColumns(QPainter& painter, int rowCount)
{
    const MapModel& model = GetDocument().model();
    const int h = m_nLineHeight;
    const int sp = scrollPx();
    const ColumnInfo& address = column(m_columns, ColumnAddress);
    const ColumnInfo& section = column(m_columns, ColumnSection);
    const int addressLeft = address.nLeft - sp;
    const int sectionLeft = section.nLeft - sp;
    const int sectionRight = section.nRight - sp;
    const QColor base = palette().color(QPalette::Base);

    const SectionColumnPlan plan = PlanSectionColumn(model, m_nTopLine, rowCount);
    if (plan.hasTopAddress)
        m_nTopAddress = plan.topAddress;
    auto startOf = [&](int32_t entry) {
        return model.ShowLocalInformation ? model.ModuleSectionTable[static_cast<size_t>(entry)].record->start
                                          : model.SectionTable[static_cast<size_t>(entry)].record->start;
    };
    auto sizeOf = [&](int32_t entry) {
        return model.ShowLocalInformation ? model.ModuleSectionTable[static_cast<size_t>(entry)].record->size
                                          : model.SectionTable[static_cast<size_t>(entry)].record->size;
    };
    auto tagOf = [&](int32_t entry) {
        return model.ShowLocalInformation ? GetSectionTag(model.ModuleSectionTable[static_cast<size_t>(entry)].record)
                                          : GetSectionTag(model.SectionTable[static_cast<size_t>(entry)].record);
    };
    auto textOf = [&](int32_t entry) {
        return model.ShowLocalInformation ? SectionCellText(model.ModuleSectionTable[static_cast<size_t>(entry)])
                                          : SectionCellText(model.SectionTable[static_cast<size_t>(entry)]);
    };

    // The cells' backgrounds first, each block's rows as one box, so that no row paints over the
    // descenders of the text above it; then the texts; the black edges last.
    painter.fillRect(QRect(addressLeft, h, address.nRight - address.nLeft, rowCount * h), base);
    std::vector<QLine> edges;
    // Neighbouring boxes of one colour are filled together, and the side edges of neighbouring
    // blocks are one line each; only the top edges are drawn per block.
    QRect fill;
    QColor fillColour;
    int sidesTop = -1;
    auto flushFill = [&] {
        if (!fill.isEmpty())
            painter.fillRect(fill, fillColour);
        fill = QRect();
    };
    auto closeSides = [&](int bottom) {
        if (sidesTop < 0)
            return;
        edges.emplace_back(sectionLeft, sidesTop, sectionLeft, bottom - 1);
        edges.emplace_back(sectionRight - 1, sidesTop, sectionRight - 1, bottom - 1);
        sidesTop = -1;
    };
    for (size_t r = 0; r < plan.rows.size();) {
        const SectionRow& first = plan.rows[r];
        size_t end = r + 1;
        while (end < plan.rows.size() && plan.rows[end].entry == first.entry && !plan.rows[end].firstRow)
            ++end;
        const int top = static_cast<int>(r + 1) * h;
        const int bottom = static_cast<int>(end + 1) * h;
        const QColor colour = first.entry < 0 ? base : toQColor(tagOf(first.entry).colour);
        if (fill.isEmpty() || colour != fillColour) {
            flushFill();
            fill = QRect(sectionLeft, top, sectionRight - sectionLeft, bottom - top);
            fillColour = colour;
        } else {
            fill.setBottom(bottom - 1);
        }
        if (first.entry < 0) {
            closeSides(top);
        } else {
            if (sidesTop < 0)
                sidesTop = top;
            if (first.firstRow)
                edges.emplace_back(sectionLeft, top, sectionRight - 1, top);
        }
        r = end;
    }
    flushFill();
    closeSides(static_cast<int>(plan.rows.size() + 1) * h);
    if (plan.closeRow >= 0) {
        // The last block's bottom edge, and the closing line under it.
        const int y = (plan.closeRow + 1) * h;
        edges.emplace_back(sectionLeft, y - 1, sectionRight - 1, y - 1);
        edges.emplace_back(sectionLeft, y, sectionRight - 1, y);
    }

    for (const bool red : { false, true }) {
        for (size_t r = 0; r < plan.rows.size(); ++r) {
            const SectionRow& row = plan.rows[r];
            if (row.firstRow && row.red == red)
                m_glyphs.add(addressLeft, static_cast<int>(r + 1) * h,
                    FormatAddressSize(model.AddressDigits, startOf(row.entry), sizeOf(row.entry)));
        }
        painter.setPen(red ? QColor(255, 0, 0) : QColor(0, 0, 0));
        m_glyphs.flush(painter);
    }
    for (size_t r = 0; r < plan.rows.size(); ++r)
        if (plan.rows[r].firstRow)
            m_glyphs.add(sectionLeft + 1, static_cast<int>(r + 1) * h, textOf(plan.rows[r].entry));
    painter.setPen(QColor(0, 0, 0));
    m_glyphs.flush(painter);
    painter.drawLines(edges.data(), static_cast<int>(edges.size()));

    if (m_nFoundKind == 1 && m_nFoundLength > 0)
        for (size_t r = 0; r < plan.rows.size(); ++r)
            if (plan.rows[r].firstRow && plan.rows[r].line == m_nFoundLine)
                invert(painter,
                    QRect(sectionLeft + m_nCharWidth * (m_nFoundOffset + 4), static_cast<int>(r + 1) * h,
                        m_nCharWidth * m_nFoundLength, h));
}

void CFriendRightView::paintItemColumns(QPainter& painter, int rowCount)
{
    const MapModel& model = GetDocument().model();
    const int h = m_nLineHeight;
    const int sp = scrollPx();
    const int d = model.AddressDigits;
    const QColor base = palette().color(QPalette::Base);

    // One column: its cells' background, its texts, then the inverted Find match; a text too
    // long for its cell runs on until the next column's background covers it.
    auto paintColumn = [&](int number, const std::vector<int32_t>& plan, auto&& format, int findKind) {
        const ColumnInfo& c = column(m_columns, number);
        const int left = c.nLeft - sp;
        painter.fillRect(QRect(left, h, c.nRight - c.nLeft, rowCount * h), base);
        for (size_t r = 0; r < plan.size(); ++r)
            if (plan[r] >= 0)
                m_glyphs.add(left, static_cast<int>(r + 1) * h, format(plan[r]));
        painter.setPen(palette().color(QPalette::Text));
        m_glyphs.flush(painter);
        if (findKind < 0 || m_nFoundKind != findKind || m_nFoundLength <= 0)
            return;
        const int32_t r = m_nFoundLine - m_nTopLine;
        if (r >= 0 && r < static_cast<int32_t>(plan.size()) && plan[static_cast<size_t>(r)] >= 0)
            invert(painter,
                QRect(left + m_nCharWidth * (m_nFoundOffset + d + 5), (r + 1) * h, m_nCharWidth * m_nFoundLength, h));
    };
    auto symbol = [&](const std::vector<SymbolEntry>& table) {
        return [&table, d](int32_t index) { return FormatSymbolCell(d, table[static_cast<size_t>(index)]); };
    };
    paintColumn(ColumnLabel, PlanItemColumn(model.LabelTable, m_rows.labels, m_nTopLine, rowCount),
        symbol(model.LabelTable), 0);
    if (model.ShowEquList)
        paintColumn(
            ColumnEqu, PlanItemColumn(model.EquTable, m_rows.equs, m_nTopLine, rowCount), symbol(model.EquTable), 3);
    if (model.ShowFunctionList)
        paintColumn(
            ColumnFunction, PlanItemColumn(model.FunctionTable, m_rows.functions, m_nTopLine, rowCount),
            [&](int32_t index) { return FormatFunctionCell(d, model.FunctionTable[static_cast<size_t>(index)]); }, -1);
}

void CFriendRightView::paintBlankArea(QPainter& painter, int rowCount)
{
    const int left = column(m_columns, ColumnFunction).nRight - scrollPx();
    const int right = viewport()->width();
    if (left < right && rowCount > 0)
        painter.fillRect(
            QRect(left, m_nLineHeight, right - left, rowCount * m_nLineHeight), palette().color(QPalette::Base));
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
    // Three lines per notch, as line commands, so the wheel obeys the same limits as the keys.
    const QPoint notches = event->angleDelta() / 120;
    for (int i = 0; i < std::abs(notches.y()) * 3; ++i)
        OnVScroll(notches.y() > 0 ? ScrollLineUp : ScrollLineDown, 0);
    for (int i = 0; i < std::abs(notches.x()) * 3; ++i)
        OnHScroll(notches.x() > 0 ? ScrollLineUp : ScrollLineDown, 0);
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
    if (m_nDragColumn != ColumnNone) {
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
