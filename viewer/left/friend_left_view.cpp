// friend_left_view.cpp: the left pane's font, scrolling, paint of both pictures, marker, context menu, Jump and zoom.
#include "left/friend_left_view.hpp"

#include "build_baseline.hpp"
#include "right/list_renderer.hpp"
#include "section_tag.hpp"
#include "shell/commands.hpp"
#include "shell/main_frame.hpp"
#include "shell/name_text.hpp"
#include "shell/tessaly_doc.hpp"

#include <QContextMenuEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>
#include <limits>
#include <string>
#include <string_view>

namespace tessaly {

namespace {

const QColor kBlack(0, 0, 0);
const QColor kWhite(255, 255, 255);
const QColor kRed(255, 0, 0);

// Writes texts at the top-left corner of their cell, a character per cell, black unless told, on
// the pane's white when opaque and over whatever lies below when transparent.
struct TextWriter {
    QPainter& painter;
    CellGlyphs& glyphs;

    void write(const PictureText& text, bool opaque = true, const QColor& colour = kBlack) const
    {
        write(text.x, text.y, text.text, opaque, colour);
    }
    void write(int x, int y, std::string_view text, bool opaque = true, const QColor& colour = kBlack) const
    {
        const CellGrid& grid = glyphs.grid();
        if (opaque)
            painter.fillRect(QRect(x, y, grid.charWidth * static_cast<int>(text.size()), grid.lineHeight), kWhite);
        painter.setPen(colour);
        glyphs.draw(painter, x, y, text);
    }
};

// A rectangle outlined with the one-pixel black pen and filled with the brush; like the
// platform's, its right and bottom edges are not drawn, so neighbours can share a line.
void drawOutlined(QPainter& painter, const PictureRect& r, const QColor& fill)
{
    painter.setPen(QPen(kBlack, 1));
    if (fill.alpha() == 0)
        painter.setBrush(Qt::NoBrush);
    else
        painter.setBrush(fill);
    painter.drawRect(QRect(r.left, r.top, std::max(r.right - r.left - 1, 0), std::max(r.bottom - r.top - 1, 0)));
    painter.setBrush(Qt::NoBrush);
}

// A block that changed size since the baseline gets an edge of two pixels inside its outline, in
// the list's colours: red for grown, green for shrunk.
void drawChangedEdge(QPainter& painter, const PictureRect& r, int sizeChange)
{
    if (sizeChange == 0)
        return;
    const QRect inside(r.left + 1, r.top + 1, r.right - r.left - 2, r.bottom - r.top - 2);
    if (inside.width() <= 0 || inside.height() <= 0)
        return;
    painter.save();
    painter.setPen(QPen(sizeChange > 0 ? kRedInk : kGreenInk, 2, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    painter.setBrush(Qt::NoBrush);
    // A 2-pixel pen straddles its line: inset by one more so that it stays inside.
    painter.drawRect(inside.adjusted(1, 1, -1, -1));
    painter.restore();
}

QColor toQColor(Rgb rgb)
{
    return QColor(rgb.r, rgb.g, rgb.b);
}

} // namespace

CFriendLeftView::CFriendLeftView(CTessalyDoc& document, CMainFrame& frame, QWidget* parent)
    : PaneView(document, frame, parent)
{
    frame.m_pLeftView = this;
    m_logFont = paneInitialLogFont();
    m_font = createFont(m_logFont);
    RemeasureFont();
    m_memorySize.barBottom = viewport()->height();
    m_nMarkerAddress = 0;
    m_nMarkerY = m_nLineHeight;
    m_nListMarkerY = m_nLineHeight;
    m_nPrevMarkerY = m_nLineHeight;
    // Moves without a button pressed feed the status bar's address.
    viewport()->setMouseTracking(true);
    registerCommands();
}

void CFriendLeftView::registerCommands()
{
    onCommand(ID_JUMP, [this] { OnJump(); });
    onCommand(
        ID_ZOOM_IN, [this] { OnZoomIn(); }, [this](CommandState& state) { OnUpdateZoomIn(state); });
    onCommand(
        ID_ZOOM_OUT, [this] { OnZoomOut(); }, [this](CommandState& state) { OnUpdateZoomOut(state); });
}

void CFriendLeftView::RemeasureFont()
{
    // The cell holds every glyph whole, clear of the box border along its top row.
    const CellGrid grid = MeasureCellGrid(m_font, viewport(), true, InkMargins { 1, 0 });
    m_nCharWidth = grid.charWidth;
    m_nLineHeight = grid.lineHeight;
    m_glyphs = CellGlyphs(m_font, grid);
}

// ---------------------------------------------------------------------------------------------
// Scrolling: a plain scrolling view whose extent, page and line steps every paint sets.

QPoint CFriendLeftView::scrollPosition() const
{
    return QPoint(horizontalScrollBar()->value(), verticalScrollBar()->value());
}

void CFriendLeftView::setScrollSizes(const ScrollSizes& sizes)
{
    const auto apply = [](QScrollBar* bar, int extent, int page, int line) {
        bar->setRange(0, std::max(extent - page, 0));
        bar->setPageStep(std::max(page, 1));
        bar->setSingleStep(std::max(line, 1));
    };
    apply(horizontalScrollBar(), sizes.width, sizes.pageWidth, sizes.lineWidth);
    apply(verticalScrollBar(), sizes.height, sizes.pageHeight, sizes.lineHeight);
}

void CFriendLeftView::scrollContentsBy(int, int)
{
    viewport()->update();
}

void CFriendLeftView::OnInitialUpdate()
{
    // The update resets the zoom and repaints, so a new document never shows the old stretched
    // picture.
    PaneView::OnInitialUpdate();
    // The framework's defaults for a 100 x 100 extent: a tenth of it per page, a tenth of
    // that per line.
    setScrollSizes({ 100, 100, 10, 10, 1, 1 });
    m_nZoom = 1;
}

void CFriendLeftView::OnUpdate(PaneView*)
{
    const MapModel& model = GetDocument().model();
    m_nZoom = 1;
    m_nVisibleRows = model.FileLoaded ? CountVisibleRows(model) : 0;
    const QSize client = viewport()->size();
    const int64_t height = (static_cast<int64_t>(model.SectionTable.size()) + 1) * m_nLineHeight;
    setScrollSizes({ 1000, static_cast<int32_t>(std::min<int64_t>(height, std::numeric_limits<int32_t>::max())),
        client.width(), client.height(), m_nCharWidth, m_nLineHeight });
    Invalidate();
}

// ---------------------------------------------------------------------------------------------
// Paint.

void CFriendLeftView::OnDraw(QPainter& painter)
{
    if (!GetDocument().model().FileLoaded)
        return;
    if (GetDocument().model().ImageMode == MemorySizeImage)
        drawMemorySize(painter);
    else
        drawSectionList(painter);
}

void CFriendLeftView::drawSectionList(QPainter& painter)
{
    const MapModel& model = GetDocument().model();
    // Counted at every paint, so the rows always match the table of the last open, whoever
    // cleared TablesChanged first.
    m_rowEntries = SectionListRowEntries(model);
    m_nVisibleRows = static_cast<int32_t>(m_rowEntries.size());
    const QSize client = viewport()->size();
    setScrollSizes(SectionListScrollSizes(model, cell(), m_nVisibleRows, client.width(), client.height()));

    const QPoint origin = scrollPosition();
    painter.translate(-origin);
    const SectionListPicture picture = BuildSectionListPicture(
        model, cell(), m_nListMarkerY, m_nPrevMarkerY, { origin.y(), origin.y() + client.height() });
    m_sectionList = picture.geometry;

    const TextWriter writer { painter, m_glyphs };
    writer.write(picture.header);
    writer.write(picture.sectionHeader);
    for (const SectionListRow& row : picture.rows) {
        const SectionTag tag = GetSectionTag(row.record);
        writer.write(row.address);
        drawOutlined(painter, row.box, toQColor(tag.colour));
        drawChangedEdge(painter, row.box, SectionSizeChange(model, row.entry));
        writer.write(row.name.x, row.name.y, std::string(tag.text) + ' ' + row.name.text, false);
    }
    writer.write(picture.markerWipe);
    writer.write(picture.marker, true, kRed);
    writer.write(picture.maxAddress);
}

void CFriendLeftView::drawMemorySize(QPainter& painter)
{
    const MapModel& model = GetDocument().model();
    const QSize client = viewport()->size();
    setScrollSizes(MemorySizeScrollSizes(model, cell(), m_nZoom, client.width(), client.height()));

    const QPoint origin = scrollPosition();
    painter.translate(-origin);
    // The marker is placed on this paint's bar, so it keeps to its address through zooms and
    // resizes between two paints of the right pane.
    const MemorySizeGeometry geometry = MemorySizeGeometry::Compute(model, cell(), client.height(), m_nZoom);
    m_nMarkerY = geometry.markerY(m_nMarkerAddress, m_nLineHeight);
    const MemorySizePicture picture = BuildMemorySizePicture(
        model, cell(), client.height(), m_nZoom, m_nMarkerY, { origin.y(), origin.y() + client.height() });
    m_memorySize = picture.geometry;

    const TextWriter writer { painter, m_glyphs };
    writer.write(picture.header);
    writer.write(picture.mapHeader);
    writer.write(picture.sectionHeader);
    drawOutlined(painter, picture.frame, kWhite);
    if (picture.startLabel)
        writer.write(*picture.startLabel);
    // Free areas first: a section thinner than a pixel shares its row with the free area after
    // it, and would vanish under it if the bands were filled in table order alone.
    for (const bool sections : { false, true }) {
        for (const MemorySizeBand& band : picture.bands) {
            if ((band.record->name != nullptr) != sections)
                continue;
            const PictureRect& r = band.rect;
            painter.fillRect(
                QRect(r.left, r.top, r.right - r.left, r.bottom - r.top), toQColor(GetSectionTag(band.record).colour));
        }
    }
    // The bands cover the frame's border columns, and white free areas would leave no bar to
    // see, so the outline is drawn once more over them.
    drawOutlined(painter, picture.frame, Qt::transparent);
    for (const MemorySizeBand& band : picture.bands)
        drawChangedEdge(painter, band.rect, SectionSizeChange(model, band.entry));
    for (const PictureText& text : picture.addressLabels)
        writer.write(text);
    for (const PictureText& text : picture.nameLabels)
        writer.write(text);
    for (const PictureText& text : picture.ellipses)
        writer.write(text);
    for (const PictureText& text : picture.freeLabels)
        writer.write(text);
    if (picture.endLabel)
        writer.write(*picture.endLabel);
    writer.write(picture.marker, true, kRed);
}

MemorySizeGeometry CFriendLeftView::currentMemorySizeGeometry() const
{
    return MemorySizeGeometry::Compute(GetDocument().model(), cell(), viewport()->height(), m_nZoom);
}

// ---------------------------------------------------------------------------------------------
// Marker.

void CFriendLeftView::SetMarkerAddress(uint32_t address)
{
    const MapModel& model = GetDocument().model();
    m_nMarkerAddress = address;
    if (model.ImageMode == MemorySizeImage) {
        m_nMarkerY = currentMemorySizeGeometry().markerY(address, m_nLineHeight);
    } else {
        m_nPrevMarkerY = m_nListMarkerY;
        m_nListMarkerY = SectionListMarkerY(model, cell(), address);
    }
    // Qt repaints the whole region over the erased background in both pictures.
    Invalidate();
}

// ---------------------------------------------------------------------------------------------
// Context menu and Jump.

bool CFriendLeftView::ContextMenuWouldOpen(QPoint logical) const
{
    const MapModel& model = GetDocument().model();
    if (!model.FileLoaded)
        return false;
    if (model.ImageMode == MemorySizeImage)
        return m_memorySize.contains(logical.x(), logical.y());
    return m_sectionList.contains(logical.x(), logical.y());
}

bool CFriendLeftView::OnContextMenu(QPoint viewportPoint, QPoint screenPoint)
{
    if (!GetDocument().model().FileLoaded)
        return false;
    const QPoint logical = viewportPoint + scrollPosition();
    if (!ContextMenuWouldOpen(logical))
        return false;
    // Stored before the menu runs: Qt delivers the chosen item while the menu is still open.
    m_ptContext = logical;
    QMenu menu(&GetParentFrame());
    QAction* jump = menu.addAction(QStringLiteral("Jump"));
    jump->setData(static_cast<int>(ID_JUMP));
    CMainFrame& frame = GetParentFrame();
    connect(jump, &QAction::triggered, &frame, [&frame] { frame.router().dispatch(ID_JUMP); });
    if (m_trackPopupMenu)
        m_trackPopupMenu(menu, screenPoint);
    else
        menu.exec(screenPoint);
    return true;
}

void CFriendLeftView::contextMenuEvent(QContextMenuEvent* event)
{
    OnContextMenu(event->pos(), event->globalPos());
    event->accept();
}

void CFriendLeftView::OnJump()
{
    const MapModel& model = GetDocument().model();
    if (!model.FileLoaded)
        return;
    uint32_t address = 0;
    if (model.ImageMode == MemorySizeImage) {
        address = MemorySizeJumpAddress(model, m_memorySize, m_ptContext.y());
        Invalidate();
    } else {
        const std::optional<uint32_t> start = SectionListJumpAddress(model, cell(), m_ptContext.y());
        if (!start)
            return;
        address = *start;
    }
    emit jumpRequested(address);
}

// ---------------------------------------------------------------------------------------------
// Hover.

QString CFriendLeftView::HoverTextAt(QPoint logical) const
{
    const MapModel& model = GetDocument().model();
    if (!model.FileLoaded)
        return {};
    if (model.ImageMode == MemorySizeImage) {
        if (!m_memorySize.contains(logical.x(), logical.y()))
            return {};
        const uint32_t address = m_memorySize.addressAt(logical.y());
        return NameText(HoverText(model, address, SectionEntryAt(model, address)));
    }
    if (!m_sectionList.contains(logical.x(), logical.y()) || m_nLineHeight <= 0)
        return {};
    const int32_t row = logical.y() / m_nLineHeight - 1;
    if (row < 0 || static_cast<std::size_t>(row) >= m_rowEntries.size())
        return {};
    const auto entry = static_cast<std::size_t>(m_rowEntries[static_cast<std::size_t>(row)]);
    // A table built since the last paint may be shorter: the next paint renumbers the rows.
    if (entry >= model.SectionTable.size())
        return {};
    return NameText(HoverText(model, model.SectionTable[entry].record->start, entry));
}

void CFriendLeftView::setHoverText(const QString& text)
{
    if (text == m_hoverText)
        return;
    m_hoverText = text;
    emit hoverTextChanged(text);
}

void CFriendLeftView::mouseMoveEvent(QMouseEvent* event)
{
    setHoverText(HoverTextAt(event->position().toPoint() + scrollPosition()));
    PaneView::mouseMoveEvent(event);
}

bool CFriendLeftView::viewportEvent(QEvent* event)
{
    if (event->type() == QEvent::Leave)
        setHoverText({});
    return PaneView::viewportEvent(event);
}

// ---------------------------------------------------------------------------------------------
// Zoom.

void CFriendLeftView::OnZoomIn()
{
    const int32_t zoom = ZoomedIn(m_nZoom, m_nLineHeight, currentMemorySizeGeometry().barBottom);
    if (zoom == m_nZoom)
        return;
    m_nZoom = zoom;
    Invalidate();
}

void CFriendLeftView::OnZoomOut()
{
    const int32_t zoom = ZoomedOut(m_nZoom);
    if (zoom == m_nZoom)
        return;
    m_nZoom = zoom;
    Invalidate();
}

void CFriendLeftView::OnUpdateZoomIn(CommandState& state) const
{
    state.Enable(
        ZoomState(GetDocument().model(), m_nZoom, m_nLineHeight, currentMemorySizeGeometry().barBottom).zoomInEnabled);
}

void CFriendLeftView::OnUpdateZoomOut(CommandState& state) const
{
    state.Enable(
        ZoomState(GetDocument().model(), m_nZoom, m_nLineHeight, currentMemorySizeGeometry().barBottom).zoomOutEnabled);
}

} // namespace tessaly
