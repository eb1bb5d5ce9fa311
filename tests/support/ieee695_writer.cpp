// Builder for IEEE-695 absolute files used as test input, written record by record.
#include "support/ieee695_writer.hpp"

#include <algorithm>
#include <fstream>
#include <stdexcept>

namespace tessaly::testing {

// ---------------------------------------------------------------- Bytes

Bytes& Bytes::byte(uint8_t b)
{
    m_data.push_back(b);
    return *this;
}

Bytes& Bytes::raw(std::initializer_list<uint8_t> bytes)
{
    m_data.insert(m_data.end(), bytes.begin(), bytes.end());
    return *this;
}

Bytes& Bytes::raw(std::span<const uint8_t> bytes)
{
    m_data.insert(m_data.end(), bytes.begin(), bytes.end());
    return *this;
}

Bytes& Bytes::text(std::string_view s)
{
    // Byte by byte: GCC 12 at -O3 mistakes a range insert from a fresh vector for an overflow.
    m_data.reserve(m_data.size() + s.size());
    for (char c : s)
        m_data.push_back(static_cast<uint8_t>(c));
    return *this;
}

Bytes& Bytes::number(uint32_t value)
{
    int width = 0;
    if (value >= 0x80) {
        width = 1;
        while (width < 4 && (value >> (8 * width)) != 0)
            ++width;
    }
    return numberWidth(value, width);
}

Bytes& Bytes::numberWidth(uint32_t value, int width)
{
    if (width < 0 || width > 4)
        throw std::invalid_argument("Number width must be 0..4");
    if (width == 0) {
        if (value >= 0x80)
            throw std::invalid_argument("one-byte Number must be below 0x80");
        return byte(static_cast<uint8_t>(value));
    }
    if (width < 4 && (value >> (8 * width)) != 0)
        throw std::invalid_argument("Number does not fit the forced width");
    byte(static_cast<uint8_t>(0x80 + width));
    for (int i = width - 1; i >= 0; --i)
        byte(static_cast<uint8_t>(value >> (8 * i)));
    return *this;
}

Bytes& Bytes::name(std::string_view s, NameForm form)
{
    const std::size_t n = s.size();
    if (form == NameForm::Shortest)
        form = n <= 127 ? NameForm::Short : n <= 255 ? NameForm::Byte : NameForm::Word;
    switch (form) {
    case NameForm::Short:
        if (n > 127)
            throw std::length_error("short Name is limited to 127 bytes");
        byte(static_cast<uint8_t>(n));
        break;
    case NameForm::Byte:
        if (n > 255)
            throw std::length_error("0xDE Name is limited to 255 bytes");
        byte(0xDE).byte(static_cast<uint8_t>(n));
        break;
    case NameForm::Word:
        if (n > 65535)
            throw std::length_error("0xDF Name is limited to 65535 bytes");
        byte(0xDF).byte(static_cast<uint8_t>(n >> 8)).byte(static_cast<uint8_t>(n));
        break;
    case NameForm::Shortest:
        break;
    }
    return text(s);
}

Bytes& Bytes::name(const Bytes& s, NameForm form)
{
    return name(std::string_view(reinterpret_cast<const char*>(s.m_data.data()), s.m_data.size()), form);
}

// ---------------------------------------------------------------- debug strings

namespace dstr {
namespace {

Bytes head(char kind, char subKind)
{
    Bytes b;
    b.byte(static_cast<uint8_t>(kind)).byte(static_cast<uint8_t>(subKind));
    return b;
}

template <std::size_t N> Bytes& numbers(Bytes& b, const std::array<uint32_t, N>& values)
{
    for (uint32_t v : values)
        b.number(v);
    return b;
}

Bytes stackItem(char subKind, std::string_view name, std::string_view name2, char letter, uint32_t a, uint32_t b)
{
    Bytes s = head('S', subKind);
    s.name(name).name(name2).byte(static_cast<uint8_t>(letter)).number(a).number(b);
    return s;
}

Bytes fnRef(
    char subKind, std::string_view name, std::string_view name2, char letter, const std::array<uint32_t, 4>& values)
{
    Bytes s = head('F', subKind);
    s.name(name).name(name2).byte(static_cast<uint8_t>(letter));
    return numbers(s, values);
}

Bytes typeRef(char kind, std::string_view name, char letter, uint32_t typeIndex)
{
    Bytes s = head(kind, 't');
    s.name(name).byte(static_cast<uint8_t>(letter)).number(typeIndex);
    return s;
}

Bytes vaRef(char subKind, std::string_view name, char letter, const std::array<uint32_t, 5>& values)
{
    Bytes s = head('V', subKind);
    s.name(name).byte(static_cast<uint8_t>(letter));
    return numbers(s, values);
}

} // namespace

Bytes M(std::string_view source, std::string_view module)
{
    Bytes s;
    s.byte('M').name(source).name(module);
    return s;
}

Bytes U(char subKind, std::string_view section, std::string_view name2, char letter)
{
    Bytes s = head('U', subKind);
    s.name(section).name(name2).byte(static_cast<uint8_t>(letter));
    return s;
}

Bytes Sp(uint32_t value)
{
    Bytes s = head('S', 'p');
    s.number(value);
    return s;
}

Bytes Sc(std::string_view name, std::string_view name2, char letter, uint32_t a, uint32_t b)
{
    return stackItem('c', name, name2, letter, a, b);
}

Bytes Ss(std::string_view name, std::string_view name2, char letter, uint32_t a, uint32_t b)
{
    return stackItem('s', name, name2, letter, a, b);
}

Bytes Fs(std::string_view name, std::string_view linkName, char scope, uint32_t number)
{
    Bytes s = head('F', 's');
    s.name(name).name(linkName).byte(static_cast<uint8_t>(scope)).number(number);
    return s;
}

Bytes Fd(std::string_view name, std::string_view name2, uint8_t ignored, std::array<uint32_t, 4> info)
{
    Bytes s = head('F', 'd');
    s.name(name).name(name2).byte(ignored);
    return numbers(s, info);
}

Bytes Fe(std::string_view name, std::string_view name2, uint8_t ignored, uint32_t endInfo, uint32_t size)
{
    Bytes s = head('F', 'e');
    s.name(name).name(name2).byte(ignored).number(endInfo).number(size);
    return s;
}

Bytes Fp(std::string_view name, std::string_view name2, char letter, std::array<uint32_t, 4> values)
{
    return fnRef('p', name, name2, letter, values);
}

Bytes Fr(std::string_view name, std::string_view name2, char letter, std::array<uint32_t, 4> values)
{
    return fnRef('r', name, name2, letter, values);
}

Bytes Ft(std::string_view name, char letter, uint32_t typeIndex)
{
    return typeRef('F', name, letter, typeIndex);
}

Bytes Vt(std::string_view name, char letter, uint32_t typeIndex)
{
    return typeRef('V', name, letter, typeIndex);
}

Bytes Vd(std::string_view name, std::string_view linkName, char scope, std::array<uint32_t, 5> info)
{
    Bytes s = head('V', 'd');
    s.name(name).name(linkName).byte(static_cast<uint8_t>(scope));
    return numbers(s, info);
}

Bytes Ve(std::string_view name, char letter, std::array<uint32_t, 5> values)
{
    return vaRef('e', name, letter, values);
}

Bytes Vr(std::string_view name, char letter, std::array<uint32_t, 5> values)
{
    return vaRef('r', name, letter, values);
}

Bytes revision()
{
    return text("REV.F");
}

Bytes text(std::string_view s)
{
    Bytes b;
    b.text(s);
    return b;
}

} // namespace dstr

// ---------------------------------------------------------------- type records

namespace ty {
namespace {

TypeRecord make(uint32_t index, char letter)
{
    TypeRecord r;
    r.index = index;
    r.letter = letter;
    return r;
}

// Item and member names of type records only have the one-byte length form.
void shortName(Bytes& b, std::string_view s)
{
    b.name(s, NameForm::Short);
}

TypeRecord record(char letter, uint32_t index, uint32_t size, const std::vector<Member>& members)
{
    TypeRecord r = make(index, letter);
    r.payload.number(size);
    for (const Member& m : members) {
        shortName(r.payload, m.name);
        r.payload.number(m.type).number(m.offset);
    }
    return r;
}

TypeRecord oneNumber(char letter, uint32_t index, uint32_t value)
{
    TypeRecord r = make(index, letter);
    r.payload.number(value);
    return r;
}

} // namespace

TypeRecord N(uint32_t index, std::vector<EnumItem> items, std::optional<uint32_t> prefix)
{
    TypeRecord r = make(index, 'N');
    if (prefix)
        r.payload.byte(0).number(*prefix);
    for (const EnumItem& item : items) {
        shortName(r.payload, item.name);
        r.payload.number(item.value);
    }
    return r;
}

TypeRecord O(uint32_t index, uint32_t target)
{
    return oneNumber('O', index, target);
}

TypeRecord P(uint32_t index, uint32_t target)
{
    return oneNumber('P', index, target);
}

TypeRecord S(uint32_t index, uint32_t size, std::vector<Member> members)
{
    return record('S', index, size, members);
}

TypeRecord U(uint32_t index, uint32_t size, std::vector<Member> members)
{
    return record('U', index, size, members);
}

TypeRecord T(uint32_t index, uint32_t type)
{
    return oneNumber('T', index, type);
}

TypeRecord Z(uint32_t index, uint32_t elementType, uint32_t bound)
{
    TypeRecord r = make(index, 'Z');
    r.payload.number(elementType).number(bound);
    return r;
}

TypeRecord g(uint32_t index, uint32_t a, uint32_t b, uint32_t c)
{
    TypeRecord r = make(index, 'g');
    r.payload.number(a).number(b).number(c);
    return r;
}

TypeRecord v(uint32_t index)
{
    return make(index, 'v');
}

TypeRecord x(uint32_t index, uint32_t returnType, std::vector<uint32_t> parameters, std::optional<uint32_t> count,
    std::array<uint32_t, 3> skipped, uint32_t trailing)
{
    TypeRecord r = make(index, 'x');
    for (uint32_t s : skipped)
        r.payload.number(s);
    r.payload.number(returnType).number(count.value_or(static_cast<uint32_t>(parameters.size())));
    for (uint32_t p : parameters)
        r.payload.number(p);
    r.payload.number(trailing);
    return r;
}

TypeRecord other(uint32_t index, char letter, Bytes payload)
{
    TypeRecord r = make(index, letter);
    r.payload = std::move(payload);
    return r;
}

} // namespace ty

// ---------------------------------------------------------------- parts

std::vector<uint8_t> Part::output() const
{
    std::vector<uint8_t> out = data();
    if (m_terminator)
        out.push_back(*m_terminator);
    return out;
}

EnvironmentPart::EnvironmentPart(std::size_t segment, const EnvironmentOptions& options)
    : Part(segment, 0xE1)
{
    if (options.nn)
        byte(0xF0).number(options.nnIndex).name(options.nnName);
}

AtnPos EnvironmentPart::attribute(uint32_t attribute)
{
    AtnPos pos;
    pos.record = here();
    raw({ 0xF1, 0xCE }).number(nameIndex).number(typeIndex);
    pos.attribute = here();
    number(attribute);
    pos.payload = here();
    pos.text = pos.payload;
    return pos;
}

AtnPos EnvironmentPart::attribute50(std::array<uint32_t, 6> values)
{
    AtnPos pos = attribute(50);
    for (uint32_t v : values)
        number(v);
    return pos;
}

AtnPos EnvironmentPart::attribute51(std::string_view s)
{
    AtnPos pos = attribute(51);
    name(s);
    return pos;
}

AtnPos EnvironmentPart::attribute52(uint32_t value)
{
    AtnPos pos = attribute(52);
    number(value);
    return pos;
}

AtnPos EnvironmentPart::attribute53(uint32_t value)
{
    AtnPos pos = attribute(53);
    number(value);
    return pos;
}

AtnPos EnvironmentPart::attribute54(std::array<uint32_t, 4> values)
{
    AtnPos pos = attribute(54);
    for (uint32_t v : values)
        number(v);
    return pos;
}

AtnPos EnvironmentPart::debugString(const Bytes& s, NameForm form)
{
    AtnPos pos = attribute(55);
    name(s, form);
    pos.text = { m_segment, size() - s.size() };
    return pos;
}

Mark SectionPart::add(const Section& s)
{
    const Mark at = here();
    byte(0xE6).number(s.index);
    for (char c : s.type) {
        if (c < 'A' || c > 'Z')
            throw std::invalid_argument("section type letters must be A..Z");
        byte(static_cast<uint8_t>(0xC1 + (c - 'A')));
    }
    name(s.name, NameForm::Short);
    if (s.alignment)
        byte(0xE7).number(s.index).number(*s.alignment);
    if (s.start)
        raw({ 0xE2, 0xCC }).number(s.index).number(*s.start);
    if (s.size)
        raw({ 0xE2, 0xD3 }).number(s.index).number(*s.size);
    return at;
}

GlobalSymbolPos ExternalPart::add(const GlobalSymbol& s)
{
    const uint32_t index = s.index.value_or(m_nextIndex);
    m_nextIndex = index + 1;
    GlobalSymbolPos pos;
    pos.record = here();
    byte(0xE8).number(index).name(s.name);
    pos.ati = here();
    raw({ 0xF1, 0xC9 }).number(index).number(s.kind).number(s.attribute).number(s.extra);
    pos.asi = here();
    raw({ 0xE2, 0xC9 }).number(index).number(s.value);
    return pos;
}

// ---------------------------------------------------------------- debug part

std::size_t DebugPart::open(uint8_t type)
{
    closeAll();
    m_open.push_back({ type });
    m_current = m_nextId++;
    return m_current;
}

void DebugPart::check(std::size_t id) const
{
    if (id != m_current || m_open.empty())
        throw std::logic_error("debug block written to after it was closed");
}

void DebugPart::writeCloser(Bytes& out, uint8_t type, std::optional<uint32_t> trailer)
{
    out.byte(0xF9);
    // Blocks 3 to 6 are left by skipping to the next record code, so the usual
    // end-address Number after their F9 is harmless.
    if (type >= 3 && type <= 6 && trailer)
        out.number(*trailer);
}

void DebugPart::closeAll()
{
    while (!m_open.empty()) {
        writeCloser(*this, m_open.back().type, 0);
        m_open.pop_back();
    }
    m_current = 0;
}

std::vector<uint8_t> DebugPart::output() const
{
    Bytes out(data());
    for (auto it = m_open.rbegin(); it != m_open.rend(); ++it)
        writeCloser(out, it->type, 0);
    if (m_terminator)
        out.byte(*m_terminator);
    return out.data();
}

TypeBlock DebugPart::typeBlock(std::string_view module, uint32_t number)
{
    const std::size_t id = open(0x01);
    raw({ 0xF8, 0x01 }).number(number).name(module);
    return TypeBlock(*this, id);
}

Mark DebugPart::bb2(std::string_view text, uint32_t number)
{
    closeAll();
    const Mark at = here();
    raw({ 0xF8, 0x02 }).number(number).name(text).byte(0xF9);
    return at;
}

NestingBlock DebugPart::bb3(std::string_view text, uint32_t number)
{
    const std::size_t id = open(0x03);
    raw({ 0xF8, 0x03 }).number(number).name(text);
    return NestingBlock(*this, id);
}

NestingBlock DebugPart::bb5(std::string_view text, uint32_t number)
{
    const std::size_t id = open(0x05);
    raw({ 0xF8, 0x05 }).number(number).name(text);
    return NestingBlock(*this, id);
}

AsmModuleBlock DebugPart::asmModule(std::string_view module, const AsmModuleOptions& options)
{
    const std::size_t id = open(0x0A);
    raw({ 0xF8, 0x0A }).number(options.number).name(module).name(options.secondName).number(options.secondNumber);
    if (options.skippedName)
        name(*options.skippedName, NameForm::Short);
    return AsmModuleBlock(*this, id);
}

TypeBlock& TypeBlock::nn(std::string_view name, uint32_t index)
{
    m_part->check(m_id);
    m_part->byte(0xF0).number(index).name(name);
    return *this;
}

TypeBlock& TypeBlock::type(const TypeRecord& r)
{
    m_part->check(m_id);
    m_part->byte(0xF2).number(r.index).byte(r.nameLetter).number(r.nameIndex);
    m_part->byte(static_cast<uint8_t>(r.letter)).raw(r.payload);
    return *this;
}

TypeBlock& TypeBlock::raw(std::initializer_list<uint8_t> bytes)
{
    m_part->check(m_id);
    m_part->raw(bytes);
    return *this;
}

Mark TypeBlock::here() const
{
    return m_part->here();
}

void TypeBlock::end()
{
    m_part->check(m_id);
    m_part->closeAll();
}

NestingBlock& NestingBlock::nn(std::string_view name, uint32_t index)
{
    m_part->check(m_id);
    m_part->byte(0xF0).number(index).name(name);
    return *this;
}

NestingBlock& NestingBlock::atn(std::initializer_list<uint32_t> numbers)
{
    m_part->check(m_id);
    m_part->raw({ 0xF1, 0xCE });
    for (uint32_t n : numbers)
        m_part->number(n);
    return *this;
}

NestingBlock& NestingBlock::as(uint8_t letter, std::initializer_list<uint32_t> numbers)
{
    m_part->check(m_id);
    m_part->raw({ 0xE2, letter });
    for (uint32_t n : numbers)
        m_part->number(n);
    return *this;
}

NestingBlock& NestingBlock::nested(
    uint8_t type, std::string_view name, std::initializer_list<uint32_t> numbers, uint32_t number)
{
    m_part->check(m_id);
    m_part->raw({ 0xF8, type }).number(number).name(name);
    for (uint32_t n : numbers)
        m_part->number(n);
    m_part->m_open.push_back({ type });
    return *this;
}

NestingBlock& NestingBlock::raw(std::initializer_list<uint8_t> bytes)
{
    m_part->check(m_id);
    m_part->raw(bytes);
    return *this;
}

NestingBlock& NestingBlock::end(std::optional<uint32_t> trailer)
{
    m_part->check(m_id);
    DebugPart::writeCloser(*m_part, m_part->m_open.back().type, trailer);
    m_part->m_open.pop_back();
    if (m_part->m_open.empty())
        m_part->m_current = 0;
    return *this;
}

Mark NestingBlock::here() const
{
    return m_part->here();
}

int NestingBlock::depth() const
{
    return m_id == m_part->m_current ? static_cast<int>(m_part->m_open.size()) : 0;
}

AsmModuleBlock& AsmModuleBlock::moduleSection(const ModuleSection& s, Mark* at)
{
    m_part->check(m_id);
    if (at)
        *at = m_part->here();
    m_part->raw({ 0xF8, s.blockType }).number(s.number).name(s.name);
    m_part->number(s.kind).number(s.sectionIndex).number(s.start);
    if (s.after90)
        m_part->raw({ 0x90, *s.after90 });
    m_part->byte(0xF9).number(s.size);
    return *this;
}

AsmModuleBlock& AsmModuleBlock::localSymbol(const LocalSymbol& s, Mark* at)
{
    m_part->check(m_id);
    if (at)
        *at = m_part->here();
    m_part->byte(0xF0).number(s.index).name(s.name);
    m_part->raw({ 0xF1, 0xCE }).number(s.index).number(s.kind).number(s.attribute).number(s.extra1).number(s.extra2);
    m_part->raw({ 0xE2, 0xCE }).number(s.index).number(s.value);
    return *this;
}

AsmModuleBlock& AsmModuleBlock::raw(std::initializer_list<uint8_t> bytes)
{
    m_part->check(m_id);
    m_part->raw(bytes);
    return *this;
}

Mark AsmModuleBlock::here() const
{
    return m_part->here();
}

void AsmModuleBlock::end()
{
    m_part->check(m_id);
    m_part->closeAll();
}

// ---------------------------------------------------------------- the file

struct Ieee695Writer::Layout {
    std::vector<uint8_t> header;
    std::vector<std::vector<uint8_t>> segments;
    std::vector<std::size_t> starts; // starts[0] is the header's
    std::size_t ad = 0;
    std::size_t end = 0;
};

Ieee695Writer::Ieee695Writer() = default;
Ieee695Writer::~Ieee695Writer() = default;

Ieee695Writer& Ieee695Writer::header(std::string_view cpu, std::string_view module)
{
    m_header.cpu = cpu;
    m_header.module = module;
    environment();
    return *this;
}

Ieee695Writer& Ieee695Writer::header(const HeaderOptions& options)
{
    m_header = options;
    if (options.withEnvironment)
        environment();
    return *this;
}

EnvironmentPart& Ieee695Writer::environment(const EnvironmentOptions& options)
{
    if (!m_environment) {
        auto part = std::make_unique<EnvironmentPart>(m_segments.size() + 1, options);
        m_environment = part.get();
        m_segments.push_back(std::move(part));
    }
    return *m_environment;
}

SectionPart& Ieee695Writer::sections()
{
    if (!m_sections) {
        auto part = std::make_unique<SectionPart>(m_segments.size() + 1);
        m_sections = part.get();
        m_segments.push_back(std::move(part));
    }
    return *m_sections;
}

ExternalPart& Ieee695Writer::externals()
{
    if (!m_externals) {
        auto part = std::make_unique<ExternalPart>(m_segments.size() + 1);
        m_externals = part.get();
        m_segments.push_back(std::move(part));
    }
    return *m_externals;
}

DebugPart& Ieee695Writer::debug()
{
    if (!m_debug) {
        auto part = std::make_unique<DebugPart>(m_segments.size() + 1);
        m_debug = part.get();
        m_segments.push_back(std::move(part));
    }
    return *m_debug;
}

RawSegment& Ieee695Writer::rawSegment(std::initializer_list<uint8_t> bytes)
{
    auto segment = std::make_unique<RawSegment>(m_segments.size() + 1);
    segment->raw(bytes);
    RawSegment& result = *segment;
    m_segments.push_back(std::move(segment));
    return result;
}

Ieee695Writer& Ieee695Writer::omitAsw(uint32_t index)
{
    m_omitted.push_back(index);
    return *this;
}

Ieee695Writer& Ieee695Writer::overrideAsw(uint32_t index, uint32_t offset)
{
    m_overrides.emplace_back(index, offset);
    return *this;
}

Ieee695Writer& Ieee695Writer::extraAsw(uint32_t index, uint32_t offset)
{
    m_extra.emplace_back(index, offset);
    return *this;
}

Part* Ieee695Writer::partForIndex(uint32_t index) const
{
    switch (index) {
    case 1:
        return m_environment;
    case 2:
        return m_sections;
    case 3:
        return m_externals;
    case 4:
        return m_debug;
    default:
        return nullptr;
    }
}

Ieee695Writer::Layout Ieee695Writer::layout() const
{
    Layout l;
    for (const auto& segment : m_segments)
        l.segments.push_back(segment->output());

    // The ASW offsets are part of the header whose size moves the parts, so lay
    // out until the header stops growing; sizes only grow, so this settles fast.
    std::size_t headerSize = 0;
    for (int round = 0; round < 16; ++round) {
        l.starts.assign(1, 0);
        std::size_t at = headerSize;
        for (const auto& s : l.segments) {
            l.starts.push_back(at);
            at += s.size();
        }

        Bytes h;
        h.byte(m_header.mb).name(m_header.cpu, m_header.cpuForm).name(m_header.module, m_header.moduleForm);
        l.ad = h.size();
        h.raw(std::span<const uint8_t>(m_header.ad));
        auto asw = [&](uint32_t index, uint32_t offset) {
            h.raw({ 0xE2, 0xD7 }).number(index);
            if (m_header.offsetWidth)
                h.numberWidth(offset, *m_header.offsetWidth);
            else
                h.number(offset);
        };
        for (uint32_t index = 1; index <= 4; ++index) {
            const Part* part = partForIndex(index);
            if (!part || std::find(m_omitted.begin(), m_omitted.end(), index) != m_omitted.end())
                continue;
            auto offset = static_cast<uint32_t>(l.starts[part->start().segment]);
            for (const auto& [i, o] : m_overrides)
                if (i == index)
                    offset = o;
            asw(index, offset);
        }
        for (const auto& [index, offset] : m_extra)
            asw(index, offset);
        l.end = h.size();
        h.raw(std::span<const uint8_t>(m_header.end));

        if (h.size() == headerSize) {
            l.header = h.data();
            return l;
        }
        headerSize = h.size();
    }
    throw std::logic_error("header layout did not settle");
}

std::vector<uint8_t> Ieee695Writer::bytes() const
{
    Layout l = layout();
    std::vector<uint8_t> out = std::move(l.header);
    for (const auto& s : l.segments)
        out.insert(out.end(), s.begin(), s.end());
    return out;
}

void Ieee695Writer::writeTo(const std::filesystem::path& path) const
{
    const std::vector<uint8_t> data = bytes();
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
    if (!file)
        throw std::runtime_error("cannot write " + path.string());
}

std::size_t Ieee695Writer::offsetOf(Mark mark) const
{
    const Layout l = layout();
    if (mark.segment >= l.starts.size())
        throw std::out_of_range("mark of an unknown segment");
    return l.starts[mark.segment] + mark.offset;
}

std::size_t Ieee695Writer::partOffset(uint32_t aswIndex) const
{
    const Part* part = partForIndex(aswIndex);
    if (!part)
        throw std::out_of_range("no such part");
    return offsetOf(part->start());
}

std::size_t Ieee695Writer::adOffset() const
{
    return layout().ad;
}

std::size_t Ieee695Writer::headerEndOffset() const
{
    return layout().end;
}

} // namespace tessaly::testing
