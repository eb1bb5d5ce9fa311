// tree_text.hpp: the reader's symbol tree written as indented text, one record per line.
#pragma once

#include "orvik.h"

#include <ostream>

namespace tessaly::dump {

// Writes the tree under root: one line per record, "kind #position field=value ...",
// children indented two spaces below their parent. Strings are quoted as in JSON, letters
// in single quotes, addresses and sizes as 0x and eight lower-case hex digits, pointers to
// other records as #position in the list that holds them, and a null of any kind as null.
void writeTreeText(const IeRoot* root, std::ostream& out);

} // namespace tessaly::dump
