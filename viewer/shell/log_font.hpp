// log_font.hpp: the logical-font description the panes and the Font command pass around, and fonts made from it.
#pragma once

#include <QFont>
#include <QString>

namespace tessaly {

// A font described field by field, the way the Font command hands it from pane to pane.
// height < 0 is a character height and height > 0 a cell height, both in pixels.
struct LogFont {
    int height = 0;
    int width = 0;
    int escapement = 0;
    int orientation = 0;
    int weight = 400; // 100..900, 400 normal, 700 bold; 0 means normal
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    int charSet = 1;
    int outPrecision = 0;
    int clipPrecision = 0;
    int quality = 0;
    int pitchAndFamily = 0;
    QString faceName {};

    bool operator==(const LogFont&) const = default;
};

constexpr int kFixedPitch = 0x01;
constexpr int kModernFamily = 0x30;

// The description both panes start with: 14 pixels, fixed pitch, "FixedSys".
LogFont paneInitialLogFont();

// The font for a description. A face this system lacks ("FixedSys" is one) becomes the
// system's fixed-pitch font when the description asks for fixed pitch.
QFont createFont(const LogFont& description);

// The description of a font, for copying the frame's font.
LogFont logFontFromFont(const QFont& font);

} // namespace tessaly
