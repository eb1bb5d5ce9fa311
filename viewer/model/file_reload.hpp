// file_reload.hpp: reading the open file again while keeping the build on screen when the new bytes do not read.
#pragma once

#include "map_model.hpp"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

namespace tessaly {

// Enough of a file's state to tell that a writer touched it between two looks.
struct FileStamp {
    bool exists = false;
    uintmax_t size = 0;
    std::filesystem::file_time_type written {};
    friend bool operator==(const FileStamp&, const FileStamp&) = default;
};
FileStamp StampOf(const std::string& path);

enum class ReloadOutcome {
    Reloaded, // the model holds the new build
    Unchanged, // the file is the one last read (something else in its folder changed): not read
    Changing, // the file changed while it was read: the model holds the build it had
    Unreadable, // the reader refused the file: the model holds the build it had
};

struct ReloadResult {
    ReloadOutcome outcome = ReloadOutcome::Unreadable;
    std::string message; // Unreadable: the reader's text for the file
    bool rebuilt = false; // the tables were built again (from the new file or the kept build)
};

// The reader holds one tree per process, and a failed read replaces it, so the bytes of the
// build on screen are kept in a private file from which that build is read back after a
// failure. The file goes with the object.
class LastGoodBuild {
public:
    LastGoodBuild();
    ~LastGoodBuild();
    LastGoodBuild(const LastGoodBuild&) = delete;
    LastGoodBuild& operator=(const LastGoodBuild&) = delete;

    // After an ordinary open of path: keep its bytes. False when they could not be kept.
    bool keep(const std::string& path);
    bool held() const { return m_held; }

    // Reads path into the model again (tables rebuilt through DetectCpuFamily), unless it is
    // still the file last kept and force is false. beforeRead runs just before the reader
    // replaces the build on screen, while the model still shows it. LoadedPath and the view
    // options are left alone; RangeStart/RangeEnd are the caller's.
    ReloadResult reload(
        MapModel& model, const std::string& path, bool force = false, const std::function<void()>& beforeRead = {});

private:
    // The kept build back into the model; false (nothing loaded) when even that fails.
    bool restore(MapModel& model);

    std::filesystem::path m_path;
    std::filesystem::path m_candidatePath; // the bytes of a reload, until the reader took them
    bool m_held = false;
    FileStamp m_keptStamp; // of the file whose bytes are kept
};

} // namespace tessaly
