// tree_walk.cpp: the fuzz walker, a visitor of the fields every tree record has.
#include "tree_walk.hpp"

#include "fuzz_check.hpp"
#include "tree_fields.hpp"

#include <string_view>
#include <type_traits>

namespace tessaly::fuzz {
namespace {

using dump::visitFields;

void keep(std::vector<const char*>& names, const char* name)
{
    if (name && names.size() < kNamesPerKind)
        names.push_back(name);
}

// A record belongs to the parent whose list holds it; references belong to their source file
// or to their function, as the list says.
template <typename Record, typename Parent> bool ownedBy(const Record& record, const Parent& parent)
{
    if constexpr (requires { record.owner == &parent; })
        return record.owner == &parent;
    else
        return true; // modules and the items of a payload carry no owner
}
bool ownedBy(const IeFnRef& ref, const IeSource& source)
{
    return ref.owner.source == &source;
}
bool ownedBy(const IeFnRef& ref, const IeFnDef& function)
{
    return ref.owner.function == &function;
}
bool ownedBy(const IeVaRef& ref, const IeSource& source)
{
    return ref.owner.source == &source;
}
bool ownedBy(const IeVaRef& ref, const IeFnDef& function)
{
    return ref.owner.function == &function;
}

class TreeWalk {
public:
    explicit TreeWalk(const IeRoot& root)
        : m_root(root)
    {
    }

    TreeNames names;

    void string(std::string_view, const char* text) { touch(text); }
    void integer(std::string_view, int64_t) { }
    void address(std::string_view, uint32_t) { }
    void count(std::string_view, uint32_t) { }
    void letter(std::string_view, int32_t) { }
    void sectionType(std::string_view, int32_t) { }

    // The section a part names by index belongs to this tree.
    void reference(std::string_view, const IeSection* section)
    {
        if (!section)
            return;
        FUZZ_CHECK(section->owner == &m_root);
        touch(section->name);
    }

    void reference(std::string_view key, const IeTypeRef* ref)
    {
        if (!ref)
            return;
        touch(ref->name);
        touch(ref->function);
        typeDef(key, ref->typeDef, ref->typeIndex);
    }

    // A resolved type field holds a definition of the same module and number, or null.
    void typeDef(std::string_view, const IeTypeDef* resolved, int32_t number)
    {
        if (!resolved)
            return;
        FUZZ_CHECK(resolved->owner == m_module);
        FUZZ_CHECK(resolved->index == number);
    }

    template <typename Record> void object(std::string_view, const Record* record)
    {
        FUZZ_CHECK(record);
        visitFields(*record, *this);
    }

    void absent(std::string_view, const void* payload) { FUZZ_CHECK(payload == nullptr); }

    template <typename Parent, typename Record> void list(std::string_view, const Parent& parent, const Record* head)
    {
        for (const Record* record = head; record; record = record->next) {
            FUZZ_CHECK(ownedBy(*record, parent));
            if constexpr (std::is_same_v<Record, IeModule>)
                m_module = record;
            note(*record);
            visitFields(*record, *this);
        }
    }

private:
    void note(const IeSection& section)
    {
        keep(names.sections, section.name);
        if (names.sectionIndexes.size() < kNamesPerKind)
            names.sectionIndexes.push_back(section.index);
        ++names.sectionCount;
    }
    void note(const IeSymbol& symbol)
    {
        keep(names.symbols, symbol.name);
        ++names.symbolCount;
    }
    void note(const IeModule& module)
    {
        keep(names.modules, module.name);
        ++names.moduleCount;
    }
    void note(const IeSource& source)
    {
        keep(names.sources, source.name);
        ++names.sourceCount;
    }
    void note(const IeFnDef& function) { keep(names.functions, function.name); }
    void note(const IeVaDef& variable)
    {
        keep(names.variables, variable.name);
        keep(names.variableFunctions, variable.function);
    }
    // Stack information is a value ('p') or an item ('c', 's'); the reader makes no other kind.
    void note(const IeStackInfo& info)
    {
        FUZZ_CHECK(info.subKind == 'p' || info.subKind == 'c' || info.subKind == 's');
    }
    template <typename Record> void note(const Record&) { }

    const IeRoot& m_root;
    const IeModule* m_module = nullptr;
};

} // namespace

TreeNames walkTree(const IeRoot* root)
{
    TreeWalk walk(*root);
    visitFields(*root, walk);
    return walk.names;
}

} // namespace tessaly::fuzz
