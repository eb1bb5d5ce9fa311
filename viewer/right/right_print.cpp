// right_print.cpp: the print job's font and pages, painting one page, the print and preview commands, and the PDF
// export.
#include "right/right_print.hpp"

#include "right/friend_right_view.hpp"
#include "right/list_plan.hpp"
#include "right/list_renderer.hpp"
#include "shell/commands.hpp"
#include "shell/platform.hpp"
#include "shell/tessaly_doc.hpp"

#include <QFile>
#include <QFontMetrics>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <algorithm>

namespace tessaly {

namespace {

constexpr int kPdfResolution = 300;
constexpr int kSmallestPrintPoints = 6;
// The thick edges cover a unit either side of a row's border, so no glyph comes that close.
constexpr InkMargins kPaperInkMargins { 2, 1 };

// The drawing rectangle of a printer: its printable area, with the painter's origin at its
// top-left corner.
QRect drawingRect(const QPrinter& printer)
{
    return QRect(0, 0, printer.width(), printer.height());
}

} // namespace

ListPrintJob::ListPrintJob(
    const MapModel& model, const ListRows& rows, const LogFont& screenFont, QPaintDevice& device, const QRect& pageRect)
    : m_model(model)
    , m_rows(rows)
    , m_device(device)
{
    const int dpi = device.logicalDpiX();
    LogFont description = screenFont;
    description.height = PrintFontHeight(screenFont.height, dpi);
    CellGrid grid;
    auto measure = [&] {
        // A pixel size on a printer is in the printer's dots.
        m_printFont = QFont(createFont(description), &device);
        grid = MeasureCellGrid(m_printFont, &device, false, kPaperInkMargins);
        m_nPrintCharWidth = grid.charWidth;
        m_nPrintLineHeight = grid.lineHeight;
    };
    measure();
    // Lines wider than the paper would lose their ends at its edge: the font shrinks until the
    // widest line fits, though not below six points, where the ends are given up instead.
    const int64_t lineChars = PrintLineChars(model);
    const int32_t smallest = -PrintFontHeight(kSmallestPrintPoints, dpi);
    for (int attempt = 0; attempt < 8 && lineChars * m_nPrintCharWidth > pageRect.width(); ++attempt) {
        const int32_t height = -description.height;
        if (height <= smallest)
            break;
        const auto fitted
            = static_cast<int32_t>(height * int64_t { pageRect.width() } / (lineChars * m_nPrintCharWidth));
        description.height = -std::max(std::min(fitted, height - 1), smallest);
        measure();
    }
    m_cellNarrowing = PrintCellNarrowing(model.Baseline != nullptr, lineChars, m_nPrintCharWidth, pageRect.width());
    m_glyphs = CellGlyphs(m_printFont, grid);
    m_nLinesPerPage = PrintLinesPerPage(pageRect.height(), m_nPrintLineHeight);
    m_nMaxPage = PrintMaxPage(model.FileLoaded, rows.lineCount, m_nLinesPerPage);
}

QString ListPrintJob::HeaderText(int width) const
{
    // The path is kept in the file system's encoding.
    const QString text = QFile::decodeName(QByteArray::fromStdString(PrintHeaderText(m_model.LoadedPath)));
    return QFontMetrics(m_printFont, &m_device).elidedText(text, Qt::ElideMiddle, width);
}

void ListPrintJob::PrintPage(QPainter& painter, int32_t page, const QRect& pageRect) const
{
    painter.save();
    painter.setFont(m_printFont);
    painter.setBackgroundMode(Qt::TransparentMode);
    const QFontMetrics metrics(m_printFont, painter.device());
    const int cy = m_nPrintLineHeight;
    const int ascent = m_glyphs.grid().ascent;
    const PrintFrame frame = PrintFrameFor(pageRect.top(), pageRect.top() + pageRect.height(), cy);
    const QPen rulePen(QBrush(Qt::black), 1, Qt::SolidLine, Qt::FlatCap);

    painter.setPen(rulePen);
    painter.drawText(QPoint(pageRect.left(), frame.headerTextY + ascent), HeaderText(pageRect.width()));
    painter.drawLine(pageRect.left(), frame.headerRuleY, pageRect.right(), frame.headerRuleY);

    const QString footer = QString::fromStdString(PrintFooterText(page, m_nMaxPage));
    const int cx = metrics.horizontalAdvance(footer);
    painter.drawLine(pageRect.left(), frame.footerRuleY, pageRect.right(), frame.footerRuleY);
    painter.drawText(QPoint(pageRect.left() + (pageRect.width() - cx) / 2, frame.footerTextY + ascent), footer);

    const ListPlan plan = PlanList(m_model, m_rows, PrintPageRequest(m_nLinesPerPage, page));
    const std::vector<ColumnSpan> columns = PrintColumnSpans(m_model, m_nPrintCharWidth);
    // The body is drawn in cells of the font's own width, narrowed as a whole (glyphs, edges
    // and all) so its lines keep their proportions.
    painter.translate(pageRect.left(), 0);
    painter.scale(m_cellNarrowing, 1.0);
    RenderList(painter, plan, PaperListStyle(columns, m_glyphs, frame.bodyTop));
    painter.restore();
}

bool PrintList(QPrinter& printer, MapModel& model, const LogFont& screenFont, PageRange range)
{
    if (!model.FileLoaded)
        return false;
    // The job numbers the rows itself: the numbering depends only on the tables and the list
    // options, so it is the one the pane shows, whether or not the pane has painted since.
    const ListRows rows = NumberRows(model);
    const QRect pageRect = drawingRect(printer);
    const ListPrintJob job(model, rows, screenFont, printer, pageRect);
    int32_t from = 1;
    int32_t to = job.maxPage();
    if (range == PageRange::Chosen && printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
        from = std::max(printer.fromPage(), 1);
        to = std::min(printer.toPage() > 0 ? printer.toPage() : to, to);
    }
    if (from > to)
        return false;
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    for (int32_t page = from; page <= to; ++page) {
        if (page > from && !printer.newPage())
            break;
        job.PrintPage(painter, page, pageRect);
    }
    return painter.end();
}

void InstallPrintCommands(CFriendRightView& view, PrinterSource printer)
{
    CFriendRightView* pane = &view;
    view.onCommand(ID_FILE_PRINT, [pane, printer] {
        MapModel& model = pane->GetDocument().model();
        // Without a file the job is refused before any dialog.
        if (!model.FileLoaded)
            return;
        QPrinter& device = printer();
        QPrintDialog dialog(&device, pane);
        dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
        dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
        dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
        if (platform().execDialog(dialog) != QDialog::Accepted)
            return;
        PrintList(device, model, pane->m_logFont, PageRange::Chosen);
    });
    view.onCommand(ID_FILE_PRINT_PREVIEW, [pane, printer] {
        MapModel& model = pane->GetDocument().model();
        if (!model.FileLoaded)
            return;
        QPrintPreviewDialog dialog(&printer(), pane);
        // The preview shows every page, whatever range was printed last.
        QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
            [pane, &model](QPrinter* device) { PrintList(*device, model, pane->m_logFont, PageRange::All); });
        platform().execDialog(dialog);
        pane->Invalidate();
    });
}

bool ExportListPdf(const QString& path, MapModel& model, const LogFont& screenFont)
{
    if (!model.FileLoaded)
        return false;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    printer.setResolution(kPdfResolution);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Portrait);
    printer.setCreator(QStringLiteral("Tessaly"));
    printer.setDocName(QFile::decodeName(QByteArray::fromStdString(model.LoadedPath)));
    return PrintList(printer, model, screenFont, PageRange::All);
}

} // namespace tessaly
