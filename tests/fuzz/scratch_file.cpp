// scratch_file.cpp: the rewritable input file behind the fuzzers and the sweeps.
#include "scratch_file.hpp"

#include <fcntl.h>
#include <filesystem>
#include <stdexcept>
#include <sys/mman.h>
#include <unistd.h>

namespace tessaly::fuzz {

ScratchFile::ScratchFile()
{
    m_fd = memfd_create("tessaly-scratch", 0);
    if (m_fd >= 0 && access(("/proc/self/fd/" + std::to_string(m_fd)).c_str(), R_OK) == 0) {
        m_path = "/proc/self/fd/" + std::to_string(m_fd);
        return;
    }
    if (m_fd >= 0)
        close(m_fd);
    std::error_code error;
    const std::filesystem::path dir = std::filesystem::is_directory("/dev/shm", error)
        ? std::filesystem::path("/dev/shm")
        : std::filesystem::temp_directory_path();
    std::string pattern = (dir / "tessaly-scratch-XXXXXX").string();
    m_fd = mkstemp(pattern.data());
    if (m_fd < 0)
        throw std::runtime_error("cannot create a scratch file");
    m_path = pattern;
    m_unlink = true;
}

ScratchFile::~ScratchFile()
{
    if (m_fd >= 0)
        close(m_fd);
    if (m_unlink)
        unlink(m_path.c_str());
}

const char* ScratchFile::write(std::span<const uint8_t> bytes)
{
    if (ftruncate(m_fd, 0) != 0)
        throw std::runtime_error("cannot truncate the scratch file");
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = pwrite(m_fd, bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
        if (n <= 0)
            throw std::runtime_error("cannot write the scratch file");
        done += static_cast<std::size_t>(n);
    }
    return m_path.c_str();
}

} // namespace tessaly::fuzz
