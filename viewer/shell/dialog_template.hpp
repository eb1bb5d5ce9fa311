// dialog_template.hpp: laying out the program's dialogs from their templates' dialog units with the dialog font.
#pragma once

#include "shell/dialog_units.hpp"

#include <QFont>
#include <QSize>
#include <vector>

class QDialog;
class QWidget;

namespace tessaly {

// The templates' font, 9-point "ＭＳ Ｐゴシック", or the desktop's own face at 9 points where
// that face is missing.
QFont templateFont();

// The base units of a font as the dialog manager measures them.
DialogBaseUnits dialogBaseUnits(const QFont& font);

// The pixels a control needs to show its text (or picture) whole with the font it has: labels,
// check boxes and radio buttons their size hints, push buttons their text within the style's
// margins, group boxes their title. Nothing for an edit.
QSize textNeed(const QWidget& control);

// One dialog template: its controls at their dialog-unit rectangles. The base units come from
// the font the dialog actually has, raised where a control's text would not fit its rectangle,
// so every label stays whole whatever font stands in for the template's.
class DialogTemplate {
public:
    // Gives the dialog the template's font.
    DialogTemplate(QDialog& dialog, int32_t widthUnits, int32_t heightUnits);

    // Adds a control, in template order, to be placed at its rectangle.
    template <typename Control> Control* add(Control* control, const UnitRect& units)
    {
        m_controls.push_back({ control, units });
        return control;
    }

    // Adds a control that keeps its own size (an icon) at the template position (x, y).
    void addFixed(QWidget* control, int32_t x, int32_t y) { m_fixed.push_back({ control, { x, y, 0, 0 } }); }

    // Places every control and sizes the dialog; the base units used.
    DialogBaseUnits apply();

private:
    struct Placed {
        QWidget* control;
        UnitRect units;
    };
    QDialog& m_dialog;
    UnitRect m_client;
    std::vector<Placed> m_controls;
    std::vector<Placed> m_fixed;
};

} // namespace tessaly
