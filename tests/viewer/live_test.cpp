// live_test.cpp: the window kept on a file that is rebuilt: reload on change, a file rewritten while it is watched.
#include "build_baseline.hpp"
#include "map_model.hpp"
#include "right/friend_right_view.hpp"
#include "right/list_columns.hpp"
#include "right/list_selection.hpp"
#include "shell/commands.hpp"
#include "shell/find_dialog.hpp"
#include "shell/live_reload.hpp"
#include "shell/main_frame.hpp"
#include "shell/tessaly_doc.hpp"
#include "shell_fixtures.hpp"
#include "support/ieee695_writer.hpp"
#include "support/program_files.hpp"
#include "support/temp_file.hpp"

#include <QAction>
#include <QClipboard>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QGuiApplication>
#include <QMenu>
#include <QMimeData>
#include <QSettings>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QStatusBar>
#include <QtTest>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
#define TESSALY_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TESSALY_ASAN 1
#endif
#endif
#ifdef TESSALY_ASAN
// The sanitizer's allocator counts what it hands out; GCC ships no header for it.
extern "C" size_t __sanitizer_get_current_allocated_bytes();
#else
#include <malloc.h>
#endif

using namespace tessaly;
using tessaly::testing::Ieee695Writer;
using tessaly::testing::PaneFixture;
using tessaly::testing::RunningApp;
using tessaly::testing::TempFile;

namespace {

constexpr int kSections = 250;

// A build of kSections sections of 0x100 bytes from 0x1000, each with a label, every name
// starting with the prefix: two prefixes are two builds of the same shape, over 8 KiB each.
std::vector<uint8_t> build(const std::string& prefix)
{
    Ieee695Writer w;
    w.header("Grus", "prog");
    for (int i = 0; i < kSections; ++i) {
        const uint32_t start = 0x1000u + static_cast<uint32_t>(i) * 0x100u;
        w.section({ .index = static_cast<uint32_t>(i + 1),
            .type = "ASP",
            .name = prefix + "SECT" + std::to_string(i),
            .start = start,
            .size = 0x100 });
        w.globalSymbol({ .name = prefix + "label" + std::to_string(i), .value = start + 0x10 });
    }
    return w.bytes();
}

// The prefix every section of the shown build carries, or "" when the tables are not one whole
// build of that prefix.
std::string shownBuild(const MapModel& model)
{
    if (!model.FileLoaded || model.SectionCount != kSections)
        return {};
    std::string prefix;
    for (const SectionEntry& entry : model.SectionTable) {
        if (!entry.record->name)
            continue;
        const std::string name = entry.record->name;
        const std::string mine = name.substr(0, name.find("SECT"));
        if (prefix.empty())
            prefix = mine;
        else if (mine != prefix)
            return {};
    }
    return prefix;
}

void writeBytes(
    const std::filesystem::path& path, const std::vector<uint8_t>& bytes, size_t from, size_t to, const char* mode)
{
    std::FILE* file = std::fopen(path.string().c_str(), mode);
    QVERIFY(file != nullptr);
    if (to > from)
        QCOMPARE(std::fwrite(bytes.data() + from, 1, to - from, file), to - from);
    std::fclose(file);
}

// Bytes the allocator holds for the program now.
size_t heapInUse()
{
#ifdef TESSALY_ASAN
    return __sanitizer_get_current_allocated_bytes();
#else
    return mallinfo2().uordblks;
#endif
}

} // namespace

class LiveTest : public QObject, protected PaneFixture {
    Q_OBJECT

private:
    std::unique_ptr<TempFile> m_file;
    int64_t m_now = 0; // the fake clock of the tests that step time themselves

    LiveReload& live() { return frame().liveReload(); }
    QString path() const { return QString::fromStdString(m_file->pathString()); }

    void openBuild(const std::string& prefix)
    {
        m_file = std::make_unique<TempFile>(build(prefix));
        m_run->app().document()->OpenMapFile(path());
        QCOMPARE(QString::fromStdString(shownBuild(model())), QString::fromStdString(prefix));
    }

    // The list painted, so that it knows its top block.
    uint32_t paintedTopAddress()
    {
        tessaly::testing::renderViewport(right());
        return right().m_nTopAddress;
    }

    // The small program: CODE 001000(000100) with main at its start and _f at 001010, a part of
    // module "mod" and a local label; DATA 002000(000080); .EQU LIMIT; C function func at _f.
    void openSmallProgram()
    {
        m_file = std::make_unique<TempFile>(tessaly::testing::smallProgram("Carina"));
        m_run->app().document()->OpenMapFile(path());
        QVERIFY(model().FileLoaded);
        model().ShowEquList = model().ShowFunctionList = true;
        model().ListRebuildPending = true;
        tessaly::testing::renderViewport(right());
    }

    // The middle of a column's cell on a list line, in the viewport.
    QPoint cellPoint(int column, int32_t line)
    {
        for (const ColumnSpan& span : ScreenColumnSpans(right().m_columns, model(), 0))
            if (span.number == column)
                return QPoint(span.left + 3, right().m_nLineHeight * (1 + line - right().m_nTopLine) + 2);
        return {};
    }

    int32_t lineOf(const std::vector<SymbolEntry>& table, const char* name)
    {
        for (const SymbolEntry& entry : table)
            if (std::string(entry.name) == name)
                return entry.line;
        return -1;
    }

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void init()
    {
        // Each test starts from the settings of a first run.
        QSettings(QString::fromLatin1(kSettingsOrganization), QString::fromLatin1(kAppTitle)).clear();
        QVERIFY(startApp(900, 600));
        m_now = 0;
    }

    void cleanup()
    {
        m_run.reset();
        m_file.reset();
    }

    void reloadsOnceAndKeepsTheTopAddress_data()
    {
        QTest::addColumn<bool>("deleteFirst");
        QTest::newRow("rewritten in place") << false;
        QTest::newRow("deleted and made again") << true;
    }

    void reloadsOnceAndKeepsTheTopAddress()
    {
        QFETCH(bool, deleteFirst);
        openBuild("A");
        right().JumpToAddress(0x1000 + 40 * 0x100);
        QCOMPARE(paintedTopAddress(), uint32_t(0x1000 + 40 * 0x100));
        QSignalSpy reloads(&live().watch(), &FileWatch::reloaded);

        const std::vector<uint8_t> next = build("B");
        if (deleteFirst) {
            std::filesystem::remove(m_file->path());
            QTest::qWait(50);
        }
        writeBytes(m_file->path(), next, 0, next.size(), "wb");
        QTRY_COMPARE(reloads.count(), 1);
        QCOMPARE(QString::fromStdString(shownBuild(model())), QStringLiteral("B"));
        QCOMPARE(paintedTopAddress(), uint32_t(0x1000 + 40 * 0x100));
        // Nothing more to read once the writer is done, and nothing to tell.
        QTest::qWait(ReloadPolicy::kQuietMs + 200);
        QCOMPARE(reloads.count(), 1);
        QVERIFY(m_run->platform().messages.isEmpty());
        // The watch is armed again: the next rewrite is seen too.
        writeBytes(m_file->path(), build("C"), 0, build("C").size(), "wb");
        QTRY_COMPARE(reloads.count(), 2);
        QCOMPARE(QString::fromStdString(shownBuild(model())), QStringLiteral("C"));
    }

    void reloadMakesThePreviousBuildTheBaseline_data()
    {
        QTest::addColumn<bool>("chosen"); // a baseline chosen with Compare With beforehand
        QTest::addColumn<bool>("automatic");
        QTest::addColumn<QString>("baseline"); // the first section of the baseline afterwards
        QTest::newRow("none chosen") << false << true << "ASECT0";
        QTest::newRow("one chosen") << true << true << "ZSECT0";
        QTest::newRow("option off") << false << false << "";
    }

    void reloadMakesThePreviousBuildTheBaseline()
    {
        QFETCH(bool, chosen);
        QFETCH(bool, automatic);
        QFETCH(QString, baseline);
        openBuild("A");
        const TempFile other(build("Z"));
        if (chosen)
            QVERIFY(m_run->app().document()->CompareWith(QString::fromStdString(other.pathString())));
        live().setAutomatic(automatic);
        writeBytes(m_file->path(), build("B"), 0, build("B").size(), "wb");
        QVERIFY(frame().router().dispatch(ID_FILE_RELOAD));
        QCOMPARE(QString::fromStdString(shownBuild(model())), QStringLiteral("B"));
        QCOMPARE(model().Baseline ? QString::fromLatin1(model().Baseline->snapshot.sections.front().name) : QString(),
            baseline);
        if (model().Baseline)
            QCOMPARE(model().Baseline->previousBuild, !chosen);
        // A reload that fails keeps what the build on screen was compared with.
        writeBytes(m_file->path(), build("C"), 0, 100, "wb");
        QVERIFY(frame().router().dispatch(ID_FILE_RELOAD));
        QCOMPARE(QString::fromStdString(shownBuild(model())), QStringLiteral("B"));
        QCOMPARE(model().Baseline ? QString::fromLatin1(model().Baseline->snapshot.sections.front().name) : QString(),
            baseline);
    }

    void reloadCommandAndTheOption()
    {
        openBuild("A");
        writeBytes(m_file->path(), build("B"), 0, build("B").size(), "wb");
        // Off: changes are left alone, and the choice is remembered.
        live().watch().setClock([this] { return m_now; });
        QVERIFY(frame().router().dispatch(ID_RELOAD_AUTOMATICALLY));
        QVERIFY(!live().automatic());
        QCOMPARE(frame().router().state(ID_RELOAD_AUTOMATICALLY).checked, std::optional<bool>(false));
        live().watch().noticeChange();
        m_now += ReloadPolicy::kQuietMs;
        live().watch().wake();
        QCOMPARE(QString::fromStdString(shownBuild(model())), QStringLiteral("A"));
        // File > Reload reads it all the same; a file it cannot read is told at once.
        QVERIFY(frame().router().dispatch(ID_FILE_RELOAD));
        QCOMPARE(QString::fromStdString(shownBuild(model())), QStringLiteral("B"));
        const std::vector<uint8_t> bytes = build("C");
        writeBytes(m_file->path(), bytes, 0, bytes.size() / 2, "wb");
        QVERIFY(frame().router().dispatch(ID_FILE_RELOAD));
        QCOMPARE(m_run->platform().messages.size(), 1);
        QVERIFY(m_run->platform().messages.front().startsWith(path()));
        QCOMPARE(QString::fromStdString(shownBuild(model())), QStringLiteral("B"));
        m_run.reset();
        m_run = std::make_unique<RunningApp>();
        QVERIFY(!m_run->frame().liveReload().automatic());
        QVERIFY(m_run->frame().router().dispatch(ID_RELOAD_AUTOMATICALLY));
        QVERIFY(m_run->frame().liveReload().automatic());
    }

    void fileUnreadableForGoodIsToldOnce()
    {
        openBuild("A");
        live().watch().setClock([this] { return m_now; });
        const std::vector<uint8_t> bytes = build("B");
        writeBytes(m_file->path(), bytes, 0, bytes.size() / 2, "wb");
        live().watch().noticeChange();
        for (int attempt = 1; attempt <= ReloadPolicy::kAttempts; ++attempt) {
            QCOMPARE(m_run->platform().messages.size(), 0);
            m_now += ReloadPolicy::kQuietMs;
            live().watch().wake();
            QCOMPARE(QString::fromStdString(shownBuild(model())), QStringLiteral("A"));
        }
        QCOMPARE(m_run->platform().messages.size(), 1);
        m_now += ReloadPolicy::kQuietMs;
        live().watch().wake();
        QCOMPARE(m_run->platform().messages.size(), 1);
    }

    void failedOpenLetsTheWatchGo()
    {
        openBuild("A");
        live().watch().setClock([this] { return m_now; });
        const TempFile bad(tessaly::testing::unreadableFile());
        m_run->app().document()->OpenMapFile(QString::fromStdString(bad.pathString()));
        QVERIFY(!model().FileLoaded);
        QCOMPARE(m_run->platform().messages.size(), 1);
        // The window shows nothing of the old file, so its next build is not brought back.
        writeBytes(m_file->path(), build("B"), 0, build("B").size(), "wb");
        live().watch().noticeChange();
        m_now += ReloadPolicy::kQuietMs;
        live().watch().wake();
        QVERIFY(!model().FileLoaded);
        QVERIFY(!frame().router().state(ID_FILE_RELOAD).enabled);
        QCOMPARE(m_run->platform().messages.size(), 1);
    }

    void dropOpensTheFile_data()
    {
        QTest::addColumn<int>("files");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("one file") << 1 << true;
        QTest::newRow("two files: the first is the baseline") << 2 << true;
        QTest::newRow("three files") << 3 << false;
    }

    void dropOpensTheFile()
    {
        QFETCH(int, files);
        QFETCH(bool, accepted);
        std::vector<std::unique_ptr<TempFile>> made;
        QList<QUrl> urls;
        for (int i = 0; i < files; ++i) {
            made.push_back(std::make_unique<TempFile>(build(std::string(1, char('P' + i)))));
            urls << QUrl::fromLocalFile(QString::fromStdString(made.back()->pathString()));
        }
        QMimeData data;
        data.setUrls(urls);
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&frame(), &enter);
        QCOMPARE(enter.isAccepted(), accepted);
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&frame(), &drop);
        const QString last = QString(QChar('P' + files - 1));
        QCOMPARE(QString::fromStdString(shownBuild(model())), accepted ? last : QString());
        QCOMPARE(model().Baseline != nullptr, files == 2);
        if (files == 2) {
            QCOMPARE(QString::fromStdString(model().Baseline->path), QString::fromStdString(made[0]->pathString()));
            QVERIFY(!model().Baseline->previousBuild);
        }
    }

    void recentFilesAfterFiveOpens()
    {
        std::vector<std::unique_ptr<TempFile>> made;
        for (const char* prefix : { "A", "B", "C", "D", "E" }) {
            made.push_back(std::make_unique<TempFile>(build(prefix)));
            m_run->app().document()->OpenMapFile(QString::fromStdString(made.back()->pathString()));
        }
        QStringList shown;
        for (QAction* item : frame().menus().front()->actions())
            if (item->isVisible() && item->data().toInt() >= ID_FILE_RECENT_FIRST
                && item->data().toInt() <= ID_FILE_RECENT_LAST)
                shown << item->text();
        const auto entry = [&](int n, int file) {
            return QStringLiteral("&%1 %2").arg(n).arg(QString::fromStdString(made[size_t(file)]->pathString()));
        };
        QCOMPARE(shown, (QStringList { entry(1, 4), entry(2, 3), entry(3, 2), entry(4, 1) }));
        // A recent file opens and comes first; File Open then starts in its folder.
        QVERIFY(frame().router().dispatch(ID_FILE_RECENT_LAST));
        QCOMPARE(QString::fromStdString(shownBuild(model())), QStringLiteral("B"));
        QCOMPARE(m_run->app().recentFiles().files().front(), QString::fromStdString(made[1]->pathString()));
        QVERIFY(frame().router().dispatch(ID_FILE_OPEN));
        QCOMPARE(m_run->platform().fileFolders.back(), QString::fromStdString(made[1]->path().parent_path().string()));
    }

    void copyPicksTheClickedRow_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("name"); // the item, or for a block its section
        QTest::addColumn<QString>("copied");
        QTest::addColumn<QString>("tip");
        QTest::newRow("section") << int(ColumnSection) << "CODE"
                                 << "001000 000100 CODE"
                                 << "CODE\nAddress: 001000\nSize: 000100\nSection: CODE\nModule: mod";
        QTest::newRow("section by its address") << int(ColumnAddress) << "DATA"
                                                << "002000 000080 DATA"
                                                << "DATA\nAddress: 002000\nSize: 000080\nSection: DATA";
        QTest::newRow("label") << int(ColumnLabel) << "_f"
                               << "001010 _f"
                               << "_f\nAddress: 001010\nSection: CODE\nModule: mod";
        QTest::newRow(".EQU") << int(ColumnEqu) << "LIMIT"
                              << "000040 LIMIT"
                              << "LIMIT\nAddress: 000040";
        QTest::newRow("function") << int(ColumnFunction) << "func"
                                  << "001010 func"
                                  << "func\nAddress: 001010\nSize: 000020\nSection: CODE\nModule: mod";
    }

    void copyPicksTheClickedRow()
    {
        QFETCH(int, column);
        QFETCH(QString, name);
        QFETCH(QString, copied);
        QFETCH(QString, tip);
        openSmallProgram();
        int32_t line = -1;
        if (column == ColumnLabel || column == ColumnEqu)
            line = lineOf(column == ColumnLabel ? model().LabelTable : model().EquTable, qPrintable(name));
        else if (column == ColumnFunction)
            line = model().FunctionTable.front().line;
        else
            for (const SectionEntry& entry : model().SectionTable)
                if (entry.record->name && name == entry.record->name)
                    line = entry.startLine;
        QVERIFY(line > 0);
        const QPoint at = cellPoint(column, line);
        const QRgb before = tessaly::testing::renderViewport(right()).pixel(at);
        QGuiApplication::clipboard()->clear();
        // Nothing is picked yet, so Copy has nothing to do.
        QVERIFY(!frame().router().state(ID_EDIT_COPY).enabled);
        QTest::mouseClick(right().viewport(), Qt::LeftButton, {}, at);
        QVERIFY(frame().router().dispatch(ID_EDIT_COPY));
        QCOMPARE(QGuiApplication::clipboard()->text(), copied);
        QCOMPARE(QString::fromStdString(SelectionToolTip(model(), right().m_selection)), tip);
        // Drawn inverted, as Find's match is.
        const QRgb after = tessaly::testing::renderViewport(right()).pixel(at);
        QCOMPARE(qRgb(255 - qRed(after), 255 - qGreen(after), 255 - qBlue(after)),
            qRgb(qRed(before), qGreen(before), qBlue(before)));
    }

    void goToAddress_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<uint32_t>("top"); // the top block's start afterwards
        QTest::addColumn<QString>("picked"); // what Copy would copy
        QTest::addColumn<QString>("status");
        QTest::newRow("section start") << "2000" << uint32_t(0x2000) << "002000 000080 DATA"
                                       << "";
        QTest::newRow("inside a block") << "0x1015" << uint32_t(0x1000) << "001010 _f"
                                        << "";
        QTest::newRow("free area") << "1800h" << uint32_t(0x1100) << ""
                                   << "Address 001800 lies in no section";
        QTest::newRow("outside everything") << "1000000" << uint32_t(0) << ""
                                            << "Address 1000000 lies in no section";
        QTest::newRow("not an address") << "12g4" << uint32_t(0) << ""
                                        << "Not a hexadecimal address: 12g4";
    }

    void goToAddress()
    {
        QFETCH(QString, typed);
        QFETCH(uint32_t, top);
        QFETCH(QString, picked);
        QFETCH(QString, status);
        // CODE and DATA with a free area between them, and enough sections after them that
        // either can stand at the top of the list.
        Ieee695Writer w;
        w.header("Carina", "prog");
        w.section({ .index = 1, .type = "ASP", .name = "CODE", .start = 0x1000, .size = 0x100 });
        w.section({ .index = 2, .type = "ASD", .name = "DATA", .start = 0x2000, .size = 0x80 });
        for (uint32_t i = 0; i < 100; ++i)
            w.section({ .index = 3 + i,
                .type = "ASD",
                .name = "FILL" + std::to_string(i),
                .start = 0x10000 + i * 0x100,
                .size = 0x100 });
        w.globalSymbol({ .name = "main", .value = 0x1000 });
        w.globalSymbol({ .name = "_f", .value = 0x1010 });
        m_file = std::make_unique<TempFile>(w.bytes());
        m_run->app().document()->OpenMapFile(path());
        QCOMPARE(paintedTopAddress(), uint32_t(0));
        m_run->platform().textToEnter = typed;
        QAction* key = nullptr;
        for (QAction* candidate : frame().actions())
            if (candidate->shortcuts().contains(QKeySequence(Qt::CTRL | Qt::Key_G)))
                key = candidate;
        QVERIFY(key != nullptr);
        key->trigger();
        QCOMPARE(m_run->platform().inputTitles.size(), 1);
        QCOMPARE(paintedTopAddress(), top);
        // The picture's marker follows the list's top block.
        QCOMPARE(frame().m_pLeftView->m_nMarkerAddress, top);
        QCOMPARE(QString::fromStdString(SelectionCopyText(model(), right().m_selection)), picked);
        QCOMPARE(frame().statusBar()->currentMessage(), status);
    }

    void findKeys()
    {
        openBuild("A");
        const auto press = [&](QKeySequence keys) {
            for (QAction* candidate : frame().actions())
                if (candidate->shortcuts().contains(keys))
                    candidate->trigger();
        };
        // Nothing searched yet: F3 opens Find, as Ctrl+F does.
        press(QKeySequence(Qt::Key_F3));
        QVERIFY(right().m_pFindDlg != nullptr);
        right().m_pFindDlg->OnClose();
        QCoreApplication::sendPostedEvents();
        QVERIFY(right().m_pFindDlg == nullptr);
        press(QKeySequence(Qt::CTRL | Qt::Key_F));
        QVERIFY(right().m_pFindDlg != nullptr);
        right().m_pFindDlg->SetFindText(QStringLiteral("label1"));
        press(QKeySequence(Qt::Key_F3));
        QCOMPARE(right().m_nFoundLine, lineOf(model().LabelTable, "Alabel1"));
        // With the dialog closed its last settings go on, down and up.
        right().m_pFindDlg->OnClose();
        QCoreApplication::sendPostedEvents();
        press(QKeySequence(Qt::Key_F3));
        QCOMPARE(right().m_nFoundLine, lineOf(model().LabelTable, "Alabel10"));
        press(QKeySequence(Qt::SHIFT | Qt::Key_F3));
        QCOMPARE(right().m_nFoundLine, lineOf(model().LabelTable, "Alabel1"));
        QVERIFY(m_run->platform().messages.isEmpty());
    }

    // A linker writing the file in 4 KiB steps, or truncating it and writing it whole, 100 times
    // while the viewer watches: reads in the middle of a write fail silently and keep the build
    // on screen; each finished write is shown; nothing builds up from one reload to the next.
    void reloadUnderAWriter()
    {
        openBuild("A");
        live().watch().setClock([this] { return m_now; });
        right().JumpToAddress(0x1000 + 70 * 0x100);
        const uint32_t top = paintedTopAddress();
        const std::vector<uint8_t> builds[] = { build("A"), build("B") };
        QVERIFY(builds[0].size() > 2 * 4096);
        QSignalSpy reloads(&live().watch(), &FileWatch::reloaded);
        size_t heapAfterFirst = 0;

        for (int round = 1; round <= 100; ++round) {
            const std::vector<uint8_t>& bytes = builds[round % 2];
            const std::string expected = round % 2 ? "B" : "A";
            const std::string before = round % 2 ? "A" : "B";
            std::vector<size_t> steps;
            if (round % 4 < 2) {
                for (size_t end = 4096; end < bytes.size(); end += 4096)
                    steps.push_back(end);
            }
            steps.push_back(bytes.size());
            writeBytes(m_file->path(), bytes, 0, 0, "wb");
            size_t written = 0;
            for (size_t step = 0; step < steps.size(); ++step) {
                // The watcher tells each write; sometimes the writer pauses long enough for a read.
                live().watch().noticeChange();
                m_now += step % 2 == 0 ? ReloadPolicy::kQuietMs : ReloadPolicy::kQuietMs / 3;
                live().watch().wake();
                QCOMPARE(QString::fromStdString(shownBuild(model())), QString::fromStdString(before));
                writeBytes(m_file->path(), bytes, written, steps[step], "ab");
                written = steps[step];
            }
            live().watch().noticeChange();
            m_now += ReloadPolicy::kQuietMs;
            live().watch().wake();
            QCOMPARE(QString::fromStdString(shownBuild(model())), QString::fromStdString(expected));
            QCOMPARE(reloads.count(), round);
            QCOMPARE(paintedTopAddress(), top);
            if (round == 1)
                heapAfterFirst = heapInUse();
        }
        QVERIFY(m_run->platform().messages.isEmpty());
        const size_t heapAfterLast = heapInUse();
        qInfo("heap in use after the first reload: %zu bytes, after the 100th: %zu", heapAfterFirst, heapAfterLast);
        QVERIFY2(heapAfterLast <= heapAfterFirst + heapAfterFirst / 10,
            qPrintable(QStringLiteral("%1 bytes after the first reload, %2 after the last")
                           .arg(heapAfterFirst)
                           .arg(heapAfterLast)));
    }
};

QTEST_MAIN(LiveTest)
#include "live_test.moc"
