// ieee695_items.hpp: the primitive items of IEEE-695 (Numbers, Names, record codes) over the input.
#pragma once

#include "input_file.hpp"
#include "read_fault.hpp"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace orvik {

namespace ieee695 {
constexpr uint8_t kModuleBegin = 0xE0;
constexpr uint8_t kModuleEnd = 0xE1;
constexpr uint8_t kAssignValue = 0xE2;
constexpr uint8_t kInitialiseRelocation = 0xE3;
constexpr uint8_t kLoadRelocated = 0xE4;
constexpr uint8_t kCurrentSection = 0xE5;
constexpr uint8_t kSectionType = 0xE6;
constexpr uint8_t kSectionAlignment = 0xE7;
constexpr uint8_t kPublicName = 0xE8;
constexpr uint8_t kExternalName = 0xE9;
constexpr uint8_t kAddressDescriptor = 0xEC;
constexpr uint8_t kLoadData = 0xED;
constexpr uint8_t kNameRecord = 0xF0;
constexpr uint8_t kAttribute = 0xF1;
constexpr uint8_t kTypeRecord = 0xF2;
constexpr uint8_t kBlockBegin = 0xF8;
constexpr uint8_t kBlockEnd = 0xF9;

// The variable letters of AS, ATN and similar records.
constexpr uint8_t kVariableI = 0xC9;
constexpr uint8_t kVariableL = 0xCC;
constexpr uint8_t kVariableN = 0xCE;
constexpr uint8_t kVariableP = 0xD0;
constexpr uint8_t kVariableS = 0xD3;
constexpr uint8_t kVariableW = 0xD7;

inline bool isRecordCode(uint8_t b)
{
    return b >= 0xE0 && b <= 0xFB;
}
inline bool isLetter(uint8_t b)
{
    return b >= 0xC1 && b <= 0xDA;
}
} // namespace ieee695

// Reads items at the input's position; every fault names the offset of its byte.
class Ieee695Items {
public:
    explicit Ieee695Items(InputFile& in)
        : m_in(in)
    {
    }

    uint32_t number()
    {
        const uint32_t at = m_in.offset();
        return numberFrom(m_in.byte(), at);
    }

    // A Number whose first byte, found at offset at, has been read already.
    uint32_t numberFrom(uint8_t first, uint32_t at)
    {
        if (first < 0x80)
            return first;
        if (first < 0x81 || first > 0x84)
            fail(IE_ERROR_READ, at);
        uint32_t value = 0;
        for (int i = 0; i < (first & 0x0F); ++i)
            value = (value << 8) | m_in.byte();
        return value;
    }

    int32_t signedNumber() { return static_cast<int32_t>(number()); }

    void skipNumber()
    {
        const uint8_t first = m_in.byte();
        if (first >= 0x81 && first <= 0x84)
            m_in.skip(first & 0x0F);
    }

    std::size_t nameLength(uint8_t first, uint32_t at)
    {
        if (first <= 0x7F)
            return first;
        if (first == 0xDE)
            return m_in.byte();
        if (first == 0xDF) {
            const std::size_t high = m_in.byte();
            return high << 8 | m_in.byte();
        }
        fail(IE_ERROR_READ, at);
    }

    std::size_t nameLength()
    {
        const uint32_t at = m_in.offset();
        return nameLength(m_in.byte(), at);
    }

    // Reads a Name into the scratch buffer and returns it (valid until the next name).
    std::string_view name()
    {
        const uint32_t at = m_in.offset();
        return nameFrom(m_in.byte(), at);
    }

    // A Name whose length byte, found at offset at, has been read already.
    std::string_view nameFrom(uint8_t first, uint32_t at) { return bytes(nameLength(first, at)); }

    void skipName() { m_in.skip(nameLength()); }

    // Reads a Name into a fixed buffer of the root; a longer name keeps its first
    // size - 1 bytes and the rest is passed over so reading stays in step.
    void nameInto(char* buffer, std::size_t size)
    {
        const std::size_t length = nameLength();
        const std::size_t kept = std::min(length, size - 1);
        std::memset(buffer, 0, size);
        m_in.block(reinterpret_cast<uint8_t*>(buffer), kept);
        m_in.skip(length - kept);
    }

    uint8_t skipToRecordCode()
    {
        for (;;) {
            const uint8_t b = m_in.byte();
            if (ieee695::isRecordCode(b))
                return b;
            if (b >= 0x81 && b <= 0x84)
                m_in.skip(b & 0x0F);
        }
    }

    // Passes over fields to the next record code, as skipToRecordCode does, but returns false
    // when the file ends first.
    bool skipFieldsTo(uint8_t& code)
    {
        for (;;) {
            if (!m_in.tryByte(code))
                return false;
            if (ieee695::isRecordCode(code))
                return true;
            if (code >= 0x81 && code <= 0x84)
                m_in.skip(code & 0x0F);
        }
    }

    // Reads one byte and raises code 3 at its offset unless it is expected.
    void expectByte(uint8_t expected)
    {
        const uint32_t at = m_in.offset();
        if (m_in.byte() != expected)
            fail(IE_ERROR_READ, at);
    }

    void skipNumbers(int count)
    {
        for (int i = 0; i < count; ++i)
            skipNumber();
    }

    // Reads a name whose length byte (0 to 127 only) has been read already.
    std::string_view shortName(uint8_t length, uint32_t at)
    {
        if (length > 0x7F)
            fail(IE_ERROR_READ, at);
        return bytes(length);
    }

    // A name that may stand before the next record: when the next byte is not a record
    // code it is that name's length byte, and the name and anything up to the next record
    // code are passed over. Returns the record code.
    uint8_t skipOptionalNameToRecordCode()
    {
        const uint32_t at = m_in.offset();
        const uint8_t code = m_in.byte();
        if (ieee695::isRecordCode(code))
            return code;
        m_in.skip(nameLength(code, at));
        return skipToRecordCode();
    }

protected:
    // n bytes of the input, seen where they lie or, across the buffer's end, copied into the
    // scratch buffer; valid until the next read.
    std::string_view bytes(std::size_t n)
    {
        if (const uint8_t* p = m_in.view(n))
            return { reinterpret_cast<const char*>(p), n };
        m_scratch.resize(n);
        m_in.block(reinterpret_cast<uint8_t*>(m_scratch.data()), n);
        return m_scratch;
    }

    InputFile& m_in;
    std::string m_scratch;
};

} // namespace orvik
