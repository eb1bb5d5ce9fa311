// ieee695_decoder.hpp: the IEEE-695 decoder, strict or tolerant as its policy allows.
#pragma once

#include "debug_string.hpp"
#include "ieee695_block_skips.hpp"
#include "ieee695_buffered_items.hpp"
#include "ieee695_items.hpp"
#include "ieee695_policy.hpp"
#include "ieee695_section_table.hpp"
#include "module_lookup.hpp"
#include "reader_state.hpp"

#include <cstdint>
#include <optional>

namespace orvik {

// Reads the header, then the environment, section, external, data and debug parts, each at
// most once and in that order. The same code reads both layouts; the policy is asked where the
// strict layout and other producers' files differ. The members are defined by part:
// ieee695_decoder.cpp (header, environment), ieee695_section_part.cpp (sections, data),
// ieee695_external_part.cpp and ieee695_debug_part.cpp.
class Ieee695Decoder : private Ieee695Items {
public:
    explicit Ieee695Decoder(Ieee695Policy policy);

    void run();

private:
    bool allows(Ieee695Deviation deviation) const { return m_policy.allows(deviation); }

    // ---- parts walked record by record ----
    bool firstCodeOfPart(uint8_t& code);
    uint32_t partEnd(uint32_t start) const;
    bool endsPart(uint8_t code, uint32_t at, uint32_t bound) const;
    uint8_t codeAfterValue();
    void labelIfUntyped(int32_t& kind) const;

    // ---- header and environment part ----
    void readHeader();
    void readPartOffset();
    void readEnvironmentPart();
    void readDebugString();

    // ---- section and data parts ----
    void readSectionPart();
    uint8_t readSectionRecord(uint32_t recordAt);
    SectionExtent& sectionOfRecord(uint32_t recordAt);
    void readDataPart();

    // ---- external part ----
    void readExternalPart();
    void readPublicNameGroup();
    bool readBufferedPublicNameGroups(uint8_t& code);
    bool readBufferedPublicNameGroup(BufferedIeee695Items& items);
    bool readSymbolAttributes(IeSymbol* symbol, uint8_t& code);

    // ---- debug part ----
    void readDebugPart();
    uint8_t readAssemblerBlock(bool create);
    uint8_t readModuleSection(IeModule* module);
    void readModuleSectionContents(IeModule* module, std::optional<uint32_t>& context);
    void placeModuleSection(IeModSection* part, std::optional<uint32_t> context);
    uint8_t readLocalSymbol(IeModule* module);
    bool readBufferedLocalSymbol(IeModule* module, uint8_t& next);

    Ieee695Policy m_policy;
    ReaderState& m_state;
    DecodeState& m_decode;
    DebugStringDecoder m_strings;
    Ieee695BlockSkips m_skips;
    SectionTable m_sections;
    uint64_t m_bytesPerMau = 1;
    ModuleLookup* m_modules = nullptr; // while the debug part is read
};

} // namespace orvik
