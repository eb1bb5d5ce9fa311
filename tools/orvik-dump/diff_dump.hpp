// diff_dump.hpp: what changed between two builds, written as text, JSON or CSV (orvik-dump --diff).
#pragma once

#include "build_compare.hpp"
#include "build_snapshot.hpp"
#include "options.hpp"

#include <ostream>
#include <string_view>

namespace tessaly::dump {

// The old build as a snapshot, the new one as a view of the reader's tree (which is read last).
struct DiffInput {
    std::string_view oldPath;
    std::string_view newPath;
    const BuildSnapshot& before;
    const BuildView& after;
    const BuildComparison& comparison;
};

// All three forms list the items in one order: sections, module sections, symbols (labels and
// .EQU constants together), functions; within each, by the absolute size difference, largest
// first, then by name. Addresses and sizes in the new build's digits.

// A summary line per kind (old size, new size, difference, percent), then the changed items of
// each group; all lists the unchanged ones too.
void writeDiffText(const DiffInput& input, bool all, std::ostream& out);

// {"old", "new", "totals", "sections", "moduleSections", "symbols", "functions"}: every item of
// both builds, one per line, null for the side an item is missing from.
void writeDiffJson(const DiffInput& input, std::ostream& out);

// "table,name,module_or_source,old_start,old_size,new_start,new_size,change" and a line per item
// of both builds, RFC 4180 (CRLF line ends, fields quoted where they hold a comma, quote or line
// break); table is section, moduleSection, label, equ or function, numbers are decimal, and a
// missing side's fields are empty.
void writeDiffCsv(const DiffInput& input, std::ostream& out);

// Reads both files with mask, one after the other, compares them and writes the comparison in
// the options' format. Returns 0, or the reader's code for the first file that failed to read,
// in which case nothing was written.
int dumpDiff(const DumpOptions& options, int mask, std::ostream& out);

} // namespace tessaly::dump
