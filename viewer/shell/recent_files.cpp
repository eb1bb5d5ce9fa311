// recent_files.cpp: reading and writing the recently-used file list.
#include "shell/recent_files.hpp"

#include <QSettings>

namespace tessaly {

namespace {

const QString kGroup = QStringLiteral("Recent File List");

QString key(int n)
{
    return QStringLiteral("File%1").arg(n);
}

} // namespace

void RecentFileList::add(const QString& path)
{
    m_files.removeAll(path);
    m_files.prepend(path);
    while (m_files.size() > m_size)
        m_files.removeLast();
}

void RecentFileList::load(QSettings& settings)
{
    m_files.clear();
    settings.beginGroup(kGroup);
    for (int n = 1; n <= m_size; ++n) {
        const QString path = settings.value(key(n)).toString();
        if (!path.isEmpty() && !m_files.contains(path))
            m_files << path;
    }
    settings.endGroup();
}

void RecentFileList::save(QSettings& settings) const
{
    settings.beginGroup(kGroup);
    for (int n = 1; n <= m_size; ++n) {
        if (n <= m_files.size())
            settings.setValue(key(n), m_files[n - 1]);
        else
            settings.remove(key(n));
    }
    settings.endGroup();
}

} // namespace tessaly
