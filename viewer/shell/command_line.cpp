// command_line.cpp: parsing the viewer's arguments and its usage text.
#include "shell/command_line.hpp"

#include <QRegularExpression>

namespace tessaly {

namespace {

// "1000x700": both at least 1 and at most 16384.
bool parseSize(const QString& text, QSize& size)
{
    static const QRegularExpression pattern(QStringLiteral("^([0-9]{1,5})[xX]([0-9]{1,5})$"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch())
        return false;
    const int width = match.captured(1).toInt();
    const int height = match.captured(2).toInt();
    if (width < 1 || height < 1 || width > 16384 || height > 16384)
        return false;
    size = QSize(width, height);
    return true;
}

CommandLine failure(const QString& message)
{
    CommandLine line;
    line.action = CommandLine::Action::Error;
    line.error = message;
    return line;
}

} // namespace

CommandLine parseCommandLine(const QStringList& arguments)
{
    CommandLine line;
    bool exportPng = false;
    bool exportPdf = false;
    QString listOption; // the first of --local, --equ and --functions given
    bool sizeGiven = false;
    bool imageGiven = false;
    bool optionsEnded = false;
    QStringList files;

    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (optionsEnded || !argument.startsWith(QLatin1Char('-')) || argument == QLatin1String("-")) {
            files << argument;
            continue;
        }
        if (argument == QLatin1String("--")) {
            optionsEnded = true;
            continue;
        }
        // "--name=value" and "--name value" both give a value.
        QString name = argument;
        QString value;
        bool hasValue = false;
        if (const qsizetype equals = argument.indexOf(QLatin1Char('='));
            argument.startsWith(QLatin1String("--")) && equals > 0) {
            name = argument.left(equals);
            value = argument.mid(equals + 1);
            hasValue = true;
        }
        const auto takeValue = [&]() -> bool {
            if (hasValue)
                return true;
            if (i + 1 >= arguments.size())
                return false;
            value = arguments[++i];
            return true;
        };

        if (name == QLatin1String("--help") || name == QLatin1String("-h")) {
            line.action = CommandLine::Action::Help;
            return line;
        }
        if (name == QLatin1String("--version")) {
            line.action = CommandLine::Action::Version;
            return line;
        }
        if (name == QLatin1String("--tolerant")) {
            line.tolerant = true;
            continue;
        }
        if (name == QLatin1String("--export-png")) {
            if (!takeValue() || value.isEmpty())
                return failure(QStringLiteral("option '--export-png' needs the name of the image to write"));
            exportPng = true;
            line.pngPath = value;
            continue;
        }
        if (name == QLatin1String("--export-pdf")) {
            if (!takeValue() || value.isEmpty())
                return failure(QStringLiteral("option '--export-pdf' needs the name of the PDF file to write"));
            exportPdf = true;
            line.pdfPath = value;
            continue;
        }
        if (name == QLatin1String("--local") || name == QLatin1String("--equ")
            || name == QLatin1String("--functions")) {
            if (name == QLatin1String("--local"))
                line.showLocalInformation = true;
            else if (name == QLatin1String("--equ"))
                line.showEquList = true;
            else
                line.showFunctionList = true;
            if (listOption.isEmpty())
                listOption = name;
            continue;
        }
        if (name == QLatin1String("--image")) {
            if (!takeValue() || (value != QLatin1String("section-list") && value != QLatin1String("memory-size")))
                return failure(QStringLiteral("option '--image' needs 'section-list' or 'memory-size'"));
            line.imageMode = value == QLatin1String("memory-size") ? 1 : 0;
            imageGiven = true;
            continue;
        }
        if (name == QLatin1String("--size")) {
            if (!takeValue())
                return failure(QStringLiteral("option '--size' needs a size such as 1000x700"));
            if (!parseSize(value, line.size))
                return failure(
                    QStringLiteral("invalid size '%1' (expected WIDTHxHEIGHT, such as 1000x700)").arg(value));
            sizeGiven = true;
            continue;
        }
        return failure(QStringLiteral("unknown option '%1'").arg(argument));
    }

    if (files.size() > 1)
        return failure(QStringLiteral("only one file can be opened"));
    if (!files.isEmpty())
        line.file = files.front();
    if (sizeGiven && !exportPng)
        return failure(QStringLiteral("option '--size' goes with '--export-png'"));
    if (imageGiven && !exportPng)
        return failure(QStringLiteral("option '--image' goes with '--export-png'"));
    if (exportPng && exportPdf)
        return failure(QStringLiteral("options '--export-png' and '--export-pdf' cannot be used together"));
    if (!listOption.isEmpty() && !exportPdf)
        return failure(QStringLiteral("option '%1' goes with '--export-pdf'").arg(listOption));
    if (exportPdf) {
        if (line.file.isEmpty())
            return failure(QStringLiteral("option '--export-pdf' needs a FILE to open"));
        line.action = CommandLine::Action::ExportPdf;
    }
    if (exportPng) {
        if (line.file.isEmpty())
            return failure(QStringLiteral("option '--export-png' needs a FILE to open"));
        line.action = CommandLine::Action::ExportPng;
    }
    return line;
}

QString usageText()
{
    return QStringLiteral("Usage: tessaly [--tolerant] [FILE]\n"
                          "       tessaly --export-png OUT.png [--size WxH] [--image PICTURE] [--tolerant] FILE\n"
                          "       tessaly --export-pdf OUT.pdf [--local] [--equ] [--functions] [--tolerant] FILE\n"
                          "View the memory map of a linked microcontroller program.\n"
                          "\n"
                          "  FILE                  absolute file to open (.xqa, .xqe, .abs, .x)\n"
                          "  --export-png OUT.png  write the main window with FILE open to a PNG image,\n"
                          "                        without showing it (no display needed)\n"
                          "  --size WxH            size of that window in pixels (default 1000x700)\n"
                          "  --image PICTURE       the left pane's picture in that image: section-list\n"
                          "                        (the default) or memory-size\n"
                          "  --export-pdf OUT.pdf  print the symbol list of FILE to a PDF file (A4),\n"
                          "                        without a window or a dialog\n"
                          "  --local               in that PDF, list module sections and local symbols\n"
                          "  --equ                 in that PDF, list the .EQU constants too\n"
                          "  --functions           in that PDF, list the C functions too\n"
                          "  --tolerant            also read IEEE-695 files written by other linkers\n"
                          "  -h, --help            show this help and exit\n"
                          "  --version             show the version and exit\n");
}

} // namespace tessaly
