// ieee695_decoder.cpp: the order of the parts, the header, the environment part and their items.
#include "ieee695_decoder.hpp"

#include "decoders.hpp"
#include "wanted_names.hpp"

#include <algorithm>
#include <limits>
#include <string>

namespace orvik {

using namespace ieee695;
using enum Ieee695Deviation;

Ieee695Decoder::Ieee695Decoder(Ieee695Policy policy)
    : Ieee695Items(readerState().input)
    , m_policy(policy)
    , m_state(readerState())
    , m_decode(m_state.decode)
    , m_strings(m_state)
    , m_skips(m_state.input, policy)
{
}

void Ieee695Decoder::run()
{
    auto present = [&](std::size_t part) { return !allows(AbsentParts) || m_decode.partOffsets[part] != 0; };
    readHeader();
    if ((m_state.mask & IE_READ_ENVIRONMENT_PART) && present(1))
        readEnvironmentPart();
    if ((m_state.mask & IE_READ_SECTIONS) && present(2))
        readSectionPart();
    if ((m_state.mask & IE_READ_EXTERNALS) && present(3)) {
        // Every definition that waits for a global's address exists by now. Symbols whose
        // values come in records of their own are not offered; the address pass walks them.
        if (!allows(RecordOrder)) {
            collectWantedGlobalAddresses(m_decode.globalNames.definitions());
            m_decode.globalNames.rebuild();
            m_decode.offersGlobals = true;
        }
        readExternalPart();
    }
    if (allows(SizesFromContents) && (m_state.mask & IE_READ_SECTIONS) && present(5))
        readDataPart();
    if ((m_state.mask & IE_READ_DEBUG_PART) && present(4))
        readDebugPart();
    if (allows(SizesFromContents))
        m_sections.sizeFromContents();
}

// ---- parts walked record by record ----

// The first byte of a part; in any order of records the file may end before it.
bool Ieee695Decoder::firstCodeOfPart(uint8_t& code)
{
    if (allows(RecordOrder))
        return m_in.tryByte(code);
    code = m_in.byte();
    return true;
}

// Where the part starting at offset ends: at the next part the header names, else nowhere.
uint32_t Ieee695Decoder::partEnd(uint32_t start) const
{
    uint32_t end = std::numeric_limits<uint32_t>::max();
    for (uint32_t offset : m_decode.partOffsets)
        if (offset > start)
            end = std::min(end, offset);
    return end;
}

// Records in any order end their part at its bound, at ME, or at a byte that cannot start a
// record; the strict layout says by itself where each part ends.
bool Ieee695Decoder::endsPart(uint8_t code, uint32_t at, uint32_t bound) const
{
    return allows(RecordOrder) && (at >= bound || !isRecordCode(code) || code == kModuleEnd || code == kModuleBegin);
}

// The byte after a value is the next record's code; for other producers anything else makes
// the value an expression, which an absolute file does not need.
uint8_t Ieee695Decoder::codeAfterValue()
{
    const uint32_t at = m_in.offset();
    const uint8_t code = m_in.byte();
    if (allows(AbsoluteOnly) && !isRecordCode(code))
        fail(IE_ERROR_READ, at);
    return code;
}

// A name with an address but no type is a label, which is how the viewer can list it at all.
void Ieee695Decoder::labelIfUntyped(int32_t& kind) const
{
    if (allows(UntypedLabels) && kind == 0)
        kind = IE_KIND_LABEL;
}

// ---- header ----

void Ieee695Decoder::readHeader()
{
    if (m_in.byte() != kModuleBegin)
        fail(IE_ERROR_READ, 0);
    nameInto(m_state.cpuNameBuffer, sizeof m_state.cpuNameBuffer);
    m_state.root.cpuName = m_state.cpuNameBuffer;
    nameInto(m_state.moduleNameBuffer, sizeof m_state.moduleNameBuffer);
    m_state.root.moduleName = m_state.moduleNameBuffer;

    if (!allows(ShortAddressDescriptor)) {
        // The address descriptor is taken to be exactly four bytes long, and each ASW record
        // starts with a pair of bytes; the first other pair ends the header.
        const uint32_t adAt = m_in.offset();
        uint8_t descriptor[4];
        m_in.block(descriptor, sizeof descriptor);
        if (descriptor[0] != kAddressDescriptor)
            fail(IE_ERROR_READ, adAt);
        for (;;) {
            uint8_t pair[2];
            m_in.block(pair, sizeof pair);
            if (pair[0] != kAssignValue || pair[1] != kVariableW)
                return;
            readPartOffset();
        }
    }

    // AD: bits per MAU, MAUs per address, and an address-order letter some producers leave out.
    expectByte(kAddressDescriptor);
    const uint32_t bitsPerMau = number();
    number();
    m_bytesPerMau = std::max<uint64_t>(1, (uint64_t { bitsPerMau } + 7) / 8);
    uint8_t code = m_in.byte();
    if (code == 0xCC || code == 0xCD)
        code = m_in.byte();
    while (code == kAssignValue && m_in.byte() == kVariableW) {
        readPartOffset();
        code = m_in.byte();
    }
}

// The index and offset of an ASW record; indexes above 7 are ignored.
void Ieee695Decoder::readPartOffset()
{
    const uint32_t index = number();
    const uint32_t offset = number();
    if (index < m_decode.partOffsets.size())
        m_decode.partOffsets[index] = offset;
}

// ---- environment part ----

void Ieee695Decoder::readEnvironmentPart()
{
    const uint32_t partAt = m_decode.partOffsets[1];
    m_in.seek(partAt);
    uint8_t code = m_in.byte();
    // The part opens with an NN record; other producers may open it with an ATN.
    if (code != kNameRecord && !(allows(RecordOrder) && code == kAttribute))
        fail(IE_ERROR_READ, partAt);
    bool opening = true;
    for (;;) {
        const uint32_t recordAt = m_in.offset() - 1;
        if (code == kNameRecord && (opening || allows(RecordOrder))) {
            skipNumber();
            skipName();
            code = m_in.byte();
            opening = false;
            continue;
        }
        opening = false;
        if (code != kAttribute)
            return;
        if (m_in.byte() != kVariableN)
            fail(IE_ERROR_READ, recordAt);
        skipNumber();
        skipNumber();
        const uint32_t attribute = number();
        const uint32_t attributeEnd = m_in.offset() - 1;
        switch (attribute) {
        case 50:
            skipNumbers(6);
            break;
        case 54:
            skipNumbers(4);
            break;
        case 52:
        case 53:
            skipNumbers(1);
            break;
        case 51:
            skipName();
            break;
        case 55:
            readDebugString();
            break;
        default:
            if (!allows(UnknownRecords))
                fail(IE_ERROR_READ, attributeEnd);
            // another producer's attribute: its fields run to the next record
            code = skipToRecordCode();
            continue;
        }
        code = m_in.byte();
    }
}

void Ieee695Decoder::readDebugString()
{
    const std::size_t length = nameLength();
    const uint32_t textAt = m_in.offset();
    const std::string_view text = bytes(length); // where it lies in the input's buffer
    if (text == "REV.F")
        return; // a revision marker, not a record
    m_strings.decode(text, textAt);
}

void decodeIeee695(Ieee695Policy policy)
{
    Ieee695Decoder(policy).run();
}

} // namespace orvik
