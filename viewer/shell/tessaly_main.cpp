// tessaly_main.cpp: command line, Qt start-up, the viewer's message loop and the PNG and PDF exports.
#include "shell/tessaly_main.hpp"

#include "map_document.hpp"
#include "map_model.hpp"
#include "right/friend_right_view.hpp"
#include "right/right_print.hpp"
#include "shell/about_dialog.hpp"
#include "shell/command_line.hpp"
#include "shell/icons.hpp"
#include "shell/main_frame.hpp"
#include "shell/platform.hpp"
#include "shell/tessaly_app.hpp"
#include "shell/tessaly_doc.hpp"

#include <QApplication>
#include <QImage>
#include <cstdio>

namespace tessaly {

namespace {

void print(std::FILE* stream, const QString& text)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
}

int exportPng(const CommandLine& line)
{
    ConsolePlatform console;
    PlatformOverride useConsole(console);
    CTessalyApp app;
    if (!app.InitInstance(line.file, false))
        return kExitReadFailed;
    if (!mapModel().FileLoaded)
        return kExitReadFailed;
    if (!line.baseline.isEmpty() && !app.document()->CompareWith(line.baseline))
        return kExitReadFailed;
    if (line.imageMode >= 0)
        mapModel().ImageMode = static_cast<ImageMode>(line.imageMode);
    const QImage image = app.renderWindow(line.size);
    if (image.isNull() || !image.save(line.pngPath, "PNG")) {
        print(stderr, QStringLiteral("tessaly: cannot write '%1'\n").arg(line.pngPath));
        return kExitOutputFailed;
    }
    return 0;
}

int exportPdf(const CommandLine& line)
{
    ConsolePlatform console;
    PlatformOverride useConsole(console);
    CTessalyApp app;
    if (!app.InitInstance(line.file, false))
        return kExitReadFailed;
    MapModel& model = mapModel();
    if (!model.FileLoaded)
        return kExitReadFailed;
    if (!line.baseline.isEmpty() && !app.document()->CompareWith(line.baseline))
        return kExitReadFailed;
    model.ShowLocalInformation = line.showLocalInformation;
    model.ShowEquList = line.showEquList;
    model.ShowFunctionList = line.showFunctionList;
    model.ListRebuildPending = true;
    const CFriendRightView* right = app.mainFrame()->m_pRightView;
    const LogFont font = right ? right->m_logFont : paneInitialLogFont();
    if (!ExportListPdf(line.pdfPath, model, font)) {
        print(stderr, QStringLiteral("tessaly: cannot write '%1'\n").arg(line.pdfPath));
        return kExitOutputFailed;
    }
    return 0;
}

} // namespace

int runTessaly(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const CommandLine line = parseCommandLine(arguments);
    switch (line.action) {
    case CommandLine::Action::Help:
        print(stdout, usageText());
        return std::fflush(stdout) == 0 ? 0 : kExitOutputFailed;
    case CommandLine::Action::Version:
        print(stdout, QString::fromLatin1(kVersionText) + QLatin1Char('\n'));
        return std::fflush(stdout) == 0 ? 0 : kExitOutputFailed;
    case CommandLine::Action::Error:
        print(stderr, QStringLiteral("tessaly: %1\nTry 'tessaly --help' for more information.\n").arg(line.error));
        return kExitUsage;
    case CommandLine::Action::Run:
    case CommandLine::Action::ExportPng:
    case CommandLine::Action::ExportPdf:
        break;
    }

    // An export needs no screen: without a display, draw into memory.
    const bool exporting
        = line.action == CommandLine::Action::ExportPng || line.action == CommandLine::Action::ExportPdf;
    if (exporting && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY")
        && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");

    setTolerantReading(line.tolerant);
    QApplication application(argc, argv);
    QGuiApplication::setDesktopFileName(QString::fromLatin1(kWindowClassName));
    QGuiApplication::setWindowIcon(appIcon());

    if (line.action == CommandLine::Action::ExportPng)
        return exportPng(line);
    if (line.action == CommandLine::Action::ExportPdf)
        return exportPdf(line);

    CTessalyApp app;
    app.setRegionsFile(line.regionsPath);
    const std::optional<QString> file = line.file.isEmpty() ? std::nullopt : std::optional<QString>(line.file);
    if (!app.InitInstance(file))
        return kExitStartFailed;
    // A baseline that does not read leaves the file shown as it is, after the reader's message.
    if (!line.baseline.isEmpty() && mapModel().FileLoaded)
        app.document()->CompareWith(line.baseline);
    const int status = QApplication::exec();
    app.ExitInstance();
    return status;
}

} // namespace tessaly
