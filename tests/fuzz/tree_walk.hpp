// tree_walk.hpp: the walk over every record of a tree that checks the reader's promises about it.
#pragma once

#include "orvik.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tessaly::fuzz {

// Names met on the walk, a few of each kind, for the lookups.
struct TreeNames {
    std::vector<const char*> modules;
    std::vector<const char*> sources;
    std::vector<const char*> sections;
    std::vector<const char*> symbols;
    std::vector<const char*> functions;
    std::vector<const char*> variables;
    std::vector<const char*> variableFunctions;
    std::vector<int32_t> sectionIndexes;
    std::size_t moduleCount = 0;
    std::size_t sectionCount = 0;
    std::size_t symbolCount = 0;
    std::size_t sourceCount = 0;
};

// How many names of each kind the lookups are tried with; each lookup walks a list, so a
// bound keeps the harness linear in the tree.
constexpr std::size_t kNamesPerKind = 12;

// Visits every field of every record: reads each name whole, and aborts when a record's owner
// is not its parent, a payload is missing or out of place, or a pointer leads out of the tree
// (a section of another root, a type of another module or number).
TreeNames walkTree(const IeRoot* root);

} // namespace tessaly::fuzz
