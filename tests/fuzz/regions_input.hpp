// regions_input.hpp: one fuzz input through the regions parser, the usage and the regions dumps.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tessaly::fuzz {

// The input is a regions file, then optionally kInputSeparator and an absolute file whose
// sections use the regions. Aborts on a parse result that is neither a clear refusal (every
// message "FILE: ..." or "FILE:LINE: ..." on a line of the text) nor a valid set of regions,
// on usage figures that do not add up, and on a regions JSON that does not parse.
void runRegionsInput(const uint8_t* data, std::size_t size);

} // namespace tessaly::fuzz
