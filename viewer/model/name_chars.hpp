// name_chars.hpp: how the viewer reads the bytes of a name: each byte is one character, ISO 8859-1.
#pragma once

#include <optional>
#include <string>

namespace tessaly {

// Names are bytes of no declared encoding. Every surface of the viewer (both pictures, the list,
// Find, the printout and the exports) reads them through this mapping, so one byte is always one
// character and one character cell.
inline constexpr char32_t NameCharacter(unsigned char byte)
{
    return byte;
}

// The byte a character stands for, or none when the mapping has no byte for it (such a character
// can appear in no name).
inline constexpr std::optional<unsigned char> NameByte(char32_t character)
{
    if (character > 0xFF)
        return std::nullopt;
    return static_cast<unsigned char>(character);
}

} // namespace tessaly
