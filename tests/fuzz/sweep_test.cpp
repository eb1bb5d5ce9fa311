// sweep_test.cpp: every prefix and single-byte change of small good files reads to a code, and leaves the next read
// intact.
#include "orvik.h"
#include "scratch_file.hpp"
#include "seed_corpus.hpp"
#include "tree_json.hpp"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <set>
#include <span>
#include <sstream>
#include <string>
#include <vector>

namespace tessaly::fuzz {
namespace {

namespace fs = std::filesystem;

// The prefix sweep also takes the decoder for other producers' files where the reader has one.
#if defined(IE_READ_TOLERANT)
constexpr int kPrefixMasks[] = { IE_READ_VIEWER, IE_READ_ALL, IE_READ_ALL | IE_READ_TOLERANT };
#else
constexpr int kPrefixMasks[] = { IE_READ_VIEWER, IE_READ_ALL };
#endif
// Files up to this size get every offset; larger ones a sample of offsets and prefixes.
constexpr std::size_t kFullSweepBytes = 4096;
constexpr std::size_t kSampledOffsets = 1536;

struct SweepFile {
    std::string name;
    std::vector<uint8_t> bytes;
};

// The seed programs of both formats, and the bundled examples when there are any.
std::vector<SweepFile> sweepFiles()
{
    std::vector<SweepFile> files;
    for (const SeedFile& seed : committedWriterSeeds())
        files.push_back({ seed.name, seed.bytes });
    std::error_code error;
    std::vector<fs::path> examples;
    for (const auto& entry : fs::directory_iterator(TESSALY_EXAMPLES_DIR, error))
        if (entry.is_regular_file() && entry.path().filename().string().front() != '.')
            examples.push_back(entry.path());
    std::sort(examples.begin(), examples.end());
    for (const fs::path& path : examples) {
        std::ifstream in(path, std::ios::binary);
        std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        // Only absolute files: anything else in the folder (a README) is not an input.
        if (!bytes.empty() && (bytes[0] == 0xE0 || bytes[0] == 0x80))
            files.push_back({ "examples/" + path.filename().string(), std::move(bytes) });
    }
    return files;
}

// The offsets a sweep visits: all of a small file, evenly spread ones of a large file plus its
// first bytes, where the header and the part offsets are.
std::vector<std::size_t> offsetsOf(std::size_t size)
{
    std::vector<std::size_t> offsets;
    if (size <= kFullSweepBytes) {
        for (std::size_t i = 0; i < size; ++i)
            offsets.push_back(i);
        return offsets;
    }
    std::set<std::size_t> chosen;
    for (std::size_t i = 0; i < 512; ++i)
        chosen.insert(i);
    for (std::size_t i = 0; i < kSampledOffsets; ++i)
        chosen.insert(512 + i * (size - 512) / kSampledOffsets);
    chosen.insert(size - 1);
    return { chosen.begin(), chosen.end() };
}

// Replacement values that hit the format's decisions: inverted and flipped bits, zero, a
// long Number prefix, a record code and a block end, and the largest byte.
std::vector<uint8_t> replacementsOf(uint8_t original)
{
    std::vector<uint8_t> values = { static_cast<uint8_t>(original ^ 0xFF), static_cast<uint8_t>(original ^ 0x01),
        static_cast<uint8_t>(original ^ 0x80), 0x00, 0x84, 0xE1, 0xF9, 0xFF };
    std::sort(values.begin(), values.end());
    values.erase(std::unique(values.begin(), values.end()), values.end());
    values.erase(std::remove(values.begin(), values.end(), original), values.end());
    return values;
}

class Sweep : public ::testing::Test {
protected:
    // The code of a read and, after a good one, the tree as JSON.
    std::pair<int, std::string> read(std::span<const uint8_t> bytes, int mask)
    {
        const int code = IE_readIEEE(m_file.write(bytes), mask);
        if (code != 0)
            return { code, {} };
        std::ostringstream json;
        dump::writeTreeJson(IE_getRoot(), json);
        return { code, json.str() };
    }

    // A bad read: its code is 0 or one of the ten, and the intact file reads again after it.
    // compareTree also compares the intact file's tree with the one read before any change;
    // the byte-change sweeps do that once per offset, as the JSON costs six reads.
    void expectContained(
        std::span<const uint8_t> bad, const SweepFile& file, int mask, const std::string& intactTree, bool compareTree)
    {
        const int code = IE_readIEEE(m_file.write(bad), mask);
        ASSERT_GE(code, 0);
        ASSERT_LE(code, IE_ERROR_STACK_INFO);
        if (code != 0) {
            ASSERT_NE(IE_readError(code), nullptr);
        }
        expectIntact(file, mask, intactTree, compareTree);
    }

    void expectIntact(const SweepFile& file, int mask, const std::string& intactTree, bool compareTree)
    {
        if (!compareTree) {
            ASSERT_EQ(IE_readIEEE(m_file.write(file.bytes), mask), 0) << "the intact file fails after a bad one";
            return;
        }
        const auto again = read(file.bytes, mask);
        ASSERT_EQ(again.first, 0);
        ASSERT_EQ(again.second, intactTree) << "the read after a bad one differs";
    }

    ScratchFile m_file;
};

TEST_F(Sweep, EveryPrefixReadsToACodeAndTheIntactFileAfterIt)
{
    for (const SweepFile& file : sweepFiles()) {
        SCOPED_TRACE(file.name);
        for (int mask : kPrefixMasks) {
            SCOPED_TRACE(mask);
            const auto intact = read(file.bytes, mask);
            ASSERT_EQ(intact.first, 0) << "the file itself must read";
            const std::vector<std::size_t> lengths = offsetsOf(file.bytes.size());
            for (std::size_t length : lengths) {
                SCOPED_TRACE(length);
                expectContained(std::span<const uint8_t>(file.bytes).first(length), file, mask, intact.second, true);
                if (HasFatalFailure())
                    return;
            }
        }
    }
}

TEST_F(Sweep, EverySingleByteChangeReadsToACodeAndTheIntactFileAfterIt)
{
    for (const SweepFile& file : sweepFiles()) {
        SCOPED_TRACE(file.name);
        const std::string intactTree[2]
            = { read(file.bytes, IE_READ_VIEWER).second, read(file.bytes, IE_READ_ALL).second };
        ASSERT_FALSE(intactTree[0].empty());
        ASSERT_FALSE(intactTree[1].empty());
        std::vector<uint8_t> changed = file.bytes;
        for (std::size_t offset : offsetsOf(file.bytes.size())) {
            SCOPED_TRACE(offset);
            // Alternate the masks by offset: both groups of paths, half the reads.
            const int which = static_cast<int>(offset % 2);
            const int mask = which == 0 ? IE_READ_VIEWER : IE_READ_ALL;
            const uint8_t original = file.bytes[offset];
            for (uint8_t value : replacementsOf(original)) {
                SCOPED_TRACE(static_cast<int>(value));
                changed[offset] = value;
                expectContained(changed, file, mask, intactTree[which], false);
                if (HasFatalFailure())
                    return;
            }
            changed[offset] = original;
            expectIntact(file, mask, intactTree[which], true);
            if (HasFatalFailure())
                return;
        }
    }
}

// Every one of the 256 values at every offset, for the smallest file of each format: the
// full square of changes, affordable only on a few hundred bytes.
TEST_F(Sweep, EveryValueAtEveryOffsetOfTheSmallestFiles)
{
    const std::vector<SeedFile> seeds = committedWriterSeeds();
    for (uint8_t lead : { uint8_t { 0xE0 }, uint8_t { 0x80 } }) {
        std::vector<SeedFile> ofFormat;
        std::copy_if(seeds.begin(), seeds.end(), std::back_inserter(ofFormat),
            [&](const SeedFile& seed) { return !seed.bytes.empty() && seed.bytes[0] == lead; });
        ASSERT_FALSE(ofFormat.empty());
        const SeedFile& file = *std::min_element(ofFormat.begin(), ofFormat.end(),
            [](const SeedFile& a, const SeedFile& b) { return a.bytes.size() < b.bytes.size(); });
        SCOPED_TRACE(file.name);
        const SweepFile sweepFile { file.name, file.bytes };
        const std::string intactTree = read(file.bytes, IE_READ_VIEWER).second;
        ASSERT_FALSE(intactTree.empty());
        std::vector<uint8_t> changed = file.bytes;
        for (std::size_t offset = 0; offset < file.bytes.size(); ++offset) {
            SCOPED_TRACE(offset);
            const uint8_t original = file.bytes[offset];
            for (int value = 0; value < 256; ++value) {
                if (value == original)
                    continue;
                changed[offset] = static_cast<uint8_t>(value);
                expectContained(changed, sweepFile, IE_READ_VIEWER, intactTree, false);
                if (HasFatalFailure())
                    return;
            }
            changed[offset] = original;
            expectIntact(sweepFile, IE_READ_VIEWER, intactTree, true);
            if (HasFatalFailure())
                return;
        }
    }
}

} // namespace
} // namespace tessaly::fuzz
