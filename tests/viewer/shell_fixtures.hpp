// shell_fixtures.hpp: a platform that answers its dialogs at once, an application running on it, and small programs to
// open, for the widget tests.
#pragma once

#include "left/friend_left_view.hpp"
#include "map_model.hpp"
#include "right/friend_right_view.hpp"
#include "shell/main_frame.hpp"
#include "shell/platform.hpp"
#include "shell/tessaly_app.hpp"
#include "support/memory_tree.hpp"

#include <QAbstractScrollArea>
#include <QDialog>
#include <QImage>
#include <QObject>
#include <QStringList>
#include <QUrl>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tessaly::testing {

// Records what the program asked and answers with the values set beforehand.
class FakePlatform : public Platform {
public:
    void messageBox(QWidget* owner, const QString& text) override;
    std::optional<QString> openFileDialog(QWidget* owner, const QString& barFilter, const QString& folder) override;
    std::optional<LogFont> fontDialog(QWidget* owner, const LogFont& initial) override;
    int execDialog(QDialog& dialog) override;
    bool openUrl(const QUrl& url) override;
    LockKeyStates lockKeys() override { return lockKeyStates; }
    std::optional<QString> inputText(QWidget* owner, const QString& title, const QString& prompt) override
    {
        owners << owner;
        inputTitles << title + '|' + prompt;
        return textToEnter;
    }

    // Answers
    LockKeyStates lockKeyStates {};
    std::optional<QString> fileToChoose {};
    std::optional<LogFont> fontToChoose {};
    std::optional<QString> textToEnter {};
    int dialogResult = QDialog::Accepted;
    bool openUrlSucceeds = true;

    // Questions
    QStringList messages;
    QStringList fileFilters;
    QStringList fileFolders;
    QStringList inputTitles;
    QList<LogFont> fontInitials;
    QStringList dialogTitles;
    QStringList dialogTexts; // every label's text of the dialogs run, joined by '|'
    QList<QUrl> urls;
    QList<QWidget*> owners;
};

// One application on a fake platform, with a model of its own, started without a file as
// InitInstance does; torn down application first, platform last.
class RunningApp {
public:
    explicit RunningApp(std::unique_ptr<FakePlatform> platform = std::make_unique<FakePlatform>());
    ~RunningApp();
    RunningApp(const RunningApp&) = delete;
    RunningApp& operator=(const RunningApp&) = delete;

    // False when start-up failed.
    bool started() const { return m_started; }
    // Shows the main window at the given size; false when it was never exposed.
    bool show(int width, int height);
    // Ends the application before the test does, as closing the program would.
    void closeApp() { m_app.reset(); }

    FakePlatform& platform() { return *m_platform; }
    MapModel& model() { return *m_model; }
    CTessalyApp& app() { return *m_app; }
    CMainFrame& frame() { return *m_app->mainFrame(); }

private:
    std::unique_ptr<FakePlatform> m_platform;
    std::unique_ptr<PlatformOverride> m_override;
    std::unique_ptr<MapModel> m_model;
    std::unique_ptr<CTessalyApp> m_app;
    bool m_started = false;
};

// Whether a pixel of image inside rect passes test.
bool anyPixel(const QImage& image, const QRect& rect, const std::function<bool(QRgb)>& test);

// What a pane test keeps: the running application, the tree it fills and the names the tree
// points at. A test class derives from QObject first and from this second.
class PaneFixture {
protected:
    std::unique_ptr<RunningApp> m_run;
    std::unique_ptr<MemoryTree> m_tree;
    std::deque<std::string> m_names; // a deque, so a name never moves once the tree points at it

    CMainFrame& frame() { return m_run->frame(); }
    CFriendLeftView& left() { return *frame().m_pLeftView; }
    CFriendRightView& right() { return *frame().m_pRightView; }
    MapModel& model() { return m_run->model(); }

    // A new running application whose window is shown at width x height; false if either failed.
    bool startApp(int width, int height)
    {
        m_run = std::make_unique<RunningApp>();
        return m_run->started() && m_run->show(width, height);
    }

    // The application goes first, then the tree, then its names.
    void tearDown()
    {
        m_run.reset();
        m_tree.reset();
        m_names.clear();
    }
};

// What a successful open leaves in the model, for a tree built in memory: the tables are
// rebuilt and the list renumbered at the next paint, over the whole address range.
void markTreeLoaded(MapModel& model, const IeRoot* root);

// A pane's viewport as the user sees it, drawn onto a grey that no pane paints itself.
QImage renderViewport(QAbstractScrollArea& pane);

// A section of the given type in an in-memory tree.
IeSection* typedSection(MemoryTree& tree, const char* name, uint32_t start, uint32_t size, int32_t type);

// A small IEEE-695 program of the given CPU: code and data sections, labels, a constant and
// a C function.
std::vector<uint8_t> smallMapFile(const std::string& cpu);

// Bytes the reader rejects: the first byte is of neither format.
std::vector<uint8_t> unreadableFile();

} // namespace tessaly::testing
