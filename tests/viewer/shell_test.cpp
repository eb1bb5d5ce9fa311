// shell_test.cpp: the main window, its commands and file opening, driven offscreen with the fake platform.
#include "left/friend_left_view.hpp"
#include "map_model.hpp"
#include "orvik.h"
#include "right/friend_right_view.hpp"
#include "shell/commands.hpp"
#include "shell/find_notify.hpp"
#include "shell/main_frame.hpp"
#include "shell/tessaly_app.hpp"
#include "shell/tessaly_doc.hpp"
#include "shell_fixtures.hpp"
#include "support/temp_file.hpp"

#include <QAbstractScrollArea>
#include <QAction>
#include <QEventLoop>
#include <QFileInfo>
#include <QFontInfo>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>
#include <QSplitter>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QtTest>
#include <memory>

using namespace tessaly;
using tessaly::testing::FakePlatform;
using tessaly::testing::renderViewport;
using tessaly::testing::TempFile;

namespace {

// Counts the paint events a widget receives.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(QWidget* widget) { widget->installEventFilter(this); }
    int count = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++count;
        return false;
    }
};

// The text the reader gives for a file it rejects.
QString readerMessage(const QString& path)
{
    const int code = IE_readIEEE(QFile::encodeName(path).constData(), IE_READ_VIEWER);
    return code == 0 ? QString() : QString::fromLocal8Bit(IE_readError(code));
}

// Lets the event loop go idle once, so that the idle update runs as it does in the program.
void runEventLoopBriefly()
{
    QEventLoop loop;
    QTimer::singleShot(30, &loop, &QEventLoop::quit);
    loop.exec();
}

// A pane with nothing drawn on it: one colour throughout.
bool isBlank(const QImage& image)
{
    const QRgb first = image.pixel(0, 0);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != first)
                return false;
    return true;
}

QStringList actionTexts(const QList<QAction*>& actions)
{
    QStringList texts;
    for (const QAction* action : actions)
        if (action->isVisible())
            texts << (action->isSeparator() ? QStringLiteral("-") : action->text());
    return texts;
}

} // namespace

class ShellTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<FakePlatform> m_fake;
    std::unique_ptr<PlatformOverride> m_override;
    std::unique_ptr<MapModel> m_model;
    std::unique_ptr<CTessalyApp> m_app;
    std::vector<std::unique_ptr<TempFile>> m_files;

    CMainFrame& frame() { return *m_app->mainFrame(); }
    CTessalyDoc& doc() { return *m_app->document(); }
    MapModel& model() { return *m_model; }
    QAction* action(int id) { return frame().commandAction(id); }

    QString makeFile(const std::vector<uint8_t>& bytes, const std::string& suffix = ".abs")
    {
        m_files.push_back(std::make_unique<TempFile>(bytes, suffix));
        return QString::fromStdString(m_files.back()->pathString());
    }

    // Starts a fresh application, with a file on the command line or without.
    bool start(const std::optional<QString>& file = std::nullopt)
    {
        m_app.reset();
        m_model = std::make_unique<MapModel>();
        m_app = std::make_unique<CTessalyApp>(*m_model);
        return m_app->InitInstance(file, false);
    }

    // The state every menu and the tool bar would show now.
    void refreshCommandUI()
    {
        for (QMenu* menu : frame().menus())
            emit menu->aboutToShow();
        frame().OnIdle();
    }

    void openThroughDialog(const QString& path)
    {
        m_fake->fileToChoose = path;
        QVERIFY(frame().router().dispatch(ID_FILE_OPEN));
    }

    // Both panes as rendered now; the list pane first, as its paint lays the list out.
    std::pair<QImage, QImage> renderBothPanes()
    {
        QImage right = renderViewport(*frame().m_pRightView);
        QImage left = renderViewport(*frame().m_pLeftView);
        return { left, right };
    }

    void showFrame()
    {
        frame().resize(900, 600);
        frame().show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame()));
    }

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void init()
    {
        m_fake = std::make_unique<FakePlatform>();
        m_override = std::make_unique<PlatformOverride>(*m_fake);
        QVERIFY(start());
    }

    void cleanup()
    {
        m_app.reset();
        m_model.reset();
        m_override.reset();
        m_fake.reset();
        m_files.clear();
    }

    void startsUntitledWithBothPanes()
    {
        QCOMPARE(frame().windowTitle(), QStringLiteral("Untitled - Tessaly"));
        QCOMPARE(frame().windowRole(), QStringLiteral("TessalyAPP"));
        QVERIFY(!model().FileLoaded);
        QVERIFY(frame().m_pLeftView != nullptr);
        QVERIFY(frame().m_pRightView != nullptr);
        QCOMPARE(frame().m_wndSplitter->widget(0), static_cast<QWidget*>(frame().m_pLeftView));
        QCOMPARE(frame().m_wndSplitter->widget(1), static_cast<QWidget*>(frame().m_pRightView));
        QCOMPARE(doc().views().size(), std::size_t(2));
        // The list is the document's own view and the active pane at start.
        QCOMPARE(frame().GetActiveView(), static_cast<PaneView*>(frame().m_pRightView));
        QVERIFY(m_fake->messages.isEmpty());
    }

    void leftPaneIs300PixelsWide()
    {
        frame().resize(1000, 700);
        frame().show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame()));
        QCOMPARE(frame().m_wndSplitter->sizes().value(0), 300);
        // It keeps its width when the window grows; the list takes the rest.
        frame().resize(1200, 700);
        QTRY_COMPARE(frame().m_wndSplitter->width() > 1000, true);
        QCOMPARE(frame().m_wndSplitter->sizes().value(0), 300);
    }

    void menuTexts_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QStringList>("items");
        QTest::newRow("File") << 0 << "File(&F)"
                              << QStringList { "Open(&O)...\tCtrl+O", "-", "Printer Set Up(&U)", "Print Preview(&V)",
                                     "Print(&P)", "-", "Reload(&R)\tF5", "-", "Exit(&X)", "-", "Compare With...(&C)",
                                     "Stop Comparing(&S)" };
        QTest::newRow("View") << 1 << "View(&V)"
                              << QStringList { "Tool Bar(&T)", QString::fromUtf8("Status\u3000Bar(&S)") };
        QTest::newRow("Option") << 2 << "Option(&O)" << QStringList { "Kelvra...(&M)", "Find...(&I)", "Font...(&N)" };
        QTest::newRow("Help") << 3 << "Help(&H)" << QStringList { "Index(&I)", "About...(&A)" };
    }

    void menuTexts()
    {
        QFETCH(int, index);
        QFETCH(QString, title);
        QFETCH(QStringList, items);
        const QList<QMenu*> menus = frame().menus();
        QCOMPARE(menus.size(), 4);
        QCOMPARE(menus[index]->title(), title);
        // The specified items come first; new ones may follow behind a separator.
        const QStringList texts = actionTexts(menus[index]->actions());
        QCOMPARE(texts.mid(0, items.size()), items);
        if (texts.size() > items.size())
            QCOMPARE(texts[items.size()], QStringLiteral("-"));
    }

    void menuCommandNumbers()
    {
        const QList<int> expected = { ID_FILE_OPEN, ID_FILE_PRINT_SETUP, ID_FILE_PRINT_PREVIEW, ID_FILE_PRINT,
            ID_APP_EXIT, ID_FILE_COMPARE_WITH, ID_FILE_STOP_COMPARING, ID_VIEW_TOOLBAR, ID_VIEW_STATUS_BAR, ID_OPTIONS,
            ID_FIND_MENU, ID_FONT, ID_HELP_INDEX, ID_APP_ABOUT };
        QList<int> ids;
        // The menus' first items and the comparison's; the live-file and memory-region commands
        // (32810 to 32839) stand among them and have tests of their own.
        for (QMenu* menu : frame().menus())
            for (const QAction* item : menu->actions()) {
                const int id = item->data().toInt();
                if (!item->isSeparator() && (id < 32810 || id > 32839))
                    ids << id;
            }
        QCOMPARE(ids, expected);
        QCOMPARE(ids,
            QList<int>(
                { 57601, 57606, 57609, 57607, 57665, 32800, 32801, 59392, 59393, 32772, 32780, 32779, 57666, 57664 }));
    }

    void helpMenuStandsApart()
    {
        // Right-justified: in its own bar in the menu bar's corner (the offscreen bar is not native).
        QVERIFY(frame().helpMenuBar() != nullptr);
        QCOMPARE(frame().menuBar()->cornerWidget(Qt::TopRightCorner), static_cast<QWidget*>(frame().helpMenuBar()));
        QCOMPARE(actionTexts(frame().menuBar()->actions()), (QStringList { "File(&F)", "View(&V)", "Option(&O)" }));
    }

    void toolBarButtons()
    {
        struct Button {
            int id;
            const char* prompt;
            const char* tip;
        };
        const Button buttons[] = {
            { ID_FILE_OPEN, "Open an Existing Document", "Open" },
            { 0, "", "" },
            { ID_SECTION_LIST_IMAGE, "Change Section List Image", "Section List Image" },
            { ID_MEMORY_SIZE_IMAGE, "Change Memory Size Image", "Memory Size Image" },
            { 0, "", "" },
            { ID_ZOOM_IN, "Zoom In", "Zoom In" },
            { ID_ZOOM_OUT, "Zoom Out", "Zoom Out" },
            { 0, "", "" },
            { ID_FIND_TOOL, "Open Find Dialog", "Find" },
            { 0, "", "" },
            { ID_APP_ABOUT, "Version Information", "Version" },
        };
        const QList<QAction*> actions = frame().m_wndToolBar->actions();
        QCOMPARE(actions.size(), int(std::size(buttons)));
        for (int i = 0; i < actions.size(); ++i) {
            const Button& button = buttons[i];
            QAction* item = actions[i];
            if (button.id == 0) {
                QVERIFY2(item->isSeparator(), qPrintable(QString::number(i)));
                continue;
            }
            QCOMPARE(item->data().toInt(), button.id);
            QCOMPARE(item->statusTip(), QString::fromLatin1(button.prompt));
            QCOMPARE(item->toolTip(), QString::fromLatin1(button.tip));
            QVERIFY2(!item->icon().isNull(), button.tip);
        }
        QVERIFY(!frame().m_wndToolBar->isMovable());
    }

    void statusBarPanes()
    {
        QCOMPARE(frame().messagePane()->text(), QStringLiteral("Ready"));
        QStringList indicators;
        for (const QLabel* label : frame().indicatorPanes())
            indicators << label->text();
        QCOMPARE(indicators, (QStringList { QString::fromUtf8("ｶﾅ"), "CAP", "NUM", "SCRL" }));
    }

    void lockIndicatorsShowTheKeys()
    {
        // Where the platform cannot tell (offscreen), the names stay greyed.
        frame().OnIdle();
        for (const QLabel* label : frame().indicatorPanes())
            QVERIFY(!label->isEnabled());
        // Caps Lock on, Num Lock off, the others unknown.
        m_fake->lockKeyStates = { std::nullopt, true, false, std::nullopt };
        frame().OnIdle();
        const QList<QLabel*> panes = frame().indicatorPanes();
        QCOMPARE(panes.size(), 4);
        QVERIFY(panes[1]->isEnabled());
        QCOMPARE(panes[1]->text(), QStringLiteral("CAP"));
        QVERIFY(panes[2]->isEnabled());
        QCOMPARE(panes[2]->text(), QString());
        QVERIFY(!panes[0]->isEnabled());
        QVERIFY(!panes[3]->isEnabled());
        QCOMPARE(panes[3]->text(), QStringLiteral("SCRL"));
        // And back, with the tool bar hidden too.
        frame().m_wndToolBar->hide();
        m_fake->lockKeyStates = { std::nullopt, false, true, std::nullopt };
        frame().OnIdle();
        QCOMPARE(panes[1]->text(), QString());
        QCOMPARE(panes[2]->text(), QStringLiteral("NUM"));
    }

    void prompts()
    {
        // Menu items show their prompt in the status bar as the pointer passes.
        QCOMPARE(action(ID_FILE_OPEN)->statusTip(), QStringLiteral("Open an Existing Document"));
        QVERIFY(!action(ID_FONT)->statusTip().isEmpty());
        QVERIFY(!action(ID_OPTIONS)->statusTip().isEmpty());
    }

    void commandStates_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<bool>("enabledBefore");
        QTest::addColumn<bool>("checkedBefore");
        QTest::addColumn<bool>("enabledAfter");
        QTest::addColumn<bool>("checkedAfter");
        QTest::newRow("options") << int(ID_OPTIONS) << false << false << true << false;
        QTest::newRow("font") << int(ID_FONT) << false << false << true << false;
        QTest::newRow("find button") << int(ID_FIND_TOOL) << false << false << true << false;
        QTest::newRow("section list") << int(ID_SECTION_LIST_IMAGE) << true << false << true << true;
        QTest::newRow("memory size") << int(ID_MEMORY_SIZE_IMAGE) << true << false << true << false;
        QTest::newRow("open") << int(ID_FILE_OPEN) << true << false << true << false;
        QTest::newRow("about") << int(ID_APP_ABOUT) << true << false << true << false;
        QTest::newRow("tool bar") << int(ID_VIEW_TOOLBAR) << true << true << true << true;
        QTest::newRow("status bar") << int(ID_VIEW_STATUS_BAR) << true << true << true << true;
    }

    void commandStates()
    {
        QFETCH(int, id);
        QFETCH(bool, enabledBefore);
        QFETCH(bool, checkedBefore);
        QFETCH(bool, enabledAfter);
        QFETCH(bool, checkedAfter);

        refreshCommandUI();
        QCOMPARE(action(id)->isEnabled(), enabledBefore);
        QCOMPARE(action(id)->isChecked(), checkedBefore);

        openThroughDialog(makeFile(tessaly::testing::smallMapFile("Grus")));
        QVERIFY(model().FileLoaded);
        refreshCommandUI();
        QCOMPARE(action(id)->isEnabled(), enabledAfter);
        QCOMPARE(action(id)->isChecked(), checkedAfter);
    }

    void menuStateIsRefreshedWhenTheMenuOpens()
    {
        QMenu* options = frame().menus()[2];
        emit options->aboutToShow();
        QVERIFY(!action(ID_OPTIONS)->isEnabled());
        model().FileLoaded = true;
        QVERIFY(!action(ID_OPTIONS)->isEnabled());
        emit options->aboutToShow();
        QVERIFY(action(ID_OPTIONS)->isEnabled());
        QVERIFY(action(ID_FONT)->isEnabled());
    }

    void toolBarStateIsRefreshedOnIdle()
    {
        runEventLoopBriefly();
        QVERIFY(!action(ID_FIND_TOOL)->isEnabled());
        model().FileLoaded = true;
        runEventLoopBriefly();
        QVERIFY(action(ID_FIND_TOOL)->isEnabled());
        QVERIFY(action(ID_SECTION_LIST_IMAGE)->isChecked());
    }

    void pictureBeforeFileChangesImageMode()
    {
        QCOMPARE(model().ImageMode, SectionListImage);
        action(ID_MEMORY_SIZE_IMAGE)->trigger();
        QCOMPARE(model().ImageMode, MemorySizeImage);
        refreshCommandUI();
        QVERIFY(!action(ID_MEMORY_SIZE_IMAGE)->isChecked());
        QVERIFY(!action(ID_SECTION_LIST_IMAGE)->isChecked());
        action(ID_SECTION_LIST_IMAGE)->trigger();
        QCOMPARE(model().ImageMode, SectionListImage);
    }

    void chosenPictureIsCheckedAfterFile()
    {
        action(ID_MEMORY_SIZE_IMAGE)->trigger();
        openThroughDialog(makeFile(tessaly::testing::smallMapFile("Eridan")));
        // The choice made before the file survives the open.
        QCOMPARE(model().ImageMode, MemorySizeImage);
        refreshCommandUI();
        QVERIFY(action(ID_MEMORY_SIZE_IMAGE)->isChecked());
        QVERIFY(!action(ID_SECTION_LIST_IMAGE)->isChecked());
        action(ID_SECTION_LIST_IMAGE)->trigger();
        refreshCommandUI();
        QVERIFY(!action(ID_MEMORY_SIZE_IMAGE)->isChecked());
        QVERIFY(action(ID_SECTION_LIST_IMAGE)->isChecked());
    }

    void successfulOpenSetsTitleToPath()
    {
        const QString path = makeFile(tessaly::testing::smallMapFile("Grus"));
        openThroughDialog(path);
        QVERIFY(model().FileLoaded);
        QCOMPARE(QString::fromStdString(model().LoadedPath), path);
        QCOMPARE(doc().GetTitle(), path);
        QCOMPARE(frame().windowTitle(), path + QStringLiteral(" - Tessaly"));
        QVERIFY(!doc().IsModified());
        QVERIFY(m_fake->messages.isEmpty());
        // The dialog belongs to the main window.
        QCOMPARE(m_fake->owners.value(0), static_cast<QWidget*>(&frame()));
    }

    void failedOpenClearsTitleAndShowsReaderMessage()
    {
        openThroughDialog(makeFile(tessaly::testing::smallMapFile("Grus")));
        QVERIFY(model().FileLoaded);

        const QString bad = makeFile(tessaly::testing::unreadableFile());
        const QString expected = readerMessage(bad);
        QVERIFY(expected.contains(QStringLiteral("File read error.")));
        openThroughDialog(bad);

        QVERIFY(!model().FileLoaded);
        QCOMPARE(QString::fromStdString(model().LoadedPath), bad);
        QCOMPARE(doc().GetTitle(), QString());
        QCOMPARE(frame().windowTitle(), QStringLiteral("Tessaly"));
        QCOMPARE(m_fake->messages, QStringList { expected });
        QVERIFY(!doc().IsModified());
        refreshCommandUI();
        QVERIFY(!action(ID_FONT)->isEnabled());
        QVERIFY(!action(ID_SECTION_LIST_IMAGE)->isChecked());
    }

    void failedOpenRepaintsBothPanes()
    {
        frame().show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame()));
        PaintCounter left(frame().m_pLeftView->viewport());
        PaintCounter right(frame().m_pRightView->viewport());
        openThroughDialog(makeFile(tessaly::testing::unreadableFile()));
        QTRY_VERIFY(left.count > 0 && right.count > 0);
    }

    void badFileBetweenGoodOnes_data()
    {
        QTest::addColumn<QByteArray>("bad");
        QTest::addColumn<bool>("memorySize");
        const auto prefix = [](const std::vector<uint8_t>& bytes, std::size_t size) {
            return QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(size));
        };
        const std::vector<uint8_t> good = tessaly::testing::smallMapFile("Carina");
        const std::vector<uint8_t> unknown = tessaly::testing::unreadableFile();
        QTest::newRow("neither format") << prefix(unknown, unknown.size()) << false;
        QTest::newRow("empty") << QByteArray() << false;
        QTest::newRow("header cut") << prefix(good, 9) << false;
        QTest::newRow("half written") << prefix(good, good.size() / 2) << false;
        QTest::newRow("half written, memory size") << prefix(good, good.size() / 2) << true;
    }

    // A rejected file leaves no picture behind, and the next file reads and draws as it
    // would in a program that never saw the bad one.
    void badFileBetweenGoodOnes()
    {
        QFETCH(QByteArray, bad);
        QFETCH(bool, memorySize);
        showFrame();
        if (memorySize)
            action(ID_MEMORY_SIZE_IMAGE)->trigger();
        openThroughDialog(makeFile(tessaly::testing::smallMapFile("Grus")));
        QVERIFY(model().FileLoaded);
        const auto [goodLeft, goodRight] = renderBothPanes();
        QVERIFY(!isBlank(goodLeft));
        QVERIFY(!isBlank(goodRight));

        const QString badPath = makeFile(std::vector<uint8_t>(bad.begin(), bad.end()));
        const QString expected = readerMessage(badPath);
        QVERIFY(!expected.isEmpty());
        openThroughDialog(badPath);
        QCOMPARE(m_fake->messages, QStringList { expected });
        QVERIFY(!model().FileLoaded);
        const auto [badLeft, badRight] = renderBothPanes();
        QVERIFY(isBlank(badLeft));
        QVERIFY(isBlank(badRight));

        const QString next = makeFile(tessaly::testing::smallMapFile("Eridan"));
        openThroughDialog(next);
        QVERIFY(model().FileLoaded);
        QCOMPARE(m_fake->messages.size(), 1);
        QCOMPARE(frame().windowTitle(), next + QStringLiteral(" - Tessaly"));
        const std::size_t sections = model().SectionTable.size();
        const auto [nextLeft, nextRight] = renderBothPanes();

        // The same file in a fresh program, at the same size and with the same picture.
        QVERIFY(start());
        showFrame();
        if (memorySize)
            action(ID_MEMORY_SIZE_IMAGE)->trigger();
        openThroughDialog(next);
        QVERIFY(model().FileLoaded);
        QCOMPARE(model().SectionTable.size(), sections);
        const auto [freshLeft, freshRight] = renderBothPanes();
        QCOMPARE(nextLeft, freshLeft);
        QCOMPARE(nextRight, freshRight);
    }

    void cancelledDialogChangesNothing()
    {
        const QString path = makeFile(tessaly::testing::smallMapFile("Eridan"));
        openThroughDialog(path);
        const QString title = frame().windowTitle();

        m_fake->fileToChoose.reset();
        QVERIFY(frame().router().dispatch(ID_FILE_OPEN));
        QCOMPARE(m_fake->fileFilters.size(), 2);
        QVERIFY(model().FileLoaded);
        QCOMPARE(QString::fromStdString(model().LoadedPath), path);
        QCOMPARE(model().CpuFamily, CpuEridan);
        QCOMPARE(frame().windowTitle(), title);
        QVERIFY(m_fake->messages.isEmpty());

        // Before any file, too.
        QVERIFY(start());
        m_fake->fileFilters.clear();
        QVERIFY(frame().router().dispatch(ID_FILE_OPEN));
        QCOMPARE(m_fake->fileFilters.size(), 1);
        QVERIFY(!model().FileLoaded);
        QVERIFY(model().LoadedPath.empty());
        QCOMPARE(frame().windowTitle(), QStringLiteral("Untitled - Tessaly"));
    }

    void filterOrderFollowsLastGoodFamily_data()
    {
        QTest::addColumn<QString>("cpu");
        QTest::addColumn<QString>("first");
        QTest::newRow("Grus") << "Grus"
                              << "abs file(*.abs)|*.abs|";
        QTest::newRow("Eridan") << "Eridan"
                                << "xqe file(*.xqe)|*.xqe|";
        QTest::newRow("Fornax") << "Fornax"
                                << "xqe file(*.xqe)|*.xqe|";
        QTest::newRow("Carina") << "Carina"
                                << "xqa file(*.xqa)|*.xqa|";
        QTest::newRow("unknown") << "Mystery"
                                 << "xqa file(*.xqa)|*.xqa|";
    }

    void filterOrderFollowsLastGoodFamily()
    {
        QFETCH(QString, cpu);
        QFETCH(QString, first);

        openThroughDialog(makeFile(tessaly::testing::smallMapFile(cpu.toStdString())));
        QVERIFY(model().FileLoaded);
        openThroughDialog(makeFile(tessaly::testing::unreadableFile()));
        QVERIFY(!model().FileLoaded);
        m_fake->fileToChoose.reset();
        QVERIFY(frame().router().dispatch(ID_FILE_OPEN));

        QCOMPARE(m_fake->fileFilters.size(), 3);
        // Before any file the xqa filter comes first.
        QVERIFY(m_fake->fileFilters[0].startsWith(QStringLiteral("xqa file(*.xqa)|*.xqa|")));
        // After the good file, and still after the failed one, the good file's family decides.
        QVERIFY2(m_fake->fileFilters[1].startsWith(first), qPrintable(m_fake->fileFilters[1]));
        QVERIFY2(m_fake->fileFilters[2].startsWith(first), qPrintable(m_fake->fileFilters[2]));
        QVERIFY(m_fake->fileFilters[2].endsWith(QStringLiteral("||")));
    }

    void panesStartWithFixedPitchFontOf14Pixels()
    {
        for (const auto& [logFont, font, charWidth] :
            { std::tuple {
                  frame().m_pLeftView->m_logFont, frame().m_pLeftView->m_font, frame().m_pLeftView->m_nCharWidth },
                std::tuple { frame().m_pRightView->m_logFont, frame().m_pRightView->m_font,
                    frame().m_pRightView->m_nCharWidth } }) {
            QCOMPARE(logFont, paneInitialLogFont());
            QCOMPARE(logFont.faceName, QStringLiteral("FixedSys"));
            QCOMPARE(font.pixelSize(), 14);
            QVERIFY(QFontInfo(font).fixedPitch());
            QVERIFY(charWidth > 0);
        }
        QVERIFY(frame().m_pLeftView->m_nLineHeight >= 14);
        QCOMPARE(frame().m_pLeftView->m_nLineHeight, frame().m_pRightView->m_nLineHeight);
    }

    void fontCommandChangesBothPanes()
    {
        openThroughDialog(makeFile(tessaly::testing::smallMapFile("Grus")));
        frame().show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame()));
        const LogFont initial = frame().m_logFontChosen;
        const int lineHeightBefore = frame().m_pRightView->m_nLineHeight;

        LogFont chosen = paneInitialLogFont();
        chosen.faceName = QFontInfo(frame().m_pLeftView->m_font).family();
        chosen.height = -24;
        chosen.weight = 700;
        m_fake->fontToChoose = chosen;
        model().ListRebuildPending = false;
        PaintCounter left(frame().m_pLeftView->viewport());
        PaintCounter right(frame().m_pRightView->viewport());

        QVERIFY(frame().router().dispatch(ID_FONT));

        QCOMPARE(m_fake->fontInitials, QList<LogFont> { initial });
        QCOMPARE(frame().m_logFontChosen, chosen);
        QCOMPARE(frame().m_pLeftView->m_logFont, chosen);
        QCOMPARE(frame().m_pRightView->m_logFont, chosen);
        QCOMPARE(frame().m_pLeftView->m_font, frame().m_pRightView->m_font);
        QCOMPARE(frame().m_pRightView->m_font.pixelSize(), 24);
        QVERIFY(frame().m_pRightView->m_font.bold());
        // Both panes measured the new font.
        QVERIFY(frame().m_pRightView->m_nLineHeight > lineHeightBefore);
        QCOMPARE(frame().m_pLeftView->m_nLineHeight, frame().m_pRightView->m_nLineHeight);
        QCOMPARE(frame().m_pLeftView->m_nCharWidth, frame().m_pRightView->m_nCharWidth);
        QVERIFY(model().ListRebuildPending);
        QTRY_VERIFY(left.count > 0 && right.count > 0);

        // The next dialog starts from the font chosen last.
        m_fake->fontToChoose.reset();
        QVERIFY(frame().router().dispatch(ID_FONT));
        QCOMPARE(m_fake->fontInitials.value(1), chosen);
    }

    void cancelledFontDialogRepaintsAndKeepsFonts()
    {
        openThroughDialog(makeFile(tessaly::testing::smallMapFile("Grus")));
        frame().show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame()));
        const QFont leftFont = frame().m_pLeftView->m_font;
        const QFont rightFont = frame().m_pRightView->m_font;
        const LogFont chosenBefore = frame().m_logFontChosen;
        PaintCounter left(frame().m_pLeftView->viewport());
        PaintCounter right(frame().m_pRightView->viewport());

        m_fake->fontToChoose.reset();
        QVERIFY(frame().router().dispatch(ID_FONT));

        QCOMPARE(m_fake->fontInitials.size(), 1);
        QCOMPARE(frame().m_pLeftView->m_font, leftFont);
        QCOMPARE(frame().m_pRightView->m_font, rightFont);
        QCOMPARE(frame().m_pLeftView->m_logFont, paneInitialLogFont());
        QCOMPARE(frame().m_logFontChosen, chosenBefore);
        QTRY_VERIFY(left.count > 0 && right.count > 0);
    }

    void fontCommandNeedsAFile()
    {
        QVERIFY(!frame().router().dispatch(ID_FONT));
        QVERIFY(m_fake->fontInitials.isEmpty());
    }

    void commandLineFileIsLoaded()
    {
        const QString path = makeFile(tessaly::testing::smallMapFile("Grus"));
        QVERIFY(start(path));
        QVERIFY(model().FileLoaded);
        QCOMPARE(QString::fromStdString(model().LoadedPath), path);
        QCOMPARE(model().CpuFamily, CpuGrus);
        QCOMPARE(model().RangeEnd, 0xFFFFFFFFu);
        QVERIFY(model().TablesChanged);
        QVERIFY(model().ListRebuildPending);
        QCOMPARE(doc().GetTitle(), QFileInfo(path).absoluteFilePath());
        QCOMPARE(frame().windowTitle(), QFileInfo(path).absoluteFilePath() + QStringLiteral(" - Tessaly"));
        QCOMPARE(m_app->recentFiles().files(), QStringList { QFileInfo(path).absoluteFilePath() });
        QVERIFY(m_fake->messages.isEmpty());
        refreshCommandUI();
        QVERIFY(action(ID_FONT)->isEnabled());
        QVERIFY(action(ID_SECTION_LIST_IMAGE)->isChecked());
    }

    void commandLineFileTheReaderRejects()
    {
        const QString path = makeFile(tessaly::testing::unreadableFile());
        const QString expected = readerMessage(path);
        QVERIFY(start(path));
        QVERIFY(!model().FileLoaded);
        QCOMPARE(m_fake->messages, QStringList { expected });
    }

    void missingCommandLineFileEndsStartUp()
    {
        const QString path = QDir::temp().filePath(QStringLiteral("tessaly-no-such-file.abs"));
        QVERIFY(!QFileInfo::exists(path));
        QVERIFY(!start(path));
        QCOMPARE(m_fake->messages.size(), 1);
        QVERIFY(m_fake->messages[0].contains(path));
        QVERIFY(!model().FileLoaded);
    }

    void aboutBox()
    {
        QVERIFY(frame().router().dispatch(ID_APP_ABOUT));
        QCOMPARE(m_fake->dialogTitles, QStringList { "Version" });
        QVERIFY(m_fake->dialogTexts.value(0).split('|').contains(QStringLiteral("Tessaly V.3.00.00")));
        QCOMPARE(m_fake->owners.value(0), static_cast<QWidget*>(&frame()));
    }

    void helpIndexOpensTheManual()
    {
        QVERIFY(frame().router().dispatch(ID_HELP_INDEX));
        QCOMPARE(m_fake->urls.size(), 1);
        const QUrl url = m_fake->urls[0];
        QVERIFY(url.isLocalFile());
        QCOMPARE(QFileInfo(url.toLocalFile()).fileName(), QStringLiteral("manual.html"));
        QVERIFY(QFileInfo::exists(url.toLocalFile()));
        QVERIFY(m_fake->messages.isEmpty());

        m_fake->openUrlSucceeds = false;
        QVERIFY(frame().router().dispatch(ID_HELP_INDEX));
        QCOMPARE(m_fake->messages.size(), 1);
    }

    void paneKeysMoveBetweenPanes()
    {
        QAction* next = nullptr;
        QAction* previous = nullptr;
        for (QAction* candidate : frame().actions()) {
            if (candidate->shortcuts().contains(QKeySequence(Qt::Key_F6)))
                next = candidate;
            if (candidate->shortcuts().contains(QKeySequence(Qt::SHIFT | Qt::Key_F6)))
                previous = candidate;
        }
        QVERIFY(next && previous);
        PaneView* left = frame().m_pLeftView;
        PaneView* right = frame().m_pRightView;
        QCOMPARE(frame().GetActiveView(), right);
        next->trigger();
        QCOMPARE(frame().GetActiveView(), left);
        next->trigger();
        QCOMPARE(frame().GetActiveView(), right);
        previous->trigger();
        QCOMPARE(frame().GetActiveView(), left);
    }

    void acceleratorTable_data()
    {
        QTest::addColumn<QKeySequence>("keys");
        QTest::addColumn<int>("id");
        QTest::newRow("Ctrl+O") << QKeySequence(Qt::CTRL | Qt::Key_O) << int(ID_FILE_OPEN);
        QTest::newRow("Ctrl+P") << QKeySequence(Qt::CTRL | Qt::Key_P) << int(ID_FILE_PRINT);
        QTest::newRow("+") << QKeySequence(Qt::Key_Plus) << int(ID_ZOOM_IN);
        QTest::newRow("-") << QKeySequence(Qt::Key_Minus) << int(ID_ZOOM_OUT);
    }

    void acceleratorTable()
    {
        QFETCH(QKeySequence, keys);
        QFETCH(int, id);
        // A pane that handles every command records which one its accelerator issued.
        QList<int> issued;
        frame().m_pLeftView->onCommand(id, [&] { issued << id; });
        frame().m_pLeftView->onUpdate(id, {}); // enabled whatever the pane's own state says
        frame().SetActiveView(frame().m_pLeftView);
        int matches = 0;
        for (QAction* candidate : frame().actions()) {
            if (candidate->shortcuts().contains(keys)) {
                ++matches;
                candidate->trigger();
            }
        }
        QCOMPARE(matches, 1);
        QCOMPARE(issued, QList<int> { id });
    }

    void activePaneComesFirst()
    {
        // Zoom belongs to the left pane: with the list active nobody takes it.
        int zooms = 0;
        frame().m_pLeftView->onCommand(ID_ZOOM_IN, [&] { ++zooms; });
        frame().m_pLeftView->onUpdate(ID_ZOOM_IN, {}); // enabled with no file loaded too
        frame().SetActiveView(frame().m_pRightView);
        QVERIFY(!frame().router().dispatch(ID_ZOOM_IN));
        QVERIFY(!frame().router().state(ID_ZOOM_IN).enabled);
        frame().SetActiveView(frame().m_pLeftView);
        QVERIFY(frame().router().dispatch(ID_ZOOM_IN));
        QCOMPARE(zooms, 1);
        // A pane's handler comes before the document's.
        bool paneOpened = false;
        frame().m_pLeftView->onCommand(ID_FILE_OPEN, [&] { paneOpened = true; });
        QVERIFY(frame().router().dispatch(ID_FILE_OPEN));
        QVERIFY(paneOpened);
        QVERIFY(m_fake->fileFilters.isEmpty());
    }

    void clickMakesPaneActive()
    {
        frame().show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame()));
        QTest::mouseClick(frame().m_pLeftView->viewport(), Qt::RightButton, {}, QPoint(20, 20));
        QCOMPARE(frame().GetActiveView(), static_cast<PaneView*>(frame().m_pLeftView));
        QTest::mouseClick(frame().m_pRightView->viewport(), Qt::LeftButton, {}, QPoint(20, 20));
        QCOMPARE(frame().GetActiveView(), static_cast<PaneView*>(frame().m_pRightView));
    }

    void viewMenuShowsAndHidesBars()
    {
        QVERIFY(frame().router().dispatch(ID_VIEW_TOOLBAR));
        QVERIFY(frame().m_wndToolBar->isHidden());
        QVERIFY(frame().router().state(ID_VIEW_TOOLBAR).checked == false);
        QVERIFY(frame().router().dispatch(ID_VIEW_STATUS_BAR));
        QVERIFY(frame().m_wndStatusBar->isHidden());
        QVERIFY(frame().router().dispatch(ID_VIEW_TOOLBAR));
        QVERIFY(!frame().m_wndToolBar->isHidden());
        QVERIFY(frame().router().state(ID_VIEW_TOOLBAR).checked == true);
    }

    void listTogglesRequestRenumbering_data()
    {
        QTest::addColumn<int>("id");
        QTest::newRow("local information") << int(ID_SHOW_LOCAL_INFORMATION);
        QTest::newRow("C functions") << int(ID_SHOW_FUNCTION_LIST);
        QTest::newRow(".EQU") << int(ID_SHOW_EQU_LIST);
    }

    void listTogglesRequestRenumbering()
    {
        QFETCH(int, id);
        bool MapModel::*setting = id == ID_SHOW_LOCAL_INFORMATION ? &MapModel::ShowLocalInformation
            : id == ID_SHOW_FUNCTION_LIST                         ? &MapModel::ShowFunctionList
                                                                  : &MapModel::ShowEquList;
        model().ListRebuildPending = false;
        QVERIFY(frame().router().dispatch(id));
        QVERIFY(model().*setting);
        QVERIFY(model().ListRebuildPending);
        QVERIFY(frame().router().dispatch(id));
        QVERIFY(!(model().*setting));
    }

    void newDocumentKeepsTheMap()
    {
        openThroughDialog(makeFile(tessaly::testing::smallMapFile("Grus")));
        QVERIFY(frame().router().dispatch(ID_FILE_NEW));
        QCOMPARE(frame().windowTitle(), QStringLiteral("Untitled - Tessaly"));
        QVERIFY(model().FileLoaded);
    }

    void optionsCommandRunsThePluggedInDialog()
    {
        openThroughDialog(makeFile(tessaly::testing::smallMapFile("Grus")));
        bool ran = false;
        doc().setOptionsDialog([&](QWidget* owner, OptionsValues& values) {
            ran = true;
            // Loaded from the model: Section List is choice 1.
            return owner == &frame() && values.imageChoice == 1 && !values.localInformation;
        });
        QVERIFY(frame().router().dispatch(ID_OPTIONS));
        QVERIFY(ran);
        QCOMPARE(model().RangeEnd, 0xFFFFFFFFu);
    }

    void exportRendersTheWindow()
    {
        QVERIFY(start(makeFile(tessaly::testing::smallMapFile("Grus"))));
        const QImage image = m_app->renderWindow(QSize(640, 480));
        QCOMPARE(image.size() / image.devicePixelRatio(), QSize(640, 480));
        // The list pane is blank white until its drawing arrives; the status bar says Ready.
        const QPoint inList = frame().m_pRightView->viewport()->mapTo(&frame(), QPoint(40, 40));
        QCOMPARE(image.pixelColor(inList * image.devicePixelRatio()),
            frame().m_pRightView->viewport()->palette().color(QPalette::Base));
    }

    void findNotifyIsAPrivateEvent()
    {
        struct Receiver : QObject {
            QList<int> codes;
            bool event(QEvent* event) override
            {
                if (event->type() != FindNotifyEvent::kType)
                    return QObject::event(event);
                codes << static_cast<FindNotifyEvent*>(event)->code();
                return true;
            }
        } receiver;
        QCOMPARE(int(FindNotifyEvent::kType), int(QEvent::User) + 5);
        postFindNotify(&receiver, FindNextRequest);
        QVERIFY(receiver.codes.isEmpty());
        QVERIFY(sendFindNotify(&receiver, FindClosing));
        QCOMPARE(receiver.codes, QList<int> { 8 });
        QCoreApplication::sendPostedEvents(&receiver);
        QCOMPARE(receiver.codes, (QList<int> { 8, 201 }));
    }
};

QTEST_MAIN(ShellTest)
#include "shell_test.moc"
