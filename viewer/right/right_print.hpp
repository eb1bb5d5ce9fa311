// right_print.hpp: printing the symbol list through Qt: the print job, its pages, the print and preview commands and
// the PDF export.
#pragma once

#include "map_model.hpp"
#include "right/print_pagination.hpp"
#include "right/right_layout.hpp"
#include "shell/cell_glyphs.hpp"
#include "shell/log_font.hpp"

#include <QFont>
#include <QRect>
#include <QString>
#include <functional>

class QPainter;
class QPaintDevice;
class QPrinter;

namespace tessaly {

class CFriendRightView;

// One print or preview job, from begin printing to end printing: the print font made for the
// device and the page count. Pages are drawn from the tables as they are when each is printed.
class ListPrintJob {
public:
    // Begin printing: the screen font's height, taken as points, scaled to the device's
    // horizontal resolution (smaller when the widest line would not fit pageRect's width, and
    // narrowed when a compared list still would not);
    // the lines of a drawing rectangle pageRect tall; the page count.
    ListPrintJob(const MapModel& model, const ListRows& rows, const LogFont& screenFont, QPaintDevice& device,
        const QRect& pageRect);

    int32_t maxPage() const { return m_nMaxPage; }
    int32_t linesPerPage() const { return m_nLinesPerPage; }
    int32_t charWidth() const { return m_nPrintCharWidth; }
    // The factor the body's cells are narrowed by (PrintCellNarrowing), 1 when they are not.
    double cellNarrowing() const { return m_cellNarrowing; }
    int32_t lineHeight() const { return m_nPrintLineHeight; }
    const QFont& font() const { return m_printFont; }

    // Header, footer and body of one page, in the painter's device units, on the drawing
    // rectangle pageRect; the body is the list's renderer drawing the page's plan. The painter's
    // font and pen are restored afterwards.
    void PrintPage(QPainter& painter, int32_t page, const QRect& pageRect) const;

    // "File: " and the path, elided in the middle to the width, so the file name stays in view.
    QString HeaderText(int width) const;

private:
    const MapModel& m_model;
    const ListRows& m_rows;
    QPaintDevice& m_device;
    QFont m_printFont;
    mutable CellGlyphs m_glyphs; // its queue changes as a page is drawn
    int32_t m_nPrintCharWidth = 1;
    double m_cellNarrowing = 1.0;
    int32_t m_nPrintLineHeight = 1;
    int32_t m_nLinesPerPage = 1;
    int32_t m_nMaxPage = 0;
};

// Which pages a job prints: all of them, or the range chosen in the print dialog.
enum class PageRange { All, Chosen };

// Numbers the rows for the model's options and prints the list on the printer, the pages of
// the printer's chosen range when asked (clipped to the job), else all. False when no file is
// loaded or the printer cannot be painted on.
bool PrintList(QPrinter& printer, MapModel& model, const LogFont& screenFont, PageRange range = PageRange::All);

// The printer the print commands use; the application's, so that Printer Set Up applies to it.
using PrinterSource = std::function<QPrinter&()>;

// Gives the right pane its print commands: Print (57607) with the print dialog and Print
// Preview (57609) with the preview window, both through the platform layer. Being the pane's
// own, they reach it only while it is the active pane; without a file they do nothing at all.
void InstallPrintCommands(CFriendRightView& view, PrinterSource printer);

// The list as a PDF file of A4 pages at 300 dots per inch, through the same pages as the
// printout; no window or dialog. False when no file is loaded or the file cannot be written.
bool ExportListPdf(const QString& path, MapModel& model, const LogFont& screenFont);

} // namespace tessaly
