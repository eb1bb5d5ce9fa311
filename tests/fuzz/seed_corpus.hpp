// seed_corpus.hpp: the committed writer-built seeds, read back from tests/fuzz/corpus.
#pragma once

#include "seed_files.hpp"

#include <vector>

namespace tessaly::fuzz {

// The files of corpus/fuzz_read that the writers made ("ieee-*" and "framed-*"), by name.
// Tests take them from disk rather than from the writers, so they test the very files the
// fuzzers start from.
std::vector<SeedFile> committedWriterSeeds();

} // namespace tessaly::fuzz
