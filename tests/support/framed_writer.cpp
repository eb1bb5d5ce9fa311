// Builder for framed-record absolute files: record framing, items and type descriptions.
#include "support/framed_writer.hpp"

#include <stdexcept>

namespace tessaly::testing {

FramedContent& FramedContent::byte(uint8_t b)
{
    m_data.push_back(b);
    return *this;
}

FramedContent& FramedContent::u16(uint16_t value)
{
    return byte(static_cast<uint8_t>(value >> 8)).byte(static_cast<uint8_t>(value));
}

FramedContent& FramedContent::u32(uint32_t value)
{
    return u16(static_cast<uint16_t>(value >> 16)).u16(static_cast<uint16_t>(value));
}

FramedContent& FramedContent::zeros(std::size_t n)
{
    m_data.insert(m_data.end(), n, 0);
    return *this;
}

FramedContent& FramedContent::string(std::string_view s)
{
    if (s.size() > 255)
        throw std::length_error("counted string longer than 255 bytes");
    byte(static_cast<uint8_t>(s.size()));
    m_data.insert(m_data.end(), s.begin(), s.end());
    return *this;
}

FramedContent& FramedContent::number(uint32_t value, int width)
{
    if (width < 0) {
        width = 1;
        while (width < 4 && (value >> (8 * width)) != 0)
            ++width;
    }
    byte(static_cast<uint8_t>(width));
    for (int i = width - 1; i >= 0; --i)
        byte(i < 4 ? static_cast<uint8_t>(value >> (8 * i)) : 0);
    return *this;
}

FramedContent& FramedContent::raw(std::initializer_list<uint8_t> bytes)
{
    m_data.insert(m_data.end(), bytes.begin(), bytes.end());
    return *this;
}

FramedContent& FramedContent::append(const FramedContent& other)
{
    m_data.insert(m_data.end(), other.m_data.begin(), other.m_data.end());
    return *this;
}

// ---- framing ----

FramedWriter& FramedWriter::start(const FramedHeader& h)
{
    first();
    header(h);
    return *this;
}

std::size_t FramedWriter::record(uint8_t type, const FramedContent& content)
{
    if (content.size() > framed::kMaxContent)
        throw std::length_error("record content longer than 253 bytes");
    const std::size_t at = m_bytes.size();
    m_records.emplace_back(at, type);
    m_bytes.push_back(type);
    m_bytes.push_back(static_cast<uint8_t>(content.size() + 2));
    m_bytes.insert(m_bytes.end(), content.data().begin(), content.data().end());
    return at;
}

std::size_t FramedWriter::rawBytes(std::initializer_list<uint8_t> bytes)
{
    const std::size_t at = m_bytes.size();
    m_bytes.insert(m_bytes.end(), bytes.begin(), bytes.end());
    return at;
}

std::size_t FramedWriter::item(const std::vector<FramedRecord>& records)
{
    const std::size_t at = m_bytes.size();
    for (std::size_t i = 0; i < records.size(); ++i) {
        const bool last = i + 1 == records.size();
        const uint8_t type = last ? (records[i].type | 0x80) : (records[i].type & 0x7F);
        record(type, records[i].content);
    }
    return at;
}

std::size_t FramedWriter::listItem(uint8_t type, const FramedContent& head, const std::vector<FramedContent>& entries,
    std::size_t maxContent, bool trailing)
{
    std::vector<FramedRecord> records { { type, head } };
    for (const FramedContent& entry : entries) {
        if (records.back().content.size() + entry.size() > maxContent)
            records.push_back({ type, {} });
        records.back().content.append(entry);
    }
    if (trailing)
        records.push_back({ type, {} });
    return item(records);
}

// ---- groups ----

std::size_t FramedWriter::first()
{
    return record(framed::kFirst, FramedContent {}.zeros(4));
}

std::size_t FramedWriter::header(const FramedHeader& h)
{
    FramedContent c;
    c.byte(h.a).zeros(12).u16(0).byte(0).u16(0).u16(0).zeros(5).byte(h.f);
    if (h.f != 0) {
        if (h.a != 0)
            c.u16(0).u16(0);
        c.u32(0);
    }
    c.zeros(2).string(h.module).string(h.cpu);
    return record(framed::kHeader, c);
}

std::size_t FramedWriter::module(std::string_view name)
{
    return record(framed::kModule, FramedContent {}.byte(0).u16(0).u16(0).u16(0).string(name));
}

std::size_t FramedWriter::sectionPart(const FramedSectionPart& p)
{
    FramedContent c;
    c.byte(0).u32(p.start).u32(p.size).u32(p.alignment).byte(p.flags.f1).byte(p.flags.f2).byte(0).string(p.name);
    return record(framed::kSectionPart, c);
}

std::size_t FramedWriter::globals(const std::vector<GlobalEntry>& entries, std::size_t maxContent)
{
    const std::size_t at = m_bytes.size();
    FramedContent pending;
    for (const GlobalEntry& e : entries) {
        FramedContent c;
        c.u16(e.part).byte(e.flags);
        if (e.flags < 64)
            c.u32(e.offset);
        else if (e.flags >> 5 == 2)
            c.number(e.value);
        c.string(e.name);
        if (pending.size() + c.size() > maxContent) {
            record(framed::kGlobalSymbols, pending);
            pending = {};
        }
        pending.append(c);
    }
    record(framed::kGlobalSymbols, pending);
    return at;
}

std::size_t FramedWriter::skippedGroup()
{
    const std::size_t at = record(framed::kSkippedGroup, { 1, 2 });
    record(framed::kSkippedFirst, { 3 });
    record(framed::kSkippedSecond, { 4 });
    return at;
}

std::size_t FramedWriter::moduleSelect(uint16_t module)
{
    return record(framed::kModuleSelect, FramedContent {}.byte(0).u16(module));
}

std::size_t FramedWriter::sourceFiles(const std::vector<std::string>& names, std::size_t maxContent, bool trailing)
{
    std::vector<FramedContent> entries;
    for (const std::string& name : names)
        entries.push_back(FramedContent {}.byte(0).string(name));
    return listItem(framed::kSourceFiles, FramedContent {}.u16(0).u16(static_cast<uint16_t>(names.size())), entries,
        maxContent, trailing);
}

std::size_t FramedWriter::openBlock(uint8_t t)
{
    return record(framed::kBlock, { t });
}

std::size_t FramedWriter::openFunctionBlock(uint32_t size)
{
    return record(framed::kBlock, FramedContent {}.byte(3).zeros(6).u32(size));
}

std::size_t FramedWriter::closeBlock()
{
    return record(framed::kBlock, { 0x80 });
}

std::size_t FramedWriter::end(uint8_t type)
{
    return record(type);
}

std::size_t FramedWriter::findRecord(uint8_t type, std::size_t from) const
{
    for (const auto& [at, recordType] : m_records)
        if (at >= from && (recordType & 0x7F) == (type & 0x7F))
            return at;
    throw std::out_of_range("no such record");
}

// ---- definitions ----

std::size_t FramedWriter::variable(const VariableDef& d)
{
    FramedContent c;
    c.byte(d.k).u16(d.type).string(d.name).byte(d.storage);
    if (d.storage == kGlobal || d.storage == kStatic) {
        c.u32(d.info2).u16(d.part).u32(d.offset);
        if (d.storage == kGlobal)
            c.string(d.linkName);
        c.u16(d.source).u16(d.info1);
    } else if (d.storage == kReference) {
        c.u32(d.info2).string(d.refName).u16(d.source).u16(d.info1);
    }
    std::vector<FramedRecord> records { { framed::kDefinition, c } };
    describe(records, d.desc);
    return item(records);
}

std::size_t FramedWriter::function(const FunctionDef& d)
{
    FramedContent c;
    c.byte(d.k).u16(d.type).string(d.name).byte(d.storage);
    if (d.storage == kGlobal || d.storage == kStatic) {
        c.u32(d.number32).u16(d.part).u32(d.offset);
        if (d.storage == kGlobal)
            c.string(d.linkName);
        c.u16(d.source).u16(d.info1);
    } else if (d.storage == kReference) {
        c.u32(d.number32).string(d.linkName).u16(d.source).u16(d.info1);
    }
    std::vector<FramedRecord> records { { framed::kDefinition, c } };
    describeFunction(records, d.desc);
    return item(records);
}

std::size_t FramedWriter::localLabel(std::string_view name, uint16_t part, uint32_t offset, uint8_t marker, uint8_t k)
{
    FramedContent c;
    c.byte(k).u16(0).string(name).byte(marker).u32(0).u16(part).u32(offset);
    return record(framed::kDefinition, c);
}

std::size_t FramedWriter::localValue(std::string_view name, uint32_t value, uint8_t k)
{
    return record(framed::kDefinition, FramedContent {}.byte(k).u16(0).string(name).number(value));
}

std::size_t FramedWriter::typedefDef(std::string_view name, uint16_t number, const TypeDesc& desc, uint8_t k)
{
    std::vector<FramedRecord> records { { framed::kDefinition, FramedContent {}.byte(k).u16(number).string(name) } };
    describe(records, desc);
    return item(records);
}

std::size_t FramedWriter::recordTypeDef(
    std::string_view name, uint16_t number, uint8_t m, const TypeDesc& desc, uint8_t k)
{
    FramedContent c;
    c.byte(k).u16(number).string(name).zeros(8).byte(m);
    std::vector<FramedRecord> records { { framed::kDefinition, c } };
    describe(records, desc);
    return item(records);
}

std::size_t FramedWriter::otherDefinition(uint8_t k, const TypeDesc& desc)
{
    std::vector<FramedRecord> records { { framed::kDefinition, FramedContent {}.byte(k).u16(0).string("other") } };
    describe(records, desc);
    return item(records);
}

// ---- descriptions ----

namespace {

FramedContent baseContent(const BaseType& b)
{
    FramedContent c;
    c.byte(b.code).u32(b.size).byte(b.flags);
    if (b.code == 10 || b.code == 11)
        c.u16(b.named);
    return c;
}

void arrayRecords(std::vector<FramedRecord>& out, const TypeCtor& array)
{
    FramedContent head;
    head.byte(0).u32(0).u16(static_cast<uint16_t>(array.dims.size()));
    out.push_back({ framed::kArray, head });
    std::size_t inRecord = 0;
    for (const ArrayDim& dim : array.dims) {
        if (array.dimsPerRecord && inRecord == array.dimsPerRecord) {
            out.push_back({ framed::kArray, {} });
            inRecord = 0;
        }
        FramedContent& c = out.back().content;
        c.byte(dim.withNumber ? 0x40 : 0x00);
        if (dim.withNumber)
            c.u16(0x1234);
        c.u32(dim.bound).u32(0);
        ++inRecord;
    }
}

} // namespace

void FramedWriter::describe(std::vector<FramedRecord>& out, const TypeDesc& desc)
{
    out.push_back({ framed::kDescriptionEnd, { 0 } });
    out.push_back({ framed::kBaseType, baseContent(desc.base) });
    for (const TypeCtor& ctor : desc.ctors) {
        switch (ctor.kind) {
        case TypeCtor::Kind::Pointer:
            out.push_back({ framed::kPointer, {} });
            break;
        case TypeCtor::Kind::Array:
            arrayRecords(out, ctor);
            break;
        case TypeCtor::Kind::Enumeration:
            out.push_back({ framed::kEnumeration, {} });
            for (const Enumerator& e : ctor.items) {
                out.push_back({ framed::kEntry, FramedContent {}.byte(0).u16(0).string(e.name).number(e.value) });
                if (e.nested) {
                    out.push_back({ framed::kDescriptionEnd, { 0 } });
                    out.push_back({ framed::kDescriptionEnd, { 1 } });
                }
            }
            out.push_back({ framed::kEnumeration, {} });
            break;
        case TypeCtor::Kind::Structure:
            out.push_back({ framed::kStructure, {} });
            for (const StructMember& m : ctor.members) {
                FramedContent c;
                c.byte(0).u16(m.number).string(m.name);
                if (m.bitField) {
                    c.byte(0x80).u32(m.a).u32(m.b).u32(m.c);
                    out.push_back({ framed::kEntry, c });
                    out.push_back({ framed::kDescriptionEnd, { 0 } });
                    out.push_back({ framed::kBaseType, baseContent(m.bitBase) });
                    out.push_back({ framed::kDescriptionEnd, { 1 } });
                } else {
                    c.byte(0).u32(0).u32(m.offset);
                    out.push_back({ framed::kEntry, c });
                    describe(out, m.type);
                }
            }
            out.push_back({ framed::kStructure, {} });
            break;
        case TypeCtor::Kind::Function:
            out.push_back({ framed::kFunctionType, {} });
            for (const Param& p : ctor.params) {
                out.push_back({ framed::kEntry, FramedContent {}.byte(0).u16(p.number) });
                describe(out, p.type);
            }
            out.push_back({ framed::kFunctionType, {} });
            break;
        case TypeCtor::Kind::PassedOver:
            out.push_back({ framed::kPassedOver, { 9, 9 } });
            break;
        }
    }
    out.push_back({ framed::kDescriptionEnd, { 1 } });
}

void FramedWriter::describeFunction(std::vector<FramedRecord>& out, const FunctionDesc& desc)
{
    out.push_back({ framed::kDescriptionEnd, { 0 } });
    out.push_back({ framed::kBaseType, baseContent(desc.returns) });
    for (int i = 0; i < desc.pointerLevels; ++i)
        out.push_back({ framed::kPointer, {} });
    out.push_back({ framed::kFunctionType, {} });
    for (const Param& p : desc.params) {
        out.push_back({ framed::kEntry, FramedContent {}.byte(0).u16(p.number) });
        describe(out, p.type);
    }
    out.push_back({ framed::kFunctionType, {} });
    out.push_back({ framed::kDescriptionEnd, { 1 } });
}

} // namespace tessaly::testing
