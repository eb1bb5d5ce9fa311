// pool.cpp: the block chain behind every record and name of the tree.
#include "pool.hpp"

#include "read_fault.hpp"

#include <cstdint>
#include <cstdlib>

namespace orvik {
namespace {

void* defaultBlockAllocator(std::size_t bytes)
{
    return std::calloc(1, bytes);
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

Pool::Block* Pool::newBlock(std::size_t capacity)
{
    void* memory = g_allocator(kHeader + capacity);
    if (!memory)
        failWithoutPosition(IE_ERROR_NO_MEMORY);
    // Records rely on starting zeroed, whatever the allocator gave.
    std::memset(memory, 0, kHeader + capacity);
    auto* block = static_cast<Block*>(memory);
    block->next = nullptr;
    block->capacity = capacity;
    if (m_last)
        m_last->next = block;
    else
        m_first = block;
    m_last = block;
    ++m_blockCount;
    return block;
}

void Pool::startBlock()
{
    m_current = newBlock(kBlockBytes);
    m_next = payload(m_current);
    m_free = kBlockBytes;
}

void* Pool::allocate(std::size_t n)
{
    const std::size_t size = alignUp(n == 0 ? 1 : n);
    if (size > kBlockBytes) {
        // A request larger than a block gets a block of its own; the current block keeps
        // its free space for the requests that follow.
        return payload(newBlock(size));
    }
    // Strings are packed unaligned, so records first step to the next aligned address.
    std::size_t padding = alignUp(reinterpret_cast<std::uintptr_t>(m_next)) - reinterpret_cast<std::uintptr_t>(m_next);
    if (!m_current || padding + size > m_free) {
        startBlock();
        padding = 0;
    }
    void* result = m_next + padding;
    m_next += padding + size;
    m_free -= padding + size;
    return result;
}

const char* Pool::storeString(std::string_view text)
{
    const std::size_t n = text.size() + 1;
    char* out;
    if (n > kBlockBytes) {
        out = static_cast<char*>(allocate(n));
    } else {
        if (!m_current || n > m_free)
            startBlock();
        out = reinterpret_cast<char*>(m_next);
        m_next += n;
        m_free -= n;
    }
    if (!text.empty())
        std::memcpy(out, text.data(), text.size());
    out[text.size()] = '\0';
    return out;
}

void Pool::release()
{
    Block* block = m_first;
    while (block) {
        Block* next = block->next;
        std::free(block);
        block = next;
    }
    m_first = m_current = m_last = nullptr;
    m_next = nullptr;
    m_free = 0;
    m_blockCount = 0;
}

} // namespace orvik
