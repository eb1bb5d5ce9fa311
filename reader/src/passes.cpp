// passes.cpp: linking section uses and addresses once an IEEE-695 file is decoded.
#include "decoders.hpp"
#include "keyed_hash.hpp"
#include "reader_state.hpp"
#include "wanted_names.hpp"

#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace orvik {
namespace {

// First element of each name in a list, for lookups that would otherwise walk the list
// once per definition.
template <typename T, typename NameOf> keyed::NameMap<std::string_view, T*> firstByName(T* head, NameOf nameOf)
{
    keyed::NameMap<std::string_view, T*> index;
    for (T* item = head; item; item = item->next)
        if (const char* name = nameOf(item))
            index.emplace(name, item);
    return index;
}

template <typename T> T* lookup(const keyed::NameMap<std::string_view, T*>& index, const char* name)
{
    if (!name)
        return nullptr;
    auto found = index.find(name);
    return found != index.end() ? found->second : nullptr;
}

} // namespace

void resolveSectionUses()
{
    for (IeModule* module = readerState().root.modules; module; module = module->next) {
        bool anyUse = false;
        for (IeSource* source = module->sources; source && !anyUse; source = source->next)
            anyUse = source->sectionUses != nullptr;
        if (!anyUse)
            continue;
        const auto partsBySection = firstByName(
            module->sections, [](IeModSection* part) { return part->section ? part->section->name : nullptr; });
        for (IeSource* source = module->sources; source; source = source->next) {
            for (IeSecUse* use = source->sectionUses; use; use = use->next) {
                IeModSection* part = lookup(partsBySection, use->sectionName);
                use->resolved = part ? 1 : 0;
                if (part) {
                    use->start = part->start;
                    use->size = part->size;
                }
            }
        }
    }
}

namespace {

// Gives each wanted definition the value of the first symbol of its name in the list.
template <typename Symbol> void resolveAgainst(Symbol* symbols, std::vector<WantedAddress> wanted)
{
    if (wanted.empty())
        return;
    WantedNames names(std::move(wanted));
    for (Symbol* symbol = symbols; symbol && !names.allFound(); symbol = symbol->next)
        names.offer(symbol->name, symbol->value);
    names.resolve();
}

template <typename Definition> void want(std::vector<WantedAddress>& wanted, Definition* definition)
{
    if (definition->linkName)
        wanted.push_back({ definition->linkName, &definition->address, &definition->resolved });
}

} // namespace

void resolveAddresses()
{
    auto& state = readerState();
    std::vector<WantedAddress> locals;
    for (IeModule* module = state.root.modules; module; module = module->next) {
        locals.clear();
        for (IeSource* source = module->sources; source; source = source->next) {
            for (IeVaDef* variable = source->variables; variable; variable = variable->next) {
                variable->resolved = 0;
                if (variable->scope == 'L' || variable->scope == 'S')
                    want(locals, variable);
            }
            for (IeFnDef* function = source->functions; function; function = function->next) {
                function->resolved = 0;
                if (function->scope == 'S')
                    want(locals, function);
            }
        }
        resolveAgainst(module->symbols, std::move(locals));
    }
    // The decoder offers every global symbol to the names it knew it would need, while the
    // symbol was still in cache; otherwise walk the list here. The definitions it knew are
    // all there are: only the environment part makes them.
    if (state.decode.offersGlobals) {
        state.decode.globalNames.resolve();
    } else {
        std::vector<WantedAddress> wanted;
        collectWantedGlobalAddresses(wanted);
        resolveAgainst(state.root.symbols, std::move(wanted));
    }
}

} // namespace orvik
