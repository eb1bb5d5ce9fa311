// ieee695_tolerant.cpp: the tolerant IEEE-695 decoder, for absolute files written by other producers.
//
// Chosen by IE_READ_TOLERANT. It reads the same parts as the strict decoder for the same mask and
// builds the same records, but accepts what the standard allows and other linkers write:
//  - an AD record of three bytes (the address-order letter is optional);
//  - the ASW records in any order; a part whose offset is 0 is absent;
//  - NN records anywhere in the environment part, and ATN attributes it does not know passed over
//    up to the next record;
//  - section records with further numbers after the name (the third is the section's context),
//    SA and AS records that name their section by index, and no SA or AS-S record at all: a
//    section without a size takes the hull of its module sections and of the bytes the data part
//    loads into it;
//  - SB and other unknown records in the external part, ATI and ASI records that name their
//    symbol by index; public and local names without a type (kind 0) are taken as labels (15);
//  - debug blocks of any other type passed over by their BB and BE records; module sections with
//    further numbers after the start and with their local symbols inside them; local symbols with
//    more attribute numbers than four;
//  - the AD extension, trailer and module-end parts are not read; the data part is walked only
//    when sections are read, for the extent of its loaded bytes.
// What would hide a fault stays an error 3 at the record concerned: a relocatable file (an NX, IR
// or LR record, a section without an address, an address given by an expression), an ATI or ASI
// for a symbol that has no NI record, an NI without an ASI, and a file that ends inside a block.
#include "debug_string.hpp"
#include "decoders.hpp"
#include "ieee695_items.hpp"
#include "ieee695_types.hpp"
#include "module_lookup.hpp"
#include "reader_state.hpp"
#include "tree_builder.hpp"

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace orvik {
namespace {

using namespace ieee695;

constexpr uint8_t kModuleEnd = 0xE1;
constexpr uint8_t kInitialiseRelocation = 0xE3;
constexpr uint8_t kLoadRelocated = 0xE4;
constexpr uint8_t kCurrentSection = 0xE5;
constexpr uint8_t kLoadData = 0xED;

constexpr uint8_t kVariableI = 0xC9;
constexpr uint8_t kVariableL = 0xCC;
constexpr uint8_t kVariableN = 0xCE;
constexpr uint8_t kVariableP = 0xD0;
constexpr uint8_t kVariableS = 0xD3;
constexpr uint8_t kVariableW = 0xD7;

constexpr uint8_t kModuleSectionBlock = 11;

// Other producers give public and local names no type (kind 0); a name with an address is
// then a label, which is how the viewer can list it at all.
constexpr int32_t kLabelKind = 15;
void labelIfUntyped(int32_t& kind)
{
    if (kind == 0)
        kind = kLabelKind;
}

// The packed type code of a section's letters; only the six known combinations count.
int32_t packSectionType(const std::string& letters)
{
    static const char* const kKnown[] = { "ASD", "ASP", "ASR", "CD", "CP", "CR" };
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

// A section as the section part gave it, and the addresses found in it since.
struct SectionEntry {
    IeSection* section = nullptr;
    uint32_t recordAt = 0; // its ST record, where a missing address is reported
    bool addressed = false;
    bool sized = false;
    uint64_t low = std::numeric_limits<uint64_t>::max();
    uint64_t high = 0; // one past the last address covered

    void cover(uint64_t start, uint64_t size)
    {
        if (size == 0)
            return;
        low = std::min(low, start);
        high = std::max(high, start + size);
    }
};

class TolerantDecoder : private Ieee695Items {
public:
    TolerantDecoder()
        : Ieee695Items(readerState().input)
        , m_state(readerState())
        , m_decode(m_state.decode)
        , m_strings(m_state)
    {
    }

    void run()
    {
        readHeader();
        if ((m_state.mask & IE_READ_ENVIRONMENT_PART) && m_decode.partOffsets[1])
            readEnvironmentPart();
        if ((m_state.mask & IE_READ_SECTIONS) && m_decode.partOffsets[2])
            readSectionPart();
        // Without globalNames the address pass walks the symbol list itself.
        if ((m_state.mask & IE_READ_EXTERNALS) && m_decode.partOffsets[3])
            readExternalPart();
        if ((m_state.mask & IE_READ_SECTIONS) && m_decode.partOffsets[5])
            readDataPart();
        if ((m_state.mask & IE_READ_DEBUG_PART) && m_decode.partOffsets[4])
            readDebugPart();
        sizeSections();
    }

private:
    // ---- items ----

    // Passes over a record's fields to the next record code; false when the file ends first.
    bool skipFieldsTo(uint8_t& code)
    {
        for (;;) {
            if (!m_in.tryByte(code))
                return false;
            if (isRecordCode(code))
                return true;
            if (code >= 0x81 && code <= 0x84)
                m_in.skip(code & 0x0F);
        }
    }

    // The byte after a value must start the next record; anything else makes the value an
    // expression, which an absolute file does not need.
    uint8_t codeAfterValue()
    {
        const uint32_t at = m_in.offset();
        const uint8_t code = m_in.byte();
        if (!isRecordCode(code))
            fail(IE_ERROR_READ, at);
        return code;
    }

    // Where the part starting at offset ends: at the next part the header names, else nowhere.
    uint32_t partEnd(uint32_t start) const
    {
        uint32_t end = std::numeric_limits<uint32_t>::max();
        for (uint32_t offset : m_decode.partOffsets)
            if (offset > start)
                end = std::min(end, offset);
        return end;
    }

    // A part that is walked record by record ends at its bound, at ME, or at a byte that
    // cannot start a record.
    static bool endsPart(uint8_t code, uint32_t at, uint32_t bound)
    {
        return at >= bound || !isRecordCode(code) || code == kModuleEnd || code == kModuleBegin;
    }

    // ---- header ----

    void readHeader()
    {
        if (m_in.byte() != kModuleBegin)
            fail(IE_ERROR_READ, 0);
        nameInto(m_state.cpuNameBuffer, sizeof m_state.cpuNameBuffer);
        m_state.root.cpuName = m_state.cpuNameBuffer;
        nameInto(m_state.moduleNameBuffer, sizeof m_state.moduleNameBuffer);
        m_state.root.moduleName = m_state.moduleNameBuffer;

        // AD: bits per MAU, MAUs per address, and an address-order letter some producers leave out.
        expectByte(kAddressDescriptor);
        const uint32_t bitsPerMau = number();
        number();
        m_bytesPerMau = std::max<uint64_t>(1, (uint64_t { bitsPerMau } + 7) / 8);
        uint8_t code = m_in.byte();
        if (code == 0xCC || code == 0xCD)
            code = m_in.byte();

        while (code == kAssignValue) {
            if (m_in.byte() != kVariableW)
                break;
            const uint32_t index = number();
            const uint32_t offset = number();
            if (index < m_decode.partOffsets.size())
                m_decode.partOffsets[index] = offset;
            code = m_in.byte();
        }
    }

    // ---- environment part ----

    void readEnvironmentPart()
    {
        const uint32_t partAt = m_decode.partOffsets[1];
        m_in.seek(partAt);
        uint8_t code = m_in.byte();
        // A part that starts with neither NN nor ATN is not where the header says it is.
        if (code != kNameRecord && code != kAttribute)
            fail(IE_ERROR_READ, partAt);
        for (;;) {
            const uint32_t recordAt = m_in.offset() - 1;
            if (code == kNameRecord) {
                skipNumber();
                skipName();
                code = m_in.byte();
                continue;
            }
            if (code != kAttribute)
                return;
            if (m_in.byte() != 0xCE)
                fail(IE_ERROR_READ, recordAt);
            skipNumber();
            skipNumber();
            const uint32_t attribute = number();
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
                // another producer's attribute: its fields run to the next record
                code = skipToRecordCode();
                continue;
            }
            code = m_in.byte();
        }
    }

    void readDebugString()
    {
        std::string& text = m_decode.debugString;
        text.resize(nameLength());
        const uint32_t textAt = m_in.offset();
        m_in.block(reinterpret_cast<uint8_t*>(text.data()), text.size());
        if (text == "REV.F")
            return; // a revision marker, not a record
        m_strings.decode(text, textAt);
    }

    // ---- section part ----

    void readSectionPart()
    {
        const uint32_t partAt = m_decode.partOffsets[2];
        const uint32_t bound = partEnd(partAt);
        m_in.seek(partAt);
        uint8_t code = 0;
        bool more = m_in.tryByte(code);
        while (more) {
            const uint32_t at = m_in.offset() - 1;
            if (endsPart(code, at, bound))
                break;
            if (code == kSectionType) {
                code = readSectionRecord(at);
            } else if (code == kSectionAlignment) {
                SectionEntry& entry = namedSection(at);
                entry.section->alignment = signedNumber();
                more = skipFieldsTo(code); // a page size may follow
            } else if (code == kAssignValue) {
                const uint8_t variable = m_in.byte();
                if (variable == kVariableL || variable == kVariableS) {
                    SectionEntry& entry = namedSection(at);
                    const uint32_t value = number();
                    if (variable == kVariableL) {
                        entry.section->start = value;
                        entry.addressed = true;
                    } else {
                        entry.section->size = value;
                        entry.sized = true;
                    }
                    code = codeAfterValue();
                } else {
                    more = skipFieldsTo(code);
                }
            } else {
                more = skipFieldsTo(code);
            }
        }
        // A section without an address belongs to a relocatable file.
        for (const SectionEntry& entry : m_sections)
            if (!entry.addressed)
                fail(IE_ERROR_READ, entry.recordAt);
    }

    uint8_t readSectionRecord(uint32_t recordAt)
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
        m_scratch.resize(nameLength(b, at));
        m_in.block(reinterpret_cast<uint8_t*>(m_scratch.data()), m_scratch.size());
        section->name = m_state.storeName(m_scratch);

        const std::size_t position = m_sections.size();
        m_sections.push_back({ section, recordAt });
        m_latestByIndex[section->index] = position;
        m_firstByIndex.emplace(section->index, position);

        // Parent, brother and context may follow; the context can name the section elsewhere.
        int count = 0;
        at = m_in.offset();
        b = m_in.byte();
        while (!isRecordCode(b)) {
            const uint32_t value = numberFrom(b, at);
            if (++count == 3)
                addContext(value, position);
            at = m_in.offset();
            b = m_in.byte();
        }
        return b;
    }

    void addContext(uint32_t context, std::size_t position)
    {
        // A context that two sections share names neither of them.
        auto [it, added] = m_byContext.emplace(context, position);
        if (!added)
            it->second = kAmbiguous;
    }

    // The section named by the index Number that starts SA and AS records.
    SectionEntry& namedSection(uint32_t recordAt)
    {
        const int32_t index = signedNumber();
        auto found = m_latestByIndex.find(index);
        if (found == m_latestByIndex.end())
            fail(IE_ERROR_READ, recordAt);
        return m_sections[found->second];
    }

    // ---- external part ----

    void readExternalPart()
    {
        const uint32_t partAt = m_decode.partOffsets[3];
        const uint32_t bound = partEnd(partAt);
        std::unordered_map<uint32_t, IeSymbol*> byIndex;
        std::vector<std::pair<IeSymbol*, uint32_t>> unvalued; // with the offset of their NI
        std::unordered_set<IeSymbol*> valued;
        m_in.seek(partAt);
        uint8_t code = 0;
        bool more = m_in.tryByte(code);
        while (more) {
            const uint32_t at = m_in.offset() - 1;
            if (endsPart(code, at, bound))
                break;
            if (code == kExternalName)
                fail(IE_ERROR_READ, at); // NX: a reference a linker would still resolve
            if (code == kPublicName) {
                IeSymbol* symbol = appendSymbol();
                byIndex[number()] = symbol;
                symbol->name = m_state.storeName(name());
                unvalued.emplace_back(symbol, at);
                more = m_in.tryByte(code);
                continue;
            }
            if (code == kAttribute || code == kAssignValue) {
                if (m_in.byte() == kVariableI) {
                    auto found = byIndex.find(number());
                    if (found == byIndex.end())
                        fail(IE_ERROR_READ, at);
                    IeSymbol* symbol = found->second;
                    if (code == kAssignValue) {
                        symbol->value = number();
                        valued.insert(symbol);
                        code = codeAfterValue();
                    } else {
                        more = readSymbolAttributes(symbol, code);
                    }
                    continue;
                }
            }
            more = skipFieldsTo(code); // SB and records of no interest here
        }
        for (const auto& [symbol, at] : unvalued) {
            if (!valued.count(symbol))
                fail(IE_ERROR_READ, at);
            labelIfUntyped(symbol->kind);
        }
    }

    // ATI fields after the name index: kind, attribute, extra; any further ones are passed over.
    bool readSymbolAttributes(IeSymbol* symbol, uint8_t& code)
    {
        int32_t* fields[] = { &symbol->kind, &symbol->attribute, &symbol->extra };
        std::size_t count = 0;
        for (;;) {
            const uint32_t at = m_in.offset();
            if (!m_in.tryByte(code))
                return false;
            if (isRecordCode(code))
                return true;
            const uint32_t value = numberFrom(code, at);
            if (count < std::size(fields))
                *fields[count++] = static_cast<int32_t>(value);
        }
    }

    // ---- data part ----

    // Only the extent of the loaded bytes is taken, for sections that give no size; relocation
    // records refuse the file.
    void readDataPart()
    {
        const uint32_t partAt = m_decode.partOffsets[5];
        const uint32_t bound = partEnd(partAt);
        std::optional<int32_t> current;
        std::unordered_map<int32_t, uint64_t> loadAddress;
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
                fail(IE_ERROR_READ, at);
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
                    auto section = m_firstByIndex.find(*current);
                    if (address != loadAddress.end()) {
                        if (section != m_firstByIndex.end())
                            m_sections[section->second].cover(address->second, count);
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

    // ---- debug part ----

    void readDebugPart()
    {
        ModuleLookup modules;
        m_modules = &modules;
        Ieee695TypeBlocks typeBlocks(m_state, modules);

        m_in.seek(m_decode.partOffsets[4]);
        uint8_t code = m_in.byte();
        while (code == kBlockBegin) {
            const uint32_t typeAt = m_in.offset();
            const uint8_t type = m_in.byte();
            if (type == 1 && (m_state.mask & IE_READ_TYPE_BLOCKS) && typeRecordsKnown())
                code = typeBlocks.readTypeBlock();
            else if (type == 10)
                code = readAssemblerBlock((m_state.mask & (IE_READ_ASM_BLOCKS | IE_READ_ASM_BLOCKS_ALT)) != 0);
            else
                code = skipBlock(type, typeAt);
        }
    }

    // Whether a type-definition block's TY records have the layout the type reader knows, judged
    // by the first one: other producers put a record code where the type letter would be, and
    // reading those as types would only make up records. The input is left where it was.
    bool typeRecordsKnown()
    {
        const uint32_t blockAt = m_in.offset();
        skipNumber();
        skipName();
        bool known = true;
        uint8_t code = m_in.byte();
        while (code != kBlockEnd) {
            if (code == kNameRecord) {
                skipNumber();
                skipName();
                code = m_in.byte();
            } else if (code == kTypeRecord) {
                number();
                m_in.byte();
                skipNumber();
                known = !isRecordCode(m_in.byte());
                break;
            } else {
                code = skipToRecordCode();
            }
        }
        m_in.seek(blockAt);
        return known;
    }

    // Passes over a block and every block inside it, whatever their types, by BB and BE; the
    // file's end inside it is an error, and so is a module boundary.
    uint8_t skipBlock(uint8_t type, uint32_t typeAt)
    {
        auto skipHeader = [&](uint8_t blockType, uint32_t at) {
            if (blockType >= 0x80)
                fail(IE_ERROR_READ, at);
            skipNumber();
            skipName();
            return skipToRecordCode();
        };
        uint8_t code = skipHeader(type, typeAt);
        int depth = 1;
        for (;;) {
            const uint32_t at = m_in.offset() - 1;
            switch (code) {
            case kBlockBegin: {
                const uint32_t nestedAt = m_in.offset();
                code = skipHeader(m_in.byte(), nestedAt);
                ++depth;
                break;
            }
            case kBlockEnd:
                code = skipToRecordCode();
                if (--depth == 0)
                    return code;
                break;
            case kNameRecord:
                skipNumber();
                skipName();
                code = skipToRecordCode();
                break;
            case kModuleBegin:
            case kModuleEnd:
                fail(IE_ERROR_READ, at);
            default:
                code = skipToRecordCode();
            }
        }
    }

    uint8_t readAssemblerBlock(bool create)
    {
        skipNumber();
        const std::string moduleName(name());
        IeModule* module = m_modules->selectAssemblerModule(m_decode, moduleName, create);
        skipName();
        skipNumber();
        uint8_t code = skipOptionalNameToRecordCode();
        for (;;) {
            const uint32_t at = m_in.offset() - 1;
            switch (code) {
            case kBlockBegin: {
                const uint32_t typeAt = m_in.offset();
                const uint8_t type = m_in.byte();
                code = type == kModuleSectionBlock ? readModuleSection(module) : skipBlock(type, typeAt);
                break;
            }
            case kNameRecord:
                code = readLocalSymbol(module);
                break;
            case kBlockEnd:
                return skipToRecordCode();
            case kModuleBegin:
            case kModuleEnd:
                fail(IE_ERROR_READ, at);
            default:
                code = skipToRecordCode();
            }
        }
    }

    uint8_t readModuleSection(IeModule* module)
    {
        IeModSection scratch {};
        IeModSection* part = module ? appendModSection(module) : &scratch;
        skipNumber();
        skipName();
        part->kind = signedNumber();
        part->sectionIndex = signedNumber();
        part->start = number();

        // After the start: the strict producer's "90 b", or numbers of which the first is the
        // context of the section the part lies in.
        std::optional<uint32_t> context;
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
        // Local symbols may sit inside the module section.
        while (code != kBlockEnd) {
            at = m_in.offset() - 1;
            if (code == kNameRecord) {
                code = readLocalSymbol(module);
            } else if (code == kBlockBegin) {
                const uint32_t typeAt = m_in.offset();
                code = skipBlock(m_in.byte(), typeAt);
            } else if (code == kModuleBegin || code == kModuleEnd) {
                fail(IE_ERROR_READ, at);
            } else {
                code = skipToRecordCode();
            }
        }
        part->size = number();
        if (module)
            placeModuleSection(part, context);
        return skipToRecordCode();
    }

    // The section a module section lies in: by its index, else by its context when exactly one
    // section has that context; the index then becomes that section's, so the two agree.
    void placeModuleSection(IeModSection* part, std::optional<uint32_t> context)
    {
        std::size_t position = kAmbiguous;
        if (auto found = m_firstByIndex.find(part->sectionIndex); found != m_firstByIndex.end())
            position = found->second;
        else if (auto byContext = context ? m_byContext.find(*context) : m_byContext.end();
                 byContext != m_byContext.end())
            position = byContext->second;
        if (position == kAmbiguous)
            return;
        SectionEntry& entry = m_sections[position];
        part->section = entry.section;
        part->sectionIndex = entry.section->index;
        entry.cover(part->start, part->size);
    }

    uint8_t readLocalSymbol(IeModule* module)
    {
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
        expectByte(kVariableN);
        skipNumber();
        symbol->value = number();
        labelIfUntyped(symbol->kind);
        return codeAfterValue();
    }

    // ---- after the parts ----

    void sizeSections()
    {
        for (SectionEntry& entry : m_sections) {
            if (entry.sized || entry.high <= entry.low)
                continue;
            entry.section->start = static_cast<uint32_t>(entry.low);
            entry.section->size = static_cast<uint32_t>(
                std::min<uint64_t>(entry.high - entry.low, std::numeric_limits<uint32_t>::max()));
        }
    }

    static constexpr std::size_t kAmbiguous = std::numeric_limits<std::size_t>::max();

    ReaderState& m_state;
    DecodeState& m_decode;
    DebugStringDecoder m_strings;
    ModuleLookup* m_modules = nullptr; // while the debug part is read
    uint64_t m_bytesPerMau = 1;
    std::vector<SectionEntry> m_sections;
    std::unordered_map<int32_t, std::size_t> m_firstByIndex; // what module sections name
    std::unordered_map<int32_t, std::size_t> m_latestByIndex; // what SA and AS records name
    std::unordered_map<uint32_t, std::size_t> m_byContext;
};

} // namespace

void decodeIeee695Tolerant()
{
    TolerantDecoder().run();
}

} // namespace orvik
