// dialog_units.cpp: dialog units to pixels.
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

} // namespace tessaly
