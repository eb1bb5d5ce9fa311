// map_document.hpp: the document's file opening and options logic, with the windowing side behind DocumentHost.
#pragma once

#include "map_model.hpp"

#include <cstdint>
#include <optional>
#include <string>

namespace tessaly {

// Tolerant reading (of other producers' IEEE-695 files) is chosen for a whole run; every read
// of the document then adds the reader's tolerant bit to the viewer's mask, IE_READ_VIEWER.
void setTolerantReading(bool tolerant);
int readSelectionMask();

// The values the options dialog is loaded with and hands back.
struct OptionsValues {
    bool localInformation = false;
    int imageChoice = 1; // 0 Memory Size, 1 Section List
    bool functionList = false;
    bool omitZeroSize = true;
    bool equList = false;
    std::string startText; // "%4X" of startPage
    std::string endText; // "%4X" of endPage
    uint32_t startPage = 0;
    uint32_t endPage = 0;
};

// What the document needs from the window system. The Qt shell implements it; tests fake it.
class DocumentHost {
public:
    virtual ~DocumentHost() = default;

    // The modal file-open dialog with a "description|pattern|...||" filter list; nullopt on cancel.
    virtual std::optional<std::string> runOpenFileDialog(const std::string& filter) = 0;
    // The application's message box with an OK button; returns once it is closed.
    virtual void showMessage(const std::string& text) = 0;
    virtual void setTitle(const std::string& title) = 0;
    virtual void setModifiedFlag(bool modified) = 0;
    // The modal options dialog, loaded from and written back to values; true on OK.
    virtual bool runOptionsDialog(OptionsValues& values) = 0;
    // Tell every view that the document changed.
    virtual void updateAllViews() = 0;
    // Invalidate every view's whole client area (background erased) and notify the others.
    virtual void repaintAllViews() = 0;
    // A file was read successfully by an open (not by a reload): it can be watched and listed.
    virtual void fileOpened(const std::string& path) { (void)path; }
};

// The filter list of the File Open dialog: the family of the last good file comes first.
const char* OpenFileFilter(CpuFamily lastFamily);

// "%4X": upper-case hexadecimal, blank-padded to at least four characters.
std::string formatPage(uint32_t page);

// The document's logic without a window, working on one MapModel.
class MapDocument {
public:
    MapDocument(MapModel& model, DocumentHost& host)
        : m_model(model)
        , m_host(host)
    {
    }

    // File > Open (command 57601).
    void OnOpenMapFile();
    // What File > Open does once a file is chosen (also for a dropped or a recent file).
    void OpenMapFile(const std::string& path);
    // The file named on the command line, read once at start-up.
    void OpenCommandLineFile(const std::string& path);
    // Option > Kelvra... (command 32772).
    void OnOptionsCommand();

    // File > Compare With...: reads path as the baseline and compares the shown file with it.
    // A read failure shows the reader's message and leaves the document as it was (the shown
    // file, and any earlier baseline, still compared). True when path became the baseline.
    bool CompareWith(const std::string& path);
    // File > Stop Comparing.
    void StopComparing();
    bool HasBaseline() const { return m_model.Baseline != nullptr; }
    // The build on screen becomes the baseline, so that the next read of the file (a reload)
    // shows what changed. Nothing without a loaded file.
    void MakeShownBuildTheBaseline();

    MapModel& model() { return m_model; }

private:
    // The tree of the shown file was freed for another read: read the file again and rebuild its
    // tables (and the changes with them), keeping options, range and the list's place. False,
    // with the reader's message shown and no file loaded, when the file no longer reads.
    bool ReadShownFileAgain();
    // Title and panes after the comparison changed.
    void ShowComparison();

    MapModel& m_model;
    DocumentHost& m_host;
};

} // namespace tessaly
