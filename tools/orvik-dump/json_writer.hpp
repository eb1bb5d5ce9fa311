// json_writer.hpp: a small streaming JSON writer for the byte strings and words of the tree.
#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <string_view>
#include <vector>

namespace tessaly::dump {

// Writes bytes as a JSON string literal. Each byte is one Latin-1 character: 0xA0..0xFF
// come out as UTF-8, control characters (0x00..0x1F, 0x7F..0x9F) as escapes.
void writeJsonString(std::ostream& out, std::string_view bytes);

// Writes one JSON value at a time, indenting two spaces per level. Commas and line breaks
// are placed by the writer; an empty container comes out as {} or [].
class JsonWriter {
public:
    explicit JsonWriter(std::ostream& out)
        : m_out(out)
    {
    }

    JsonWriter& beginObject();
    JsonWriter& endObject();
    JsonWriter& beginArray();
    JsonWriter& endArray();
    JsonWriter& key(std::string_view name);

    JsonWriter& null();
    // A NUL-terminated string, or null for a null pointer.
    JsonWriter& string(const char* text);
    // A byte widened to a word: a one-character string, null for 0, and the plain number
    // for a value that is not a byte (the reader never stores one, but nothing is lost).
    JsonWriter& character(int32_t value);
    JsonWriter& integer(int64_t value);
    JsonWriter& unsignedInteger(uint64_t value);
    // A position in a list, or null when the pointer was null or not in that list.
    JsonWriter& index(std::optional<int32_t> position);

private:
    void beforeValue();
    void newLine();
    void end(char closer);

    std::ostream& m_out;
    std::vector<bool> m_hasItems; // one per open container
    bool m_afterKey = false;
};

} // namespace tessaly::dump
