// tree_text.cpp: indented text form of the symbol tree, one record per line.
#include "tree_text.hpp"

#include "json_writer.hpp"
#include "tree_index.hpp"

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

namespace tessaly::dump {

namespace {

using SectionIndex = ListIndex<IeSection>;
using TypeDefIndex = ListIndex<IeTypeDef>;
using TypeRefIndex = ListIndex<IeTypeRef>;

std::string hexWord(uint32_t value)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%08x", static_cast<unsigned>(value));
    return text;
}

// The section type word with its letters when every byte is a letter code (0xC1 'A'..0xDA 'Z').
std::string sectionType(int32_t type)
{
    if (type == 0)
        return "0";
    const auto word = static_cast<uint32_t>(type);
    char hex[16];
    std::snprintf(hex, sizeof hex, "0x%x", static_cast<unsigned>(word));
    std::string letters;
    for (int shift = 24; shift >= 0; shift -= 8) {
        const uint32_t byte = (word >> shift) & 0xFF;
        if (byte == 0 && letters.empty())
            continue;
        if (byte < 0xC1 || byte > 0xDA)
            return hex;
        letters.push_back(static_cast<char>('A' + (byte - 0xC1)));
    }
    return std::string(hex) + "(" + letters + ")";
}

// One record line: the indentation and the record's kind, then fields appended by the caller.
class Line {
public:
    Line(std::ostream& out, int depth, std::string_view kind, std::optional<int32_t> position = std::nullopt)
        : m_out(out)
    {
        for (int level = 0; level < depth; ++level)
            m_out << "  ";
        m_out << kind;
        if (position)
            m_out << " #" << *position;
    }
    ~Line() { m_out << '\n'; }
    Line(const Line&) = delete;
    Line& operator=(const Line&) = delete;

    Line& str(std::string_view name, const char* text)
    {
        label(name);
        if (text)
            writeJsonString(m_out, text);
        else
            m_out << "null";
        return *this;
    }

    Line& chr(std::string_view name, int32_t value)
    {
        label(name);
        if (value == 0)
            m_out << "null";
        else if (value > 0x20 && value < 0x7F && value != '\'' && value != '\\')
            m_out << '\'' << static_cast<char>(value) << '\'';
        else if (value > 0 && value <= 0xFF)
            m_out << "'\\x"
                  << "0123456789abcdef"[value >> 4] << "0123456789abcdef"[value & 0x0F] << '\'';
        else
            m_out << value;
        return *this;
    }

    Line& num(std::string_view name, int64_t value)
    {
        label(name);
        m_out << value;
        return *this;
    }

    Line& hex(std::string_view name, uint32_t value)
    {
        label(name);
        m_out << hexWord(value);
        return *this;
    }

    Line& ref(std::string_view name, std::optional<int32_t> position)
    {
        label(name);
        if (position)
            m_out << '#' << *position;
        else
            m_out << "null";
        return *this;
    }

    Line& raw(std::string_view name, std::string_view text)
    {
        label(name);
        m_out << text;
        return *this;
    }

private:
    void label(std::string_view name) { m_out << ' ' << name << '='; }

    std::ostream& m_out;
};

class TreeTextWriter {
public:
    TreeTextWriter(std::ostream& out, const IeRoot& root)
        : m_out(out)
        , m_sections(root.sections)
    {
    }

    void root(const IeRoot& root)
    {
        Line(m_out, 0, "root")
            .str("cpuName", root.cpuName)
            .str("moduleName", root.moduleName)
            .str("revision", root.revision)
            .str("version", root.version);
        forEachInList(root.sections, [&](const IeSection& s, int32_t i) {
            Line(m_out, 1, "section", i)
                .num("index", s.index)
                .str("name", s.name)
                .raw("type", sectionType(s.type))
                .num("alignment", s.alignment)
                .hex("size", s.size)
                .hex("start", s.start);
        });
        forEachInList(root.symbols, [&](const IeSymbol& s, int32_t i) {
            Line(m_out, 1, "symbol", i)
                .str("name", s.name)
                .num("kind", s.kind)
                .num("attribute", s.attribute)
                .num("extra", s.extra)
                .hex("value", s.value);
        });
        forEachInList(root.modules, [&](const IeModule& m, int32_t i) { module(m, i); });
    }

private:
    void module(const IeModule& module, int32_t position)
    {
        m_typeDefs.emplace(module.typeDefs);
        m_typeRefs.emplace(module.typeRefs);
        Line(m_out, 1, "module", position).str("name", module.name);
        forEachInList(module.sources, [&](const IeSource& s, int32_t i) { source(s, i); });
        forEachInList(module.typeDefs, [&](const IeTypeDef& t, int32_t i) { typeDef(t, i); });
        forEachInList(module.sections, [&](const IeModSection& s, int32_t i) {
            Line(m_out, 2, "modSection", i)
                .num("kind", s.kind)
                .num("sectionIndex", s.sectionIndex)
                .hex("start", s.start)
                .hex("size", s.size)
                .ref("section", m_sections.find(s.section));
        });
        forEachInList(module.symbols, [&](const IeModSymbol& s, int32_t i) {
            Line(m_out, 2, "modSymbol", i)
                .str("name", s.name)
                .num("kind", s.kind)
                .num("attribute", s.attribute)
                .num("extra1", s.extra1)
                .num("extra2", s.extra2)
                .hex("value", s.value);
        });
        forEachInList(module.typeRefs, [&](const IeTypeRef& r, int32_t i) {
            Line(m_out, 2, "typeRef", i)
                .chr("kind", r.kind)
                .str("name", r.name)
                .chr("letter", r.letter)
                .num("typeIndex", r.typeIndex)
                .str("function", r.function)
                .ref("typeDef", typeDefPosition(r.typeDef));
        });
    }

    std::optional<int32_t> typeDefPosition(const IeTypeDef* type) const { return m_typeDefs->find(type); }
    std::optional<int32_t> typeRefPosition(const IeTypeRef* ref) const { return m_typeRefs->find(ref); }

    void source(const IeSource& source, int32_t position)
    {
        Line(m_out, 2, "source", position).str("name", source.name);
        forEachInList(source.sectionUses, [&](const IeSecUse& u, int32_t i) {
            Line(m_out, 3, "secUse", i)
                .chr("subKind", u.subKind)
                .str("sectionName", u.sectionName)
                .str("name2", u.name2)
                .chr("letter", u.letter)
                .num("resolved", u.resolved)
                .hex("start", u.start)
                .hex("size", u.size);
        });
        forEachInList(source.functions, [&](const IeFnDef& f, int32_t i) { function(f, i); });
        forEachInList(source.fnRefs, [&](const IeFnRef& r, int32_t i) { fnRef(r, i, 3); });
        forEachInList(source.variables, [&](const IeVaDef& v, int32_t i) {
            Line(m_out, 3, "variable", i)
                .str("name", v.name)
                .str("linkName", v.linkName)
                .chr("scope", v.scope)
                .num("info1", v.info1)
                .num("info2", v.info2)
                .num("info3", v.info3)
                .num("info4", v.info4)
                .num("info5", v.info5)
                .num("resolved", v.resolved)
                .hex("address", v.address)
                .str("function", v.function)
                .ref("typeRef", typeRefPosition(v.typeRef));
        });
        forEachInList(source.vaRefs, [&](const IeVaRef& r, int32_t i) { vaRef(r, i, 3); });
    }

    void function(const IeFnDef& f, int32_t position)
    {
        Line(m_out, 3, "function", position)
            .num("number", f.number)
            .str("name", f.name)
            .str("linkName", f.linkName)
            .chr("scope", f.scope)
            .num("info1", f.info1)
            .num("info2", f.info2)
            .num("info3", f.info3)
            .num("info4", f.info4)
            .num("endInfo", f.endInfo)
            .hex("size", f.size)
            .num("resolved", f.resolved)
            .hex("address", f.address)
            .ref("typeRef", typeRefPosition(f.typeRef));
        forEachInList(f.stackInfo, [&](const IeStackInfo& s, int32_t i) {
            Line line(m_out, 4, "stackInfo", i);
            line.chr("subKind", s.subKind);
            if (s.subKind == 'p' && s.payload.value) {
                line.num("value", s.payload.value->value);
            } else if ((s.subKind == 'c' || s.subKind == 's') && s.payload.item) {
                const IeStackItem& item = *s.payload.item;
                line.str("name", item.name)
                    .str("name2", item.name2)
                    .chr("letter", item.letter)
                    .num("info1", item.info1)
                    .num("info2", item.info2);
            } else {
                line.raw("payload", "null");
            }
        });
        forEachInList(f.fnRefs, [&](const IeFnRef& r, int32_t i) { fnRef(r, i, 4); });
        forEachInList(f.vaRefs, [&](const IeVaRef& r, int32_t i) { vaRef(r, i, 4); });
    }

    void fnRef(const IeFnRef& r, int32_t position, int depth)
    {
        Line(m_out, depth, "fnRef", position)
            .str("name", r.name)
            .str("name2", r.name2)
            .chr("letter", r.letter)
            .num("info1", r.info1)
            .num("info2", r.info2)
            .num("info3", r.info3)
            .num("info4", r.info4)
            .ref("typeRef", typeRefPosition(r.typeRef));
    }

    void vaRef(const IeVaRef& r, int32_t position, int depth)
    {
        Line(m_out, depth, "vaRef", position)
            .str("name", r.name)
            .chr("letter", r.letter)
            .num("info1", r.info1)
            .num("info2", r.info2)
            .num("info3", r.info3)
            .num("info4", r.info4)
            .num("info5", r.info5)
            .ref("typeRef", typeRefPosition(r.typeRef));
    }

    // The type definition's line carries its payload's plain fields; list items follow
    // as child lines.
    void typeDef(const IeTypeDef& type, int32_t position)
    {
        {
            Line line(m_out, 2, "typeDef", position);
            line.num("index", type.index).chr("letter", type.letter);
            if (!typePayloadFields(line, type))
                line.raw("payload", "null");
        }
        if (!type.payload.any)
            return;
        switch (type.letter) {
        case 'N':
            forEachInList(type.payload.enumeration->items, [&](const IeEnumItem& item, int32_t i) {
                Line(m_out, 3, "item", i).str("name", item.name).num("value", item.value);
            });
            break;
        case 'S':
        case 'U':
            forEachInList(type.payload.record->members, [&](const IeRecordMember& member, int32_t i) {
                Line(m_out, 3, "member", i)
                    .str("name", member.name)
                    .num("type", member.type)
                    .num("offset", member.offset)
                    .ref("resolvedType", typeDefPosition(member.resolvedType));
            });
            break;
        case 'x':
            forEachInList(type.payload.function->params, [&](const IeFunctionParam& param, int32_t i) {
                Line(m_out, 3, "param", i)
                    .num("type", param.type)
                    .ref("resolvedType", typeDefPosition(param.resolvedType));
            });
            break;
        default:
            break;
        }
    }

    // Appends the payload's non-list fields; false when there is no payload to show.
    bool typePayloadFields(Line& line, const IeTypeDef& type) const
    {
        if (!type.payload.any)
            return false;
        switch (type.letter) {
        case 'N':
            line.str("name", type.payload.enumeration->name);
            return true;
        case 'O':
        case 'P': {
            const IePointerType& p = *type.payload.pointer;
            line.num("target", p.target).ref("resolvedTarget", typeDefPosition(p.resolvedTarget));
            return true;
        }
        case 'S':
        case 'U': {
            const IeRecordType& r = *type.payload.record;
            line.str("name", r.name).num("size", r.size);
            return true;
        }
        case 'T': {
            const IeAliasType& a = *type.payload.alias;
            line.str("name", a.name).num("type", a.type).ref("resolvedType", typeDefPosition(a.resolvedType));
            return true;
        }
        case 'Z': {
            const IeArrayType& a = *type.payload.array;
            line.num("elementType", a.elementType)
                .num("bound", a.bound)
                .ref("resolvedElement", typeDefPosition(a.resolvedElement));
            return true;
        }
        case 'g': {
            const IeBitFieldType& g = *type.payload.bitField;
            line.num("info1", g.info1)
                .num("info2", g.info2)
                .num("baseType", g.baseType)
                .ref("resolvedBase", typeDefPosition(g.resolvedBase));
            return true;
        }
        case 'x': {
            const IeFunctionType& f = *type.payload.function;
            line.num("returnType", f.returnType)
                .num("paramCount", f.paramCount)
                .ref("resolvedReturn", typeDefPosition(f.resolvedReturn));
            return true;
        }
        default:
            return false;
        }
    }

    std::ostream& m_out;
    SectionIndex m_sections;
    // The lists of the module being written; pointers inside it resolve through these.
    std::optional<TypeDefIndex> m_typeDefs;
    std::optional<TypeRefIndex> m_typeRefs;
};

} // namespace

void writeTreeText(const IeRoot* root, std::ostream& out)
{
    if (!root) {
        out << "null\n";
        return;
    }
    TreeTextWriter(out, *root).root(*root);
}

} // namespace tessaly::dump
