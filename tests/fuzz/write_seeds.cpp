// write_seeds.cpp: writes one format's seeds into the fuzz corpora from its test writer.
// Usage: fuzz_seed_writer_ieee695 CORPUS_DIR  (CORPUS_DIR/fuzz_read and fuzz_ieee695)
//        fuzz_seed_writer_framed CORPUS_DIR   (CORPUS_DIR/fuzz_read and fuzz_framed)
//        fuzz_seed_writer_split CORPUS_DIR    (CORPUS_DIR/fuzz_regions and fuzz_compare)
#include "seed_files.hpp"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

bool writeSeed(const std::filesystem::path& dir, const tessaly::fuzz::SeedFile& seed)
{
    std::filesystem::create_directories(dir);
    std::ofstream out(dir / seed.name, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(seed.bytes.data()), static_cast<std::streamsize>(seed.bytes.size()));
    return static_cast<bool>(out);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s CORPUS_DIR\n", argv[0]);
        return 2;
    }
    const std::filesystem::path root(argv[1]);
#if defined(TESSALY_SEEDS_SPLIT)
    bool ok = true;
    for (const auto& seed : tessaly::fuzz::regionsSeeds())
        ok = writeSeed(root / "fuzz_regions", seed) && ok;
    for (const auto& seed : tessaly::fuzz::compareSeeds())
        ok = writeSeed(root / "fuzz_compare", seed) && ok;
#else
#if defined(TESSALY_SEEDS_IEEE695)
    const auto seeds = tessaly::fuzz::ieee695Seeds();
    const char* target = "fuzz_ieee695";
    // A few inputs no writer makes: nothing at all, a lone first byte of either format, text.
    const std::vector<tessaly::fuzz::SeedFile> odd = {
        { "empty", {} },
        { "lone-e0", { 0xE0 } },
        { "lone-80", { 0x80 } },
        { "text", { 'h', 'e', 'l', 'l', 'o', '\n' } },
    };
#else
    const auto seeds = tessaly::fuzz::framedSeeds();
    const char* target = "fuzz_framed";
    const std::vector<tessaly::fuzz::SeedFile> odd;
#endif
    bool ok = true;
    for (const auto& seed : seeds) {
        ok = writeSeed(root / "fuzz_read", seed) && ok;
        ok = writeSeed(root / target, seed) && ok;
    }
    for (const auto& seed : odd)
        ok = writeSeed(root / "fuzz_read", seed) && ok;
#endif
    if (!ok)
        std::fprintf(stderr, "%s: cannot write the seeds under %s\n", argv[0], root.string().c_str());
    return ok ? 0 : 1;
}
