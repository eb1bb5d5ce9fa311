// dialog_template.hpp: laying out the program's dialogs from their templates' dialog units with the dialog font.
#pragma once

#include "shell/dialog_units.hpp"

#include <QFont>

class QDialog;
class QWidget;

namespace tessaly {

// The templates' font, 9-point "ＭＳ Ｐゴシック", or the desktop's own face at 9 points where
// that face is missing.
QFont templateFont();

// The base units of a font as the dialog manager measures them.
DialogBaseUnits dialogBaseUnits(const QFont& font);

// Gives the dialog the template's font and client size; returns the base units to place the
// controls with.
DialogBaseUnits applyTemplate(QDialog& dialog, int32_t widthUnits, int32_t heightUnits);

// Puts a control at its template position and size.
void placeControl(QWidget& control, const UnitRect& units, const DialogBaseUnits& base);

} // namespace tessaly
