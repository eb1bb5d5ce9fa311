// big_program.hpp: generated programs the size of large firmware images, for benchmarks.
#pragma once

#include <cstdint>
#include <vector>

namespace tessaly::testing {

struct BigProgramShape {
    uint32_t globalLabels = 1'000'000;
    uint32_t localLabels = 0;
    uint32_t globalEqus = 0;
    uint32_t functions = 50'000;
    uint32_t sourceFiles = 2'000;
    uint32_t sections = 5'000;
    uint32_t modules = 200;
};

// An IEEE-695 absolute file for the "Grus" family: sections laid end to end, each module
// owning an equal share of them as module sections, labels spread over the sections,
// and C functions whose link names are among the labels.
std::vector<uint8_t> bigIeee695Program(const BigProgramShape& shape);

}  // namespace tessaly::testing
