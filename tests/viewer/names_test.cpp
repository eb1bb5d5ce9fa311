// names_test.cpp: names drawn whole and read one byte to a character on every surface: the two pictures, the list,
// the printout and the window's export.
#include "left/friend_left_view.hpp"
#include "left/left_geometry.hpp"
#include "map_model.hpp"
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

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QScreen>
#include <QSplitter>
#include <QtTest>
#include <memory>
#include <string>

using namespace tessaly;
using namespace tessaly::testing;

namespace {

// Ink, antialiased edges included: a thin stroke at a small size is grey rather than black.
bool isDark(QRgb c)
{
    return qGray(c) < 192;
}

// Whether some pixel row from top to bottom holds a dark run across half the cell from x: the
// stroke of an underscore.
bool underscoreIn(const QImage& image, int x, int charWidth, int top, int bottom)
{
    for (int y = top; y <= bottom; ++y) {
        int dark = 0;
        for (int i = 0; i < charWidth; ++i)
            dark += isDark(image.pixel(x + i, y)) ? 1 : 0;
        if (dark >= std::max(2, charWidth / 2))
            return true;
    }
    return false;
}

} // namespace

class NamesTest : public QObject, protected PaneFixture {
    Q_OBJECT

private:
    // Sections and labels named with the given bytes: SEC at 0x1000 (0x100 bytes, code, its label
    // LAB at its start), then NEXT_SECTION at 0x4000, so free areas stand on both sides of SEC and
    // the section-list picture's boxes are wider than SEC's text.
    void load(const std::string& section, const std::string& label, int32_t type = kSectionTypeCode)
    {
        m_tree = std::make_unique<MemoryTree>("Carina");
        typedSection(*m_tree, m_names.emplace_back(section).c_str(), 0x1000, 0x100, type);
        typedSection(*m_tree, "NEXT_SECTION", 0x4000, 0x100, kSectionTypeData);
        m_tree->global(m_names.emplace_back(label).c_str(), 0x1000);
        markTreeLoaded(model(), &m_tree->root);
        m_run->app().document()->UpdateAllViews(nullptr);
    }

    const SectionEntry& entryAt(uint32_t start)
    {
        for (const SectionEntry& entry : model().SectionTable)
            if (entry.record->start == start && entry.record->size != 0)
                return entry;
        qFatal("no entry at %x", start);
    }
    // The section-list picture's row of the entry at the address.
    int listRow(uint32_t start)
    {
        int row = 0;
        for (const SectionEntry& entry : model().SectionTable) {
            if (entry.record->size == 0)
                continue;
            if (entry.record->start == start)
                return row;
            ++row;
        }
        qFatal("no row at %x", start);
    }

    // Where a text's first cell lies on each surface, with the character grid there.
    struct Place {
        const char* surface;
        QImage image;
        int x; // first cell of the name
        int y; // top of its row
        int cw;
        int h;
        int inkTop; // rows of the cell no edge is drawn on
        int inkBottom;
    };

    // The name of the section (or label) in every place it is drawn: the section-list picture,
    // the memory-size picture, the list's Section and Label cells and page 1 of the printout
    // (at 72 dots per inch, so its font has the screen's size).
    std::vector<Place> places()
    {
        std::vector<Place> all;
        const int d = model().AddressDigits;

        model().ImageMode = SectionListImage;
        QImage rightImage = renderViewport(right());
        QImage listImage = renderViewport(left());
        const int lh = left().m_nLineHeight;
        const int lcw = left().m_nCharWidth;
        const int ly = lh * (listRow(0x1000) + 1);
        // "[C] " or four blanks, then the name.
        all.push_back(
            { "section list", listImage, left().m_sectionList.boxLeft + 4 * lcw, ly, lcw, lh, ly + 1, ly + lh - 1 });

        model().ImageMode = MemorySizeImage;
        model().RangeStart = 0x1000;
        model().RangeEnd = 0x10FF;
        QImage sizeImage = renderViewport(left());
        const MemorySizeGeometry& g = left().m_memorySize;
        // " %s(%06x)": a blank, then the name.
        all.push_back({ "memory size", sizeImage, g.textX + lcw, g.barTop, lcw, lh, g.barTop + 1, g.barTop + lh - 1 });

        const int h = right().m_nLineHeight;
        const int cw = right().m_nCharWidth;
        const int y = (entryAt(0x1000).startLine - right().m_nTopLine + 1) * h;
        // The box's text stands a pixel in from its left edge.
        all.push_back({ "list, Section", rightImage, column(right().m_columns, ColumnSection).nLeft + 1 + 4 * cw, y, cw,
            h, y + 1, y + h - 1 });
        // "[G] %06x:" then the name.
        all.push_back({ "list, Label", rightImage, column(right().m_columns, ColumnLabel).nLeft + (d + 5) * cw, y, cw,
            h, y + 1, y + h - 1 });

        const ListRows rows = NumberRows(model());
        QImage page(4000, 1200, QImage::Format_RGB32);
        page.setDotsPerMeterX(qRound(72 / 0.0254));
        page.setDotsPerMeterY(qRound(72 / 0.0254));
        page.fill(Qt::white);
        const ListPrintJob job(model(), rows, right().m_logFont, page, page.rect());
        {
            QPainter painter(&page);
            job.PrintPage(painter, 1, page.rect());
        }
        const int ph = job.lineHeight();
        const int pcw = job.charWidth();
        const PrintColumns columns = PrintColumnPositions(model(), pcw);
        const int py = (entryAt(0x1000).startLine + 2) * ph;
        // The thick edges cover the cell's top two rows and its bottom row.
        all.push_back({ "printout, Section", page, columns.sectionLeft + 4 * pcw, py, pcw, ph, py + 2, py + ph - 2 });
        all.push_back({ "printout, Label", page, columns.label + (d + 5) * pcw, py, pcw, ph, py + 2, py + ph - 2 });
        return all;
    }

private slots:
    void init()
    {
        QVERIFY(startApp(1600, 700));
        // Room for the memory-size picture's names at the largest font.
        frame().m_wndSplitter->setSizes({ 600, 1000 });
    }

    void cleanup() { tearDown(); }

    void underscoresStayInsideTheirCells_data()
    {
        QTest::addColumn<int>("points"); // 0: the panes' first font
        QTest::newRow("first font") << 0;
        for (int points = 8; points <= 16; ++points)
            QTest::newRow(qPrintable(QStringLiteral("%1 points").arg(points))) << points;
    }

    void underscoresStayInsideTheirCells()
    {
        QFETCH(int, points);
        load("a_b_c", "a_b_c");
        if (points > 0) {
            // The Font command, as the dialog answers it.
            LogFont chosen = right().m_logFont;
            const double dpi = QGuiApplication::primaryScreen()->logicalDotsPerInchY();
            chosen.height = -qRound(points * dpi / 72.0);
            m_run->platform().fontToChoose = chosen;
            QVERIFY(frame().router().dispatch(ID_FONT));
        }
        for (const Place& p : places()) {
            // "a_b_c": the underscores are its second and fourth characters.
            for (int k : { 1, 3 })
                QVERIFY2(underscoreIn(p.image, p.x + k * p.cw, p.cw, p.inkTop, p.inkBottom),
                    qPrintable(QStringLiteral("%1, character %2").arg(QString::fromLatin1(p.surface)).arg(k)));
        }
    }

    void highBytesAreOneCharacterEach()
    {
        // Bytes 0x80 to 0xFF, each one character of ISO 8859-1: every surface draws the same glyphs
        // in the same cells. A box of no kind, so every name stands on white.
        const std::string name = "\xB5P\xE9\xFC\xC4\xFF";
        load(name, name, 0);
        const std::vector<Place> all = places();
        const int n = static_cast<int>(name.size());
        auto cells = [&](const Place& p) { return p.image.copy(p.x, p.inkTop, n * p.cw, p.inkBottom - p.inkTop + 1); };
        // The screen's surfaces share one font and grid; the printout has a font of its own.
        const QImage list = cells(all[2]);
        QVERIFY(!list.isNull());
        for (const Place& p : all) {
            if (p.cw != all[2].cw || p.h != all[2].h)
                continue;
            QVERIFY2(cells(p) == list, p.surface);
        }
        // The window as --export-png writes it shows the list's cells as they are.
        const QImage window = m_run->app().renderWindow(frame().size());
        const QPoint origin = right().viewport()->mapTo(&frame(), QPoint(0, 0));
        const Place& label = all[3];
        QCOMPARE(window.copy(
                     origin.x() + label.x, origin.y() + label.inkTop, n * label.cw, label.inkBottom - label.inkTop + 1),
            list);
    }

    void crowdingCountsBytesAsCharacters()
    {
        // The name C3 A9, "é" were it UTF-8, is two characters; the "..." of the crowded NEXT
        // section follows the label's last character directly.
        m_tree = std::make_unique<MemoryTree>("Carina");
        typedSection(*m_tree, m_names.emplace_back("\xC3\xA9").c_str(), 0x1000, 0x10, kSectionTypeCode);
        typedSection(*m_tree, "NEXT", 0x1010, 0x10, kSectionTypeData);
        markTreeLoaded(model(), &m_tree->root);
        model().ImageMode = MemorySizeImage;
        model().RangeStart = 0x1000;
        model().RangeEnd = 0xFFFFF;
        m_run->app().document()->UpdateAllViews(nullptr);
        const QImage image = renderViewport(left());
        const MemorySizeGeometry& g = left().m_memorySize;
        const int cw = left().m_nCharWidth;
        const int lh = left().m_nLineHeight;
        // " \xC3\xA9(000010)" is 11 characters, then "...".
        const int last = g.textX + 10 * cw;
        bool ink = false;
        for (int y = g.barTop; y < g.barTop + lh; ++y)
            for (int x = last; x < last + cw; ++x)
                ink = ink || isDark(image.pixel(x, y));
        QVERIFY2(ink, "the label's closing parenthesis is missing before the dots");
    }
};

QTEST_MAIN(NamesTest)
#include "names_test.moc"
