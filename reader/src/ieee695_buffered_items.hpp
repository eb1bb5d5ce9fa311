// ieee695_buffered_items.hpp: IEEE-695 Numbers and Names decoded from bytes the input has buffered.
#pragma once

#include <array>
#include <cassert>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace orvik {

// Reads items from a bounded view of the input's buffer, for records that lie wholly in it:
// a group of records costs a few hundred instructions through the cursor's byte calls and a
// fraction of that from a pointer. The caller checks with has() that the longest form of the
// items it reads next lies in the view, once for a run of them, and then reads them without a
// check each. A read returns false where an item is not in its plain form, and the caller then
// reads the record through the cursor from its start, which raises each fault at its offset.
class BufferedIeee695Items {
public:
    // The longest Number: 0x84 and four bytes.
    static constexpr std::size_t kNumberBytes = 5;
    // The longest length of a Name: 0xDF and two bytes.
    static constexpr std::size_t kNameLengthBytes = 3;

    explicit BufferedIeee695Items(std::span<const uint8_t> bytes)
        : m_start(bytes.data())
        , m_p(bytes.data())
        , m_end(bytes.data() + bytes.size())
    {
    }

    // The bytes read so far, to be taken from the input.
    std::size_t used() const { return static_cast<std::size_t>(m_p - m_start); }
    bool has(std::size_t n) const { return left() >= n; }

    uint8_t byte()
    {
        assert(has(1));
        return *m_p++;
    }

    bool expect(uint8_t expected) { return byte() == expected; }

    // 0 to 127 in one byte, or 0x81 to 0x84 and that many bytes, most significant first.
    bool number(uint32_t& out)
    {
        assert(has(kNumberBytes));
        const uint8_t first = *m_p;
        if (first < 0x80) {
            out = first;
            ++m_p;
            return true;
        }
        const unsigned count = first - 0x80u;
        if (count - 1 > 3)
            return false;
        // The four bytes after the first lie in the view (has(kNumberBytes)); the unused low
        // ones are shifted out.
        const uint32_t word = uint32_t { m_p[1] } << 24 | uint32_t { m_p[2] } << 16 | uint32_t { m_p[3] } << 8 | m_p[4];
        out = word >> (8 * (4 - count));
        m_p += count + 1;
        return true;
    }

    bool signedNumber(int32_t& out)
    {
        uint32_t value = 0;
        if (!number(value))
            return false;
        out = static_cast<int32_t>(value);
        return true;
    }

    // As the cursor's skipNumber: any first byte but 0x81 to 0x84 is the whole item.
    void skipNumber()
    {
        assert(has(kNumberBytes));
        m_p += kSkipLength[*m_p];
    }

    // A Name's bytes where they lie in the view: a length of 0 to 127 in one byte, or 0xDE and
    // one length byte, or 0xDF and two. False too when its bytes run past the view.
    bool name(std::string_view& out)
    {
        assert(has(kNameLengthBytes));
        const uint8_t first = *m_p;
        std::size_t length = first;
        std::size_t lengthBytes = 1;
        if (first == 0xDE) {
            length = m_p[1];
            lengthBytes = 2;
        } else if (first == 0xDF) {
            length = std::size_t { m_p[1] } << 8 | m_p[2];
            lengthBytes = 3;
        } else if (first > 0x7F) {
            return false;
        }
        if (left() - lengthBytes < length)
            return false;
        out = { reinterpret_cast<const char*>(m_p + lengthBytes), length };
        m_p += lengthBytes + length;
        return true;
    }

private:
    // The bytes skipNumber() passes over, by the first: a load where the test of the first
    // byte and its select were eight instructions, three times a public name.
    static constexpr auto kSkipLength = [] {
        std::array<uint8_t, 256> lengths {};
        for (unsigned first = 0; first < 256; ++first)
            lengths[first] = first >= 0x81 && first <= 0x84 ? static_cast<uint8_t>(first - 0x7F) : 1;
        return lengths;
    }();

    std::size_t left() const { return static_cast<std::size_t>(m_end - m_p); }

    const uint8_t* m_start;
    const uint8_t* m_p;
    const uint8_t* m_end;
};

} // namespace orvik
