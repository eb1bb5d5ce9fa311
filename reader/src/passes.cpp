// passes.cpp: linking section uses and addresses once an IEEE-695 file is decoded.
#include <string_view>
#include <unordered_map>

#include "decoders.hpp"
#include "reader_state.hpp"

namespace orvik {
namespace {

// First element of each name in a list, for lookups that would otherwise walk the list
// once per definition.
template <typename T, typename NameOf>
std::unordered_map<std::string_view, T*> firstByName(T* head, NameOf nameOf)
{
    std::unordered_map<std::string_view, T*> index;
    for (T* item = head; item; item = item->next)
        if (const char* name = nameOf(item))
            index.emplace(name, item);
    return index;
}

template <typename T>
T* lookup(const std::unordered_map<std::string_view, T*>& index, const char* name)
{
    if (!name)
        return nullptr;
    auto found = index.find(name);
    return found != index.end() ? found->second : nullptr;
}

}  // namespace

void resolveSectionUses()
{
    for (IeModule* module = readerState().root.modules; module; module = module->next) {
        bool anyUse = false;
        for (IeSource* source = module->sources; source && !anyUse; source = source->next)
            anyUse = source->sectionUses != nullptr;
        if (!anyUse)
            continue;
        const auto partsBySection = firstByName(module->sections, [](IeModSection* part) {
            return part->section ? part->section->name : nullptr;
        });
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

void resolveAddresses()
{
    auto& root = readerState().root;
    const auto globals = firstByName(root.symbols, [](IeSymbol* symbol) { return symbol->name; });
    for (IeModule* module = root.modules; module; module = module->next) {
        const auto locals = firstByName(module->symbols, [](IeModSymbol* symbol) { return symbol->name; });
        auto resolve = [&](auto* definition, bool local) {
            definition->resolved = 0;
            if (local) {
                if (IeModSymbol* symbol = lookup(locals, definition->linkName)) {
                    definition->address = symbol->value;
                    definition->resolved = 1;
                }
            } else if (IeSymbol* symbol = lookup(globals, definition->linkName)) {
                definition->address = symbol->value;
                definition->resolved = 1;
            }
        };
        for (IeSource* source = module->sources; source; source = source->next) {
            for (IeVaDef* variable = source->variables; variable; variable = variable->next) {
                if (variable->scope == 'G')
                    resolve(variable, false);
                else if (variable->scope == 'L' || variable->scope == 'S')
                    resolve(variable, true);
                else
                    variable->resolved = 0;
            }
            for (IeFnDef* function = source->functions; function; function = function->next) {
                if (function->scope == 'G')
                    resolve(function, false);
                else if (function->scope == 'S')
                    resolve(function, true);
                else
                    function->resolved = 0;
            }
        }
    }
}

}  // namespace orvik
