// right_print.cpp: the print job's font and pages, painting one page, the print and preview commands, and the PDF
// export.
#include "right/right_print.hpp"

#include "right/cell_text.hpp"
#include "right/friend_right_view.hpp"
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

// Section edges and the closing line are three device units wide.
constexpr int kEdgeWidth = 3;
constexpr int kPdfResolution = 300;
constexpr int kSmallestPrintPoints = 6;

QColor toQColor(Rgb rgb)
{
    return QColor(rgb.r, rgb.g, rgb.b);
}

QString qText(const std::string& text)
{
    return QString::fromStdString(text);
}

// What the body needs of a block, whichever table lists it.
struct BlockTexts {
    SectionTag tag;
    uint32_t start = 0;
    uint32_t size = 0;
    std::string name; // "%s %s" or "%s %s(%s)"; empty when nothing is written
};

BlockTexts blockTexts(const MapModel& model, int32_t entry)
{
    BlockTexts texts;
    if (model.ShowLocalInformation) {
        const ModuleSectionEntry& e = model.ModuleSectionTable[static_cast<size_t>(entry)];
        texts.tag = GetSectionTag(e.record);
        texts.start = e.record->start;
        texts.size = e.record->size;
        texts.name = SectionCellText(e);
    } else {
        const SectionEntry& e = model.SectionTable[static_cast<size_t>(entry)];
        texts.tag = GetSectionTag(e.record);
        texts.start = e.record->start;
        texts.size = e.record->size;
        texts.name = SectionCellText(e);
    }
    return texts;
}

QPen edgePen()
{
    // Square caps close the corners where the top edge meets the side edges.
    return QPen(QBrush(Qt::black), kEdgeWidth, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin);
}

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
{
    const int dpi = device.logicalDpiX();
    LogFont description = screenFont;
    description.height = PrintFontHeight(screenFont.height, dpi);
    auto measure = [&] {
        // A pixel size on a printer is in the printer's dots.
        m_printFont = QFont(createFont(description), &device);
        const QFontMetrics metrics(m_printFont, &device);
        m_nPrintCharWidth = std::max(metrics.averageCharWidth(), 1);
        m_nPrintLineHeight = std::max(metrics.height(), 1);
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
    m_nLinesPerPage = PrintLinesPerPage(pageRect.height(), m_nPrintLineHeight);
    m_nMaxPage = PrintMaxPage(model.FileLoaded, rows.lineCount, m_nLinesPerPage);
}

void ListPrintJob::PrintPage(QPainter& painter, int32_t page, const QRect& pageRect) const
{
    painter.save();
    painter.setFont(m_printFont);
    painter.setBackgroundMode(Qt::TransparentMode);
    const QFontMetrics metrics(m_printFont, painter.device());
    const int cy = m_nPrintLineHeight;
    const int ascent = metrics.ascent();
    const PrintFrame frame = PrintFrameFor(pageRect.top(), pageRect.top() + pageRect.height(), cy);
    const QPen rulePen(QBrush(Qt::black), 1, Qt::SolidLine, Qt::FlatCap);

    painter.setPen(rulePen);
    // The path is kept in the file system's encoding.
    painter.drawText(QPoint(pageRect.left(), frame.headerTextY + ascent),
        QFile::decodeName(QByteArray::fromStdString(PrintHeaderText(m_model.LoadedPath))));
    painter.drawLine(pageRect.left(), frame.headerRuleY, pageRect.right(), frame.headerRuleY);

    const QString footer = qText(PrintFooterText(page, m_nMaxPage));
    const int cx = metrics.horizontalAdvance(footer);
    painter.drawLine(pageRect.left(), frame.footerRuleY, pageRect.right(), frame.footerRuleY);
    painter.drawText(QPoint(pageRect.left() + (pageRect.width() - cx) / 2, frame.footerTextY + ascent), footer);

    printBody(painter, PaginatePage(m_model, m_rows, m_nLinesPerPage, page), frame.bodyTop);
    painter.restore();
}

void ListPrintJob::printBody(QPainter& painter, const PrintedPage& page, int32_t bodyTop) const
{
    const MapModel& model = m_model;
    const int32_t d = model.AddressDigits;
    const int32_t h = m_nPrintLineHeight;
    const int ascent = QFontMetrics(m_printFont, painter.device()).ascent();
    const PrintColumns columns = PrintColumnPositions(model, m_nPrintCharWidth);
    const QColor black(0, 0, 0);
    auto rowY = [&](int32_t row) { return bodyTop + row * h; };
    auto write = [&](int32_t x, int32_t row, const QString& text, const QColor& colour) {
        painter.setPen(colour);
        painter.drawText(QPoint(x, rowY(row) + ascent), text);
    };

    if (page.columnHeaders)
        for (const PrintHeaderCell& cell : PrintColumnHeaders(model, columns))
            write(cell.x, 0, QString::fromLatin1(cell.text), black);

    for (const PrintPart& part : page.parts) {
        const BlockTexts texts = blockTexts(model, part.entry);
        const int y0 = rowY(part.row0);
        const int y1 = rowY(part.row1);
        const QColor colour = toQColor(texts.tag.colour);
        const QRect bar(columns.sectionLeft, y0, columns.sectionRight - columns.sectionLeft, y1 - y0);
        painter.fillRect(bar, colour);
        painter.setPen(QPen(QBrush(colour), 1));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(bar);

        // A continuation from the page before gets its side edges only; a block's bottom is the
        // next block's top edge or the closing line.
        painter.setPen(edgePen());
        if (part.blockStarts)
            painter.drawLine(columns.sectionLeft, y0, columns.sectionRight, y0);
        painter.drawLine(columns.sectionLeft, y0, columns.sectionLeft, y1);
        painter.drawLine(columns.sectionRight, y0, columns.sectionRight, y1);

        if (part.blockStarts) {
            write(columns.address, part.row0, qText(FormatAddressSize(d, texts.start, texts.size)),
                part.red ? QColor(255, 0, 0) : black);
            if (!texts.name.empty())
                write(columns.sectionLeft, part.row0, qText(texts.name), black);
        }
        for (int32_t r = part.row0; r < part.row1; ++r) {
            const size_t row = static_cast<size_t>(r);
            if (row < page.labels.size() && page.labels[row] >= 0)
                write(columns.label, r,
                    qText(FormatSymbolCell(d, model.LabelTable[static_cast<size_t>(page.labels[row])])), black);
            if (row < page.equs.size() && page.equs[row] >= 0)
                write(columns.equ, r, qText(FormatSymbolCell(d, model.EquTable[static_cast<size_t>(page.equs[row])])),
                    black);
            if (row < page.functions.size() && page.functions[row] >= 0)
                write(columns.function, r,
                    qText(FormatFunctionCell(d, model.FunctionTable[static_cast<size_t>(page.functions[row])])), black);
        }
    }

    if (page.closingRow >= 0) {
        painter.setPen(edgePen());
        const int y = rowY(page.closingRow);
        painter.drawLine(columns.sectionLeft, y, columns.sectionRight, y);
    }
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
