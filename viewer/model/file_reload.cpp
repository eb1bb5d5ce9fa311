// file_reload.cpp: the checked re-read of a file a writer may still be working on, and the kept copy of the last good
// build.
#include "file_reload.hpp"

#include "map_document.hpp"

#include <random>
#include <sstream>
#include <system_error>

namespace tessaly {

namespace {

// A copy made by the file system (no bytes through this process's memory, so a big build costs
// no resident memory to keep). False when it could not be made whole.
bool copyFile(const std::string& from, const std::filesystem::path& to)
{
    std::error_code error;
    std::filesystem::copy_file(from, to, std::filesystem::copy_options::overwrite_existing, error);
    return !error;
}

std::filesystem::path privateFileName()
{
    std::error_code error;
    std::filesystem::path folder = std::filesystem::temp_directory_path(error);
    if (error)
        folder = ".";
    std::random_device random;
    std::ostringstream name;
    name << "tessaly-build-" << std::hex << random() << random() << ".keep";
    return folder / name.str();
}

} // namespace

FileStamp StampOf(const std::string& path)
{
    FileStamp stamp;
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(path, error);
    if (error || !std::filesystem::is_regular_file(status))
        return stamp;
    stamp.size = std::filesystem::file_size(path, error);
    if (error)
        return {};
    stamp.written = std::filesystem::last_write_time(path, error);
    if (error)
        return {};
    stamp.exists = true;
    return stamp;
}

LastGoodBuild::LastGoodBuild()
    : m_path(privateFileName())
    , m_candidatePath(m_path.string() + ".new")
{
}

LastGoodBuild::~LastGoodBuild()
{
    std::error_code ignored;
    std::filesystem::remove(m_path, ignored);
    std::filesystem::remove(m_candidatePath, ignored);
}

bool LastGoodBuild::keep(const std::string& path)
{
    const FileStamp stamp = StampOf(path);
    m_held = copyFile(path, m_path);
    m_keptStamp = m_held && StampOf(path) == stamp ? stamp : FileStamp {};
    return m_held;
}

bool LastGoodBuild::restore(MapModel& model)
{
    if (!m_held || IE_readIEEE(m_path.string().c_str(), readSelectionMask()) != 0) {
        m_held = false;
        model.FileLoaded = false;
        return false;
    }
    DetectCpuFamily(model);
    model.FileLoaded = true;
    model.TablesChanged = true;
    model.ListRebuildPending = true;
    return true;
}

ReloadResult LastGoodBuild::reload(
    MapModel& model, const std::string& path, bool force, const std::function<void()>& beforeRead)
{
    // The bytes are taken between two looks at the file: if it moved in between, a writer is at
    // work and the build on screen is not touched at all.
    const FileStamp before = StampOf(path);
    if (!force && m_held && before.exists && before == m_keptStamp)
        return { ReloadOutcome::Unchanged, {}, false };
    const bool copied = before.exists && copyFile(path, m_candidatePath);
    std::error_code error;
    if (copied && (StampOf(path) != before || std::filesystem::file_size(m_candidatePath, error) != before.size))
        return { ReloadOutcome::Changing, {} };

    if (beforeRead)
        beforeRead();
    const int code = IE_readIEEE(path.c_str(), readSelectionMask());
    // The reader read the file itself; what it read is what was copied only if nobody wrote
    // in between.
    const bool unchanged = StampOf(path) == before;
    if (code == 0 && unchanged && copied) {
        DetectCpuFamily(model);
        model.FileLoaded = true;
        model.TablesChanged = true;
        model.ListRebuildPending = true;
        // The copy becomes the kept build in one step, so a kept build is always a whole one.
        std::filesystem::rename(m_candidatePath, m_path, error);
        m_held = !error;
        m_keptStamp = m_held ? before : FileStamp {};
        return { ReloadOutcome::Reloaded, {}, true };
    }
    ReloadResult result;
    if (code != 0) {
        const char* text = IE_readError(code);
        result.message = text ? text : "";
    }
    // A refusal of a file that held still (or stayed away) is the file's; anything else is the
    // writer's, still at work.
    result.outcome = code != 0 && unchanged ? ReloadOutcome::Unreadable : ReloadOutcome::Changing;
    result.rebuilt = restore(model);
    return result;
}

} // namespace tessaly
