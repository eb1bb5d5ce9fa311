// tessaly_app.cpp: the start-up sequence and the commands the application answers.
#include "shell/tessaly_app.hpp"

#include "right/friend_right_view.hpp"
#include "right/right_print.hpp"
#include "shell/about_dialog.hpp"
#include "shell/commands.hpp"
#include "shell/main_frame.hpp"
#include "shell/options_dialog.hpp"
#include "shell/platform.hpp"
#include "shell/regions_source.hpp"
#include "shell/tessaly_doc.hpp"

#include <QApplication>
#include <QFileInfo>
#include <QPageSetupDialog>
#include <QPixmap>
#include <QPrinter>
#include <QSettings>

namespace tessaly {

CTessalyApp::CTessalyApp(MapModel& model)
    : m_model(model)
{
    onCommand(ID_APP_ABOUT, [this] { OnAppAbout(); });
    onCommand(ID_FILE_NEW, [this] { OnFileNew(); });
    onCommand(ID_FILE_PRINT_SETUP, [this] { OnFilePrintSetup(); });
    for (int id = ID_FILE_RECENT_FIRST; id <= ID_FILE_RECENT_LAST; ++id) {
        const int index = id - ID_FILE_RECENT_FIRST;
        onCommand(
            id,
            [this, index] {
                // Copied: the open reorders the list.
                if (m_document && index < m_recentFiles.files().size())
                    m_document->OpenMapFile(QString(m_recentFiles.files()[index]));
            },
            [this, index](CommandState& state) { state.Enable(index < m_recentFiles.files().size()); });
    }
    onCommand(ID_APP_EXIT, [this] {
        if (m_pMainWnd)
            m_pMainWnd->close();
    });
}

CTessalyApp::~CTessalyApp()
{
    m_pMainWnd.reset();
    m_document.reset();
}

bool CTessalyApp::InitInstance(const std::optional<QString>& file, bool showWindow)
{
    // Settings live under the company key and the application title.
    QCoreApplication::setOrganizationName(QString::fromLatin1(kSettingsOrganization));
    QCoreApplication::setApplicationName(QString::fromLatin1(kAppTitle));
    {
        QSettings settings;
        m_recentFiles.load(settings);
    }

    m_document = std::make_unique<CTessalyDoc>(m_model);
    m_document->setOptionsDialog(
        [this](QWidget* owner, OptionsValues& values) { return RunOptionsDialog(m_model, owner, values); });
    m_pMainWnd = std::make_unique<CMainFrame>(*m_document, this);
    // Every successful open enters the recent list, which the File menu shows; File Open
    // starts in the folder of the last file.
    m_pMainWnd->SetRecentFiles(m_recentFiles.files());
    if (!m_recentFiles.files().isEmpty())
        m_document->setOpenFolder(QFileInfo(m_recentFiles.files().front()).absolutePath());
    QObject::connect(m_document.get(), &CTessalyDoc::fileLoaded, m_pMainWnd.get(), [this](const QString& path) {
        m_recentFiles.add(path);
        m_pMainWnd->SetRecentFiles(m_recentFiles.files());
    });
    if (!m_regionsFile.isEmpty())
        m_pMainWnd->m_regions->setCommandLineFile(QFileInfo(m_regionsFile).absoluteFilePath());
    // The right pane prints on the application's printer, the one Printer Set Up configures.
    if (m_pMainWnd->m_pRightView)
        InstallPrintCommands(*m_pMainWnd->m_pRightView, [this]() -> QPrinter& { return printer(); });

    // The framework's own handling of the command line: a new document, or the named file
    // opened as the document, which names it and enters the recently-used list.
    if (!file) {
        m_document->OnNewDocument();
    } else {
        if (!m_document->OnOpenDocument(*file))
            return false;
        m_recentFiles.add(QFileInfo(*file).absoluteFilePath());
        m_pMainWnd->SetRecentFiles(m_recentFiles.files());
        m_document->OpenCommandLineFile(*file);
    }

    if (showWindow) {
        m_pMainWnd->show();
        m_pMainWnd->activateWindow();
        m_pMainWnd->raise();
        m_pMainWnd->repaint();
    }
    return true;
}

void CTessalyApp::ExitInstance()
{
    QSettings settings;
    m_recentFiles.save(settings);
}

QImage CTessalyApp::renderWindow(QSize size)
{
    CMainFrame& frame = *m_pMainWnd;
    frame.setAttribute(Qt::WA_DontShowOnScreen, true);
    frame.resize(size);
    frame.show();
    frame.OnIdle();
    QCoreApplication::processEvents();
    frame.OnIdle();
    QCoreApplication::processEvents();
    return frame.grab().toImage();
}

void CTessalyApp::OnAppAbout()
{
    CAboutDlg dialog(m_pMainWnd.get());
    platform().execDialog(dialog);
}

void CTessalyApp::OnFileNew()
{
    if (m_document)
        m_document->OnNewDocument();
}

QPrinter& CTessalyApp::printer()
{
    // The printer's own resolution: the print font is scaled to it and placed cell by cell.
    if (!m_printer)
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *m_printer;
}

void CTessalyApp::OnFilePrintSetup()
{
    QPageSetupDialog dialog(&printer(), m_pMainWnd.get());
    platform().execDialog(dialog);
}

} // namespace tessaly
