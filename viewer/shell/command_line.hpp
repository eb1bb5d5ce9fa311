// command_line.hpp: the viewer's command line: [FILE], --tolerant, --regions, --help, --version, --export-png,
// --export-pdf.
#pragma once

#include <QSize>
#include <QString>
#include <QStringList>

namespace tessaly {

struct CommandLine {
    enum class Action { Run, Help, Version, ExportPng, ExportPdf, Error };

    static constexpr QSize kDefaultExportSize { 1000, 700 };

    Action action = Action::Run;
    QString file {}; // empty: none named
    QString pngPath {}; // --export-png
    QSize size = kDefaultExportSize;
    int imageMode = -1; // --image: 0 section-list, 1 memory-size (ImageMode values); -1 keeps the default
    QString error {}; // Action::Error: what was wrong
    bool tolerant = false; // --tolerant: read other producers' IEEE-695 files
    QString pdfPath {}; // --export-pdf
    // The printed list's options (--local, --equ, --functions); off as at start-up.
    bool showLocalInformation = false;
    bool showEquList = false;
    bool showFunctionList = false;
    QString baseline {}; // the build FILE is compared with: BASELINE, or --compare OLD of an export
    QString regionsPath {}; // --regions: the memory regions file, else the one found beside FILE
};

// The arguments after the program name.
CommandLine parseCommandLine(const QStringList& arguments);

QString usageText();

} // namespace tessaly
