// large_heap.cpp: huge pages for the heap of a big read, on Linux with the GNU C library.
#include "large_heap.hpp"

#if defined(__linux__) && defined(__GLIBC__)
#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace tessaly::dump {

#if defined(__linux__) && defined(__GLIBC__)

void PrepareHeapForInput(std::uintmax_t inputBytes)
{
    // Below a few huge pages there is nothing to win.
    constexpr std::uintmax_t kWorthIt = std::uintmax_t(8) << 20;
    constexpr std::uintptr_t kHugePage = std::uintptr_t(2) << 20;
    // A tree and its tables take about three times the file; a diff's second tree reuses the
    // first one's space.
    constexpr std::uintmax_t kLargest = std::min<std::uintmax_t>(std::uintmax_t(4) << 30, SIZE_MAX / 4);
    if (inputBytes < kWorthIt)
        return;
    const std::uintmax_t reserve = inputBytes > kLargest / 4 ? kLargest : inputBytes * 4 + kHugePage * 16;

    // Every block from the one heap (mapped blocks would be unmapped and faulted in again), and
    // none of it trimmed when the first tree is freed.
    mallopt(M_MMAP_MAX, 0);
    mallopt(M_TRIM_THRESHOLD, INT_MAX);

    // Growing the heap once by the whole reserve and freeing it leaves untouched address space
    // at its top, which the kernel may then back with huge pages as it is written.
    auto* const begin = static_cast<char*>(sbrk(0));
    if (begin == reinterpret_cast<char*>(-1))
        return;
    void* volatile block = std::malloc(static_cast<std::size_t>(reserve));
    if (!block)
        return;
    auto* const end = static_cast<char*>(sbrk(0));
    std::free(block);
    const std::uintptr_t from = (reinterpret_cast<std::uintptr_t>(begin) + kHugePage - 1) & ~(kHugePage - 1);
    const std::uintptr_t to = reinterpret_cast<std::uintptr_t>(end) & ~(kHugePage - 1);
    // Advice only: where huge pages are off or refused, the heap works as before.
    if (to > from)
        madvise(reinterpret_cast<void*>(from), to - from, MADV_HUGEPAGE);
}

#else

void PrepareHeapForInput(std::uintmax_t)
{
}

#endif

} // namespace tessaly::dump
