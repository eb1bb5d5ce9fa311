// ieee695_types.cpp: reading TY records, resolving type numbers, matching type references.
#include "ieee695_types.hpp"

#include "keyed_hash.hpp"
#include "tree_builder.hpp"
#include "type_numbers.hpp"

#include <string>
#include <string_view>

namespace orvik {

using namespace ieee695;

uint8_t Ieee695TypeBlocks::readTypeBlock()
{
    skipNumber();
    const std::string moduleName(name());
    IeModule* module = m_modules.findOrAppend(m_decode.typeBlockCursor, moduleName);
    m_decode.currentModule = module;
    ModuleTypes& types = m_types[module];
    if (!types.referencesMatched) {
        // The sources and type references all come from the environment part, so the
        // matching gives the same result for every block of this module: do it once.
        matchTypeReferences(module);
        types.referencesMatched = true;
    }
    m_blockTypes.clear();
    uint8_t code = m_in.byte();
    while (code != kBlockEnd) {
        if (code == kNameRecord) {
            skipNumber();
            m_decode.lastTypeName = name();
            code = m_in.byte();
        } else if (code == kTypeRecord) {
            code = readTypeRecord(module, types);
        } else {
            code = skipToRecordCode();
        }
    }
    resolveTypes(types);
    return m_in.byte();
}

const char* Ieee695TypeBlocks::lastTypeName()
{
    return m_decode.lastTypeName.empty() ? nullptr : m_state.storeName(m_decode.lastTypeName);
}

uint8_t Ieee695TypeBlocks::readTypeRecord(IeModule* module, ModuleTypes& types)
{
    IeTypeDef* type = appendTypeDef(module);
    const uint32_t index = number();
    type->index = static_cast<int32_t>(index);
    m_in.byte(); // the name-index letter
    skipNumber();
    type->letter = m_in.byte();
    m_blockTypes.push_back(type);
    types.firstByIndex.add(index, type);

    uint8_t next;
    switch (type->letter) {
    case 'N': {
        auto* payload = m_state.newRecord<IeEnumType>();
        type->payload.enumeration = payload;
        uint8_t b = m_in.byte();
        if (b == 0) {
            skipNumber();
            b = m_in.byte();
        }
        payload->name = lastTypeName();
        IeEnumItem* tail = nullptr;
        uint32_t at = m_in.offset() - 1;
        while (!ieee695::isRecordCode(b)) {
            auto* item = m_state.newRecord<IeEnumItem>();
            appendLocal(payload->items, tail, item);
            item->name = m_state.storeName(shortName(b, at));
            item->value = signedNumber();
            at = m_in.offset();
            b = m_in.byte();
        }
        next = b;
        break;
    }
    case 'O':
    case 'P': {
        auto* payload = m_state.newRecord<IePointerType>();
        type->payload.pointer = payload;
        payload->target = signedNumber();
        next = m_in.byte();
        break;
    }
    case 'S':
    case 'U': {
        auto* payload = m_state.newRecord<IeRecordType>();
        type->payload.record = payload;
        payload->name = lastTypeName();
        payload->size = signedNumber();
        IeRecordMember* tail = nullptr;
        uint32_t at = m_in.offset();
        uint8_t b = m_in.byte();
        while (!ieee695::isRecordCode(b)) {
            auto* member = m_state.newRecord<IeRecordMember>();
            appendLocal(payload->members, tail, member);
            member->name = m_state.storeName(shortName(b, at));
            member->type = signedNumber();
            member->offset = signedNumber();
            at = m_in.offset();
            b = m_in.byte();
        }
        next = b;
        break;
    }
    case 'T': {
        auto* payload = m_state.newRecord<IeAliasType>();
        type->payload.alias = payload;
        payload->name = lastTypeName();
        payload->type = signedNumber();
        next = m_in.byte();
        break;
    }
    case 'Z': {
        auto* payload = m_state.newRecord<IeArrayType>();
        type->payload.array = payload;
        payload->elementType = signedNumber();
        payload->bound = signedNumber();
        next = m_in.byte();
        break;
    }
    case 'g': {
        auto* payload = m_state.newRecord<IeBitFieldType>();
        type->payload.bitField = payload;
        payload->info1 = signedNumber();
        payload->info2 = signedNumber();
        payload->baseType = signedNumber();
        next = m_in.byte();
        break;
    }
    case 'v':
        next = m_in.byte();
        break;
    case 'x': {
        auto* payload = m_state.newRecord<IeFunctionType>();
        type->payload.function = payload;
        skipNumbers(3);
        payload->returnType = signedNumber();
        payload->paramCount = number();
        if (payload->paramCount != 0 && payload->paramCount != 0xFFFFFFFFu) {
            IeFunctionParam* tail = nullptr;
            for (uint32_t i = 0; i < payload->paramCount; ++i) {
                auto* param = m_state.newRecord<IeFunctionParam>();
                appendLocal(payload->params, tail, param);
                param->type = signedNumber();
            }
        }
        skipNumber();
        next = m_in.byte();
        break;
    }
    default:
        next = skipToRecordCode();
        break;
    }

    if (index >= 256)
        linkTypeReferences(module, types, index, type);
    return next;
}

// Every type reference of the module numbered index now names this definition.
void Ieee695TypeBlocks::linkTypeReferences(IeModule* module, ModuleTypes& types, uint32_t index, IeTypeDef* type)
{
    if (!types.referencesIndexed) {
        for (IeTypeRef* ref = module->typeRefs; ref; ref = ref->next)
            types.referencesByIndex[static_cast<uint32_t>(ref->typeIndex)].push_back(ref);
        types.referencesIndexed = true;
    }
    auto found = types.referencesByIndex.find(index);
    if (found == types.referencesByIndex.end())
        return;
    for (IeTypeRef* ref : found->second)
        ref->typeDef = type;
}

// Resolves the type numbers of this block's definitions, and the fields of earlier
// blocks that waited for a number this block defines. A resolved field always holds
// the module's first definition of its number, as a full re-resolution would.
void Ieee695TypeBlocks::resolveTypes(ModuleTypes& types)
{
    auto resolve = [&](int32_t number, IeTypeDef*& field) {
        const auto key = static_cast<uint32_t>(number);
        if (key < 256) {
            field = nullptr;
            return;
        }
        if (IeTypeDef* found = types.firstByIndex.find(key)) {
            field = found;
            return;
        }
        field = nullptr;
        types.waiting[key].push_back(&field);
    };
    for (IeTypeDef* type : m_blockTypes)
        forEachTypeNumber(type, resolve);
    for (IeTypeDef* type : m_blockTypes) {
        auto waiting = types.waiting.find(static_cast<uint32_t>(type->index));
        if (waiting == types.waiting.end())
            continue;
        // Every definition of this block is in firstByIndex, so the search always succeeds.
        IeTypeDef* first = types.firstByIndex.find(static_cast<uint32_t>(type->index));
        if (!first)
            failAtInput(IE_ERROR_READ);
        for (IeTypeDef** field : waiting->second)
            *field = first;
        types.waiting.erase(waiting);
    }
}

// Gives each definition and reference of the module's sources the first type reference of
// its name, with the extra conditions that local variables carry.
void Ieee695TypeBlocks::matchTypeReferences(IeModule* module)
{
    keyed::NameMap<std::string_view, IeTypeRef*> byName;
    std::vector<IeTypeRef*> all;
    for (IeTypeRef* ref = module->typeRefs; ref; ref = ref->next) {
        if (ref->name)
            byName.emplace(ref->name, ref);
        all.push_back(ref);
    }
    if (all.empty())
        return;
    auto firstNamed = [&](const char* name) -> IeTypeRef* {
        if (!name)
            return nullptr;
        auto found = byName.find(name);
        return found != byName.end() ? found->second : nullptr;
    };
    // Local variables and local references also need the function to agree: index the
    // first reference per (name, function), once over all references and once over those
    // with letter 'L'.
    auto key = [](const char* name, const char* function) {
        std::string k(name ? name : "");
        k.push_back('\0');
        if (function) {
            k.push_back('1');
            k.append(function);
        }
        return k;
    };
    keyed::NameMap<std::string, IeTypeRef*> byNameAndFunction;
    keyed::NameMap<std::string, IeTypeRef*> localByNameAndFunction;
    for (IeTypeRef* ref : all) {
        if (!ref->name)
            continue;
        byNameAndFunction.emplace(key(ref->name, ref->function), ref);
        if (ref->letter == 'L')
            localByNameAndFunction.emplace(key(ref->name, ref->function), ref);
    }
    auto firstIn = [&](const keyed::NameMap<std::string, IeTypeRef*>& index, const char* name,
                       const char* function) -> IeTypeRef* {
        if (!name)
            return nullptr;
        auto found = index.find(key(name, function));
        return found != index.end() ? found->second : nullptr;
    };
    auto assign = [](IeTypeRef*& field, IeTypeRef* match) {
        if (match)
            field = match;
    };

    for (IeSource* source = module->sources; source; source = source->next) {
        for (IeVaDef* variable = source->variables; variable; variable = variable->next) {
            if (variable->scope == 'L')
                assign(variable->typeRef, firstIn(localByNameAndFunction, variable->name, variable->function));
            else
                assign(variable->typeRef, firstNamed(variable->name));
        }
        for (IeVaRef* ref = source->vaRefs; ref; ref = ref->next)
            assign(ref->typeRef, firstNamed(ref->name));
        for (IeFnDef* function = source->functions; function; function = function->next) {
            assign(function->typeRef, firstNamed(function->name));
            for (IeVaRef* ref = function->vaRefs; ref; ref = ref->next) {
                if (ref->letter == 'L')
                    assign(ref->typeRef, firstIn(byNameAndFunction, ref->name, function->name));
                else
                    assign(ref->typeRef, firstNamed(ref->name));
            }
            for (IeFnRef* ref = function->fnRefs; ref; ref = ref->next)
                assign(ref->typeRef, firstNamed(ref->name));
        }
        for (IeFnRef* ref = source->fnRefs; ref; ref = ref->next)
            assign(ref->typeRef, firstNamed(ref->name));
    }
}

} // namespace orvik
