// fuzz_input.cpp: one fuzz input through the reader, the tree walk, every query, the model and the dump.
#include "fuzz_input.hpp"

#include "fuzz_check.hpp"
#include "orvik.h"
#include "scratch_file.hpp"
#include "tree_walk.hpp"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <limits>
#include <ostream>
#include <streambuf>
#include <string>
#include <vector>

#if defined(TESSALY_FUZZ_WITH_MODEL)
#include "build_compare.hpp"
#include "build_snapshot.hpp"
#include "map_model.hpp"
#include "tables_dump.hpp"
#endif
#if defined(TESSALY_FUZZ_WITH_PANES)
#include "left_geometry.hpp"
#include "right/cell_text.hpp"
#include "right/find_state.hpp"
#include "right/list_plan.hpp"
#include "right/print_pagination.hpp"
#include "right/right_layout.hpp"
#endif
#if defined(TESSALY_FUZZ_WITH_DUMP)
#include "diff_dump.hpp"
#include "tree_json.hpp"
#endif
#if defined(TESSALY_FUZZ_WITH_MODEL) && defined(TESSALY_FUZZ_WITH_DUMP)
#include "compare_input.hpp"
#include "regions_input.hpp"
#endif

namespace tessaly::fuzz {
namespace {

// Masks that switch single groups off, so the skipping paths get their turn; one per input,
// picked by its size so the choice stays stable while a mutation keeps the length.
constexpr int kOtherMasks[] = {
    IE_READ_TYPE_BLOCKS,
    IE_READ_EXTERNALS | IE_READ_SECTIONS,
    (IE_READ_ENVIRONMENT_PART & ~(IE_READ_SECTION_USES | IE_READ_FUNCTION_VA_REFS | IE_READ_FUNCTION_FN_REFS))
        | IE_READ_DEBUG_PART,
    IE_READ_EXTERNALS | IE_READ_ASM_BLOCKS_ALT,
};

ScratchFile& scratchFile()
{
    static ScratchFile file;
    return file;
}

bool sameName(const char* a, const char* b)
{
    return a && b && std::strcmp(a, b) == 0;
}

bool sameNameFolded(const char* a, const char* b)
{
    if (!a || !b)
        return false;
    for (;; ++a, ++b) {
        auto fold = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c; };
        const unsigned char x = static_cast<unsigned char>(*a);
        const unsigned char y = static_cast<unsigned char>(*b);
        if (fold(x) != fold(y))
            return false;
        if (x == 0)
            return true;
    }
}

// Steps a mode-1/mode-2 walk to its end; it may not run longer than the list it walks.
template <typename Step> void walkModes(Step step, std::size_t length)
{
    FUZZ_CHECK(step(0) == nullptr);
    FUZZ_CHECK(step(3) == nullptr);
    std::size_t seen = 0;
    for (auto* item = step(1); item; item = step(2))
        FUZZ_CHECK(++seen <= length + 1);
}

// goodRead: the name tables of IE_getFnDefMode and IE_getVaDefMode are only built by a read
// that succeeds, so only then must they find every name.
void callQueries(const TreeNames& names, bool goodRead)
{
    walkModes([](int mode) { return IE_getModMode(mode); }, names.moduleCount);
    walkModes([](int mode) { return IE_getSecMode(mode); }, names.sectionCount);
    walkModes([](int mode) { return IE_getSymMode(mode); }, names.symbolCount);
    // The module walks go through the current module, which the lookups below move.
    walkModes([](int mode) { return IE_getModSecMode(mode); }, SIZE_MAX - 1);
    walkModes([](int mode) { return IE_getModSymFi(mode); }, SIZE_MAX - 1);

    for (const char* name : names.modules) {
        const IeModule* module = IE_getModName(name);
        FUZZ_CHECK(module && sameNameFolded(module->name, name));
        std::size_t parts = 0;
        for (const IeModSection* part = IE_getModSecFpi(name); part; part = IE_getModSecFpi(name))
            FUZZ_CHECK(++parts <= 1u << 24);
        std::size_t symbols = 0;
        for (const IeModSymbol* symbol = IE_getModSymFpi(name); symbol; symbol = IE_getModSymFpi(name))
            FUZZ_CHECK(++symbols <= 1u << 24);
        walkModes([](int mode) { return IE_getModSecMode(mode); }, SIZE_MAX - 1);
        walkModes([](int mode) { return IE_getModSymFi(mode); }, SIZE_MAX - 1);
        for (int32_t index : names.sectionIndexes)
            if (const IeModSection* part = IE_getModSecFip(index, name))
                FUZZ_CHECK(part->sectionIndex == index);
        for (const char* section : names.sections)
            if (const IeModSection* part = IE_getModSecFp(section, name))
                FUZZ_CHECK(part->section && sameName(part->section->name, section));
        for (const char* source : names.sources)
            if (const IeSource* found = IE_getSrcSrcMod(source, name))
                FUZZ_CHECK(sameNameFolded(found->name, source));
    }
    for (const char* name : names.sections) {
        const IeSection* section = IE_getSecName(name);
        FUZZ_CHECK(section && sameName(section->name, name));
    }
    for (const char* name : names.symbols) {
        const IeSymbol* symbol = IE_getSymName(name);
        FUZZ_CHECK(symbol && sameName(symbol->name, name));
    }
    for (const char* source : names.sources) {
        std::size_t found = 0;
        for (const IeSource* s = IE_getSrcSrcMode(source, 1); s; s = IE_getSrcSrcMode(source, 2)) {
            FUZZ_CHECK(sameNameFolded(s->name, source));
            FUZZ_CHECK(++found <= names.sourceCount);
        }
        FUZZ_CHECK(found > 0);
        for (const char* function : names.functions)
            if (const IeFnDef* def = IE_getFnDef(function, source))
                FUZZ_CHECK(sameName(def->name, function));
        for (const char* variable : names.variables) {
            if (const IeVaDef* def = IE_getVaDef(variable, source, 'G', nullptr))
                FUZZ_CHECK(sameName(def->name, variable));
            for (const char* function : names.variableFunctions)
                if (const IeVaDef* def = IE_getVaDef(variable, source, 'L', function))
                    FUZZ_CHECK(sameName(def->name, variable) && sameName(def->function, function));
        }
    }
    for (const char* name : names.functions) {
        std::size_t found = 0;
        for (const IeFnDef* def = IE_getFnDefMode(name, 1); def; def = IE_getFnDefMode(name, 2)) {
            FUZZ_CHECK(sameName(def->name, name));
            FUZZ_CHECK(++found <= 1u << 24);
        }
        FUZZ_CHECK(found > 0 || !goodRead);
    }
    for (const char* name : names.variables) {
        std::size_t found = 0;
        for (const IeVaDef* def = IE_getVaDefMode(name, 1); def; def = IE_getVaDefMode(name, 2)) {
            FUZZ_CHECK(sameName(def->name, name));
            FUZZ_CHECK(++found <= 1u << 24);
        }
        FUZZ_CHECK(found > 0 || !goodRead);
    }

    // Names no tree holds, and no name at all.
    FUZZ_CHECK(IE_getModName(nullptr) == nullptr);
    FUZZ_CHECK(IE_getSecName(nullptr) == nullptr);
    FUZZ_CHECK(IE_getSymName(nullptr) == nullptr);
    FUZZ_CHECK(IE_getSrcSrcMod(nullptr, nullptr) == nullptr);
    FUZZ_CHECK(IE_getFnDef(nullptr, nullptr) == nullptr);
    FUZZ_CHECK(IE_getVaDef(nullptr, nullptr, 'L', nullptr) == nullptr);
    FUZZ_CHECK(IE_getFnDefMode(nullptr, 1) == nullptr);
    FUZZ_CHECK(IE_getVaDefMode(nullptr, 1) == nullptr);
    FUZZ_CHECK(IE_getSrcSrcMode(nullptr, 1) == nullptr);
    FUZZ_CHECK(IE_getModSecFpi(nullptr) == nullptr);
    FUZZ_CHECK(IE_getModSymFpi(nullptr) == nullptr);
    FUZZ_CHECK(IE_getModSecFip(0, nullptr) == nullptr);
    FUZZ_CHECK(IE_getModSecFp(nullptr, nullptr) == nullptr);
    // Mode 2 straight after the lookups above continues whatever cursor they left.
    walkModes([](int mode) { return IE_getModMode(mode == 1 ? 2 : mode); }, names.moduleCount);
}

// Counts the characters the dumps write and keeps none.
class NullBuffer : public std::streambuf {
protected:
    int_type overflow(int_type c) override { return traits_type::not_eof(c); }
    std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
};

#if defined(TESSALY_FUZZ_WITH_MODEL)
void checkModel(const MapModel& model)
{
    FUZZ_CHECK(model.SectionTable.size() == std::size_t(model.SectionCount) + std::size_t(model.SectionFreeAreaCount));
    FUZZ_CHECK(model.ModuleSectionTable.size()
        == std::size_t(model.ModuleSectionCount) + std::size_t(model.ModuleSectionFreeAreaCount));
    FUZZ_CHECK(model.LabelTable.size() == std::size_t(model.LabelCount));
    FUZZ_CHECK(model.EquTable.size() == std::size_t(model.EquCount));
    FUZZ_CHECK(model.FunctionTable.size() == std::size_t(model.FunctionCount));
    for (const SectionEntry& entry : model.SectionTable)
        FUZZ_CHECK(entry.record);
    for (const ModuleSectionEntry& entry : model.ModuleSectionTable)
        FUZZ_CHECK(entry.record);
}
#endif

#if defined(TESSALY_FUZZ_WITH_PANES)
// A screen-sized cell and window, and a printed page of about sixty lines.
constexpr CellMetrics kCell { 8, 16 };
constexpr int32_t kClientHeight = 600;
constexpr int32_t kVisibleRows = kClientHeight / 16;
constexpr int32_t kPageHeight = 1024;

// The rows a numbering lists lie on distinct lines, in order, inside the list.
template <typename Entry>
void checkListedLines(const std::vector<Entry>& table, const std::vector<int32_t>& listed, int32_t lineCount)
{
    int32_t previous = 0; // line 0 holds the column headers
    for (int32_t index : listed) {
        FUZZ_CHECK(index >= 0 && std::size_t(index) < table.size());
        const int32_t line = table[std::size_t(index)].line;
        FUZZ_CHECK(line > previous && line < lineCount);
        previous = line;
    }
}

template <typename Entry> void checkBlocks(const std::vector<Entry>& table, int32_t lineCount)
{
    for (const Entry& entry : table) {
        FUZZ_CHECK(entry.lineCount >= 0);
        FUZZ_CHECK(entry.startLine >= 0 && entry.startLine + entry.lineCount <= lineCount);
    }
}

// A cell's text stays within the cut name plus its fixed fields, however long the name.
void checkCell(const std::string& text)
{
    FUZZ_CHECK(text.size() <= 2 * kMaxCellName + 64);
}

// A plan's rows are its window's lines, and its cells lie on them with bounded texts.
void checkPlan(const MapModel& model, const ListPlan& plan, const PlanRequest& request)
{
    FUZZ_CHECK(plan.rows.size() == std::size_t(std::max(request.blockRows, request.itemRows)));
    const std::size_t blocks = model.ShowLocalInformation ? model.ModuleSectionTable.size() : model.SectionTable.size();
    for (const PlanRow& row : plan.rows)
        FUZZ_CHECK(row.block < 0 || std::size_t(row.block) < blocks);
    for (const PlanCell& cell : plan.cells) {
        FUZZ_CHECK(cell.row >= 0 && std::size_t(cell.row) < plan.rows.size());
        checkCell(std::string(plan.text(cell)));
    }
    FUZZ_CHECK(plan.closeRow <= std::max(request.blockRows, 0));
}

// The values in order, each once: a short list's top, middle and bottom windows are one window,
// and planning it again would check nothing new.
std::vector<int32_t> distinct(std::initializer_list<int32_t> values)
{
    std::vector<int32_t> kept;
    for (int32_t value : values)
        if (std::find(kept.begin(), kept.end(), value) == kept.end())
            kept.push_back(value);
    return kept;
}

// Plans a window of rows at the top, the middle and the bottom of the list, as paints do, and
// writes the text of every cell in it.
void planVisibleRows(const MapModel& model, const ListRows& rows)
{
    for (int32_t top : distinct({ 0, rows.lineCount / 2, std::max(0, rows.lineCount - kVisibleRows) })) {
        PlanRequest request;
        request.firstLine = top;
        request.blockRows = kVisibleRows;
        request.itemRows = kVisibleRows + 1;
        request.match = { SearchSection, top, 0, 1 };
        checkPlan(model, PlanList(model, rows, request), request);
        FUZZ_CHECK(BlockAtLine(model, top) >= -1);
    }
}

// The columns laid out from the name widths, with their headers and borders.
void layOutColumns(const MapModel& model)
{
    ColumnTable columns {};
    LayoutColumns(columns, ColumnWidths(model, kCell.charWidth));
    for (int number = 1; number <= kColumnCount; ++number) {
        const ColumnInfo& info = column(columns, number);
        FUZZ_CHECK(info.nLeft <= info.nRight);
        touch(ColumnHeaderText(number, model.AddressDigits, model.ShowLocalInformation));
        const int hit = HitColumnBorder(columns, model, 0, kCell.lineHeight, info.nRight, 1, false);
        FUZZ_CHECK(hit >= 0 && hit <= kColumnCount);
    }
    FUZZ_CHECK(ColumnShown(model, LastShownColumn(model)));
}

// The first, second, middle and last pages, and one past the job.
void paginate(const MapModel& model, const ListRows& rows)
{
    const int32_t linesPerPage = PrintLinesPerPage(kPageHeight, kCell.lineHeight);
    const int32_t maxPage = PrintMaxPage(true, rows.lineCount, linesPerPage);
    FUZZ_CHECK(maxPage >= 1);
    const PrintColumns columns = PrintColumnPositions(model, kCell.charWidth);
    FUZZ_CHECK(columns.sectionLeft <= columns.sectionRight);
    FUZZ_CHECK(PrintColumnSpans(model, kCell.charWidth).size() >= 3);
    FUZZ_CHECK(PrintLineChars(model) >= 0);
    // Pages below the first print the first.
    for (int32_t page : distinct({ 1, 2, std::max(maxPage / 2, 1), maxPage, maxPage + 1 })) {
        const PlanRequest request = PrintPageRequest(linesPerPage, page);
        checkPlan(model, PlanList(model, rows, request), request);
    }
}

void numberAndPrint(MapModel& model)
{
    for (int options = 0; options < 8; ++options) {
        model.ShowLocalInformation = (options & 1) != 0;
        model.ShowEquList = (options & 2) != 0;
        model.ShowFunctionList = (options & 4) != 0;
        const ListRows rows = NumberRows(model);
        FUZZ_CHECK(rows.lineCount >= 1);
        checkListedLines(model.LabelTable, rows.labels, rows.lineCount);
        checkListedLines(model.EquTable, rows.equs, rows.lineCount);
        checkListedLines(model.FunctionTable, rows.functions, rows.lineCount);
        if (model.ShowLocalInformation)
            checkBlocks(model.ModuleSectionTable, rows.lineCount);
        else
            checkBlocks(model.SectionTable, rows.lineCount);
        planVisibleRows(model, rows);
        layOutColumns(model);
        paginate(model, rows);
    }
}

// Addresses the marker and the jumps meet: the range ends, the space ends and a few entries.
std::vector<uint32_t> probeAddresses(const MapModel& model)
{
    std::vector<uint32_t> addresses { 0, model.RangeStart, model.RangeEnd, model.MaxAddress, 0xFFFFFFFFu };
    for (std::size_t i = 0; i < model.SectionTable.size() && i < kNamesPerKind; ++i)
        addresses.push_back(model.SectionTable[i].record->start);
    return addresses;
}

void drawSectionList(const MapModel& model)
{
    const int32_t rows = CountVisibleRows(model);
    const ScrollSizes sizes = SectionListScrollSizes(model, kCell, rows, 480, kClientHeight);
    FUZZ_CHECK(sizes.height >= 0 && sizes.width >= 0);
    int32_t previousMarker = 0;
    for (uint32_t address : probeAddresses(model)) {
        const int32_t markerY = SectionListMarkerY(model, kCell, address);
        const SectionListPicture picture
            = BuildSectionListPicture(model, kCell, markerY, previousMarker, PictureClip { 0, kClientHeight });
        FUZZ_CHECK(picture.rows.size() <= std::size_t(rows));
        for (const SectionListRow& row : picture.rows) {
            FUZZ_CHECK(row.record);
            FUZZ_CHECK(row.box.top <= row.box.bottom);
            FUZZ_CHECK(SectionListJumpAddress(model, kCell, row.box.top).has_value());
        }
        previousMarker = markerY;
    }
    SectionListJumpAddress(model, kCell, -1);
    SectionListJumpAddress(model, kCell, std::numeric_limits<int32_t>::max());
}

void drawMemorySize(MapModel& model)
{
    model.ImageMode = MemorySizeImage; // the zoom commands act on this picture only
    int32_t zoom = 1;
    for (int step = 0; step < 20; ++step) {
        const MemorySizeGeometry geometry = MemorySizeGeometry::Compute(model, kCell, kClientHeight, zoom);
        const ScrollSizes sizes = MemorySizeScrollSizes(model, kCell, zoom, 480, kClientHeight);
        FUZZ_CHECK(sizes.height >= 0);
        for (uint32_t address : probeAddresses(model)) {
            const int32_t markerY = geometry.markerY(address, kCell.lineHeight);
            const MemorySizePicture picture = BuildMemorySizePicture(model, kCell, kClientHeight, zoom, markerY,
                PictureClip { markerY - kClientHeight, markerY + kClientHeight });
            for (const MemorySizeBand& band : picture.bands)
                FUZZ_CHECK(band.record && band.rect.top <= band.rect.bottom);
        }
        for (int32_t y : { geometry.barTop, (geometry.barTop + geometry.barBottom) / 2, geometry.barBottom }) {
            const uint32_t address = geometry.addressAt(y);
            FUZZ_CHECK(address >= model.RangeStart && address <= std::max(model.RangeStart, model.RangeEnd));
        }
        ZoomState(model, zoom, kCell.lineHeight, geometry.barBottom);
        const int32_t next = ZoomedIn(zoom, kCell.lineHeight, geometry.barBottom);
        if (next == zoom)
            break;
        zoom = next;
    }
    FUZZ_CHECK(ZoomedOut(zoom) >= 1);
}

// Both pictures of the left pane and the right pane's numbering, paints and printout, for
// every combination of the list options.
void layOutPanes(MapModel& model)
{
    model.FileLoaded = true;
    drawSectionList(model);
    drawMemorySize(model);
    numberAndPrint(model);
}
#endif

#if defined(TESSALY_FUZZ_WITH_MODEL)
// A build compared with its own copy: every item is matched and the same, whatever its names.
void compareWithItself(const MapModel& model, const IeRoot* root, [[maybe_unused]] std::ostream& sink)
{
    const BuildSnapshot snapshot = TakeBuildSnapshot(root);
    const TableChanges changes = CompareWithTables(snapshot, model, root);
    FUZZ_CHECK(changes.sections.size() == model.SectionTable.size());
    FUZZ_CHECK(changes.labels.size() == model.LabelTable.size());
    FUZZ_CHECK(changes.removedSections.empty() && changes.removedModuleSections.empty() && changes.removedLabels.empty()
        && changes.removedEqus.empty() && changes.removedFunctions.empty());
    auto allSame = [](const std::vector<EntryChange>& entries, std::size_t baselineCount) {
        for (const EntryChange& entry : entries)
            FUZZ_CHECK(entry.change == Change::Same && entry.oldIndex < static_cast<int32_t>(baselineCount));
    };
    allSame(changes.sections, snapshot.sections.size());
    allSame(changes.moduleSections, snapshot.moduleSections.size());
    allSame(changes.labels, snapshot.labels.size());
    allSame(changes.equs, snapshot.equs.size());
    allSame(changes.functions, snapshot.functions.size());
    for (std::size_t i = 0; i < model.LabelTable.size(); ++i)
        FUZZ_CHECK(changes.labels[i].oldIndex >= 0);
    for (std::size_t kind = 0; kind < kSectionKindCount; ++kind)
        FUZZ_CHECK(changes.totals[kind].oldSize == changes.totals[kind].newSize);
#if defined(TESSALY_FUZZ_WITH_DUMP)
    const TreeBuildView view = ViewBuild(root);
    const BuildComparison comparison = CompareBuilds(snapshot, view);
    const dump::DiffInput input { "old", "new", snapshot, view, comparison };
    dump::writeDiffText(input, true, sink);
    dump::writeDiffJson(input, sink);
    dump::writeDiffCsv(input, sink);
#endif
}
#endif

// The model and the dumps over a tree that read without error, as the viewer and orvik-dump
// see it.
void useGoodTree([[maybe_unused]] const IeRoot* root)
{
    NullBuffer buffer;
    std::ostream sink(&buffer);
#if defined(TESSALY_FUZZ_WITH_DUMP)
    tessaly::dump::writeTreeJson(root, sink);
#endif
#if defined(TESSALY_FUZZ_WITH_MODEL)
    MapModel model;
    DetectCpuFamily(model, root);
    checkModel(model);
    writeTablesText(model, sink);
    writeTablesJson(model, sink);
    compareWithItself(model, root, sink);
    // The other address ranges, for the overlap and outside flags of every family.
    for (uint32_t maxAddress : { 0xFFFFFu, 0xFFFFFFFFu }) {
        model.MaxAddress = maxAddress;
        model.NameWidths.fill(0);
        BuildMapTables(model, root);
        checkModel(model);
    }

#if defined(TESSALY_FUZZ_WITH_PANES)
    layOutPanes(model);
#endif
#endif
}

// consumers: also build the model and write the dumps, which cost more than the read; the
// viewer's mask gets them, the other masks only the walk and the queries.
void readAndUse(const char* path, int mask, bool consumers)
{
    const int code = IE_readIEEE(path, mask);
    FUZZ_CHECK(code >= 0 && code <= IE_ERROR_STACK_INFO);
    if (code != 0)
        FUZZ_CHECK(touch(IE_readError(code)) > 0);
    IeRoot* root = IE_getRoot();
    FUZZ_CHECK(root);
    const TreeNames names = walkTree(root);
    callQueries(names, code == 0);
    if (code == 0) {
        FUZZ_CHECK(root->cpuName);
        if (consumers)
            useGoodTree(root);
    }
}

} // namespace

std::optional<InputFormat> formatOfTarget(std::string_view name)
{
    // Longest names first: "fuzz_read" is not a prefix of the others, but keep it explicit.
    if (name.starts_with("fuzz_ieee695"))
        return InputFormat::Ieee695;
    if (name.starts_with("fuzz_framed"))
        return InputFormat::Framed;
    if (name.starts_with("fuzz_read"))
        return InputFormat::AnyBytes;
    if (name.starts_with("fuzz_regions"))
        return InputFormat::Regions;
    if (name.starts_with("fuzz_compare"))
        return InputFormat::Compare;
    return std::nullopt;
}

void runFuzzInput(const uint8_t* data, std::size_t size, InputFormat format)
{
#if defined(TESSALY_FUZZ_WITH_MODEL) && defined(TESSALY_FUZZ_WITH_DUMP)
    if (format == InputFormat::Regions)
        return runRegionsInput(data, size);
    if (format == InputFormat::Compare)
        return runCompareInput(data, size);
#endif
    std::vector<uint8_t> bytes(data, data + size);
    if (format != InputFormat::AnyBytes) {
        const uint8_t lead = format == InputFormat::Ieee695 ? 0xE0 : 0x80;
        if (bytes.empty())
            bytes.push_back(lead);
        else
            bytes[0] = lead;
    }
    const char* path = scratchFile().write(std::span<const uint8_t>(bytes));
    readAndUse(path, IE_READ_VIEWER, true);
    readAndUse(path, IE_READ_ALL, false);
    readAndUse(path, kOtherMasks[size % std::size(kOtherMasks)], false);
#if defined(IE_READ_TOLERANT)
    // The decoder for other producers' files, which accepts more and so reaches further.
    readAndUse(path, IE_READ_ALL | IE_READ_TOLERANT, false);
#endif
    IE_freeIEEE();
    const IeRoot* root = IE_getRoot();
    FUZZ_CHECK(!root->modules && !root->sections && !root->symbols);
    // The header names outlast the release, as the next failed read shows them.
    touch(root->cpuName);
    touch(root->moduleName);
    // The walks over a released tree find nothing.
    FUZZ_CHECK(IE_getModMode(1) == nullptr);
    FUZZ_CHECK(IE_getModSecMode(1) == nullptr);
    FUZZ_CHECK(IE_getFnDefMode("main", 1) == nullptr);
}

} // namespace tessaly::fuzz
