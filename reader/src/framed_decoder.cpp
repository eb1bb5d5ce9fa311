// framed_decoder.cpp: the framed-record absolute format (being written).
#include "decoders.hpp"
#include "read_fault.hpp"

namespace orvik {

void decodeFramed() { fail(kReadError, 0); }

}  // namespace orvik
