// fuzz_compare.cpp: libFuzzer entry for two builds compared with each other.
#include "compare_input.hpp"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    tessaly::fuzz::runCompareInput(data, size);
    return 0;
}
