// section_tag.hpp: the kind tag and box colour of a section, as both panes and the printout show it.
#pragma once

#include "orvik.h"

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
inline constexpr int32_t kSectionTypeData = 0xC1D3C4; // A S D
inline constexpr int32_t kSectionTypeCode = 0xC1D3D0; // A S P
inline constexpr int32_t kSectionTypeRom = 0xC1D3D2; // A S R

struct SectionTag {
    const char* text = "   ";
    Rgb colour = kRgbWhite;
};

// The kind tag and box colour of a section or free area, and of a module section (whose owning
// section decides the kind; its own size decides the letter case).
SectionTag GetSectionTag(const IeSection* section);
SectionTag GetSectionTag(const IeModSection* part);

} // namespace tessaly
