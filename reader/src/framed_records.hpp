// framed_records.hpp: reading framed records whole and their content fields within bounds.
#pragma once

#include "input_file.hpp"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace orvik {

// One record at a time: type, length (header included), content. The content cursor never
// reads past the record: a field the record does not hold is code 3 at the record's start.
class FramedRecords {
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

    uint8_t byte() { return *take(1); }
    uint16_t u16();
    uint32_t u32();
    // Valid until the next record is read.
    std::string_view string();
    // A count byte, then that many bytes of a big-endian number; only the low 32 bits are kept.
    uint32_t countedNumber();
    void skip(std::size_t n) { take(n); }

    // From the current record on, reads records until the 0xB6 records balance: one whose
    // first byte is 0 opens, any other closes. A current record of another kind is all.
    void skipUntilBalanced();

    [[noreturn]] void fault() const;

private:
    const uint8_t* take(std::size_t n);

    InputFile& m_in;
    std::array<uint8_t, 256> m_buffer {};
    uint8_t m_type = 0;
    std::size_t m_length = 0; // content bytes
    std::size_t m_pos = 0;
    uint32_t m_start = 0;
};

} // namespace orvik
