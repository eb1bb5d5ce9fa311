// tree_fields.hpp: every field of every tree record named once, for the dumps and the fuzz walker.
#pragma once

#include "orvik.h"

#include <cstdint>

namespace tessaly::dump {

// visitFields(record, visitor) hands each field of the record to the visitor, in the order the
// dumps write them, by what the field holds:
//   string(key, const char*)                  a name or other text of the tree
//   integer(key, int64_t)                     a number as read
//   address(key, uint32_t)                    an address, size or value
//   count(key, uint32_t)                      an unsigned count
//   letter(key, int32_t)                      a byte of the file widened to a word
//   sectionType(key, int32_t)                 IeSection.type
//   reference(key, const Record*)             a record of another list: an IeSection of the
//                                             root, an IeTypeRef of the module
//   typeDef(key, const IeTypeDef*, int32_t)   a resolved type number, with the number
//   object(key, const Record*)                a payload that belongs to this record, or null
//   absent(key, const void*)                  a payload this record's kind does not have
//   list(key, const Parent&, const Record*)   the head of a list of child records
// A visitor recurses into lists and objects by calling visitFields on their records.

// The name of each kind of record, as the text dump writes it.
template <typename Record> inline constexpr const char* kRecordName = nullptr;
template <> inline constexpr const char* kRecordName<IeSection> = "section";
template <> inline constexpr const char* kRecordName<IeSymbol> = "symbol";
template <> inline constexpr const char* kRecordName<IeModule> = "module";
template <> inline constexpr const char* kRecordName<IeSource> = "source";
template <> inline constexpr const char* kRecordName<IeTypeDef> = "typeDef";
template <> inline constexpr const char* kRecordName<IeModSection> = "modSection";
template <> inline constexpr const char* kRecordName<IeModSymbol> = "modSymbol";
template <> inline constexpr const char* kRecordName<IeTypeRef> = "typeRef";
template <> inline constexpr const char* kRecordName<IeSecUse> = "secUse";
template <> inline constexpr const char* kRecordName<IeFnDef> = "function";
template <> inline constexpr const char* kRecordName<IeVaDef> = "variable";
template <> inline constexpr const char* kRecordName<IeFnRef> = "fnRef";
template <> inline constexpr const char* kRecordName<IeVaRef> = "vaRef";
template <> inline constexpr const char* kRecordName<IeStackInfo> = "stackInfo";
template <> inline constexpr const char* kRecordName<IeEnumItem> = "item";
template <> inline constexpr const char* kRecordName<IeRecordMember> = "member";
template <> inline constexpr const char* kRecordName<IeFunctionParam> = "param";

// Sections and symbols come before the modules that point into them.
template <typename Visitor> void visitFields(const IeRoot& r, Visitor& v)
{
    v.string("cpuName", r.cpuName);
    v.string("moduleName", r.moduleName);
    v.string("revision", r.revision);
    v.string("version", r.version);
    v.list("sections", r, r.sections);
    v.list("symbols", r, r.symbols);
    v.list("modules", r, r.modules);
}

template <typename Visitor> void visitFields(const IeSection& r, Visitor& v)
{
    v.integer("index", r.index);
    v.string("name", r.name);
    v.sectionType("type", r.type);
    v.integer("alignment", r.alignment);
    v.address("size", r.size);
    v.address("start", r.start);
}

template <typename Visitor> void visitFields(const IeSymbol& r, Visitor& v)
{
    v.string("name", r.name);
    v.integer("kind", r.kind);
    v.integer("attribute", r.attribute);
    v.integer("extra", r.extra);
    v.address("value", r.value);
}

template <typename Visitor> void visitFields(const IeModule& r, Visitor& v)
{
    v.string("name", r.name);
    v.list("sources", r, r.sources);
    v.list("typeDefs", r, r.typeDefs);
    v.list("sections", r, r.sections);
    v.list("symbols", r, r.symbols);
    v.list("typeRefs", r, r.typeRefs);
}

template <typename Visitor> void visitFields(const IeModSection& r, Visitor& v)
{
    v.integer("kind", r.kind);
    v.integer("sectionIndex", r.sectionIndex);
    v.address("start", r.start);
    v.address("size", r.size);
    v.reference("section", r.section);
}

template <typename Visitor> void visitFields(const IeModSymbol& r, Visitor& v)
{
    v.string("name", r.name);
    v.integer("kind", r.kind);
    v.integer("attribute", r.attribute);
    v.integer("extra1", r.extra1);
    v.integer("extra2", r.extra2);
    v.address("value", r.value);
}

template <typename Visitor> void visitFields(const IeTypeRef& r, Visitor& v)
{
    v.letter("kind", r.kind);
    v.string("name", r.name);
    v.letter("letter", r.letter);
    v.integer("typeIndex", r.typeIndex);
    v.string("function", r.function);
    v.typeDef("typeDef", r.typeDef, r.typeIndex);
}

template <typename Visitor> void visitFields(const IeSource& r, Visitor& v)
{
    v.string("name", r.name);
    v.list("sectionUses", r, r.sectionUses);
    v.list("functions", r, r.functions);
    v.list("fnRefs", r, r.fnRefs);
    v.list("variables", r, r.variables);
    v.list("vaRefs", r, r.vaRefs);
}

template <typename Visitor> void visitFields(const IeSecUse& r, Visitor& v)
{
    v.letter("subKind", r.subKind);
    v.string("sectionName", r.sectionName);
    v.string("name2", r.name2);
    v.letter("letter", r.letter);
    v.integer("resolved", r.resolved);
    v.address("start", r.start);
    v.address("size", r.size);
}

template <typename Visitor> void visitFields(const IeFnDef& r, Visitor& v)
{
    v.integer("number", r.number);
    v.string("name", r.name);
    v.string("linkName", r.linkName);
    v.letter("scope", r.scope);
    v.integer("info1", r.info1);
    v.integer("info2", r.info2);
    v.integer("info3", r.info3);
    v.integer("info4", r.info4);
    v.integer("endInfo", r.endInfo);
    v.address("size", r.size);
    v.integer("resolved", r.resolved);
    v.address("address", r.address);
    v.reference("typeRef", r.typeRef);
    v.list("stackInfo", r, r.stackInfo);
    v.list("fnRefs", r, r.fnRefs);
    v.list("vaRefs", r, r.vaRefs);
}

template <typename Visitor> void visitFields(const IeVaDef& r, Visitor& v)
{
    v.string("name", r.name);
    v.string("linkName", r.linkName);
    v.letter("scope", r.scope);
    v.integer("info1", r.info1);
    v.integer("info2", r.info2);
    v.integer("info3", r.info3);
    v.integer("info4", r.info4);
    v.integer("info5", r.info5);
    v.integer("resolved", r.resolved);
    v.address("address", r.address);
    v.string("function", r.function);
    v.reference("typeRef", r.typeRef);
}

template <typename Visitor> void visitFields(const IeFnRef& r, Visitor& v)
{
    v.string("name", r.name);
    v.string("name2", r.name2);
    v.letter("letter", r.letter);
    v.integer("info1", r.info1);
    v.integer("info2", r.info2);
    v.integer("info3", r.info3);
    v.integer("info4", r.info4);
    v.reference("typeRef", r.typeRef);
}

template <typename Visitor> void visitFields(const IeVaRef& r, Visitor& v)
{
    v.string("name", r.name);
    v.letter("letter", r.letter);
    v.integer("info1", r.info1);
    v.integer("info2", r.info2);
    v.integer("info3", r.info3);
    v.integer("info4", r.info4);
    v.integer("info5", r.info5);
    v.reference("typeRef", r.typeRef);
}

template <typename Visitor> void visitFields(const IeStackValue& r, Visitor& v)
{
    v.integer("value", r.value);
}

template <typename Visitor> void visitFields(const IeStackItem& r, Visitor& v)
{
    v.string("name", r.name);
    v.string("name2", r.name2);
    v.letter("letter", r.letter);
    v.integer("info1", r.info1);
    v.integer("info2", r.info2);
}

template <typename Visitor> void visitFields(const IeStackInfo& r, Visitor& v)
{
    v.letter("subKind", r.subKind);
    switch (r.subKind) {
    case 'p':
        v.object("payload", r.payload.value);
        return;
    case 'c':
    case 's':
        v.object("payload", r.payload.item);
        return;
    default:
        v.absent("payload", r.payload.value);
        return;
    }
}

template <typename Visitor> void visitFields(const IeEnumItem& r, Visitor& v)
{
    v.string("name", r.name);
    v.integer("value", r.value);
}

template <typename Visitor> void visitFields(const IeEnumType& r, Visitor& v)
{
    v.string("name", r.name);
    v.list("items", r, r.items);
}

template <typename Visitor> void visitFields(const IePointerType& r, Visitor& v)
{
    v.integer("target", r.target);
    v.typeDef("resolvedTarget", r.resolvedTarget, r.target);
}

template <typename Visitor> void visitFields(const IeRecordMember& r, Visitor& v)
{
    v.string("name", r.name);
    v.integer("type", r.type);
    v.integer("offset", r.offset);
    v.typeDef("resolvedType", r.resolvedType, r.type);
}

template <typename Visitor> void visitFields(const IeRecordType& r, Visitor& v)
{
    v.string("name", r.name);
    v.integer("size", r.size);
    v.list("members", r, r.members);
}

template <typename Visitor> void visitFields(const IeAliasType& r, Visitor& v)
{
    v.string("name", r.name);
    v.integer("type", r.type);
    v.typeDef("resolvedType", r.resolvedType, r.type);
}

template <typename Visitor> void visitFields(const IeArrayType& r, Visitor& v)
{
    v.integer("elementType", r.elementType);
    v.integer("bound", r.bound);
    v.typeDef("resolvedElement", r.resolvedElement, r.elementType);
}

template <typename Visitor> void visitFields(const IeBitFieldType& r, Visitor& v)
{
    v.integer("info1", r.info1);
    v.integer("info2", r.info2);
    v.integer("baseType", r.baseType);
    v.typeDef("resolvedBase", r.resolvedBase, r.baseType);
}

template <typename Visitor> void visitFields(const IeFunctionParam& r, Visitor& v)
{
    v.integer("type", r.type);
    v.typeDef("resolvedType", r.resolvedType, r.type);
}

template <typename Visitor> void visitFields(const IeFunctionType& r, Visitor& v)
{
    v.integer("returnType", r.returnType);
    v.count("paramCount", r.paramCount);
    v.typeDef("resolvedReturn", r.resolvedReturn, r.returnType);
    v.list("params", r, r.params);
}

// The payload is chosen by the letter; 'v' and unknown letters have none.
template <typename Visitor> void visitFields(const IeTypeDef& r, Visitor& v)
{
    v.integer("index", r.index);
    v.letter("letter", r.letter);
    switch (r.letter) {
    case 'N':
        v.object("payload", r.payload.enumeration);
        return;
    case 'O':
    case 'P':
        v.object("payload", r.payload.pointer);
        return;
    case 'S':
    case 'U':
        v.object("payload", r.payload.record);
        return;
    case 'T':
        v.object("payload", r.payload.alias);
        return;
    case 'Z':
        v.object("payload", r.payload.array);
        return;
    case 'g':
        v.object("payload", r.payload.bitField);
        return;
    case 'x':
        v.object("payload", r.payload.function);
        return;
    default:
        v.absent("payload", r.payload.any);
        return;
    }
}

} // namespace tessaly::dump
