// list_renderer.cpp: boxes, edges, glyph runs and inverted matches of a plan, and the screen's header row.
#include "right/list_renderer.hpp"

#include "right/header_painter.hpp"
#include "shell/cell_glyphs.hpp"

#include <QPainter>
#include <algorithm>
#include <optional>

namespace tessaly {

namespace {

QColor toQColor(Rgb rgb)
{
    return QColor(rgb.r, rgb.g, rgb.b);
}

bool itemColumn(int number)
{
    return number != ColumnAddress && number != ColumnSection;
}

class Renderer {
public:
    Renderer(QPainter& painter, const ListPlan& plan, const ListStyle& style)
        : m_painter(painter)
        , m_plan(plan)
        , m_style(style)
        , m_glyphs(*style.glyphs)
        , m_h(style.glyphs->grid().lineHeight)
        , m_cw(style.glyphs->grid().charWidth)
    {
    }

    void render()
    {
        size_t cell = 0;
        for (const ColumnSpan& span : m_style.columns) {
            // The cells come column by column in column order; a column without cells has none.
            while (cell < m_plan.cells.size() && m_plan.cells[cell].column < span.number)
                ++cell;
            size_t end = cell;
            while (end < m_plan.cells.size() && m_plan.cells[end].column == span.number)
                ++end;
            column(span, cell, end);
            cell = end;
        }
        if (m_style.opaque && !m_style.columns.empty()) {
            const int left = m_style.columns.back().right;
            if (left < m_style.fillRight && m_plan.blockRows > 0)
                m_painter.fillRect(
                    QRect(left, m_style.rowsTop, m_style.fillRight - left, m_plan.blockRows * m_h), m_style.window);
        }
        closing();
    }

private:
    int rowY(int32_t row) const { return m_style.rowsTop + row * m_h; }

    void column(const ColumnSpan& span, size_t begin, size_t end)
    {
        const int rows = itemColumn(span.number) ? m_plan.itemRows : m_plan.blockRows;
        // The Section column's boxes cover its cells; the window colour fills the rest.
        if (span.number == ColumnSection)
            boxes(span);
        else if (m_style.opaque && rows > 0)
            m_painter.fillRect(QRect(span.left, m_style.rowsTop, span.right - span.left, rows * m_h), m_style.window);
        texts(span, begin, end);
        if (span.number == ColumnSection)
            edges(span);
        for (size_t k = begin; k < end; ++k) {
            const PlanCell& c = m_plan.cells[k];
            if (c.highlight.length == 0)
                continue;
            const int x = span.left + (c.highlight.length == kWholeCell ? 0 : m_cw * c.highlight.start);
            const int width = c.highlight.length == kWholeCell ? span.right - span.left : m_cw * c.highlight.length;
            InvertRect(m_painter, QRect(x, rowY(c.row), width, m_h));
        }
    }

    // Each block's rows filled with its tag colour and, on an opaque surface, the rows without a
    // block with the window's; neighbouring rows of one colour together, each pixel once.
    void boxes(const ColumnSpan& span)
    {
        auto fillOf = [&](int32_t r) -> std::optional<QColor> {
            const PlanRow& row = m_plan.rows[static_cast<size_t>(r)];
            if (row.block >= 0)
                return toQColor(row.box);
            if (m_style.opaque)
                return m_style.window;
            return std::nullopt;
        };
        int32_t r = 0;
        while (r < m_plan.blockRows) {
            const std::optional<QColor> fill = fillOf(r);
            int32_t end = r + 1;
            while (end < m_plan.blockRows && fillOf(end) == fill)
                ++end;
            if (fill)
                m_painter.fillRect(QRect(span.left, rowY(r), span.right - span.left, (end - r) * m_h), *fill);
            r = end;
        }
    }

    // The texts in their inks, each ink as one glyph run; a section text stands inside its box.
    void texts(const ColumnSpan& span, size_t begin, size_t end)
    {
        for (const Ink ink : { Ink::Black, Ink::WindowText, Ink::Red, Ink::Green }) {
            bool any = false;
            for (size_t k = begin; k < end; ++k) {
                const PlanCell& c = m_plan.cells[k];
                if (c.ink != ink || c.textLength == 0)
                    continue;
                const bool inBox = span.number == ColumnSection && m_plan.rows[static_cast<size_t>(c.row)].block >= 0;
                const int x = span.left + (inBox ? m_style.boxTextInset : 0) + c.indent * m_cw;
                const std::string_view text = m_plan.text(c);
                if (c.utf8)
                    m_glyphs.addText(
                        x, rowY(c.row), QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
                else
                    m_glyphs.add(x, rowY(c.row), text);
                any = true;
            }
            if (!any)
                continue;
            m_painter.setPen(inkColour(ink));
            m_glyphs.flush(m_painter);
        }
    }

    QColor inkColour(Ink ink) const
    {
        switch (ink) {
        case Ink::Red:
            return kRedInk;
        case Ink::Green:
            return kGreenInk;
        case Ink::Black:
            return QColor(0, 0, 0);
        case Ink::WindowText:
            break;
        }
        return m_style.windowText;
    }

    QPen edgePen() const
    {
        // Square caps close the corners where a thick top edge meets the side edges.
        return QPen(QBrush(Qt::black), m_style.edgeWidth, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin);
    }

    // A top edge on each block's first row and the side edges down every run of block rows.
    void edges(const ColumnSpan& span)
    {
        std::vector<QLine> lines;
        lines.reserve(static_cast<size_t>(m_plan.blockRows) + 2);
        const int left = span.left;
        const int right = span.right - 1;
        int32_t r = 0;
        while (r < m_plan.blockRows) {
            if (m_plan.rows[static_cast<size_t>(r)].block < 0) {
                ++r;
                continue;
            }
            int32_t end = r;
            for (; end < m_plan.blockRows && m_plan.rows[static_cast<size_t>(end)].block >= 0; ++end)
                if (m_plan.rows[static_cast<size_t>(end)].blockStart)
                    lines.emplace_back(left, rowY(end), right, rowY(end));
            lines.emplace_back(left, rowY(r), left, rowY(end) - 1);
            lines.emplace_back(right, rowY(r), right, rowY(end) - 1);
            r = end;
        }
        m_painter.setPen(edgePen());
        m_painter.drawLines(lines.data(), static_cast<int>(lines.size()));
    }

    // The last block's bottom edge and the closing line under it. On the screen the bottom edge
    // is the last row's own bottom pixel; paper's thick line lies on the border itself.
    void closing()
    {
        if (m_plan.closeRow < 0)
            return;
        const auto section = std::find_if(m_style.columns.begin(), m_style.columns.end(),
            [](const ColumnSpan& span) { return span.number == ColumnSection; });
        if (section == m_style.columns.end())
            return;
        const int y = rowY(m_plan.closeRow);
        m_painter.setPen(edgePen());
        if (m_style.edgeWidth == 1)
            m_painter.drawLine(section->left, y - 1, section->right - 1, y - 1);
        m_painter.drawLine(section->left, y, section->right - 1, y);
    }

    QPainter& m_painter;
    const ListPlan& m_plan;
    const ListStyle& m_style;
    CellGlyphs& m_glyphs;
    int m_h;
    int m_cw;
};

} // namespace

ListStyle ScreenListStyle(
    const std::vector<ColumnSpan>& columns, CellGlyphs& glyphs, int rowsTop, int fillRight, const QPalette& palette)
{
    ListStyle style;
    style.columns = columns;
    style.glyphs = &glyphs;
    style.rowsTop = rowsTop;
    style.opaque = true;
    style.fillRight = fillRight;
    style.edgeWidth = 1;
    style.boxTextInset = 1;
    style.window = palette.color(QPalette::Base);
    style.windowText = palette.color(QPalette::Text);
    return style;
}

ListStyle PaperListStyle(const std::vector<ColumnSpan>& columns, CellGlyphs& glyphs, int rowsTop)
{
    ListStyle style;
    style.columns = columns;
    style.glyphs = &glyphs;
    style.rowsTop = rowsTop;
    style.opaque = false;
    style.edgeWidth = 3;
    style.boxTextInset = 0;
    return style;
}

void RenderList(QPainter& painter, const ListPlan& plan, const ListStyle& style)
{
    if (!style.glyphs)
        return;
    painter.save();
    Renderer(painter, plan, style).render();
    painter.restore();
}

void RenderHeaderRow(QPainter& painter, const std::vector<ColumnSpan>& columns, const MapModel& model, int lineHeight,
    int extentRight, const QPalette& palette)
{
    const CHeaderPainter header(palette);
    for (const ColumnSpan& span : columns)
        header.Paint(painter, QRect(span.left, 0, span.right - span.left, lineHeight),
            QString::fromLatin1(ColumnHeaderText(span.number, model.AddressDigits, model.ShowLocalInformation)));
    const int end = columns.empty() ? 0 : columns.back().right;
    if (end < extentRight)
        header.Paint(painter, QRect(end, 0, extentRight - end, lineHeight), QString());
}

void InvertRect(QPainter& painter, const QRect& rect)
{
    painter.save();
    painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    painter.fillRect(rect, Qt::white);
    painter.restore();
}

} // namespace tessaly
