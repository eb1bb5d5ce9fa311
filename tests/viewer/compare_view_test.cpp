// compare_view_test.cpp: two builds compared in the window: the change column's inks, the pictures' edges, the
// status bar and title, the commands that keep working, and baselines or shown files that do not read.
#include "build_baseline.hpp"
#include "left/friend_left_view.hpp"
#include "left/left_geometry.hpp"
#include "map_model.hpp"
#include "right/friend_right_view.hpp"
#include "right/list_plan.hpp"
#include "right/list_renderer.hpp"
#include "right/print_pagination.hpp"
#include "shell/commands.hpp"
#include "shell/find_dialog.hpp"
#include "shell/find_notify.hpp"
#include "shell/main_frame.hpp"
#include "shell/tessaly_doc.hpp"
#include "shell_fixtures.hpp"
#include "support/program_files.hpp"
#include "support/temp_file.hpp"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>
#include <functional>
#include <string>

using namespace tessaly;
using namespace tessaly::testing;

namespace {

bool isInk(QRgb pixel, const QColor& ink)
{
    return pixel == ink.rgb();
}

const bool kRed = true;
const bool kGreen = false;

} // namespace

class CompareViewTest : public QObject, protected PaneFixture {
    Q_OBJECT

private:
    TempFile m_new { comparedBuild(true) };
    TempFile m_old { comparedBuild(false) };

    QString path(const TempFile& file) const { return QString::fromStdString(file.pathString()); }
    CTessalyDoc& document() { return frame().document(); }

    void openCompared()
    {
        document().OpenCommandLineFile(path(m_new));
        QVERIFY(model().FileLoaded);
        QVERIFY(document().CompareWith(path(m_old)));
    }

    const SectionEntry& sectionNamed(const char* name)
    {
        for (const SectionEntry& entry : model().SectionTable)
            if (entry.record->name && std::string(entry.record->name) == name)
                return entry;
        qFatal("no section %s", name);
    }

    // The Change column's cell of a line as the right pane shows it, after a paint.
    QRect changeCell(int32_t line)
    {
        CFriendRightView& view = right();
        const ColumnInfo& c = column(view.m_columns, ColumnChange);
        const int sp = view.m_nHorzPos * view.m_nCharWidth;
        return QRect(
            c.nLeft - sp, (line - view.m_nTopLine + 1) * view.m_nLineHeight, c.nRight - c.nLeft, view.m_nLineHeight);
    }

    // The plan's change texts and inks of every line of the list.
    std::vector<std::pair<std::string, Ink>> changeTexts(const PlanRequest& request)
    {
        const ListPlan plan = PlanList(model(), right().rows(), request);
        std::vector<std::pair<std::string, Ink>> texts;
        for (const PlanCell& cell : plan.cells)
            if (cell.column == ColumnChange)
                texts.emplace_back(std::string(plan.text(cell)), cell.ink);
        return texts;
    }
    std::vector<std::pair<std::string, Ink>> changeTexts()
    {
        PlanRequest request;
        request.firstLine = 1;
        request.blockRows = request.itemRows = right().m_nLineCount;
        return changeTexts(request);
    }

    // Whether the left pane's section-list box of a section is edged in the ink.
    bool sectionListEdge(const QImage& image, const char* name, bool red)
    {
        const SectionListPicture picture = BuildSectionListPicture(model(), left().cell(), 0, 0, { 0, image.height() });
        for (const SectionListRow& row : picture.rows)
            if (row.record->name && std::string(row.record->name) == name)
                return isInk(
                    image.pixel(row.box.left + 2, (row.box.top + row.box.bottom) / 2), red ? kRedInk : kGreenInk);
        return false;
    }

    // Whether the memory-size band of a section is edged in the ink.
    bool memorySizeEdge(const QImage& image, const char* name, bool red)
    {
        const MemorySizePicture picture = BuildMemorySizePicture(
            model(), left().cell(), left().viewport()->height(), left().m_nZoom, 0, { 0, 1 << 30 });
        const QPoint origin = left().scrollPosition();
        for (const MemorySizeBand& band : picture.bands)
            if (band.record->name && std::string(band.record->name) == name)
                return isInk(
                    image.pixel(band.rect.left + 2 - origin.x(), (band.rect.top + band.rect.bottom) / 2 - origin.y()),
                    red ? kRedInk : kGreenInk);
        return false;
    }

private slots:
    void init() { QVERIFY(startApp(1400, 600)); }

    void cleanup() { tearDown(); }

    void changeColumnTextsAndInks()
    {
        openCompared();
        const QImage image = renderViewport(right());
        using Texts = std::vector<std::pair<std::string, Ink>>;
        // Blocks top to bottom, then the items, then the removed blocks.
        const Texts expected = {
            { "+0x1a2", Ink::Red }, // CODE
            { "\xE2\x88\x92"
              "0x10",
                Ink::Green }, // DATA
            { "moved from 001000", Ink::WindowText }, // _main, on CODE's first row
            { "new", Ink::WindowText }, // _fresh
            { "gone", Ink::Green }, // OLDSEC, in the block of removed items
        };
        QCOMPARE(changeTexts(), expected);

        // On the screen: red beside CODE, green beside DATA, nothing beside a block that stayed.
        QVERIFY(anyPixel(image, changeCell(sectionNamed("CODE").startLine), [](QRgb c) { return isInk(c, kRedInk); }));
        QVERIFY(
            !anyPixel(image, changeCell(sectionNamed("CODE").startLine), [](QRgb c) { return isInk(c, kGreenInk); }));
        QVERIFY(
            anyPixel(image, changeCell(sectionNamed("DATA").startLine), [](QRgb c) { return isInk(c, kGreenInk); }));
        // The removed items follow the last block: "(gone)", then OLDSEC and _gone on the next line.
        const int32_t goneLine = right().rows().gone.firstLine;
        QVERIFY(goneLine > sectionNamed("DATA").startLine);
        QCOMPARE(right().m_nLineCount, goneLine + 2);
        // OLDSEC's name is longer than any shown section's; it still fits its column, on the
        // screen and on paper, where nothing would cover its end.
        const int32_t goneSection = static_cast<int32_t>(std::string("[D] OLDSEC").size());
        QVERIFY(column(right().m_columns, ColumnSection).nWidthPx > goneSection * right().m_nCharWidth);
        const PrintColumns paper = PrintColumnPositions(model(), 1);
        QVERIFY(paper.label - paper.sectionLeft > goneSection);
        QVERIFY(anyPixel(image, changeCell(goneLine + 1), [](QRgb c) { return isInk(c, kGreenInk); }));

        // Both pictures edge what changed size, and only that.
        const QImage list = renderViewport(left());
        QVERIFY(sectionListEdge(list, "CODE", kRed));
        QVERIFY(sectionListEdge(list, "DATA", kGreen));
        frame().router().dispatch(ID_MEMORY_SIZE_IMAGE);
        model().RangeStart = 0x1000;
        model().RangeEnd = 0x2FFF;
        left().Invalidate();
        const QImage bars = renderViewport(left());
        QVERIFY(memorySizeEdge(bars, "CODE", kRed));
        QVERIFY(memorySizeEdge(bars, "DATA", kGreen));
        // Zoom keeps the edges.
        frame().SetActiveView(&left());
        QVERIFY(frame().router().dispatch(ID_ZOOM_IN));
        QCOMPARE(left().m_nZoom, 2);
        QVERIFY(memorySizeEdge(renderViewport(left()), "CODE", kRed));

        // Title and status bar name both builds and the totals of the kinds that changed.
        QCOMPARE(frame().windowTitle(), path(m_new) + " compared with " + path(m_old) + " - Tessaly");
        frame().OnIdle();
        QCOMPARE(
            frame().comparePane()->text(), QString::fromUtf8("code +0x1a2 (+163.3%)  data \u22120x20 (\u221222.2%)"));
    }

    void commandsKeepWorkingWhileComparing()
    {
        openCompared();
        renderViewport(right());
        QVERIFY(frame().router().state(ID_FILE_STOP_COMPARING).enabled);
        // The function list widens the column and adds the functions' moves: main moved with
        // _main, idle only grew where it stands and says nothing.
        auto expected = changeTexts();
        expected.insert(expected.end() - 1, { "moved from 001000", Ink::WindowText });
        const int32_t width = column(right().m_columns, ColumnChange).nWidthPx;
        QVERIFY(frame().router().dispatch(ID_SHOW_FUNCTION_LIST));
        renderViewport(right());
        QCOMPARE(changeTexts(), expected);
        QVERIFY(column(right().m_columns, ColumnChange).nWidthPx > width);
        // Jump moves the list to a block; the change column is painted there too.
        right().JumpToAddress(0x2000);
        const QImage image = renderViewport(right());
        QVERIFY(
            anyPixel(image, changeCell(sectionNamed("DATA").startLine), [](QRgb c) { return isInk(c, kGreenInk); }));
        // The printout has the column last, its header on page 1.
        const std::vector<ColumnSpan> spans = PrintColumnSpans(model(), 10);
        QCOMPARE(spans.back().number, static_cast<int>(ColumnChange));
        QVERIFY(spans.back().left >= spans[spans.size() - 2].right);
        const std::vector<std::pair<std::string, Ink>> page = changeTexts(PrintPageRequest(60, 1));
        QVERIFY(!page.empty());
        QCOMPARE(page.front().first, std::string("Change"));

        // Stop Comparing takes the column, the removed items and the edges away.
        QVERIFY(frame().router().dispatch(ID_FILE_STOP_COMPARING));
        renderViewport(right());
        QVERIFY(!document().HasBaseline());
        QVERIFY(!frame().router().state(ID_FILE_STOP_COMPARING).enabled);
        QCOMPARE(right().rows().gone.firstLine, -1);
        QVERIFY(changeTexts().empty());
        QCOMPARE(frame().windowTitle(), path(m_new) + " - Tessaly");
    }

    void findMarksTheLabelOnItsRow()
    {
        openCompared();
        QVERIFY(frame().router().dispatch(ID_SHOW_FUNCTION_LIST));
        const QImage before = renderViewport(right());
        right().OpenFindDialog();
        QVERIFY(right().m_pFindDlg);
        FindDialog& dialog = *right().m_pFindDlg;
        dialog.findChild<QLineEdit*>(QString::number(FindDialog::IdFindWhat))->setText(QStringLiteral("_fresh"));
        QTest::mouseClick(dialog.findChild<QPushButton*>(QString::number(FindDialog::IdFindNext)), Qt::LeftButton);
        QCoreApplication::sendPostedEvents(&right(), FindNotifyEvent::kType);
        QVERIFY(m_run->platform().messages.isEmpty());

        int32_t line = -1;
        for (const SymbolEntry& label : model().LabelTable)
            if (std::string(label.name) == "_fresh")
                line = label.line;
        QVERIFY(line > 0);
        QCOMPARE(right().m_nFoundLine, line);
        // The match inverted on that row is the label's.
        const QImage after = renderViewport(right());
        const int cw = right().m_nCharWidth;
        const int h = right().m_nLineHeight;
        const int sp = right().m_nHorzPos * cw;
        const ColumnInfo& cell = column(right().m_columns, ColumnLabel);
        const int x = cell.nLeft - sp + cw * (right().m_nFoundOffset + model().AddressDigits + 5);
        const QRect match(x, (line - right().m_nTopLine + 1) * h, cw * right().m_nFoundLength, h);
        // The top pixel row of a cell holds no glyph: it flips to its inverse, and only there.
        for (const QPoint& probe : { QPoint(match.left() + 1, match.top()), QPoint(match.right() - 1, match.top()) }) {
            const QRgb was = before.pixel(probe);
            const QRgb now = after.pixel(probe);
            QCOMPARE(qRgb(255 - qRed(was), 255 - qGreen(was), 255 - qBlue(was)), now);
        }
        for (const QPoint& outside : { QPoint(match.left() - 2, match.top()), QPoint(match.right() + 3, match.top()),
                 QPoint(match.center().x(), match.top() - h), QPoint(match.center().x(), match.top() + h) })
            QCOMPARE(after.pixel(outside), before.pixel(outside));
        // Its Change cell ("new") stays as it was.
        const QRect change = changeCell(line);
        QVERIFY(anyPixel(after, change, [&](QRgb c) { return c != after.pixel(change.topLeft()); }));
        QCOMPARE(after.copy(change), before.copy(change));
    }

    // A baseline that does not read, and a shown file that does not read while comparing: the
    // reader's message, and what was on the screen stays with no half-built comparison.
    void filesThatDoNotRead()
    {
        TempFile unreadable(unreadableFile());
        std::vector<uint8_t> cut = comparedBuild(false);
        cut.resize(cut.size() / 2);
        TempFile truncated(cut);
        for (const TempFile* bad : { &unreadable, &truncated }) {
            document().StopComparing();
            document().OpenCommandLineFile(path(m_new));
            const QString title = frame().windowTitle();
            const QImage listBefore = renderViewport(right());
            const QImage pictureBefore = renderViewport(left());
            m_run->platform().messages.clear();

            QVERIFY(!document().CompareWith(path(*bad)));
            QCOMPARE(m_run->platform().messages.size(), 1);
            QVERIFY2(m_run->platform().messages.front().contains(path(*bad)),
                qPrintable(m_run->platform().messages.front()));
            QVERIFY(!document().HasBaseline());
            QCOMPARE(frame().windowTitle(), title);
            QCOMPARE(renderViewport(right()), listBefore);
            QCOMPARE(renderViewport(left()), pictureBefore);
        }

        // Comparing, then File > Open of a file that does not read: the reader's message, and the
        // baseline waits for the next file with no changes over tables of no tree.
        openCompared();
        m_run->platform().messages.clear();
        m_run->platform().fileToChoose = path(truncated);
        QVERIFY(frame().router().dispatch(ID_FILE_OPEN));
        QCOMPARE(m_run->platform().messages.size(), 1);
        QVERIFY(!model().FileLoaded);
        QVERIFY(model().Baseline->changes.sections.empty());
        frame().OnIdle();
        QCOMPARE(frame().comparePane()->text(), QString());
        m_run->platform().fileToChoose = path(m_new);
        QVERIFY(frame().router().dispatch(ID_FILE_OPEN));
        renderViewport(right());
        QCOMPARE(changeTexts().front().first, std::string("+0x1a2"));
    }
};

QTEST_MAIN(CompareViewTest)
#include "compare_view_test.moc"
