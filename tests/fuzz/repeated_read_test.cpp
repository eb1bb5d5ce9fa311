// repeated_read_test.cpp: a thousand reads of good and bad files in one process hold no more memory than one.
#include "orvik.h"
#include "reader_state.hpp"
#include "seed_corpus.hpp"
#include "support/temp_file.hpp"

#include <array>
#include <cstddef>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
#define TESSALY_WITH_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TESSALY_WITH_ASAN 1
#endif
#endif

#if defined(TESSALY_WITH_ASAN)
// From the sanitizer runtime; declared here because not every compiler ships its header.
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#else
#include <malloc.h>
#endif

namespace tessaly::fuzz {
namespace {

// Bytes the process holds from the heap, as the allocator in use counts them.
std::size_t heapBytesInUse()
{
#if defined(TESSALY_WITH_ASAN)
    return __sanitizer_get_current_allocated_bytes();
#else
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
#endif
}

using PoolBlocks = std::array<std::size_t, 4>;

PoolBlocks poolBlocks()
{
    const orvik::ReaderState& state = orvik::readerState();
    return { state.records.blockCount(), state.names.blockCount(), state.functionLinks.blockCount(),
        state.variableLinks.blockCount() };
}

std::vector<uint8_t> truncated(const std::vector<uint8_t>& bytes, std::size_t keep)
{
    return { bytes.begin(), bytes.begin() + keep };
}

TEST(RepeatedReads, AThousandGoodAndBadReadsLeaveNoGrowth)
{
    // The richest file of each format, and broken copies of them.
    std::vector<uint8_t> ieeeGood;
    std::vector<uint8_t> framedGood;
    for (const SeedFile& seed : committedWriterSeeds()) {
        if (seed.name == "ieee-debug-strings")
            ieeeGood = seed.bytes;
        if (seed.name == "framed-definitions")
            framedGood = seed.bytes;
    }
    ASSERT_FALSE(ieeeGood.empty());
    ASSERT_FALSE(framedGood.empty());
    std::vector<uint8_t> ieeeBadByte = ieeeGood;
    ieeeBadByte[1] = 0x90; // the CPU name's length byte: not a Name
    std::vector<std::unique_ptr<testing::TempFile>> good;
    good.push_back(std::make_unique<testing::TempFile>(ieeeGood));
    good.push_back(std::make_unique<testing::TempFile>(framedGood));
    std::vector<std::unique_ptr<testing::TempFile>> bad;
    bad.push_back(std::make_unique<testing::TempFile>(truncated(ieeeGood, ieeeGood.size() / 2)));
    bad.push_back(std::make_unique<testing::TempFile>(truncated(framedGood, framedGood.size() * 2 / 3)));
    bad.push_back(std::make_unique<testing::TempFile>(ieeeBadByte));
    bad.push_back(std::make_unique<testing::TempFile>(truncated(ieeeGood, ieeeGood.size() - 3)));

    constexpr int kMask = 0xFFFF;
    auto readGood = [&](std::size_t n) { return IE_readIEEE(good[n % good.size()]->pathString().c_str(), kMask); };
    auto readBad = [&](std::size_t n) { return IE_readIEEE(bad[n % bad.size()]->pathString().c_str(), kMask); };

    // Warm up: the first reads size the reader's reused buffers and the stream library's state.
    std::array<PoolBlocks, 2> blocksOfGood {};
    for (std::size_t i = 0; i < 8; ++i) {
        ASSERT_EQ(readGood(i), 0);
        blocksOfGood[i % 2] = poolBlocks();
        ASSERT_NE(readBad(i), 0);
    }
    ASSERT_EQ(readGood(0), 0);
    const std::size_t before = heapBytesInUse();

    for (std::size_t i = 0; i < 500; ++i) {
        SCOPED_TRACE(i);
        ASSERT_EQ(readGood(i), 0);
        // Each read releases the previous tree before building its own.
        ASSERT_EQ(poolBlocks(), blocksOfGood[i % 2]);
        const int code = readBad(i);
        ASSERT_GE(code, IE_ERROR_CANT_OPEN);
        ASSERT_LE(code, IE_ERROR_STACK_INFO);
    }

    ASSERT_EQ(readGood(0), 0);
    const std::size_t after = heapBytesInUse();
    // A little slack for the allocator's own bookkeeping; a leak of even a few bytes per read
    // would pass it after a thousand reads.
    EXPECT_LE(after, before + 4096) << "heap grew over a thousand reads";

    IE_freeIEEE();
    EXPECT_EQ(poolBlocks(), PoolBlocks {}) << "IE_freeIEEE leaves pool blocks";
}

} // namespace
} // namespace tessaly::fuzz
