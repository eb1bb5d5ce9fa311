// font_dialog.hpp: the Font dialog: fixed-pitch faces, 8 to 16 points, no effects.
#pragma once

#include "shell/log_font.hpp"

#include <QDialog>

class QComboBox;
class QFontComboBox;
class QLabel;

namespace tessaly {

class FontChooserDialog : public QDialog {
    Q_OBJECT

public:
    static constexpr int kMinPoints = 8;
    static constexpr int kMaxPoints = 16;

    explicit FontChooserDialog(const LogFont& initial, QWidget* parent = nullptr);

    // The description of the font on show; its height is a character height in pixels.
    LogFont chosen() const;

    QFontComboBox* faceBox() const { return m_face; }
    QComboBox* styleBox() const { return m_style; }
    QComboBox* sizeBox() const { return m_size; }

private:
    void updateSample();
    int pointsToPixels(int points) const;
    int pixelsToPoints(int pixels) const;

    LogFont m_initial;
    QFontComboBox* m_face;
    QComboBox* m_style;
    QComboBox* m_size;
    QLabel* m_sample;
};

} // namespace tessaly
