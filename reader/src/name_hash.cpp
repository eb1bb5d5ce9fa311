// name_hash.cpp: building and searching the function and variable name tables.
#include "name_hash.hpp"

#include "reader_state.hpp"

#include <cstring>
#include <unordered_map>
#include <vector>

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

inline void prefetch(const void* address)
{
#if defined(__GNUC__)
    __builtin_prefetch(address);
#else
    (void)address;
#endif
}

// Appends def to its slot's chain; a slot is itself the first link.
template <typename Def>
void insert(HashTable& table, Pool& links, std::array<IeHashLink*, kHashSlots>& tails, Def* def, unsigned slot)
{
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

// Inserts the appended records in the tree's order: bucketed in the order appended, then
// sorted by their source's rank, stably (a counting sort).
template <typename Def>
void insertInTreeOrder(HashTable& table, Pool& links, const std::vector<std::pair<Def*, const IeSource*>>& appended,
    const std::unordered_map<const IeSource*, uint32_t>& rankOf)
{
    constexpr std::size_t kAhead = 8;
    const std::size_t n = appended.size();
    auto& decode = readerState().decode;
    std::vector<uint8_t>& buckets = decode.buckets;
    buckets.resize(n);
    // each record's rank, then from n on the records in the tree's order
    std::vector<uint32_t>& ranks = decode.treeOrder;
    ranks.resize(2 * n);
    uint32_t* order = ranks.data() + n;
    std::vector<uint32_t> firstOfRank(rankOf.size() + 1, 0);
    const IeSource* lastSource = nullptr;
    uint32_t lastRank = 0;
    for (std::size_t i = 0; i < n; ++i) {
        if (i + 2 * kAhead < n)
            prefetch(appended[i + 2 * kAhead].first);
        if (i + kAhead < n && appended[i + kAhead].first->name)
            prefetch(appended[i + kAhead].first->name);
        const Def* def = appended[i].first;
        buckets[i] = static_cast<uint8_t>(nameBucket(def->name ? def->name : ""));
        if (appended[i].second != lastSource) {
            lastSource = appended[i].second;
            lastRank = rankOf.at(lastSource);
        }
        ranks[i] = lastRank;
        ++firstOfRank[lastRank + 1];
    }
    for (std::size_t r = 1; r < firstOfRank.size(); ++r)
        firstOfRank[r] += firstOfRank[r - 1];
    for (std::size_t i = 0; i < n; ++i)
        order[firstOfRank[ranks[i]]++] = static_cast<uint32_t>(i);
    std::array<IeHashLink*, kHashSlots> tails {};
    for (std::size_t k = 0; k < n; ++k)
        insert(table, links, tails, appended[order[k]].first, buckets[order[k]]);
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

// Each list holds its records in the order they were appended, so the tree's order is the
// order of appending, taken source by source in the order of the modules and their sources.
// Walking the lists themselves missed the cache on every record, one after the other; here
// the records are visited in the order they lie in memory, each prefetched ahead.
void buildNameHashes()
{
    auto& state = readerState();
    std::unordered_map<const IeSource*, uint32_t> rankOf;
    for (IeModule* module = state.root.modules; module; module = module->next)
        for (IeSource* source = module->sources; source; source = source->next)
            rankOf.emplace(source, static_cast<uint32_t>(rankOf.size()));
    insertInTreeOrder(state.functionTable, state.functionLinks, state.decode.appendedFunctions, rankOf);
    insertInTreeOrder(state.variableTable, state.variableLinks, state.decode.appendedVariables, rankOf);
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
