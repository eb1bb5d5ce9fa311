// framed_records.hpp: reading framed records whole and their content fields within bounds.
#pragma once

#include "input_file.hpp"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace orvik {

// The fields of a record's content, big-endian, over a reader's bounded take(n). Inline: a
// million records are read a few fields each.
template <typename Reader> class ContentFields {
public:
    uint8_t byte() { return *take(1); }
    uint16_t u16()
    {
        const uint8_t* p = take(2);
        return static_cast<uint16_t>(p[0] << 8 | p[1]);
    }
    uint32_t u32()
    {
        const uint8_t* p = take(4);
        return uint32_t { p[0] } << 24 | uint32_t { p[1] } << 16 | uint32_t { p[2] } << 8 | p[3];
    }
    // Valid until the next record is read.
    std::string_view string()
    {
        const std::size_t count = byte();
        const uint8_t* p = take(count);
        return { reinterpret_cast<const char*>(p), count };
    }
    // A count byte, then that many bytes of a big-endian number; only the low 32 bits are kept.
    uint32_t countedNumber()
    {
        const std::size_t count = byte();
        const uint8_t* p = take(count);
        uint32_t value = 0;
        for (std::size_t i = 0; i < count; ++i)
            value = value << 8 | p[i];
        return value;
    }

private:
    const uint8_t* take(std::size_t n) { return static_cast<Reader*>(this)->take(n); }
};

// One record at a time: type, length (header included), content. The content cursor never
// reads past the record: a field the record does not hold is code 3 at the record's start.
class FramedRecords : public ContentFields<FramedRecords> {
public:
    explicit FramedRecords(InputFile& in)
        : m_in(in)
    {
    }

    // Reads the next record whole. A length below 2 is code 3 at the record's start; the file
    // ending inside the record is code 2.
    void next();

    uint8_t type() const { return m_type; }
    uint8_t kind() const { return m_type & 0x7F; }
    // True for both forms of a type: bit 7 only marks the last record of an item.
    bool is(uint8_t type) const { return kind() == (type & 0x7F); }
    bool isLast() const { return (m_type & 0x80) != 0; }
    uint32_t start() const { return m_start; }

    // A list goes on while at least two content bytes are left.
    bool hasMore() const { return m_length - m_pos >= 2; }
    // Before each entry of a list: moves to the item's next record when this one is exhausted.
    // An exhausted last record means the list claims more entries than the item holds.
    void continueList();

    void skip(std::size_t n) { take(n); }

    // From the current record on, reads records until the 0xB6 records balance: one whose
    // first byte is 0 opens, any other closes. A current record of another kind is all.
    void skipUntilBalanced();

    [[noreturn]] void fault() const;

private:
    friend class ContentFields<FramedRecords>;
    friend class FramedFields;

    const uint8_t* take(std::size_t n)
    {
        if (m_length - m_pos < n)
            fault();
        const uint8_t* p = m_data + m_pos;
        m_pos += n;
        return p;
    }

    InputFile& m_in;
    const uint8_t* m_data = nullptr; // the record's content: in the input's buffer, or in m_buffer
    std::array<uint8_t, 256> m_buffer {};
    uint8_t m_type = 0;
    std::size_t m_length = 0; // content bytes
    std::size_t m_pos = 0;
    uint32_t m_start = 0;
};

// The current record's content left, read through a local pointer: in a loop over a long
// list the pointers stay in registers, where the record's members were reloaded and stored
// again around every call the loop makes. The same bounds as the record's own fields, the
// same fault (code 3 at the record's start); done() hands the position back to the record.
class FramedFields : public ContentFields<FramedFields> {
public:
    explicit FramedFields(FramedRecords& records)
        : m_records(records)
        , m_next(records.m_data + records.m_pos)
        , m_end(records.m_data + records.m_length)
    {
    }

    bool hasMore() const { return m_end - m_next >= 2; }
    void done() { m_records.m_pos = static_cast<std::size_t>(m_next - m_records.m_data); }

private:
    friend class ContentFields<FramedFields>;

    const uint8_t* take(std::size_t n)
    {
        if (static_cast<std::size_t>(m_end - m_next) < n)
            m_records.fault();
        const uint8_t* p = m_next;
        m_next += n;
        return p;
    }

    FramedRecords& m_records;
    const uint8_t* m_next;
    const uint8_t* const m_end;
};

} // namespace orvik
