// fuzz_regions.cpp: libFuzzer entry for a regions file and the absolute file it budgets.
#include "regions_input.hpp"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    tessaly::fuzz::runRegionsInput(data, size);
    return 0;
}
