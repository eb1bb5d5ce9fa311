// wanted_names.cpp: finding the first symbol of each wanted link name in one pass.
#include "wanted_names.hpp"

#include "reader_state.hpp"

#include <cstring>

namespace orvik {

WantedNames::WantedNames(const std::vector<WantedAddress>& wanted)
{
    std::size_t size = 16;
    while (size < wanted.size() * 2)
        size *= 2;
    m_slots.resize(size);
    m_mask = size - 1;
    m_entries.reserve(wanted.size());
    for (const WantedAddress& w : wanted)
        find(w.linkName, true);
    m_pending = m_entries.size();
}

void WantedNames::offer(const char* name, uint32_t value)
{
    if (m_pending == 0 || !name)
        return;
    Entry* entry = find(name, false);
    if (entry && !entry->found) {
        entry->found = true;
        entry->value = value;
        --m_pending;
    }
}

const uint32_t* WantedNames::valueOf(const char* name)
{
    Entry* entry = name ? find(name, false) : nullptr;
    return entry && entry->found ? &entry->value : nullptr;
}

uint64_t WantedNames::hashOf(const char* name)
{
    uint64_t hash = 14695981039346656037ull; // FNV-1a: cheap on short identifiers
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(name); *p; ++p)
        hash = (hash ^ *p) * 1099511628211ull;
    return hash;
}

WantedNames::Entry* WantedNames::find(const char* name, bool insert)
{
    const uint64_t hash = hashOf(name);
    const auto tag = static_cast<uint32_t>(hash >> 32);
    for (std::size_t i = hash & m_mask;; i = (i + 1) & m_mask) {
        Slot& slot = m_slots[i];
        if (slot.entry == 0) {
            if (!insert)
                return nullptr;
            m_entries.push_back({ name, 0, false });
            slot = { tag, static_cast<uint32_t>(m_entries.size()) };
            return &m_entries.back();
        }
        Entry& entry = m_entries[slot.entry - 1];
        if (slot.tag == tag && std::strcmp(entry.name, name) == 0)
            return &entry;
    }
}

std::vector<WantedAddress> wantedGlobalAddresses()
{
    std::vector<WantedAddress> wanted;
    for (IeModule* module = readerState().root.modules; module; module = module->next) {
        for (IeSource* source = module->sources; source; source = source->next) {
            for (IeVaDef* variable = source->variables; variable; variable = variable->next)
                if (variable->scope == 'G' && variable->linkName)
                    wanted.push_back({ variable->linkName, &variable->address, &variable->resolved });
            for (IeFnDef* function = source->functions; function; function = function->next)
                if (function->scope == 'G' && function->linkName)
                    wanted.push_back({ function->linkName, &function->address, &function->resolved });
        }
    }
    return wanted;
}

} // namespace orvik
