// framed_decoder.cpp: the framed-record absolute format: header, module, skipped and debug groups.
#include "decoders.hpp"
#include "framed_records.hpp"
#include "framed_types.hpp"
#include "keyed_hash.hpp"
#include "read_fault.hpp"
#include "reader_state.hpp"
#include "tree_builder.hpp"

#include <algorithm>
#include <deque>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace orvik {
namespace {

constexpr uint8_t kModule = 0x86;
constexpr uint8_t kSectionPart = 0x88;
constexpr uint8_t kModulePassedOver = 0x8C;
constexpr uint8_t kGlobalSymbols = 0x94;
constexpr uint8_t kSkippedGroup = 0x9A;
constexpr uint8_t kSkippedFirst = 0x9C;
constexpr uint8_t kSkippedSecond = 0xA0;
constexpr uint8_t kModuleSelect = 0xB0;
constexpr uint8_t kBlock = 0xB2;
constexpr uint8_t kDefinition = 0xB4;
constexpr uint8_t kAfterBlocks = 0xB8;
constexpr uint8_t kEndOfFile = 0xFF;

// A counted string (at most 255 bytes) into one of the root's 256-byte name buffers.
template <std::size_t N> const char* keepHeaderName(char (&buffer)[N], std::string_view text)
{
    static_assert(N > 255, "a counted string must fit whole");
    const std::size_t kept = std::min(text.size(), N - 1);
    std::copy_n(text.data(), kept, buffer);
    std::fill(buffer + kept, buffer + N, '\0');
    return buffer;
}

constexpr uint16_t kNoPart = 0xFFFF;
constexpr uint8_t kFunctionBlock = 3;

int32_t sectionPartKind(uint8_t f1, uint8_t f2)
{
    switch (f1 >> 4) {
    case 0:
        return IE_SECTION_ASP;
    case 1:
        return (f2 & 0x30) ? IE_SECTION_ASD : IE_SECTION_ASR;
    default:
        return IE_SECTION_ASD;
    }
}

// Grows the section's range to cover a part; a part of size 0 leaves it as it is.
void mergeRange(IeSection* section, uint32_t partStart, uint32_t partSize)
{
    if (partSize == 0)
        return;
    const uint32_t start = section->start;
    const uint32_t end = start + section->size;
    if (end == partStart)
        section->size += partSize;
    else if (partStart < start) {
        section->start = partStart;
        section->size = std::max(partSize, end - partStart);
    } else if (partStart + partSize <= end)
        return;
    else
        section->size = partStart + partSize - start;
}

// A module and the numbered lists the debug group picks from.
struct FramedModule {
    IeModule* module = nullptr;
    std::vector<IeModSection*> parts;
    std::vector<IeSource*> sources;
    // local static variables that take the name of the module's next function
    std::vector<IeVaDef*> awaitingFunction;
    ModuleTypeLinks types;
};

class FramedDecoder {
public:
    FramedDecoder()
        : m_state(readerState())
        , m_records(m_state.input)
        , m_types(m_records)
    {
    }

    void run()
    {
        m_records.next(); // the first record carries nothing the tree keeps
        m_records.next();
        readHeader();
        m_records.next();
        if (m_records.is(kModule))
            readModuleGroup();
        if (m_records.is(kSkippedGroup))
            readSkippedGroup();
        if (m_records.is(kModuleSelect))
            readDebugGroup();
        if (m_records.type() != kEndOfFile)
            m_records.fault();
    }

private:
    void readHeader()
    {
        const uint8_t a = m_records.byte();
        m_records.skip(12);
        m_records.u16();
        m_records.byte();
        m_records.u16();
        m_records.u16();
        m_records.skip(5);
        const uint8_t f = m_records.byte();
        if (f != 0) {
            if (a != 0) {
                m_records.u16();
                m_records.u16();
            }
            m_records.u32();
        }
        m_records.skip(2);
        // Into the reader's own buffers, not the name pool: the root keeps its names when the
        // tree is released, and a read that fails before its header shows the previous ones.
        m_state.root.moduleName = keepHeaderName(m_state.moduleNameBuffer, m_records.string());
        m_state.root.cpuName = keepHeaderName(m_state.cpuNameBuffer, m_records.string());
    }

    // ---- module group ----

    void readModuleGroup()
    {
        while (m_records.is(kModule)) {
            m_records.byte();
            m_records.skip(6);
            IeModule* module = appendModule(m_records.string());
            m_modules.emplace_back().module = module;
            selectModule(m_modules.back());
            m_records.next();
            for (; m_records.is(kSectionPart); m_records.next())
                readSectionPart();
            while (m_records.is(kModulePassedOver))
                m_records.next();
            for (; m_records.is(kGlobalSymbols); m_records.next())
                if (m_state.mask & IE_READ_EXTERNALS)
                    readGlobalSymbols();
        }
    }

    void readSectionPart()
    {
        IeModSection* part = appendModSection(m_current->module);
        m_current->parts.push_back(part);
        m_records.byte();
        part->start = m_records.u32();
        part->size = m_records.u32();
        const int32_t alignment = static_cast<int32_t>(m_records.u32());
        const uint8_t f1 = m_records.byte();
        const uint8_t f2 = m_records.byte();
        m_records.byte();
        part->kind = sectionPartKind(f1, f2);
        const std::string_view name = m_records.string();

        auto found = m_sectionsByName.find(name);
        if (found == m_sectionsByName.end()) {
            IeSection* section = appendSection();
            section->index = static_cast<int32_t>(m_sectionsByName.size());
            section->name = m_state.storeName(name);
            section->type = part->kind;
            section->alignment = alignment;
            section->start = part->start;
            section->size = part->size;
            found = m_sectionsByName.emplace(section->name, section).first;
        } else {
            mergeRange(found->second, part->start, part->size);
        }
        part->sectionIndex = found->second->index;
        part->section = found->second;
    }

    void readGlobalSymbols()
    {
        FramedFields fields(m_records);
        while (fields.hasMore()) {
            const uint16_t partNumber = fields.u16();
            const uint8_t flags = fields.byte();
            IeSymbol* symbol = appendSymbol();
            symbol->attribute = 8;
            symbol->extra = 1;
            const int top = flags >> 5;
            symbol->kind = top <= 1 ? IE_KIND_LABEL : top == 2 ? IE_KIND_EQU : 0;
            if (flags < 64) {
                const uint32_t start = partStart(partNumber);
                symbol->value = start + fields.u32();
            } else if (top == 2) {
                symbol->value = fields.countedNumber();
            }
            symbol->name = m_state.storeName(fields.string());
        }
        fields.done();
    }

    // Start of the current module's n-th section part; 0xFFFF stands for none.
    uint32_t partStart(uint16_t number)
    {
        if (number == kNoPart)
            return 0;
        if (!m_current || number >= m_current->parts.size())
            m_records.fault();
        return m_current->parts[number]->start;
    }

    // ---- skipped group ----

    void readSkippedGroup()
    {
        while (m_records.is(kSkippedGroup)) {
            m_records.next();
            while (m_records.is(kSkippedFirst))
                m_records.next();
            while (m_records.is(kSkippedSecond))
                m_records.next();
        }
    }

    // ---- debug group ----

    void readDebugGroup()
    {
        while (m_records.is(kModuleSelect)) {
            m_records.byte();
            const uint16_t number = m_records.u16();
            if (number >= m_modules.size())
                m_records.fault();
            selectModule(m_modules[number]);
            m_depth = 0;
            m_state.decode.currentSource = nullptr;
            m_state.decode.currentFunction = nullptr;
            m_records.next();
            while (m_records.is(kModuleSelect))
                m_records.next();

            readSourceFiles();
            if (!m_records.isLast())
                m_records.next();
            m_records.next();
            while (m_records.is(kBlock))
                readDefinitionBlocks();
            while (m_records.is(kAfterBlocks))
                m_records.next();
            linkModuleTypes(m_current->types);
        }
    }

    void selectModule(FramedModule& module)
    {
        m_current = &module;
        m_state.decode.currentModule = module.module;
        m_types.setModule(module.module, &module.types);
    }

    void readSourceFiles()
    {
        m_records.u16();
        const uint16_t count = m_records.u16();
        for (uint16_t i = 0; i < count; ++i) {
            m_records.continueList();
            m_records.byte();
            m_current->sources.push_back(appendSource(m_current->module, m_records.string()));
        }
    }

    IeSource* sourceAt(uint16_t number)
    {
        if (number >= m_current->sources.size())
            m_records.fault();
        return m_current->sources[number];
    }

    // From the opening block record (the current one) to the record after the last close.
    void readDefinitionBlocks()
    {
        m_depth = 1;
        // the size of the innermost enclosing function block, per open block
        std::vector<uint32_t> functionSizes { 0 };
        while (m_depth > 0) {
            m_records.next();
            if (m_records.is(kDefinition)) {
                m_functionSize = functionSizes.back();
                readDefinition();
            } else if (m_records.is(kBlock)) {
                const uint8_t t = m_records.byte();
                if (t < 0x80) {
                    ++m_depth;
                    uint32_t size = functionSizes.back();
                    if (t == kFunctionBlock) {
                        m_records.skip(6);
                        size = m_records.u32();
                    }
                    functionSizes.push_back(size);
                } else {
                    --m_depth;
                    if (functionSizes.size() > 1)
                        functionSizes.pop_back();
                }
            }
        }
        m_records.next();
    }

    // ---- definitions ----

    void readDefinition()
    {
        const uint8_t k = m_records.byte();
        if (k >= 32) {
            skipItem();
            return;
        }
        switch (k / 2) {
        case 0:
            readVariable();
            break;
        case 1:
            readLocalLabel();
            break;
        case 3:
            readFunction();
            break;
        case 4:
            readTypedef();
            break;
        case 9:
            readRecordType();
            break;
        case 15:
            readLocalValue();
            break;
        default:
            skipItem();
            break;
        }
    }

    // One record, then records until the 0xB6 records balance.
    void skipItem()
    {
        m_records.next();
        m_records.skipUntilBalanced();
    }

    void readVariable()
    {
        const uint16_t typeNumber = m_records.u16();
        const std::string name(m_records.string());
        const uint8_t s = m_records.byte();
        if (s == 2 || s == 4) {
            const uint32_t info2 = m_records.u32();
            const uint16_t partNumber = m_records.u16();
            const uint32_t offset = m_records.u32();
            const char* linkName = s == 2 ? m_state.storeName(m_records.string()) : nullptr;
            const uint16_t sourceNumber = m_records.u16();
            const uint16_t info1 = m_records.u16();
            const uint32_t address = partStart(partNumber) + offset;
            IeVaDef* variable = appendVariable(sourceAt(sourceNumber));
            variable->name = m_state.storeName(name);
            variable->linkName = linkName;
            variable->scope = s == 2 ? 'G' : m_depth <= 1 ? 'S' : 'L';
            variable->info1 = info1;
            variable->info2 = static_cast<int32_t>(info2);
            variable->resolved = 1;
            variable->address = address;
            if (variable->scope == 'L')
                m_current->awaitingFunction.push_back(variable);
            variable->typeRef = typeReference('V', variable->name, variable->scope, typeNumber, false);
        } else if (s == 3) {
            const uint32_t number32 = m_records.u32();
            m_records.string();
            const uint16_t sourceNumber = m_records.u16();
            const uint16_t number16 = m_records.u16();
            IeVaRef* ref = appendVaRef(sourceAt(sourceNumber));
            ref->name = m_state.storeName(name);
            ref->letter = 'G';
            ref->info1 = number16;
            ref->info2 = static_cast<int32_t>(number32);
            ref->typeRef = typeReference('V', ref->name, 'G', typeNumber, false);
        } else {
            skipItem();
        }
    }

    void readLocalLabel()
    {
        m_records.u16();
        const std::string_view name = m_records.string();
        if (m_records.byte() != 4) {
            while (!m_records.isLast())
                m_records.next();
            return;
        }
        m_records.skip(4);
        const uint16_t partNumber = m_records.u16();
        const uint32_t value = partStart(partNumber) + m_records.u32();
        appendLocalSymbol(name, IE_KIND_LABEL, value);
    }

    void readLocalValue()
    {
        m_records.u16();
        const std::string_view name = m_records.string();
        const uint32_t value = m_records.countedNumber();
        appendLocalSymbol(name, IE_KIND_EQU, value);
    }

    void appendLocalSymbol(std::string_view name, int32_t kind, uint32_t value)
    {
        IeModSymbol* symbol = appendModSymbol(m_current->module);
        symbol->name = m_state.storeName(name);
        symbol->kind = kind;
        symbol->attribute = 19;
        symbol->extra1 = 1;
        symbol->extra2 = 0;
        symbol->value = value;
    }

    void readFunction()
    {
        const uint16_t typeNumber = m_records.u16();
        const std::string name(m_records.string());
        const uint8_t s = m_records.byte();
        if (s == 2 || s == 4) {
            m_records.skip(4);
            const uint16_t partNumber = m_records.u16();
            const uint32_t offset = m_records.u32();
            const char* linkName = s == 2 ? m_state.storeName(m_records.string()) : nullptr;
            const uint16_t sourceNumber = m_records.u16();
            const uint16_t info1 = m_records.u16();
            const uint32_t address = partStart(partNumber) + offset;
            IeSource* source = sourceAt(sourceNumber);
            IeFnDef* function = appendFunction(source);
            function->name = m_state.storeName(name);
            function->linkName = linkName;
            function->scope = s == 2 ? 'G' : 'S';
            function->info1 = info1;
            function->size = m_functionSize;
            function->resolved = 1;
            function->address = address;
            m_state.decode.currentSource = source;
            m_state.decode.currentFunction = function;
            for (IeVaDef* variable : m_current->awaitingFunction) {
                variable->function = function->name;
                if (variable->typeRef)
                    variable->typeRef->function = function->name;
            }
            m_current->awaitingFunction.clear();
            function->typeRef = typeReference('F', function->name, function->scope, typeNumber, true);
        } else if (s == 3) {
            m_records.u32();
            const char* name2 = m_state.storeName(m_records.string());
            const uint16_t sourceNumber = m_records.u16();
            const uint16_t number16 = m_records.u16();
            IeFnRef* ref = appendFnRef(sourceAt(sourceNumber));
            ref->name = m_state.storeName(name);
            ref->name2 = name2;
            ref->letter = 'G';
            ref->info1 = number16;
            ref->typeRef = typeReference('F', ref->name, 'G', typeNumber, true);
        } else {
            skipItem();
        }
    }

    void readTypedef()
    {
        const uint16_t typeNumber = m_records.u16();
        const char* name = m_state.storeName(m_records.string());
        IeTypeDef* type = m_types.newType('T', kNumberedType + typeNumber);
        IeAliasType* alias = type->payload.alias;
        alias->name = name;
        const TypeResult described = m_types.description(name, 0, false);
        alias->type = described.index();
        alias->resolvedType = described.first;
    }

    void readRecordType()
    {
        const uint16_t typeNumber = m_records.u16();
        const char* name = m_state.storeName(m_records.string());
        m_records.skip(8);
        const uint8_t m = m_records.byte();
        m_types.description(name, kNumberedType + typeNumber, m == 1);
    }

    // A type reference of the current module, its type read from the description that follows.
    IeTypeRef* typeReference(char kind, const char* name, int32_t letter, uint16_t typeNumber, bool function)
    {
        IeTypeRef* ref = appendTypeRef(m_current->module);
        m_current->types.newRefs.push_back(ref);
        ref->kind = kind;
        ref->name = name;
        ref->letter = letter;
        const int32_t own = kNumberedType + typeNumber;
        const TypeResult type
            = function ? m_types.functionDescription(name, own) : m_types.description(name, own, false);
        ref->typeDef = type.first;
        ref->typeIndex = type.index();
        return ref;
    }

    ReaderState& m_state;
    FramedRecords m_records;
    FramedTypes m_types;
    std::deque<FramedModule> m_modules; // stable addresses while modules are added
    FramedModule* m_current = nullptr;
    keyed::NameMap<std::string_view, IeSection*> m_sectionsByName;
    int m_depth = 0;
    uint32_t m_functionSize = 0;
};

} // namespace

void decodeFramed()
{
    FramedDecoder decoder;
    decoder.run();
}

} // namespace orvik
