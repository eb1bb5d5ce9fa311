// A temporary file holding given bytes, removed again when it goes out of scope.
#include "support/temp_file.hpp"

#include <atomic>
#include <cstdio>
#include <random>
#include <stdexcept>
#include <system_error>

namespace tessaly::testing {
namespace {

std::filesystem::path candidate(const std::string& suffix)
{
    static std::atomic<unsigned> counter { 0 };
    static const unsigned long long seed = std::random_device {}();
    return std::filesystem::temp_directory_path()
        / ("tessaly-" + std::to_string(seed) + "-" + std::to_string(counter++) + suffix);
}

} // namespace

TempFile::TempFile(std::span<const uint8_t> bytes, const std::string& suffix)
{
    // "x" makes the open fail when the name is taken, so two test processes
    // never share a file.
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::filesystem::path path = candidate(suffix);
        std::FILE* file = std::fopen(path.string().c_str(), "wbx");
        if (!file)
            continue;
        // An empty span may have no data pointer at all, which fwrite must not be given.
        const bool written = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
        const bool closed = std::fclose(file) == 0;
        m_path = std::move(path);
        if (!written || !closed) {
            remove();
            throw std::runtime_error("cannot write temporary file");
        }
        return;
    }
    throw std::runtime_error("cannot create temporary file");
}

TempFile::~TempFile()
{
    remove();
}

TempFile::TempFile(TempFile&& other) noexcept
    : m_path(std::move(other.m_path))
{
    other.m_path.clear();
}

TempFile& TempFile::operator=(TempFile&& other) noexcept
{
    if (this != &other) {
        remove();
        m_path = std::move(other.m_path);
        other.m_path.clear();
    }
    return *this;
}

void TempFile::remove() noexcept
{
    if (!m_path.empty()) {
        std::error_code ignored;
        std::filesystem::remove(m_path, ignored);
        m_path.clear();
    }
}

} // namespace tessaly::testing
