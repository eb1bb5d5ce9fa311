// live_reload.hpp: LiveReload, which keeps the window on the open file while it is rebuilt: File > Reload, the
// automatic reload and the place in the list and the picture kept across it.
#pragma once

#include "file_reload.hpp"
#include "shell/file_watch.hpp"

#include <QObject>
#include <QString>

namespace tessaly {

class CMainFrame;

class LiveReload : public QObject {
    Q_OBJECT

public:
    // Registers File > Reload and the automatic-reload option with the frame's commands.
    explicit LiveReload(CMainFrame& frame);

    // Whether a change on disk is read without being asked (a setting, on unless turned off).
    bool automatic() const { return m_automatic; }
    void setAutomatic(bool on);

    FileWatch& watch() { return m_watch; }

    // After an open: the file's bytes are kept and it is watched.
    void fileOpened(const QString& path);
    // Reads the open file again (unless it is unchanged and force is false), keeping the view
    // where it was.
    ReloadResult reloadKeepingView(bool force);

private:
    CMainFrame& m_frame;
    LastGoodBuild m_lastGood;
    FileWatch m_watch;
    bool m_automatic = true;
};

} // namespace tessaly
