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

// A huge run: bytes aligned to their size, which is that of a huge page. On Linux they are
// mapped from the system rather than taken from the C library's heap, where each aligned run
// left a gap that the program's other blocks filled; under a heap marked for huge pages (as
// orvik-dump marks it for a big program) every such gap became 2 MiB of resident memory.
void* newAlignedRun(std::size_t bytes)
{
#if defined(__linux__)
    void* mapped = mmap(nullptr, bytes * 2, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED)
        return nullptr;
    // Twice the size always holds an aligned run; the unaligned head (if any) and the tail go
    // back at once.
    auto* const start = static_cast<unsigned char*>(mapped);
    const std::size_t head = (bytes - reinterpret_cast<std::uintptr_t>(start) % bytes) % bytes;
    unsigned char* const aligned = start + head;
    if (head)
        munmap(start, head);
    munmap(aligned + bytes, bytes - head);
    // Only a hint: where the kernel declines, the run is ordinary pages.
    madvise(aligned, bytes, MADV_HUGEPAGE);
    return aligned;
#elif defined(_WIN32)
    // Its runtime has no aligned_alloc whose memory free() takes.
    return std::malloc(bytes);
#else
    return std::aligned_alloc(bytes, bytes);
#endif
}

void freeAlignedRun(void* run, std::size_t bytes)
{
#if defined(__linux__)
    munmap(run, bytes);
#else
    static_cast<void>(bytes);
    std::free(run);
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
    // A test's allocator sees every run asked for, so exhaustion stays where it put it; its
    // runs are freed with the tree, like the small ones.
    if (g_allocator != &defaultBlockAllocator)
        return newRun(kHugeRunBytes - kHeader);
    Run* run = m_spareRuns;
    if (run) {
        m_spareRuns = run->next;
    } else {
        run = static_cast<Run*>(newAlignedRun(kHugeRunBytes));
        if (!run)
            failWithoutPosition(IE_ERROR_NO_MEMORY);
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
    m_top = m_nextBlock;
    --m_blocksLeft;
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
        m_top -= n;
        out = reinterpret_cast<char*>(m_top);
    }
    return copyString(out, text);
}

void Pool::release()
{
    while (Run* run = m_runs) {
        m_runs = run->next;
        std::free(run);
    }
    while (Run* run = m_hugeRuns) {
        m_hugeRuns = run->next;
        run->next = m_spareRuns;
        m_spareRuns = run;
    }
    m_nextBlock = nullptr;
    m_blocksLeft = 0;
    m_runBlocks = 0;
    m_next = nullptr;
    m_top = nullptr;
    m_blockCount = 0;
}

void Pool::releaseSpareRuns()
{
    while (Run* run = m_spareRuns) {
        m_spareRuns = run->next;
        freeAlignedRun(run, kHugeRunBytes);
    }
}

} // namespace orvik
