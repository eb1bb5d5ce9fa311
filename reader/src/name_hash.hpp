// name_hash.hpp: the two 256-slot tables that find functions and variables by name.
#pragma once

#include "orvik.h"

#include <cstdint>

namespace orvik {

// Sum of the name's bytes taken as signed 8-bit values; the low 8 bits pick the slot.
unsigned nameBucket(const char* name);

// Fills both tables from the tree, in tree order (functions, then variables).
void buildNameHashes();

IeFnDef* findFunctionByName(const char* name, int mode);
IeVaDef* findVariableByName(const char* name, int mode);

} // namespace orvik
