// main_frame.hpp: CMainFrame, the main window: menu, tool bar, status bar, the splitter with the two panes, and its
// commands.
#pragma once

#include "shell/command_router.hpp"
#include "shell/log_font.hpp"

#include <QFont>
#include <QMainWindow>
#include <map>

class QDockWidget;
class QLabel;
class QMimeData;
class QMenu;
class QMenuBar;
class QSplitter;
class QStatusBar;
class QToolBar;

namespace tessaly {

class CFriendLeftView;
class CFriendRightView;
class CTessalyDoc;
class LiveReload;
class MemoryUsagePanel;
class PaneView;
class RegionsSource;

class CMainFrame : public QMainWindow, public CommandTarget {
    Q_OBJECT

public:
    static constexpr int kLeftPaneWidth = 300;

    // app: the last target of the command chain (may be null).
    CMainFrame(CTessalyDoc& document, CommandTarget* app, QWidget* parent = nullptr);
    ~CMainFrame() override;

    CTessalyDoc& document() const { return m_document; }
    const CommandRouter& router() const { return m_router; }

    // The action of a command on the menu or the tool bar; null for commands without one.
    QAction* commandAction(int id) const;
    // The menus in the order they are shown, Help last.
    QList<QMenu*> menus() const { return m_menus; }
    QMenuBar* helpMenuBar() const { return m_helpBar; }

    PaneView* GetActiveView() const { return m_pActiveView; }
    void SetActiveView(PaneView* view);
    void ViewDestroyed(PaneView* view);

    // Refreshes enabled and checked states from the update handlers.
    void UpdateCommandUI(const QList<QAction*>& actions);
    // What the framework does when the event loop goes idle: refresh the tool bar and the lock
    // indicators.
    void OnIdle();
    // The lock indicators from the platform's lock key states.
    void UpdateIndicators();
    // The totals of the comparison with the baseline, or nothing.
    void UpdateComparePane();

    // The File menu's recent files, most recent first; the items of the ones missing are hidden.
    void SetRecentFiles(const QStringList& files);
    // What a drop does: one file is opened; of two, the second is opened and the first becomes
    // the baseline.
    void OpenDroppedFiles(const QStringList& files);

    // Repaints the frame and both panes.
    void InvalidateAll();

    QLabel* messagePane() const { return m_messagePane; }
    LiveReload& liveReload() const { return *m_liveReload; }
    QList<QLabel*> indicatorPanes() const { return m_indicators; }
    QLabel* comparePane() const { return m_comparePane; }

    QToolBar* m_wndToolBar = nullptr;
    QStatusBar* m_wndStatusBar = nullptr;
    QSplitter* m_wndSplitter = nullptr;
    CFriendLeftView* m_pLeftView = nullptr;
    CFriendRightView* m_pRightView = nullptr;
    QFont m_fontChosen;
    LogFont m_logFontChosen;
    // The regions of the shown file, and the dock that shows their usage once asked for.
    RegionsSource* m_regions = nullptr;
    QDockWidget* m_wndMemoryUsage = nullptr;
    MemoryUsagePanel* m_memoryUsagePanel = nullptr;

    // View > Memory Usage.
    void ShowMemoryUsage(bool show);
    bool MemoryUsageShown() const;

    // A click on a region: the memory-size picture shows its pages, and the list its first section.
    void ShowRegion(std::size_t index);

protected:
    void showEvent(QShowEvent* event) override;
    QMenu* createPopupMenu() override { return nullptr; }
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void createActions();
    void createMenus();
    void createToolBar();
    void createStatusBar();
    void OnCreateClient();
    void registerCommands();
    QAction* makeAction(int id, const QString& text);
    void OnUpdateFrameTitle(const QString& documentTitle);

    void OnFont();
    void OnHelpIndex();
    void OnGoToAddress();
    void OnNextPane(int step);
    void OnToggleList(bool& setting);
    void createMemoryUsageDock();
    void registerRegionCommands();

    CTessalyDoc& m_document;
    CommandTarget* m_app;
    CommandRouter m_router;
    std::map<int, QAction*> m_actions;
    QList<QAction*> m_toolBarActions;
    QList<QMenu*> m_menus;
    QMenuBar* m_helpBar = nullptr;
    QLabel* m_messagePane = nullptr;
    QList<QLabel*> m_indicators;
    QLabel* m_comparePane = nullptr;
    PaneView* m_pActiveView = nullptr;
    bool m_bSplitterPlaced = false;
    bool m_bInIdle = false;
    LiveReload* m_liveReload = nullptr;
    QAction* m_recentSeparator = nullptr;
};

// The local files a drop carries, one or two; none for anything else.
QStringList DroppedFiles(const QMimeData* data);

// The user manual that Help > Index opens: beside the installed program, else in the source tree.
QString manualPath();

} // namespace tessaly
