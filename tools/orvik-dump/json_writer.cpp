// json_writer.cpp: JSON string escaping and the indenting value writer.
#include "json_writer.hpp"

#include "name_text.hpp"

#include <cassert>

namespace tessaly::dump {

namespace {

const char kHexDigits[] = "0123456789abcdef";

void writeUnicodeEscape(std::ostream& out, unsigned byte)
{
    out << "\\u00" << kHexDigits[byte >> 4] << kHexDigits[byte & 0x0F];
}

} // namespace

void writeJsonString(std::ostream& out, std::string_view bytes)
{
    out << '"';
    for (const char c : bytes) {
        const unsigned byte = static_cast<unsigned char>(c);
        switch (byte) {
        case '"':
            out << "\\\"";
            continue;
        case '\\':
            out << "\\\\";
            continue;
        case '\b':
            out << "\\b";
            continue;
        case '\f':
            out << "\\f";
            continue;
        case '\n':
            out << "\\n";
            continue;
        case '\r':
            out << "\\r";
            continue;
        case '\t':
            out << "\\t";
            continue;
        default:
            break;
        }
        if (byte < 0x20 || (byte >= 0x7F && byte < 0xA0)) {
            writeUnicodeEscape(out, byte);
        } else {
            const NameCharacter character = nameCharacter(static_cast<unsigned char>(byte));
            out.write(character.bytes, static_cast<std::streamsize>(character.size));
        }
    }
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
