// options_dialog.cpp: the options dialog's controls, data exchange, enabling and OK checks.
#include "shell/options_dialog.hpp"

#include "shell/dialog_template.hpp"
#include "shell/options_checks.hpp"
#include "shell/platform.hpp"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace tessaly {

namespace {

template <typename Control>
Control* addControl(QDialog& dialog, DialogTemplate& layout, int id, const QString& text, const UnitRect& units)
{
    auto* control = new Control(text, &dialog);
    if (id != 0)
        control->setObjectName(QString::number(id));
    return layout.add(control, units);
}

QLineEdit* addEdit(QDialog& dialog, DialogTemplate& layout, int id, const UnitRect& units)
{
    auto* edit = new QLineEdit(&dialog);
    edit->setObjectName(QString::number(id));
    edit->setAlignment(Qt::AlignRight);
    edit->setMaxLength(OptionsDialog::kFieldLimit);
    return layout.add(edit, units);
}

} // namespace

OptionsDialog::OptionsDialog(const MapModel& model, QWidget* parent)
    : QDialog(parent)
    , m_model(model)
{
    setWindowTitle(QStringLiteral("Kelvra"));
    DialogTemplate layout(*this, 191, 127);

    // Template order, which is also the tab order.
    auto* ok = addControl<QPushButton>(*this, layout, IdOk, QStringLiteral("OK"), { 36, 106, 50, 14 });
    ok->setDefault(true);
    auto* cancel = addControl<QPushButton>(*this, layout, IdCancel, QStringLiteral("Cancel"), { 108, 106, 50, 14 });
    addControl<QLabel>(*this, layout, 0, QStringLiteral("Left Map View:"), { 11, 11, 44, 8 });
    addControl<QLabel>(*this, layout, 0, QStringLiteral("Right Map View:"), { 99, 11, 48, 8 });
    addControl<QLabel>(*this, layout, 0, QStringLiteral("Start"), { 31, 49, 15, 8 });
    m_start = addEdit(*this, layout, IdStartPage, { 46, 44, 28, 14 });
    addControl<QLabel>(*this, layout, 0, QStringLiteral("00"), { 76, 47, 8, 8 });
    addControl<QLabel>(*this, layout, 0, QStringLiteral("End"), { 31, 63, 12, 8 });
    m_end = addEdit(*this, layout, IdEndPage, { 46, 61, 28, 14 });
    addControl<QLabel>(*this, layout, 0, QStringLiteral("FF"), { 76, 64, 9, 8 });
    m_memorySize
        = addControl<QRadioButton>(*this, layout, IdMemorySize, QStringLiteral("Memory Size"), { 19, 33, 53, 10 });
    m_sectionList
        = addControl<QRadioButton>(*this, layout, IdSectionList, QStringLiteral("Section List"), { 18, 79, 51, 10 });
    auto* frame = addControl<QGroupBox>(*this, layout, 0, QStringLiteral("Mapping Image"), { 10, 24, 80, 77 });
    // The group box only frames the radio buttons; it must not paint over them.
    frame->lower();
    m_local = addControl<QCheckBox>(
        *this, layout, IdLocalSectionList, QStringLiteral("Local Section List"), { 101, 30, 69, 10 });
    m_equs = addControl<QCheckBox>(*this, layout, IdEquList, QStringLiteral(".EQU List"), { 101, 48, 43, 10 });
    m_functions
        = addControl<QCheckBox>(*this, layout, IdFunctionList, QStringLiteral("C Function List"), { 101, 66, 61, 10 });
    m_omitZero = addControl<QCheckBox>(
        *this, layout, IdOmitZeroSize, QStringLiteral("Omit 0 size Section"), { 101, 84, 73, 10 });
    m_baseUnits = layout.apply();

    m_imageGroup = new QButtonGroup(this);
    m_imageGroup->addButton(m_memorySize, 0);
    m_imageGroup->addButton(m_sectionList, 1);

    connect(ok, &QPushButton::clicked, this, &OptionsDialog::OnOK);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_memorySize, &QRadioButton::clicked, this, [this] { enableRange(true); });
    connect(m_sectionList, &QRadioButton::clicked, this, [this] { enableRange(false); });
}

void OptionsDialog::UpdateData(bool saveAndValidate)
{
    if (saveAndValidate) {
        localInformation = m_local->isChecked() ? 1 : 0;
        imageChoice = m_imageGroup->checkedId();
        functionList = m_functions->isChecked() ? 1 : 0;
        omitZeroSize = m_omitZero->isChecked() ? 1 : 0;
        equList = m_equs->isChecked() ? 1 : 0;
        startText = m_start->text().left(kFieldLimit);
        endText = m_end->text().left(kFieldLimit);
    } else {
        m_local->setChecked(localInformation != 0);
        // An exclusive group cannot show "none chosen"; lift that while loading -1.
        m_imageGroup->setExclusive(false);
        m_memorySize->setChecked(imageChoice == 0);
        m_sectionList->setChecked(imageChoice == 1);
        m_imageGroup->setExclusive(true);
        m_functions->setChecked(functionList != 0);
        m_omitZero->setChecked(omitZeroSize != 0);
        m_equs->setChecked(equList != 0);
        m_start->setText(startText.left(kFieldLimit));
        m_end->setText(endText.left(kFieldLimit));
    }
    enableRange(imageChoice == 0);
}

void OptionsDialog::enableRange(bool on)
{
    m_start->setEnabled(on);
    m_end->setEnabled(on);
}

void OptionsDialog::load(const OptionsValues& values)
{
    localInformation = values.localInformation ? 1 : 0;
    imageChoice = values.imageChoice;
    functionList = values.functionList ? 1 : 0;
    omitZeroSize = values.omitZeroSize ? 1 : 0;
    equList = values.equList ? 1 : 0;
    startText = QString::fromStdString(values.startText);
    endText = QString::fromStdString(values.endText);
    startPage = values.startPage;
    endPage = values.endPage;
}

void OptionsDialog::store(OptionsValues& values) const
{
    values.localInformation = localInformation != 0;
    values.imageChoice = imageChoice;
    values.functionList = functionList != 0;
    values.omitZeroSize = omitZeroSize != 0;
    values.equList = equList != 0;
    values.startText = startText.toStdString();
    values.endText = endText.toStdString();
    values.startPage = startPage;
    values.endPage = endPage;
}

void OptionsDialog::showEvent(QShowEvent* event)
{
    // The controls are loaded once, when the dialog first appears, from what the caller set.
    if (!m_bInitialized) {
        m_bInitialized = true;
        UpdateData(false);
    }
    QDialog::showEvent(event);
}

void OptionsDialog::OnOK()
{
    UpdateData(true);
    const OptionsCheckResult result = CheckOptionsRange(m_model.FileLoaded, imageChoice, m_model.MaxAddress,
        startText.toStdString(), endText.toStdString(), startPage, endPage);
    if (result.message != nullptr) {
        platform().messageBox(this, QString::fromLatin1(result.message));
        return;
    }
    startPage = result.startPage;
    endPage = result.endPage;
    accept();
}

bool RunOptionsDialog(const MapModel& model, QWidget* owner, OptionsValues& values)
{
    OptionsDialog dialog(model, owner);
    dialog.load(values);
    if (platform().execDialog(dialog) != QDialog::Accepted)
        return false;
    dialog.store(values);
    return true;
}

} // namespace tessaly
