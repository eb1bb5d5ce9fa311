// dialog_template.cpp: the dialog font, its base units fitted to the controls' texts, and placing controls in pixels.
#include "shell/dialog_template.hpp"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>

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

QSize textNeed(const QWidget& control)
{
    if (qobject_cast<const QLabel*>(&control) || qobject_cast<const QCheckBox*>(&control)
        || qobject_cast<const QRadioButton*>(&control))
        return control.sizeHint();
    const QFontMetrics metrics(control.font());
    if (const auto* button = qobject_cast<const QPushButton*>(&control)) {
        // The style's own size hint adds a minimum width of its own; the text needs its margins.
        const QStyle* style = control.style();
        const int frame = 2 * style->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, &control);
        const int margin = style->pixelMetric(QStyle::PM_ButtonMargin, nullptr, &control);
        return QSize(metrics.horizontalAdvance(button->text()) + margin + frame, metrics.height() + frame);
    }
    if (const auto* box = qobject_cast<const QGroupBox*>(&control))
        return QSize(metrics.horizontalAdvance(box->title()) + 2 * metrics.averageCharWidth(), metrics.height());
    return QSize(0, 0);
}

DialogTemplate::DialogTemplate(QDialog& dialog, int32_t widthUnits, int32_t heightUnits)
    : m_dialog(dialog)
    , m_client { 0, 0, widthUnits, heightUnits }
{
    m_dialog.setFont(templateFont());
}

DialogBaseUnits DialogTemplate::apply()
{
    std::vector<ControlNeed> needs;
    needs.reserve(m_controls.size());
    for (const Placed& placed : m_controls) {
        const QSize need = textNeed(*placed.control);
        needs.push_back({ placed.units, need.width(), need.height() });
    }
    const DialogBaseUnits base = FitBaseUnits(dialogBaseUnits(m_dialog.font()), needs);
    for (const Placed& placed : m_controls) {
        const UnitRect px = MapDialogRect(placed.units, base);
        placed.control->setGeometry(px.x, px.y, px.width, px.height);
    }
    for (const Placed& placed : m_fixed) {
        const UnitRect px = MapDialogRect(placed.units, base);
        placed.control->setGeometry(QRect(QPoint(px.x, px.y), placed.control->sizeHint()));
    }
    const UnitRect client = MapDialogRect(m_client, base);
    m_dialog.setFixedSize(client.width, client.height);
    return base;
}

} // namespace tessaly
