// Builder for framed-record absolute files (first byte 0x80) used as test input.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tessaly::testing {

// Record types the reader gives a meaning to; the others are the writer's own choice for
// records whose type the reader does not look at.
namespace framed {
constexpr uint8_t kFirst = 0x80;
constexpr uint8_t kHeader = 0x82; // positional: any type
constexpr uint8_t kModule = 0x86;
constexpr uint8_t kSectionPart = 0x88;
constexpr uint8_t kModuleExtra = 0x8C; // passed over inside the module group
constexpr uint8_t kGlobalSymbols = 0x94;
constexpr uint8_t kSkippedGroup = 0x9A;
constexpr uint8_t kSkippedFirst = 0x9C;
constexpr uint8_t kSkippedSecond = 0xA0;
constexpr uint8_t kSourceFiles = 0xAE; // positional: any type
constexpr uint8_t kModuleSelect = 0xB0;
constexpr uint8_t kBlock = 0xB2;
constexpr uint8_t kDefinition = 0xB4;
constexpr uint8_t kDescriptionEnd = 0xB6; // first byte 0 opens, any other closes
constexpr uint8_t kAfterBlocks = 0xB8;
constexpr uint8_t kBaseType = 0xC0; // positional: any type
constexpr uint8_t kEntry = 0xC4; // member, parameter and enumerator records
constexpr uint8_t kPassedOver = 0xC2; // a record inside a description that builds nothing
constexpr uint8_t kFunctionType = 0xC8;
constexpr uint8_t kEnumeration = 0xCA;
constexpr uint8_t kStructure = 0xCC;
constexpr uint8_t kArray = 0xCE;
constexpr uint8_t kPointer = 0xD0;
constexpr uint8_t kEndOfFile = 0xFF;

constexpr std::size_t kMaxContent = 253; // a record's length byte counts its two header bytes
} // namespace framed

// Big-endian content fields of one record.
class FramedContent {
public:
    FramedContent() = default;
    FramedContent(std::initializer_list<uint8_t> bytes)
        : m_data(bytes)
    {
    }

    FramedContent& byte(uint8_t b);
    FramedContent& u16(uint16_t value);
    FramedContent& u32(uint32_t value);
    FramedContent& zeros(std::size_t n);
    // A count byte, then the bytes (at most 255).
    FramedContent& string(std::string_view s);
    // A count byte, then the value's big-endian bytes: the fewest that hold it, or width.
    FramedContent& number(uint32_t value, int width = -1);
    FramedContent& raw(std::initializer_list<uint8_t> bytes);
    FramedContent& append(const FramedContent& other);

    std::size_t size() const { return m_data.size(); }
    const std::vector<uint8_t>& data() const { return m_data; }

private:
    std::vector<uint8_t> m_data;
};

// One record of an item before its last-record bit is settled.
struct FramedRecord {
    uint8_t type = 0;
    FramedContent content;
};

// ---- type descriptions ----

// A base type: code b, size z, flag byte c, and for codes 10 and 11 the named type number.
struct BaseType {
    uint8_t code = 0;
    uint32_t size = 0;
    uint8_t flags = 0;
    uint16_t named = 0;
};

namespace base {
inline BaseType none()
{
    return { 0, 0, 0, 0 };
} // void: type number 1
inline BaseType integer(uint32_t size, uint8_t flags = 0)
{
    return { 3, size, flags, 0 };
}
inline BaseType character(uint8_t flags = 0)
{
    return { 2, 1, flags, 0 };
}
inline BaseType named(uint16_t number, uint32_t size = 0)
{
    return { 10, size, 0, number };
}
} // namespace base

struct TypeCtor;

// What the records of one description build: a base type and constructors in order.
struct TypeDesc {
    BaseType base;
    std::vector<TypeCtor> ctors = {};
};

struct ArrayDim {
    uint32_t bound = 0;
    bool withNumber = false; // flag bit 6: a 16-bit number before the bound
};

struct Enumerator {
    std::string name;
    uint32_t value = 0;
    bool nested = true; // a balanced pair of 0xB6 records after the item
};

struct StructMember {
    std::string name;
    uint16_t number = 0;
    uint32_t offset = 0;
    TypeDesc type = {};
    // a bit field when set: the numbers A, B, C and the base type of its records
    bool bitField = false;
    uint32_t a = 0, b = 0, c = 0;
    BaseType bitBase = {};
};

struct Param {
    uint16_t number = 0;
    TypeDesc type = {};
};

struct TypeCtor {
    enum class Kind { Pointer, Array, Enumeration, Structure, Function, PassedOver } kind = Kind::Pointer;
    std::vector<ArrayDim> dims = {};
    std::vector<Enumerator> items = {};
    std::vector<StructMember> members = {};
    std::vector<Param> params = {};
    std::size_t dimsPerRecord = 0; // arrays: 0 puts every dimension in one record
};

namespace ctor {
inline TypeCtor pointer()
{
    return { TypeCtor::Kind::Pointer };
}
inline TypeCtor array(std::vector<ArrayDim> dims, std::size_t dimsPerRecord = 0)
{
    return { .kind = TypeCtor::Kind::Array, .dims = std::move(dims), .dimsPerRecord = dimsPerRecord };
}
inline TypeCtor enumeration(std::vector<Enumerator> items)
{
    return { .kind = TypeCtor::Kind::Enumeration, .items = std::move(items) };
}
inline TypeCtor structure(std::vector<StructMember> members)
{
    return { .kind = TypeCtor::Kind::Structure, .members = std::move(members) };
}
inline TypeCtor function(std::vector<Param> params)
{
    return { .kind = TypeCtor::Kind::Function, .params = std::move(params) };
}
inline TypeCtor passedOver()
{
    return { TypeCtor::Kind::PassedOver };
}
} // namespace ctor

// The description of a function definition or reference.
struct FunctionDesc {
    BaseType returns = base::none();
    int pointerLevels = 0;
    std::vector<Param> params = {};
};

// ---- the records of the file ----

struct FramedHeader {
    std::string module;
    std::string cpu;
    uint8_t a = 0;
    uint8_t f = 0;
};

// Section part kinds from the flag bytes F1 and F2.
struct PartFlags {
    uint8_t f1 = 0;
    uint8_t f2 = 0;
};
namespace part {
constexpr PartFlags program { 0x00, 0x00 }; // A S P
constexpr PartFlags data { 0x10, 0x10 }; // A S D
constexpr PartFlags rom { 0x10, 0x00 }; // A S R
} // namespace part

struct FramedSectionPart {
    std::string name;
    uint32_t start = 0;
    uint32_t size = 0;
    uint32_t alignment = 0;
    PartFlags flags = part::program;
};

// One entry of a global symbols record: the fields written follow the flag byte G.
struct GlobalEntry {
    std::string name;
    uint16_t part = 0;
    uint8_t flags = 0; // below 64: part + offset; top bits 2: a counted number
    uint32_t offset = 0; // written when flags < 64
    uint32_t value = 0; // written when flags >> 5 == 2

    static GlobalEntry label(std::string name, uint16_t part, uint32_t offset, uint8_t flags = 0)
    {
        return { std::move(name), part, flags, offset, 0 };
    }
    static GlobalEntry constant(std::string name, uint32_t value) { return { std::move(name), 0, 0x40, 0, value }; }
};

constexpr uint16_t kNoPart = 0xFFFF; // the address is the offset itself
constexpr uint8_t kGlobal = 2;
constexpr uint8_t kReference = 3;
constexpr uint8_t kStatic = 4;

struct VariableDef {
    std::string name;
    uint8_t storage = kGlobal; // kGlobal, kStatic or kReference (or anything, to be skipped)
    uint16_t type = 0;
    uint16_t part = kNoPart;
    uint32_t offset = 0;
    std::string linkName = {}; // written for kGlobal
    uint16_t source = 0;
    uint16_t info1 = 0;
    uint32_t info2 = 0; // for kReference: the 32-bit number
    std::string refName = {}; // for kReference: the string that is not kept
    TypeDesc desc = { base::integer(2) };
    uint8_t k = 0;
};

struct FunctionDef {
    std::string name;
    uint8_t storage = kGlobal;
    uint16_t type = 0;
    uint16_t part = kNoPart;
    uint32_t offset = 0;
    std::string linkName = {}; // for kGlobal; for kReference: name2
    uint16_t source = 0;
    uint16_t info1 = 0;
    uint32_t number32 = 0;
    FunctionDesc desc = {};
    uint8_t k = 6;
};

// ---- the writer ----

class FramedWriter {
public:
    // The first record and the header, as almost every file needs them.
    FramedWriter& start(const FramedHeader& header);

    // Low level. Each returns the offset of the (first) record it wrote.
    std::size_t record(uint8_t type, const FramedContent& content = {});
    // Exactly these bytes, as a record or not: for malformed input.
    std::size_t rawBytes(std::initializer_list<uint8_t> bytes);
    // An item of several records: bit 7 is cleared on all but the last.
    std::size_t item(const std::vector<FramedRecord>& records);
    // A list item: head fields, then entries packed into records of at most maxContent
    // bytes, split between entries. trailing adds an empty last record after the entries.
    std::size_t listItem(uint8_t type, const FramedContent& head, const std::vector<FramedContent>& entries,
        std::size_t maxContent = framed::kMaxContent, bool trailing = false);

    std::size_t first();
    std::size_t header(const FramedHeader& header);
    std::size_t module(std::string_view name);
    std::size_t sectionPart(const FramedSectionPart& part);
    // Global symbols, as many 0x94 records as the entries need.
    std::size_t globals(const std::vector<GlobalEntry>& entries, std::size_t maxContent = framed::kMaxContent);
    // 0x9A, 0x9C, 0xA0.
    std::size_t skippedGroup();
    std::size_t moduleSelect(uint16_t module);
    std::size_t sourceFiles(
        const std::vector<std::string>& names, std::size_t maxContent = framed::kMaxContent, bool trailing = false);

    // Definition blocks: the first block record opens the outermost block.
    std::size_t openBlock(uint8_t t = 1);
    std::size_t openFunctionBlock(uint32_t size);
    std::size_t closeBlock();

    std::size_t variable(const VariableDef& def);
    std::size_t function(const FunctionDef& def);
    std::size_t localLabel(std::string_view name, uint16_t part, uint32_t offset, uint8_t marker = 4, uint8_t k = 2);
    std::size_t localValue(std::string_view name, uint32_t value, uint8_t k = 30);
    std::size_t typedefDef(std::string_view name, uint16_t number, const TypeDesc& desc, uint8_t k = 8);
    // m: 0 structure, 1 union, 2 enumeration; desc holds the matching constructor.
    std::size_t recordTypeDef(std::string_view name, uint16_t number, uint8_t m, const TypeDesc& desc, uint8_t k = 18);
    // A definition of any k, followed by a description that the reader skips.
    std::size_t otherDefinition(uint8_t k, const TypeDesc& desc = { base::integer(2) });

    std::size_t end(uint8_t type = framed::kEndOfFile);

    // Offset of the first record at or after from whose kind (bit 7 ignored) is type's.
    std::size_t findRecord(uint8_t type, std::size_t from = 0) const;
    std::size_t offset() const { return m_bytes.size(); }
    const std::vector<uint8_t>& bytes() const { return m_bytes; }

    // The records of descriptions, for items built by hand.
    static void describe(std::vector<FramedRecord>& out, const TypeDesc& desc);
    static void describeFunction(std::vector<FramedRecord>& out, const FunctionDesc& desc);

private:
    std::vector<uint8_t> m_bytes;
    std::vector<std::pair<std::size_t, uint8_t>> m_records; // offset and type of each record
};

} // namespace tessaly::testing
