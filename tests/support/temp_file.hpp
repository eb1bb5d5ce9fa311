// A temporary file holding given bytes, removed again when it goes out of scope.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

namespace tessaly::testing {

class TempFile {
public:
    // Creates a new file with a unique name under the system temp directory.
    explicit TempFile(std::span<const uint8_t> bytes, const std::string& suffix = ".abs");
    explicit TempFile(const std::vector<uint8_t>& bytes, const std::string& suffix = ".abs")
        : TempFile(std::span<const uint8_t>(bytes), suffix)
    {
    }
    ~TempFile();

    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    TempFile(TempFile&& other) noexcept;
    TempFile& operator=(TempFile&& other) noexcept;

    const std::filesystem::path& path() const { return m_path; }
    // The path as a narrow string, for C interfaces that take a file name.
    std::string pathString() const { return m_path.string(); }

private:
    void remove() noexcept;

    std::filesystem::path m_path;
};

} // namespace tessaly::testing
