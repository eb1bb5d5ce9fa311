// recent_files.hpp: the settings store and the recently-used file list it keeps (four entries, shown nowhere).
#pragma once

#include <QString>
#include <QStringList>

class QSettings;

namespace tessaly {

// The company key the settings live under, beside the application title.
inline constexpr char kSettingsOrganization[] = "Local AppWizard-Generated Applications";

class RecentFileList {
public:
    static constexpr int kDefaultSize = 4;

    explicit RecentFileList(int size = kDefaultSize)
        : m_size(size)
    {
    }

    // Most recent first; equal paths are kept once.
    void add(const QString& path);
    const QStringList& files() const { return m_files; }
    int size() const { return m_size; }

    // "Recent File List" group, keys "File1".."File<size>".
    void load(QSettings& settings);
    void save(QSettings& settings) const;

private:
    int m_size;
    QStringList m_files;
};

} // namespace tessaly
