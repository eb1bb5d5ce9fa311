// tree_json.hpp: the reader's symbol tree written as one JSON document.
#pragma once

#include "orvik.h"

#include <ostream>

namespace tessaly::dump {

// Writes the tree under root (or null for a null root), followed by a line feed. Records
// become objects with their fields in order, lists become arrays, and pointers to other
// records become their positions in the lists that hold them; next, owner and reserved
// words are left out.
void writeTreeJson(const IeRoot* root, std::ostream& out);

} // namespace tessaly::dump
