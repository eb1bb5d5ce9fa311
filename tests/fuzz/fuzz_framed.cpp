// fuzz_framed.cpp: libFuzzer entry for framed-record files: the first byte is forced to 0x80.
#include "fuzz_input.hpp"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    tessaly::fuzz::runFuzzInput(data, size, tessaly::fuzz::InputFormat::Framed);
    return 0;
}
