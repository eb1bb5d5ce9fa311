// A temporary folder, and a temporary file holding given bytes, removed again when they go out of scope.
#include "support/temp_file.hpp"

#include <atomic>
#include <fstream>
#include <random>
#include <stdexcept>
#include <system_error>

namespace tessaly::testing {

// Creating a folder fails when the name is taken, on every platform, so two test processes never
// share one.
TempFolder::TempFolder()
{
    static std::atomic<unsigned> counter { 0 };
    static const unsigned long long seed = std::random_device {}();
    const std::filesystem::path base = std::filesystem::temp_directory_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::filesystem::path folder = base / ("tessaly-" + std::to_string(seed) + "-" + std::to_string(counter++));
        std::error_code error;
        if (std::filesystem::create_directory(folder, error)) {
            m_path = std::move(folder);
            return;
        }
    }
    throw std::runtime_error("cannot create a temporary folder");
}

TempFolder::~TempFolder()
{
    remove();
}

TempFolder::TempFolder(TempFolder&& other) noexcept
    : m_path(std::move(other.m_path))
{
    other.m_path.clear();
}

TempFolder& TempFolder::operator=(TempFolder&& other) noexcept
{
    if (this != &other) {
        remove();
        m_path = std::move(other.m_path);
        other.m_path.clear();
    }
    return *this;
}

void TempFolder::remove() noexcept
{
    if (!m_path.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
        m_path.clear();
    }
}

TempFile::TempFile(std::span<const uint8_t> bytes, const std::string& suffix)
    : m_path(m_folder.path() / (u8"input" + std::u8string(suffix.begin(), suffix.end())))
{
    std::ofstream file(m_path, std::ios::binary);
    // An empty span may have no data pointer at all, which write must not be given.
    if (!bytes.empty())
        file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    file.close();
    if (!file)
        throw std::runtime_error("cannot write temporary file");
}

} // namespace tessaly::testing
