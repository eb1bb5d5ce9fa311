// tree_json.cpp: JSON form of the symbol tree, record by record in field order.
#include "tree_json.hpp"

#include "json_writer.hpp"
#include "tree_index.hpp"

namespace tessaly::dump {

namespace {

using SectionIndex = ListIndex<IeSection>;
using TypeDefIndex = ListIndex<IeTypeDef>;
using TypeRefIndex = ListIndex<IeTypeRef>;

// Writes key: [ one element per record of the list ].
template <typename Record, typename WriteOne>
void writeList(JsonWriter& json, const char* key, const Record* head, WriteOne&& writeOne)
{
    json.key(key).beginArray();
    forEachInList(head, [&](const Record& record, int32_t) { writeOne(record); });
    json.endArray();
}

// The records inside one module: their pointers resolve through that module's lists.
class ModuleWriter {
public:
    ModuleWriter(JsonWriter& json, const SectionIndex& sections, const IeModule& module)
        : m_json(json)
        , m_sections(sections)
        , m_typeDefs(module.typeDefs)
        , m_typeRefs(module.typeRefs)
    {
    }

    void module(const IeModule& module)
    {
        m_json.beginObject();
        m_json.key("name").string(module.name);
        writeList(m_json, "sources", module.sources, [&](const IeSource& s) { source(s); });
        writeList(m_json, "typeDefs", module.typeDefs, [&](const IeTypeDef& t) { typeDef(t); });
        writeList(m_json, "sections", module.sections, [&](const IeModSection& s) { modSection(s); });
        writeList(m_json, "symbols", module.symbols, [&](const IeModSymbol& s) { modSymbol(s); });
        writeList(m_json, "typeRefs", module.typeRefs, [&](const IeTypeRef& t) { typeRef(t); });
        m_json.endObject();
    }

private:
    void typeDefIndex(const char* key, const IeTypeDef* typeDef) { m_json.key(key).index(m_typeDefs.find(typeDef)); }
    void typeRefIndex(const IeTypeRef* ref) { m_json.key("typeRef").index(m_typeRefs.find(ref)); }

    void source(const IeSource& source)
    {
        m_json.beginObject();
        m_json.key("name").string(source.name);
        writeList(m_json, "sectionUses", source.sectionUses, [&](const IeSecUse& u) { secUse(u); });
        writeList(m_json, "functions", source.functions, [&](const IeFnDef& f) { fnDef(f); });
        writeList(m_json, "fnRefs", source.fnRefs, [&](const IeFnRef& r) { fnRef(r); });
        writeList(m_json, "variables", source.variables, [&](const IeVaDef& v) { vaDef(v); });
        writeList(m_json, "vaRefs", source.vaRefs, [&](const IeVaRef& r) { vaRef(r); });
        m_json.endObject();
    }

    void secUse(const IeSecUse& use)
    {
        m_json.beginObject();
        m_json.key("subKind").character(use.subKind);
        m_json.key("sectionName").string(use.sectionName);
        m_json.key("name2").string(use.name2);
        m_json.key("letter").character(use.letter);
        m_json.key("resolved").integer(use.resolved);
        m_json.key("start").unsignedInteger(use.start);
        m_json.key("size").unsignedInteger(use.size);
        m_json.endObject();
    }

    void fnDef(const IeFnDef& function)
    {
        m_json.beginObject();
        m_json.key("number").integer(function.number);
        m_json.key("name").string(function.name);
        m_json.key("linkName").string(function.linkName);
        m_json.key("scope").character(function.scope);
        m_json.key("info1").integer(function.info1);
        m_json.key("info2").integer(function.info2);
        m_json.key("info3").integer(function.info3);
        m_json.key("info4").integer(function.info4);
        m_json.key("endInfo").integer(function.endInfo);
        m_json.key("size").unsignedInteger(function.size);
        m_json.key("resolved").integer(function.resolved);
        m_json.key("address").unsignedInteger(function.address);
        typeRefIndex(function.typeRef);
        writeList(m_json, "stackInfo", function.stackInfo, [&](const IeStackInfo& s) { stackInfo(s); });
        writeList(m_json, "fnRefs", function.fnRefs, [&](const IeFnRef& r) { fnRef(r); });
        writeList(m_json, "vaRefs", function.vaRefs, [&](const IeVaRef& r) { vaRef(r); });
        m_json.endObject();
    }

    void vaDef(const IeVaDef& variable)
    {
        m_json.beginObject();
        m_json.key("name").string(variable.name);
        m_json.key("linkName").string(variable.linkName);
        m_json.key("scope").character(variable.scope);
        m_json.key("info1").integer(variable.info1);
        m_json.key("info2").integer(variable.info2);
        m_json.key("info3").integer(variable.info3);
        m_json.key("info4").integer(variable.info4);
        m_json.key("info5").integer(variable.info5);
        m_json.key("resolved").integer(variable.resolved);
        m_json.key("address").unsignedInteger(variable.address);
        m_json.key("function").string(variable.function);
        typeRefIndex(variable.typeRef);
        m_json.endObject();
    }

    void fnRef(const IeFnRef& ref)
    {
        m_json.beginObject();
        m_json.key("name").string(ref.name);
        m_json.key("name2").string(ref.name2);
        m_json.key("letter").character(ref.letter);
        m_json.key("info1").integer(ref.info1);
        m_json.key("info2").integer(ref.info2);
        m_json.key("info3").integer(ref.info3);
        m_json.key("info4").integer(ref.info4);
        typeRefIndex(ref.typeRef);
        m_json.endObject();
    }

    void vaRef(const IeVaRef& ref)
    {
        m_json.beginObject();
        m_json.key("name").string(ref.name);
        m_json.key("letter").character(ref.letter);
        m_json.key("info1").integer(ref.info1);
        m_json.key("info2").integer(ref.info2);
        m_json.key("info3").integer(ref.info3);
        m_json.key("info4").integer(ref.info4);
        m_json.key("info5").integer(ref.info5);
        typeRefIndex(ref.typeRef);
        m_json.endObject();
    }

    void stackInfo(const IeStackInfo& info)
    {
        m_json.beginObject();
        m_json.key("subKind").character(info.subKind);
        m_json.key("payload");
        if (info.subKind == 'p' && info.payload.value) {
            m_json.beginObject();
            m_json.key("value").integer(info.payload.value->value);
            m_json.endObject();
        } else if ((info.subKind == 'c' || info.subKind == 's') && info.payload.item) {
            const IeStackItem& item = *info.payload.item;
            m_json.beginObject();
            m_json.key("name").string(item.name);
            m_json.key("name2").string(item.name2);
            m_json.key("letter").character(item.letter);
            m_json.key("info1").integer(item.info1);
            m_json.key("info2").integer(item.info2);
            m_json.endObject();
        } else {
            m_json.null();
        }
        m_json.endObject();
    }

    void typeDef(const IeTypeDef& type)
    {
        m_json.beginObject();
        m_json.key("index").integer(type.index);
        m_json.key("letter").character(type.letter);
        m_json.key("payload");
        typePayload(type);
        m_json.endObject();
    }

    void typePayload(const IeTypeDef& type)
    {
        if (!type.payload.any) {
            m_json.null();
            return;
        }
        switch (type.letter) {
        case 'N': {
            const IeEnumType& e = *type.payload.enumeration;
            m_json.beginObject();
            m_json.key("name").string(e.name);
            writeList(m_json, "items", e.items, [&](const IeEnumItem& item) {
                m_json.beginObject();
                m_json.key("name").string(item.name);
                m_json.key("value").integer(item.value);
                m_json.endObject();
            });
            m_json.endObject();
            return;
        }
        case 'O':
        case 'P': {
            const IePointerType& p = *type.payload.pointer;
            m_json.beginObject();
            m_json.key("target").integer(p.target);
            typeDefIndex("resolvedTarget", p.resolvedTarget);
            m_json.endObject();
            return;
        }
        case 'S':
        case 'U': {
            const IeRecordType& r = *type.payload.record;
            m_json.beginObject();
            m_json.key("name").string(r.name);
            m_json.key("size").integer(r.size);
            writeList(m_json, "members", r.members, [&](const IeRecordMember& member) {
                m_json.beginObject();
                m_json.key("name").string(member.name);
                m_json.key("type").integer(member.type);
                m_json.key("offset").integer(member.offset);
                typeDefIndex("resolvedType", member.resolvedType);
                m_json.endObject();
            });
            m_json.endObject();
            return;
        }
        case 'T': {
            const IeAliasType& a = *type.payload.alias;
            m_json.beginObject();
            m_json.key("name").string(a.name);
            m_json.key("type").integer(a.type);
            typeDefIndex("resolvedType", a.resolvedType);
            m_json.endObject();
            return;
        }
        case 'Z': {
            const IeArrayType& a = *type.payload.array;
            m_json.beginObject();
            m_json.key("elementType").integer(a.elementType);
            m_json.key("bound").integer(a.bound);
            typeDefIndex("resolvedElement", a.resolvedElement);
            m_json.endObject();
            return;
        }
        case 'g': {
            const IeBitFieldType& g = *type.payload.bitField;
            m_json.beginObject();
            m_json.key("info1").integer(g.info1);
            m_json.key("info2").integer(g.info2);
            m_json.key("baseType").integer(g.baseType);
            typeDefIndex("resolvedBase", g.resolvedBase);
            m_json.endObject();
            return;
        }
        case 'x': {
            const IeFunctionType& f = *type.payload.function;
            m_json.beginObject();
            m_json.key("returnType").integer(f.returnType);
            m_json.key("paramCount").unsignedInteger(f.paramCount);
            typeDefIndex("resolvedReturn", f.resolvedReturn);
            writeList(m_json, "params", f.params, [&](const IeFunctionParam& param) {
                m_json.beginObject();
                m_json.key("type").integer(param.type);
                typeDefIndex("resolvedType", param.resolvedType);
                m_json.endObject();
            });
            m_json.endObject();
            return;
        }
        default:
            // A letter without a known payload layout: nothing can be read safely.
            m_json.null();
            return;
        }
    }

    void modSection(const IeModSection& part)
    {
        m_json.beginObject();
        m_json.key("kind").integer(part.kind);
        m_json.key("sectionIndex").integer(part.sectionIndex);
        m_json.key("start").unsignedInteger(part.start);
        m_json.key("size").unsignedInteger(part.size);
        m_json.key("section").index(m_sections.find(part.section));
        m_json.endObject();
    }

    void modSymbol(const IeModSymbol& symbol)
    {
        m_json.beginObject();
        m_json.key("name").string(symbol.name);
        m_json.key("kind").integer(symbol.kind);
        m_json.key("attribute").integer(symbol.attribute);
        m_json.key("extra1").integer(symbol.extra1);
        m_json.key("extra2").integer(symbol.extra2);
        m_json.key("value").unsignedInteger(symbol.value);
        m_json.endObject();
    }

    void typeRef(const IeTypeRef& ref)
    {
        m_json.beginObject();
        m_json.key("kind").character(ref.kind);
        m_json.key("name").string(ref.name);
        m_json.key("letter").character(ref.letter);
        m_json.key("typeIndex").integer(ref.typeIndex);
        m_json.key("function").string(ref.function);
        typeDefIndex("typeDef", ref.typeDef);
        m_json.endObject();
    }

    JsonWriter& m_json;
    const SectionIndex& m_sections;
    TypeDefIndex m_typeDefs;
    TypeRefIndex m_typeRefs;
};

void writeSection(JsonWriter& json, const IeSection& section)
{
    json.beginObject();
    json.key("index").integer(section.index);
    json.key("name").string(section.name);
    json.key("type").integer(section.type);
    json.key("alignment").integer(section.alignment);
    json.key("size").unsignedInteger(section.size);
    json.key("start").unsignedInteger(section.start);
    json.endObject();
}

void writeSymbol(JsonWriter& json, const IeSymbol& symbol)
{
    json.beginObject();
    json.key("name").string(symbol.name);
    json.key("kind").integer(symbol.kind);
    json.key("attribute").integer(symbol.attribute);
    json.key("extra").integer(symbol.extra);
    json.key("value").unsignedInteger(symbol.value);
    json.endObject();
}

} // namespace

void writeTreeJson(const IeRoot* root, std::ostream& out)
{
    JsonWriter json(out);
    if (!root) {
        json.null();
        out << '\n';
        return;
    }
    const SectionIndex sections(root->sections);
    json.beginObject();
    json.key("cpuName").string(root->cpuName);
    json.key("moduleName").string(root->moduleName);
    json.key("revision").string(root->revision);
    json.key("version").string(root->version);
    // Sections and symbols come before the modules that point into them.
    writeList(json, "sections", root->sections, [&](const IeSection& s) { writeSection(json, s); });
    writeList(json, "symbols", root->symbols, [&](const IeSymbol& s) { writeSymbol(json, s); });
    writeList(json, "modules", root->modules, [&](const IeModule& m) { ModuleWriter(json, sections, m).module(m); });
    json.endObject();
    out << '\n';
}

} // namespace tessaly::dump
