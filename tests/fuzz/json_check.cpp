// json_check.cpp: a recursive-descent JSON validator that keeps nothing but the first fault.
#include "json_check.hpp"

#include <cstddef>
#include <cstdint>

namespace tessaly::fuzz {
namespace {

// Deeper nesting than any writer here produces, and shallow enough for the stack.
constexpr int kMaxDepth = 256;

class Validator {
public:
    explicit Validator(std::string_view text)
        : m_text(text)
    {
    }

    std::optional<std::string> run()
    {
        skipSpace();
        if (!value(0))
            return m_fault;
        skipSpace();
        if (m_pos != m_text.size())
            fail("text after the value");
        return m_fault;
    }

private:
    bool fail(const char* what)
    {
        if (!m_fault)
            m_fault = std::string(what) + " at byte " + std::to_string(m_pos);
        return false;
    }

    bool atEnd() const { return m_pos >= m_text.size(); }
    char peek() const { return atEnd() ? '\0' : m_text[m_pos]; }

    void skipSpace()
    {
        while (!atEnd() && (peek() == ' ' || peek() == '\t' || peek() == '\n' || peek() == '\r'))
            ++m_pos;
    }

    bool literal(std::string_view word)
    {
        if (m_text.substr(m_pos, word.size()) != word)
            return fail("unknown literal");
        m_pos += word.size();
        return true;
    }

    bool value(int depth)
    {
        if (depth > kMaxDepth)
            return fail("nesting too deep");
        switch (peek()) {
        case '{':
            return object(depth);
        case '[':
            return array(depth);
        case '"':
            return string();
        case 't':
            return literal("true");
        case 'f':
            return literal("false");
        case 'n':
            return literal("null");
        default:
            return number();
        }
    }

    bool object(int depth)
    {
        ++m_pos; // '{'
        skipSpace();
        if (peek() == '}') {
            ++m_pos;
            return true;
        }
        for (;;) {
            skipSpace();
            if (peek() != '"')
                return fail("object key is not a string");
            if (!string())
                return false;
            skipSpace();
            if (peek() != ':')
                return fail("':' missing after a key");
            ++m_pos;
            skipSpace();
            if (!value(depth + 1))
                return false;
            skipSpace();
            if (peek() == ',') {
                ++m_pos;
                continue;
            }
            if (peek() == '}') {
                ++m_pos;
                return true;
            }
            return fail("',' or '}' expected in an object");
        }
    }

    bool array(int depth)
    {
        ++m_pos; // '['
        skipSpace();
        if (peek() == ']') {
            ++m_pos;
            return true;
        }
        for (;;) {
            skipSpace();
            if (!value(depth + 1))
                return false;
            skipSpace();
            if (peek() == ',') {
                ++m_pos;
                continue;
            }
            if (peek() == ']') {
                ++m_pos;
                return true;
            }
            return fail("',' or ']' expected in an array");
        }
    }

    bool digits()
    {
        const std::size_t begin = m_pos;
        while (peek() >= '0' && peek() <= '9')
            ++m_pos;
        return m_pos > begin;
    }

    bool number()
    {
        if (peek() == '-')
            ++m_pos;
        if (peek() == '0') {
            ++m_pos;
            if (peek() >= '0' && peek() <= '9')
                return fail("number with a leading zero");
        } else if (!digits()) {
            return fail("value expected");
        }
        if (peek() == '.') {
            ++m_pos;
            if (!digits())
                return fail("digits missing after '.'");
        }
        if (peek() == 'e' || peek() == 'E') {
            ++m_pos;
            if (peek() == '+' || peek() == '-')
                ++m_pos;
            if (!digits())
                return fail("digits missing in an exponent");
        }
        return true;
    }

    int hexDigit(char c) const
    {
        if (c >= '0' && c <= '9')
            return c - '0';
        if (c >= 'a' && c <= 'f')
            return c - 'a' + 10;
        if (c >= 'A' && c <= 'F')
            return c - 'A' + 10;
        return -1;
    }

    // The four hex digits after "\u", as a code unit, or -1.
    int32_t unicodeEscape()
    {
        if (m_text.size() - m_pos < 4)
            return -1;
        int32_t unit = 0;
        for (int i = 0; i < 4; ++i) {
            const int digit = hexDigit(m_text[m_pos + std::size_t(i)]);
            if (digit < 0)
                return -1;
            unit = unit * 16 + digit;
        }
        m_pos += 4;
        return unit;
    }

    bool escape()
    {
        ++m_pos; // '\\'
        if (atEnd())
            return fail("string not closed");
        const char c = peek();
        ++m_pos;
        switch (c) {
        case '"':
        case '\\':
        case '/':
        case 'b':
        case 'f':
        case 'n':
        case 'r':
        case 't':
            return true;
        case 'u':
            break;
        default:
            return fail("unknown escape");
        }
        const int32_t unit = unicodeEscape();
        if (unit < 0)
            return fail("bad \\u escape");
        if (unit >= 0xDC00 && unit <= 0xDFFF)
            return fail("lone low surrogate escape");
        if (unit >= 0xD800 && unit <= 0xDBFF) {
            if (m_text.substr(m_pos, 2) != "\\u")
                return fail("high surrogate escape without its pair");
            m_pos += 2;
            const int32_t low = unicodeEscape();
            if (low < 0xDC00 || low > 0xDFFF)
                return fail("high surrogate escape without its pair");
        }
        return true;
    }

    // One UTF-8 sequence of two to four bytes, shortest form, no surrogates, at most U+10FFFF.
    bool utf8()
    {
        const auto lead = static_cast<unsigned char>(peek());
        int length = 0;
        uint32_t code = 0;
        uint32_t least = 0;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
            code = lead & 0x1Fu;
            least = 0x80;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            code = lead & 0x0Fu;
            least = 0x800;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            code = lead & 0x07u;
            least = 0x10000;
        } else {
            return fail("byte that starts no UTF-8 sequence");
        }
        if (m_text.size() - m_pos < std::size_t(length))
            return fail("UTF-8 sequence cut short");
        for (int i = 1; i < length; ++i) {
            const auto next = static_cast<unsigned char>(m_text[m_pos + std::size_t(i)]);
            if ((next & 0xC0u) != 0x80u)
                return fail("UTF-8 sequence cut short");
            code = code << 6 | (next & 0x3Fu);
        }
        if (code < least || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return fail("overlong, surrogate or out-of-range UTF-8");
        m_pos += std::size_t(length);
        return true;
    }

    bool string()
    {
        ++m_pos; // '"'
        for (;;) {
            if (atEnd())
                return fail("string not closed");
            const auto c = static_cast<unsigned char>(peek());
            if (c == '"') {
                ++m_pos;
                return true;
            }
            if (c < 0x20)
                return fail("control character in a string");
            if (c == '\\') {
                if (!escape())
                    return false;
            } else if (c >= 0x80) {
                if (!utf8())
                    return false;
            } else {
                ++m_pos;
            }
        }
    }

    std::string_view m_text;
    std::size_t m_pos = 0;
    std::optional<std::string> m_fault;
};

} // namespace

std::optional<std::string> jsonFault(std::string_view text)
{
    return Validator(text).run();
}

} // namespace tessaly::fuzz
