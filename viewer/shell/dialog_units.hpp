// dialog_units.hpp: converting dialog-template units to pixels from the dialog font's base units.
#pragma once

#include <cstdint>
#include <vector>

namespace tessaly {

// A rectangle of a dialog template or of the window it becomes.
struct UnitRect {
    int32_t x = 0;
    int32_t y = 0;
    int32_t width = 0;
    int32_t height = 0;
    friend bool operator==(const UnitRect&, const UnitRect&) = default;
};

// The dialog font's base units: its average character width and its character height.
struct DialogBaseUnits {
    int32_t x = 4;
    int32_t y = 8;
};

// Base units from the width of the 52 letters A-Z a-z and the font height; the average width is
// rounded to the nearest pixel, as dialog managers measure it.
DialogBaseUnits BaseUnitsFromFont(int32_t widthOfAlphabet, int32_t fontHeight);

// A dialog-unit rectangle in pixels: 4 horizontal units make a base width, 8 vertical units a
// base height, rounded to the nearest pixel.
UnitRect MapDialogRect(const UnitRect& units, const DialogBaseUnits& base);

// A control of a template and the pixels its text needs to show whole.
struct ControlNeed {
    UnitRect units;
    int32_t width = 0;
    int32_t height = 0;
};

// The base units for a template's controls: those of the font, raised just enough that every
// control's rectangle is at least as large as its text needs. The layout stays the template's,
// only larger, so a font wider than the template's keeps every label whole.
DialogBaseUnits FitBaseUnits(const DialogBaseUnits& font, const std::vector<ControlNeed>& needs);

} // namespace tessaly
