// map_document_test.cpp: File Open, the command-line open and the options command against a fake host.
#include "build_baseline.hpp"
#include "map_document.hpp"
#include "support/program_files.hpp"
#include "support/temp_file.hpp"

#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <vector>

namespace {

using tessaly::MapDocument;
using tessaly::MapModel;
using tessaly::OptionsValues;
using tessaly::testing::smallProgram;
using tessaly::testing::TempFile;

const std::string kXqaFirst = "xqa file(*.xqa)|*.xqa|xqe file(*.xqe)|*.xqe|abs file(*.abs)|*.abs|x file(*.x)|*.x||";
const std::string kXqeFirst = "xqe file(*.xqe)|*.xqe|xqa file(*.xqa)|*.xqa|abs file(*.abs)|*.abs|x file(*.x)|*.x||";
const std::string kAbsFirst = "abs file(*.abs)|*.abs|x file(*.x)|*.x|xqa file(*.xqa)|*.xqa|xqe file(*.xqe)|*.xqe||";

// Records every call in order; the dialogs answer with what the test put in.
class FakeHost : public tessaly::DocumentHost {
public:
    std::optional<std::string> runOpenFileDialog(const std::string& filter) override
    {
        filters.push_back(filter);
        events.push_back("open dialog");
        return nextPath;
    }
    void showMessage(const std::string& text) override { events.push_back("message:" + text); }
    void setTitle(const std::string& title) override { events.push_back("title:" + title); }
    void setModifiedFlag(bool modified) override { events.push_back(modified ? "modified" : "unmodified"); }
    bool runOptionsDialog(OptionsValues& values) override
    {
        events.push_back("options dialog");
        loaded = values;
        return options ? options(values) : false;
    }
    void updateAllViews() override { events.push_back("update"); }
    void repaintAllViews() override { events.push_back("repaint"); }

    std::vector<std::string> events;
    std::vector<std::string> filters;
    std::optional<std::string> nextPath;
    std::function<bool(OptionsValues&)> options;
    OptionsValues loaded;
};

class DocumentTest : public ::testing::Test {
protected:
    // Opens the file through File Open and forgets the host's record of it.
    void open(const TempFile& file)
    {
        host.nextPath = file.pathString();
        document.OnOpenMapFile();
        host.events.clear();
        host.filters.clear();
    }

    // The filter list the next File Open dialog is given (the dialog is cancelled).
    std::string nextFilter()
    {
        host.nextPath.reset();
        document.OnOpenMapFile();
        return host.filters.empty() ? "" : host.filters.back();
    }

    MapModel model;
    FakeHost host;
    MapDocument document { model, host };
};

TEST(OpenFileFilter, ThreeListsByFamily)
{
    EXPECT_EQ(tessaly::OpenFileFilter(tessaly::CpuNone), kXqaFirst);
    EXPECT_EQ(tessaly::OpenFileFilter(tessaly::CpuGrus), kAbsFirst);
    EXPECT_EQ(tessaly::OpenFileFilter(tessaly::CpuEridan), kXqeFirst);
    EXPECT_EQ(tessaly::OpenFileFilter(tessaly::CpuFornax), kXqeFirst);
    for (auto family :
        { tessaly::CpuAlcor, tessaly::CpuBellis, tessaly::CpuCarina, tessaly::CpuDorado, tessaly::CpuOther })
        EXPECT_EQ(tessaly::OpenFileFilter(family), kXqaFirst) << tessaly::CpuFamilyName(family);
}

TEST_F(DocumentTest, FilterOrderFollowsTheLastGoodFile)
{
    struct Case {
        std::vector<std::string> cpus; // files opened in turn; "!" is a file that fails to read
        std::string expected;
    };
    const Case cases[] = {
        { {}, kXqaFirst },
        { { "Grus" }, kAbsFirst },
        { { "Eridan" }, kXqeFirst },
        { { "Fornax" }, kXqeFirst },
        { { "Alcor" }, kXqaFirst },
        { { "Z80" }, kXqaFirst },
        { { "Grus", "!" }, kAbsFirst },
        { { "Fornax", "!" }, kXqeFirst },
        { { "Grus", "Carina" }, kXqaFirst },
    };
    for (const Case& c : cases) {
        std::string trace = "files:";
        for (const auto& cpu : c.cpus)
            trace += " " + cpu;
        SCOPED_TRACE(trace);
        MapModel fresh;
        FakeHost freshHost;
        MapDocument doc(fresh, freshHost);
        for (const auto& cpu : c.cpus) {
            TempFile file(cpu == "!" ? std::vector<uint8_t> { 0x42, 0x00 } : smallProgram(cpu));
            freshHost.nextPath = file.pathString();
            doc.OnOpenMapFile();
            EXPECT_EQ(fresh.FileLoaded, cpu != "!");
        }
        freshHost.nextPath.reset();
        freshHost.filters.clear();
        doc.OnOpenMapFile();
        ASSERT_EQ(freshHost.filters.size(), 1u);
        EXPECT_EQ(freshHost.filters[0], c.expected);
    }
}

TEST_F(DocumentTest, CancelChangesNothing)
{
    TempFile file(smallProgram("Grus"));
    open(file);
    model.RangeStart = 0x1200;
    model.TablesChanged = false;
    model.ListRebuildPending = false;
    const auto* firstSection = model.SectionTable.data();

    host.nextPath.reset();
    document.OnOpenMapFile();
    EXPECT_EQ(host.events, (std::vector<std::string> { "open dialog" }));
    EXPECT_TRUE(model.FileLoaded);
    EXPECT_EQ(model.LoadedPath, file.pathString());
    EXPECT_EQ(model.CpuFamily, tessaly::CpuGrus);
    EXPECT_EQ(model.RangeStart, 0x1200u);
    EXPECT_FALSE(model.TablesChanged);
    EXPECT_FALSE(model.ListRebuildPending);
    EXPECT_EQ(model.SectionTable.data(), firstSection);
}

TEST_F(DocumentTest, CancelBeforeAnyFileLeavesThePathEmpty)
{
    EXPECT_EQ(nextFilter(), kXqaFirst);
    EXPECT_TRUE(model.LoadedPath.empty());
    EXPECT_FALSE(model.FileLoaded);
    EXPECT_EQ(model.CpuFamily, tessaly::CpuNone);
}

TEST_F(DocumentTest, SuccessfulOpenSetsMarksTitleRangeAndTables)
{
    TempFile file(smallProgram("Carina"));
    host.nextPath = file.pathString();
    document.OnOpenMapFile();

    EXPECT_EQ(host.events,
        (std::vector<std::string> {
            "open dialog", "title:" + file.pathString(), "modified", "update", "repaint", "unmodified" }));
    EXPECT_TRUE(model.FileLoaded);
    EXPECT_TRUE(model.TablesChanged);
    EXPECT_TRUE(model.ListRebuildPending);
    EXPECT_EQ(model.LoadedPath, file.pathString());
    EXPECT_EQ(model.CpuFamily, tessaly::CpuCarina);
    EXPECT_EQ(model.RangeStart, 0u);
    EXPECT_EQ(model.RangeEnd, 0xFFFFFFu);

    // The tree as the reader built it, flattened.
    EXPECT_EQ(model.SectionCount, 2);
    EXPECT_EQ(model.SectionFreeAreaCount, 3);
    EXPECT_EQ(model.ModuleSectionCount, 1);
    EXPECT_EQ(model.LabelCount, 3);
    EXPECT_EQ(model.GlobalLabelCount, 2);
    EXPECT_EQ(model.LocalLabelCount, 1);
    EXPECT_EQ(model.EquCount, 1);
    ASSERT_EQ(model.FunctionCount, 1);
    const IeFnDef& function = *model.FunctionTable[0].function;
    EXPECT_STREQ(function.name, "func");
    EXPECT_EQ(function.resolved, 1);
    EXPECT_EQ(function.address, 0x1010u);
    ASSERT_EQ(model.SectionTable.size(), 5u);
    const tessaly::SectionEntry& code = model.SectionTable[1];
    EXPECT_STREQ(code.record->name, "CODE");
    EXPECT_EQ(code.globalLabelCount, 2);
    EXPECT_EQ(code.localLabelCount, 1);
    EXPECT_EQ(code.functionCount, 1);
    EXPECT_EQ(code.moduleSectionCount, 1);
    const std::array<int32_t, 6> widths = { 3, 4, 6, 4, 5, 4 }; // mod, CODE, main.c, func, LIMIT, main/loop
    EXPECT_EQ(model.NameWidths, widths);
}

TEST_F(DocumentTest, FailedReadClearsTitleShowsTheReadersTextAndKeepsTheFamily)
{
    TempFile good(smallProgram("Grus"));
    open(good);
    const std::size_t sections = model.SectionTable.size();

    TempFile bad(std::vector<uint8_t> { 0x42, 0x00 });
    host.nextPath = bad.pathString();
    document.OnOpenMapFile();

    const int code = IE_readIEEE(bad.pathString().c_str(), IE_READ_VIEWER);
    ASSERT_NE(code, 0);
    const std::string text = IE_readError(code);
    EXPECT_EQ(host.events,
        (std::vector<std::string> { "open dialog", "title:", "message:" + text, "repaint", "unmodified" }));
    EXPECT_FALSE(model.FileLoaded);
    EXPECT_EQ(model.LoadedPath, bad.pathString()); // names the file that failed
    EXPECT_EQ(model.CpuFamily, tessaly::CpuGrus);
    EXPECT_EQ(model.MaxAddress, 0xFFFFFFFFu);
    EXPECT_EQ(model.SectionTable.size(), sections);
    EXPECT_EQ(nextFilter(), kAbsFirst);
}

TEST_F(DocumentTest, MissingFileIsReportedWithTheReadersText)
{
    host.nextPath = "/nonexistent/dir/prog.abs";
    document.OnOpenMapFile();
    ASSERT_EQ(host.events.size(), 5u);
    EXPECT_EQ(host.events[2],
        std::string("message:") + IE_readError(IE_readIEEE("/nonexistent/dir/prog.abs", IE_READ_VIEWER)));
    EXPECT_FALSE(model.FileLoaded);
    EXPECT_EQ(model.LoadedPath, "/nonexistent/dir/prog.abs");
}

TEST_F(DocumentTest, SecondOpenReplacesEverythingAndResetsTheRange)
{
    TempFile first(smallProgram("Grus", "a_long_prefix_"));
    open(first);
    ASSERT_EQ(model.NameWidths[tessaly::NameWidthLabel], 18);
    model.RangeStart = 0x1000;
    model.RangeEnd = 0x1FFF;
    model.ImageMode = tessaly::MemorySizeImage;
    model.ShowEquList = true;

    TempFile second(smallProgram("Alcor"));
    open(second);
    EXPECT_EQ(model.CpuFamily, tessaly::CpuAlcor);
    EXPECT_EQ(model.AddressDigits, 6);
    EXPECT_EQ(model.RangeStart, 0u);
    EXPECT_EQ(model.RangeEnd, 0xFFFFFu);
    const std::array<int32_t, 6> widths = { 3, 4, 6, 4, 5, 4 };
    EXPECT_EQ(model.NameWidths, widths);
    for (const auto& entry : model.SectionTable) {
        if (!model.isFreeArea(entry)) {
            EXPECT_EQ(std::string(entry.record->name).find("a_long_prefix_"), std::string::npos);
        }
    }
    ASSERT_EQ(model.FunctionCount, 1);
    EXPECT_STREQ(model.FunctionTable[0].function->name, "func");
    // View options survive from file to file.
    EXPECT_EQ(model.ImageMode, tessaly::MemorySizeImage);
    EXPECT_TRUE(model.ShowEquList);
}

TEST_F(DocumentTest, SecondFileOfTheSameFamilyResetsANarrowedRange)
{
    TempFile first(smallProgram("Carina"));
    open(first);
    host.options = [](OptionsValues& v) {
        v.imageChoice = 0;
        v.startPage = 0x10;
        v.endPage = 0x1F;
        return true;
    };
    document.OnOptionsCommand();
    ASSERT_EQ(model.RangeStart, 0x1000u);
    ASSERT_EQ(model.RangeEnd, 0x1FFFu);

    TempFile second(smallProgram("Carina", "x"));
    open(second);
    EXPECT_EQ(model.RangeStart, 0u);
    EXPECT_EQ(model.RangeEnd, 0xFFFFFFu);
    EXPECT_EQ(model.ImageMode, tessaly::MemorySizeImage);
    EXPECT_EQ(model.LoadedPath, second.pathString());
    EXPECT_EQ(model.NameWidths[tessaly::NameWidthLabel], 5); // "xmain", "xloop"
}

TEST_F(DocumentTest, CommandLineOpenSetsStateWithoutTitleOrViews)
{
    TempFile file(smallProgram("Eridan"));
    document.OpenCommandLineFile(file.pathString());
    EXPECT_TRUE(host.events.empty());
    EXPECT_TRUE(model.FileLoaded);
    EXPECT_TRUE(model.ListRebuildPending);
    EXPECT_TRUE(model.TablesChanged);
    EXPECT_EQ(model.LoadedPath, file.pathString());
    EXPECT_EQ(model.CpuFamily, tessaly::CpuEridan);
    EXPECT_EQ(model.RangeEnd, 0xFFFFFFu);
    EXPECT_EQ(model.SectionCount, 2);
    EXPECT_EQ(nextFilter(), kXqeFirst);
}

TEST_F(DocumentTest, CommandLineFailureShowsOnlyTheMessage)
{
    TempFile bad(std::vector<uint8_t> { 0x42 });
    model.FileLoaded = true;
    document.OpenCommandLineFile(bad.pathString());
    ASSERT_EQ(host.events.size(), 1u);
    EXPECT_EQ(host.events[0].rfind("message:", 0), 0u);
    EXPECT_GT(host.events[0].size(), std::string("message:").size());
    EXPECT_FALSE(model.FileLoaded);
    EXPECT_TRUE(model.LoadedPath.empty());
    EXPECT_EQ(model.CpuFamily, tessaly::CpuNone);
}

TEST_F(DocumentTest, TolerantReadingOpensOtherProducersFilesForTheWholeRun)
{
    const std::string sample = std::string(TESSALY_SAMPLES_DIR) + "/zds_HelloWorld_v1.lod";
    if (!std::filesystem::exists(sample))
        GTEST_SKIP() << "the other linker's samples are not beside this checkout: " << sample;
    EXPECT_EQ(tessaly::readSelectionMask(), IE_READ_VIEWER);
    document.OpenCommandLineFile(sample);
    EXPECT_FALSE(model.FileLoaded) << "strict reading refuses the other linker's layout";

    tessaly::setTolerantReading(true);
    EXPECT_EQ(tessaly::readSelectionMask(), IE_READ_VIEWER | IE_READ_TOLERANT);
    document.OpenCommandLineFile(sample);
    tessaly::setTolerantReading(false);
    ASSERT_TRUE(model.FileLoaded);
    EXPECT_EQ(model.SectionCount, 3);
    EXPECT_GT(model.LabelCount, 100) << "names without a type are listed as labels";
}

// ---- options ----------------------------------------------------------------------------------

TEST(FormatPage, FourUpperCaseDigitsBlankPadded)
{
    const std::pair<uint32_t, const char*> cases[] = {
        { 0, "   0" },
        { 0x12, "  12" },
        { 0xab, "  AB" },
        { 0xFFF, " FFF" },
        { 0xFFFF, "FFFF" },
        { 0xFFFFFF, "FFFFFF" },
    };
    for (const auto& [page, text] : cases)
        EXPECT_EQ(tessaly::formatPage(page), text) << page;
}

TEST_F(DocumentTest, OptionsDialogIsLoadedFromTheModel)
{
    model.ShowLocalInformation = true;
    model.ImageMode = tessaly::MemorySizeImage;
    model.ShowFunctionList = true;
    model.OmitZeroSizeSections = false;
    model.ShowEquList = true;
    model.RangeStart = 0x1234;
    model.RangeEnd = 0xABCDEF;
    document.OnOptionsCommand();
    const OptionsValues& v = host.loaded;
    EXPECT_TRUE(v.localInformation);
    EXPECT_EQ(v.imageChoice, 0);
    EXPECT_TRUE(v.functionList);
    EXPECT_FALSE(v.omitZeroSize);
    EXPECT_TRUE(v.equList);
    EXPECT_EQ(v.startText, "  12");
    EXPECT_EQ(v.endText, "ABCD");
    EXPECT_EQ(v.startPage, 0x12u);
    EXPECT_EQ(v.endPage, 0xABCDu);

    model.ImageMode = tessaly::SectionListImage;
    document.OnOptionsCommand();
    EXPECT_EQ(host.loaded.imageChoice, 1);
}

TEST_F(DocumentTest, OkWithoutChangesRealignsTheRangeButRequestsNoRenumbering)
{
    struct Case {
        const char* cpu;
        uint32_t start, end; // range before
        uint32_t expectedStart, expectedEnd; // after OK
    };
    const Case cases[] = {
        { "Carina", 0, 0xFFFFFF, 0, 0xFFFFFF },
        { "Alcor", 0, 0xFFFFF, 0, 0xFFFFF },
        { "Grus", 0, 0xFFFFFFFF, 0, 0xFFFFFFFF },
        { "Carina", 0x1234, 0x5678, 0x1200, 0x56FF },
        { "Carina", 0x100, 0x100, 0x100, 0x1FF },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.cpu) + " " + std::to_string(c.start) + ".." + std::to_string(c.end));
        TempFile file(smallProgram(c.cpu));
        open(file);
        ASSERT_TRUE(model.ListRebuildPending); // from the open
        model.RangeStart = c.start;
        model.RangeEnd = c.end;
        host.options = [](OptionsValues&) { return true; };
        document.OnOptionsCommand();
        EXPECT_FALSE(model.ListRebuildPending);
        EXPECT_EQ(model.RangeStart, c.expectedStart);
        EXPECT_EQ(model.RangeEnd, c.expectedEnd);
        EXPECT_EQ(host.events, (std::vector<std::string> { "options dialog", "repaint" }));
        EXPECT_EQ(model.ImageMode, tessaly::SectionListImage);
        EXPECT_TRUE(model.OmitZeroSizeSections);
        EXPECT_FALSE(model.ShowLocalInformation || model.ShowEquList || model.ShowFunctionList);
    }
}

TEST_F(DocumentTest, EachListOptionRequestsRenumberingButTheRangeDoesNot)
{
    struct Case {
        const char* what;
        std::function<void(OptionsValues&)> change;
        bool rebuild;
        std::function<bool(const MapModel&)> stored;
    };
    const Case cases[] = {
        { "image mode", [](OptionsValues& v) { v.imageChoice = 0; }, true,
            [](const MapModel& m) { return m.ImageMode == tessaly::MemorySizeImage; } },
        { "omit zero size", [](OptionsValues& v) { v.omitZeroSize = false; }, true,
            [](const MapModel& m) { return !m.OmitZeroSizeSections; } },
        { "local information", [](OptionsValues& v) { v.localInformation = true; }, true,
            [](const MapModel& m) { return m.ShowLocalInformation; } },
        { ".EQU list", [](OptionsValues& v) { v.equList = true; }, true,
            [](const MapModel& m) { return m.ShowEquList; } },
        { "function list", [](OptionsValues& v) { v.functionList = true; }, true,
            [](const MapModel& m) { return m.ShowFunctionList; } },
        { "start and end pages",
            [](OptionsValues& v) {
                v.startPage = 0x10;
                v.endPage = 0x20;
                v.startText = "  10";
                v.endText = "  20";
            },
            false, [](const MapModel& m) { return m.RangeStart == 0x1000 && m.RangeEnd == 0x20FF; } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MapModel fresh;
        FakeHost freshHost;
        MapDocument doc(fresh, freshHost);
        fresh.RangeEnd = 0xFFFFFF;
        fresh.ListRebuildPending = true;
        freshHost.options = [&](OptionsValues& v) {
            c.change(v);
            return true;
        };
        doc.OnOptionsCommand();
        EXPECT_EQ(fresh.ListRebuildPending, c.rebuild);
        EXPECT_TRUE(c.stored(fresh));
        EXPECT_EQ(freshHost.events, (std::vector<std::string> { "options dialog", "repaint" }));
    }
}

TEST_F(DocumentTest, ImageChoiceIsComparedByMeaning)
{
    model.ImageMode = tessaly::MemorySizeImage;
    host.options = [](OptionsValues& v) {
        EXPECT_EQ(v.imageChoice, 0);
        return true;
    };
    document.OnOptionsCommand();
    EXPECT_FALSE(model.ListRebuildPending);
    EXPECT_EQ(model.ImageMode, tessaly::MemorySizeImage);
}

TEST_F(DocumentTest, OptionsCancelKeepsEverythingButTheRenumberingRequest)
{
    model.RangeStart = 0x1234;
    model.RangeEnd = 0x5678;
    model.ListRebuildPending = true;
    host.options = [](OptionsValues& v) {
        v.imageChoice = 0;
        v.equList = true;
        v.startPage = 0;
        return false;
    };
    document.OnOptionsCommand();
    EXPECT_EQ(host.events, (std::vector<std::string> { "options dialog" }));
    EXPECT_EQ(model.RangeStart, 0x1234u);
    EXPECT_EQ(model.RangeEnd, 0x5678u);
    EXPECT_EQ(model.ImageMode, tessaly::SectionListImage);
    EXPECT_FALSE(model.ShowEquList);
    // The request is withdrawn before the dialog runs, whatever the answer.
    EXPECT_FALSE(model.ListRebuildPending);
}

} // namespace

// Compare With on a loaded file, good and bad baselines, then a bad shown file while comparing.
// Whatever fails, the shown file's tables still point into a live tree and the comparison is
// either whole (its changes indexed like the tables) or absent.
TEST_F(DocumentTest, CompareWithKeepsTheShownFileWholeAndNeverHalfBuilt)
{
    const std::vector<uint8_t> program = smallProgram("Carina");
    TempFile shown(program);
    TempFile older(smallProgram("Carina", "o"));
    std::vector<uint8_t> cut = program;
    cut.resize(cut.size() / 2); // fails deep in the read, after the reader freed its tree
    TempFile truncated(cut);
    TempFile wrongStart(std::vector<uint8_t> { 0x42, 0x00 });
    const std::string missing = (std::filesystem::temp_directory_path() / "tessaly-no-such-baseline.x").string();

    auto expectShownWhole = [&] {
        ASSERT_TRUE(model.FileLoaded);
        ASSERT_EQ(model.SectionTable.size(), 5u);
        EXPECT_STREQ(model.SectionTable[1].record->name, "CODE");
        EXPECT_STREQ(model.FunctionTable.at(0).function->name, "func");
        if (model.Baseline) {
            EXPECT_EQ(model.Baseline->changes.sections.size(), model.SectionTable.size());
            EXPECT_EQ(model.Baseline->changes.labels.size(), model.LabelTable.size());
        }
    };
    auto readerText = [](const std::string& path) {
        const int code = IE_readIEEE(path.c_str(), IE_READ_VIEWER);
        return code != 0 ? std::string(IE_readError(code)) : std::string();
    };

    struct Case {
        const char* what;
        std::string baseline;
        bool comparedBefore; // a good baseline is already set
        bool reads;
    };
    const Case cases[] = {
        { "good baseline", older.pathString(), false, true },
        { "truncated baseline", truncated.pathString(), false, false },
        { "not IEEE-695", wrongStart.pathString(), false, false },
        { "missing file", missing, false, false },
        { "truncated after a good one", truncated.pathString(), true, false },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        document.StopComparing();
        open(shown);
        if (c.comparedBefore) {
            ASSERT_TRUE(document.CompareWith(older.pathString()));
        }
        const std::shared_ptr<tessaly::BuildBaseline> before = model.Baseline;
        const std::string text = c.reads ? "" : readerText(c.baseline);
        open(shown);
        model.TablesChanged = false;

        EXPECT_EQ(document.CompareWith(c.baseline), c.reads);
        expectShownWhole();
        EXPECT_FALSE(model.TablesChanged); // the list keeps its place
        EXPECT_TRUE(model.ListRebuildPending);
        if (c.reads) {
            ASSERT_TRUE(document.HasBaseline());
            EXPECT_EQ(model.Baseline->path, c.baseline);
            EXPECT_EQ(model.Baseline->changes.removedSections.size(), 2u); // oCODE, oDATA
            EXPECT_EQ(host.events,
                (std::vector<std::string> {
                    "title:" + shown.pathString() + " compared with " + c.baseline, "repaint" }));
        } else {
            EXPECT_EQ(model.Baseline, before);
            ASSERT_FALSE(host.events.empty());
            EXPECT_EQ(host.events.front(), "message:" + text);
            EXPECT_NE(text.find(c.baseline), std::string::npos) << text;
        }
    }

    // A shown file that fails while comparing: the specified failed open, and the baseline kept
    // with no changes over tables that belong to no tree.
    ASSERT_TRUE(document.HasBaseline());
    host.nextPath = truncated.pathString();
    document.OnOpenMapFile();
    EXPECT_FALSE(model.FileLoaded);
    ASSERT_TRUE(document.HasBaseline());
    EXPECT_TRUE(model.Baseline->changes.sections.empty());
    open(shown);
    expectShownWhole();

    host.events.clear();
    document.StopComparing();
    EXPECT_FALSE(document.HasBaseline());
    EXPECT_EQ(host.events, (std::vector<std::string> { "title:" + shown.pathString(), "repaint" }));

    // The build on screen as the baseline of the next read: compared with itself, nothing changed.
    document.MakeShownBuildTheBaseline();
    ASSERT_TRUE(document.HasBaseline());
    EXPECT_TRUE(model.Baseline->previousBuild);
    EXPECT_EQ(tessaly::DocumentTitle(model), shown.pathString() + " compared with its previous build");
    open(shown);
    expectShownWhole();
    for (const auto& change : model.Baseline->changes.sections)
        EXPECT_EQ(change.change, tessaly::Change::Same);
}
