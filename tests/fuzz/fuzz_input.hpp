// fuzz_input.hpp: the one function every fuzzer and the corpus replay run on an input.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace tessaly::fuzz {

// What the first byte of the file becomes: the input's own, or forced to one format.
enum class InputFormat {
    AnyBytes, // fuzz_read
    Ieee695, // fuzz_ieee695: first byte 0xE0
    Framed, // fuzz_framed: first byte 0x80
    Regions, // fuzz_regions: a regions file and an absolute file (regions_input.hpp)
    Compare, // fuzz_compare: two absolute files (compare_input.hpp)
};

// The format of a fuzz target by its name ("fuzz_read", "fuzz_ieee695", ...), or of
// a saved crash by the target name its file name starts with.
std::optional<InputFormat> formatOfTarget(std::string_view name);

// Writes the input to a scratch file and reads it with the viewer's mask, with every group
// and with a third mask; after each read walks every list of the tree, calls every IE_
// function with names from the tree, and, after a good read, builds the map model and dumps.
// Regions and Compare inputs go to their own functions instead.
// A broken promise of the reader (a code outside 0..10, a wrong owner, a lookup returning a
// record of another name) aborts, so the fuzzer reports it as a crash.
void runFuzzInput(const uint8_t* data, std::size_t size, InputFormat format);

} // namespace tessaly::fuzz
