// fuzz_read.cpp: libFuzzer entry for any bytes, as the viewer gets them.
#include "fuzz_input.hpp"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    tessaly::fuzz::runFuzzInput(data, size, tessaly::fuzz::InputFormat::AnyBytes);
    return 0;
}
