// file_watch.cpp: the watcher, its re-arming after a delete-and-create, and the timer that follows ReloadPolicy.
#include "shell/file_watch.hpp"

#include <QFileInfo>
#include <algorithm>

namespace tessaly {

FileWatch::FileWatch(QObject* parent)
    : QObject(parent)
{
    m_elapsed.start();
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &FileWatch::wake);
    connect(&m_watcher, &QFileSystemWatcher::fileChanged, this, [this] {
        rearm();
        noticeChange();
    });
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, &FileWatch::onDirectoryChanged);
}

void FileWatch::watch(const QString& path)
{
    if (!m_watcher.files().isEmpty())
        m_watcher.removePaths(m_watcher.files());
    if (!m_watcher.directories().isEmpty())
        m_watcher.removePaths(m_watcher.directories());
    m_timer.stop();
    m_policy.readSucceeded();
    m_path = path.isEmpty() ? QString() : QFileInfo(path).absoluteFilePath();
    if (m_path.isEmpty())
        return;
    m_watcher.addPath(QFileInfo(m_path).absolutePath());
    rearm();
}

void FileWatch::rearm()
{
    // A file that was removed drops out of the watch; it is watched again once it is back.
    if (!m_path.isEmpty() && !m_watcher.files().contains(m_path) && QFileInfo::exists(m_path))
        m_watcher.addPath(m_path);
}

void FileWatch::onDirectoryChanged()
{
    // Only the open file matters: it came back, or went, or was replaced by a rename.
    const bool watched = m_watcher.files().contains(m_path);
    const bool exists = QFileInfo::exists(m_path);
    if (watched == exists && !exists)
        return;
    rearm();
    noticeChange();
}

void FileWatch::setNoticing(bool on)
{
    m_noticing = on;
    if (!on) {
        m_timer.stop();
        m_policy.readSucceeded();
    }
}

void FileWatch::noticeChange()
{
    if (m_path.isEmpty() || !m_noticing)
        return;
    follow(m_policy.fileChanged(now()));
}

void FileWatch::wake()
{
    if (m_path.isEmpty())
        return;
    follow(m_policy.timerExpired(now()));
}

void FileWatch::reloadNow()
{
    if (m_path.isEmpty())
        return;
    m_timer.stop();
    m_policy.readSucceeded();
    read(true);
}

void FileWatch::follow(ReloadPolicy::Step step)
{
    switch (step) {
    case ReloadPolicy::Step::Idle:
        m_timer.stop();
        break;
    case ReloadPolicy::Step::Wait:
        m_timer.start(static_cast<int>(std::clamp<int64_t>(m_policy.deadline() - now(), 0, ReloadPolicy::kQuietMs)));
        break;
    case ReloadPolicy::Step::Read:
        read(false);
        break;
    case ReloadPolicy::Step::Report:
        break;
    }
}

void FileWatch::read(bool byHand)
{
    if (!m_reader)
        return;
    const ReloadResult result = m_reader(byHand);
    // The reader may have let the file go.
    if (m_path.isEmpty())
        return;
    rearm();
    switch (result.outcome) {
    case ReloadOutcome::Reloaded:
        follow(m_policy.readSucceeded());
        emit reloaded();
        break;
    case ReloadOutcome::Unchanged:
        follow(m_policy.readSucceeded());
        break;
    case ReloadOutcome::Changing:
        follow(m_policy.fileChanged(now()));
        break;
    case ReloadOutcome::Unreadable:
        if (byHand || m_policy.readFailed(now()) == ReloadPolicy::Step::Report) {
            m_timer.stop();
            m_policy.readSucceeded();
            emit unreadable(QString::fromLocal8Bit(result.message));
        } else {
            follow(ReloadPolicy::Step::Wait);
        }
        break;
    }
}

} // namespace tessaly
