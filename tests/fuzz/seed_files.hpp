// seed_files.hpp: small writer-built absolute files that seed the fuzzers and drive the sweeps.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tessaly::fuzz {

struct SeedFile {
    std::string name; // a file name without directory, unique among the seeds
    std::vector<uint8_t> bytes;
};

// IEEE-695 files (first byte 0xE0): every part, every debug string kind, every type letter,
// the skipped block kinds and assembler-module blocks, spread over a few small programs.
std::vector<SeedFile> ieee695Seeds();

// Framed-record files (first byte 0x80): modules, section parts, global symbols, the skipped
// group and definition blocks with every kind of definition and type description.
std::vector<SeedFile> framedSeeds();

// Regions files, good and bad, each joined to an IEEE-695 file (input_split.hpp).
std::vector<SeedFile> regionsSeeds();

// Pairs of IEEE-695 builds, joined: one program changed in one way at a time, and unlike files.
std::vector<SeedFile> compareSeeds();

} // namespace tessaly::fuzz
