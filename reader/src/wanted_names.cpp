// wanted_names.cpp: finding the first symbol of each wanted link name in one pass.
#include "wanted_names.hpp"

#include "reader_state.hpp"

#include <cstring>
#include <utility>

namespace orvik {

WantedNames::WantedNames(std::vector<WantedAddress> definitions)
{
    m_wanted = std::move(definitions);
    rebuild();
}

void WantedNames::release()
{
    *this = WantedNames();
}

void WantedNames::rebuild()
{
    const std::vector<WantedAddress>& wanted = m_wanted;
    std::size_t size = 16;
    while (size < wanted.size() * 2)
        size *= 2;
    m_slots.assign(size, Slot {});
    m_mask = size - 1;
    // About twenty bits a name, at most 2^20 (128 KiB, which stays in L2): with 50,000 wanted
    // names, one in a hundred of the names nobody wants still reaches the slots.
    unsigned bits = 10;
    while (bits < 20 && (std::size_t { 1 } << bits) < wanted.size() * 20)
        ++bits;
    m_filter.assign((std::size_t { 1 } << bits) / 64, 0);
    m_filterShift = 64 - (bits - 6);
    m_entries.clear();
    m_entries.reserve(wanted.size());
    m_entryOf.clear();
    m_entryOf.reserve(wanted.size());
    for (const WantedAddress& w : wanted) {
        const std::string_view name(w.linkName);
        bool holdsNul = false; // a C string: none
        const uint64_t hash = hashOf(name, holdsNul);
        m_entryOf.push_back(static_cast<uint32_t>(find(name, hash, true) - m_entries.data()));
        filterAdd(hash);
    }
    m_pending = m_entries.size();
}

void WantedNames::take(Entry* entry, uint32_t value)
{
    if (entry && !entry->found) {
        entry->found = true;
        entry->value = value;
        --m_pending;
    }
}

void WantedNames::resolve() const
{
    for (std::size_t i = 0; i < m_wanted.size(); ++i) {
        const Entry& entry = m_entries[m_entryOf[i]];
        if (entry.found) {
            *m_wanted[i].address = entry.value;
            *m_wanted[i].resolved = 1;
        }
    }
}

uint64_t WantedNames::hashOf(std::string_view name, bool& holdsNul) const
{
    // A word has a zero byte exactly when (word - 0x01..01) & ~word & 0x80..80 is not zero; the
    // last mask is taken once, of all the words.
    constexpr uint64_t kLowBits = 0x0101010101010101ull;
    uint64_t zeros = 0;
    const uint64_t hash = keyed::nameHash(
        name, m_key, [&](uint64_t word, uint64_t lanes) { zeros |= (word - (kLowBits & lanes)) & ~word; });
    // a short name's word holds three bytes
    holdsNul = (zeros & (name.size() < 4 ? 0x808080ull : 0x8080808080808080ull)) != 0;
    return hash;
}

WantedNames::Entry* WantedNames::find(std::string_view name, uint64_t hash, bool insert)
{
    const auto tag = static_cast<uint32_t>(hash >> 32);
    for (std::size_t i = hash & m_mask;; i = (i + 1) & m_mask) {
        Slot& slot = m_slots[i];
        if (slot.entry == 0) {
            if (!insert)
                return nullptr;
            m_entries.push_back({ name.data(), static_cast<uint32_t>(name.size()), 0, false });
            slot = { tag, static_cast<uint32_t>(m_entries.size()) };
            return &m_entries.back();
        }
        Entry& entry = m_entries[slot.entry - 1];
        if (slot.tag == tag && entry.length == name.size() && std::memcmp(entry.name, name.data(), name.size()) == 0)
            return &entry;
    }
}

void collectWantedGlobalAddresses(std::vector<WantedAddress>& wanted)
{
    wanted.clear();
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
}

} // namespace orvik
