// right_print_test.cpp: the print commands of the right pane, the preview's pages and printed pages probed as images.
#include "build_baseline.hpp"
#include "left/friend_left_view.hpp"
#include "map_model.hpp"
#include "right/cell_text.hpp"
#include "right/friend_right_view.hpp"
#include "right/print_pagination.hpp"
#include "right/right_layout.hpp"
#include "right/right_print.hpp"
#include "shell/commands.hpp"
#include "shell/main_frame.hpp"
#include "shell/tessaly_app.hpp"
#include "shell/tessaly_doc.hpp"
#include "shell_fixtures.hpp"
#include "support/memory_tree.hpp"

#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <functional>
#include <memory>
#include <string>
#include <vector>

using namespace tessaly;
using namespace tessaly::testing;

namespace {

bool isRed(QRgb c)
{
    return qRed(c) > 200 && qGreen(c) < 80 && qBlue(c) < 80;
}
bool isBlack(QRgb c)
{
    return qRed(c) < 60 && qGreen(c) < 60 && qBlue(c) < 60;
}

// Besides what the fake records, notes each dialog's class and lets a preview draw its pages.
class PrintingPlatform : public FakePlatform {
public:
    int execDialog(QDialog& dialog) override
    {
        dialogClasses << QString::fromLatin1(dialog.metaObject()->className());
        if (auto* preview = dialog.findChild<QPrintPreviewWidget*>()) {
            preview->updatePreview();
            previewPages << preview->pageCount();
        }
        return FakePlatform::execDialog(dialog);
    }

    QStringList dialogClasses;
    QList<int> previewPages;
};

// The text of a PDF file as pdftotext lays it out; empty when the tool is missing.
QString pdfText(const QString& path)
{
    QProcess process;
    process.start(QStringLiteral("pdftotext"), { QStringLiteral("-layout"), path, QStringLiteral("-") });
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return {};
    return QString::fromUtf8(process.readAllStandardOutput());
}

// Pages of a PDF file as Qt writes them: one "/Type /Page" dictionary each.
int pdfPageCount(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray bytes = file.readAll();
    return static_cast<int>(bytes.count("/Type /Page\n")) + static_cast<int>(bytes.count("/Type /Page\r"));
}

} // namespace

class RightPrintTest : public QObject, protected PaneFixture {
    Q_OBJECT

private:
    PrintingPlatform& printing() { return static_cast<PrintingPlatform&>(m_run->platform()); }

    // CODE with many labels, then OVL overlapping it (red), then the free area up to the top.
    void loadProgram(int labelCount)
    {
        m_tree = std::make_unique<MemoryTree>("Carina");
        typedSection(*m_tree, "CODE", 0x0000, 0x1000, kSectionTypeCode);
        typedSection(*m_tree, "OVL", 0x0800, 0x1000, kSectionTypeData);
        for (int i = 0; i < labelCount; ++i)
            m_tree->global(m_names.emplace_back("label" + std::to_string(i)).c_str(), 2u * static_cast<uint32_t>(i));
        markTreeLoaded(model(), &m_tree->root);
        model().LoadedPath = "/maps/prog.xqa";
    }

    const SectionEntry& sectionNamed(const char* name)
    {
        for (const SectionEntry& entry : model().SectionTable)
            if (entry.record->name && std::string(entry.record->name) == name)
                return entry;
        qFatal("no section %s", name);
    }

    // A printer writing a PDF into the test's folder, as the application's printer.
    QString usePdfPrinter(const QTemporaryDir& dir)
    {
        const QString path = dir.filePath(QStringLiteral("out.pdf"));
        QPrinter& printer = m_run->app().printer();
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(path);
        printer.setPageSize(QPageSize(QPageSize::A4));
        return path;
    }

private slots:
    void init()
    {
        m_run = std::make_unique<RunningApp>(std::make_unique<PrintingPlatform>());
        QVERIFY(m_run->started());
    }

    void cleanup() { tearDown(); }

    void commandsOnlyWhileTheRightPaneIsActive()
    {
        for (int id : { int(ID_FILE_PRINT), int(ID_FILE_PRINT_PREVIEW) }) {
            frame().SetActiveView(&right());
            QVERIFY2(frame().router().state(id).enabled, qPrintable(QString::number(id)));
            frame().SetActiveView(frame().m_pLeftView);
            QVERIFY2(!frame().router().state(id).enabled, qPrintable(QString::number(id)));
            QVERIFY(!frame().router().dispatch(id));
        }
        // Printer Set Up belongs to the application: available whichever pane is active.
        QVERIFY(frame().router().state(ID_FILE_PRINT_SETUP).enabled);
    }

    void refusedSilentlyWithoutAFile()
    {
        frame().SetActiveView(&right());
        for (int id : { int(ID_FILE_PRINT), int(ID_FILE_PRINT_PREVIEW) }) {
            QVERIFY(frame().router().dispatch(id));
            QVERIFY2(printing().dialogClasses.isEmpty(), qPrintable(printing().dialogClasses.join(',')));
            QVERIFY(printing().messages.isEmpty());
        }
    }

    void printerSetUpRunsThePageSetUpDialog()
    {
        QVERIFY(frame().router().dispatch(ID_FILE_PRINT_SETUP));
        QCOMPARE(printing().dialogClasses, QStringList { QStringLiteral("QPageSetupDialog") });
    }

    void cancellingThePrintDialogPrintsNothing()
    {
        QTemporaryDir dir;
        const QString path = usePdfPrinter(dir);
        loadProgram(200);
        frame().SetActiveView(&right());
        printing().dialogResult = QDialog::Rejected;
        QVERIFY(frame().router().dispatch(ID_FILE_PRINT));
        QCOMPARE(printing().dialogClasses, QStringList { QStringLiteral("QPrintDialog") });
        QVERIFY(!QFile::exists(path));
    }

    void printingWritesTheChosenPages()
    {
        QTemporaryDir dir;
        const QString path = usePdfPrinter(dir);
        loadProgram(200);
        frame().SetActiveView(&right());
        struct Case {
            const char* label;
            QPrinter::PrintRange range;
            int from, to;
            int pages; // -1: all of the job's pages
        };
        const Case cases[] = {
            { "all pages", QPrinter::AllPages, 0, 0, -1 },
            { "page 2 only", QPrinter::PageRange, 2, 2, 1 },
            { "pages 2 to 99: clipped to the job", QPrinter::PageRange, 2, 99, -2 },
        };
        const ListRows rows = NumberRows(model());
        QPrinter& printer = m_run->app().printer();
        const ListPrintJob job(
            model(), rows, right().m_logFont, printer, QRect(0, 0, printer.width(), printer.height()));
        QVERIFY2(job.maxPage() >= 3, qPrintable(QString::number(job.maxPage())));
        for (const Case& c : cases) {
            QFile::remove(path);
            printer.setPrintRange(c.range);
            printer.setFromTo(c.from, c.to);
            QVERIFY(frame().router().dispatch(ID_FILE_PRINT));
            const int expected = c.pages == -1 ? job.maxPage() : c.pages == -2 ? job.maxPage() - 1 : c.pages;
            QVERIFY2(pdfPageCount(path) == expected,
                qPrintable(
                    QStringLiteral("%1: %2 pages, expected %3").arg(c.label).arg(pdfPageCount(path)).arg(expected)));
        }
    }

    void previewShowsEveryPageOfTheJob()
    {
        QTemporaryDir dir;
        usePdfPrinter(dir);
        loadProgram(200);
        frame().SetActiveView(&right());
        QPrinter& printer = m_run->app().printer();
        // A range chosen for the last print does not narrow the preview.
        printer.setPrintRange(QPrinter::PageRange);
        printer.setFromTo(2, 2);
        QVERIFY(frame().router().dispatch(ID_FILE_PRINT_PREVIEW));
        QCOMPARE(printing().dialogClasses, QStringList { QStringLiteral("QPrintPreviewDialog") });
        const ListRows rows = NumberRows(model());
        const ListPrintJob job(
            model(), rows, right().m_logFont, printer, QRect(0, 0, printer.width(), printer.height()));
        QCOMPARE(printing().previewPages, QList<int> { job.maxPage() });
    }

    void printFontFollowsThePrinterResolution()
    {
        loadProgram(3);
        const ListRows rows = NumberRows(model());
        struct Case {
            int dpi;
            int pixelSize;
        };
        const Case cases[] = { { 72, 14 }, { 300, 58 }, { 600, 117 } };
        for (const Case& c : cases) {
            // Wide enough for every line at the stated size.
            QImage image(20000, 100, QImage::Format_RGB32);
            image.setDotsPerMeterX(qRound(c.dpi / 0.0254));
            image.setDotsPerMeterY(qRound(c.dpi / 0.0254));
            const ListPrintJob job(model(), rows, right().m_logFont, image, image.rect());
            QVERIFY2(job.font().pixelSize() == c.pixelSize,
                qPrintable(QStringLiteral("%1 dpi: %2").arg(c.dpi).arg(job.font().pixelSize())));
        }
    }

    void fontShrinksToFitThePaperWidth()
    {
        // A function whose name and file take 48 characters each, on a page 2400 dots wide.
        m_tree = std::make_unique<MemoryTree>("Carina");
        typedSection(*m_tree, "CODE", 0x0000, 0x1000, kSectionTypeCode);
        IeModule* mod = m_tree->module("mod");
        IeSource* src = m_tree->source(mod, m_names.emplace_back(48, 's').c_str());
        m_tree->function(src, m_names.emplace_back(48, 'f').c_str(), "_f", 0x10);
        DetectCpuFamily(model(), &m_tree->root);
        model().FileLoaded = true;
        struct Case {
            const char* label;
            bool functions;
            bool comparing;
            bool shrinks;
            bool narrows;
        };
        const Case cases[] = {
            { "labels only: fits", false, false, false, false },
            { "long function: shrinks", true, false, true, false },
            // Even six points are too wide with the Change column after the function.
            { "long function compared: narrows", true, true, true, true },
        };
        for (const Case& c : cases) {
            model().ShowFunctionList = c.functions;
            model().Baseline = c.comparing ? std::make_shared<BuildBaseline>() : nullptr;
            const ListRows rows = NumberRows(model());
            QImage page(2400, 3300, QImage::Format_RGB32);
            page.setDotsPerMeterX(qRound(300 / 0.0254));
            page.setDotsPerMeterY(qRound(300 / 0.0254));
            const ListPrintJob job(model(), rows, right().m_logFont, page, page.rect());
            const QString where = QString::fromLatin1(c.label);
            QVERIFY2((job.font().pixelSize() < 58) == c.shrinks, qPrintable(where));
            QVERIFY2((job.cellNarrowing() < 1.0) == c.narrows, qPrintable(where));
            QVERIFY2(
                PrintLineChars(model()) * job.charWidth() * job.cellNarrowing() <= page.width(), qPrintable(where));
            QVERIFY2(job.font().pixelSize() >= 25, qPrintable(where)); // never below six points
        }
        model().Baseline = nullptr;
    }

    void windowPrintKeepsEveryAddressWhole()
    {
        // Through the window's own print command, at the printer's resolution: every address
        // of the list comes out with its closing parenthesis, nothing of it under the bar.
        QTemporaryDir dir;
        const QString path = usePdfPrinter(dir);
        m_run->app().document()->OpenCommandLineFile(QStringLiteral(EXAMPLES_DIR "/grus_gateway.abs"));
        QVERIFY(model().FileLoaded);
        frame().SetActiveView(&right());
        QVERIFY(frame().router().dispatch(ID_FILE_PRINT));
        const QString text = pdfText(path);
        QVERIFY2(!text.isEmpty(), "pdftotext found no text (poppler-utils missing?)");
        int blocks = 0;
        for (const SectionEntry& entry : model().SectionTable) {
            if (IsOmitted(entry, model().OmitZeroSizeSections))
                continue;
            // pdftotext drops the leading blank of the cell.
            const QString address = QString::fromStdString(
                FormatAddressSize(model().AddressDigits, entry.record->start, entry.record->size))
                                        .trimmed();
            QVERIFY2(text.contains(address), qPrintable(address));
            ++blocks;
        }
        QVERIFY(blocks > 10);
    }

    void headerElidesThePathInTheMiddle()
    {
        loadProgram(3);
        std::string path;
        for (int i = 0; i < 120; ++i)
            path += "/folder" + std::to_string(i);
        model().LoadedPath = path + "/prog.xqa";
        const ListRows rows = NumberRows(model());
        QImage page(2400, 3300, QImage::Format_RGB32);
        page.setDotsPerMeterX(qRound(300 / 0.0254));
        page.setDotsPerMeterY(qRound(300 / 0.0254));
        const ListPrintJob job(model(), rows, right().m_logFont, page, page.rect());
        const QString header = job.HeaderText(page.width());
        QVERIFY2(header.startsWith(QStringLiteral("File: /folder0")), qPrintable(header));
        QVERIFY2(header.endsWith(QStringLiteral("/prog.xqa")), qPrintable(header));
        QVERIFY(header.contains(QChar(0x2026)));
        QVERIFY(QFontMetrics(job.font(), &page).horizontalAdvance(header) <= page.width());
        // A path that fits is written whole.
        model().LoadedPath = "/maps/prog.xqa";
        QCOMPARE(job.HeaderText(page.width()), QStringLiteral("File: /maps/prog.xqa"));
    }

    void addressTooWideForItsColumnStaysOutOfTheBar()
    {
        // A 7-digit address in a 6-digit family runs one character past the Address column; the
        // bar is drawn over it, so no red of the address shows in the bar.
        m_tree = std::make_unique<MemoryTree>("Carina");
        typedSection(*m_tree, "HIGH", 0x1000000, 0x100, kSectionTypeRom);
        markTreeLoaded(model(), &m_tree->root);
        const ListRows rows = NumberRows(model());
        QImage image(2400, 900, QImage::Format_RGB32);
        image.setDotsPerMeterX(qRound(150 / 0.0254));
        image.setDotsPerMeterY(qRound(150 / 0.0254));
        image.fill(Qt::white);
        const ListPrintJob job(model(), rows, right().m_logFont, image, image.rect());
        QPainter painter(&image);
        job.PrintPage(painter, 1, image.rect());
        painter.end();
        const int h = job.lineHeight();
        const PrintColumns columns = PrintColumnPositions(model(), job.charWidth());
        const int32_t line = sectionNamed("HIGH").startLine;
        const QRect addressRow(0, (line + 2) * h, columns.sectionLeft - 2, h);
        QVERIFY(anyPixel(image, addressRow, isRed)); // outside the space: red
        const QRect bar(
            columns.sectionLeft + 2, (line + 2) * h + 2, columns.sectionRight - columns.sectionLeft - 4, h - 4);
        QVERIFY(!anyPixel(image, bar, isRed));
    }

    void pagesDrawnAsImages()
    {
        // CODE (lines 1..N) runs over several pages; OVL follows, red by its RangeFlag.
        loadProgram(12);
        const ListRows rows = NumberRows(model());
        QImage probe(6000, 10, QImage::Format_RGB32);
        probe.setDotsPerMeterX(qRound(150 / 0.0254));
        probe.setDotsPerMeterY(qRound(150 / 0.0254));
        const ListPrintJob sizing(model(), rows, right().m_logFont, probe, probe.rect());
        const int h = sizing.lineHeight();
        // Eight body lines a page.
        QImage image(6000, (8 + 4) * h, QImage::Format_RGB32);
        image.setDotsPerMeterX(probe.dotsPerMeterX());
        image.setDotsPerMeterY(probe.dotsPerMeterY());
        const ListPrintJob job(model(), rows, right().m_logFont, image, image.rect());
        QCOMPARE(job.linesPerPage(), 8);
        const PrintColumns columns = PrintColumnPositions(model(), job.charWidth());
        auto render = [&](int page) {
            image.fill(Qt::white);
            QPainter painter(&image);
            job.PrintPage(painter, page, image.rect());
            return image.copy();
        };
        const int32_t ovlLine = sectionNamed("OVL").startLine; // 14: page 2, row 6
        QCOMPARE(ovlLine, 14);
        const int bodyTop = 2 * h;
        auto rowMid = [&](int row) { return bodyTop + row * h + h / 2; };
        const int barX = (columns.sectionLeft + columns.sectionRight) / 2;
        const int barRight = columns.sectionRight - 3 * job.charWidth() / 2;

        const QImage first = render(1);
        // The header's rule and the footer's rule run across the page.
        const PrintFrame frame = PrintFrameFor(0, image.height(), h);
        QVERIFY(isBlack(first.pixel(first.width() / 2, frame.headerRuleY)));
        QVERIFY(isBlack(first.pixel(first.width() / 2, frame.footerRuleY)));
        QVERIFY(!isBlack(first.pixel(first.width() / 2, frame.footerRuleY - 2)));
        // CODE's bar, with its three-unit edges and a top edge where it starts (row 1).
        QCOMPARE(first.pixel(barRight, rowMid(3)), qRgb(0, 255, 255));
        QVERIFY(isBlack(first.pixel(columns.sectionLeft, rowMid(3))));
        QVERIFY(isBlack(first.pixel(columns.sectionLeft + 1, rowMid(3))));
        QVERIFY(isBlack(first.pixel(columns.sectionRight, rowMid(3))));
        QVERIFY(isBlack(first.pixel(barRight, bodyTop + h)));
        // Row 0 holds the column headers, not a bar.
        QVERIFY(!anyPixel(first, QRect(columns.sectionLeft, bodyTop, columns.sectionRight - columns.sectionLeft, h - 2),
            [](QRgb c) { return c == qRgb(0, 255, 255); }));
        QVERIFY(!anyPixel(first, QRect(0, bodyTop + h, columns.sectionLeft - 2, h), isRed));

        const QImage second = render(2);
        // The continuation: side edges only, no top edge at the top of the body.
        QCOMPARE(second.pixel(barRight, bodyTop + 1), qRgb(0, 255, 255));
        QVERIFY(isBlack(second.pixel(columns.sectionLeft, rowMid(0))));
        // OVL starts on row 6 of page 2: a yellow bar, a top edge and a red address.
        QCOMPARE(second.pixel(barRight, rowMid(6)), qRgb(255, 255, 0));
        QVERIFY(isBlack(second.pixel(barRight, bodyTop + 6 * h)));
        QVERIFY(anyPixel(second, QRect(0, bodyTop + 6 * h, columns.sectionLeft - 2, h), isRed));
        // The labels go on in the label column without the address column's red.
        QVERIFY(anyPixel(second, QRect(columns.label, bodyTop, columns.label, h), isBlack));

        // The free area is the last block, on row 7 of page 2 (line 15); the list's last line
        // is 15, so page 2 is the last page and the closing line lies at the top of row 8.
        QCOMPARE(job.maxPage(), 2);
        QVERIFY(isBlack(second.pixel(barX, bodyTop + 8 * h)));
    }
};

QTEST_MAIN(RightPrintTest)
#include "right_print_test.moc"
