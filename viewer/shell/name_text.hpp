// name_text.hpp: names as Qt text and typed text back as name bytes, through the one mapping of name_chars.hpp.
#pragma once

#include "name_chars.hpp"

#include <QString>
#include <optional>
#include <string>
#include <string_view>

namespace tessaly {

// The characters of a name's bytes. The mapping is ISO 8859-1, which is Qt's Latin-1.
inline QString NameText(std::string_view bytes)
{
    static_assert(NameCharacter(0xB5) == U'\u00B5' && NameCharacter(0xFF) == U'\u00FF');
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

// The name bytes a text stands for; none when a character has no byte, so that such a text can
// match no name.
inline std::optional<std::string> NameBytes(const QString& text)
{
    std::string bytes;
    bytes.reserve(static_cast<size_t>(text.size()));
    for (const QChar c : text) {
        const std::optional<unsigned char> byte = NameByte(c.unicode());
        if (!byte)
            return std::nullopt;
        bytes.push_back(static_cast<char>(*byte));
    }
    return bytes;
}

} // namespace tessaly
