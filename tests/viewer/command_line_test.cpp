// command_line_test.cpp: the viewer's arguments, good and bad.
#include "shell/command_line.hpp"

#include <gtest/gtest.h>

namespace tessaly {
namespace {

using Action = CommandLine::Action;

struct LineCase {
    QStringList arguments;
    Action action;
    QString file = {};
    QString png = {};
    QSize size = CommandLine::kDefaultExportSize;
    QString error = {};
    QString baseline = {};
};

TEST(CommandLineTest, Parses)
{
    const LineCase cases[] = {
        { {}, Action::Run },
        { { "prog.abs" }, Action::Run, "prog.abs" },
        { { "--", "-odd.abs" }, Action::Run, "-odd.abs" },
        { { "--help" }, Action::Help },
        { { "-h", "--bogus" }, Action::Help },
        { { "--version" }, Action::Version },
        { { "--export-png", "out.png", "prog.abs" }, Action::ExportPng, "prog.abs", "out.png" },
        { { "prog.abs", "--export-png=out.png", "--size", "640x480" }, Action::ExportPng, "prog.abs", "out.png",
            { 640, 480 } },
        { { "--export-png", "out.png", "--size=1X2", "p.x" }, Action::ExportPng, "p.x", "out.png", { 1, 2 } },
        { { "--export-png", "-o.png", "p.x" }, Action::ExportPng, "p.x", "-o.png" },
        { { "new.abs", "old.abs" }, Action::Run, "new.abs", {}, CommandLine::kDefaultExportSize, {}, "old.abs" },
        { { "--export-pdf", "o.pdf", "--compare", "old.abs", "new.abs" }, Action::ExportPdf, "new.abs", {},
            CommandLine::kDefaultExportSize, {}, "old.abs" },
        { { "--export-png", "o.png", "--compare", "old.abs", "new.abs" }, Action::ExportPng, "new.abs", "o.png",
            CommandLine::kDefaultExportSize, {}, "old.abs" },
        { { "--bogus" }, Action::Error, {}, {}, CommandLine::kDefaultExportSize, "unknown option '--bogus'" },
        { { "-tolerant", "p.x" }, Action::Error, {}, {}, CommandLine::kDefaultExportSize,
            "unknown option '-tolerant'" },
        { { "a.abs", "b.abs", "c.abs" }, Action::Error, {}, {}, CommandLine::kDefaultExportSize,
            "only one file can be opened" },
        { { "--export-pdf", "o.pdf", "a.abs", "b.abs" }, Action::Error, {}, {}, CommandLine::kDefaultExportSize,
            "only one file can be opened" },
        { { "--compare", "b.abs", "a.abs" }, Action::Error, {}, {}, CommandLine::kDefaultExportSize,
            "option '--compare' goes with '--export-png' or '--export-pdf'" },
        { { "--export-pdf", "o.pdf", "a.abs", "--compare" }, Action::Error, {}, {}, CommandLine::kDefaultExportSize,
            "option '--compare' needs the file to compare with" },
        { { "--export-png", "out.png" }, Action::Error, {}, {}, CommandLine::kDefaultExportSize,
            "option '--export-png' needs a FILE to open" },
        { { "--export-png" }, Action::Error, {}, {}, CommandLine::kDefaultExportSize,
            "option '--export-png' needs the name of the image to write" },
        { { "--size", "10x10", "a.abs" }, Action::Error, {}, {}, CommandLine::kDefaultExportSize,
            "option '--size' goes with '--export-png'" },
        { { "--export-png", "o.png", "--size", "0x10", "a.abs" }, Action::Error, {}, {},
            CommandLine::kDefaultExportSize, "invalid size '0x10' (expected WIDTHxHEIGHT, such as 1000x700)" },
        { { "--export-png", "o.png", "--size", "wide", "a.abs" }, Action::Error, {}, {},
            CommandLine::kDefaultExportSize, "invalid size 'wide' (expected WIDTHxHEIGHT, such as 1000x700)" },
        { { "p.abs", "--regions" }, Action::Error, {}, {}, CommandLine::kDefaultExportSize,
            "option '--regions' needs the name of a regions file" },
    };
    for (const LineCase& c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        const CommandLine line = parseCommandLine(c.arguments);
        EXPECT_EQ(line.action, c.action);
        EXPECT_EQ(line.error.toStdString(), c.error.toStdString());
        if (c.action == Action::Error || c.action == Action::Help || c.action == Action::Version)
            continue;
        EXPECT_EQ(line.file.toStdString(), c.file.toStdString());
        EXPECT_EQ(line.pngPath.toStdString(), c.png.toStdString());
        EXPECT_EQ(line.size, c.size);
        EXPECT_EQ(line.baseline.toStdString(), c.baseline.toStdString());
    }
}

TEST(CommandLineTest, TolerantReadingIsChosenForTheRun)
{
    EXPECT_FALSE(parseCommandLine({ "prog.abs" }).tolerant);
    const CommandLine line = parseCommandLine({ "--tolerant", "other.lod" });
    EXPECT_EQ(line.action, Action::Run);
    EXPECT_TRUE(line.tolerant);
    EXPECT_EQ(line.file.toStdString(), "other.lod");
    EXPECT_TRUE(parseCommandLine({ "--export-png", "o.png", "--tolerant", "a.lod" }).tolerant);
}

TEST(CommandLineTest, RegionsFileIsNamedForTheRun)
{
    EXPECT_TRUE(parseCommandLine({ "prog.abs" }).regionsPath.isEmpty());
    const CommandLine line = parseCommandLine({ "--regions", "-board.regions", "prog.abs" });
    EXPECT_EQ(line.action, Action::Run);
    EXPECT_EQ(line.regionsPath.toStdString(), "-board.regions");
    EXPECT_EQ(line.file.toStdString(), "prog.abs");
}

TEST(CommandLineTest, UsageNamesEveryOption)
{
    const QString usage = usageText();
    EXPECT_TRUE(usage.startsWith("Usage: tessaly [--tolerant] [--regions FILE] [FILE [BASELINE]]\n"));
    for (const char* option : { "--export-png", "--size", "--help", "--version", "--regions" })
        EXPECT_TRUE(usage.contains(QLatin1String(option))) << option;
}

} // namespace
} // namespace tessaly
