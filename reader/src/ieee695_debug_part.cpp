// ieee695_debug_part.cpp: the debug part's blocks, assembler modules, module sections and local symbols.
#include "ieee695_decoder.hpp"
#include "ieee695_types.hpp"
#include "tree_builder.hpp"

#include <iterator>
#include <string>

namespace orvik {

using namespace ieee695;
using enum Ieee695Deviation;

namespace {

constexpr uint8_t kTypeDefinitionBlock = 1;
constexpr uint8_t kAssemblerBlock = 10;
constexpr uint8_t kModuleSectionBlock = 11;

} // namespace

void Ieee695Decoder::readDebugPart()
{
    // Modules so far come from the environment part; blocks may add more.
    ModuleLookup modules;
    m_modules = &modules;
    Ieee695TypeBlocks typeBlocks(m_state, modules);

    m_in.seek(m_decode.partOffsets[4]);
    uint8_t code = m_in.byte();
    while (code == kBlockBegin) {
        const uint32_t typeAt = m_in.offset();
        const uint8_t type = m_in.byte();
        if (type == kTypeDefinitionBlock && (m_state.mask & IE_READ_TYPE_BLOCKS)
            && (!allows(UnknownRecords) || m_skips.typeRecordsKnown()))
            code = typeBlocks.readTypeBlock();
        else if (type == kAssemblerBlock)
            code = readAssemblerBlock((m_state.mask & (IE_READ_ASM_BLOCKS | IE_READ_ASM_BLOCKS_ALT)) != 0);
        else
            code = m_skips.skip(type, typeAt);
    }
}

// create: the block makes records; without it the block is only passed over.
uint8_t Ieee695Decoder::readAssemblerBlock(bool create)
{
    skipNumber();
    const std::string moduleName(name());
    IeModule* module = m_modules->selectAssemblerModule(m_decode, moduleName, create);
    skipName();
    skipNumber();
    uint8_t code = skipOptionalNameToRecordCode();
    for (;;) {
        const uint32_t at = m_in.offset() - 1;
        if (code == kBlockBegin) {
            // strictly the nested block's type is not checked: it is a module section
            const uint32_t typeAt = m_in.offset();
            const uint8_t type = m_in.byte();
            if (type == kModuleSectionBlock || !allows(UnknownRecords))
                code = readModuleSection(module);
            else
                code = m_skips.skip(type, typeAt);
        } else if (code == kNameRecord) {
            code = readLocalSymbol(module);
        } else if (!allows(UnknownRecords)) {
            return m_in.byte(); // anything else, normally BE, ends the block
        } else if (code == kBlockEnd) {
            return skipToRecordCode();
        } else if (code == kModuleBegin || code == kModuleEnd) {
            fail(IE_ERROR_READ, at);
        } else {
            code = skipToRecordCode();
        }
    }
}

// A BB11 block after its type byte; returns the code after it.
uint8_t Ieee695Decoder::readModuleSection(IeModule* module)
{
    IeModSection scratch {};
    IeModSection* part = module ? appendModSection(module) : &scratch;
    skipNumber();
    skipName();
    part->kind = signedNumber();
    part->sectionIndex = signedNumber();
    if (module) {
        const std::size_t position = m_sections.firstWithIndex(part->sectionIndex);
        part->section = position != SectionTable::kNone ? m_sections[position].section : nullptr;
    }
    part->start = number();
    if (!allows(TrailingFields)) {
        // "90 b" may stand before the BE that closes the block; the size follows the BE.
        uint32_t at = m_in.offset();
        uint8_t b = m_in.byte();
        if (b == 0x90) {
            m_in.byte();
            at = m_in.offset();
            b = m_in.byte();
        }
        if (b != kBlockEnd)
            fail(IE_ERROR_READ, at);
        part->size = number();
        return m_in.byte();
    }
    std::optional<uint32_t> context;
    readModuleSectionContents(module, context);
    part->size = number();
    if (module)
        placeModuleSection(part, context);
    return skipToRecordCode();
}

// After the start: the strict producer's "90 b", or numbers of which the first is the context
// of the section the part lies in; then local symbols and other blocks up to the part's BE,
// after which the input stands.
void Ieee695Decoder::readModuleSectionContents(IeModule* module, std::optional<uint32_t>& context)
{
    uint32_t at = m_in.offset();
    uint8_t code = m_in.byte();
    while (!isRecordCode(code)) {
        if (code == 0x90) {
            m_in.byte();
        } else {
            const uint32_t value = numberFrom(code, at);
            if (!context)
                context = value;
        }
        at = m_in.offset();
        code = m_in.byte();
    }
    while (code != kBlockEnd) {
        at = m_in.offset() - 1;
        if (code == kNameRecord) {
            code = readLocalSymbol(module);
        } else if (code == kBlockBegin) {
            const uint32_t typeAt = m_in.offset();
            code = m_skips.skip(m_in.byte(), typeAt);
        } else if (code == kModuleBegin || code == kModuleEnd) {
            fail(IE_ERROR_READ, at);
        } else {
            code = skipToRecordCode();
        }
    }
}

// The section a module section lies in: by its index, else by its context when exactly one
// section has that context; the index then becomes that section's, so the two agree.
void Ieee695Decoder::placeModuleSection(IeModSection* part, std::optional<uint32_t> context)
{
    std::size_t position = m_sections.firstWithIndex(part->sectionIndex);
    if (position == SectionTable::kNone && context)
        position = m_sections.withContext(*context);
    if (position == SectionTable::kNone)
        return;
    SectionExtent& extent = m_sections[position];
    part->section = extent.section;
    part->sectionIndex = extent.section->index;
    if (allows(SizesFromContents))
        extent.cover(part->start, part->size);
}

// NN, ATN and ASN of a local symbol; returns the code after it.
uint8_t Ieee695Decoder::readLocalSymbol(IeModule* module)
{
    uint8_t next = 0;
    if (module && !allows(TrailingFields) && readBufferedLocalSymbol(module, next))
        return next;
    IeModSymbol scratch {};
    IeModSymbol* symbol = module ? appendModSymbol(module) : &scratch;
    skipNumber();
    if (module)
        symbol->name = m_state.storeName(name());
    else
        skipName();
    expectByte(kAttribute);
    expectByte(kVariableN);
    skipNumber();
    if (!allows(TrailingFields)) {
        symbol->kind = signedNumber();
        symbol->attribute = signedNumber();
        symbol->extra1 = signedNumber();
        symbol->extra2 = signedNumber();
        expectByte(kAssignValue);
    } else {
        // kind, attribute and two more when given; other producers add attribute-specific ones
        int32_t* fields[] = { &symbol->kind, &symbol->attribute, &symbol->extra1, &symbol->extra2 };
        std::size_t count = 0;
        uint32_t at = m_in.offset();
        uint8_t code = m_in.byte();
        while (!isRecordCode(code)) {
            const uint32_t value = numberFrom(code, at);
            if (count < std::size(fields))
                *fields[count++] = static_cast<int32_t>(value);
            at = m_in.offset();
            code = m_in.byte();
        }
        if (code != kAssignValue)
            fail(IE_ERROR_READ, at);
    }
    expectByte(kVariableN);
    skipNumber();
    symbol->value = number();
    labelIfUntyped(symbol->kind);
    return codeAfterValue();
}

// The same records decoded from the input's buffer, with the code after them, when they lie
// wholly there and hold no fault; false, with nothing read or added, otherwise.
bool Ieee695Decoder::readBufferedLocalSymbol(IeModule* module, uint8_t& next)
{
    using Items = BufferedIeee695Items;
    // After the name: ATN, its variable and five Numbers, ASN, its variable and two Numbers,
    // and the next record's code.
    constexpr std::size_t kAfterName = 2 + 5 * Items::kNumberBytes + 2 + 2 * Items::kNumberBytes + 1;
    Items items(m_in.buffered());
    std::string_view text;
    int32_t kind = 0, attribute = 0, extra1 = 0, extra2 = 0;
    uint32_t value = 0;
    if (!items.has(Items::kNumberBytes + Items::kNameLengthBytes))
        return false;
    items.skipNumber();
    if (!items.name(text) || !items.has(kAfterName) || !items.expect(kAttribute) || !items.expect(kVariableN))
        return false;
    items.skipNumber();
    if (!items.signedNumber(kind) || !items.signedNumber(attribute) || !items.signedNumber(extra1)
        || !items.signedNumber(extra2) || !items.expect(kAssignValue) || !items.expect(kVariableN))
        return false;
    items.skipNumber();
    if (!items.number(value))
        return false;
    const uint8_t code = items.byte();
    if (allows(AbsoluteOnly) && !isRecordCode(code))
        return false;
    // The name lies in the buffer, which stays as it is until the records are taken.
    IeModSymbol* symbol = appendModSymbol(module);
    symbol->name = m_state.storeName(text);
    symbol->kind = kind;
    symbol->attribute = attribute;
    symbol->extra1 = extra1;
    symbol->extra2 = extra2;
    symbol->value = value;
    labelIfUntyped(symbol->kind);
    m_in.view(items.used());
    next = code;
    return true;
}

} // namespace orvik
