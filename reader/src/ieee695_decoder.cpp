// ieee695_decoder.cpp: the header, environment, section, external and debug parts of IEEE-695.
#include "debug_string.hpp"
#include "decoders.hpp"
#include "ieee695_items.hpp"
#include "ieee695_types.hpp"
#include "module_lookup.hpp"
#include "reader_state.hpp"
#include "tree_builder.hpp"

#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

namespace orvik {
namespace {

using namespace ieee695;

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

class Ieee695Decoder : private Ieee695Items {
public:
    Ieee695Decoder()
        : Ieee695Items(readerState().input)
        , m_state(readerState())
        , m_decode(m_state.decode)
        , m_strings(m_state)
    {
    }

    void run()
    {
        readHeader();
        if (m_state.mask & IE_READ_ENVIRONMENT_PART)
            readEnvironmentPart();
        if (m_state.mask & IE_READ_SECTIONS)
            readSectionPart();
        if (m_state.mask & IE_READ_EXTERNALS) {
            // Every definition that waits for a global's address exists by now.
            m_decode.globalNames = std::make_unique<WantedNames>(wantedGlobalAddresses());
            readExternalPart();
        }
        if (m_state.mask & IE_READ_DEBUG_PART)
            readDebugPart();
    }

private:
    // ---- header ----

    void readHeader()
    {
        if (m_in.byte() != kModuleBegin)
            fail(IE_ERROR_READ, 0);
        nameInto(m_state.cpuNameBuffer, sizeof m_state.cpuNameBuffer);
        m_state.root.cpuName = m_state.cpuNameBuffer;
        nameInto(m_state.moduleNameBuffer, sizeof m_state.moduleNameBuffer);
        m_state.root.moduleName = m_state.moduleNameBuffer;

        // The address descriptor is taken to be exactly four bytes long.
        const uint32_t adAt = m_in.offset();
        uint8_t descriptor[4];
        m_in.block(descriptor, sizeof descriptor);
        if (descriptor[0] != kAddressDescriptor)
            fail(IE_ERROR_READ, adAt);

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
                fail(IE_ERROR_READ, attributeEnd);
            }
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
                fail(IE_ERROR_READ, at);
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
                fail(IE_ERROR_READ, at);
            if (code != kPublicName)
                return;
            IeSymbol* symbol = appendSymbol();
            skipNumber();
            symbol->name = m_state.storeName(name());
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
        // Modules so far come from the environment part; blocks may add more.
        ModuleLookup modules;
        m_modules = &modules;
        Ieee695TypeBlocks typeBlocks(m_state, modules);
        for (IeSection* section = m_state.root.sections; section; section = section->next)
            m_sectionsByIndex.emplace(section->index, section);

        m_in.seek(m_decode.partOffsets[4]);
        uint8_t code = m_in.byte();
        while (code == kBlockBegin) {
            const uint32_t typeAt = m_in.offset();
            const uint8_t type = m_in.byte();
            switch (type) {
            case 1:
                code = (m_state.mask & IE_READ_TYPE_BLOCKS) ? typeBlocks.readTypeBlock() : skipTypeBlock();
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
                code = readAssemblerBlock((m_state.mask & (IE_READ_ASM_BLOCKS | IE_READ_ASM_BLOCKS_ALT)) != 0);
                break;
            default:
                fail(IE_ERROR_READ, typeAt);
            }
        }
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
                    fail(IE_ERROR_READ, typeAt);
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
                fail(IE_ERROR_READ, at);
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
            if (code == kBlockBegin) {
                m_in.byte(); // the nested block's type is not checked
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
        IeModSection scratch {};
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
            fail(IE_ERROR_READ, at);
        part->size = number();
    }

    void readLocalSymbol(IeModule* module)
    {
        IeModSymbol scratch {};
        IeModSymbol* symbol = module ? appendModSymbol(module) : &scratch;
        skipNumber();
        if (module)
            symbol->name = m_state.storeName(name());
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

    ReaderState& m_state;
    DecodeState& m_decode;
    DebugStringDecoder m_strings;
    ModuleLookup* m_modules = nullptr; // while the debug part is read
    std::unordered_map<int32_t, IeSection*> m_sectionsByIndex;
};

} // namespace

void decodeIeee695()
{
    Ieee695Decoder().run();
}

} // namespace orvik
