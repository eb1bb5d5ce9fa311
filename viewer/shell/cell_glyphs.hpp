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

// Rows at the top and bottom of every cell that no glyph may touch, because lines are drawn there
// (the box edges and borders of the panes, the thick edges of the printout).
struct InkMargins {
    int top = 0;
    int bottom = 0;
};

// Where the ink of a font reaches, in rows above and below its baseline, over every character a
// name can hold (each byte is one character).
struct InkExtent {
    int above = 0; // rows from the highest ink row down to the baseline, exclusive
    int below = 0; // rows from the baseline down to the lowest ink row, inclusive
};

// The cell for a font whose ascent, height (with any leading) and ink extent are known: the
// baseline and the height grow where the font's own metrics would let a glyph reach over the cell
// or into its margins (Qt rounds the ascent and the descent separately, so an underscore often
// lies one row below the height).
CellGrid FitCellToInk(int charWidth, int ascent, int height, InkExtent ink, InkMargins margins);

// The ink extent of a font on a device.
InkExtent MeasureInk(const QFont& font, const QPaintDevice* device);

// The grid of a font on a device: the average character width, and its height (with the external
// leading when withLeading is set: the screen has it, paper not) fitted around its ink.
CellGrid MeasureCellGrid(const QFont& font, const QPaintDevice* device, bool withLeading, InkMargins margins);

// The list's and the pictures' texts are single-byte names in a fixed-pitch font, drawn by the
// thousand: each byte is looked up once in a table of the font's glyphs, and character i goes to
// x + i·cw exactly, so a text of n characters fills n cells and costs no text shaping.
class CellGlyphs {
public:
    CellGlyphs() = default;
    CellGlyphs(const QFont& font, const CellGrid& grid);

    // Queues a text whose first cell has its top-left corner at (x, y).
    void add(int x, int y, std::string_view text);
    // Queues a text of the viewer's own, any character of the font, one cell each.
    void addText(int x, int y, const QString& text);
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
