// ieee695_types.hpp: type-definition blocks of the debug part and the links they make.
#pragma once

#include "first_definitions.hpp"
#include "ieee695_items.hpp"
#include "keyed_hash.hpp"
#include "module_lookup.hpp"
#include "reader_state.hpp"

#include <cstdint>
#include <unordered_map>
#include <vector>

namespace orvik {

// Per-module indexes for the type-definition blocks; each is built once per module, which
// keeps repeated blocks for one module from re-walking its lists.
struct ModuleTypes {
    bool referencesMatched = false;
    bool referencesIndexed = false;
    keyed::NumberMap<uint32_t, std::vector<IeTypeRef*>> referencesByIndex;
    FirstDefinitions firstByIndex;
    // resolved fields still waiting for a definition of their number
    keyed::NumberMap<uint32_t, std::vector<IeTypeDef**>> waiting;
};

// Reads type-definition blocks: the TY records of a module, the type references they
// resolve, and the matching of a module's definitions to its type references.
class Ieee695TypeBlocks : private Ieee695Items {
public:
    Ieee695TypeBlocks(ReaderState& state, ModuleLookup& modules)
        : Ieee695Items(state.input)
        , m_state(state)
        , m_decode(state.decode)
        , m_modules(modules)
    {
    }

    // Reads the block after its type byte; returns the code that follows it.
    uint8_t readTypeBlock();

private:
    const char* lastTypeName();
    uint8_t readTypeRecord(IeModule* module, ModuleTypes& types);
    void linkTypeReferences(IeModule* module, ModuleTypes& types, uint32_t index, IeTypeDef* type);
    void resolveTypes(ModuleTypes& types);
    void matchTypeReferences(IeModule* module);

    ReaderState& m_state;
    DecodeState& m_decode;
    ModuleLookup& m_modules;
    std::unordered_map<IeModule*, ModuleTypes> m_types;
    std::vector<IeTypeDef*> m_blockTypes;
};

} // namespace orvik
