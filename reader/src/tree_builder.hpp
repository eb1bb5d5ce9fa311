// tree_builder.hpp: creating records and linking them at the tail of their parent's list.
#pragma once

#include "orvik.h"
#include "reader_state.hpp"

#include <string_view>

namespace orvik {

// Each new record is zero-filled, linked at the end of its parent's list and owned by it
// before any of its fields is read, so a failed read leaves well-formed lists.
IeModule* appendModule(std::string_view name);
IeSection* appendSection();
IeSource* appendSource(IeModule* module, std::string_view name);
IeModSection* appendModSection(IeModule* module);
IeModSymbol* appendModSymbol(IeModule* module);
IeTypeDef* appendTypeDef(IeModule* module);
IeTypeRef* appendTypeRef(IeModule* module);
IeSecUse* appendSecUse(IeSource* source);
IeFnDef* appendFunction(IeSource* source);
IeVaDef* appendVariable(IeSource* source);
IeFnRef* appendFnRef(IeSource* source);
IeFnRef* appendFnRef(IeFnDef* function);
IeVaRef* appendVaRef(IeSource* source);
IeVaRef* appendVaRef(IeFnDef* function);
IeStackInfo* appendStackInfo(IeFnDef* function);

// Inline, with its own tail: a big program's million global symbols all come through here.
inline IeSymbol* appendSymbol()
{
    auto& state = readerState();
    IeSymbol* symbol = state.newRecord<IeSymbol>();
    IeSymbol*& tail = state.decode.lastSymbol;
    if (tail) {
        tail->next = symbol;
    } else if (!state.root.symbols) {
        state.root.symbols = symbol;
    } else {
        // a list this read did not start: joined at its end
        IeSymbol* last = state.root.symbols;
        while (last->next)
            last = last->next;
        last->next = symbol;
    }
    tail = symbol;
    symbol->owner = &state.root;
    return symbol;
}

// Appends item to a list that only the record being decoded adds to; tail is the caller's.
template <typename T> void appendLocal(T*& head, T*& tail, T* item)
{
    if (tail)
        tail->next = item;
    else
        head = item;
    tail = item;
}

} // namespace orvik
