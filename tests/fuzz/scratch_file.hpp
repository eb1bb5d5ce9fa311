// scratch_file.hpp: one reusable file, rewritten per input, that the reader can open by path.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace tessaly::fuzz {

// A memfd opened through /proc/self/fd where the system has one (no disk, no directory
// entry), otherwise a file under /dev/shm or the temp directory that is removed at the end.
// Rewriting it costs a truncate and a write, far less than a new temporary file per input.
class ScratchFile {
public:
    ScratchFile();
    ~ScratchFile();
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;

    // Replaces the contents with bytes and returns the path to open.
    const char* write(std::span<const uint8_t> bytes);
    const char* path() const { return m_path.c_str(); }

private:
    int m_fd = -1;
    std::string m_path;
    bool m_unlink = false;
};

} // namespace tessaly::fuzz
