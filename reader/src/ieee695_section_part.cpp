// ieee695_section_part.cpp: the section part, and the data part for the extent of its loaded bytes.
#include "ieee695_decoder.hpp"
#include "keyed_hash.hpp"
#include "tree_builder.hpp"

#include <string>
#include <string_view>
#include <unordered_map>

namespace orvik {

using namespace ieee695;
using enum Ieee695Deviation;

namespace {

// The type code of a section's letters; only the six known combinations count.
int32_t packSectionType(std::string_view letters)
{
    static const struct {
        std::string_view letters;
        int32_t type;
    } kKnown[] = {
        { "ASD", IE_SECTION_ASD },
        { "ASP", IE_SECTION_ASP },
        { "ASR", IE_SECTION_ASR },
        { "CD", IE_SECTION_CD },
        { "CP", IE_SECTION_CP },
        { "CR", IE_SECTION_CR },
    };
    for (const auto& known : kKnown)
        if (letters == known.letters)
            return known.type;
    return 0;
}

} // namespace

// The strict part is its ST records, each followed by its own SA and AS records; in any order,
// SA and AS records name their section by index.
void Ieee695Decoder::readSectionPart()
{
    const uint32_t partAt = m_decode.partOffsets[2];
    const uint32_t bound = partEnd(partAt);
    m_in.seek(partAt);
    uint8_t code = 0;
    bool more = firstCodeOfPart(code);
    bool started = false;
    while (more) {
        const uint32_t at = m_in.offset() - 1;
        if (endsPart(code, at, bound))
            break;
        if (code == kSectionType) {
            code = readSectionRecord(at);
            started = true;
            continue;
        }
        if (!started && !allows(RecordOrder))
            break;
        if (code == kSectionAlignment) {
            SectionExtent& extent = sectionOfRecord(at);
            extent.section->alignment = signedNumber();
            if (allows(TrailingFields))
                more = skipFieldsTo(code); // a page size may follow
            else
                code = m_in.byte();
        } else if (code == kAssignValue) {
            const uint8_t variable = m_in.byte();
            if (variable == kVariableL || variable == kVariableS) {
                SectionExtent& extent = sectionOfRecord(at);
                const uint32_t value = number();
                if (variable == kVariableL) {
                    extent.section->start = value;
                    extent.addressed = true;
                } else {
                    extent.section->size = value;
                    extent.sized = true;
                }
                code = codeAfterValue();
            } else if (allows(UnknownRecords)) {
                more = skipFieldsTo(code);
            } else {
                code = m_in.byte(); // the byte after another letter is the next record's code
            }
        } else if (allows(UnknownRecords)) {
            more = skipFieldsTo(code);
        } else {
            break;
        }
    }
    // A section without an address belongs to a relocatable file.
    if (allows(AbsoluteOnly))
        if (const SectionExtent* unaddressed = m_sections.firstUnaddressed())
            fail(IE_ERROR_READ, unaddressed->recordAt);
}

uint8_t Ieee695Decoder::readSectionRecord(uint32_t recordAt)
{
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
    // The first byte that is not a letter is the name's length; strictly 0 to 127 only.
    section->name = m_state.storeName(allows(TrailingFields) ? nameFrom(b, at) : shortName(b, at));
    const std::size_t position = m_sections.add(section, recordAt);
    if (!allows(TrailingFields))
        return skipToRecordCode();

    // Parent, brother and context may follow; the context can name the section elsewhere.
    int count = 0;
    at = m_in.offset();
    b = m_in.byte();
    while (!isRecordCode(b)) {
        const uint32_t value = numberFrom(b, at);
        if (++count == 3)
            m_sections.addContext(value, position);
        at = m_in.offset();
        b = m_in.byte();
    }
    return b;
}

// The section an SA or AS record at recordAt belongs to: the one of the ST record before it,
// whose index is passed over, or the latest of the index it names.
SectionExtent& Ieee695Decoder::sectionOfRecord(uint32_t recordAt)
{
    if (!allows(RecordOrder)) {
        skipNumber();
        return m_sections.last();
    }
    const std::size_t position = m_sections.latestWithIndex(signedNumber());
    if (position == SectionTable::kNone)
        fail(IE_ERROR_READ, recordAt);
    return m_sections[position];
}

// Only the extent of the loaded bytes is taken, for sections that give no size; relocation
// records refuse the file.
void Ieee695Decoder::readDataPart()
{
    const uint32_t partAt = m_decode.partOffsets[5];
    const uint32_t bound = partEnd(partAt);
    std::optional<int32_t> current;
    keyed::NumberMap<int32_t, uint64_t> loadAddress;
    m_in.seek(partAt);
    uint8_t code = 0;
    bool more = m_in.tryByte(code);
    while (more) {
        const uint32_t at = m_in.offset() - 1;
        if (endsPart(code, at, bound))
            break;
        switch (code) {
        case kInitialiseRelocation:
        case kLoadRelocated:
            if (allows(AbsoluteOnly))
                fail(IE_ERROR_READ, at);
            more = skipFieldsTo(code);
            break;
        case kCurrentSection:
            current = signedNumber();
            more = skipFieldsTo(code);
            break;
        case kAssignValue:
            if (m_in.byte() == kVariableP) {
                const int32_t index = signedNumber();
                const uint32_t address = number();
                more = m_in.tryByte(code);
                if (more && isRecordCode(code)) {
                    loadAddress[index] = address;
                } else {
                    loadAddress.erase(index); // an expression: the address is not known
                    if (more && code >= 0x81 && code <= 0x84)
                        m_in.skip(code & 0x0F);
                    more = more && skipFieldsTo(code);
                }
            } else {
                more = skipFieldsTo(code);
            }
            break;
        case kLoadData: {
            const uint32_t count = number();
            if (current) {
                auto address = loadAddress.find(*current);
                const std::size_t position = m_sections.firstWithIndex(*current);
                if (address != loadAddress.end()) {
                    if (position != SectionTable::kNone)
                        m_sections[position].cover(address->second, count);
                    address->second += count;
                }
            }
            m_in.skip(static_cast<std::size_t>(count * m_bytesPerMau));
            more = m_in.tryByte(code);
            break;
        }
        default:
            more = skipFieldsTo(code);
        }
    }
}

} // namespace orvik
