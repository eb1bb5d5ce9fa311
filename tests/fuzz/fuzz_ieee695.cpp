// fuzz_ieee695.cpp: libFuzzer entry for IEEE-695 files: the first byte is forced to 0xE0.
#include "fuzz_input.hpp"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    tessaly::fuzz::runFuzzInput(data, size, tessaly::fuzz::InputFormat::Ieee695);
    return 0;
}
