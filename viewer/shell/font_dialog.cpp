// font_dialog.cpp: the Font dialog's controls and the description it hands back.
#include "shell/font_dialog.hpp"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontComboBox>
#include <QFontDatabase>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

namespace tessaly {

namespace {

enum Style { Regular, Italic, Bold, BoldItalic };

} // namespace

FontChooserDialog::FontChooserDialog(const LogFont& initial, QWidget* parent)
    : QDialog(parent)
    , m_initial(initial)
    , m_face(new QFontComboBox(this))
    , m_style(new QComboBox(this))
    , m_size(new QComboBox(this))
    , m_sample(new QLabel(QStringLiteral("AaBbYyZz 0123 .EQU"), this))
{
    setWindowTitle(tr("Font"));
    m_face->setFontFilters(QFontComboBox::MonospacedFonts);
    m_face->setEditable(false);
    m_style->addItems({ tr("Regular"), tr("Italic"), tr("Bold"), tr("Bold Italic") });
    for (int points = kMinPoints; points <= kMaxPoints; ++points)
        m_size->addItem(QString::number(points), points);

    // A face that is not fixed-pitch (the frame's own font at first) gives way to the
    // system's fixed-pitch font, which the list always offers.
    QFont font = createFont(initial);
    if (!QFontInfo(font).fixedPitch())
        font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    m_face->setCurrentFont(font);
    const bool bold = initial.weight >= 600;
    m_style->setCurrentIndex(bold ? (initial.italic ? BoldItalic : Bold) : (initial.italic ? Italic : Regular));
    const int points = std::clamp(pixelsToPoints(std::abs(initial.height)), kMinPoints, kMaxPoints);
    m_size->setCurrentIndex(points - kMinPoints);

    m_sample->setMinimumHeight(48);
    m_sample->setAlignment(Qt::AlignCenter);
    auto* sampleBox = new QGroupBox(tr("Sample"), this);
    (new QVBoxLayout(sampleBox))->addWidget(m_sample);

    auto* form = new QFormLayout;
    form->addRow(tr("&Font:"), m_face);
    form->addRow(tr("Font st&yle:"), m_style);
    form->addRow(tr("&Size:"), m_size);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(sampleBox);
    layout->addWidget(buttons);

    connect(m_face, &QFontComboBox::currentFontChanged, this, &FontChooserDialog::updateSample);
    connect(m_style, &QComboBox::currentIndexChanged, this, &FontChooserDialog::updateSample);
    connect(m_size, &QComboBox::currentIndexChanged, this, &FontChooserDialog::updateSample);
    updateSample();
}

int FontChooserDialog::pointsToPixels(int points) const
{
    return static_cast<int>(std::lround(points * logicalDpiY() / 72.0));
}

int FontChooserDialog::pixelsToPoints(int pixels) const
{
    return static_cast<int>(std::lround(pixels * 72.0 / std::max(logicalDpiY(), 1)));
}

LogFont FontChooserDialog::chosen() const
{
    LogFont description = m_initial;
    const int style = m_style->currentIndex();
    description.faceName = m_face->currentFont().family();
    description.height = -pointsToPixels(m_size->currentData().toInt());
    description.width = 0;
    description.weight = style == Bold || style == BoldItalic ? 700 : 400;
    description.italic = style == Italic || style == BoldItalic;
    // No effects are offered, so none are kept.
    description.underline = false;
    description.strikeOut = false;
    description.pitchAndFamily = kFixedPitch | kModernFamily;
    return description;
}

void FontChooserDialog::updateSample()
{
    m_sample->setFont(createFont(chosen()));
}

} // namespace tessaly
