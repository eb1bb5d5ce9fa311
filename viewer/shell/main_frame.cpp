// main_frame.cpp: building the main window and the frame's own commands.
#include "shell/main_frame.hpp"

#include "build_baseline.hpp"
#include "left/friend_left_view.hpp"
#include "right/find_state.hpp"
#include "right/friend_right_view.hpp"
#include "right/jump.hpp"
#include "shell/commands.hpp"
#include "shell/icons.hpp"
#include "shell/live_reload.hpp"
#include "shell/memory_usage_panel.hpp"
#include "shell/platform.hpp"
#include "shell/regions_source.hpp"
#include "shell/tessaly_app.hpp"
#include "shell/tessaly_doc.hpp"

#include <QAbstractEventDispatcher>
#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QDockWidget>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QScrollArea>
#include <QSplitter>
#include <QStatusBar>
#include <QToolBar>
#include <QUrl>
#include <array>
#include <optional>

namespace tessaly {

namespace {

const std::array<QString, 4> kIndicatorTexts
    = { QStringLiteral("ｶﾅ"), QStringLiteral("CAP"), QStringLiteral("NUM"), QStringLiteral("SCRL") };

} // namespace

QStringList DroppedFiles(const QMimeData* data)
{
    QStringList files;
    if (!data || !data->hasUrls())
        return files;
    for (const QUrl& url : data->urls())
        if (url.isLocalFile() && QFileInfo(url.toLocalFile()).isFile())
            files << QFileInfo(url.toLocalFile()).absoluteFilePath();
    // Two at most: a baseline and the file to show.
    if (files.size() > 2)
        return {};
    return files;
}

QString manualPath()
{
    const QStringList candidates = {
        QCoreApplication::applicationDirPath() + QStringLiteral("/" TESSALY_INSTALLED_MANUAL),
        QStringLiteral(TESSALY_SOURCE_MANUAL),
    };
    for (const QString& candidate : candidates)
        if (QFileInfo(candidate).isFile())
            return QFileInfo(candidate).canonicalFilePath();
    return {};
}

CMainFrame::CMainFrame(CTessalyDoc& document, CommandTarget* app, QWidget* parent)
    : QMainWindow(parent)
    , m_document(document)
    , m_app(app)
    , m_router([this] {
        return std::vector<CommandTarget*> { m_pActiveView, &m_document, this, m_app };
    })
{
    // The window is known by its class name to the desktop and the window manager.
    setObjectName(QString::fromLatin1(kWindowClassName));
    setWindowRole(QString::fromLatin1(kWindowClassName));
    setWindowIcon(appIcon());
    resize(960, 640);
    // A file dropped on the window opens; of two, the first becomes the baseline.
    setAcceptDrops(true);

    createActions();
    createMenus();
    createToolBar();
    createStatusBar();
    // The font of the frame's own window, copied; the Font dialog starts from it.
    m_fontChosen = font();
    m_logFontChosen = logFontFromFont(m_fontChosen);
    OnCreateClient();
    createMemoryUsageDock();
    registerCommands();
    registerRegionCommands();
    m_liveReload = new LiveReload(*this);
    connect(&m_document, &CTessalyDoc::fileLoaded, m_liveReload, &LiveReload::fileOpened);

    m_document.setOwnerWindow(this);
    connect(&m_document, &CTessalyDoc::titleChanged, this, &CMainFrame::OnUpdateFrameTitle);
    OnUpdateFrameTitle(m_document.GetTitle());

    if (auto* dispatcher = QAbstractEventDispatcher::instance())
        connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, &CMainFrame::OnIdle);
}

CMainFrame::~CMainFrame()
{
    // The panes reach back into the frame while they go, so they go first.
    delete m_wndSplitter;
    m_wndSplitter = nullptr;
}

QAction* CMainFrame::makeAction(int id, const QString& text)
{
    auto* action = new QAction(text, this);
    const CommandText strings = commandText(id);
    action->setData(id);
    action->setStatusTip(QString::fromUtf8(strings.prompt));
    if (*strings.tip)
        action->setToolTip(QString::fromUtf8(strings.tip));
    // Menu texts carry their accelerator after a tab; the keys themselves are separate actions.
    action->setShortcutContext(Qt::WindowShortcut);
    connect(action, &QAction::triggered, this, [this, id] { m_router.dispatch(id); });
    m_actions[id] = action;
    return action;
}

QAction* CMainFrame::commandAction(int id) const
{
    const auto found = m_actions.find(id);
    return found != m_actions.end() ? found->second : nullptr;
}

void CMainFrame::createActions()
{
    makeAction(ID_FILE_OPEN, QStringLiteral("Open(&O)...\tCtrl+O"))->setIcon(svgIcon(QStringLiteral("open")));
    makeAction(ID_FILE_PRINT_SETUP, QStringLiteral("Printer Set Up(&U)"));
    makeAction(ID_FILE_PRINT_PREVIEW, QStringLiteral("Print Preview(&V)"));
    makeAction(ID_FILE_PRINT, QStringLiteral("Print(&P)"));
    makeAction(ID_APP_EXIT, QStringLiteral("Exit(&X)"));
    makeAction(ID_VIEW_TOOLBAR, QStringLiteral("Tool Bar(&T)"));
    makeAction(ID_VIEW_STATUS_BAR, QStringLiteral("Status\u3000Bar(&S)"));
    makeAction(ID_OPTIONS, QStringLiteral("Kelvra...(&M)"));
    makeAction(ID_FIND_MENU, QStringLiteral("Find...(&I)"));
    makeAction(ID_FONT, QStringLiteral("Font...(&N)"));
    makeAction(ID_HELP_INDEX, QStringLiteral("Index(&I)"));
    makeAction(ID_APP_ABOUT, QStringLiteral("About...(&A)"))->setIcon(svgIcon(QStringLiteral("about")));
    makeAction(ID_SECTION_LIST_IMAGE, QStringLiteral("Section List Image"))
        ->setIcon(svgIcon(QStringLiteral("section_list")));
    makeAction(ID_MEMORY_SIZE_IMAGE, QStringLiteral("Memory Size Image"))
        ->setIcon(svgIcon(QStringLiteral("memory_size")));
    makeAction(ID_ZOOM_IN, QStringLiteral("Zoom In"))->setIcon(svgIcon(QStringLiteral("zoom_in")));
    makeAction(ID_ZOOM_OUT, QStringLiteral("Zoom Out"))->setIcon(svgIcon(QStringLiteral("zoom_out")));
    makeAction(ID_FIND_TOOL, QStringLiteral("Find"))->setIcon(svgIcon(QStringLiteral("find")));
    makeAction(ID_FILE_RELOAD, QStringLiteral("Reload(&R)\tF5"));
    makeAction(ID_RELOAD_AUTOMATICALLY, QStringLiteral("Reload Automatically(&R)"));
    makeAction(ID_GOTO_ADDRESS, QStringLiteral("Go to Address...(&G)\tCtrl+G"));
    for (int id = ID_FILE_RECENT_FIRST; id <= ID_FILE_RECENT_LAST; ++id)
        makeAction(id, QString())->setVisible(false);
    makeAction(ID_FILE_COMPARE_WITH, QStringLiteral("Compare With...(&C)"));
    makeAction(ID_FILE_STOP_COMPARING, QStringLiteral("Stop Comparing(&S)"));
    makeAction(ID_MEMORY_REGIONS, QStringLiteral("Memory Regions..."));
    makeAction(ID_CLEAR_MEMORY_REGIONS, QStringLiteral("Clear Memory Regions"));
    makeAction(ID_VIEW_MEMORY_USAGE, QStringLiteral("Memory Usage"));

    // The accelerator table: keys that issue commands whether or not a menu shows them.
    const struct {
        QList<QKeySequence> keys;
        int id;
    } accelerators[] = {
        { { QKeySequence(Qt::CTRL | Qt::Key_O) }, ID_FILE_OPEN },
        { { QKeySequence(Qt::CTRL | Qt::Key_P) }, ID_FILE_PRINT },
        { { QKeySequence(Qt::CTRL | Qt::Key_N) }, ID_FILE_NEW },
        { { QKeySequence(Qt::Key_Plus), QKeySequence(Qt::KeypadModifier | Qt::Key_Plus) }, ID_ZOOM_IN },
        { { QKeySequence(Qt::Key_Minus), QKeySequence(Qt::KeypadModifier | Qt::Key_Minus) }, ID_ZOOM_OUT },
        { { QKeySequence(Qt::Key_F6) }, ID_NEXT_PANE },
        { { QKeySequence(Qt::SHIFT | Qt::Key_F6) }, ID_PREV_PANE },
        // The table's copy keys, which the list now answers.
        { { QKeySequence(Qt::CTRL | Qt::Key_C), QKeySequence(Qt::CTRL | Qt::Key_Insert) }, ID_EDIT_COPY },
        // Keys of our own, on keys the table leaves free.
        { { QKeySequence(Qt::Key_F5) }, ID_FILE_RELOAD },
        { { QKeySequence(Qt::CTRL | Qt::Key_G) }, ID_GOTO_ADDRESS },
        { { QKeySequence(Qt::CTRL | Qt::Key_F) }, ID_FIND_TOOL },
        { { QKeySequence(Qt::Key_F3) }, ID_FIND_NEXT_DOWN },
        { { QKeySequence(Qt::SHIFT | Qt::Key_F3) }, ID_FIND_NEXT_UP },
    };
    for (const auto& accelerator : accelerators) {
        auto* action = new QAction(this);
        action->setShortcuts(accelerator.keys);
        action->setShortcutContext(Qt::WindowShortcut);
        const int id = accelerator.id;
        connect(action, &QAction::triggered, this, [this, id] { m_router.dispatch(id); });
        addAction(action);
    }
}

void CMainFrame::createMenus()
{
    const auto addMenu = [this](QMenuBar* bar, const QString& title, std::initializer_list<int> ids) {
        QMenu* menu = bar->addMenu(title);
        for (const int id : ids) {
            if (id == 0)
                menu->addSeparator();
            else
                menu->addAction(m_actions.at(id));
        }
        // The framework asks every item for its state just before the menu opens.
        connect(menu, &QMenu::aboutToShow, this, [this, menu] { UpdateCommandUI(menu->actions()); });
        m_menus << menu;
        return menu;
    };
    QMenu* file = addMenu(menuBar(), QStringLiteral("File(&F)"),
        { ID_FILE_OPEN, 0, ID_FILE_PRINT_SETUP, ID_FILE_PRINT_PREVIEW, ID_FILE_PRINT, 0, ID_FILE_RELOAD,
            ID_FILE_RECENT_FIRST, ID_FILE_RECENT_FIRST + 1, ID_FILE_RECENT_FIRST + 2, ID_FILE_RECENT_LAST, 0,
            ID_APP_EXIT, 0, ID_FILE_COMPARE_WITH, ID_FILE_STOP_COMPARING });
    // The recent files stand apart, and only when there are any.
    m_recentSeparator = file->insertSeparator(m_actions.at(ID_FILE_RECENT_FIRST));
    m_recentSeparator->setVisible(false);
    addMenu(menuBar(), QStringLiteral("View(&V)"),
        { ID_VIEW_TOOLBAR, ID_VIEW_STATUS_BAR, 0, ID_VIEW_MEMORY_USAGE, 0, ID_GOTO_ADDRESS });
    addMenu(menuBar(), QStringLiteral("Option(&O)"),
        { ID_OPTIONS, ID_FIND_MENU, ID_FONT, 0, ID_MEMORY_REGIONS, ID_CLEAR_MEMORY_REGIONS, 0,
            ID_RELOAD_AUTOMATICALLY });
    // Help stands at the right end: in a menu bar of its own in the corner, unless the
    // menu bar is the desktop's, which places menus itself.
    QMenuBar* helpHost = menuBar();
    if (!menuBar()->isNativeMenuBar()) {
        m_helpBar = new QMenuBar(menuBar());
        m_helpBar->setNativeMenuBar(false);
        menuBar()->setCornerWidget(m_helpBar, Qt::TopRightCorner);
        helpHost = m_helpBar;
    }
    addMenu(helpHost, QStringLiteral("Help(&H)"), { ID_HELP_INDEX, ID_APP_ABOUT });
}

void CMainFrame::createToolBar()
{
    m_wndToolBar = new QToolBar(QStringLiteral("Standard"), this);
    m_wndToolBar->setObjectName(QStringLiteral("toolBar"));
    // Docking is not offered: the bar stays at the top.
    m_wndToolBar->setMovable(false);
    m_wndToolBar->setFloatable(false);
    m_wndToolBar->setIconSize(QSize(20, 20));
    m_wndToolBar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    for (const int id : std::initializer_list<int> { ID_FILE_OPEN, 0, ID_SECTION_LIST_IMAGE, ID_MEMORY_SIZE_IMAGE, 0,
             ID_ZOOM_IN, ID_ZOOM_OUT, 0, ID_FIND_TOOL, 0, ID_APP_ABOUT }) {
        if (id == 0) {
            m_wndToolBar->addSeparator();
            continue;
        }
        QAction* action = m_actions.at(id);
        m_wndToolBar->addAction(action);
        m_toolBarActions << action;
    }
    addToolBar(Qt::TopToolBarArea, m_wndToolBar);
}

void CMainFrame::createStatusBar()
{
    m_wndStatusBar = statusBar();
    m_messagePane = new QLabel(tr("Ready"), m_wndStatusBar);
    m_wndStatusBar->addWidget(m_messagePane, 1);
    // What the sizes of each section kind did since the baseline; empty unless comparing.
    m_comparePane = new QLabel(m_wndStatusBar);
    m_comparePane->setObjectName(QStringLiteral("comparePane"));
    m_wndStatusBar->addPermanentWidget(m_comparePane);
    // Kana, caps, num and scroll lock, greyed until the platform tells their state (OnIdle).
    for (const QString& text : kIndicatorTexts) {
        auto* indicator = new QLabel(text, m_wndStatusBar);
        indicator->setAlignment(Qt::AlignCenter);
        indicator->setFrameShape(QFrame::Panel);
        indicator->setFrameShadow(QFrame::Sunken);
        indicator->setMinimumWidth(indicator->fontMetrics().horizontalAdvance(QStringLiteral("SCRL")) + 12);
        indicator->setEnabled(false);
        m_wndStatusBar->addPermanentWidget(indicator);
        m_indicators << indicator;
    }
}

void CMainFrame::OnCreateClient()
{
    m_wndSplitter = new QSplitter(Qt::Horizontal, this);
    m_wndSplitter->setObjectName(QStringLiteral("splitter"));
    m_wndSplitter->setChildrenCollapsible(false);
    // Each pane stores itself in m_pLeftView / m_pRightView as it is made.
    m_wndSplitter->addWidget(new CFriendLeftView(m_document, *this, m_wndSplitter));
    m_wndSplitter->addWidget(new CFriendRightView(m_document, *this, m_wndSplitter));
    // The panes reach each other through the frame: the list's top block moves the marker, and
    // the picture's Jump moves the list.
    connect(m_pRightView, &CFriendRightView::topAddressPainted, m_pLeftView, &CFriendLeftView::SetMarkerAddress);
    connect(m_pLeftView, &CFriendLeftView::jumpRequested, m_pRightView, &CFriendRightView::JumpToAddress);
    // The left column keeps its width when the window is resized; the right takes the rest.
    m_wndSplitter->setStretchFactor(0, 0);
    m_wndSplitter->setStretchFactor(1, 1);
    m_wndSplitter->setSizes({ kLeftPaneWidth, std::max(width() - kLeftPaneWidth, 1) });
    setCentralWidget(m_wndSplitter);
    // The document's view, the list, is the active pane at start.
    SetActiveView(m_pRightView);
}

void CMainFrame::createMemoryUsageDock()
{
    m_regions = new RegionsSource(m_document.model(), this);
    connect(&m_document, &CTessalyDoc::fileRead, this, [this] { m_regions->reload(this); });
    connect(&m_document, &CTessalyDoc::comparisonChanged, m_regions, &RegionsSource::remeasure);
    // Hovering either picture tells the address and the entry there in the status bar.
    connect(m_pLeftView, &CFriendLeftView::hoverTextChanged, this, [this](const QString& text) {
        if (text.isEmpty())
            m_wndStatusBar->clearMessage();
        else
            m_wndStatusBar->showMessage(text);
    });
}

void CMainFrame::ShowMemoryUsage(bool show)
{
    // The dock is made the first time it is asked for, so until then the window is laid out
    // exactly as it always was.
    if (!m_wndMemoryUsage && show) {
        m_memoryUsagePanel = new MemoryUsagePanel;
        auto* scroller = new QScrollArea;
        scroller->setWidgetResizable(true);
        scroller->setWidget(m_memoryUsagePanel);
        m_wndMemoryUsage = new QDockWidget(QStringLiteral("Memory usage"), this);
        m_wndMemoryUsage->setObjectName(QStringLiteral("memoryUsageDock"));
        m_wndMemoryUsage->setWidget(scroller);
        addDockWidget(Qt::RightDockWidgetArea, m_wndMemoryUsage);
        const auto showUsage = [this] { m_memoryUsagePanel->setUsage(m_document.model(), m_regions->usage()); };
        connect(m_regions, &RegionsSource::usageChanged, m_memoryUsagePanel, showUsage);
        connect(m_memoryUsagePanel, &MemoryUsagePanel::regionClicked, this, &CMainFrame::ShowRegion);
        showUsage();
    }
    if (!m_wndMemoryUsage)
        return;
    m_wndMemoryUsage->setVisible(show);
    // Room for the figures, plus the scroll bar of a long list of regions.
    if (show)
        resizeDocks({ m_wndMemoryUsage }, { m_memoryUsagePanel->sizeHint().width() + 24 }, Qt::Horizontal);
}

bool CMainFrame::MemoryUsageShown() const
{
    return m_wndMemoryUsage && !m_wndMemoryUsage->isHidden();
}

void CMainFrame::registerRegionCommands()
{
    MapModel& model = m_document.model();
    const auto whenLoaded = [&model](CommandState& state) { state.Enable(model.FileLoaded); };
    onCommand(
        ID_MEMORY_REGIONS, [this] { m_regions->pickFile(this); }, whenLoaded);
    onCommand(
        ID_CLEAR_MEMORY_REGIONS, [this] { m_regions->clearFile(this); }, whenLoaded);
    onCommand(
        ID_VIEW_MEMORY_USAGE, [this] { ShowMemoryUsage(!MemoryUsageShown()); },
        [this](CommandState& state) { state.SetCheck(MemoryUsageShown()); });
}

void CMainFrame::ShowRegion(std::size_t index)
{
    MapModel& model = m_document.model();
    const std::vector<MemoryRegion>& regions = m_regions->usage().regions;
    if (!model.FileLoaded || index >= regions.size())
        return;
    const MemoryRegion& region = regions[index];
    const PageRange range = RegionPageRange(region);
    model.RangeStart = range.start;
    model.RangeEnd = range.end;
    if (model.ImageMode != MemorySizeImage) {
        model.ImageMode = MemorySizeImage;
        model.ListRebuildPending = true;
    }
    m_document.repaintAllViews();
    if (const std::optional<uint32_t> first = FirstSectionIn(model, region); first && m_pRightView)
        m_pRightView->JumpToAddress(*first);
}

void CMainFrame::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (!m_bSplitterPlaced) {
        m_bSplitterPlaced = true;
        m_wndSplitter->setSizes({ kLeftPaneWidth, std::max(m_wndSplitter->width() - kLeftPaneWidth, 1) });
        if (m_pActiveView)
            m_pActiveView->setFocus(Qt::OtherFocusReason);
    }
}

void CMainFrame::SetActiveView(PaneView* view)
{
    m_pActiveView = view;
}

void CMainFrame::ViewDestroyed(PaneView* view)
{
    if (m_pActiveView == view)
        m_pActiveView = nullptr;
    if (static_cast<PaneView*>(m_pLeftView) == view)
        m_pLeftView = nullptr;
    if (static_cast<PaneView*>(m_pRightView) == view)
        m_pRightView = nullptr;
}

void CMainFrame::registerCommands()
{
    MapModel& model = m_document.model();
    onCommand(
        ID_MEMORY_SIZE_IMAGE,
        [this, &model] {
            model.ImageMode = MemorySizeImage;
            InvalidateAll();
        },
        [&model](CommandState& state) {
            state.Enable(true);
            state.SetCheck(model.FileLoaded && model.ImageMode == MemorySizeImage);
        });
    onCommand(
        ID_SECTION_LIST_IMAGE,
        [this, &model] {
            model.ImageMode = SectionListImage;
            InvalidateAll();
        },
        [&model](CommandState& state) {
            state.Enable(true);
            state.SetCheck(model.FileLoaded && model.ImageMode == SectionListImage);
        });
    const auto whenLoaded = [&model](CommandState& state) { state.Enable(model.FileLoaded); };
    onCommand(
        ID_FIND_TOOL,
        [this] {
            if (m_pRightView)
                m_pRightView->OpenFindDialog();
        },
        whenLoaded);
    onCommand(
        ID_FONT, [this] { OnFont(); }, whenLoaded);
    // The document carries out the options command; the frame says when it may.
    onUpdate(ID_OPTIONS, whenLoaded);

    onCommand(ID_SHOW_LOCAL_INFORMATION, [this, &model] { OnToggleList(model.ShowLocalInformation); });
    onCommand(ID_SHOW_FUNCTION_LIST, [this, &model] { OnToggleList(model.ShowFunctionList); });
    onCommand(ID_SHOW_EQU_LIST, [this, &model] { OnToggleList(model.ShowEquList); });

    onCommand(
        ID_VIEW_TOOLBAR, [this] { m_wndToolBar->setHidden(!m_wndToolBar->isHidden()); },
        [this](CommandState& state) { state.SetCheck(!m_wndToolBar->isHidden()); });
    onCommand(
        ID_VIEW_STATUS_BAR, [this] { m_wndStatusBar->setHidden(!m_wndStatusBar->isHidden()); },
        [this](CommandState& state) { state.SetCheck(!m_wndStatusBar->isHidden()); });
    onCommand(ID_HELP_INDEX, [this] { OnHelpIndex(); });
    // Go to Address and Find Next work whichever pane is active, as the Find button does.
    onCommand(
        ID_GOTO_ADDRESS, [this] { OnGoToAddress(); }, whenLoaded);
    onCommand(
        ID_FIND_NEXT_DOWN,
        [this] {
            if (m_pRightView)
                m_pRightView->FindAgain(SearchDown);
        },
        whenLoaded);
    onCommand(
        ID_FIND_NEXT_UP,
        [this] {
            if (m_pRightView)
                m_pRightView->FindAgain(SearchUp);
        },
        whenLoaded);
    onCommand(ID_NEXT_PANE, [this] { OnNextPane(1); });
    onCommand(ID_PREV_PANE, [this] { OnNextPane(-1); });
}

void CMainFrame::UpdateCommandUI(const QList<QAction*>& actions)
{
    for (QAction* action : actions) {
        if (action->isSeparator() || !action->data().isValid())
            continue;
        const CommandState state = m_router.state(action->data().toInt());
        action->setEnabled(state.enabled);
        if (state.checked) {
            action->setCheckable(true);
            action->setChecked(*state.checked);
        } else if (action->isCheckable()) {
            action->setChecked(false);
            action->setCheckable(false);
        }
    }
}

void CMainFrame::OnIdle()
{
    // Setting an unchanged state posts nothing, so this settles after one pass.
    if (m_bInIdle)
        return;
    m_bInIdle = true;
    UpdateIndicators();
    UpdateComparePane();
    if (!m_wndToolBar->isHidden())
        UpdateCommandUI(m_toolBarActions);
    m_bInIdle = false;
}

void CMainFrame::UpdateIndicators()
{
    const LockKeyStates keys = platform().lockKeys();
    const std::optional<bool> states[] = { keys.kana, keys.caps, keys.num, keys.scroll };
    for (qsizetype i = 0; i < m_indicators.size() && i < 4; ++i) {
        QLabel* indicator = m_indicators[i];
        const std::optional<bool> on = states[i];
        // A key the platform reports shows its name while it is on and nothing while it is off;
        // one it cannot report shows its name greyed.
        const QString text = on && !*on ? QString() : kIndicatorTexts[static_cast<size_t>(i)];
        if (indicator->text() != text)
            indicator->setText(text);
        if (indicator->isEnabled() != on.has_value())
            indicator->setEnabled(on.has_value());
    }
}

void CMainFrame::SetRecentFiles(const QStringList& files)
{
    for (int i = 0; i <= ID_FILE_RECENT_LAST - ID_FILE_RECENT_FIRST; ++i) {
        QAction* item = m_actions.at(ID_FILE_RECENT_FIRST + i);
        item->setVisible(i < files.size());
        if (i < files.size()) {
            QString name = QDir::toNativeSeparators(files[i]);
            item->setText(
                QStringLiteral("&%1 %2").arg(i + 1).arg(name.replace(QLatin1Char('&'), QStringLiteral("&&"))));
        }
    }
    m_recentSeparator->setVisible(!files.isEmpty());
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event)
{
    if (!DroppedFiles(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event)
{
    const QStringList files = DroppedFiles(event->mimeData());
    if (files.isEmpty())
        return;
    event->acceptProposedAction();
    OpenDroppedFiles(files);
}

void CMainFrame::OpenDroppedFiles(const QStringList& files)
{
    // The file to show is read first: a baseline is compared with a build on screen.
    m_document.OpenMapFile(files.back());
    if (files.size() == 2 && m_document.model().FileLoaded)
        m_document.CompareWith(files.front());
}

void CMainFrame::UpdateComparePane()
{
    const MapModel& model = m_document.model();
    const QString text = model.FileLoaded && model.Baseline
        ? QString::fromStdString(TotalsStatusText(model.Baseline->changes.totals))
        : QString();
    if (m_comparePane->text() != text)
        m_comparePane->setText(text);
}

void CMainFrame::InvalidateAll()
{
    update();
    if (m_pLeftView)
        m_pLeftView->Invalidate();
    if (m_pRightView)
        m_pRightView->Invalidate();
}

void CMainFrame::OnUpdateFrameTitle(const QString& documentTitle)
{
    const QString app = QString::fromLatin1(kAppTitle);
    setWindowTitle(documentTitle.isEmpty() ? app : documentTitle + QStringLiteral(" - ") + app);
}

void CMainFrame::OnFont()
{
    const std::optional<LogFont> chosen = platform().fontDialog(this, m_logFontChosen);
    if (chosen) {
        // The frame keeps the font for the next dialog; its own menus and bars keep the
        // desktop's font, as a frame window draws no text in it.
        m_logFontChosen = *chosen;
        m_fontChosen = createFont(*chosen);
        if (m_pLeftView) {
            m_pLeftView->m_logFont = *chosen;
            m_pLeftView->m_font = createFont(*chosen);
            m_pLeftView->RemeasureFont();
        }
        if (m_pRightView) {
            m_pRightView->m_logFont = *chosen;
            m_pRightView->m_font = createFont(*chosen);
            m_pRightView->RemeasureFont();
        }
    }
    InvalidateAll();
}

void CMainFrame::OnHelpIndex()
{
    const QString path = manualPath();
    if (path.isEmpty() || !platform().openUrl(QUrl::fromLocalFile(path)))
        platform().messageBox(this, tr("Unable to open the user manual."));
}

void CMainFrame::OnGoToAddress()
{
    const std::optional<QString> typed = platform().inputText(this, tr("Go to Address"), tr("Address (hexadecimal):"));
    if (!typed || !m_pRightView)
        return;
    const std::optional<uint32_t> address = ParseHexAddress(typed->toStdString());
    if (!address) {
        m_wndStatusBar->showMessage(tr("Not a hexadecimal address: %1").arg(*typed));
        return;
    }
    const GoToTarget target = m_pRightView->GoToAddress(*address);
    const int digits = m_document.model().AddressDigits == 8 ? 8 : 6;
    const QString shown = QString::number(*address, 16).rightJustified(digits, QLatin1Char('0'));
    if (!target.inSection)
        m_wndStatusBar->showMessage(tr("Address %1 lies in no section").arg(shown));
    else
        m_wndStatusBar->clearMessage();
}

void CMainFrame::OnNextPane(int step)
{
    PaneView* panes[] = { m_pLeftView, m_pRightView };
    if (!panes[0] || !panes[1])
        return;
    const int current = m_pActiveView == panes[0] ? 0 : 1;
    PaneView* next = panes[(current + step + 2) % 2];
    SetActiveView(next);
    next->setFocus(Qt::TabFocusReason);
}

void CMainFrame::OnToggleList(bool& setting)
{
    setting = !setting;
    // The list's rows change, so the right pane numbers them again at its next paint.
    m_document.model().ListRebuildPending = true;
    InvalidateAll();
}

} // namespace tessaly
