// pool.hpp: bump allocation from 4096-byte blocks, taken in runs and released all at once.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <new>
#include <string_view>
#include <type_traits>

namespace orvik {

// Obtains memory for a run of blocks; tests replace it to simulate exhaustion.
using BlockAllocator = void* (*)(std::size_t bytes);
void setBlockAllocator(BlockAllocator allocator); // nullptr restores the default
BlockAllocator blockAllocator();

class Pool {
public:
    static constexpr std::size_t kBlockBytes = 4096;
    // Records hold only 32-bit integers and pointers.
    static constexpr std::size_t kAlignment = alignof(void*);

    Pool() = default;
    Pool(const Pool&) = delete;
    Pool& operator=(const Pool&) = delete;
    ~Pool()
    {
        release();
        releaseSpareRuns();
    }

    // n zero bytes, aligned for any record; raises code 5 when no block can be had. Inline
    // where the current block has room: every record of the tree comes through here.
    void* allocate(std::size_t n)
    {
        const std::size_t size = (n + (n == 0) + kAlignment - 1) & ~(kAlignment - 1);
        // Without a block both ends are null and size is at least kAlignment.
        if (size > freeBytes())
            return allocateSlow(size);
        void* result = m_next;
        m_next += size;
        // Zeroed here rather than by calloc: the record is written next, so its bytes are in
        // cache already, where calloc cleared every run of a freed tree's memory in a pass of
        // its own (a tenth of a read's instructions), strings' bytes included.
        std::memset(result, 0, size);
        return result;
    }

    template <typename T> T* create()
    {
        static_assert(std::is_trivially_destructible_v<T>, "pool records are never destroyed");
        static_assert(std::is_trivially_default_constructible_v<T>);
        return static_cast<T*>(allocate(sizeof(T)));
    }

    // Copies the bytes and a terminating NUL.
    const char* storeString(std::string_view text)
    {
        const std::size_t n = text.size() + 1;
        if (n > freeBytes()) // also where there is no block
            return storeStringSlow(text);
        m_top -= n;
        return copyString(reinterpret_cast<char*>(m_top), text);
    }

    // Frees the records; the huge runs are kept for the pool's next records (the next read).
    void release();
    // Frees the huge runs kept by release().
    void releaseSpareRuns();

    std::size_t blockCount() const { return m_blockCount; }
    std::size_t freeBytes() const { return static_cast<std::size_t>(m_top - m_next); }

private:
    // One allocation: blocks laid end to end after the header, or one oversized request. A
    // big program needs some 16,000 blocks; asking the allocator for each (and zeroing it twice,
    // in calloc and here) cost a fifth of a read, freeing them one by one a tenth of the next.
    struct Run {
        Run* next;
        // the payload follows the header, aligned for records
    };
    static constexpr std::size_t kHeader = (sizeof(Run) + kAlignment - 1) & ~(kAlignment - 1);
    // Runs double from one block to this many, so a small file takes little memory. 64 KiB
    // stays below the C library's threshold for mapping a request: mapped runs are unmapped
    // when the tree is freed and fault in page by page again on the next read (1.5 times the
    // page faults of 4 KiB blocks with runs of 256 KiB, in ten reads of the big program).
    static constexpr std::size_t kMaxRunBlocks = 16;
    // Once a pool holds this many blocks its tree is large, and further runs are huge: 2 MiB,
    // aligned to it and marked for huge pages, since writing a big tree through 4 KiB pages
    // missed the TLB on every few records. release() keeps them for the next tree (the next
    // read's): given back, they would fault in again, 2 MiB at a time.
    static constexpr std::size_t kHugeAfterBlocks = 1024;
    static constexpr std::size_t kHugeRunBytes = std::size_t { 2 } << 20;
    static constexpr std::size_t kHugeRunBlocks = (kHugeRunBytes - kHeader) / kBlockBytes;

    // text and a NUL into out, which has room for them. Most names have 8 to 32 bytes, and two
    // moves of a fixed width that overlap copy them without a call: the C library's call and
    // its dispatch on the size cost more than such a copy. Other lengths go to the C library,
    // whose copy is faster than the compiler's rep movsq at every length.
    static const char* copyString(char* out, std::string_view text)
    {
        const char* in = text.data();
        std::size_t n = text.size();
        if (n - 8 <= 8) {
            moveFixed<8>(out, in);
            moveFixed<8>(out + n - 8, in + n - 8);
        } else if (n - 17 <= 15) {
            moveFixed<16>(out, in);
            moveFixed<16>(out + n - 16, in + n - 16);
        } else {
#if defined(__GNUC__)
            // hides the bound the caller may know, which would bring back the rep movsq
            asm("" : "+r"(n));
#endif
            if (n)
                std::memcpy(out, in, n);
        }
        out[n] = '\0';
        return out;
    }
    template <std::size_t Width> static void moveFixed(char* out, const char* in)
    {
        std::memcpy(out, in, Width);
    }

    unsigned char* newRun(std::size_t payloadBytes);
    unsigned char* newHugeRun();
    void startBlock();
    void* allocateSlow(std::size_t size); // size already aligned
    const char* storeStringSlow(std::string_view text);

    Run* m_runs = nullptr; // the newest first
    Run* m_hugeRuns = nullptr; // the huge runs (of the default source), the newest first
    Run* m_spareRuns = nullptr; // huge runs of a freed tree
    unsigned char* m_nextBlock = nullptr; // the unused blocks of the newest block run
    std::size_t m_blocksLeft = 0;
    std::size_t m_runBlocks = 0; // blocks in the last block run
    // Records are laid from the start of the current block up and strings, packed unaligned,
    // from its end down, so a record never steps over the bytes a string left (the step cost
    // every record a few instructions, 2 % of a read's).
    unsigned char* m_next = nullptr;
    unsigned char* m_top = nullptr;
    std::size_t m_blockCount = 0;
};

} // namespace orvik
