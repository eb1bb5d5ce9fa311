// export_pdf_test.cpp: `tessaly --export-pdf` on every example, read back with pdfinfo and pdftotext; both exports
// of a comparison and their failures.
#include "map_document.hpp"
#include "map_model.hpp"
#include "orvik.h"
#include "right/cell_text.hpp"
#include "right/right_layout.hpp"
#include "shell/command_line.hpp"
#include "support/ieee695_writer.hpp"
#include "support/program_files.hpp"
#include "support/run_program.hpp"
#include "support/temp_file.hpp"

#include <QImage>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using namespace tessaly;
using namespace tessaly::testing;
namespace fs = std::filesystem;

ProgramRun exportPdf(const std::vector<std::string>& arguments)
{
    return runProgram(TESSALY_PATH, arguments, { "QT_QPA_PLATFORM=offscreen" });
}

int pageCount(const std::string& pdf)
{
    const ProgramRun info = runProgram("pdfinfo", { pdf });
    const size_t at = info.out.find("Pages:");
    return info.status == 0 && at != std::string::npos ? std::atoi(info.out.c_str() + at + 6) : -1;
}

std::string pageText(const std::string& pdf, int page)
{
    const std::string n = std::to_string(page);
    return runProgram("pdftotext", { "-layout", "-f", n, "-l", n, pdf, "-" }).out;
}

// What the printout must hold: the texts of the sections and of the items that get a line.
struct Expected {
    std::vector<std::string> sections;
    std::vector<std::string> items;
};

Expected expectedTexts(const std::string& file, bool local, bool equ, bool functions)
{
    Expected expected;
    if (IE_readIEEE(file.c_str(), IE_READ_VIEWER) != 0)
        return expected;
    MapModel model;
    DetectCpuFamily(model);
    model.FileLoaded = true;
    model.ShowLocalInformation = local;
    model.ShowEquList = equ;
    model.ShowFunctionList = functions;
    NumberRows(model);
    const int32_t d = model.AddressDigits;
    if (local) {
        for (const ModuleSectionEntry& entry : model.ModuleSectionTable)
            if (!IsOmitted(entry, model.OmitZeroSizeSections) && entry.record->section)
                expected.sections.push_back(SectionCellText(entry));
    } else {
        for (const SectionEntry& entry : model.SectionTable)
            if (!IsOmitted(entry, model.OmitZeroSizeSections) && entry.record->name)
                expected.sections.push_back(SectionCellText(entry));
    }
    for (const SymbolEntry& label : model.LabelTable)
        if (label.line >= 0)
            expected.items.push_back(FormatSymbolCell(d, label));
    if (equ)
        for (const SymbolEntry& constant : model.EquTable)
            if (constant.line >= 0)
                expected.items.push_back(FormatSymbolCell(d, constant));
    if (functions)
        for (const FunctionEntry& function : model.FunctionTable)
            if (function.line >= 0)
                expected.items.push_back(FormatFunctionCell(d, function));
    return expected;
}

TEST(ExportPdfCommandLine, Parses)
{
    using Action = CommandLine::Action;
    struct Case {
        QStringList arguments;
        Action action;
        QString pdf = {};
        bool local = false, equ = false, functions = false;
        QString error = {};
    };
    const Case cases[] = {
        { { "--export-pdf", "out.pdf", "prog.abs" }, Action::ExportPdf, "out.pdf" },
        { { "prog.abs", "--export-pdf=o.pdf", "--equ" }, Action::ExportPdf, "o.pdf", false, true },
        { { "--local", "--functions", "--export-pdf", "o.pdf", "p.x" }, Action::ExportPdf, "o.pdf", true, false, true },
        { { "--export-pdf", "o.pdf", "--local", "--equ", "--functions", "--tolerant", "p.x" }, Action::ExportPdf,
            "o.pdf", true, true, true },
        { { "--export-pdf" }, Action::Error, {}, false, false, false,
            "option '--export-pdf' needs the name of the PDF file to write" },
        { { "--export-pdf", "o.pdf" }, Action::Error, {}, false, false, false,
            "option '--export-pdf' needs a FILE to open" },
        { { "--functions", "--equ", "p.x" }, Action::Error, {}, false, false, false,
            "option '--functions' goes with '--export-pdf'" },
        { { "--export-png", "o.png", "--export-pdf", "o.pdf", "p.x" }, Action::Error, {}, false, false, false,
            "options '--export-png' and '--export-pdf' cannot be used together" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        const CommandLine line = parseCommandLine(c.arguments);
        EXPECT_EQ(line.action, c.action);
        EXPECT_EQ(line.error.toStdString(), c.error.toStdString());
        if (c.action != Action::ExportPdf)
            continue;
        EXPECT_EQ(line.pdfPath.toStdString(), c.pdf.toStdString());
        EXPECT_EQ(line.showLocalInformation, c.local);
        EXPECT_EQ(line.showEquList, c.equ);
        EXPECT_EQ(line.showFunctionList, c.functions);
    }
    EXPECT_NE(usageText().indexOf("--export-pdf OUT.pdf [--local] [--equ] [--functions]"), -1);
}

TEST(ExportPdf, ToolsAreInstalled)
{
    // scripts/install-deps installs poppler-utils; without it the tests below cannot look.
    EXPECT_EQ(runProgram("pdfinfo", { "-v" }).status, 0) << "pdfinfo missing: run scripts/install-deps";
    EXPECT_EQ(runProgram("pdftotext", { "-v" }).status, 0) << "pdftotext missing: run scripts/install-deps";
}

TEST(ExportPdf, EveryExamplePrints)
{
    struct Case {
        const char* file;
        std::vector<std::string> options;
        std::vector<std::string> headers; // column headers of page 1 (pdftotext does not keep leading blanks)
    };
    const Case cases[] = {
        { "grus_gateway.abs", {}, { "Address(size)", "Section", "Label:" } },
        { "grus_gateway.abs", { "--equ", "--functions" },
            { "Address(size)", "Section", "Label:", ".EQU", "Function(size)" } },
        { "grus_gateway.abs", { "--local", "--equ", "--functions" }, { "Section(Module)", ".EQU", "Function(size)" } },
        { "eridan_motor.xqe", {}, { "Address(size)", "Section", "Label:" } },
        { "eridan_motor.xqe", { "--local", "--equ" }, { "Section(Module)", ".EQU" } },
        { "carina_sensor.xqa", { "--functions" }, { "Address(size)", "Function(size)" } },
        { "cetus_blinky.x", { "--local", "--functions" }, { "Section(Module)", "Function(size)" } },
    };
    const TempFolder dir;
    int n = 0;
    for (const Case& c : cases) {
        std::string label = c.file;
        for (const std::string& option : c.options)
            label += " " + option;
        SCOPED_TRACE(label);
        const std::string input = (fs::path(EXAMPLES_DIR) / c.file).string();
        const std::string pdf = (dir.path() / ("out" + std::to_string(++n) + ".pdf")).string();
        std::vector<std::string> arguments { "--export-pdf", pdf };
        arguments.insert(arguments.end(), c.options.begin(), c.options.end());
        arguments.push_back(input);
        ASSERT_EQ(exportPdf(arguments).status, 0);

        const int pages = pageCount(pdf);
        ASSERT_GE(pages, 1);
        std::string all;
        for (int page = 1; page <= pages; ++page) {
            const std::string text = pageText(pdf, page);
            EXPECT_NE(text.find("File: " + input), std::string::npos) << "page " << page;
            const std::string footer = "Page " + std::to_string(page) + " of " + std::to_string(pages);
            EXPECT_NE(text.find(footer), std::string::npos) << footer;
            all += text;
        }
        const std::string first = pageText(pdf, 1);
        for (const std::string& header : c.headers)
            EXPECT_NE(first.find(header), std::string::npos) << header;

        auto has = [&](const std::string& option) {
            for (const std::string& o : c.options)
                if (o == option)
                    return true;
            return false;
        };
        const Expected expected = expectedTexts(input, has("--local"), has("--equ"), has("--functions"));
        ASSERT_FALSE(expected.sections.empty());
        for (const std::string& section : expected.sections)
            EXPECT_NE(all.find(section), std::string::npos) << section;
        for (const std::string& item : expected.items)
            EXPECT_NE(all.find(item), std::string::npos) << item;
    }
}

TEST(ExportPdf, TheLargestExampleTakesMoreThanOnePage)
{
    // At the stated font size the gateway's label list is longer than an A4 page; the page
    // count is the same in the file, in every footer and in its pages' texts.
    const TempFolder dir;
    const std::string pdf = (dir.path() / "labels.pdf").string();
    ASSERT_EQ(exportPdf({ "--export-pdf", pdf, (fs::path(EXAMPLES_DIR) / "grus_gateway.abs").string() }).status, 0);
    const int pages = pageCount(pdf);
    ASSERT_GE(pages, 2);
    for (int page = 1; page <= pages; ++page)
        EXPECT_NE(pageText(pdf, page).find("Page " + std::to_string(page) + " of " + std::to_string(pages)),
            std::string::npos)
            << "page " << page;
    // The second page goes on where the first stopped: its first block is not on page 1.
    EXPECT_EQ(pageText(pdf, 1).find("[D] .backup"), std::string::npos);
    EXPECT_NE(pageText(pdf, 2).find("[D] .backup"), std::string::npos);
}

TEST(ExportPdf, NameBytesPrintAsLatin1)
{
    // Bytes 0x80 to 0xFF in names are one character each, ISO 8859-1, on paper as on the screen.
    tessaly::testing::Ieee695Writer w;
    w.header("Carina", "prog");
    w.section({ .index = 1, .type = "ASD", .name = "data_\xB5P", .start = 0x1000, .size = 0x100 });
    w.globalSymbol({ .name = "\xE9t\xE9", .value = 0x1000 });
    const std::vector<uint8_t> bytes = w.bytes();
    const TempFolder dir;
    const std::string input = (dir.path() / "high.abs").string();
    std::ofstream(input, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    const std::string pdf = (dir.path() / "high.pdf").string();
    ASSERT_EQ(exportPdf({ "--export-pdf", pdf, input }).status, 0);
    const std::string text = pageText(pdf, 1);
    EXPECT_NE(text.find("[D] data_\u00B5P"), std::string::npos) << text;
    EXPECT_NE(text.find("[G] 001000:\u00E9t\u00E9"), std::string::npos) << text;
}

// Every "moved from" of a printout with its address whole: the Change column is the last on the
// line, where the paper's edge would cut it.
void expectWholeMoves(const std::string& text, size_t digits)
{
    size_t moves = 0;
    for (size_t at = text.find("moved"); at != std::string::npos; at = text.find("moved", at + 1), ++moves) {
        const std::string move = text.substr(at, 11 + digits + 1);
        EXPECT_EQ(move.rfind("moved from ", 0), 0u) << move;
        EXPECT_EQ(move.find_first_not_of("0123456789abcdef", 11), 11 + digits) << move;
    }
    EXPECT_GT(moves, 0u);
}

TEST(ExportPdf, CompareCarriesTheChangeColumn)
{
    // With long function and file names the line with the Change column is wider than the paper
    // at the smallest print size; the column still comes out whole. (The builds have no modules:
    // the other linker's builds below are listed with --local.)
    const std::string function(48, 'f');
    const std::string source(48, 's');
    const TempFile older(comparedBuild(false));
    const TempFile newer(comparedBuild(true));
    const TempFile olderWide(comparedBuild(false, function, source));
    const TempFile newerWide(comparedBuild(true, function, source));
    struct Case {
        const char* label;
        const TempFile& older;
        const TempFile& newer;
        std::vector<std::string> options;
    };
    const Case cases[] = {
        { "short names", older, newer, {} },
        { "short names, functions", older, newer, { "--functions" } },
        { "long names, functions", olderWide, newerWide, { "--functions" } },
        { "long names, constants and functions", olderWide, newerWide, { "--equ", "--functions" } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        const TempFolder dir;
        const std::string pdf = (dir.path() / "changes.pdf").string();
        std::vector<std::string> arguments { "--export-pdf", pdf, "--compare", c.older.pathString() };
        arguments.insert(arguments.end(), c.options.begin(), c.options.end());
        arguments.push_back(c.newer.pathString());
        ASSERT_EQ(exportPdf(arguments).status, 0);
        const std::string text = pageText(pdf, 1);
        for (const char* expected : { "Change", "+0x1a2", "\u22120x10", "(gone)", "[D] OLDSEC", "[G] 003000:_gone" })
            EXPECT_NE(text.find(expected), std::string::npos) << expected << "\n" << text;
        expectWholeMoves(text, 6);
        const bool equ = c.options.size() == 2;
        for (const std::string& item : expectedTexts(c.newer.pathString(), false, equ, !c.options.empty()).items)
            EXPECT_NE(text.find(item), std::string::npos) << item << "\n" << text;
    }
}

TEST(ExportPdf, CompareOfOtherLinkersBuildsFitsThePaper)
{
    const fs::path series = TESSALY_SERIES_DIR;
    const fs::path older = series / "arcanoid_01_b012b92.lod";
    const fs::path newer = series / "arcanoid_02_9846451.lod";
    if (!fs::exists(older) || !fs::exists(newer))
        GTEST_SKIP() << "the other linker's builds are not in " << series;
    for (const std::vector<std::string>& options :
        { std::vector<std::string> { "--functions" }, { "--local", "--equ", "--functions" } }) {
        const TempFolder dir;
        const std::string pdf = (dir.path() / "changes.pdf").string();
        std::vector<std::string> arguments { "--tolerant", "--export-pdf", pdf, "--compare", older.string() };
        arguments.insert(arguments.end(), options.begin(), options.end());
        arguments.push_back(newer.string());
        ASSERT_EQ(exportPdf(arguments).status, 0);
        expectWholeMoves(runProgram("pdftotext", { "-layout", pdf, "-" }).out, 6);
    }
}

TEST(ExportPng, CompareShowsTheChanges)
{
    // The grown block's difference and edges are red: more red than without a baseline.
    const TempFile older(comparedBuild(false));
    const TempFile newer(comparedBuild(true));
    const TempFolder dir;
    auto redPixels = [&](const std::vector<std::string>& compare) {
        const std::string png = (dir.path() / "window.png").string();
        std::vector<std::string> arguments { "--export-png", png };
        arguments.insert(arguments.end(), compare.begin(), compare.end());
        arguments.push_back(newer.pathString());
        EXPECT_EQ(exportPdf(arguments).status, 0);
        const QImage image(QString::fromStdString(png));
        EXPECT_FALSE(image.isNull());
        int red = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                red += image.pixel(x, y) == qRgb(255, 0, 0) ? 1 : 0;
        return red;
    };
    EXPECT_GT(redPixels({ "--compare", older.pathString() }), redPixels({}));
}

TEST(ExportPdf, Failures)
{
    const TempFolder dir;
    const std::string good = (fs::path(EXAMPLES_DIR) / "carina_sensor.xqa").string();
    const std::string unreadable = (dir.path() / "unreadable.abs").string();
    std::ofstream(unreadable) << "not a map file";
    struct Case {
        const char* label;
        std::vector<std::string> arguments;
        int status;
        std::string message = {}; // what standard error must hold
    };
    const Case cases[] = {
        { "unreadable input", { "--export-pdf", (dir.path() / "a.pdf").string(), unreadable }, 2 },
        { "missing input", { "--export-pdf", (dir.path() / "b.pdf").string(), (dir.path() / "none.abs").string() }, 2 },
        { "output folder missing", { "--export-pdf", (dir.path() / "no" / "c.pdf").string(), good }, 74 },
        { "no input", { "--export-pdf", (dir.path() / "d.pdf").string() }, 64 },
        { "list option without export", { "--equ", good }, 64 },
        { "both exports", { "--export-pdf", (dir.path() / "e.pdf").string(), "--export-png", "x.png", good }, 64 },
        { "unreadable baseline", { "--export-pdf", (dir.path() / "a.pdf").string(), "--compare", unreadable, good }, 2,
            unreadable },
        { "unreadable baseline of the image",
            { "--export-png", (dir.path() / "f.png").string(), "--compare", unreadable, good }, 2, unreadable },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        const ProgramRun run = exportPdf(c.arguments);
        EXPECT_EQ(run.status, c.status);
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
    }
    EXPECT_FALSE(fs::exists(dir.path() / "a.pdf"));
    EXPECT_FALSE(fs::exists(dir.path() / "f.png"));
}

} // namespace
