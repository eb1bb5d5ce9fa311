// A temporary folder, and a temporary file holding given bytes, removed again when they go out of scope.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

namespace tessaly::testing {

// A new, empty folder of its own under the system temp directory, removed with all it holds.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();

    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    TempFolder(TempFolder&& other) noexcept;
    TempFolder& operator=(TempFolder&& other) noexcept;

    const std::filesystem::path& path() const { return m_path; }

private:
    void remove() noexcept;

    std::filesystem::path m_path;
};

class TempFile {
public:
    // Creates the file "input<suffix>" (suffix in UTF-8) in a TempFolder of its own.
    explicit TempFile(std::span<const uint8_t> bytes, const std::string& suffix = ".abs");
    explicit TempFile(const std::vector<uint8_t>& bytes, const std::string& suffix = ".abs")
        : TempFile(std::span<const uint8_t>(bytes), suffix)
    {
    }

    const std::filesystem::path& path() const { return m_path; }
    // The path as a narrow string, for C interfaces that take a file name. (On Windows it is UTF-8,
    // which such interfaces take for the ANSI code page: the same only for ASCII names.)
    std::string pathString() const { return m_path.string(); }

private:
    TempFolder m_folder;
    std::filesystem::path m_path;
};

} // namespace tessaly::testing
