// list_renderer.hpp: the one renderer of the symbol list: a plan drawn in the style of the screen or of paper.
#pragma once

#include "map_model.hpp"
#include "right/list_columns.hpp"
#include "right/list_plan.hpp"

#include <QColor>
#include <QPalette>
#include <QRect>
#include <span>
#include <vector>

class QPainter;

namespace tessaly {

class CellGlyphs;

// The inks of the list's red and green texts (a dark green, readable on white).
inline const QColor kRedInk { 255, 0, 0 };
inline const QColor kGreenInk { 0, 128, 0 };

// What differs between the screen and paper, besides the plan's window. The glyphs carry the
// font and its cell grid on the device.
struct ListStyle {
    std::span<const ColumnSpan> columns; // the shown columns in order, in device units; not owned
    int rowsTop = 0; // y of the plan's row 0
    CellGlyphs* glyphs = nullptr;
    // The screen fills every column's cells with the window colour before writing them, so a
    // text that runs past its cell is covered by the next column; its rows go on blank to
    // fillRight. Paper writes on the white page.
    bool opaque = false;
    int fillRight = 0;
    // Black edges: one pixel inside the cells on the screen, three units centred on the cell
    // borders on paper.
    int edgeWidth = 1;
    int boxTextInset = 0; // the section text stands this far right of the box's left edge
    QColor window { 255, 255, 255 };
    QColor windowText { 0, 0, 0 };
};

// The screen's style for a pane whose columns are spans: 1-pixel edges, opaque cells.
ListStyle ScreenListStyle(
    const std::vector<ColumnSpan>& columns, CellGlyphs& glyphs, int rowsTop, int fillRight, const QPalette& palette);
// Paper's style: three-unit edges, the page's white, black text.
ListStyle PaperListStyle(const std::vector<ColumnSpan>& columns, CellGlyphs& glyphs, int rowsTop);

// Draws the plan's rows column by column, left to right: each column's cells (the Section
// column's boxes, texts and edges), then its inverted matches; the closing edge last.
void RenderList(QPainter& painter, const ListPlan& plan, const ListStyle& style);

// The screen's header row: a raised cell per shown column with its header text, and a blank one
// from the last column to extentRight.
void RenderHeaderRow(QPainter& painter, const std::vector<ColumnSpan>& columns, const MapModel& model, int lineHeight,
    int extentRight, const QPalette& palette);

// Inverts a rectangle of what is drawn (the Find match, the drag bar).
void InvertRect(QPainter& painter, const QRect& rect);

} // namespace tessaly
