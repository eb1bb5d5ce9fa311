// pool.cpp: the block chain behind every record and name of the tree.
#include "pool.hpp"

#include "read_fault.hpp"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace orvik {
namespace {

void* defaultBlockAllocator(std::size_t bytes)
{
    return std::malloc(bytes);
}

// A run of bytes aligned to its size, which is that of a huge page, where the C library can
// align (its Windows runtime has no aligned_alloc whose memory free() takes).
void* alignedRun(std::size_t bytes)
{
#if defined(_WIN32)
    return std::malloc(bytes);
#else
    void* memory = std::aligned_alloc(bytes, bytes);
#if defined(__linux__)
    // Only a hint: where the kernel declines, the run is ordinary pages.
    if (memory)
        madvise(memory, bytes, MADV_HUGEPAGE);
#endif
    return memory;
#endif
}

BlockAllocator g_allocator = &defaultBlockAllocator;

constexpr std::size_t alignUp(std::size_t n)
{
    constexpr std::size_t a = Pool::kAlignment;
    return (n + a - 1) & ~(a - 1);
}

} // namespace

void setBlockAllocator(BlockAllocator allocator)
{
    g_allocator = allocator ? allocator : &defaultBlockAllocator;
}

BlockAllocator blockAllocator()
{
    return g_allocator;
}

unsigned char* Pool::newRun(std::size_t payloadBytes)
{
    void* memory = g_allocator(kHeader + payloadBytes);
    if (!memory)
        failWithoutPosition(IE_ERROR_NO_MEMORY);
    auto* run = static_cast<Run*>(memory);
    run->next = m_runs;
    m_runs = run;
    return reinterpret_cast<unsigned char*>(run) + kHeader;
}

unsigned char* Pool::newHugeRun()
{
    Run* run = nullptr;
    // A test's allocator sees every run asked for, so exhaustion stays where it put it.
    if (m_spareRuns && g_allocator == &defaultBlockAllocator) {
        run = m_spareRuns;
        m_spareRuns = run->next;
    } else {
        void* memory = g_allocator == &defaultBlockAllocator ? alignedRun(kHugeRunBytes) : g_allocator(kHugeRunBytes);
        if (!memory)
            failWithoutPosition(IE_ERROR_NO_MEMORY);
        run = static_cast<Run*>(memory);
    }
    run->next = m_hugeRuns;
    m_hugeRuns = run;
    return reinterpret_cast<unsigned char*>(run) + kHeader;
}

void Pool::startBlock()
{
    if (m_blocksLeft == 0) {
        if (m_blockCount >= kHugeAfterBlocks) {
            m_nextBlock = newHugeRun();
            m_blocksLeft = m_runBlocks = kHugeRunBlocks;
        } else {
            const std::size_t blocks = m_runBlocks == 0 ? 1 : std::min(m_runBlocks * 2, kMaxRunBlocks);
            m_nextBlock = newRun(blocks * kBlockBytes);
            m_blocksLeft = m_runBlocks = blocks;
        }
    }
    m_next = m_nextBlock;
    m_nextBlock += kBlockBytes;
    --m_blocksLeft;
    m_free = kBlockBytes;
    ++m_blockCount;
}

void* Pool::allocateSlow(std::size_t size)
{
    if (size > kBlockBytes) {
        // A request larger than a block gets a block of its own; the current block keeps
        // its free space for the requests that follow.
        unsigned char* own = newRun(size);
        ++m_blockCount;
        std::memset(own, 0, size);
        return own;
    }
    startBlock();
    void* result = m_next;
    m_next += size;
    m_free -= size;
    std::memset(result, 0, size);
    return result;
}

const char* Pool::storeStringSlow(std::string_view text)
{
    const std::size_t n = text.size() + 1;
    char* out;
    if (n > kBlockBytes) {
        out = static_cast<char*>(allocateSlow(alignUp(n)));
    } else {
        startBlock();
        out = reinterpret_cast<char*>(m_next);
        m_next += n;
        m_free -= n;
    }
    return copyString(out, text);
}

void Pool::freeRuns(Run*& runs)
{
    Run* run = runs;
    while (run) {
        Run* next = run->next;
        std::free(run);
        run = next;
    }
    runs = nullptr;
}

void Pool::release()
{
    freeRuns(m_runs);
    while (Run* run = m_hugeRuns) {
        m_hugeRuns = run->next;
        run->next = m_spareRuns;
        m_spareRuns = run;
    }
    m_nextBlock = nullptr;
    m_blocksLeft = 0;
    m_runBlocks = 0;
    m_next = nullptr;
    m_free = 0;
    m_blockCount = 0;
}

void Pool::releaseSpareRuns()
{
    freeRuns(m_spareRuns);
}

} // namespace orvik
