// log_font.cpp: turning font descriptions into QFonts and back.
#include "shell/log_font.hpp"

#include <QFontDatabase>
#include <QFontInfo>
#include <algorithm>
#include <cmath>

namespace tessaly {

LogFont paneInitialLogFont()
{
    LogFont font;
    font.height = 14;
    font.weight = 400;
    font.charSet = 1;
    font.pitchAndFamily = kFixedPitch | kModernFamily;
    font.faceName = QStringLiteral("FixedSys");
    return font;
}

QFont createFont(const LogFont& description)
{
    const bool fixedPitch = (description.pitchAndFamily & 0x03) == kFixedPitch;
    QFont font;
    if (!description.faceName.isEmpty() && QFontDatabase::hasFamily(description.faceName))
        font.setFamily(description.faceName);
    else if (fixedPitch)
        font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    else if (!description.faceName.isEmpty())
        font.setFamily(description.faceName);

    if (fixedPitch) {
        font.setFixedPitch(true);
        font.setStyleHint(QFont::TypeWriter);
    }
    if (description.height != 0)
        font.setPixelSize(std::abs(description.height));
    const int weight = description.weight <= 0 ? 400 : std::clamp(description.weight, 100, 900);
    font.setWeight(static_cast<QFont::Weight>(weight));
    font.setItalic(description.italic);
    font.setUnderline(description.underline);
    font.setStrikeOut(description.strikeOut);
    return font;
}

LogFont logFontFromFont(const QFont& font)
{
    const QFontInfo info(font);
    LogFont description;
    description.height = -info.pixelSize();
    description.weight = info.weight();
    description.italic = info.italic();
    description.underline = font.underline();
    description.strikeOut = font.strikeOut();
    description.charSet = 1;
    description.pitchAndFamily = info.fixedPitch() ? kFixedPitch | kModernFamily : 0;
    description.faceName = info.family();
    return description;
}

} // namespace tessaly
