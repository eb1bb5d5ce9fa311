// cell_glyphs.hpp: the character-cell grid of a font, and CellGlyphs, which writes cell texts glyph by glyph on it.
#pragma once

#include <QFont>
#include <QPointF>
#include <QRawFont>
#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

class QPainter;
class QPaintDevice;

namespace tessaly {

// A font's character cell on a device: positions are multiples of charWidth and lineHeight, and a
// text's baseline lies ascent below its cell's top.
struct CellGrid {
    int charWidth = 1;
    int lineHeight = 1;
    int ascent = 0;
};

// The grid of a font on a device: its average character width, its height (with the external
// leading when withLeading is set: the screen has it, paper not) and its ascent.
CellGrid MeasureCellGrid(const QFont& font, const QPaintDevice* device, bool withLeading);

// The list's and the pictures' texts are single-byte names in a fixed-pitch font, drawn by the
// thousand: each byte is looked up once in a table of the font's glyphs, and character i goes to
// x + i·cw exactly, so a text of n characters fills n cells and costs no text shaping.
class CellGlyphs {
public:
    CellGlyphs() = default;
    CellGlyphs(const QFont& font, const CellGrid& grid);

    // Queues a text whose first cell has its top-left corner at (x, y).
    void add(int x, int y, std::string_view text);
    // Draws everything queued, in the painter's pen colour, as one glyph run, and empties the queue.
    void flush(QPainter& painter);
    // add and flush.
    void draw(QPainter& painter, int x, int y, std::string_view text);

    const CellGrid& grid() const { return m_grid; }

private:
    QRawFont m_rawFont;
    std::array<quint32, 256> m_glyphs {}; // glyph index of each byte, through NameText
    CellGrid m_grid;
    bool m_bUnderline = false;
    bool m_bStrikeOut = false;
    std::vector<quint32> m_indexes; // the queue, reused between paints
    std::vector<QPointF> m_positions;
    std::vector<size_t> m_starts; // where each queued text begins, for underlined fonts
};

} // namespace tessaly
