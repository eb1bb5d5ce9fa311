// tessaly_app.hpp: CTessalyApp, the application object: start-up, settings and the application's commands.
#pragma once

#include "map_model.hpp"
#include "shell/command_router.hpp"
#include "shell/recent_files.hpp"

#include <QImage>
#include <QSize>
#include <QString>
#include <memory>
#include <optional>

class QPrinter;

namespace tessaly {

class CMainFrame;
class CTessalyDoc;

// The name of the main window's class, by which the desktop knows the program.
inline constexpr char kWindowClassName[] = "TessalyAPP";

class CTessalyApp : public CommandTarget {
public:
    explicit CTessalyApp(MapModel& model = mapModel());
    ~CTessalyApp() override;
    CTessalyApp(const CTessalyApp&) = delete;
    CTessalyApp& operator=(const CTessalyApp&) = delete;

    // Start-up: settings, document, frame and panes, the command-line file, and the window
    // shown unless showWindow is false. False when the program should end at once.
    bool InitInstance(const std::optional<QString>& file, bool showWindow = true);
    // --regions FILE, given before InitInstance.
    void setRegionsFile(const QString& path) { m_regionsFile = path; }
    // Saves the settings; the framework's part of shutting down.
    void ExitInstance();

    CMainFrame* mainFrame() const { return m_pMainWnd.get(); }
    CTessalyDoc* document() const { return m_document.get(); }
    const RecentFileList& recentFiles() const { return m_recentFiles; }

    // The main window drawn into an image of the given size, without showing it on screen.
    QImage renderWindow(QSize size);

    void OnAppAbout();
    void OnFileNew();
    void OnFilePrintSetup();
    QPrinter& printer();

private:
    MapModel& m_model;
    RecentFileList m_recentFiles;
    QString m_regionsFile;
    std::unique_ptr<QPrinter> m_printer;
    // The document outlives the frame, whose panes refer to it.
    std::unique_ptr<CTessalyDoc> m_document;
    std::unique_ptr<CMainFrame> m_pMainWnd;
};

} // namespace tessaly
