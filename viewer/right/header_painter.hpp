// header_painter.hpp: CHeaderPainter, which paints a header cell in the raised button style.
#pragma once

#include <QPalette>
#include <QRect>
#include <QString>

class QPainter;

namespace tessaly {

class CHeaderPainter {
public:
    enum Alignment { AlignLeft, AlignCentre, AlignRight };

    // palette gives the button highlight, shadow and face colours (and the selection colours).
    explicit CHeaderPainter(const QPalette& palette)
        : m_palette(palette)
    {
    }

    // The border widths, one pixel each as the platform's thin borders are.
    int m_nBorderX = 1;
    int m_nBorderY = 1;

    // A cell from (l, t) to (r, b): highlight top and left strips, shadow bottom and right
    // strips, the face between, and the text at one character in from the left (or centred, or
    // right-aligned), clipped to the cell. A selected cell has the highlight colour inside and
    // its text once in the highlight-text colour; a normal one has white text under black, one
    // pixel down and right, so it looks engraved.
    void Paint(QPainter& painter, const QRect& cell, const QString& text, Alignment alignment = AlignLeft,
        bool selected = false) const;

private:
    QPalette m_palette;
};

} // namespace tessaly
