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

namespace {

uint64_t load64(const char* p)
{
    uint64_t word;
    std::memcpy(&word, p, 8);
    return word;
}

uint32_t load32(const char* p)
{
    uint32_t word;
    std::memcpy(&word, p, 4);
    return word;
}

} // namespace

uint64_t WantedNames::hashOf(std::string_view name, bool& holdsNul)
{
    constexpr uint64_t kMultiplier = 0x9E3779B97F4A7C15ull;
    constexpr uint64_t kLowBits = 0x0101010101010101ull;
    constexpr uint64_t kHighBits = 0x8080808080808080ull;
    const char* p = name.data();
    const std::size_t n = name.size();
    uint64_t hash = n * kMultiplier;
    // Every byte of the name lies in some word mixed, and a word has a zero byte exactly when
    // (word - 0x01..01) & ~word & 0x80..80 is not zero; the last mask is taken once, of all.
    uint64_t zeros = 0;
    uint64_t highBits = kHighBits;
    auto mix = [&](uint64_t word, uint64_t lanes) {
        zeros |= (word - (kLowBits & lanes)) & ~word;
        hash = (hash ^ word) * kMultiplier;
        hash ^= hash >> 29;
    };
    if (n - 8 <= 8) {
        // Most names: the first and the last eight bytes, overlapping, without the loop's steps.
        mix(load64(p), ~uint64_t { 0 });
        mix(load64(p + n - 8), ~uint64_t { 0 });
    } else if (n > 16) {
        std::size_t i = 0;
        for (; i + 8 <= n; i += 8)
            mix(load64(p + i), ~uint64_t { 0 });
        if (i < n)
            mix(load64(p + n - 8), ~uint64_t { 0 }); // the last eight bytes, overlapping the word before
    } else if (n >= 4) {
        mix(load32(p) | uint64_t { load32(p + n - 4) } << 32, ~uint64_t { 0 });
    } else if (n > 0) {
        mix(uint64_t { static_cast<unsigned char>(p[0]) } | uint64_t { static_cast<unsigned char>(p[n / 2]) } << 8
                | uint64_t { static_cast<unsigned char>(p[n - 1]) } << 16,
            0xFFFFFF);
    }
    if (n < 4)
        highBits = 0x808080; // the three bytes of a short name's word
    holdsNul = (zeros & highBits) != 0;
    // The slots take the low bits, the tag and the filter the high ones: mix both ways.
    hash *= 0xBF58476D1CE4E5B9ull;
    return hash ^ (hash >> 31);
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
