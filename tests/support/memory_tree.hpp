// memory_tree.hpp: small orvik trees built directly in memory, for table tests without a file.
#pragma once

#include "orvik.h"

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

namespace tessaly::testing {

// Owns zero-filled records and links them the way the reader does (appended at the tail,
// owner set). Records live in deques, so their addresses never change.
class MemoryTree {
public:
    IeRoot root {};

    explicit MemoryTree(const char* cpuName = "Carina") { root.cpuName = cpuName; }
    MemoryTree(const MemoryTree&) = delete;
    MemoryTree& operator=(const MemoryTree&) = delete;

    IeSection* section(const char* name, uint32_t start, uint32_t size)
    {
        IeSection& s = m_sections.emplace_back();
        s.index = static_cast<int32_t>(m_sections.size());
        s.name = name;
        s.start = start;
        s.size = size;
        s.owner = &root;
        append(root.sections, &s);
        return &s;
    }

    IeModule* module(const char* name)
    {
        IeModule& m = m_modules.emplace_back();
        m.name = name;
        append(root.modules, &m);
        return &m;
    }

    IeModSection* part(IeModule* module, const IeSection* section, uint32_t start, uint32_t size, int32_t kind = 0)
    {
        IeModSection& p = m_parts.emplace_back();
        p.kind = kind;
        p.sectionIndex = section ? section->index : 99;
        p.start = start;
        p.size = size;
        p.section = const_cast<IeSection*>(section);
        p.owner = module;
        append(module->sections, &p);
        return &p;
    }

    IeSymbol* global(const char* name, uint32_t value, int32_t kind = IE_KIND_LABEL)
    {
        IeSymbol& s = m_globals.emplace_back();
        s.name = name;
        s.kind = kind;
        s.value = value;
        s.owner = &root;
        append(root.symbols, &s);
        return &s;
    }

    IeModSymbol* local(IeModule* module, const char* name, uint32_t value, int32_t kind = IE_KIND_LABEL)
    {
        IeModSymbol& s = m_locals.emplace_back();
        s.name = name;
        s.kind = kind;
        s.value = value;
        s.owner = module;
        append(module->symbols, &s);
        return &s;
    }

    IeSource* source(IeModule* module, const char* name)
    {
        IeSource& s = m_sources.emplace_back();
        s.name = name;
        s.owner = module;
        append(module->sources, &s);
        return &s;
    }

    IeFnDef* function(IeSource* source, const char* name, const char* linkName, uint32_t address, uint32_t size = 0x10,
        bool resolved = true)
    {
        IeFnDef& f = m_functions.emplace_back();
        f.name = name;
        f.linkName = linkName;
        f.scope = 'G';
        f.size = size;
        f.resolved = resolved ? 1 : 0;
        f.address = address;
        f.owner = source;
        append(source->functions, &f);
        return &f;
    }

private:
    template <typename T> static void append(T*& head, T* item)
    {
        T** link = &head;
        while (*link)
            link = &(*link)->next;
        *link = item;
    }

    std::deque<IeSection> m_sections;
    std::deque<IeModule> m_modules;
    std::deque<IeModSection> m_parts;
    std::deque<IeSymbol> m_globals;
    std::deque<IeModSymbol> m_locals;
    std::deque<IeSource> m_sources;
    std::deque<IeFnDef> m_functions;
};

} // namespace tessaly::testing
