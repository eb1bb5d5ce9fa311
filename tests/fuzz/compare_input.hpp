// compare_input.hpp: two fuzz inputs as an old and a new build, compared, and the diff written.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tessaly::fuzz {

// The input is the old build's file, kInputSeparator, then the new build's file. Both are read
// with the viewer's mask, with every group, and tolerantly; each pair that reads is compared
// (an old file that does not read counts as an empty build) both as snapshot and tree view and
// through the map tables, and the diff is written as text, JSON and CSV. Aborts on a match
// that breaks the n-th-of-an-identity rule, a change that does not fit the figures, totals
// that do not add up, a JSON that does not parse or a CSV that is not RFC 4180.
void runCompareInput(const uint8_t* data, std::size_t size);

} // namespace tessaly::fuzz
