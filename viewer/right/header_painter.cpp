// header_painter.cpp: the raised header cell: border strips, face and the shadowed text.
#include "right/header_painter.hpp"

#include <QFontMetrics>
#include <QPainter>

namespace tessaly {

void CHeaderPainter::Paint(
    QPainter& painter, const QRect& cell, const QString& text, Alignment alignment, bool selected) const
{
    const int l = cell.left();
    const int t = cell.top();
    const int r = cell.left() + cell.width(); // exclusive edges, as the cell's corners are given
    const int b = cell.top() + cell.height();
    const int bx = m_nBorderX;
    const int by = m_nBorderY;

    const QBrush highlight = m_palette.brush(QPalette::Light);
    const QBrush shadow = m_palette.brush(QPalette::Dark);
    painter.fillRect(QRect(l, t, r - l - by, by), highlight);
    painter.fillRect(QRect(l, t + by, bx, b - t - by), highlight);
    painter.fillRect(QRect(l + bx, b - by, r - bx - l, by), shadow);
    painter.fillRect(QRect(r - bx, t + by, bx, b - 2 * by - t), shadow);
    const QRect face(l + bx, t + by, r - 2 * bx - l, b - 2 * by - t);
    painter.fillRect(face, selected ? m_palette.brush(QPalette::Highlight) : m_palette.brush(QPalette::Button));

    const QFontMetrics metrics(painter.font());
    const int cw = metrics.averageCharWidth();
    int x = l + cw;
    if (alignment == AlignCentre)
        x = (r + l - cw * static_cast<int>(text.size())) / 2;
    else if (alignment == AlignRight)
        x = r - cw * (static_cast<int>(text.size()) + 1);
    const int baseline = t + metrics.ascent();

    painter.save();
    painter.setClipRect(QRect(l, t, r - l, b - t), Qt::IntersectClip);
    if (selected) {
        painter.setPen(m_palette.color(QPalette::HighlightedText));
        painter.drawText(QPoint(x, baseline), text);
    } else {
        painter.setPen(QColor(255, 255, 255));
        painter.drawText(QPoint(x + 1, baseline + 1), text);
        painter.setPen(QColor(0, 0, 0));
        painter.drawText(QPoint(x, baseline), text);
    }
    painter.restore();
}

} // namespace tessaly
