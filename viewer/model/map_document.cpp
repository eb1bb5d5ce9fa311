// map_document.cpp: opening a map file, the command-line open and applying the options dialog.
#include "map_document.hpp"

#include "build_baseline.hpp"

#include <cstdio>

namespace tessaly {

namespace {

// Copied: the text names the file of the last read, so it is taken before the next one.
std::string readErrorText(int code)
{
    const char* text = IE_readError(code);
    return text ? text : "";
}

} // namespace

const char* OpenFileFilter(CpuFamily lastFamily)
{
    switch (lastFamily) {
    case CpuGrus:
        return "abs file(*.abs)|*.abs|x file(*.x)|*.x|xqa file(*.xqa)|*.xqa|xqe file(*.xqe)|*.xqe||";
    case CpuEridan:
    case CpuFornax:
        return "xqe file(*.xqe)|*.xqe|xqa file(*.xqa)|*.xqa|abs file(*.abs)|*.abs|x file(*.x)|*.x||";
    default:
        return "xqa file(*.xqa)|*.xqa|xqe file(*.xqe)|*.xqe|abs file(*.abs)|*.abs|x file(*.x)|*.x||";
    }
}

std::string formatPage(uint32_t page)
{
    char text[16];
    std::snprintf(text, sizeof text, "%4X", static_cast<unsigned>(page));
    return text;
}

namespace {
bool g_tolerantReading = false;
} // namespace

void setTolerantReading(bool tolerant)
{
    g_tolerantReading = tolerant;
}

int readSelectionMask()
{
    return IE_READ_VIEWER | (g_tolerantReading ? IE_READ_TOLERANT : 0);
}

void MapDocument::OnOpenMapFile()
{
    const std::optional<std::string> chosen = m_host.runOpenFileDialog(OpenFileFilter(m_model.CpuFamily));
    if (!chosen)
        return;
    OpenMapFile(*chosen);
}

void MapDocument::OpenMapFile(const std::string& path)
{
    // Set before the read, so that after a failure it names the file that failed.
    m_model.LoadedPath = path;
    const int result = IE_readIEEE(m_model.LoadedPath.c_str(), readSelectionMask());
    if (result != 0) {
        // The family and tables of the last good file stay, so the next dialog keeps its order.
        m_model.FileLoaded = false;
        // A baseline stays for the next file, with no changes over tables of no tree.
        RefreshBaselineChanges(m_model, nullptr);
        m_host.setTitle("");
        m_host.showMessage(readErrorText(result));
        m_host.repaintAllViews();
        m_host.setModifiedFlag(false);
        return;
    }

    m_model.FileLoaded = true;
    m_model.TablesChanged = true;
    m_model.ListRebuildPending = true;
    m_host.setTitle(DocumentTitle(m_model));
    DetectCpuFamily(m_model);
    m_model.RangeStart = 0;
    m_model.RangeEnd = m_model.MaxAddress;
    m_host.setModifiedFlag(true);
    m_host.updateAllViews();
    m_host.repaintAllViews();
    m_host.setModifiedFlag(false);
    m_host.fileOpened(m_model.LoadedPath);
}

void MapDocument::OpenCommandLineFile(const std::string& path)
{
    const int result = IE_readIEEE(path.c_str(), readSelectionMask());
    if (result != 0) {
        m_host.showMessage(readErrorText(result));
        m_model.FileLoaded = false;
        return;
    }
    // Start-up shows and paints the window right afterwards, so no title and no notification.
    m_model.FileLoaded = true;
    m_model.ListRebuildPending = true;
    m_model.LoadedPath = path;
    DetectCpuFamily(m_model);
    m_model.RangeStart = 0;
    m_model.RangeEnd = m_model.MaxAddress;
    m_model.TablesChanged = true;
    m_host.fileOpened(path);
}

void MapDocument::OnOptionsCommand()
{
    OptionsValues values;
    values.localInformation = m_model.ShowLocalInformation;
    values.imageChoice = m_model.ImageMode == MemorySizeImage ? 0 : 1;
    values.functionList = m_model.ShowFunctionList;
    values.omitZeroSize = m_model.OmitZeroSizeSections;
    values.equList = m_model.ShowEquList;
    values.startPage = m_model.RangeStart / 256;
    values.endPage = m_model.RangeEnd / 256;
    values.startText = formatPage(values.startPage);
    values.endText = formatPage(values.endPage);

    m_model.ListRebuildPending = false;
    if (!m_host.runOptionsDialog(values))
        return;

    const ImageMode chosenImage = values.imageChoice == 0 ? MemorySizeImage : SectionListImage;
    // The range does not change the list's lines, so only these options ask for a renumbering.
    if (chosenImage != m_model.ImageMode || values.omitZeroSize != m_model.OmitZeroSizeSections
        || values.localInformation != m_model.ShowLocalInformation || values.equList != m_model.ShowEquList
        || values.functionList != m_model.ShowFunctionList)
        m_model.ListRebuildPending = true;

    m_model.OmitZeroSizeSections = values.omitZeroSize;
    m_model.ShowFunctionList = values.functionList;
    m_model.ShowLocalInformation = values.localInformation;
    m_model.ImageMode = chosenImage;
    m_model.ShowEquList = values.equList;
    // Whole pages: the dialog hands back the pages it was loaded with unless the user set new ones.
    m_model.RangeStart = values.startPage * 256u;
    m_model.RangeEnd = values.endPage * 256u + 255u;
    m_host.repaintAllViews();
}

bool MapDocument::CompareWith(const std::string& path)
{
    auto baseline = std::make_shared<BuildBaseline>();
    baseline->path = path;
    // The reader holds one tree: this read frees the shown file's, whatever its outcome.
    const int result = ReadBuildSnapshot(path, readSelectionMask(), baseline->snapshot);
    const std::string message = result != 0 ? readErrorText(result) : std::string();
    if (result == 0)
        m_model.Baseline = std::move(baseline);
    // The shown file is whole again before any message box lets the panes paint.
    const bool shown = ReadShownFileAgain();
    if (result != 0) {
        m_host.showMessage(message);
        // The same tables as before: the panes draw what they drew, under the same title.
        if (shown)
            m_host.repaintAllViews();
        return false;
    }
    if (shown)
        ShowComparison();
    return true;
}

void MapDocument::StopComparing()
{
    if (!m_model.Baseline)
        return;
    m_model.Baseline.reset();
    // The change column and the removed items leave the list.
    m_model.ListRebuildPending = true;
    ShowComparison();
}

void MapDocument::MakeShownBuildTheBaseline()
{
    const IeRoot* root = IE_getRoot();
    if (!m_model.FileLoaded || !root)
        return;
    auto baseline = std::make_shared<BuildBaseline>();
    baseline->path = m_model.LoadedPath;
    baseline->previousBuild = true;
    baseline->snapshot = TakeBuildSnapshot(root);
    m_model.Baseline = std::move(baseline);
    // The changes of the build on screen against itself, until the reload reads the next one.
    RefreshBaselineChanges(m_model, root);
    m_model.ListRebuildPending = true;
}

bool MapDocument::ReadShownFileAgain()
{
    if (!m_model.FileLoaded) {
        RefreshBaselineChanges(m_model, nullptr);
        return true;
    }
    const int result = IE_readIEEE(m_model.LoadedPath.c_str(), readSelectionMask());
    if (result != 0) {
        // Changed on disk since it was opened: as after a failed open, nothing is shown.
        const std::string message = readErrorText(result);
        m_model.FileLoaded = false;
        RefreshBaselineChanges(m_model, nullptr);
        m_host.setTitle("");
        m_host.showMessage(message);
        m_host.repaintAllViews();
        return false;
    }
    // The same file gives the same tables, so the list keeps its place (no TablesChanged), and
    // options and range stay as they were.
    DetectCpuFamily(m_model);
    m_model.ListRebuildPending = true;
    return true;
}

void MapDocument::ShowComparison()
{
    if (m_model.FileLoaded)
        m_host.setTitle(DocumentTitle(m_model));
    m_host.repaintAllViews();
}

} // namespace tessaly
