// framed_types.cpp: building type definitions from framed type descriptions, and linking them.
#include "framed_types.hpp"

#include "reader_state.hpp"
#include "tree_builder.hpp"
#include "type_numbers.hpp"

namespace orvik {
namespace {

constexpr int kMaxNesting = 200;

constexpr uint8_t kDescriptionEnd = 0xB6;
constexpr uint8_t kFunctionType = 0xC8;
constexpr uint8_t kEnumeration = 0xCA;
constexpr uint8_t kStructure = 0xCC;
constexpr uint8_t kArray = 0xCE;
constexpr uint8_t kPointer = 0xD0;

} // namespace

std::optional<int32_t> baseTypeNumber(uint8_t code, uint32_t size, uint8_t flags, uint16_t named)
{
    const int32_t high = flags >> 6;
    const int32_t low = flags & 0x3F;
    switch (code) {
    case 0:
        return 1;
    case 2:
        return high == 0 ? 19 : high == 1 ? 3 : high;
    case 3:
    case 5:
        if (size == 2 && high <= 1)
            return high == 0 ? 23 : 5;
        if (size == 4 && high <= 1)
            return high == 0 ? 16 : 18;
        return high;
    case 4:
        return low == 0 ? 10 : low == 1 ? 11 : low;
    case 8:
        return 16;
    case 9:
        return 255;
    case 10:
    case 11:
        return kNumberedType + named;
    default:
        return std::nullopt;
    }
}

void linkModuleTypes(ModuleTypeLinks& links)
{
    links.firstByIndex.reserve(links.firstByIndex.size() + links.newDefs.size());
    for (IeTypeDef* def : links.newDefs) {
        if (!links.firstByIndex.add(static_cast<uint32_t>(def->index), def))
            continue;
        if (auto waiting = links.waitingFields.find(def->index); waiting != links.waitingFields.end()) {
            for (IeTypeDef** field : waiting->second)
                *field = def;
            links.waitingFields.erase(waiting);
        }
        if (auto waiting = links.waitingRefs.find(def->index); waiting != links.waitingRefs.end()) {
            for (IeTypeRef* ref : waiting->second)
                ref->typeDef = def;
            links.waitingRefs.erase(waiting);
        }
    }
    for (IeTypeRef* ref : links.newRefs) {
        if (ref->typeDef || ref->typeIndex < 256)
            continue;
        if (IeTypeDef* found = links.firstByIndex.find(static_cast<uint32_t>(ref->typeIndex)))
            ref->typeDef = found;
        else
            links.waitingRefs[ref->typeIndex].push_back(ref);
    }
    auto resolve = [&](int32_t number, IeTypeDef*& field) {
        field = nullptr;
        if (static_cast<uint32_t>(number) < 256)
            return;
        if (IeTypeDef* found = links.firstByIndex.find(static_cast<uint32_t>(number)))
            field = found;
        else
            links.waitingFields[number].push_back(&field);
    };
    for (IeTypeDef* type : links.newDefs)
        forEachTypeNumber(type, resolve);
    links.newDefs.clear();
    links.newRefs.clear();
}

IeTypeDef* FramedTypes::newType(char letter, int32_t index)
{
    if (!m_module)
        m_records.fault();
    auto& state = readerState();
    IeTypeDef* type = appendTypeDef(m_module);
    type->index = index;
    type->letter = letter;
    switch (letter) {
    case 'N':
        type->payload.enumeration = state.newRecord<IeEnumType>();
        break;
    case 'O':
    case 'P':
        type->payload.pointer = state.newRecord<IePointerType>();
        break;
    case 'S':
    case 'U':
        type->payload.record = state.newRecord<IeRecordType>();
        break;
    case 'T':
        type->payload.alias = state.newRecord<IeAliasType>();
        break;
    case 'Z':
        type->payload.array = state.newRecord<IeArrayType>();
        break;
    case 'g':
        type->payload.bitField = state.newRecord<IeBitFieldType>();
        break;
    case 'x':
        type->payload.function = state.newRecord<IeFunctionType>();
        break;
    default:
        break;
    }
    m_links->newDefs.push_back(type);
    return type;
}

void FramedTypes::Chain::add(IeTypeDef* type, ElementSlot slot)
{
    if (!first)
        first = type;
    if (pending.number) {
        *pending.number = type->index;
        *pending.record = type;
    }
    pending = slot;
}

void FramedTypes::enter()
{
    if (++m_nesting > kMaxNesting)
        m_records.fault();
}

int32_t FramedTypes::baseType(uint32_t* size, uint8_t* flags)
{
    const uint8_t code = m_records.byte();
    const uint32_t z = m_records.u32();
    const uint8_t c = m_records.byte();
    const uint16_t named = (code == 10 || code == 11) ? m_records.u16() : 0;
    const std::optional<int32_t> number = baseTypeNumber(code, z, c, named);
    if (!number)
        m_records.fault();
    if (size)
        *size = z;
    if (flags)
        *flags = c;
    return *number;
}

TypeResult FramedTypes::description(const char* name, int32_t ownNumber, bool asUnion)
{
    enter();
    m_records.next(); // opens the description
    m_records.next();
    uint32_t size = 0;
    const int32_t base = baseType(&size);
    Chain chain;
    for (m_records.next(); !m_records.is(kDescriptionEnd); m_records.next()) {
        switch (m_records.kind()) {
        case kPointer & 0x7F: {
            IeTypeDef* pointer = newType('P', anonymousNumber());
            chain.add(pointer, { &pointer->payload.pointer->target, &pointer->payload.pointer->resolvedTarget });
            break;
        }
        case kArray & 0x7F:
            arrayDimensions(chain);
            break;
        case kEnumeration & 0x7F:
            enumeration(chain, name, ownNumber);
            break;
        case kStructure & 0x7F:
            record(chain, name, ownNumber, asUnion, size);
            break;
        case kFunctionType & 0x7F: {
            IeTypeDef* function = functionType(ownNumber);
            IeFunctionType* payload = function->payload.function;
            chain.add(function, { &payload->returnType, &payload->resolvedReturn });
            parameters(payload, name);
            break;
        }
        default:
            break; // records a description may carry that build nothing
        }
    }
    finish(chain, base);
    leave();
    return chain.first ? TypeResult { chain.first, 0 } : TypeResult { nullptr, base };
}

TypeResult FramedTypes::functionDescription(const char* name, int32_t ownNumber)
{
    enter();
    m_records.next();
    m_records.next();
    const int32_t base = baseType();
    IeTypeDef* function = functionType(ownNumber);
    IeFunctionType* payload = function->payload.function;
    Chain chain;
    chain.add(function, { &payload->returnType, &payload->resolvedReturn });
    for (m_records.next(); !m_records.is(kFunctionType); m_records.next()) {
        IeTypeDef* pointer = newType('P', anonymousNumber());
        chain.add(pointer, { &pointer->payload.pointer->target, &pointer->payload.pointer->resolvedTarget });
    }
    finish(chain, base);
    parameters(payload, name);
    for (m_records.next(); !m_records.is(kDescriptionEnd); m_records.next()) { }
    leave();
    return { function, 0 };
}

void FramedTypes::finish(Chain& chain, int32_t base)
{
    if (!chain.pending.number)
        return;
    if (base == kVoidType) {
        IeTypeDef* none = newType('v', anonymousNumber());
        *chain.pending.number = none->index;
        *chain.pending.record = none;
    } else {
        *chain.pending.number = base;
        *chain.pending.record = nullptr;
    }
}

void FramedTypes::arrayDimensions(Chain& chain)
{
    m_records.byte();
    m_records.skip(4);
    const uint16_t count = m_records.u16();
    for (uint16_t i = 0; i < count; ++i) {
        m_records.continueList();
        const uint8_t flag = m_records.byte();
        if (flag & 0x40)
            m_records.u16();
        const uint32_t bound = m_records.u32();
        m_records.skip(4);
        IeTypeDef* dimension = newType('Z', anonymousNumber());
        IeArrayType* array = dimension->payload.array;
        array->bound = static_cast<int32_t>(bound);
        chain.add(dimension, { &array->elementType, &array->resolvedElement });
    }
}

void FramedTypes::enumeration(Chain& chain, const char* name, int32_t& ownNumber)
{
    IeTypeDef* type = newType('N', takeOwn(ownNumber));
    IeEnumType* enumeration = type->payload.enumeration;
    enumeration->name = name;
    chain.add(type, {});
    IeEnumItem* tail = nullptr;
    m_records.next();
    while (!m_records.is(kEnumeration)) {
        m_records.byte();
        m_records.u16();
        auto* item = readerState().newRecord<IeEnumItem>();
        appendLocal(enumeration->items, tail, item);
        item->name = readerState().storeName(m_records.string());
        item->value = static_cast<int32_t>(m_records.countedNumber());
        m_records.next();
        if (m_records.is(kDescriptionEnd)) {
            m_records.skipUntilBalanced();
            m_records.next();
        }
    }
}

void FramedTypes::record(Chain& chain, const char* name, int32_t& ownNumber, bool asUnion, uint32_t size)
{
    IeTypeDef* type = newType(asUnion ? 'U' : 'S', takeOwn(ownNumber));
    IeRecordType* record = type->payload.record;
    record->name = name;
    record->size = static_cast<int32_t>(size);
    chain.add(type, {});
    IeRecordMember* tail = nullptr;
    for (m_records.next(); !m_records.is(kStructure); m_records.next())
        member(record, tail, name);
}

void FramedTypes::member(IeRecordType* record, IeRecordMember*& tail, const char* name)
{
    auto& state = readerState();
    m_records.byte();
    const int32_t number = kNumberedType + m_records.u16();
    const char* memberName = state.storeName(m_records.string());
    const uint8_t flag = m_records.byte();
    auto* member = state.newRecord<IeRecordMember>();
    appendLocal(record->members, tail, member);
    member->name = memberName;
    if (flag < 128) {
        m_records.skip(4);
        member->offset = static_cast<int32_t>(m_records.u32());
        const TypeResult type = description(name, number, false);
        member->type = type.index();
        member->resolvedType = type.first;
        return;
    }
    const uint32_t a = m_records.u32();
    const uint32_t b = m_records.u32();
    const uint32_t c = m_records.u32();
    IeTypeDef* bits = newType('g', number);
    IeBitFieldType* field = bits->payload.bitField;
    field->info2 = static_cast<int32_t>(a);
    member->offset = static_cast<int32_t>(c + 8 * b);
    member->type = bits->index;
    member->resolvedType = bits;
    m_records.next();
    m_records.next();
    uint8_t flags = 0;
    field->baseType = baseType(nullptr, &flags);
    field->info1 = flags >> 6;
    m_records.next();
}

IeTypeDef* FramedTypes::functionType(int32_t& ownNumber)
{
    return newType('x', takeOwn(ownNumber));
}

void FramedTypes::parameters(IeFunctionType* function, const char* name)
{
    IeFunctionParam* tail = nullptr;
    for (m_records.next(); !m_records.is(kFunctionType); m_records.next()) {
        m_records.byte();
        const int32_t number = kNumberedType + m_records.u16();
        auto* param = readerState().newRecord<IeFunctionParam>();
        appendLocal(function->params, tail, param);
        const TypeResult type = description(name, number, false);
        param->type = type.index();
        param->resolvedType = type.first;
        ++function->paramCount;
    }
}

} // namespace orvik
