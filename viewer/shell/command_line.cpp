// command_line.cpp: parsing the viewer's arguments and its usage text.
#include "shell/command_line.hpp"

#include <QCommandLineParser>
#include <QHash>
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

// The first argument the viewer does not know as an option, as typed, or an empty string. The
// parser names unknown options without their dashes or "=value"; and as it reads a single dash
// like two, it takes "-tolerant" for "--tolerant", where only "-h" has one dash here. A word the
// parser took as an option's value is no option.
QString unknownArgument(const QStringList& arguments, const QCommandLineParser& parser, const QStringList& values)
{
    const QStringList unknown = parser.unknownOptionNames();
    for (const QString& argument : arguments) {
        if (argument == QLatin1String("--"))
            break;
        if (!argument.startsWith(QLatin1Char('-')) || argument == QLatin1String("-"))
            continue;
        const bool singleDash = !argument.startsWith(QLatin1String("--"));
        if (unknown.contains(argument.mid(singleDash ? 1 : 2).section(QLatin1Char('='), 0, 0)))
            return argument;
        if (singleDash && argument != QLatin1String("-h") && !values.contains(argument))
            return argument;
    }
    return unknown.isEmpty() ? QString() : QStringLiteral("--") + unknown.front();
}

} // namespace

CommandLine parseCommandLine(const QStringList& arguments)
{
    const QCommandLineOption help(QStringList { QStringLiteral("h"), QStringLiteral("help") });
    const QCommandLineOption version(QStringLiteral("version"));
    const QCommandLineOption tolerant(QStringLiteral("tolerant"));
    const QCommandLineOption exportPngOption(QStringLiteral("export-png"), {}, QStringLiteral("OUT.png"));
    const QCommandLineOption exportPdfOption(QStringLiteral("export-pdf"), {}, QStringLiteral("OUT.pdf"));
    const QCommandLineOption local(QStringLiteral("local"));
    const QCommandLineOption equ(QStringLiteral("equ"));
    const QCommandLineOption functions(QStringLiteral("functions"));
    const QCommandLineOption image(QStringLiteral("image"), {}, QStringLiteral("PICTURE"));
    const QCommandLineOption size(QStringLiteral("size"), {}, QStringLiteral("WxH"));
    const QCommandLineOption compare(QStringLiteral("compare"), {}, QStringLiteral("OLD"));
    const QCommandLineOption regions(QStringLiteral("regions"), {}, QStringLiteral("FILE"));

    QCommandLineParser parser;
    // "-h" is the one short option; a single dash never bundles letters, so "-hx" is one unknown
    // option, as it is to the user.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOptions({ help, version, tolerant, exportPngOption, exportPdfOption, local, equ, functions, image, size,
        compare, regions });
    // The parser's own verdict is not used: its messages are not ours, it refuses a value after a
    // switch ("--tolerant=1") that the viewer has always ignored, and everything it found is still
    // there to check below. Its first argument is the program's name.
    parser.parse(QStringList { QStringLiteral("tessaly") } + arguments);

    // Help and version, however spelt, win over anything else on the line.
    for (const QString& name : parser.optionNames()) {
        CommandLine line;
        if (help.names().contains(name)) {
            line.action = CommandLine::Action::Help;
            return line;
        }
        if (version.names().contains(name)) {
            line.action = CommandLine::Action::Version;
            return line;
        }
    }
    QStringList values;
    for (const QCommandLineOption* option : { &exportPngOption, &exportPdfOption, &image, &size, &compare, &regions })
        values << parser.values(*option);
    if (const QString unknown = unknownArgument(arguments, parser, values); !unknown.isEmpty())
        return failure(QStringLiteral("unknown option '%1'").arg(unknown));

    // The options in the order given, each occurrence with its own value: the first bad one is
    // reported, and a later value replaces an earlier one. Only the last argument can lack its value.
    CommandLine line;
    bool exportPng = false;
    bool exportPdf = false;
    QString listOption; // the first of --local, --equ and --functions given
    bool sizeGiven = false;
    bool imageGiven = false;
    bool compareGiven = false;
    QHash<QString, qsizetype> occurrences;
    for (const QString& name : parser.optionNames()) {
        const qsizetype occurrence = occurrences[name]++;
        const QStringList given = parser.values(name);
        const bool hasValue = occurrence < given.size();
        const QString value = hasValue ? given[occurrence] : QString();
        if (name == tolerant.names().front()) {
            line.tolerant = true;
        } else if (name == exportPngOption.names().front()) {
            if (value.isEmpty())
                return failure(QStringLiteral("option '--export-png' needs the name of the image to write"));
            exportPng = true;
            line.pngPath = value;
        } else if (name == exportPdfOption.names().front()) {
            if (value.isEmpty())
                return failure(QStringLiteral("option '--export-pdf' needs the name of the PDF file to write"));
            exportPdf = true;
            line.pdfPath = value;
        } else if (name == local.names().front() || name == equ.names().front() || name == functions.names().front()) {
            line.showLocalInformation |= name == local.names().front();
            line.showEquList |= name == equ.names().front();
            line.showFunctionList |= name == functions.names().front();
            if (listOption.isEmpty())
                listOption = QStringLiteral("--") + name;
        } else if (name == image.names().front()) {
            if (value != QLatin1String("section-list") && value != QLatin1String("memory-size"))
                return failure(QStringLiteral("option '--image' needs 'section-list' or 'memory-size'"));
            line.imageMode = value == QLatin1String("memory-size") ? 1 : 0;
            imageGiven = true;
        } else if (name == compare.names().front()) {
            if (value.isEmpty())
                return failure(QStringLiteral("option '--compare' needs the file to compare with"));
            line.baseline = value;
            compareGiven = true;
        } else if (name == size.names().front()) {
            if (!hasValue)
                return failure(QStringLiteral("option '--size' needs a size such as 1000x700"));
            if (!parseSize(value, line.size))
                return failure(
                    QStringLiteral("invalid size '%1' (expected WIDTHxHEIGHT, such as 1000x700)").arg(value));
            sizeGiven = true;
        } else if (name == regions.names().front()) {
            if (value.isEmpty())
                return failure(QStringLiteral("option '--regions' needs the name of a regions file"));
            line.regionsPath = value;
        }
    }

    const QStringList files = parser.positionalArguments();
    // The viewer takes a second file as the baseline; the exports name it with --compare.
    if (files.size() > 2 || (files.size() == 2 && (exportPng || exportPdf)))
        return failure(QStringLiteral("only one file can be opened"));
    if (!files.isEmpty())
        line.file = files.front();
    if (files.size() == 2)
        line.baseline = files.back();
    if (compareGiven && !exportPdf && !exportPng)
        return failure(QStringLiteral("option '--compare' goes with '--export-png' or '--export-pdf'"));
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
    return QStringLiteral("Usage: tessaly [--tolerant] [--regions FILE] [FILE [BASELINE]]\n"
                          "       tessaly --export-png OUT.png [--size WxH] [--image PICTURE] [--compare OLD]\n"
                          "                            [--tolerant] FILE\n"
                          "       tessaly --export-pdf OUT.pdf [--local] [--equ] [--functions] [--compare OLD]\n"
                          "                            [--tolerant] FILE\n"
                          "View the memory map of a linked microcontroller program.\n"
                          "\n"
                          "  FILE                  absolute file to open (.xqa, .xqe, .abs, .x)\n"
                          "  BASELINE              another build of it, to show what changed since\n"
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
                          "  --compare OLD         in that image or PDF, the change since the build OLD\n"
                          "  --tolerant            also read IEEE-695 files written by other linkers\n"
                          "  --regions FILE        the memory regions file for the Memory usage panel\n"
                          "                        (default: NAME.regions or tessaly.regions beside FILE)\n"
                          "  -h, --help            show this help and exit\n"
                          "  --version             show the version and exit\n");
}

} // namespace tessaly
