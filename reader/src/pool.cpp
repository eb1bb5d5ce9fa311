// pool.cpp: the block chain behind every record and name of the tree.
#include "pool.hpp"

#include "read_fault.hpp"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace orvik {
namespace {

void* defaultBlockAllocator(std::size_t bytes)
{
    return std::malloc(bytes);
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

void Pool::startBlock()
{
    if (m_blocksLeft == 0) {
        const std::size_t blocks = m_runBlocks == 0 ? 1 : std::min(m_runBlocks * 2, kMaxRunBlocks);
        m_nextBlock = newRun(blocks * kBlockBytes);
        m_blocksLeft = m_runBlocks = blocks;
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

void Pool::release()
{
    Run* run = m_runs;
    while (run) {
        Run* next = run->next;
        std::free(run);
        run = next;
    }
    m_runs = nullptr;
    m_nextBlock = nullptr;
    m_blocksLeft = 0;
    m_runBlocks = 0;
    m_next = nullptr;
    m_free = 0;
    m_blockCount = 0;
}

} // namespace orvik
