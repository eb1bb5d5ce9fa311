// command_line.hpp: the viewer's command line: [FILE], --help, --version and --export-png.
#pragma once

#include <QSize>
#include <QString>
#include <QStringList>

namespace tessaly {

struct CommandLine {
    enum class Action { Run, Help, Version, ExportPng, Error };

    static constexpr QSize kDefaultExportSize{1000, 700};

    Action action = Action::Run;
    QString file{};    // empty: none named
    QString pngPath{}; // --export-png
    QSize size = kDefaultExportSize;
    QString error{};   // Action::Error: what was wrong
};

// The arguments after the program name.
CommandLine parseCommandLine(const QStringList& arguments);

QString usageText();

} // namespace tessaly
