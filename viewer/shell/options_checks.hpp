// options_checks.hpp: the options dialog's logic without a window: ParseHexField and the checks made on OK.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace tessaly {

inline constexpr char kInvalidStartAddress[] = "Invalid Start Address";
inline constexpr char kOverAddress[] = "Over Address";
inline constexpr char kInvalidEndAddress[] = "Invalid End Address";
inline constexpr char kStartAboveEnd[] = "Start > End";

// A page number typed in hexadecimal: blanks and tabs are skipped wherever they stand, a NUL
// ends the text, digits beyond the eighth push the first ones out. nullopt for any other
// character; an empty or blank text is page 0.
std::optional<uint32_t> ParseHexField(std::string_view text);

// What OK decides: close (message null) with the pages to hand back, or stay open and show the
// message.
struct OptionsCheckResult {
    const char* message = nullptr;
    uint32_t startPage = 0;
    uint32_t endPage = 0;
};

// The checks of OK, in order. Without a file, or with "Section List" chosen, nothing is checked
// and the pages given are handed back unchanged.
OptionsCheckResult CheckOptionsRange(bool fileLoaded, int32_t imageChoice, uint32_t maxAddress,
    std::string_view startText, std::string_view endText, uint32_t startPage, uint32_t endPage);

} // namespace tessaly
