// corpus_replay_test.cpp: every seed and every saved crash replayed through the fuzzers' own function.
#include "fuzz_input.hpp"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace tessaly::fuzz {
namespace {

namespace fs = std::filesystem;

const fs::path kFuzzDir = TESSALY_FUZZ_DIR;

struct ReplayInput {
    fs::path path;
    InputFormat format;
    std::string testName;
};

// Test names already say which file; the parameter prints as its path.
void PrintTo(const ReplayInput& input, std::ostream* out)
{
    *out << input.path.string();
}

std::string testNameOf(const fs::path& path)
{
    std::string name = path.parent_path().filename().string() + "_" + path.filename().string();
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c)))
            c = '_';
    return name;
}

std::vector<fs::path> filesIn(const fs::path& dir)
{
    std::vector<fs::path> files;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(dir, error))
        if (entry.is_regular_file() && entry.path().filename().string().front() != '.')
            files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

// corpus/<target>/* take the target's format; crashes/<target>-<what> the format of the
// target named at the start of the file name.
std::vector<ReplayInput> replayInputs()
{
    std::vector<ReplayInput> inputs;
    std::error_code error;
    std::vector<fs::path> corpora;
    for (const auto& entry : fs::directory_iterator(kFuzzDir / "corpus", error))
        if (entry.is_directory())
            corpora.push_back(entry.path());
    std::sort(corpora.begin(), corpora.end());
    for (const fs::path& corpus : corpora) {
        const auto format = formatOfTarget(corpus.filename().string());
        if (!format)
            continue;
        for (const fs::path& file : filesIn(corpus))
            inputs.push_back({ file, *format, testNameOf(file) });
    }
    for (const fs::path& file : filesIn(kFuzzDir / "crashes"))
        inputs.push_back(
            { file, formatOfTarget(file.filename().string()).value_or(InputFormat::AnyBytes), testNameOf(file) });
    return inputs;
}

class CorpusReplay : public ::testing::TestWithParam<ReplayInput> { };

TEST_P(CorpusReplay, ReadsWithoutBreakingAPromise)
{
    const ReplayInput& input = GetParam();
    std::ifstream in(input.path, std::ios::binary);
    ASSERT_TRUE(in) << input.path;
    const auto size = static_cast<std::size_t>(fs::file_size(input.path));
    // Exactly the input's size, so AddressSanitizer sees a read one byte past it.
    std::unique_ptr<uint8_t[]> buffer(new uint8_t[size]);
    in.read(reinterpret_cast<char*>(buffer.get()), static_cast<std::streamsize>(size));
    ASSERT_EQ(static_cast<std::size_t>(in.gcount()), size);
    runFuzzInput(buffer.get(), size, input.format);
}

INSTANTIATE_TEST_SUITE_P(Files, CorpusReplay, ::testing::ValuesIn(replayInputs()),
    [](const ::testing::TestParamInfo<ReplayInput>& info) { return info.param.testName; });

TEST(CorpusReplayFiles, EveryTargetHasSeeds)
{
    for (const char* target : { "fuzz_read", "fuzz_ieee695", "fuzz_framed", "fuzz_regions", "fuzz_compare" }) {
        SCOPED_TRACE(target);
        EXPECT_FALSE(filesIn(kFuzzDir / "corpus" / target).empty());
    }
}

TEST(CorpusReplayFiles, EveryCrashNamesItsTarget)
{
    for (const fs::path& file : filesIn(kFuzzDir / "crashes")) {
        SCOPED_TRACE(file.string());
        EXPECT_TRUE(formatOfTarget(file.filename().string()).has_value());
    }
}

} // namespace
} // namespace tessaly::fuzz
