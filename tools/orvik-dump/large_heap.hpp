// large_heap.hpp: sets the C library's heap up for a big program before it is read.
#pragma once

#include <cstdint>

namespace tessaly::dump {

// A big program's tree and tables take tens of thousands of fresh pages, and the kernel's fault
// for each one was a quarter of a diff's time. Where the system allows it, this reserves heap
// for inputBytes of files in huge pages and keeps the heap from being handed back between the
// two reads of a diff, so the second read reuses the first one's pages. Does nothing for small
// inputs or where the C library offers no such control.
void PrepareHeapForInput(std::uintmax_t inputBytes);

} // namespace tessaly::dump
