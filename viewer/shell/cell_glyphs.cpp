// cell_glyphs.cpp: fitting the cell to a font's ink, the byte-to-glyph table and the glyph runs of the cells.
#include "shell/cell_glyphs.hpp"

#include "shell/name_text.hpp"

#include <QFontMetrics>
#include <QGlyphRun>
#include <QPainter>
#include <QString>
#include <algorithm>

namespace tessaly {

namespace {

// Control bytes show as blanks.
QString allNameCharacters()
{
    std::string bytes(256, ' ');
    for (int b = 32; b < 256; ++b)
        bytes[static_cast<size_t>(b)] = static_cast<char>(b);
    return NameText(bytes);
}

} // namespace

CellGrid FitCellToInk(int charWidth, int ascent, int height, InkExtent ink, InkMargins margins)
{
    CellGrid grid;
    grid.charWidth = std::max(charWidth, 1);
    grid.ascent = std::max(ascent, ink.above + margins.top);
    grid.lineHeight = std::max({ height, grid.ascent + ink.below + margins.bottom, 1 });
    return grid;
}

InkExtent MeasureInk(const QFont& font, const QPaintDevice* device)
{
    const QFontMetrics metrics(font, device);
    InkExtent ink;
    for (const QChar c : allNameCharacters()) {
        if (c == QLatin1Char(' '))
            continue;
        // The rectangle the glyph's ink covers, its baseline at y = 0; the rows -above..below-1.
        const QRect r = metrics.boundingRect(c);
        if (r.isEmpty())
            continue;
        ink.above = std::max(ink.above, -r.top());
        ink.below = std::max(ink.below, r.bottom() + 1);
    }
    return ink;
}

CellGrid MeasureCellGrid(const QFont& font, const QPaintDevice* device, bool withLeading, InkMargins margins)
{
    const QFontMetrics metrics(font, device);
    const int height = metrics.height() + (withLeading ? std::max(metrics.leading(), 0) : 0);
    return FitCellToInk(metrics.averageCharWidth(), metrics.ascent(), height, MeasureInk(font, device), margins);
}

CellGlyphs::CellGlyphs(const QFont& font, const CellGrid& grid)
    : m_rawFont(QRawFont::fromFont(font))
    , m_grid(grid)
    , m_bUnderline(font.underline())
    , m_bStrikeOut(font.strikeOut())
{
    const QList<quint32> indexes = m_rawFont.glyphIndexesForString(allNameCharacters());
    for (qsizetype b = 0; b < indexes.size() && b < 256; ++b)
        m_glyphs[static_cast<size_t>(b)] = indexes[b];
}

void CellGlyphs::add(int x, int y, std::string_view text)
{
    const qreal baseline = y + m_grid.ascent;
    m_starts.push_back(m_indexes.size());
    for (size_t i = 0; i < text.size(); ++i) {
        m_indexes.push_back(m_glyphs[static_cast<unsigned char>(text[i])]);
        m_positions.emplace_back(x + static_cast<qreal>(i) * m_grid.charWidth, baseline);
    }
}

void CellGlyphs::addText(int x, int y, const QString& text)
{
    const qreal baseline = y + m_grid.ascent;
    m_starts.push_back(m_indexes.size());
    const QList<quint32> indexes = m_rawFont.glyphIndexesForString(text);
    for (qsizetype i = 0; i < indexes.size(); ++i) {
        m_indexes.push_back(indexes[i]);
        m_positions.emplace_back(x + static_cast<qreal>(i) * m_grid.charWidth, baseline);
    }
}

void CellGlyphs::flush(QPainter& painter)
{
    auto drawRun = [&](size_t begin, size_t end) {
        if (begin >= end)
            return;
        QGlyphRun run;
        run.setRawFont(m_rawFont);
        run.setRawData(m_indexes.data() + begin, m_positions.data() + begin, static_cast<int>(end - begin));
        run.setUnderline(m_bUnderline);
        run.setStrikeOut(m_bStrikeOut);
        painter.drawGlyphRun(QPointF(0, 0), run);
    };
    if (m_rawFont.isValid()) {
        if (m_bUnderline || m_bStrikeOut) {
            // A decoration line spans its run, so each text gets a run of its own.
            for (size_t k = 0; k < m_starts.size(); ++k)
                drawRun(m_starts[k], k + 1 < m_starts.size() ? m_starts[k + 1] : m_indexes.size());
        } else {
            drawRun(0, m_indexes.size());
        }
    }
    m_indexes.clear();
    m_positions.clear();
    m_starts.clear();
}

void CellGlyphs::draw(QPainter& painter, int x, int y, std::string_view text)
{
    add(x, y, text);
    flush(painter);
}

} // namespace tessaly
