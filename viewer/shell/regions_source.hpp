// regions_source.hpp: which regions file the shown file uses (command line, remembered pick, beside it) and its usage.
#pragma once

#include "map_model.hpp"
#include "memory_usage.hpp"

#include <QObject>
#include <QString>

class QWidget;

namespace tessaly {

class RegionsSource : public QObject {
    Q_OBJECT

public:
    // The settings group that remembers, per absolute file, the regions file picked for it ("" for none).
    static constexpr char kSettingsGroup[] = "Memory Regions";
    // The file-open dialog's filter list for a regions file.
    static constexpr char kFileFilter[] = "regions file(*.regions)|*.regions|all files(*)|*||";

    explicit RegionsSource(MapModel& model, QObject* parent = nullptr);

    // --regions FILE: used for every file the run opens, until a pick in the menu replaces it.
    void setCommandLineFile(const QString& path) { m_commandLineFile = path; }

    // After a read of the shown file: its regions file, read and measured, else guessed regions.
    // A refused regions file is shown through the platform's message box, and none of it is used.
    void reload(QWidget* owner);
    // The same regions measured again, after the shown file's tables were built anew from the
    // same file (a comparison reads it again); guessed regions are guessed again.
    void remeasure();
    // Option > Memory Regions...: a file chosen in the file-open dialog, remembered for the shown file.
    void pickFile(QWidget* owner);
    // Option > Clear Memory Regions: no regions file for the shown file, remembered; guessed regions.
    void clearFile(QWidget* owner);

    const MemoryUsage& usage() const { return m_usage; }
    // The regions file in use; empty when the regions are guessed or no file is shown.
    const QString& currentFile() const { return m_currentFile; }

signals:
    void usageChanged();

private:
    QString chosenFile() const;
    void remember(const QString& regionsFile);

    MapModel& m_model;
    QString m_commandLineFile;
    MemoryUsage m_usage;
    QString m_currentFile;
};

} // namespace tessaly
