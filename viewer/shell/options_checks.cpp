// options_checks.cpp: hexadecimal page fields and the range checks of the options dialog.
#include "shell/options_checks.hpp"

namespace tessaly {

std::optional<uint32_t> ParseHexField(std::string_view text)
{
    uint32_t value = 0;
    for (const char c : text) {
        if (c == '\0')
            break;
        if (c == ' ' || c == '\t')
            continue;
        uint32_t digit = 0;
        if (c >= '0' && c <= '9')
            digit = static_cast<uint32_t>(c - '0');
        else if (c >= 'A' && c <= 'F')
            digit = static_cast<uint32_t>(c - 'A' + 10);
        else if (c >= 'a' && c <= 'f')
            digit = static_cast<uint32_t>(c - 'a' + 10);
        else
            return std::nullopt;
        value = value * 16u + digit;
    }
    return value;
}

OptionsCheckResult CheckOptionsRange(bool fileLoaded, int32_t imageChoice, uint32_t maxAddress,
    std::string_view startText, std::string_view endText, uint32_t startPage, uint32_t endPage)
{
    if (!fileLoaded || imageChoice != 0)
        return { nullptr, startPage, endPage };
    // The end may be the last page of the address space; the start must lie below it.
    const uint32_t lastPage = maxAddress / 256u;
    const std::optional<uint32_t> start = ParseHexField(startText);
    if (!start)
        return { kInvalidStartAddress, startPage, endPage };
    if (*start >= lastPage)
        return { kOverAddress, startPage, endPage };
    const std::optional<uint32_t> end = ParseHexField(endText);
    if (!end)
        return { kInvalidEndAddress, startPage, endPage };
    if (*end > lastPage)
        return { kOverAddress, startPage, endPage };
    if (*start > *end)
        return { kStartAboveEnd, startPage, endPage };
    return { nullptr, *start, *end };
}

} // namespace tessaly
