// section_tag.hpp: the kind tag and box colour of a section, as both panes and the printout show it.
#pragma once

#include "orvik.h"

#include <cstddef>
#include <cstdint>

namespace tessaly {

// A colour as plain red, green and blue, so the model needs no graphics library.
struct Rgb {
    uint8_t r = 0;
    uint8_t g = 0;
    uint8_t b = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

inline constexpr Rgb kRgbWhite { 255, 255, 255 };
inline constexpr Rgb kRgbBlack { 0, 0, 0 };
inline constexpr Rgb kRgbRed { 255, 0, 0 };
inline constexpr Rgb kRgbData { 255, 255, 0 };
inline constexpr Rgb kRgbCode { 0, 255, 255 };
inline constexpr Rgb kRgbRom { 0, 255, 0 };

// Packed section-type letters of the three kinds that get a tag.
inline constexpr int32_t kSectionTypeData = IE_SECTION_ASD;
inline constexpr int32_t kSectionTypeCode = IE_SECTION_ASP;
inline constexpr int32_t kSectionTypeRom = IE_SECTION_ASR;

// The kind a section's type letters give it: its tag and colour, and the totals it counts in when
// two builds are compared. Every other type is Other, with the blank tag.
enum class SectionKind : uint8_t { Code, Data, Rom, Other };
inline constexpr std::size_t kSectionKindCount = 4;

SectionKind SectionKindOf(int32_t type);
// "code", "data", "rom", "other".
const char* SectionKindName(SectionKind kind);

struct SectionTag {
    const char* text = "   ";
    Rgb colour = kRgbWhite;
};

// The kind tag and box colour of a section or free area, and of a module section (whose owning
// section decides the kind; its own size decides the letter case).
SectionTag GetSectionTag(const IeSection* section);
SectionTag GetSectionTag(const IeModSection* part);

} // namespace tessaly
