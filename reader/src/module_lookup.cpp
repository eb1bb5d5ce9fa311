// module_lookup.cpp: the module lookup of type-definition and assembler-module blocks.
#include "module_lookup.hpp"

#include "read_fault.hpp"
#include "tree_builder.hpp"

#include <algorithm>

namespace orvik {
namespace {

std::string foldCase(std::string_view text)
{
    std::string folded(text);
    for (char& c : folded)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return folded;
}

} // namespace

ModuleLookup::ModuleLookup()
{
    for (IeModule* module = readerState().root.modules; module; module = module->next)
        add(module);
}

IeModule* ModuleLookup::findOrAppend(ModuleLookupCursor& cursor, std::string_view name)
{
    if (IeModule* module = find(cursor, name))
        return module;
    IeModule* module = appendModule(name);
    add(module);
    return module;
}

IeModule* ModuleLookup::selectAssemblerModule(DecodeState& decode, std::string_view name, bool create)
{
    if (!create)
        return nullptr;
    decode.currentModule = findOrAppend(decode.asmBlockCursor, name);
    return decode.currentModule;
}

void ModuleLookup::add(IeModule* module)
{
    m_position.emplace(module, m_order.size());
    m_byKey[keyOf(module->name)].push_back(m_order.size());
    m_order.push_back(module);
}

IeModule* ModuleLookup::find(ModuleLookupCursor& cursor, std::string_view name)
{
    std::size_t start = 0;
    if (cursor.matches != 0 && !cursor.next) {
        start = m_order.size();
    } else if (cursor.matches != 0) {
        // The cursor only ever holds a module this lookup knows.
        const auto position = m_position.find(cursor.next);
        if (position == m_position.end())
            failAtInput(IE_ERROR_READ);
        start = position->second;
    }
    auto found = m_byKey.find(foldCase(name));
    if (found == m_byKey.end())
        return nullptr;
    const auto& positions = found->second;
    auto at = std::lower_bound(positions.begin(), positions.end(), start);
    if (at == positions.end())
        return nullptr;
    IeModule* module = m_order[*at];
    ++cursor.matches;
    cursor.next = module->next;
    return module;
}

std::string ModuleLookup::keyOf(const char* name)
{
    std::string_view whole(name ? name : "");
    const auto slash = whole.rfind('/');
    return foldCase(slash == std::string_view::npos ? whole : whole.substr(slash + 1));
}

} // namespace orvik
