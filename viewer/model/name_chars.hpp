// name_chars.hpp: how names are read everywhere (viewer and dumps): each byte is one character, ISO 8859-1.
#pragma once

#include <cstddef>
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

// A name's character written as UTF-8, as text output (the dumps) carries it: the byte itself
// below 0x80, two bytes from 0x80 up, so the text is always valid UTF-8.
struct NameCharacterUtf8 {
    char bytes[2];
    std::size_t size;
};

inline constexpr NameCharacterUtf8 NameCharacterAsUtf8(unsigned char byte)
{
    const char32_t c = NameCharacter(byte);
    if (c < 0x80)
        return { { static_cast<char>(c), 0 }, 1 };
    return { { static_cast<char>(0xC0 | (c >> 6)), static_cast<char>(0x80 | (c & 0x3F)) }, 2 };
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
