// seed_corpus.cpp: reading the committed writer-built seeds.
#include "seed_corpus.hpp"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>

namespace tessaly::fuzz {

std::vector<SeedFile> committedWriterSeeds()
{
    namespace fs = std::filesystem;
    std::vector<SeedFile> seeds;
    for (const auto& entry : fs::directory_iterator(fs::path(TESSALY_FUZZ_DIR) / "corpus" / "fuzz_read")) {
        const std::string name = entry.path().filename().string();
        if (!entry.is_regular_file() || !(name.starts_with("ieee-") || name.starts_with("framed-")))
            continue;
        std::ifstream in(entry.path(), std::ios::binary);
        std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        seeds.push_back({ name, std::move(bytes) });
    }
    if (seeds.empty())
        throw std::runtime_error("no writer-built seeds under " TESSALY_FUZZ_DIR "/corpus/fuzz_read");
    std::sort(seeds.begin(), seeds.end(), [](const SeedFile& a, const SeedFile& b) { return a.name < b.name; });
    return seeds;
}

} // namespace tessaly::fuzz
