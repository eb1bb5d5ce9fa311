// pool_test.cpp: block chaining, zero fill, oversized requests and allocation failure.
#include "pool.hpp"
#include "read_fault.hpp"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>
#include <string>
#include <string_view>
#include <vector>

namespace {

using orvik::Pool;

struct Record {
    int32_t a;
    void* b;
    int32_t c;
};

bool allZero(const void* p, std::size_t n)
{
    const auto* bytes = static_cast<const unsigned char*>(p);
    for (std::size_t i = 0; i < n; ++i)
        if (bytes[i] != 0)
            return false;
    return true;
}

// calloc whose blocks are pre-soiled, so only the pool's own zero fill can clear them
void* soiledAllocator(std::size_t n)
{
    void* p = std::malloc(n);
    std::memset(p, 0xAB, n);
    return p;
}

// Short names are copied by fixed-width moves that overlap; each length takes a different pair.
TEST(Pool, StoresStringsOfEveryLengthExactly)
{
    Pool pool;
    std::string source;
    for (int i = 0; i < 80; ++i)
        source += static_cast<char>('!' + i);
    std::vector<const char*> stored;
    for (std::size_t n = 0; n <= source.size(); ++n)
        stored.push_back(pool.storeString(std::string_view(source).substr(source.size() - n)));
    for (std::size_t n = 0; n < stored.size(); ++n)
        EXPECT_EQ(std::string(stored[n]), source.substr(source.size() - n)) << n << " bytes";
}

TEST(Pool, ChainsANewBlockWhenTheCurrentOneIsFull)
{
    Pool pool;
    EXPECT_EQ(pool.blockCount(), 0u);
    std::vector<Record*> records;
    const std::size_t perBlock = Pool::kBlockBytes / sizeof(Record);
    for (std::size_t i = 0; i < perBlock; ++i)
        records.push_back(pool.create<Record>());
    EXPECT_EQ(pool.blockCount(), 1u);
    records.push_back(pool.create<Record>());
    EXPECT_EQ(pool.blockCount(), 2u);
    for (Record* r : records)
        EXPECT_EQ(reinterpret_cast<std::uintptr_t>(r) % alignof(Record), 0u);
}

TEST(Pool, RecordsAndStringsStartZeroFilledAndAligned)
{
    Pool pool;
    const char* name = pool.storeString("abc"); // leaves the next free byte unaligned
    EXPECT_STREQ(name, "abc");
    auto* record = pool.create<Record>();
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(record) % Pool::kAlignment, 0u);
    EXPECT_TRUE(allZero(record, sizeof *record));
    EXPECT_STREQ(name, "abc");
}

TEST(Pool, ZeroFillsBlocksEvenFromAnAllocatorThatDoesNot)
{
    orvik::setBlockAllocator(&soiledAllocator);
    Pool pool;
    void* first = pool.allocate(64);
    void* big = pool.allocate(10000);
    orvik::setBlockAllocator(nullptr);
    EXPECT_TRUE(allZero(first, 64));
    EXPECT_TRUE(allZero(big, 10000));
}

TEST(Pool, ServesRequestsLargerThanABlockFromABlockOfTheirOwn)
{
    Pool pool;
    char* small = static_cast<char*>(pool.allocate(16));
    const std::size_t freeBefore = pool.freeBytes();
    char* big = static_cast<char*>(pool.allocate(3 * Pool::kBlockBytes));
    std::memset(big, 0x5A, 3 * Pool::kBlockBytes);
    EXPECT_EQ(pool.blockCount(), 2u);
    EXPECT_EQ(pool.freeBytes(), freeBefore) << "the current block keeps its free space";
    char* after = static_cast<char*>(pool.allocate(16));
    EXPECT_EQ(after, small + 16);
    EXPECT_TRUE(allZero(after, 16));

    std::string longName(5000, 'n');
    const char* stored = pool.storeString(longName);
    EXPECT_EQ(std::strlen(stored), 5000u);
    EXPECT_EQ(pool.blockCount(), 3u);
}

TEST(Pool, ReleaseEmptiesThePoolAndItCanBeUsedAgain)
{
    Pool pool;
    for (int i = 0; i < 1000; ++i)
        pool.storeString("some name");
    EXPECT_GT(pool.blockCount(), 1u);
    pool.release();
    EXPECT_EQ(pool.blockCount(), 0u);
    EXPECT_EQ(pool.freeBytes(), 0u);
    EXPECT_STREQ(pool.storeString("again"), "again");
    EXPECT_EQ(pool.blockCount(), 1u);
}

void* failingAllocator(std::size_t)
{
    return nullptr;
}

std::size_t g_runsAskedFor = 0;
void* countingAllocator(std::size_t n)
{
    ++g_runsAskedFor;
    return std::malloc(n);
}

// A big tree's runs are kept when it is freed and serve the next tree, whose records must
// still start zeroed; an allocator set for a test still sees every run, kept ones or not.
TEST(Pool, ABigTreesRunsServeTheNextZeroedAndATestAllocatorSeesEveryRun)
{
    Pool pool;
    const std::size_t blocks = 3000; // a few huge runs past the first few MiB
    auto fill = [&] {
        bool zeroed = true;
        for (std::size_t i = 0; i < blocks; ++i) {
            void* block = pool.allocate(Pool::kBlockBytes);
            zeroed = zeroed && allZero(block, Pool::kBlockBytes);
            std::memset(block, 0xAB, Pool::kBlockBytes);
        }
        return zeroed && pool.blockCount() == blocks;
    };
    std::size_t asked[2] = {};
    orvik::setBlockAllocator(&countingAllocator);
    for (std::size_t& count : asked) {
        g_runsAskedFor = 0;
        EXPECT_TRUE(fill());
        pool.release();
        count = g_runsAskedFor;
    }
    orvik::setBlockAllocator(nullptr);
    EXPECT_EQ(asked[0], asked[1]);
    for (int tree = 0; tree < 2; ++tree) {
        EXPECT_TRUE(fill()) << "tree " << tree;
        pool.release();
    }
    pool.releaseSpareRuns();
}

TEST(Pool, FailingToGetABlockRaisesCode5)
{
    orvik::setBlockAllocator(&failingAllocator);
    Pool pool;
    int code = 0;
    try {
        pool.allocate(8);
    } catch (const orvik::ReadFault& fault) {
        code = fault.code;
    }
    orvik::setBlockAllocator(nullptr);
    EXPECT_EQ(code, IE_ERROR_NO_MEMORY);
    EXPECT_EQ(pool.blockCount(), 0u);
}

} // namespace
