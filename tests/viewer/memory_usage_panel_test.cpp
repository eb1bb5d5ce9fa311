// memory_usage_panel_test.cpp: the Memory usage panel offscreen: bar colours, red and amber, a click on a region; where
// the regions file comes from; the address under the pointer in the status bar.
#include "left/friend_left_view.hpp"
#include "map_model.hpp"
#include "right/friend_right_view.hpp"
#include "section_tag.hpp"
#include "shell/commands.hpp"
#include "shell/main_frame.hpp"
#include "shell/memory_usage_panel.hpp"
#include "shell/regions_source.hpp"
#include "shell/tessaly_doc.hpp"
#include "shell_fixtures.hpp"
#include "support/memory_tree.hpp"
#include "support/temp_file.hpp"

#include <QDockWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QSettings>
#include <QStandardPaths>
#include <QStatusBar>
#include <QtTest>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

using namespace tessaly;
using namespace tessaly::testing;

namespace {

constexpr QRgb toQRgb(Rgb c)
{
    return qRgb(c.r, c.g, c.b);
}

void writeText(const std::filesystem::path& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

QString qPath(const std::filesystem::path& path)
{
    return QString::fromStdString(path.string());
}

// ROM over its fail percentage (50 % used, fail above 40), RAM over its warn (25 %, warn above
// 20), IO within budget (48 %).
constexpr char kRegions[] = "ROM 0 0x2000 30 40\n"
                            "RAM 0x2000 0x2000 20\n"
                            "IO  0x4000 0x1000\n";

} // namespace

class MemoryUsageTest : public QObject, protected PaneFixture {
    Q_OBJECT

private:
    std::unique_ptr<TempFolder> m_folder;

    std::filesystem::path beside() const { return m_folder->path() / "prog.regions"; }

    // Code and data in ROM, ROM data in RAM, code and data in IO; the shown file is prog.xqe in the folder.
    void load()
    {
        m_tree = std::make_unique<MemoryTree>("Carina");
        m_tree->section("CODE", 0, 0x800)->type = kSectionTypeCode;
        m_tree->section("DATA", 0x800, 0x800)->type = kSectionTypeData;
        m_tree->section("TABLE", 0x2000, 0x800)->type = kSectionTypeRom;
        m_tree->section("IOCODE", 0x4000, 0x400)->type = kSectionTypeCode;
        // Enough lines after RAM's section that the list can bring it to the top.
        for (uint32_t i = 0; i < 60; ++i)
            m_tree->section(m_names.emplace_back("N" + std::to_string(i)).c_str(), 0x4400 + 0x10 * i, 0x10)->type
                = kSectionTypeData;
        markTreeLoaded(model(), &m_tree->root);
        model().LoadedPath = (m_folder->path() / "prog.xqe").string();
        m_run->app().document()->UpdateAllViews(nullptr);
        emit m_run->app().document()->fileRead();
    }

    MemoryUsagePanel& panel() { return *frame().m_memoryUsagePanel; }
    RegionsSource& regions() { return *frame().m_regions; }

    QImage showPanel()
    {
        if (!frame().MemoryUsageShown())
            frame().router().dispatch(ID_VIEW_MEMORY_USAGE);
        QCoreApplication::processEvents();
        return panel().grab().toImage();
    }

    QPoint barPoint(std::size_t row, double fraction)
    {
        const RegionPanelLayout l = panel().layout();
        return QPoint(l.barLeft() + static_cast<int>(fraction * l.barWidth(panel().width())),
            (l.barTop(row) + l.barBottom(row)) / 2);
    }

    QString hoverAt(PaneView& view, QPoint point)
    {
        QMouseEvent move(
            QEvent::MouseMove, point, view.viewport()->mapToGlobal(point), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(view.viewport(), &move);
        return frame().statusBar()->currentMessage();
    }

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void init()
    {
        QSettings().remove(QString::fromLatin1(RegionsSource::kSettingsGroup));
        m_folder = std::make_unique<TempFolder>();
        QVERIFY(startApp(1000, 600));
    }

    void cleanup()
    {
        tearDown();
        m_folder.reset();
    }

    void menuItemsFollowTheSpecifiedOnes()
    {
        const QList<QMenu*> menus = frame().menus();
        const QList<QAction*> view = menus[1]->actions();
        // Other new items may follow, behind a separator of their own.
        QVERIFY(view.size() >= 4);
        QVERIFY(view[2]->isSeparator());
        QCOMPARE(view[3]->data().toInt(), int(ID_VIEW_MEMORY_USAGE));
        const QList<QAction*> option = menus[2]->actions();
        QVERIFY(option.size() >= 6);
        QCOMPARE(option[0]->data().toInt(), int(ID_OPTIONS));
        QCOMPARE(option[2]->data().toInt(), int(ID_FONT));
        QVERIFY(option[3]->isSeparator());
        QCOMPARE(option[4]->data().toInt(), int(ID_MEMORY_REGIONS));
        QCOMPARE(option[5]->data().toInt(), int(ID_CLEAR_MEMORY_REGIONS));
        // The panel is not made until asked for, and its item says so.
        QVERIFY(frame().m_wndMemoryUsage == nullptr);
        QVERIFY(frame().router().state(ID_VIEW_MEMORY_USAGE).checked == std::optional<bool>(false));
        frame().router().dispatch(ID_VIEW_MEMORY_USAGE);
        QVERIFY(!frame().m_wndMemoryUsage->isHidden());
        QVERIFY(frame().router().state(ID_VIEW_MEMORY_USAGE).checked == std::optional<bool>(true));
        frame().router().dispatch(ID_VIEW_MEMORY_USAGE);
        QVERIFY(frame().m_wndMemoryUsage->isHidden());
        QVERIFY(frame().router().state(ID_VIEW_MEMORY_USAGE).checked == std::optional<bool>(false));
    }

    void barsTakeTheKindColoursAndTheStatusOutline()
    {
        writeText(beside(), kRegions);
        load();
        QCOMPARE(regions().currentFile(), qPath(beside()));
        const QImage image = showPanel();
        QVERIFY(panel().width() > 100);
        struct Probe {
            std::size_t row;
            double fraction;
            Rgb colour;
        };
        const Probe probes[] = {
            { 0, 0.1, kRgbCode }, { 0, 0.4, kRgbData }, { 0, 0.75, kRgbRegionFree }, // ROM
            { 1, 0.1, kRgbRom }, { 1, 0.6, kRgbRegionFree }, // RAM
            { 2, 0.2, kRgbCode }, { 2, 0.5, kRgbRegionFree }, // IO
        };
        for (const Probe& p : probes) {
            const QPoint at = barPoint(p.row, p.fraction);
            QVERIFY2(image.pixel(at) == toQRgb(p.colour),
                qPrintable(QStringLiteral("row %1 at %2").arg(p.row).arg(p.fraction)));
        }
        // The outline just outside each bar: red over fail and amber over warn, two pixels wide;
        // black and one pixel within budget.
        const Rgb outlines[] = { kRgbRed, kRgbRegionWarn, kRgbBlack };
        for (std::size_t row = 0; row < 3; ++row) {
            const QPoint inner = barPoint(row, 0) - QPoint(1, 0);
            QVERIFY2(image.pixel(inner) == toQRgb(outlines[row]), qPrintable(QStringLiteral("row %1").arg(row)));
            const bool wide = !(outlines[row] == kRgbBlack);
            QVERIFY2((image.pixel(inner - QPoint(1, 0)) == toQRgb(outlines[row])) == wide,
                qPrintable(QStringLiteral("row %1").arg(row)));
        }
    }

    void aClickShowsTheRegionInThePictureAndTheList()
    {
        writeText(beside(), kRegions);
        load();
        showPanel();
        renderViewport(right());
        QTest::mouseClick(&panel(), Qt::LeftButton, {}, barPoint(1, 0.5));
        // RAM's pages, drawn to scale in the memory-size picture, and TABLE at the list's top.
        QCOMPARE(model().RangeStart, 0x2000u);
        QCOMPARE(model().RangeEnd, 0x3FFFu);
        QVERIFY(model().ImageMode == MemorySizeImage);
        renderViewport(right());
        renderViewport(left());
        QCOMPARE(right().m_nTopAddress, 0x2000u);
        QCOMPARE(left().m_memorySize.rangeStart, 0x2000u);
        QCOMPARE(left().m_memorySize.rangeEnd, 0x3FFFu);
        // Below the last row nothing happens.
        QTest::mouseClick(&panel(), Qt::LeftButton, {}, QPoint(10, panel().layout().rowTop(3) + 1));
        QCOMPARE(model().RangeStart, 0x2000u);
    }

    void aRefusedFileIsReportedAndRegionsAreGuessed()
    {
        writeText(beside(), "ROM 0 0x2000\nRAM 0x2000\n");
        load();
        showPanel();
        QCOMPARE(m_run->platform().messages, QStringList { qPath(beside()) + ":2: size missing" });
        QVERIFY(regions().currentFile().isEmpty());
        QVERIFY(panel().plan().guessed);
        QCOMPARE(panel().plan().rows.size(), std::size_t { 1 });
        QCOMPARE(QString::fromStdString(panel().plan().rows[0].title), QStringLiteral("run 1 000000-0047bf (guessed)"));
    }

    void aPickIsRememberedPerFileAndWinsOverTheFileBeside()
    {
        writeText(beside(), kRegions);
        const std::filesystem::path named = m_folder->path() / "named.regions";
        const std::filesystem::path picked = m_folder->path() / "picked.regions";
        writeText(named, "ALL 0 0x8000\n");
        writeText(picked, "LOW 0 0x1000\n");
        regions().setCommandLineFile(qPath(named));
        load();
        QCOMPARE(regions().currentFile(), qPath(named));

        m_run->platform().fileToChoose = qPath(picked);
        frame().router().dispatch(ID_MEMORY_REGIONS);
        QCOMPARE(m_run->platform().fileFilters.back(), QString::fromLatin1(RegionsSource::kFileFilter));
        QCOMPARE(regions().currentFile(), qPath(picked));
        QCOMPARE(QString::fromStdString(regions().usage().regions.at(0).name), QStringLiteral("LOW"));
        // Opened again, the file keeps its pick.
        emit m_run->app().document()->fileRead();
        QCOMPARE(regions().currentFile(), qPath(picked));

        // Cleared: no file, not even the one beside it, and the regions are guessed.
        frame().router().dispatch(ID_CLEAR_MEMORY_REGIONS);
        QVERIFY(regions().currentFile().isEmpty());
        QVERIFY(regions().usage().regions.at(0).guessed);
        emit m_run->app().document()->fileRead();
        QVERIFY(regions().currentFile().isEmpty());
        QVERIFY(m_run->platform().messages.isEmpty());
    }

    void hoverTellsTheAddressAndTheEntry()
    {
        load();
        model().ImageMode = MemorySizeImage;
        model().RangeEnd = 0x4FFF;
        renderViewport(left());
        const MemorySizeGeometry& g = left().m_memorySize;
        const int x = (g.barLeft + g.barRight) / 2;
        // The scale rounds, so the address is only near the one aimed at; the entry is exact.
        const QString code = hoverAt(left(), QPoint(x, g.y(0x400)));
        QVERIFY2(code.startsWith("Address 0003") || code.startsWith("Address 0004"), qPrintable(code));
        QVERIFY2(code.endsWith(": [C] CODE 000000(000800)"), qPrintable(code));
        const QString free = hoverAt(left(), QPoint(x, g.y(0x3000)));
        QVERIFY2(free.endsWith(": free 002800(001800)"), qPrintable(free));
        QCOMPARE(hoverAt(left(), QPoint(g.barRight + 40, g.y(0x400))), QString());

        model().ImageMode = SectionListImage;
        renderViewport(left());
        const int lh = left().m_nLineHeight;
        const QPoint row2((left().m_sectionList.boxLeft + left().m_sectionList.boxRight) / 2, 2 * lh + lh / 2);
        QCOMPARE(hoverAt(left(), row2), QStringLiteral("Address 000800: [D] DATA 000800(000800)"));
        QEvent leave(QEvent::Leave);
        QCoreApplication::sendEvent(left().viewport(), &leave);
        QCOMPARE(frame().statusBar()->currentMessage(), QString());
    }
};

QTEST_MAIN(MemoryUsageTest)
#include "memory_usage_panel_test.moc"
