// json_writer.cpp: JSON string escaping and the indenting value writer.
#include "json_writer.hpp"

#include "name_chars.hpp"

#include <cassert>

namespace tessaly::dump {

namespace {

const char kHexDigits[] = "0123456789abcdef";

void writeUnicodeEscape(std::ostream& out, unsigned byte)
{
    out << "\\u00" << kHexDigits[byte >> 4] << kHexDigits[byte & 0x0F];
}

// The escape a byte needs inside a string literal, or null.
const char* shortEscape(unsigned byte)
{
    switch (byte) {
    case '"':
        return "\\\"";
    case '\\':
        return "\\\\";
    case '\b':
        return "\\b";
    case '\f':
        return "\\f";
    case '\n':
        return "\\n";
    case '\r':
        return "\\r";
    case '\t':
        return "\\t";
    default:
        return nullptr;
    }
}

} // namespace

void writeJsonString(std::ostream& out, std::string_view bytes)
{
    out << '"';
    // Runs of printable ASCII go out whole; names are mostly nothing else.
    std::size_t run = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const unsigned byte = static_cast<unsigned char>(bytes[i]);
        const char* escape = shortEscape(byte);
        if (!escape && byte >= 0x20 && byte < 0x7F)
            continue;
        out.write(bytes.data() + run, static_cast<std::streamsize>(i - run));
        run = i + 1;
        if (escape) {
            out << escape;
        } else if (byte < 0xA0) {
            writeUnicodeEscape(out, byte); // the other control characters, 0x00..0x1F and 0x7F..0x9F
        } else {
            const NameCharacterUtf8 character = NameCharacterAsUtf8(static_cast<unsigned char>(byte));
            out.write(character.bytes, static_cast<std::streamsize>(character.size));
        }
    }
    out.write(bytes.data() + run, static_cast<std::streamsize>(bytes.size() - run));
    out << '"';
}

void JsonWriter::newLine()
{
    m_out << '\n';
    for (std::size_t level = 0; level < m_hasItems.size(); ++level)
        m_out << "  ";
}

void JsonWriter::beforeValue()
{
    if (m_afterKey) {
        m_afterKey = false;
        return;
    }
    if (m_hasItems.empty())
        return;
    if (m_hasItems.back())
        m_out << ',';
    m_hasItems.back() = true;
    newLine();
}

void JsonWriter::end(char closer)
{
    assert(!m_hasItems.empty() && !m_afterKey);
    const bool hadItems = m_hasItems.back();
    m_hasItems.pop_back();
    if (hadItems)
        newLine();
    m_out << closer;
}

JsonWriter& JsonWriter::beginObject()
{
    beforeValue();
    m_out << '{';
    m_hasItems.push_back(false);
    return *this;
}

JsonWriter& JsonWriter::endObject()
{
    end('}');
    return *this;
}

JsonWriter& JsonWriter::beginArray()
{
    beforeValue();
    m_out << '[';
    m_hasItems.push_back(false);
    return *this;
}

JsonWriter& JsonWriter::endArray()
{
    end(']');
    return *this;
}

JsonWriter& JsonWriter::key(std::string_view name)
{
    beforeValue();
    writeJsonString(m_out, name);
    m_out << ": ";
    m_afterKey = true;
    return *this;
}

JsonWriter& JsonWriter::null()
{
    beforeValue();
    m_out << "null";
    return *this;
}

JsonWriter& JsonWriter::string(const char* text)
{
    if (!text)
        return null();
    beforeValue();
    writeJsonString(m_out, text);
    return *this;
}

JsonWriter& JsonWriter::character(int32_t value)
{
    if (value == 0)
        return null();
    if (value < 0 || value > 0xFF)
        return integer(value);
    beforeValue();
    const char byte = static_cast<char>(value);
    writeJsonString(m_out, std::string_view(&byte, 1));
    return *this;
}

JsonWriter& JsonWriter::integer(int64_t value)
{
    beforeValue();
    m_out << value;
    return *this;
}

JsonWriter& JsonWriter::unsignedInteger(uint64_t value)
{
    beforeValue();
    m_out << value;
    return *this;
}

JsonWriter& JsonWriter::index(std::optional<int32_t> position)
{
    if (!position)
        return null();
    return integer(*position);
}

} // namespace tessaly::dump
