// read_fault.hpp: the one exception that unwinds a failed read back to IE_readIEEE.
#pragma once

#include "orvik.h"

#include <cstdint>

namespace orvik {

// Carries the code; the position is recorded in the reader state before throwing.
struct ReadFault {
    int code;
};

// Records the error position and unwinds the read with code.
[[noreturn]] void fail(int code, uint32_t position);
// Unwinds without touching the error position (codes 1 and 5).
[[noreturn]] void failWithoutPosition(int code);
// Unwinds at the offset where the input stands, for a fault that no byte read just now shows:
// a lookup into the decoder's own tables that finds nothing.
[[noreturn]] void failAtInput(int code);

} // namespace orvik
