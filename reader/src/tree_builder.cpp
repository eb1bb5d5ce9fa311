// tree_builder.cpp: the appends shared by both decoders.
#include "tree_builder.hpp"

#include "reader_state.hpp"

namespace orvik {
namespace {

template <typename T> T* appendChild(T*& head, ListTails<T>& tails, const void* parent)
{
    T* item = readerState().newRecord<T>();
    tails.append(head, item, parent);
    return item;
}

} // namespace

IeModule* appendModule(std::string_view name)
{
    auto& state = readerState();
    const char* stored = state.storeName(name);
    IeModule* module = appendChild(state.root.modules, state.decode.modules, &state.root);
    module->name = stored;
    return module;
}

IeSection* appendSection()
{
    auto& state = readerState();
    IeSection* section = appendChild(state.root.sections, state.decode.sections, &state.root);
    section->owner = &state.root;
    return section;
}

IeSource* appendSource(IeModule* module, std::string_view name)
{
    auto& state = readerState();
    const char* stored = state.storeName(name);
    IeSource* source = appendChild(module->sources, state.decode.sources, module);
    source->name = stored;
    source->owner = module;
    return source;
}

IeModSection* appendModSection(IeModule* module)
{
    IeModSection* part = appendChild(module->sections, readerState().decode.modSections, module);
    part->owner = module;
    return part;
}

IeModSymbol* appendModSymbol(IeModule* module)
{
    IeModSymbol* symbol = appendChild(module->symbols, readerState().decode.modSymbols, module);
    symbol->owner = module;
    return symbol;
}

IeTypeDef* appendTypeDef(IeModule* module)
{
    IeTypeDef* type = appendChild(module->typeDefs, readerState().decode.typeDefs, module);
    type->owner = module;
    return type;
}

IeTypeRef* appendTypeRef(IeModule* module)
{
    IeTypeRef* ref = appendChild(module->typeRefs, readerState().decode.typeRefs, module);
    ref->owner = module;
    return ref;
}

IeSecUse* appendSecUse(IeSource* source)
{
    IeSecUse* use = appendChild(source->sectionUses, readerState().decode.secUses, source);
    use->owner = source;
    return use;
}

IeFnDef* appendFunction(IeSource* source)
{
    auto& decode = readerState().decode;
    IeFnDef* function = appendChild(source->functions, decode.functions, source);
    function->owner = source;
    decode.appendedFunctions.emplace_back(function, source);
    return function;
}

IeVaDef* appendVariable(IeSource* source)
{
    auto& decode = readerState().decode;
    IeVaDef* variable = appendChild(source->variables, decode.variables, source);
    variable->owner = source;
    decode.appendedVariables.emplace_back(variable, source);
    return variable;
}

IeFnRef* appendFnRef(IeSource* source)
{
    IeFnRef* ref = appendChild(source->fnRefs, readerState().decode.fnRefs, source);
    ref->owner.source = source;
    return ref;
}

IeFnRef* appendFnRef(IeFnDef* function)
{
    IeFnRef* ref = appendChild(function->fnRefs, readerState().decode.fnRefs, function);
    ref->owner.function = function;
    return ref;
}

IeVaRef* appendVaRef(IeSource* source)
{
    IeVaRef* ref = appendChild(source->vaRefs, readerState().decode.vaRefs, source);
    ref->owner.source = source;
    return ref;
}

IeVaRef* appendVaRef(IeFnDef* function)
{
    IeVaRef* ref = appendChild(function->vaRefs, readerState().decode.vaRefs, function);
    ref->owner.function = function;
    return ref;
}

IeStackInfo* appendStackInfo(IeFnDef* function)
{
    IeStackInfo* info = appendChild(function->stackInfo, readerState().decode.stackInfo, function);
    info->owner = function;
    return info;
}

} // namespace orvik
