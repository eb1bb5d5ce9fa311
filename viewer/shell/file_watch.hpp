// file_watch.hpp: FileWatch, which notices changes to the open file (also when it is deleted and made again) and asks
// for a read once the file has been quiet.
#pragma once

#include "file_reload.hpp"
#include "reload_policy.hpp"

#include <QElapsedTimer>
#include <QFileSystemWatcher>
#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>

namespace tessaly {

class FileWatch : public QObject {
    Q_OBJECT

public:
    using Clock = std::function<int64_t()>;
    // The read; force: also when the file looks as it did at the last read (File > Reload).
    using Reader = std::function<ReloadResult(bool force)>;

    explicit FileWatch(QObject* parent = nullptr);

    // The read to run when the file is due; its result drives the retries.
    void setReader(Reader reader) { m_reader = std::move(reader); }
    // Milliseconds of a steady clock; tests step one of their own.
    void setClock(Clock clock) { m_clock = std::move(clock); }

    // Starts watching the file (and its folder, to see it come back); an empty path stops.
    void watch(const QString& path);
    const QString& path() const { return m_path; }
    bool pending() const { return m_policy.pending(); }

    // Off: changes are not acted on (File > Reload still reads the file).
    void setNoticing(bool on);
    // A change seen (by the watcher, or told by a test).
    void noticeChange();
    // The timer's wake-up: reads the file when it has been quiet long enough.
    void wake();
    // File > Reload: reads at once; a refusal is told at once.
    void reloadNow();

signals:
    void reloaded();
    // The file stayed unreadable: the reader's message.
    void unreadable(const QString& message);

private:
    void onDirectoryChanged();
    void rearm();
    void follow(ReloadPolicy::Step step);
    // byHand: File > Reload, which reads whatever the file looks like and tells a refusal at once.
    void read(bool byHand);
    int64_t now() const { return m_clock ? m_clock() : m_elapsed.elapsed(); }

    QFileSystemWatcher m_watcher;
    QTimer m_timer;
    QElapsedTimer m_elapsed;
    ReloadPolicy m_policy;
    Clock m_clock;
    Reader m_reader;
    QString m_path;
    bool m_noticing = true;
};

} // namespace tessaly
