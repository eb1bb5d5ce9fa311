// dialog_template.cpp: the dialog font, its base units and placing controls in pixels.
#include "shell/dialog_template.hpp"

#include <QApplication>
#include <QDialog>
#include <QFontMetrics>

namespace tessaly {

QFont templateFont()
{
    QFont font = QApplication::font();
    font.setFamilies({ QStringLiteral("ＭＳ Ｐゴシック"), QApplication::font().family() });
    font.setPointSize(9);
    return font;
}

DialogBaseUnits dialogBaseUnits(const QFont& font)
{
    const QFontMetrics metrics(font);
    const int alphabet
        = metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return BaseUnitsFromFont(alphabet, metrics.height());
}

DialogBaseUnits applyTemplate(QDialog& dialog, int32_t widthUnits, int32_t heightUnits)
{
    dialog.setFont(templateFont());
    const DialogBaseUnits base = dialogBaseUnits(dialog.font());
    const UnitRect client = MapDialogRect({ 0, 0, widthUnits, heightUnits }, base);
    dialog.setFixedSize(client.width, client.height);
    return base;
}

void placeControl(QWidget& control, const UnitRect& units, const DialogBaseUnits& base)
{
    const UnitRect px = MapDialogRect(units, base);
    control.setGeometry(px.x, px.y, px.width, px.height);
}

} // namespace tessaly
