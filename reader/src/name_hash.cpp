// name_hash.cpp: building and searching the function and variable name tables.
#include "name_hash.hpp"

#include "reader_state.hpp"

#include <cstring>

namespace orvik {
namespace {

template <typename Def> Def*& itemOf(IeHashLink& link);
template <> IeFnDef*& itemOf<IeFnDef>(IeHashLink& link)
{
    return link.item.function;
}
template <> IeVaDef*& itemOf<IeVaDef>(IeHashLink& link)
{
    return link.item.variable;
}

using HashTable = std::array<IeHashLink, kHashSlots>;

// Appends def to its slot's chain; a slot is itself the first link.
template <typename Def> void insert(HashTable& table, Pool& links, std::array<IeHashLink*, kHashSlots>& tails, Def* def)
{
    const unsigned slot = nameBucket(def->name ? def->name : "");
    IeHashLink& head = table[slot];
    if (!itemOf<Def>(head)) {
        itemOf<Def>(head) = def;
        tails[slot] = &head;
        return;
    }
    auto* link = links.create<IeHashLink>();
    itemOf<Def>(*link) = def;
    tails[slot]->next = link;
    tails[slot] = link;
}

// The link to search from: the slot, or in mode 2 the link after the last match, which must
// lie on this name's chain; null when the search cannot start.
IeHashLink* searchStart(IeHashLink* slot, const IeHashLink* cursor, int mode)
{
    if (mode == 1)
        return slot;
    IeHashLink* link = slot;
    while (link && link != cursor)
        link = link->next;
    return link ? link->next : nullptr;
}

// Any other mode leaves the cursor alone; a search that fails, however, leaves none, so that a
// mode-2 call after it finds nothing either.
template <typename Def> Def* find(HashTable& table, IeHashLink*& cursor, const char* name, int mode)
{
    if (mode != 1 && mode != 2)
        return nullptr;
    IeHashLink* slot = name ? &table[nameBucket(name)] : nullptr;
    IeHashLink* start = slot && itemOf<Def>(*slot) ? searchStart(slot, cursor, mode) : nullptr;
    for (IeHashLink* link = start; link; link = link->next) {
        Def* def = itemOf<Def>(*link);
        if (def->name && std::strcmp(def->name, name) == 0) {
            cursor = link;
            return def;
        }
    }
    cursor = nullptr;
    return nullptr;
}

} // namespace

unsigned nameBucket(const char* name)
{
    uint32_t sum = 0;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(name); *p; ++p)
        sum += static_cast<uint32_t>(static_cast<int32_t>(static_cast<int8_t>(*p)));
    return sum & 0xFFu;
}

void buildNameHashes()
{
    auto& state = readerState();
    std::array<IeHashLink*, kHashSlots> tails {};
    for (IeModule* module = state.root.modules; module; module = module->next)
        for (IeSource* source = module->sources; source; source = source->next)
            for (IeFnDef* function = source->functions; function; function = function->next)
                insert(state.functionTable, state.functionLinks, tails, function);
    tails.fill(nullptr);
    for (IeModule* module = state.root.modules; module; module = module->next)
        for (IeSource* source = module->sources; source; source = source->next)
            for (IeVaDef* variable = source->variables; variable; variable = variable->next)
                insert(state.variableTable, state.variableLinks, tails, variable);
}

IeFnDef* findFunctionByName(const char* name, int mode)
{
    auto& state = readerState();
    return find<IeFnDef>(state.functionTable, state.functionCursor, name, mode);
}

IeVaDef* findVariableByName(const char* name, int mode)
{
    auto& state = readerState();
    return find<IeVaDef>(state.variableTable, state.variableCursor, name, mode);
}

} // namespace orvik
