// queries.cpp: the IE_ walks and lookups over the tree, with their process-wide cursors.
#include "c_edge.hpp"
#include "name_hash.hpp"
#include "orvik.h"
#include "reader_state.hpp"

#include <cstring>

using namespace orvik;

namespace {

bool sameName(const char* a, const char* b)
{
    return a && b && std::strcmp(a, b) == 0;
}

// Byte-wise comparison that maps only the letters A to Z to lower case.
bool sameNameFolded(const char* a, const char* b)
{
    if (!a || !b)
        return false;
    auto fold = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c; };
    for (;; ++a, ++b) {
        const unsigned char x = static_cast<unsigned char>(*a);
        const unsigned char y = static_cast<unsigned char>(*b);
        if (fold(x) != fold(y))
            return false;
        if (x == 0)
            return true;
    }
}

IeModule* firstModuleNamed(const char* name)
{
    for (IeModule* module = readerState().root.modules; module; module = module->next)
        if (sameNameFolded(module->name, name))
            return module;
    return nullptr;
}

// Mode 1 restarts at head; the cursor holds the element the next call returns.
template <typename T> T* stepList(T*& cursor, T* head, int mode)
{
    if (mode != 1 && mode != 2)
        return nullptr;
    if (mode == 1)
        cursor = head;
    T* result = cursor;
    if (cursor)
        cursor = cursor->next;
    return result;
}

// The cursor holds the element returned last.
template <typename T> T* stepPart(T*& cursor, T* head, int mode)
{
    if (mode == 1)
        cursor = head;
    else if (mode == 2)
        cursor = cursor ? cursor->next : nullptr;
    else
        return nullptr;
    return cursor;
}

// First/next through a named module's list, switching modules when the name changes.
template <typename T> T* stepNamedModule(const char* moduleName, T*& cursor, T* IeModule::*head)
{
    ReaderState& state = readerState();
    if (!state.currentModule || !sameNameFolded(state.currentModule->name, moduleName)) {
        state.currentModule = firstModuleNamed(moduleName);
        cursor = state.currentModule ? state.currentModule->*head : nullptr;
    } else {
        cursor = cursor ? cursor->next : nullptr;
    }
    return cursor;
}

// The first source at or after `from`, continuing through later modules.
IeSource* firstSourceFrom(IeModule* module)
{
    for (; module; module = module->next)
        if (module->sources)
            return module->sources;
    return nullptr;
}

} // namespace

extern "C" IeModule* IE_getModMode(int mode)
{
    return sealed([&]() -> IeModule* {
        ReaderState& state = readerState();
        return stepList(state.moduleCursor, state.root.modules, mode);
    });
}

extern "C" IeSection* IE_getSecMode(int mode)
{
    return sealed([&]() -> IeSection* {
        ReaderState& state = readerState();
        return stepList(state.sectionCursor, state.root.sections, mode);
    });
}

extern "C" IeSymbol* IE_getSymMode(int mode)
{
    return sealed([&]() -> IeSymbol* {
        ReaderState& state = readerState();
        return stepList(state.symbolCursor, state.root.symbols, mode);
    });
}

extern "C" IeModSection* IE_getModSecMode(int mode)
{
    return sealed([&]() -> IeModSection* {
        ReaderState& state = readerState();
        if (!state.currentModule)
            return nullptr;
        return stepPart(state.modSectionCursor, state.currentModule->sections, mode);
    });
}

extern "C" IeModSymbol* IE_getModSymFi(int mode)
{
    return sealed([&]() -> IeModSymbol* {
        ReaderState& state = readerState();
        if (!state.currentModule)
            return nullptr;
        return stepPart(state.modSymbolCursor, state.currentModule->symbols, mode);
    });
}

extern "C" IeSource* IE_getSrcSrcMode(const char* source, int mode)
{
    return sealed([&]() -> IeSource* {
        ReaderState& state = readerState();
        if (mode == 1)
            state.sourceCursor = firstSourceFrom(state.root.modules);
        else if (mode != 2)
            return nullptr;
        for (IeSource* candidate = state.sourceCursor; candidate;) {
            if (sameNameFolded(candidate->name, source)) {
                state.sourceCursor = candidate->next
                    ? candidate->next
                    : (candidate->owner ? firstSourceFrom(candidate->owner->next) : nullptr);
                return candidate;
            }
            candidate = candidate->next ? candidate->next
                                        : (candidate->owner ? firstSourceFrom(candidate->owner->next) : nullptr);
        }
        state.sourceCursor = nullptr;
        return nullptr;
    });
}

extern "C" IeFnDef* IE_getFnDefMode(const char* name, int mode)
{
    return sealed([&]() -> IeFnDef* { return findFunctionByName(name, mode); });
}

extern "C" IeVaDef* IE_getVaDefMode(const char* name, int mode)
{
    return sealed([&]() -> IeVaDef* { return findVariableByName(name, mode); });
}

extern "C" IeModule* IE_getModName(const char* name)
{
    return sealed([&]() -> IeModule* {
        IeModule* module = firstModuleNamed(name);
        readerState().moduleCursor = module ? module->next : nullptr;
        return module;
    });
}

extern "C" IeSection* IE_getSecName(const char* name)
{
    return sealed([&]() -> IeSection* {
        for (IeSection* section = readerState().root.sections; section; section = section->next)
            if (sameName(section->name, name))
                return section;
        return nullptr;
    });
}

extern "C" IeSymbol* IE_getSymName(const char* name)
{
    return sealed([&]() -> IeSymbol* {
        for (IeSymbol* symbol = readerState().root.symbols; symbol; symbol = symbol->next)
            if (sameName(symbol->name, name))
                return symbol;
        return nullptr;
    });
}

extern "C" IeSource* IE_getSrcSrcMod(const char* source, const char* module)
{
    return sealed([&]() -> IeSource* {
        IeModule* owner = firstModuleNamed(module);
        if (!owner)
            return nullptr;
        for (IeSource* candidate = owner->sources; candidate; candidate = candidate->next)
            if (sameNameFolded(candidate->name, source))
                return candidate;
        return nullptr;
    });
}

extern "C" IeFnDef* IE_getFnDef(const char* name, const char* source)
{
    return sealed([&]() -> IeFnDef* {
        for (IeModule* module = readerState().root.modules; module; module = module->next)
            for (IeSource* file = module->sources; file; file = file->next)
                if (sameNameFolded(file->name, source))
                    for (IeFnDef* function = file->functions; function; function = function->next)
                        if (sameName(function->name, name))
                            return function;
        return nullptr;
    });
}

extern "C" IeVaDef* IE_getVaDef(const char* name, const char* source, int scope, const char* function)
{
    return sealed([&]() -> IeVaDef* {
        for (IeModule* module = readerState().root.modules; module; module = module->next)
            for (IeSource* file = module->sources; file; file = file->next)
                if (sameNameFolded(file->name, source))
                    for (IeVaDef* variable = file->variables; variable; variable = variable->next)
                        if (sameName(variable->name, name) && (scope != 'L' || sameName(variable->function, function)))
                            return variable;
        return nullptr;
    });
}

extern "C" IeModSection* IE_getModSecFpi(const char* module)
{
    return sealed([&]() -> IeModSection* {
        return stepNamedModule(module, readerState().modSectionCursor, &IeModule::sections);
    });
}

extern "C" IeModSymbol* IE_getModSymFpi(const char* module)
{
    return sealed(
        [&]() -> IeModSymbol* { return stepNamedModule(module, readerState().modSymbolCursor, &IeModule::symbols); });
}

extern "C" IeModSection* IE_getModSecFip(int index, const char* module)
{
    return sealed([&]() -> IeModSection* {
        IeModule* owner = firstModuleNamed(module);
        if (!owner)
            return nullptr;
        for (IeModSection* part = owner->sections; part; part = part->next)
            if (part->sectionIndex == index)
                return part;
        return nullptr;
    });
}

extern "C" IeModSection* IE_getModSecFp(const char* section, const char* module)
{
    return sealed([&]() -> IeModSection* {
        IeModule* owner = firstModuleNamed(module);
        if (!owner)
            return nullptr;
        for (IeModSection* part = owner->sections; part; part = part->next)
            if (part->section && sameName(part->section->name, section))
                return part;
        return nullptr;
    });
}
