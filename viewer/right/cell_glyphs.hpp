// cell_glyphs.hpp: CellGlyphs, which writes cell texts glyph by glyph on the character-cell grid.
#pragma once

#include <QFont>
#include <QPointF>
#include <QRawFont>
#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

class QPainter;

namespace tessaly {

// The list's texts are single-byte names in a fixed-pitch font, drawn by the thousand: each byte
// is looked up once in a table of the font's glyphs, and character i goes to x + i·cw exactly,
// so a text of n characters fills n cells and costs no text shaping.
class CellGlyphs {
public:
    CellGlyphs() = default;
    CellGlyphs(const QFont& font, int charWidth);

    // Queues a text whose first cell has its top-left corner at (x, y).
    void add(int x, int y, std::string_view text);
    // Draws everything queued, in the painter's pen colour, as one glyph run, and empties the queue.
    void flush(QPainter& painter);
    // add and flush.
    void draw(QPainter& painter, int x, int y, std::string_view text);

    int ascent() const { return m_nAscent; }

private:
    QRawFont m_rawFont;
    std::array<quint32, 256> m_glyphs {}; // glyph index of each byte, read as Latin-1
    int m_nCharWidth = 1;
    int m_nAscent = 0;
    bool m_bUnderline = false;
    bool m_bStrikeOut = false;
    std::vector<quint32> m_indexes; // the queue, reused between paints
    std::vector<QPointF> m_positions;
    std::vector<size_t> m_starts; // where each queued text begins, for underlined fonts
};

} // namespace tessaly
