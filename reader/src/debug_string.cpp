// debug_string.cpp: the M, U, S, F and V debug strings and the records they create.
#include "debug_string.hpp"

#include "read_fault.hpp"
#include "reader_state.hpp"
#include "tree_builder.hpp"

#include <algorithm>
#include <initializer_list>
#include <optional>
#include <string_view>

namespace orvik {
namespace {

// Reads the fields of one debug string. Bytes past the string's end read as 0, as they
// would from the NUL-filled buffer the string was copied into, so a short string leaves
// its missing fields empty instead of reading beyond the string.
class StringFields {
public:
    StringFields(std::string_view text, uint32_t fileOffset, std::size_t start)
        : m_text(text)
        , m_fileOffset(fileOffset)
        , m_pos(start)
    {
    }

    uint8_t byteAt(std::size_t i) const { return i < m_text.size() ? static_cast<uint8_t>(m_text[i]) : 0; }

    uint8_t letter() { return byteAt(m_pos++); }

    // A Number; a first byte of 0x80 or above 0x84 takes one byte and gives no value.
    std::optional<uint32_t> number()
    {
        const uint8_t first = byteAt(m_pos++);
        if (first < 0x80)
            return first;
        if (first < 0x81 || first > 0x84)
            return std::nullopt;
        uint32_t value = 0;
        for (int i = 0; i < (first & 0x0F); ++i)
            value = (value << 8) | byteAt(m_pos++);
        return value;
    }

    int32_t numberOrZero() { return static_cast<int32_t>(number().value_or(0)); }

    void numbersInto(std::initializer_list<int32_t*> targets)
    {
        for (int32_t* target : targets)
            *target = numberOrZero();
    }

    std::string_view name()
    {
        const std::size_t lengthAt = m_pos;
        const uint8_t first = byteAt(m_pos++);
        std::size_t length;
        if (first <= 0x7F) {
            length = first;
        } else if (first == 0xDE) {
            length = byteAt(m_pos++);
        } else if (first == 0xDF) {
            length = static_cast<std::size_t>(byteAt(m_pos)) << 8 | byteAt(m_pos + 1);
            m_pos += 2;
        } else {
            fail(IE_ERROR_READ, m_fileOffset + static_cast<uint32_t>(lengthAt));
        }
        const std::size_t begin = std::min(m_pos, m_text.size());
        const std::size_t end = std::min(m_pos + length, m_text.size());
        m_pos += length;
        std::string_view bytes = m_text.substr(begin, end - begin);
        // Stored names end at their first NUL, as the buffer they came from did.
        return bytes.substr(0, bytes.find('\0'));
    }

private:
    std::string_view m_text;
    uint32_t m_fileOffset;
    std::size_t m_pos;
};

const char* currentFunctionName(const DecodeState& decode)
{
    return decode.currentFunction ? decode.currentFunction->name : nullptr;
}

// Ft and Vt: a type reference of the current module; a local one names the current function.
IeTypeRef* readTypeRef(char kind, StringFields& fields)
{
    ReaderState& state = readerState();
    IeTypeRef* ref = appendTypeRef(state.decode.currentModule);
    ref->kind = kind;
    ref->name = state.storeName(fields.name());
    ref->letter = fields.letter();
    ref->typeIndex = fields.numberOrZero();
    if (ref->letter == 'L')
        ref->function = currentFunctionName(state.decode);
    return ref;
}

} // namespace

void DebugStringDecoder::selectModuleAndSource(std::string_view sourceName, std::string_view moduleName)
{
    DecodeState& decode = m_state.decode;
    if (!m_state.root.modules) {
        decode.currentModule = appendModule(moduleName);
    } else if (!decode.currentModule || moduleName != decode.currentModule->name) {
        decode.currentModule = appendModule(moduleName);
        decode.currentSource = nullptr;
        decode.currentFunction = nullptr;
    }
    auto& sources = m_sourcesByName[decode.currentModule];
    auto found = sources.find(sourceName);
    if (found != sources.end()) {
        decode.currentSource = found->second;
        return;
    }
    IeSource* source = appendSource(decode.currentModule, sourceName);
    sources.emplace(std::string_view(source->name), source);
    decode.currentSource = source;
}

void DebugStringDecoder::decode(std::string_view text, uint32_t fileOffset)
{
    ReaderState& state = m_state;
    DecodeState& decode = state.decode;
    const int mask = state.mask;
    const uint8_t kind = text.empty() ? 0 : static_cast<uint8_t>(text[0]);
    const uint8_t subKind = text.size() > 1 ? static_cast<uint8_t>(text[1]) : 0;
    const uint32_t subKindOffset = fileOffset + 1;

    auto needSource = [&] {
        if (!decode.currentSource)
            fail(IE_ERROR_NO_MODULE_INFO, subKindOffset);
    };
    auto needFunction = [&] {
        if (!decode.currentFunction)
            fail(IE_ERROR_NO_FUNCTION_INFO, subKindOffset);
    };
    auto storeName = [&](std::string_view name) { return state.storeName(name); };

    switch (kind) {
    case 'M': {
        StringFields fields(text, fileOffset, 1);
        const std::string_view sourceName = fields.name();
        const std::string_view moduleName = fields.name();
        selectModuleAndSource(sourceName, moduleName);
        return;
    }
    case 'U': {
        if (!(mask & IE_READ_SECTION_USES))
            return;
        needSource();
        StringFields fields(text, fileOffset, 2);
        IeSecUse* use = appendSecUse(decode.currentSource);
        use->subKind = subKind;
        use->sectionName = storeName(fields.name());
        use->name2 = storeName(fields.name());
        use->letter = fields.letter();
        return;
    }
    case 'S': {
        if (!(mask & IE_READ_STACK_INFO))
            return;
        needFunction();
        StringFields fields(text, fileOffset, 2);
        if (subKind == 'p') {
            IeStackInfo* info = appendStackInfo(decode.currentFunction);
            info->subKind = subKind;
            auto* value = state.newRecord<IeStackValue>();
            info->payload.value = value;
            value->value = fields.numberOrZero();
        } else if (subKind == 'c' || subKind == 's') {
            IeStackInfo* info = appendStackInfo(decode.currentFunction);
            info->subKind = subKind;
            auto* item = state.newRecord<IeStackItem>();
            info->payload.item = item;
            item->name = storeName(fields.name());
            item->name2 = storeName(fields.name());
            item->letter = fields.letter();
            item->info1 = fields.numberOrZero();
            item->info2 = fields.numberOrZero();
        } else {
            fail(IE_ERROR_STACK_INFO, subKindOffset);
        }
        return;
    }
    case 'F':
        decodeFunctionString(text, fileOffset);
        return;
    case 'V':
        decodeVariableString(text, fileOffset);
        return;
    default:
        fail(IE_ERROR_ILLEGAL_INFORMATION, fileOffset);
    }
}

void DebugStringDecoder::decodeFunctionString(std::string_view text, uint32_t fileOffset)
{
    ReaderState& state = m_state;
    DecodeState& decode = state.decode;
    const int mask = state.mask;
    const uint8_t subKind = text.size() > 1 ? static_cast<uint8_t>(text[1]) : 0;
    const uint32_t subKindOffset = fileOffset + 1;
    int bit;
    bool needsFunction;
    switch (subKind) {
    case 's':
        bit = IE_READ_FUNCTIONS;
        needsFunction = false;
        break;
    case 'd':
    case 'e':
        bit = IE_READ_FUNCTIONS;
        needsFunction = true;
        break;
    case 'p':
        bit = IE_READ_SOURCE_FN_REFS;
        needsFunction = false;
        break;
    case 'r':
        bit = IE_READ_FUNCTION_FN_REFS;
        needsFunction = true;
        break;
    case 't':
        bit = IE_READ_TYPE_REFS;
        needsFunction = false;
        break;
    default:
        fail(IE_ERROR_FUNCTION_INFO, subKindOffset);
    }
    if (!(mask & bit))
        return;
    if (needsFunction ? !decode.currentFunction : !decode.currentSource)
        fail(needsFunction ? IE_ERROR_NO_FUNCTION_INFO : IE_ERROR_NO_MODULE_INFO, subKindOffset);

    StringFields fields(text, fileOffset, 2);
    auto storeName = [&](std::string_view name) { return state.storeName(name); };
    auto setIfPresent = [&](int32_t& field) {
        if (auto value = fields.number())
            field = static_cast<int32_t>(*value);
    };

    switch (subKind) {
    case 's': {
        IeFnDef* function = appendFunction(decode.currentSource);
        decode.currentFunction = function;
        function->name = storeName(fields.name());
        function->linkName = storeName(fields.name());
        function->scope = fields.letter();
        function->number = fields.numberOrZero();
        return;
    }
    case 'd': {
        IeFnDef* function = decode.currentFunction;
        fields.name();
        fields.name();
        fields.letter();
        setIfPresent(function->info1);
        setIfPresent(function->info2);
        setIfPresent(function->info3);
        setIfPresent(function->info4);
        return;
    }
    case 'e': {
        IeFnDef* function = decode.currentFunction;
        fields.name();
        fields.name();
        fields.letter();
        setIfPresent(function->endInfo);
        if (auto size = fields.number())
            function->size = *size;
        return;
    }
    case 'p':
    case 'r': {
        IeFnRef* ref = subKind == 'p' ? appendFnRef(decode.currentSource) : appendFnRef(decode.currentFunction);
        ref->name = storeName(fields.name());
        ref->name2 = storeName(fields.name());
        ref->letter = fields.letter();
        fields.numbersInto({ &ref->info1, &ref->info2, &ref->info3, &ref->info4 });
        return;
    }
    case 't': {
        IeTypeRef* ref = readTypeRef('F', fields);
        IeFnDef* function = decode.currentFunction;
        if (function && function->name && std::string_view(function->name) == ref->name)
            function->typeRef = ref;
        return;
    }
    }
}

void DebugStringDecoder::decodeVariableString(std::string_view text, uint32_t fileOffset)
{
    ReaderState& state = m_state;
    DecodeState& decode = state.decode;
    const int mask = state.mask;
    const uint8_t subKind = text.size() > 1 ? static_cast<uint8_t>(text[1]) : 0;
    const uint32_t subKindOffset = fileOffset + 1;
    int bit;
    bool needsFunction = false;
    switch (subKind) {
    case 'd':
        bit = IE_READ_VARIABLES;
        break;
    case 'e':
        bit = IE_READ_SOURCE_VA_REFS;
        break;
    case 'r':
        bit = IE_READ_FUNCTION_VA_REFS;
        needsFunction = true;
        break;
    case 't':
        bit = IE_READ_TYPE_REFS;
        break;
    default:
        fail(IE_ERROR_VARIABLE_INFO, subKindOffset);
    }
    if (!(mask & bit))
        return;
    if (needsFunction ? !decode.currentFunction : !decode.currentSource)
        fail(needsFunction ? IE_ERROR_NO_FUNCTION_INFO : IE_ERROR_NO_MODULE_INFO, subKindOffset);

    StringFields fields(text, fileOffset, 2);
    auto storeName = [&](std::string_view name) { return state.storeName(name); };

    switch (subKind) {
    case 'd': {
        IeVaDef* variable = appendVariable(decode.currentSource);
        variable->name = storeName(fields.name());
        variable->linkName = storeName(fields.name());
        variable->scope = fields.letter();
        fields.numbersInto(
            { &variable->info1, &variable->info2, &variable->info3, &variable->info4, &variable->info5 });
        if (variable->scope == 'L')
            variable->function = currentFunctionName(decode);
        return;
    }
    case 'e':
    case 'r': {
        IeVaRef* ref = subKind == 'e' ? appendVaRef(decode.currentSource) : appendVaRef(decode.currentFunction);
        ref->name = storeName(fields.name());
        ref->letter = fields.letter();
        fields.numbersInto({ &ref->info1, &ref->info2, &ref->info3, &ref->info4, &ref->info5 });
        return;
    }
    case 't':
        readTypeRef('V', fields);
        return;
    }
}

} // namespace orvik
