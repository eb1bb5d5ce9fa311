// right_view_test.cpp: the right pane painted offscreen: boxes, red addresses, headers, keys, drags and relayouts.
#include "left/friend_left_view.hpp"
#include "map_model.hpp"
#include "right/cell_text.hpp"
#include "right/friend_right_view.hpp"
#include "right/header_painter.hpp"
#include "right/list_plan.hpp"
#include "right/right_layout.hpp"
#include "shell/commands.hpp"
#include "shell/main_frame.hpp"
#include "shell/tessaly_app.hpp"
#include "shell/tessaly_doc.hpp"
#include "shell_fixtures.hpp"
#include "support/memory_tree.hpp"

#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>
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
bool isDark(QRgb c)
{
    return qRed(c) < 80 && qGreen(c) < 80 && qBlue(c) < 80;
}

// Whether any pixel of the rectangle satisfies the test.
} // namespace

class RightViewTest : public QObject, protected PaneFixture {
    Q_OBJECT

private:
    // A fresh tree for the test to fill; load() builds the tables from it.
    MemoryTree& tree(const char* cpu = "Carina")
    {
        m_tree = std::make_unique<MemoryTree>(cpu);
        return *m_tree;
    }

    // What a successful open leaves behind, without a file.
    void load()
    {
        markTreeLoaded(model(), &m_tree->root);
        right().Invalidate();
    }

    QImage render() { return renderViewport(right()); }

    int rowTop(int32_t line) { return (line - right().m_nTopLine + 1) * right().m_nLineHeight; }
    QRect cellRect(int number, int32_t line)
    {
        const ColumnInfo& c = column(right().m_columns, number);
        const int sp = right().m_nHorzPos * right().m_nCharWidth;
        return QRect(c.nLeft - sp, rowTop(line), c.nRight - c.nLeft, right().m_nLineHeight);
    }
    const SectionEntry& sectionNamed(const char* name)
    {
        for (const SectionEntry& entry : model().SectionTable)
            if (entry.record->name && std::string(entry.record->name) == name)
                return entry;
        qFatal("no section %s", name);
    }
    // A section with the given number of global labels, each named and kept alive by the test.
    void labels(uint32_t start, int count)
    {
        for (int i = 0; i < count; ++i)
            m_tree->global(m_names.emplace_back("label" + std::to_string(m_names.size())).c_str(), start + 2u * i);
    }

    // One code section, laid out: the Label column as it is then.
    ColumnInfo loadCodeOnly()
    {
        typedSection(tree(), "CODE", 0x1000, 0x100, kSectionTypeCode);
        load();
        render();
        return column(right().m_columns, ColumnLabel);
    }

private slots:
    void init() { QVERIFY(startApp(1400, 600)); }

    void cleanup() { tearDown(); }

    void blankBeforeAFileIsLoaded()
    {
        const QImage image = render();
        QVERIFY(!anyPixel(image, image.rect(), [](QRgb c) { return c != qRgb(255, 255, 255); }));
        QCOMPARE(right().m_nTopLine, 1);
    }

    void boxColoursPerKind()
    {
        MemoryTree& t = tree();
        typedSection(t, "DATA", 0x1000, 0x100, kSectionTypeData);
        typedSection(t, "CODE", 0x2000, 0x100, kSectionTypeCode);
        typedSection(t, "ROM", 0x3000, 0x100, kSectionTypeRom);
        typedSection(t, "OTHER", 0x4000, 0x100, 0);
        labels(0x1000, 3); // DATA gets four rows
        load();
        const QImage image = render();

        struct Case {
            const char* label;
            int32_t line;
            QRgb colour;
        };
        const Case cases[] = {
            { "DATA", sectionNamed("DATA").startLine, qRgb(255, 255, 0) },
            { "DATA, inside the block", sectionNamed("DATA").startLine + 2, qRgb(255, 255, 0) },
            { "CODE", sectionNamed("CODE").startLine, qRgb(0, 255, 255) },
            { "ROM", sectionNamed("ROM").startLine, qRgb(0, 255, 0) },
            { "other type", sectionNamed("OTHER").startLine, qRgb(255, 255, 255) },
            { "free area between DATA and CODE", sectionNamed("DATA").startLine + 4, qRgb(255, 255, 255) },
        };
        for (const Case& c : cases) {
            const QRect cell = cellRect(ColumnSection, c.line);
            const QString where = QString::fromLatin1(c.label);
            // Right of any text, away from the edges.
            QVERIFY2(image.pixel(cell.right() - 3, cell.top() + cell.height() / 2) == c.colour, qPrintable(where));
            // The black left and right edges on every row.
            QVERIFY2(image.pixel(cell.left(), cell.top() + cell.height() / 2) == qRgb(0, 0, 0), qPrintable(where));
            QVERIFY2(image.pixel(cell.right(), cell.top() + cell.height() / 2) == qRgb(0, 0, 0), qPrintable(where));
        }
        // A block's first row has a black top edge; a row inside it has none.
        const QRect first = cellRect(ColumnSection, sectionNamed("CODE").startLine);
        QCOMPARE(image.pixel(first.right() - 3, first.top()), qRgb(0, 0, 0));
        const QRect inside = cellRect(ColumnSection, sectionNamed("DATA").startLine + 2);
        QCOMPARE(image.pixel(inside.right() - 3, inside.top()), qRgb(255, 255, 0));
        // The free area's box holds no text: white from edge to edge.
        const QRect freeBox = cellRect(ColumnSection, sectionNamed("DATA").startLine + 4).adjusted(1, 1, -1, -1);
        QVERIFY(!anyPixel(image, freeBox, [](QRgb c) { return c != qRgb(255, 255, 255); }));
        // Its address and size are written.
        QVERIFY(anyPixel(image, cellRect(ColumnAddress, sectionNamed("DATA").startLine + 4), isDark));
    }

    void redAddresses()
    {
        MemoryTree& t = tree();
        typedSection(t, "A", 0x1000, 0x100, kSectionTypeCode);
        typedSection(t, "OVL", 0x1080, 0x100, kSectionTypeCode); // begins below A's end
        typedSection(t, "TOP", 0xFFFF00, 0x100, kSectionTypeData); // ends at MaxAddress + 1
        load();
        const QImage image = render();
        struct Case {
            const char* name;
            bool red;
        };
        const Case cases[] = { { "A", false }, { "OVL", true }, { "TOP", false } };
        for (const Case& c : cases) {
            const QRect cell = cellRect(ColumnAddress, sectionNamed(c.name).startLine);
            QVERIFY2(anyPixel(image, cell, isRed) == c.red, c.name);
            QVERIFY2(anyPixel(image, cell, isDark) == !c.red, c.name);
        }
    }

    void redAddressWhateverTheTopLine()
    {
        // OVL overlaps A; with OVL on the top row, A is not painted, and OVL stays red.
        MemoryTree& t = tree();
        typedSection(t, "A", 0x1000, 0x100, kSectionTypeCode);
        typedSection(t, "OVL", 0x1080, 0x100, kSectionTypeCode);
        labels(0x1100, 40); // past A's end: OVL's
        load();
        render();
        right().m_nTopLine = sectionNamed("OVL").startLine;
        right().RefreshVertBar();
        QCOMPARE(right().m_nTopLine, sectionNamed("OVL").startLine);
        const QImage image = render();
        QVERIFY(anyPixel(image, cellRect(ColumnAddress, sectionNamed("OVL").startLine), isRed));
    }

    void addressTextStaysOutOfTheSectionBox()
    {
        // A narrowed Address column: the red address runs on into the Section column, whose box
        // is drawn over it.
        MemoryTree& t = tree();
        typedSection(t, "A", 0x1000, 0x100, kSectionTypeCode);
        typedSection(t, "OVL", 0x1080, 0x100, kSectionTypeCode);
        load();
        render();
        const ColumnInfo address = column(right().m_columns, ColumnAddress);
        const int y = right().m_nLineHeight / 2;
        QWidget* viewport = right().viewport();
        QTest::mousePress(viewport, Qt::LeftButton, {}, QPoint(address.nRight, y));
        QTest::mouseMove(viewport, QPoint(address.nRight - 6 * right().m_nCharWidth, y));
        QTest::mouseRelease(viewport, Qt::LeftButton, {}, QPoint(address.nRight - 6 * right().m_nCharWidth, y));
        const QImage image = render();
        const int32_t line = sectionNamed("OVL").startLine;
        QVERIFY(anyPixel(image, cellRect(ColumnAddress, line), isRed));
        QVERIFY(!anyPixel(image, cellRect(ColumnSection, line), isRed));
    }

    void redAddressOneByteAboveTheSpace()
    {
        MemoryTree& t = tree();
        typedSection(t, "OVER", 0xFFFF00, 0x101, kSectionTypeData);
        load();
        const QImage image = render();
        QVERIFY(anyPixel(image, cellRect(ColumnAddress, sectionNamed("OVER").startLine), isRed));
    }

    void headerTexts_data()
    {
        QTest::addColumn<QString>("cpu");
        QTest::addColumn<int>("digits");
        QTest::addColumn<QString>("text");
        QTest::newRow("6 digits") << "Carina" << 6 << "Address(size)";
        QTest::newRow("8 digits") << "Grus" << 8 << " Address(  size  )";
    }

    void headerTexts()
    {
        QFETCH(QString, cpu);
        QFETCH(int, digits);
        QFETCH(QString, text);
        const std::string cpuName = cpu.toStdString();
        MemoryTree& t = tree(cpuName.c_str());
        typedSection(t, "CODE", 0x1000, 0x100, kSectionTypeCode);
        load();
        const QImage image = render();
        QCOMPARE(model().AddressDigits, digits);
        const int cw = right().m_nCharWidth;
        const int h = right().m_nLineHeight;
        QCOMPARE(column(right().m_columns, ColumnAddress).nRight, (2 * digits + 3) * cw);

        // The cell as the header painter draws it with this text, and with the other width's text.
        auto reference = [&](const QString& header) {
            QImage cell(column(right().m_columns, ColumnAddress).nRight, h, QImage::Format_RGB32);
            cell.fill(right().palette().color(QPalette::Base)); // the corner the strips leave
            QPainter painter(&cell);
            painter.setFont(right().m_cellFont);
            CHeaderPainter(right().palette()).Paint(painter, cell.rect(), header);
            return cell;
        };
        const QImage painted = image.copy(0, 0, column(right().m_columns, ColumnAddress).nRight, h);
        QCOMPARE(painted, reference(text));
        const QString other = QString::fromLatin1(ColumnHeaderText(ColumnAddress, digits == 6 ? 8 : 6, false));
        QVERIFY(painted != reference(other));
        // The address cells use the same width.
        const QString cellText = QString::fromStdString(FormatAddressSize(digits, 0x1000, 0x100));
        QCOMPARE(cellText.size(), 2 * digits + 3);
    }

    void keysMoveTheTopLine_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("from");
        QTest::addColumn<QString>("expected"); // a line, or an expression of P and D
        QTest::newRow("down") << int(Qt::Key_Down) << 1 << "2";
        QTest::newRow("up") << int(Qt::Key_Up) << 10 << "9";
        QTest::newRow("up at the top") << int(Qt::Key_Up) << 1 << "1";
        QTest::newRow("page down") << int(Qt::Key_PageDown) << 1 << "1+P";
        QTest::newRow("page up") << int(Qt::Key_PageUp) << 100 << "100-P";
        QTest::newRow("page up near the top") << int(Qt::Key_PageUp) << 3 << "1";
        QTest::newRow("end") << int(Qt::Key_End) << 1 << "D";
        QTest::newRow("home") << int(Qt::Key_Home) << 150 << "1";
        QTest::newRow("down at the bottom") << int(Qt::Key_Down) << -1 << "D";
        QTest::newRow("other key") << int(Qt::Key_A) << 20 << "20";
    }

    void keysMoveTheTopLine()
    {
        QFETCH(int, key);
        QFETCH(int, from);
        QFETCH(QString, expected);
        MemoryTree& t = tree();
        typedSection(t, "CODE", 0x1000, 0x1000, kSectionTypeCode);
        labels(0x1000, 300);
        load();
        render();
        QCOMPARE(right().m_nLineCount, 1 + 1 + 301 + 1); // free, CODE, free
        const int h = right().m_nLineHeight;
        const int page = right().viewport()->height() / h - 2;
        const int highest = right().m_nLineCount - (right().viewport()->height() / h - 1) + 1;
        right().m_nTopLine = from < 0 ? highest : from;
        right().RefreshVertBar();
        QTest::keyClick(&right(), static_cast<Qt::Key>(key));
        int want = 0;
        if (expected == "1+P")
            want = 1 + page;
        else if (expected == "100-P")
            want = 100 - page;
        else if (expected == "D")
            want = highest;
        else
            want = expected.toInt();
        QCOMPARE(right().m_nTopLine, want);
        // The bar follows.
        QCOMPARE(right().verticalScrollBar()->value(), want);
    }

    void arrowKeysScrollSideways()
    {
        MemoryTree& t = tree();
        typedSection(t, "CODE", 0x1000, 0x100, kSectionTypeCode);
        load();
        render();
        QTest::keyClick(&right(), Qt::Key_Right);
        QTest::keyClick(&right(), Qt::Key_Right);
        QCOMPARE(right().m_nHorzPos, 2);
        QTest::keyClick(&right(), Qt::Key_Left);
        QCOMPARE(right().m_nHorzPos, 1);
        QTest::keyClick(&right(), Qt::Key_Left);
        QTest::keyClick(&right(), Qt::Key_Left);
        QCOMPARE(right().m_nHorzPos, 0);
        // The columns are drawn one character further left per step.
        QTest::keyClick(&right(), Qt::Key_Right);
        const QImage image = render();
        QCOMPARE(right().m_nColumnsEnd, column(right().m_columns, ColumnLabel).nRight - right().m_nCharWidth);
        QVERIFY(!image.isNull());
    }

    void dragNarrowsAColumnToThreePixels_data()
    {
        QTest::addColumn<int>("number");
        QTest::newRow("Address") << int(ColumnAddress);
        QTest::newRow("Section") << int(ColumnSection);
        QTest::newRow("Label") << int(ColumnLabel);
        QTest::newRow(".EQU") << int(ColumnEqu);
    }

    void dragNarrowsAColumnToThreePixels()
    {
        QFETCH(int, number);
        MemoryTree& t = tree();
        typedSection(t, "CODE", 0x1000, 0x100, kSectionTypeCode);
        t.global("LIMIT", 0x1010, IE_KIND_EQU);
        labels(0x1000, 2);
        model().ShowEquList = true;
        model().ShowFunctionList = true;
        load();
        render();
        const ColumnTable before = right().m_columns;
        const ColumnInfo& dragged = column(before, number);
        const int y = right().m_nLineHeight / 2;
        QWidget* viewport = right().viewport();

        QTest::mousePress(viewport, Qt::LeftButton, {}, QPoint(dragged.nRight, y));
        QCOMPARE(right().m_nDragColumn, number);
        QCOMPARE(viewport->cursor().shape(), Qt::BitmapCursor);
        QTest::mouseMove(viewport, QPoint(dragged.nLeft - 40, y));
        QCOMPARE(column(right().m_columns, number).nDragX, dragged.nLeft + 3);
        QVERIFY(right().ColumnsMoved);
        QTest::mouseRelease(viewport, Qt::LeftButton, {}, QPoint(dragged.nLeft - 40, y));
        QCOMPARE(right().m_nDragColumn, int(ColumnNone));
        QCOMPARE(viewport->cursor().shape(), Qt::ArrowCursor);
        render();

        const ColumnInfo& after = column(right().m_columns, number);
        QCOMPARE(after.nWidthPx, 3);
        QCOMPARE(after.nRight, after.nLeft + 3);
        QCOMPARE(after.nLeft, dragged.nLeft);
        // Every column right of it keeps its width and moves left by as much.
        const int shift = dragged.nWidthPx - 3;
        for (int n = number + 1; n <= ColumnFunction; ++n) {
            QCOMPARE(column(right().m_columns, n).nWidthPx, column(before, n).nWidthPx);
            QCOMPARE(column(right().m_columns, n).nLeft, column(before, n).nLeft - shift);
        }
        QVERIFY(!right().ColumnsMoved);
    }

    void onlyTheLeftButtonEndsADrag()
    {
        const ColumnInfo label = loadCodeOnly();
        const int y = right().m_nLineHeight / 2;
        QWidget* viewport = right().viewport();
        QTest::mousePress(viewport, Qt::LeftButton, {}, QPoint(label.nRight, y));
        QTest::mouseMove(viewport, QPoint(label.nRight + 30, y));
        // A right click while the left button is held.
        const QPointF at(label.nRight + 30, y);
        QMouseEvent rightPress(QEvent::MouseButtonPress, at, viewport->mapToGlobal(at), Qt::RightButton,
            Qt::LeftButton | Qt::RightButton, Qt::NoModifier);
        QCoreApplication::sendEvent(viewport, &rightPress);
        QMouseEvent rightRelease(
            QEvent::MouseButtonRelease, at, viewport->mapToGlobal(at), Qt::RightButton, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(viewport, &rightRelease);
        QCOMPARE(right().m_nDragColumn, int(ColumnLabel));
        QTest::mouseMove(viewport, QPoint(label.nRight + 40, y));
        QTest::mouseRelease(viewport, Qt::LeftButton, {}, QPoint(label.nRight + 40, y));
        QCOMPARE(right().m_nDragColumn, int(ColumnNone));
        render();
        QCOMPARE(column(right().m_columns, ColumnLabel).nRight, label.nRight + 40);
    }

    void fineWheelStepsAddUp()
    {
        MemoryTree& t = tree();
        typedSection(t, "CODE", 0x1000, 0x1000, kSectionTypeCode);
        labels(0x1000, 300);
        load();
        render();
        auto wheel = [&](int delta) {
            const QPointF at(50, 50);
            QWheelEvent event(at, right().viewport()->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                Qt::NoModifier, Qt::NoScrollPhase, false);
            QCoreApplication::sendEvent(right().viewport(), &event);
        };
        // Eight touchpad steps of 15 make one notch of 120: three lines.
        for (int i = 0; i < 8; ++i)
            wheel(-15);
        QCOMPARE(right().m_nTopLine, 4);
        wheel(-120);
        QCOMPARE(right().m_nTopLine, 7);
        wheel(120);
        QCOMPARE(right().m_nTopLine, 4);
    }

    void dragBarIsInverted()
    {
        const ColumnInfo label = loadCodeOnly();
        const int y = right().m_nLineHeight / 2;
        const int barX = label.nRight + 60; // over the blank area right of the columns
        QVERIFY(barX + 2 < right().viewport()->width());
        QTest::mousePress(right().viewport(), Qt::LeftButton, {}, QPoint(label.nRight, y));
        QTest::mouseMove(right().viewport(), QPoint(barX, y));
        const QImage during = render();
        const int listY = right().m_nLineHeight * 3 + 2;
        QCOMPARE(during.pixel(barX, listY), qRgb(0, 0, 0));
        QCOMPARE(during.pixel(barX - 1, listY), qRgb(0, 0, 0));
        QCOMPARE(during.pixel(barX + 5, listY), qRgb(255, 255, 255));
        QTest::mouseRelease(right().viewport(), Qt::LeftButton, {}, QPoint(barX, y));
        const QImage after = render();
        QCOMPARE(column(right().m_columns, ColumnLabel).nRight, barX);
        QCOMPARE(after.pixel(barX + 5, listY), qRgb(255, 255, 255));
    }

    void pressAwayFromABorderStartsNoDrag()
    {
        MemoryTree& t = tree();
        typedSection(t, "CODE", 0x1000, 0x100, kSectionTypeCode);
        load();
        render();
        const ColumnInfo& section = column(right().m_columns, ColumnSection);
        QTest::mousePress(right().viewport(), Qt::LeftButton, {}, QPoint(section.nRight + 3, 2));
        QCOMPARE(right().m_nDragColumn, int(ColumnNone));
        QTest::mouseRelease(right().viewport(), Qt::LeftButton, {}, QPoint(section.nRight + 3, 2));
        // Below the header row a border is no border.
        QTest::mousePress(right().viewport(), Qt::LeftButton, {}, QPoint(section.nRight, right().m_nLineHeight + 2));
        QCOMPARE(right().m_nDragColumn, int(ColumnNone));
        QTest::mouseRelease(right().viewport(), Qt::LeftButton, {}, QPoint(section.nRight, right().m_nLineHeight + 2));
    }

    void topAddressGoesToTheLeftPane()
    {
        MemoryTree& t = tree();
        typedSection(t, "DATA", 0x1000, 0x100, kSectionTypeData);
        typedSection(t, "CODE", 0x2000, 0x100, kSectionTypeCode);
        labels(0x1000, 40);
        load();
        render();
        QCOMPARE(right().m_nTopAddress, 0u);
        right().m_nTopLine = sectionNamed("DATA").startLine + 5; // inside DATA
        render();
        QCOMPARE(right().m_nTopAddress, 0x1000u);
        QCOMPARE(frame().m_pLeftView->m_nMarkerAddress, 0x1000u);
    }

    void jumpToAddress()
    {
        MemoryTree& t = tree();
        typedSection(t, "DATA", 0x1000, 0x100, kSectionTypeData);
        typedSection(t, "CODE", 0x2000, 0x100, kSectionTypeCode);
        labels(0x1000, 100);
        load();
        render();
        right().JumpToAddress(0x1050);
        QCOMPARE(right().m_nTopLine, sectionNamed("DATA").startLine);
        right().JumpToAddress(0x2050); // the last page
        const int rows = right().viewport()->height() / right().m_nLineHeight - 1;
        QCOMPARE(right().m_nTopLine, std::min(sectionNamed("CODE").startLine, right().m_nLineCount - rows + 1));
        render();
        const int32_t owner = BlockAtLine(model(), right().m_nTopLine);
        QVERIFY(owner >= 0);
        QCOMPARE(right().m_nTopAddress, model().SectionTable[static_cast<size_t>(owner)].record->start);
    }

    void listTogglesRelayout()
    {
        MemoryTree& t = tree();
        typedSection(t, "CODE", 0x1000, 0x100, kSectionTypeCode);
        t.global("LIMIT", 0x1010, IE_KIND_EQU);
        labels(0x1000, 2);
        model().ShowFunctionList = true;
        load();
        render();
        const int labelRight = column(right().m_columns, ColumnLabel).nRight;
        QCOMPARE(column(right().m_columns, ColumnFunction).nLeft, labelRight);
        QVERIFY(frame().router().dispatch(ID_SHOW_EQU_LIST));
        QVERIFY(model().ListRebuildPending);
        render();
        QVERIFY(!model().ListRebuildPending);
        QVERIFY(column(right().m_columns, ColumnEqu).nWidthPx > 0);
        QCOMPARE(column(right().m_columns, ColumnFunction).nLeft, column(right().m_columns, ColumnEqu).nRight);
        QVERIFY(frame().router().dispatch(ID_SHOW_FUNCTION_LIST));
        render();
        QCOMPARE(column(right().m_columns, ColumnFunction).nWidthPx, 0);
        // Without modules there are no module sections: the local list is empty.
        QVERIFY(frame().router().dispatch(ID_SHOW_LOCAL_INFORMATION));
        QVERIFY(model().ModuleSectionTable.empty());
        render();
        QCOMPARE(right().m_nLineCount, 1);
    }

    void largerFontWidensTheColumns()
    {
        MemoryTree& t = tree();
        typedSection(t, "CODE", 0x1000, 0x100, kSectionTypeCode);
        load();
        render();
        const int before = column(right().m_columns, ColumnAddress).nWidthPx;
        LogFont bigger = right().m_logFont;
        bigger.height = 28;
        right().m_logFont = bigger;
        right().m_font = createFont(bigger);
        right().RemeasureFont();
        QVERIFY(model().ListRebuildPending);
        render();
        QCOMPARE(column(right().m_columns, ColumnAddress).nWidthPx, 15 * right().m_nCharWidth);
        QVERIFY(column(right().m_columns, ColumnAddress).nWidthPx > before);
    }
};

QTEST_MAIN(RightViewTest)
#include "right_view_test.moc"
