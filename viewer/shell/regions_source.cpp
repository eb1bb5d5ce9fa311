// regions_source.cpp: finding, reading and remembering the regions file of the shown file.
#include "shell/regions_source.hpp"

#include "memory_regions.hpp"
#include "shell/platform.hpp"

#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStringList>
#include <QUrl>

namespace tessaly {

namespace {

// A path as one settings key: its slashes would otherwise make nested groups.
QString settingsKey(const QString& absoluteFile)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(absoluteFile));
}

std::filesystem::path toPath(const QString& path)
{
    return std::filesystem::path(QFile::encodeName(path).toStdString());
}

QString fromPath(const std::filesystem::path& path)
{
    return QFile::decodeName(QByteArray::fromStdString(path.string()));
}

} // namespace

RegionsSource::RegionsSource(MapModel& model, QObject* parent)
    : QObject(parent)
    , m_model(model)
{
}

QString RegionsSource::chosenFile() const
{
    const QString shown = QFileInfo(fromPath(m_model.LoadedPath)).absoluteFilePath();
    if (!m_commandLineFile.isEmpty())
        return m_commandLineFile;
    QSettings settings;
    settings.beginGroup(QString::fromLatin1(kSettingsGroup));
    const QString key = settingsKey(shown);
    if (settings.contains(key))
        return settings.value(key).toString();
    const std::optional<std::filesystem::path> found = FindRegionsFile(toPath(shown), std::nullopt);
    return found ? fromPath(*found) : QString();
}

void RegionsSource::reload(QWidget* owner)
{
    m_usage = {};
    m_currentFile.clear();
    if (m_model.FileLoaded) {
        std::vector<MemoryRegion> regions;
        if (const QString file = chosenFile(); !file.isEmpty()) {
            RegionsParseResult parsed = readRegionsFile(toPath(file), m_model.MaxAddress);
            if (parsed.refused()) {
                QStringList lines;
                for (const std::string& error : parsed.errors)
                    lines << QString::fromLocal8Bit(error);
                platform().messageBox(owner, lines.join(QLatin1Char('\n')));
            } else {
                regions = std::move(parsed.regions);
                m_currentFile = file;
            }
        }
        if (regions.empty())
            regions = GuessMemoryRegions(m_model);
        m_usage = ComputeMemoryUsage(m_model, std::move(regions));
    }
    emit usageChanged();
}

void RegionsSource::remeasure()
{
    std::vector<MemoryRegion> regions = m_usage.regions;
    const bool guessed = !regions.empty() && regions.front().guessed;
    if (!m_model.FileLoaded)
        regions.clear();
    else if (guessed || regions.empty())
        regions = GuessMemoryRegions(m_model);
    m_usage = m_model.FileLoaded ? ComputeMemoryUsage(m_model, std::move(regions)) : MemoryUsage {};
    emit usageChanged();
}

void RegionsSource::remember(const QString& regionsFile)
{
    QSettings settings;
    settings.beginGroup(QString::fromLatin1(kSettingsGroup));
    settings.setValue(settingsKey(QFileInfo(fromPath(m_model.LoadedPath)).absoluteFilePath()), regionsFile);
    // The latest choice wins over the one the run started with.
    m_commandLineFile.clear();
}

void RegionsSource::pickFile(QWidget* owner)
{
    const std::optional<QString> chosen = platform().openFileDialog(owner, QString::fromLatin1(kFileFilter), QString());
    if (!chosen)
        return;
    remember(QFileInfo(*chosen).absoluteFilePath());
    reload(owner);
}

void RegionsSource::clearFile(QWidget* owner)
{
    remember(QString());
    reload(owner);
}

} // namespace tessaly
