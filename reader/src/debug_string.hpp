// debug_string.hpp: decoding the debug strings of the environment part into tree records.
#pragma once

#include "orvik.h"

#include <cstdint>
#include <string_view>
#include <unordered_map>

namespace orvik {

struct ReaderState;

class DebugStringDecoder {
public:
    explicit DebugStringDecoder(ReaderState& state)
        : m_state(state)
    {
    }

    // text is the string's bytes; fileOffset is the offset of its first byte, for errors.
    void decode(std::string_view text, uint32_t fileOffset);

private:
    void decodeFunctionString(std::string_view text, uint32_t fileOffset);
    void decodeVariableString(std::string_view text, uint32_t fileOffset);
    void selectModuleAndSource(std::string_view sourceName, std::string_view moduleName);

    ReaderState& m_state;
    // The first source of each name per module, so a repeated M string costs no walk.
    std::unordered_map<const IeModule*, std::unordered_map<std::string_view, IeSource*>> m_sourcesByName;
};

} // namespace orvik
