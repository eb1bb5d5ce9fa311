// name_text.hpp: the one mapping from the bytes of a name to text that every dump form uses.
#pragma once

#include <cstddef>

namespace tessaly::dump {

// A name's byte is the character of the same number (ISO 8859-1); in UTF-8 that is the byte
// itself below 0x80 and two bytes from 0x80 up, so the text is always valid UTF-8.
struct NameCharacter {
    char bytes[2];
    std::size_t size;
};

constexpr NameCharacter nameCharacter(unsigned char byte)
{
    if (byte < 0x80)
        return { { static_cast<char>(byte), 0 }, 1 };
    return { { static_cast<char>(0xC0 | (byte >> 6)), static_cast<char>(0x80 | (byte & 0x3F)) }, 2 };
}

} // namespace tessaly::dump
