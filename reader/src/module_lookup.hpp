// module_lookup.hpp: finding the module of a debug block by name, from a cursor.
#pragma once

#include "keyed_hash.hpp"
#include "orvik.h"
#include "reader_state.hpp"

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace orvik {

// Finds modules for the debug part's blocks by the folded part of their name after the
// last '/', starting from a cursor, without walking the module list per block.
class ModuleLookup {
public:
    // Knows every module of the tree so far; later ones come through findOrAppend.
    ModuleLookup();

    // The next module of that name after the cursor, or a new module appended at the end
    // (the cursor then stays where it was).
    IeModule* findOrAppend(ModuleLookupCursor& cursor, std::string_view name);

    // The module of an assembler-module block, made current; null when the block is only
    // passed over.
    IeModule* selectAssemblerModule(DecodeState& decode, std::string_view name, bool create);

private:
    void add(IeModule* module);
    IeModule* find(ModuleLookupCursor& cursor, std::string_view name);
    static std::string keyOf(const char* name);

    std::vector<IeModule*> m_order;
    std::unordered_map<IeModule*, std::size_t> m_position;
    keyed::NameMap<std::string, std::vector<std::size_t>> m_byKey;
};

} // namespace orvik
