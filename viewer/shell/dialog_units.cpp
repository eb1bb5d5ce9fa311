// dialog_units.cpp: dialog units to pixels, and base units that fit the controls' texts.
#include "shell/dialog_units.hpp"

#include <algorithm>

namespace tessaly {

namespace {

// n · base / divisor, rounded half away from zero (MulDiv's rounding).
int32_t mulDiv(int32_t n, int32_t base, int32_t divisor)
{
    const int64_t product = static_cast<int64_t>(n) * base;
    const int64_t half = divisor / 2;
    return static_cast<int32_t>(product >= 0 ? (product + half) / divisor : (product - half) / divisor);
}

} // namespace

DialogBaseUnits BaseUnitsFromFont(int32_t widthOfAlphabet, int32_t fontHeight)
{
    return { std::max((widthOfAlphabet / 26 + 1) / 2, 1), std::max(fontHeight, 1) };
}

UnitRect MapDialogRect(const UnitRect& units, const DialogBaseUnits& base)
{
    return { mulDiv(units.x, base.x, 4), mulDiv(units.y, base.y, 8), mulDiv(units.width, base.x, 4),
        mulDiv(units.height, base.y, 8) };
}

DialogBaseUnits FitBaseUnits(const DialogBaseUnits& font, const std::vector<ControlNeed>& needs)
{
    // The largest base unit any control asks for; a few hundred pixels per unit is far past any font.
    constexpr int32_t kLargest = 512;
    DialogBaseUnits base { std::max(font.x, 1), std::max(font.y, 1) };
    for (const ControlNeed& need : needs) {
        if (need.units.width > 0)
            while (base.x < kLargest && mulDiv(need.units.width, base.x, 4) < need.width)
                ++base.x;
        if (need.units.height > 0)
            while (base.y < kLargest && mulDiv(need.units.height, base.y, 8) < need.height)
                ++base.y;
    }
    return base;
}

} // namespace tessaly
