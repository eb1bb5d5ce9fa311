// Builder for IEEE-695 absolute files used as test input, written record by record.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tessaly::testing {

// How a Name's length is written. Shortest picks the smallest form that fits.
enum class NameForm {
    Shortest,
    Short, // one length byte, 0..127
    Byte, // 0xDE then one length byte
    Word, // 0xDF then two big-endian length bytes
};

// A growable byte string with the field encoders of the format. Everything the
// writer produces goes through these, so tests can also use it on its own.
class Bytes {
public:
    Bytes() = default;
    explicit Bytes(std::vector<uint8_t> data)
        : m_data(std::move(data))
    {
    }

    Bytes& byte(uint8_t b);
    Bytes& raw(std::initializer_list<uint8_t> bytes);
    Bytes& raw(std::span<const uint8_t> bytes);
    Bytes& raw(const Bytes& bytes) { return raw(std::span<const uint8_t>(bytes.m_data)); }
    // The characters of s, without any length.
    Bytes& text(std::string_view s);

    // Shortest Number: below 0x80 one byte, otherwise 0x81..0x84 and big-endian bytes.
    Bytes& number(uint32_t value);
    // Number with a forced width: 0 is the one-byte form (value < 0x80), 1..4 the
    // 0x80+width prefix followed by that many bytes.
    Bytes& numberWidth(uint32_t value, int width);
    // Name: a length in the given form, then the bytes.
    Bytes& name(std::string_view s, NameForm form = NameForm::Shortest);
    Bytes& name(const Bytes& s, NameForm form = NameForm::Shortest);

    std::size_t size() const { return m_data.size(); }
    const std::vector<uint8_t>& data() const { return m_data; }
    std::string str() const { return { m_data.begin(), m_data.end() }; }

private:
    std::vector<uint8_t> m_data {};
};

// A position in the file under construction. Part offsets are only known once the
// header is laid out, so positions are resolved by Ieee695Writer::offsetOf.
struct Mark {
    std::size_t segment = 0; // 0 is the header
    std::size_t offset = 0; // from the first byte of that segment

    Mark operator+(std::size_t n) const { return { segment, offset + n }; }
    bool operator==(const Mark&) const = default;
};

// Debug strings (the payload of environment attribute 55). Each returns the
// string's bytes; letters are plain ASCII, fields use the Number/Name encoders.
namespace dstr {
Bytes M(std::string_view source, std::string_view module);
Bytes U(char subKind, std::string_view section, std::string_view name2, char letter);
Bytes Sp(uint32_t value);
Bytes Sc(std::string_view name, std::string_view name2, char letter, uint32_t a, uint32_t b);
Bytes Ss(std::string_view name, std::string_view name2, char letter, uint32_t a, uint32_t b);
Bytes Fs(std::string_view name, std::string_view linkName, char scope, uint32_t number);
Bytes Fd(std::string_view name, std::string_view name2, uint8_t ignored, std::array<uint32_t, 4> info);
Bytes Fe(std::string_view name, std::string_view name2, uint8_t ignored, uint32_t endInfo, uint32_t size);
Bytes Fp(std::string_view name, std::string_view name2, char letter, std::array<uint32_t, 4> values);
Bytes Fr(std::string_view name, std::string_view name2, char letter, std::array<uint32_t, 4> values);
Bytes Ft(std::string_view name, char letter, uint32_t typeIndex);
Bytes Vt(std::string_view name, char letter, uint32_t typeIndex);
Bytes Vd(std::string_view name, std::string_view linkName, char scope, std::array<uint32_t, 5> info);
Bytes Ve(std::string_view name, char letter, std::array<uint32_t, 5> values);
Bytes Vr(std::string_view name, char letter, std::array<uint32_t, 5> values);
// The revision marker "REV.F".
Bytes revision();
// Any other string, byte for byte.
Bytes text(std::string_view s);
} // namespace dstr

// TY records of a type-definition block: F2 index nameLetter nameIndex letter payload.
struct TypeRecord {
    uint32_t index = 0;
    char letter = 'v';
    Bytes payload {};
    uint8_t nameLetter = 0xCE;
    uint32_t nameIndex = 0;
};

struct EnumItem {
    std::string name {}; // 0..127 bytes
    uint32_t value = 0;
};

struct Member {
    std::string name {}; // 0..127 bytes
    uint32_t type = 0;
    uint32_t offset = 0;
};

namespace ty {
// Enumeration; prefix writes "00 <number>" before the items (nullopt: items start at once).
TypeRecord N(uint32_t index, std::vector<EnumItem> items, std::optional<uint32_t> prefix = 0);
TypeRecord O(uint32_t index, uint32_t target);
TypeRecord P(uint32_t index, uint32_t target);
TypeRecord S(uint32_t index, uint32_t size, std::vector<Member> members);
TypeRecord U(uint32_t index, uint32_t size, std::vector<Member> members);
TypeRecord T(uint32_t index, uint32_t type);
TypeRecord Z(uint32_t index, uint32_t elementType, uint32_t bound);
TypeRecord g(uint32_t index, uint32_t a, uint32_t b, uint32_t c);
TypeRecord v(uint32_t index);
// Function type: three skipped numbers, return type, count, parameters, a skipped
// number. count defaults to the number of parameters.
TypeRecord x(uint32_t index, uint32_t returnType, std::vector<uint32_t> parameters,
    std::optional<uint32_t> count = std::nullopt, std::array<uint32_t, 3> skipped = { 0, 0, 0 }, uint32_t trailing = 0);
TypeRecord other(uint32_t index, char letter, Bytes payload);
} // namespace ty

// One section of the section part: ST, then SA and AS records for the fields given.
struct Section {
    uint32_t index = 1;
    std::string type = "ASD"; // letters A..Z, written as 0xC1..0xDA
    std::string name {}; // 0..127 bytes
    std::optional<uint32_t> start {};
    std::optional<uint32_t> size {};
    std::optional<uint32_t> alignment {};
};

// One global symbol of the external part: NI, ATI (F1 C9) and ASI (E2 C9).
struct GlobalSymbol {
    std::string name {};
    uint32_t value = 0;
    uint32_t kind = 15; // 15 label, 17 absolute value
    uint32_t attribute = 0;
    uint32_t extra = 0;
    std::optional<uint32_t> index {}; // default: 32, 33, ... in order of writing
};

struct GlobalSymbolPos {
    Mark record; // the E8
    Mark ati; // the F1
    Mark asi; // the E2
};

// Positions inside an ATN record of the environment part.
struct AtnPos {
    Mark record; // the F1
    Mark attribute; // first byte of the attribute Number
    Mark payload; // first byte after the attribute Number
    Mark text; // attribute 55 only: first byte of the string (the kind letter)
};

// A module section (BB11) of an assembler-module block:
// F8 0B number name kind sectionIndex start [90 b] F9 size.
struct ModuleSection {
    uint32_t sectionIndex = 1;
    uint32_t start = 0;
    uint32_t size = 0;
    uint32_t kind = 0;
    std::string name {};
    uint32_t number = 0;
    uint8_t blockType = 0x0B;
    std::optional<uint8_t> after90 {}; // writes 0x90 and this byte before the F9
};

// A local symbol of an assembler-module block:
// F0 index name F1 CE index kind attribute extra1 extra2 E2 CE index value.
struct LocalSymbol {
    std::string name {};
    uint32_t value = 0;
    uint32_t kind = 15;
    uint32_t attribute = 0;
    uint32_t extra1 = 0;
    uint32_t extra2 = 0;
    uint32_t index = 32;
};

// Fields of an assembler-module block header after the module name.
struct AsmModuleOptions {
    uint32_t number = 0;
    std::string secondName {};
    uint32_t secondNumber = 0;
    std::optional<std::string> skippedName {}; // written as a short Name when set
};

class Ieee695Writer;

// Common base of the parts: the encoders of Bytes plus a terminator written after
// the records, so a part always ends where the reader expects it to.
class Part : public Bytes {
public:
    virtual ~Part() = default;
    Part(const Part&) = delete;
    Part& operator=(const Part&) = delete;

    // Position of the next byte to be written into this part.
    Mark here() const { return { m_segment, size() }; }
    Mark start() const { return { m_segment, 0 }; }
    // Byte written after the records (nullopt: none, the file just ends).
    void setTerminator(std::optional<uint8_t> b) { m_terminator = b; }
    // Position of the terminator, after anything the part closes on its own.
    Mark terminatorMark() const { return { m_segment, output().size() - (m_terminator ? 1 : 0) }; }

    virtual std::vector<uint8_t> output() const;

protected:
    Part(std::size_t segment, std::optional<uint8_t> terminator)
        : m_segment(segment)
        , m_terminator(terminator)
    {
    }

    std::size_t m_segment;
    std::optional<uint8_t> m_terminator {};
};

// Bytes placed between parts, outside every part.
class RawSegment : public Part {
public:
    explicit RawSegment(std::size_t segment)
        : Part(segment, std::nullopt)
    {
    }
};

struct EnvironmentOptions {
    bool nn = true; // write the leading NN record
    uint32_t nnIndex = 32;
    std::string nnName {};
};

// Environment part: NN, then ATN records (F1 CE nameIndex typeIndex attribute ...).
class EnvironmentPart : public Part {
public:
    EnvironmentPart(std::size_t segment, const EnvironmentOptions& options);

    AtnPos attribute50(std::array<uint32_t, 6> values);
    AtnPos attribute51(std::string_view name);
    AtnPos attribute52(uint32_t value);
    AtnPos attribute53(uint32_t value);
    AtnPos attribute54(std::array<uint32_t, 4> values);
    // Attribute 55: the string as a Name.
    AtnPos debugString(const Bytes& s, NameForm form = NameForm::Shortest);
    AtnPos revision() { return debugString(dstr::revision()); }
    // Only the record head up to the attribute Number; the caller writes the rest.
    AtnPos attribute(uint32_t attribute);

    uint32_t nameIndex = 0; // the two numbers every ATN record starts with
    uint32_t typeIndex = 0;
};

// Section part: ST/SA/AS records.
class SectionPart : public Part {
public:
    explicit SectionPart(std::size_t segment)
        : Part(segment, 0xE1)
    {
    }
    Mark add(const Section& section);
};

// External part: NI/ATI/ASI triples.
class ExternalPart : public Part {
public:
    explicit ExternalPart(std::size_t segment)
        : Part(segment, 0xE1)
    {
    }
    GlobalSymbolPos add(const GlobalSymbol& symbol);

private:
    uint32_t m_nextIndex = 32;
};

class DebugPart;

// Handles to the open block of the debug part. They write straight into the part,
// so only the most recently opened block may be written to.
class TypeBlock {
public:
    TypeBlock& nn(std::string_view name, uint32_t index = 0); // F0 index name
    TypeBlock& type(const TypeRecord& record); // F2 ...
    TypeBlock& raw(std::initializer_list<uint8_t> bytes);
    Mark here() const;
    void end(); // F9

private:
    friend class DebugPart;
    TypeBlock(DebugPart& part, std::size_t id)
        : m_part(&part)
        , m_id(id)
    {
    }
    DebugPart* m_part;
    std::size_t m_id;
};

// Blocks of types 3 and 5, which may nest: 4 and 6 inside 3, 5 inside 5.
class NestingBlock {
public:
    NestingBlock& nn(std::string_view name, uint32_t index = 0); // F0 index name
    // F1 CE numbers... or E2 letter numbers...: records the reader steps over.
    NestingBlock& atn(std::initializer_list<uint32_t> numbers);
    NestingBlock& as(uint8_t letter, std::initializer_list<uint32_t> numbers);
    // F8 type number name [numbers...]: for 4 and 6 pass three numbers, for 5 none.
    NestingBlock& nested(
        uint8_t type, std::string_view name, std::initializer_list<uint32_t> numbers = {}, uint32_t number = 0);
    NestingBlock& raw(std::initializer_list<uint8_t> bytes);
    // Closes the innermost open block: F9 and a trailing Number (nullopt: none).
    NestingBlock& end(std::optional<uint32_t> trailer = 0);
    Mark here() const;
    int depth() const;

private:
    friend class DebugPart;
    NestingBlock(DebugPart& part, std::size_t id)
        : m_part(&part)
        , m_id(id)
    {
    }
    DebugPart* m_part;
    std::size_t m_id;
};

class AsmModuleBlock {
public:
    AsmModuleBlock& moduleSection(const ModuleSection& section, Mark* at = nullptr);
    AsmModuleBlock& localSymbol(const LocalSymbol& symbol, Mark* at = nullptr);
    AsmModuleBlock& raw(std::initializer_list<uint8_t> bytes);
    Mark here() const;
    void end(); // F9

private:
    friend class DebugPart;
    AsmModuleBlock(DebugPart& part, std::size_t id)
        : m_part(&part)
        , m_id(id)
    {
    }
    DebugPart* m_part;
    std::size_t m_id;
};

// Debug part: BB blocks. Starting a block closes the one still open; blocks still
// open when the file is laid out are closed there.
class DebugPart : public Part {
public:
    explicit DebugPart(std::size_t segment)
        : Part(segment, 0xE1)
    {
    }

    TypeBlock typeBlock(std::string_view module, uint32_t number = 0); // F8 01
    Mark bb2(std::string_view name, uint32_t number = 0); // F8 02 .. F9
    NestingBlock bb3(std::string_view name, uint32_t number = 0); // F8 03
    NestingBlock bb5(std::string_view name, uint32_t number = 0); // F8 05
    AsmModuleBlock asmModule(std::string_view module, const AsmModuleOptions& options = {}); // F8 0A
    // Closes every open block.
    void closeAll();

    std::vector<uint8_t> output() const override;

private:
    friend class TypeBlock;
    friend class NestingBlock;
    friend class AsmModuleBlock;

    struct Open {
        uint8_t type;
    };
    std::size_t open(uint8_t type);
    void check(std::size_t id) const;
    static void writeCloser(Bytes& out, uint8_t type, std::optional<uint32_t> trailer);

    std::vector<Open> m_open {}; // outermost first
    std::size_t m_current = 0; // id of the open top-level block, 0 when none
    std::size_t m_nextId = 1;
};

struct HeaderOptions {
    std::string cpu {};
    std::string module {};
    NameForm cpuForm = NameForm::Shortest;
    NameForm moduleForm = NameForm::Shortest;
    uint8_t mb = 0xE0;
    std::array<uint8_t, 4> ad = { 0xEC, 0x08, 0x04, 0xCC };
    std::array<uint8_t, 2> end = { 0xE1, 0x00 }; // the pair that ends the ASW list
    std::optional<int> offsetWidth {}; // force the width of the ASW offset Numbers
    // Real files always carry an environment part, and readers that visit it need its NN
    // record, so header() starts one unless told not to.
    bool withEnvironment = true;
};

// The whole file: the header, then the parts and raw segments in the order they
// were first created. ASW offsets are filled in from where the parts land.
class Ieee695Writer {
public:
    Ieee695Writer();
    ~Ieee695Writer();
    Ieee695Writer(const Ieee695Writer&) = delete;
    Ieee695Writer& operator=(const Ieee695Writer&) = delete;

    Ieee695Writer& header(std::string_view cpu, std::string_view module);
    Ieee695Writer& header(const HeaderOptions& options);

    // Each part is created at its first use; later calls return the same part.
    EnvironmentPart& environment(const EnvironmentOptions& options = {});
    SectionPart& sections();
    ExternalPart& externals();
    DebugPart& debug();
    // Raw bytes between parts.
    RawSegment& rawSegment(std::initializer_list<uint8_t> bytes = {});

    // Shortcuts for the common records.
    Mark section(const Section& s) { return sections().add(s); }
    GlobalSymbolPos globalSymbol(const GlobalSymbol& s) { return externals().add(s); }
    AtnPos debugString(const Bytes& s) { return environment().debugString(s); }
    AsmModuleBlock asmModule(std::string_view module, const AsmModuleOptions& options = {})
    {
        return debug().asmModule(module, options);
    }

    // ASW control: leave out the record of a present part, replace an offset, or add
    // a record after the automatic ones (index 1..4 are environment, section,
    // external, debug).
    Ieee695Writer& omitAsw(uint32_t index);
    Ieee695Writer& overrideAsw(uint32_t index, uint32_t offset);
    Ieee695Writer& extraAsw(uint32_t index, uint32_t offset);

    std::vector<uint8_t> bytes() const;
    void writeTo(const std::filesystem::path& path) const;

    std::size_t offsetOf(Mark mark) const;
    // File offset of a part's first byte (throws when the part does not exist).
    std::size_t partOffset(uint32_t aswIndex) const;
    std::size_t adOffset() const;
    // Offset of the pair that ends the ASW list.
    std::size_t headerEndOffset() const;

private:
    struct Layout;
    Layout layout() const;
    Part* partForIndex(uint32_t index) const;

    HeaderOptions m_header;
    std::vector<std::unique_ptr<Part>> m_segments; // segment i + 1
    EnvironmentPart* m_environment = nullptr;
    SectionPart* m_sections = nullptr;
    ExternalPart* m_externals = nullptr;
    DebugPart* m_debug = nullptr;
    std::vector<uint32_t> m_omitted {};
    std::vector<std::pair<uint32_t, uint32_t>> m_overrides;
    std::vector<std::pair<uint32_t, uint32_t>> m_extra;
};

} // namespace tessaly::testing
