// ieee695_decoder.cpp: the header, environment, section, external and debug parts of IEEE-695.
#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "debug_string.hpp"
#include "decoders.hpp"
#include "read_fault.hpp"
#include "reader_state.hpp"
#include "tree_builder.hpp"

namespace orvik {
namespace {

constexpr uint8_t kModuleBegin = 0xE0;
constexpr uint8_t kAssignValue = 0xE2;
constexpr uint8_t kSectionType = 0xE6;
constexpr uint8_t kSectionAlignment = 0xE7;
constexpr uint8_t kPublicName = 0xE8;
constexpr uint8_t kExternalName = 0xE9;
constexpr uint8_t kAddressDescriptor = 0xEC;
constexpr uint8_t kNameRecord = 0xF0;
constexpr uint8_t kAttribute = 0xF1;
constexpr uint8_t kTypeRecord = 0xF2;
constexpr uint8_t kBlockBegin = 0xF8;
constexpr uint8_t kBlockEnd = 0xF9;

bool isRecordCode(uint8_t b) { return b >= 0xE0 && b <= 0xFB; }
bool isLetter(uint8_t b) { return b >= 0xC1 && b <= 0xDA; }

std::string foldCase(std::string_view text)
{
    std::string folded(text);
    for (char& c : folded)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return folded;
}

// The packed type code of a section's letters; only the six known combinations count.
int32_t packSectionType(const std::string& letters)
{
    static const char* const kKnown[] = {"ASD", "ASP", "ASR", "CD", "CP", "CR"};
    for (const char* known : kKnown) {
        if (letters == known) {
            int32_t code = 0;
            for (const char* c = known; *c; ++c)
                code = (code << 8) | (*c - 'A' + 0xC1);
            return code;
        }
    }
    return 0;
}

// Finds modules for the debug part's blocks by the folded part of their name after the
// last '/', starting from a cursor, without walking the module list per block.
class ModuleLookup {
public:
    void add(IeModule* module)
    {
        m_position.emplace(module, m_order.size());
        m_byKey[keyOf(module->name)].push_back(m_order.size());
        m_order.push_back(module);
    }

    IeModule* find(ModuleLookupCursor& cursor, std::string_view name)
    {
        std::size_t start = 0;
        if (cursor.matches != 0)
            start = cursor.next ? m_position.at(cursor.next) : m_order.size();
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

private:
    static std::string keyOf(const char* name)
    {
        std::string_view whole(name ? name : "");
        const auto slash = whole.rfind('/');
        return foldCase(slash == std::string_view::npos ? whole : whole.substr(slash + 1));
    }

    std::vector<IeModule*> m_order;
    std::unordered_map<IeModule*, std::size_t> m_position;
    std::unordered_map<std::string, std::vector<std::size_t>> m_byKey;
};

// Per-module indexes for the type-definition blocks; each is built once per module, which
// keeps repeated blocks for one module from re-walking its lists.
struct ModuleTypes {
    bool referencesMatched = false;
    bool referencesIndexed = false;
    std::unordered_map<uint32_t, std::vector<IeTypeRef*>> referencesByIndex;
    std::unordered_map<uint32_t, IeTypeDef*> firstByIndex;
    // resolved fields still waiting for a definition of their number
    std::unordered_map<uint32_t, std::vector<IeTypeDef**>> waiting;
};

class Ieee695Decoder {
public:
    Ieee695Decoder() : m_state(readerState()), m_in(m_state.input), m_decode(m_state.decode), m_strings(m_state) {}

    void run()
    {
        readHeader();
        if (m_state.mask & 0xFFC0)
            readEnvironmentPart();
        if (m_state.mask & 0x0002)
            readSectionPart();
        if (m_state.mask & 0x0001) {
            // Every definition that waits for a global's address exists by now.
            m_decode.globalNames = std::make_unique<WantedNames>(wantedGlobalAddresses());
            readExternalPart();
        }
        if (m_state.mask & 0x0038)
            readDebugPart();
    }

private:
    // ---- primitive items ----

    uint32_t number()
    {
        const uint32_t at = m_in.offset();
        const uint8_t first = m_in.byte();
        if (first < 0x80)
            return first;
        if (first < 0x81 || first > 0x84)
            fail(kReadError, at);
        uint32_t value = 0;
        for (int i = 0; i < (first & 0x0F); ++i)
            value = (value << 8) | m_in.byte();
        return value;
    }

    int32_t signedNumber() { return static_cast<int32_t>(number()); }

    void skipNumber()
    {
        const uint8_t first = m_in.byte();
        if (first >= 0x81 && first <= 0x84)
            m_in.skip(first & 0x0F);
    }

    std::size_t nameLength(uint8_t first, uint32_t at)
    {
        if (first <= 0x7F)
            return first;
        if (first == 0xDE)
            return m_in.byte();
        if (first == 0xDF) {
            const std::size_t high = m_in.byte();
            return high << 8 | m_in.byte();
        }
        fail(kReadError, at);
    }

    std::size_t nameLength()
    {
        const uint32_t at = m_in.offset();
        return nameLength(m_in.byte(), at);
    }

    // Reads a Name into the scratch buffer and returns it (valid until the next name).
    std::string_view name()
    {
        m_scratch.resize(nameLength());
        m_in.block(reinterpret_cast<uint8_t*>(m_scratch.data()), m_scratch.size());
        return m_scratch;
    }

    const char* storedName() { return m_state.storeName(name()); }

    void skipName() { m_in.skip(nameLength()); }

    // Reads a Name into a fixed buffer of the root; a longer name keeps its first
    // size - 1 bytes and the rest is passed over so reading stays in step.
    void nameInto(char* buffer, std::size_t size)
    {
        const std::size_t length = nameLength();
        const std::size_t kept = std::min(length, size - 1);
        std::memset(buffer, 0, size);
        m_in.block(reinterpret_cast<uint8_t*>(buffer), kept);
        m_in.skip(length - kept);
    }

    uint8_t skipToRecordCode()
    {
        for (;;) {
            const uint8_t b = m_in.byte();
            if (isRecordCode(b))
                return b;
            if (b >= 0x81 && b <= 0x84)
                m_in.skip(b & 0x0F);
        }
    }

    // Reads one byte and raises code 3 at its offset unless it is expected.
    void expectByte(uint8_t expected)
    {
        const uint32_t at = m_in.offset();
        if (m_in.byte() != expected)
            fail(kReadError, at);
    }

    // ---- header ----

    void readHeader()
    {
        if (m_in.byte() != kModuleBegin)
            fail(kReadError, 0);
        nameInto(m_state.cpuNameBuffer, sizeof m_state.cpuNameBuffer);
        m_state.root.cpuName = m_state.cpuNameBuffer;
        nameInto(m_state.moduleNameBuffer, sizeof m_state.moduleNameBuffer);
        m_state.root.moduleName = m_state.moduleNameBuffer;

        // The address descriptor is taken to be exactly four bytes long.
        const uint32_t adAt = m_in.offset();
        uint8_t descriptor[4];
        m_in.block(descriptor, sizeof descriptor);
        if (descriptor[0] != kAddressDescriptor)
            fail(kReadError, adAt);

        for (;;) {
            uint8_t pair[2];
            m_in.block(pair, sizeof pair);
            if (pair[0] != kAssignValue || pair[1] != 0xD7)
                break;
            const uint32_t index = number();
            const uint32_t offset = number();
            if (index < m_decode.partOffsets.size())
                m_decode.partOffsets[index] = offset;
        }
    }

    // ---- environment part ----

    void readEnvironmentPart()
    {
        m_in.seek(m_decode.partOffsets[1]);
        expectByte(kNameRecord);
        skipNumber();
        skipName();
        for (;;) {
            const uint32_t recordAt = m_in.offset();
            if (m_in.byte() != kAttribute)
                return;
            if (m_in.byte() != 0xCE)
                fail(kReadError, recordAt);
            skipNumber();
            skipNumber();
            const uint32_t attribute = number();
            const uint32_t attributeEnd = m_in.offset() - 1;
            switch (attribute) {
            case 50: skipNumbers(6); break;
            case 54: skipNumbers(4); break;
            case 52:
            case 53: skipNumbers(1); break;
            case 51: skipName(); break;
            case 55: readDebugString(); break;
            default: fail(kReadError, attributeEnd);
            }
        }
    }

    void skipNumbers(int count)
    {
        for (int i = 0; i < count; ++i)
            skipNumber();
    }

    void readDebugString()
    {
        std::string& text = m_decode.debugString;
        text.resize(nameLength());
        const uint32_t textAt = m_in.offset();
        m_in.block(reinterpret_cast<uint8_t*>(text.data()), text.size());
        if (text == "REV.F")
            return;  // a revision marker, not a record
        m_strings.decode(text, textAt);
    }

    // ---- section part ----

    void readSectionPart()
    {
        m_in.seek(m_decode.partOffsets[2]);
        uint8_t code = m_in.byte();
        while (code == kSectionType) {
            IeSection* section = appendSection();
            section->index = signedNumber();
            std::string letters;
            uint32_t at = m_in.offset();
            uint8_t b = m_in.byte();
            while (isLetter(b)) {
                letters.push_back(static_cast<char>(b - 0xC1 + 'A'));
                at = m_in.offset();
                b = m_in.byte();
            }
            section->type = packSectionType(letters);
            if (b > 0x7F)
                fail(kReadError, at);
            m_scratch.resize(b);
            m_in.block(reinterpret_cast<uint8_t*>(m_scratch.data()), b);
            section->name = m_state.storeName(m_scratch);

            code = skipToRecordCode();
            for (;;) {
                if (code == kSectionAlignment) {
                    skipNumber();
                    section->alignment = signedNumber();
                } else if (code == kAssignValue) {
                    const uint8_t variable = m_in.byte();
                    if (variable == 0xCC) {
                        skipNumber();
                        section->start = number();
                    } else if (variable == 0xD3) {
                        skipNumber();
                        section->size = number();
                    }
                } else {
                    break;
                }
                code = m_in.byte();
            }
        }
    }

    // ---- external part ----

    void readExternalPart()
    {
        m_in.seek(m_decode.partOffsets[3]);
        for (;;) {
            const uint32_t at = m_in.offset();
            const uint8_t code = m_in.byte();
            if (code == kExternalName)
                fail(kReadError, at);
            if (code != kPublicName)
                return;
            IeSymbol* symbol = appendSymbol();
            skipNumber();
            symbol->name = storedName();
            expectByte(kAttribute);
            if (m_in.byte() == 0xC9) {
                skipNumber();
                symbol->kind = signedNumber();
                symbol->attribute = signedNumber();
                symbol->extra = signedNumber();
            }
            expectByte(kAssignValue);
            if (m_in.byte() == 0xC9) {
                skipNumber();
                symbol->value = number();
            }
            m_decode.globalNames->offer(symbol->name, symbol->value);
        }
    }

    // ---- debug part ----

    void readDebugPart()
    {
        for (IeModule* module = m_state.root.modules; module; module = module->next)
            m_modules.add(module);
        for (IeSection* section = m_state.root.sections; section; section = section->next)
            m_sectionsByIndex.emplace(section->index, section);

        m_in.seek(m_decode.partOffsets[4]);
        uint8_t code = m_in.byte();
        while (code == kBlockBegin) {
            const uint32_t typeAt = m_in.offset();
            const uint8_t type = m_in.byte();
            switch (type) {
            case 1:
                code = (m_state.mask & 0x0020) ? readTypeBlock() : skipTypeBlock();
                break;
            case 2:
                skipNumber();
                skipName();
                expectByte(kBlockEnd);
                code = m_in.byte();
                break;
            case 3:
            case 5:
                code = skipNestedBlock(type);
                break;
            case 10:
                code = readAssemblerBlock((m_state.mask & 0x0018) != 0);
                break;
            default:
                fail(kReadError, typeAt);
            }
        }
    }

    IeModule* findOrAppendModule(ModuleLookupCursor& cursor, std::string_view moduleName)
    {
        if (IeModule* module = m_modules.find(cursor, moduleName))
            return module;
        IeModule* module = appendModule(moduleName);
        m_modules.add(module);
        return module;
    }

    uint8_t skipTypeBlock()
    {
        skipNumber();
        skipName();
        uint8_t code = m_in.byte();
        while (code != kBlockEnd) {
            if (code == kNameRecord) {
                skipNumber();
                skipName();
                code = m_in.byte();
            } else {
                // a TY record, or anything else, is passed over up to the next record
                code = skipToRecordCode();
            }
        }
        return m_in.byte();
    }

    uint8_t skipNestedBlock(uint8_t outerType)
    {
        auto skipHeader = [&](uint8_t type) -> uint8_t {
            skipNumber();
            skipName();
            if (type == 5)
                return skipToRecordCode();
            if (type == 4 || type == 6)
                skipNumbers(3);
            return m_in.byte();
        };
        int depth = 1;
        uint8_t code = skipHeader(outerType);
        for (;;) {
            const uint32_t at = m_in.offset() - 1;
            switch (code) {
            case kAssignValue:
            case kAttribute:
                code = skipToRecordCode();
                break;
            case kNameRecord:
                skipNumber();
                skipName();
                code = m_in.byte();
                break;
            case kBlockBegin: {
                const uint32_t typeAt = m_in.offset();
                const uint8_t nested = m_in.byte();
                const bool allowed = outerType == 3 ? (nested == 4 || nested == 6) : nested == 5;
                if (!allowed)
                    fail(kReadError, typeAt);
                code = skipHeader(nested);
                ++depth;
                break;
            }
            case kBlockEnd:
                code = skipToRecordCode();
                if (--depth == 0)
                    return code;
                break;
            default:
                fail(kReadError, at);
            }
        }
    }

    uint8_t readAssemblerBlock(bool create)
    {
        skipNumber();
        const std::string moduleName(name());
        IeModule* module = create ? findOrAppendModule(m_decode.asmBlockCursor, moduleName) : nullptr;
        if (create)
            m_decode.currentModule = module;
        skipName();
        skipNumber();
        const uint32_t at = m_in.offset();
        uint8_t code = m_in.byte();
        if (!isRecordCode(code)) {
            m_in.skip(nameLength(code, at));
            code = skipToRecordCode();
        }
        for (;;) {
            if (code == kBlockBegin) {
                m_in.byte();  // the nested block's type is not checked
                readModuleSection(module);
            } else if (code == kNameRecord) {
                readLocalSymbol(module);
            } else {
                return m_in.byte();
            }
            code = m_in.byte();
        }
    }

    void readModuleSection(IeModule* module)
    {
        IeModSection scratch{};
        IeModSection* part = module ? appendModSection(module) : &scratch;
        skipNumber();
        skipName();
        part->kind = signedNumber();
        part->sectionIndex = signedNumber();
        if (module) {
            auto found = m_sectionsByIndex.find(part->sectionIndex);
            part->section = found != m_sectionsByIndex.end() ? found->second : nullptr;
        }
        part->start = number();
        uint32_t at = m_in.offset();
        uint8_t b = m_in.byte();
        if (b == 0x90) {
            m_in.byte();
            at = m_in.offset();
            b = m_in.byte();
        }
        if (b != kBlockEnd)
            fail(kReadError, at);
        part->size = number();
    }

    void readLocalSymbol(IeModule* module)
    {
        IeModSymbol scratch{};
        IeModSymbol* symbol = module ? appendModSymbol(module) : &scratch;
        skipNumber();
        if (module)
            symbol->name = storedName();
        else
            skipName();
        expectByte(kAttribute);
        expectByte(0xCE);
        skipNumber();
        symbol->kind = signedNumber();
        symbol->attribute = signedNumber();
        symbol->extra1 = signedNumber();
        symbol->extra2 = signedNumber();
        expectByte(kAssignValue);
        expectByte(0xCE);
        skipNumber();
        symbol->value = number();
    }

    // ---- type-definition blocks ----

    uint8_t readTypeBlock()
    {
        skipNumber();
        const std::string moduleName(name());
        IeModule* module = findOrAppendModule(m_decode.typeBlockCursor, moduleName);
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

    const char* lastTypeName()
    {
        return m_decode.lastTypeName.empty() ? nullptr : m_state.storeName(m_decode.lastTypeName);
    }

    // Reads a name whose length byte (0 to 127) has been read already.
    const char* shortName(uint8_t length, uint32_t at)
    {
        if (length > 0x7F)
            fail(kReadError, at);
        m_scratch.resize(length);
        m_in.block(reinterpret_cast<uint8_t*>(m_scratch.data()), length);
        return m_state.storeName(m_scratch);
    }

    uint8_t readTypeRecord(IeModule* module, ModuleTypes& types)
    {
        IeTypeDef* type = appendTypeDef(module);
        const uint32_t index = number();
        type->index = static_cast<int32_t>(index);
        m_in.byte();  // the name-index letter
        skipNumber();
        type->letter = m_in.byte();
        m_blockTypes.push_back(type);
        types.firstByIndex.emplace(index, type);

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
            while (!isRecordCode(b)) {
                auto* item = m_state.newRecord<IeEnumItem>();
                appendLocal(payload->items, tail, item);
                item->name = shortName(b, at);
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
            while (!isRecordCode(b)) {
                auto* member = m_state.newRecord<IeRecordMember>();
                appendLocal(payload->members, tail, member);
                member->name = shortName(b, at);
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
    void linkTypeReferences(IeModule* module, ModuleTypes& types, uint32_t index, IeTypeDef* type)
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
    void resolveTypes(ModuleTypes& types)
    {
        auto resolve = [&](int32_t number, IeTypeDef*& field) {
            const auto key = static_cast<uint32_t>(number);
            if (key < 256) {
                field = nullptr;
                return;
            }
            auto found = types.firstByIndex.find(key);
            if (found != types.firstByIndex.end()) {
                field = found->second;
                return;
            }
            field = nullptr;
            types.waiting[key].push_back(&field);
        };
        for (IeTypeDef* type : m_blockTypes) {
            switch (type->letter) {
            case 'O':
            case 'P':
                resolve(type->payload.pointer->target, type->payload.pointer->resolvedTarget);
                break;
            case 'S':
            case 'U':
                for (IeRecordMember* member = type->payload.record->members; member; member = member->next)
                    resolve(member->type, member->resolvedType);
                break;
            case 'T':
                resolve(type->payload.alias->type, type->payload.alias->resolvedType);
                break;
            case 'Z':
                resolve(type->payload.array->elementType, type->payload.array->resolvedElement);
                break;
            case 'g':
                resolve(type->payload.bitField->baseType, type->payload.bitField->resolvedBase);
                break;
            case 'x':
                resolve(type->payload.function->returnType, type->payload.function->resolvedReturn);
                for (IeFunctionParam* param = type->payload.function->params; param; param = param->next)
                    resolve(param->type, param->resolvedType);
                break;
            default:
                break;
            }
        }
        for (IeTypeDef* type : m_blockTypes) {
            auto waiting = types.waiting.find(static_cast<uint32_t>(type->index));
            if (waiting == types.waiting.end())
                continue;
            IeTypeDef* first = types.firstByIndex.at(static_cast<uint32_t>(type->index));
            for (IeTypeDef** field : waiting->second)
                *field = first;
            types.waiting.erase(waiting);
        }
    }

    void matchTypeReferences(IeModule* module);

    ReaderState& m_state;
    InputFile& m_in;
    DecodeState& m_decode;
    DebugStringDecoder m_strings;
    std::string m_scratch;
    ModuleLookup m_modules;
    std::unordered_map<int32_t, IeSection*> m_sectionsByIndex;
    std::unordered_map<IeModule*, ModuleTypes> m_types;
    std::vector<IeTypeDef*> m_blockTypes;
};

// Gives each definition and reference of the module's sources the first type reference of
// its name, with the extra conditions that local variables carry.
void Ieee695Decoder::matchTypeReferences(IeModule* module)
{
    std::unordered_map<std::string_view, IeTypeRef*> byName;
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
    std::unordered_map<std::string, IeTypeRef*> byNameAndFunction;
    std::unordered_map<std::string, IeTypeRef*> localByNameAndFunction;
    for (IeTypeRef* ref : all) {
        if (!ref->name)
            continue;
        byNameAndFunction.emplace(key(ref->name, ref->function), ref);
        if (ref->letter == 'L')
            localByNameAndFunction.emplace(key(ref->name, ref->function), ref);
    }
    auto firstIn = [&](const std::unordered_map<std::string, IeTypeRef*>& index, const char* name,
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

}  // namespace

void decodeIeee695() { Ieee695Decoder().run(); }

}  // namespace orvik
