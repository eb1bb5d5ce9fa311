// left_view_test.cpp: the left pane painted offscreen: box and band colours, the red marker, the context menu's bounds,
// Jump, zoom and --image.
#include "left/friend_left_view.hpp"
#include "left/left_geometry.hpp"
#include "map_model.hpp"
#include "right/friend_right_view.hpp"
#include "right/right_layout.hpp"
#include "shell/command_line.hpp"
#include "shell/commands.hpp"
#include "shell/main_frame.hpp"
#include "shell/tessaly_app.hpp"
#include "shell/tessaly_doc.hpp"
#include "shell_fixtures.hpp"
#include "support/memory_tree.hpp"
#include "support/temp_file.hpp"

#include <QContextMenuEvent>
#include <QImage>
#include <QMenu>
#include <QScrollBar>
#include <QSplitter>
#include <QtTest>
#include <deque>
#include <functional>
#include <memory>
#include <string>

using namespace tessaly;
using namespace tessaly::testing;

namespace {

constexpr QRgb kYellow = qRgb(255, 255, 0);
constexpr QRgb kCyan = qRgb(0, 255, 255);
constexpr QRgb kGreen = qRgb(0, 255, 0);
constexpr QRgb kWhite = qRgb(255, 255, 255);
constexpr QRgb kBlack = qRgb(0, 0, 0);

bool isRed(QRgb c)
{
    return qRed(c) > 200 && qGreen(c) < 80 && qBlue(c) < 80;
}

// Sections of the three kinds in turn, 0x800 bytes every 0x1000, with a free area after each.
constexpr int32_t kTypes[] = { kSectionTypeCode, kSectionTypeData, kSectionTypeRom };
constexpr QRgb kColours[] = { kCyan, kYellow, kGreen };

} // namespace

class LeftViewTest : public QObject, protected PaneFixture {
    Q_OBJECT

private:
    // count typed sections (code, data, ROM in turn) at 0x1000 steps, plus two size-0
    // sections where the first ends, so they sort between it and the free area after it.
    void loadSections(int count, const char* cpu = "Carina")
    {
        m_tree = std::make_unique<MemoryTree>(cpu);
        for (int i = 0; i < count; ++i) {
            const char* name = m_names.emplace_back("S" + std::to_string(i)).c_str();
            m_tree->section(name, 0x1000u * static_cast<uint32_t>(i), 0x800)->type = kTypes[i % 3];
        }
        m_tree->section("EMPTY1", 0x800, 0)->type = kSectionTypeCode;
        m_tree->section("EMPTY2", 0x800, 0)->type = kSectionTypeData;
        markTreeLoaded(model(), &m_tree->root);
        m_run->app().document()->UpdateAllViews(nullptr);
    }

    QImage render(PaneView& view) { return renderViewport(view); }
    // Lays the right pane out (its paint numbers the rows and places the marker), then paints
    // the left pane.
    QImage renderBoth()
    {
        render(right());
        return render(left());
    }

    const SectionEntry& entryAt(uint32_t start)
    {
        for (const SectionEntry& entry : model().SectionTable)
            if (entry.record->start == start && entry.record->size != 0)
                return entry;
        qFatal("no entry at %x", start);
    }

    // A right click at a viewport point: the press makes the pane active, the request follows.
    // Returns how often the menu opened; with jump set, picks "Jump" from it.
    int rightClick(QPoint point, bool jump = false)
    {
        int opened = 0;
        left().m_trackPopupMenu = [&](QMenu& menu, QPoint) {
            ++opened;
            QCOMPARE(menu.actions().size(), 1);
            QCOMPARE(menu.actions().front()->text(), QStringLiteral("Jump"));
            if (jump)
                menu.actions().front()->trigger();
        };
        QTest::mousePress(left().viewport(), Qt::RightButton, {}, point);
        QTest::mouseRelease(left().viewport(), Qt::RightButton, {}, point);
        QContextMenuEvent event(QContextMenuEvent::Mouse, point, left().viewport()->mapToGlobal(point));
        QCoreApplication::sendEvent(left().viewport(), &event);
        return opened;
    }

    // The frame's accelerator action for a key.
    QAction* accelerator(Qt::Key key)
    {
        for (QAction* candidate : frame().actions())
            if (candidate->shortcuts().contains(QKeySequence(key)))
                return candidate;
        qFatal("no accelerator");
    }

    // Viewport point of a logical one.
    QPoint onScreen(int x, int y) { return QPoint(x, y) - left().scrollPosition(); }

private slots:
    void init() { QVERIFY(startApp(1000, 600)); }

    void cleanup() { tearDown(); }

    void blankBeforeAFileAndNoMenu()
    {
        const QImage image = render(left());
        QVERIFY(!anyPixel(image, image.rect(), [](QRgb c) { return c != kWhite; }));
        QCOMPARE(rightClick(QPoint(200, 40)), 0);
    }

    void sectionListBoxColours()
    {
        loadSections(6);
        const QImage image = renderBoth();
        const SectionListGeometry& g = left().m_sectionList;
        const int lh = left().m_nLineHeight;
        QCOMPARE(left().m_nVisibleRows, 12); // six sections, five free areas between, one above
        QCOMPARE(g.listBottom, lh * 13);
        struct Case {
            int row;
            QRgb colour;
        };
        const Case cases[] = { { 0, kCyan }, { 1, kWhite }, { 2, kYellow }, { 4, kGreen }, { 6, kCyan } };
        for (const Case& c : cases) {
            const QString where = QStringLiteral("row %1").arg(c.row);
            const int y = lh * (c.row + 1);
            QVERIFY2(image.pixel(g.boxRight - 3, y + lh / 2) == c.colour, qPrintable(where));
            QVERIFY2(image.pixel(g.boxLeft, y + lh / 2) == kBlack, qPrintable(where));
            QVERIFY2(image.pixel(g.boxRight - 1, y + lh / 2) == kBlack, qPrintable(where));
            QVERIFY2(image.pixel(g.boxRight - 3, y) == kBlack, qPrintable(where)); // shared border line
        }
        // The red marker points at the right pane's top block, the first row.
        QVERIFY(anyPixel(image, QRect(g.markerX, lh, 2 * left().m_nCharWidth, lh), isRed));
        QVERIFY(!anyPixel(image, QRect(g.markerX, 2 * lh, 2 * left().m_nCharWidth, 3 * lh), isRed));
    }

    void markerFollowsTheRightPane()
    {
        loadSections(40);
        renderBoth();
        right().JumpToAddress(0x3000);
        const QImage image = renderBoth();
        QCOMPARE(left().m_nMarkerAddress, right().m_nTopAddress);
        QCOMPARE(left().m_nMarkerAddress, 0x3000u);
        const int lh = left().m_nLineHeight;
        const int y = lh * (6 + 1); // 0x3000 is the seventh row
        QCOMPARE(left().m_nListMarkerY, y);
        QCOMPARE(left().m_nPrevMarkerY, lh);
        const SectionListGeometry& g = left().m_sectionList;
        QVERIFY(anyPixel(image, QRect(onScreen(g.markerX, y), QSize(2 * left().m_nCharWidth, lh)), isRed));
        QVERIFY(!anyPixel(image, QRect(onScreen(g.markerX, lh), QSize(2 * left().m_nCharWidth, lh)), isRed));
    }

    void memorySizeBandColoursAndMarker()
    {
        loadSections(6);
        model().ImageMode = MemorySizeImage;
        model().RangeStart = 0;
        model().RangeEnd = 0x5FFF;
        left().SetMarkerAddress(0x2000);
        const QImage image = render(left());
        const MemorySizeGeometry& g = left().m_memorySize;
        QCOMPARE(g.barBottom, left().viewport()->height() - left().m_nLineHeight);
        const int x = (g.barLeft + g.barRight) / 2;
        for (int i = 0; i < 6; ++i) {
            const QString where = QStringLiteral("section %1").arg(i);
            const uint32_t start = 0x1000u * static_cast<uint32_t>(i);
            QVERIFY2(image.pixel(x, g.y(start + 0x400)) == kColours[i % 3], qPrintable(where));
            QVERIFY2(image.pixel(x, g.y(start + 0xC00)) == kWhite, qPrintable(where)); // the free area after it
        }
        // The frame's border stays visible over the bands.
        QCOMPARE(image.pixel(g.barLeft, g.y(0x400)), kBlack);
        QCOMPARE(image.pixel(g.barRight - 1, g.y(0x400)), kBlack);
        // The red marker sits half a line above its address's position, left of the bar.
        const int lh = left().m_nLineHeight;
        QVERIFY(anyPixel(image, QRect(g.markerX, g.y(0x2000) - lh / 2, 2 * left().m_nCharWidth, lh), isRed));
        QVERIFY(!anyPixel(image, QRect(g.markerX, g.y(0x4000), 2 * left().m_nCharWidth, lh), isRed));
    }

    void subPixelSectionsStayVisibleOverFreeAreas()
    {
        loadSections(3); // 0x3000 bytes of a 16 MiB range: well under a pixel each
        model().ImageMode = MemorySizeImage;
        const QImage image = renderBoth();
        const MemorySizeGeometry& g = left().m_memorySize;
        QCOMPARE(g.y(0x2800), g.barTop);
        // Inside the frame's top line: the last section drawn there, not the free area after it.
        const QRect row(g.barLeft + 1, g.barTop + 1, g.barRight - g.barLeft - 2, 1);
        QVERIFY(anyPixel(image, row, [](QRgb c) { return c == kGreen; }));
        QVERIFY(!anyPixel(image, row, [](QRgb c) { return c == kWhite; }));
    }

    void contextMenuOnTheBorderNotOnePixelOutside_data()
    {
        QTest::addColumn<bool>("memorySize");
        QTest::newRow("section list") << false;
        QTest::newRow("memory size") << true;
    }

    void contextMenuOnTheBorderNotOnePixelOutside()
    {
        QFETCH(bool, memorySize);
        loadSections(6);
        if (memorySize)
            model().ImageMode = MemorySizeImage;
        renderBoth();
        int left_, top, right_, bottom;
        if (memorySize) {
            const MemorySizeGeometry& g = left().m_memorySize;
            left_ = g.barLeft, top = g.barTop, right_ = g.barRight, bottom = g.barBottom;
        } else {
            const SectionListGeometry& g = left().m_sectionList;
            left_ = g.boxLeft, top = g.firstRowTop, right_ = g.boxRight, bottom = g.listBottom;
        }
        struct Case {
            const char* where;
            int x, y;
            int opened;
        };
        const int midX = (left_ + right_) / 2;
        const int midY = (top + bottom) / 2;
        const Case cases[] = {
            { "top-left corner", left_, top, 1 },
            { "bottom-right corner", right_, bottom, 1 },
            { "left border", left_, midY, 1 },
            { "one pixel left", left_ - 1, midY, 0 },
            { "one pixel right", right_ + 1, midY, 0 },
            { "one pixel above", midX, top - 1, 0 },
            { "one pixel below", midX, bottom + 1, 0 },
        };
        for (const Case& c : cases) {
            left().m_ptContext = QPoint(-1, -1);
            const QPoint logical(c.x, c.y);
            QVERIFY2(left().ContextMenuWouldOpen(logical) == (c.opened == 1), c.where);
            if (c.y - left().scrollPosition().y() >= left().viewport()->height())
                continue; // out of the client area
            QVERIFY2(rightClick(onScreen(c.x, c.y)) == c.opened, c.where);
            if (c.opened)
                QVERIFY2(left().m_ptContext == logical, c.where);
        }
        QCOMPARE(frame().GetActiveView(), static_cast<PaneView*>(&left()));
    }

    void jumpMovesTheRightPanesTopLine()
    {
        loadSections(60);
        renderBoth();
        const int lh = left().m_nLineHeight;
        const SectionListGeometry& g = left().m_sectionList;
        // The second row: the free area after S0, whatever size-0 sections lie between.
        QCOMPARE(rightClick(onScreen(g.boxLeft + 4, 2 * lh + 2), true), 1);
        QCOMPARE(right().m_nTopLine, entryAt(0x800).startLine);
        QVERIFY(right().m_nTopLine > 1);
        // The fifth row: S2.
        QCOMPARE(rightClick(onScreen(g.boxLeft + 4, 5 * lh + 2), true), 1);
        QCOMPARE(right().m_nTopLine, entryAt(0x2000).startLine);
        render(right());
        QCOMPARE(right().m_nTopAddress, 0x2000u);
        QCOMPARE(left().m_nMarkerAddress, 0x2000u);
    }

    void jumpOnTheBottomBorderTakesTheLastRow()
    {
        loadSections(60);
        renderBoth();
        QCOMPARE(right().m_nTopLine, 1);
        const SectionListGeometry& g = left().m_sectionList;
        // The menu opens on the bottom border, one row past the last; Jump takes the last row,
        // the free area above S59, which the list can only show on its last page.
        QVERIFY(left().ContextMenuWouldOpen(QPoint(g.boxLeft, g.listBottom)));
        left().m_ptContext = QPoint(g.boxLeft, g.listBottom);
        frame().SetActiveView(&left());
        QVERIFY(frame().router().dispatch(ID_JUMP));
        const int32_t lastPage = right().m_nTopLine;
        QVERIFY(lastPage > 1);
        right().JumpToAddress(0);
        right().JumpToAddress(0x3B800);
        QCOMPARE(right().m_nTopLine, lastPage);
    }

    void memorySizeJumpTakesTheBandUnderThePoint()
    {
        loadSections(60);
        model().ImageMode = MemorySizeImage;
        model().RangeStart = 0;
        model().RangeEnd = 0x3BFFF;
        renderBoth();
        const MemorySizeGeometry& g = left().m_memorySize;
        const int x = (g.barLeft + g.barRight) / 2;
        QCOMPARE(rightClick(onScreen(x, g.y(0x20400)), true), 1);
        QCOMPARE(right().m_nTopLine, entryAt(0x20000).startLine);
        QCOMPARE(rightClick(onScreen(x, g.barTop), true), 1);
        QCOMPARE(right().m_nTopLine, 1);
    }

    void memorySizeJumpReachesAThinSection()
    {
        // T is 3 bytes, under a pixel: its band is drawn two pixels high over the free area that
        // starts on the same row. A click on either row shows T, not the free area around it.
        m_tree = std::make_unique<MemoryTree>("Carina");
        m_tree->section("LOW", 0x0, 0x1000)->type = kSectionTypeCode;
        m_tree->section("T", 0x10005, 0x3)->type = kSectionTypeData;
        m_tree->section("HIGH", 0x30000, 0x1000)->type = kSectionTypeCode;
        // A list longer than the pane, so that T can be its top line.
        for (int i = 0; i < 100; ++i)
            m_tree->global(m_names.emplace_back("high" + std::to_string(i)).c_str(), 0x30000 + 4u * i);
        markTreeLoaded(model(), &m_tree->root);
        model().ImageMode = MemorySizeImage;
        model().RangeStart = 0;
        model().RangeEnd = 0x3FFFF;
        m_run->app().document()->UpdateAllViews(nullptr);
        renderBoth();
        const MemorySizeGeometry& g = left().m_memorySize;
        const int x = (g.barLeft + g.barRight) / 2;
        const int top = g.y(0x10005);
        QVERIFY(g.y(0x10008) == top);
        for (int y : { top, top + 1 }) {
            right().JumpToAddress(0);
            QCOMPARE(rightClick(onScreen(x, y), true), 1);
            QVERIFY2(right().m_nTopLine == entryAt(0x10005).startLine, qPrintable(QString::number(y - top)));
        }
    }

    void zoomOnlyWhileTheLeftPaneIsActive()
    {
        loadSections(6);
        model().ImageMode = MemorySizeImage;
        renderBoth();
        const CommandRouter& router = frame().router();

        frame().SetActiveView(&right());
        QVERIFY(!router.state(ID_ZOOM_IN).enabled);
        QVERIFY(!router.state(ID_ZOOM_OUT).enabled);
        QVERIFY(!router.dispatch(ID_ZOOM_IN));
        QCOMPARE(left().m_nZoom, 1);

        frame().SetActiveView(&left());
        QVERIFY(router.state(ID_ZOOM_IN).enabled);
        QVERIFY(!router.state(ID_ZOOM_OUT).enabled);
        QVERIFY(router.dispatch(ID_ZOOM_IN));
        QCOMPARE(left().m_nZoom, 2);
        render(left());
        QCOMPARE(left().m_memorySize.barBottom, 2 * left().viewport()->height() - left().m_nLineHeight);
        QVERIFY(router.state(ID_ZOOM_OUT).enabled);

        // Up to the limit: the picture stays within 2 x 16383 pixels.
        while (router.state(ID_ZOOM_IN).enabled)
            QVERIFY(router.dispatch(ID_ZOOM_IN));
        const int height = left().viewport()->height();
        QVERIFY(left().m_nZoom * height > kZoomLimit);
        QVERIFY(left().m_nZoom / 2 * height <= kZoomLimit);
        const int32_t top = left().m_nZoom;
        accelerator(Qt::Key_Plus)->trigger();
        QCOMPARE(left().m_nZoom, top);
        accelerator(Qt::Key_Minus)->trigger();
        QCOMPARE(left().m_nZoom, top / 2);

        // The section-list picture disables both.
        model().ImageMode = SectionListImage;
        QVERIFY(!router.state(ID_ZOOM_IN).enabled);
        QVERIFY(!router.state(ID_ZOOM_OUT).enabled);

        // A document update resets the zoom.
        m_run->app().document()->UpdateAllViews(nullptr);
        QCOMPARE(left().m_nZoom, 1);
    }

    void zoomedPictureRepaintsAtZoomOne_data()
    {
        QTest::addColumn<QString>("change");
        QTest::newRow("new file") << "new";
        QTest::newRow("File Open") << "open";
        QTest::newRow("options") << "options";
    }

    void zoomedPictureRepaintsAtZoomOne()
    {
        // After a new file or changed options the pane repaints by itself at zoom 1: the last
        // paint's bar is one client height tall again, without a render or a resize.
        QFETCH(QString, change);
        loadSections(6);
        model().ImageMode = MemorySizeImage;
        frame().SetActiveView(&left());
        QVERIFY(frame().router().dispatch(ID_ZOOM_IN));
        QVERIFY(frame().router().dispatch(ID_ZOOM_IN));
        // A pane narrower than the picture, so that its scroll bars stay as they are.
        frame().m_wndSplitter->setSizes({ 120, 800 });
        // The layout and the paint arrive through the event loop, later on a busy machine.
        QTRY_VERIFY(left().horizontalScrollBar()->isVisible());
        QTRY_VERIFY(left().verticalScrollBar()->isVisible());
        const int zoomOne = left().viewport()->height() - left().m_nLineHeight;
        QTRY_COMPARE(left().m_memorySize.barBottom, 4 * left().viewport()->height() - left().m_nLineHeight);
        const TempFile file(smallMapFile("Carina"));
        if (change == QStringLiteral("new")) {
            QVERIFY(frame().router().dispatch(ID_FILE_NEW));
        } else if (change == QStringLiteral("open")) {
            m_run->platform().fileToChoose = QString::fromStdString(file.pathString());
            QVERIFY(frame().router().dispatch(ID_FILE_OPEN));
            QVERIFY(model().FileLoaded);
        } else {
            QVERIFY(frame().router().dispatch(ID_OPTIONS));
        }
        QCOMPARE(left().m_nZoom, 1);
        QTRY_COMPARE(left().m_memorySize.barBottom, zoomOne);
    }

    void rowCountFreshAfterEveryRebuild()
    {
        loadSections(6);
        renderBoth();
        QCOMPARE(left().m_nVisibleRows, 12);
        // A second file whose tables were rebuilt after the right pane cleared the mark and
        // before any notification reached this pane.
        m_tree = std::make_unique<MemoryTree>("Carina");
        m_tree->section("ONLY", 0x100, 0x10);
        DetectCpuFamily(model(), &m_tree->root);
        model().TablesChanged = false;
        render(left());
        QCOMPARE(left().m_nVisibleRows, 3);
        QCOMPARE(left().m_sectionList.listBottom, 4 * left().m_nLineHeight);
    }

    void exportOptionChoosesThePicture()
    {
        struct Case {
            QStringList arguments;
            CommandLine::Action action;
            int imageMode;
        };
        const Case cases[] = {
            { { "--export-png", "o.png", "f.abs" }, CommandLine::Action::ExportPng, -1 },
            { { "--export-png", "o.png", "--image", "memory-size", "f.abs" }, CommandLine::Action::ExportPng, 1 },
            { { "--image=section-list", "--export-png", "o.png", "f.abs" }, CommandLine::Action::ExportPng, 0 },
            { { "--export-png", "o.png", "--image", "bars", "f.abs" }, CommandLine::Action::Error, -1 },
            { { "--image", "memory-size", "f.abs" }, CommandLine::Action::Error, 1 },
        };
        for (const Case& c : cases) {
            const CommandLine line = parseCommandLine(c.arguments);
            QVERIFY2(line.action == c.action, qPrintable(c.arguments.join(' ')));
            if (line.action != CommandLine::Action::Error)
                QVERIFY2(line.imageMode == c.imageMode, qPrintable(c.arguments.join(' ')));
        }
    }
};

QTEST_MAIN(LeftViewTest)
#include "left_view_test.moc"
