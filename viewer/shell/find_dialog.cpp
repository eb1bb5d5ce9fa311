// find_dialog.cpp: the Find dialog's controls, data exchange and buttons.
#include "shell/find_dialog.hpp"

#include "shell/dialog_template.hpp"
#include "shell/find_notify.hpp"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace tessaly {

namespace {

template <typename Control>
Control* addControl(QDialog& dialog, int id, const QString& text, const UnitRect& units, const DialogBaseUnits& base)
{
    auto* control = new Control(text, &dialog);
    if (id != 0)
        control->setObjectName(QString::number(id));
    placeControl(*control, units, base);
    return control;
}

// Checks the button at the position in template order, none for -1; read back with checkedId().
void checkIndex(QButtonGroup& group, int index)
{
    group.setExclusive(false);
    for (QAbstractButton* button : group.buttons())
        button->setChecked(group.id(button) == index);
    group.setExclusive(true);
}

} // namespace

FindDialog::FindDialog(QObject* owner, QWidget* window)
    : QDialog(window, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
    , m_pOwner(owner)
{
    setWindowTitle(QStringLiteral("Find"));
    setModal(false);
    const DialogBaseUnits base = applyTemplate(*this, 187, 93);

    // Template order, which is also the tab order: Down before Up and Label before Section,
    // though they stand to the right, so they are index 0 of their groups.
    addControl<QLabel>(*this, 0, QStringLiteral("Find What:"), { 30, 9, 31, 8 }, base);
    m_find = new QLineEdit(this);
    m_find->setObjectName(QString::number(IdFindWhat));
    placeControl(*m_find, { 65, 7, 89, 14 }, base);
    m_matchCase = addControl<QCheckBox>(*this, IdMatchCase, QStringLiteral("Match Case"), { 41, 27, 51, 10 }, base);
    m_wildCard = addControl<QCheckBox>(*this, IdWildCard, QStringLiteral("Wild Card"), { 108, 26, 44, 10 }, base);
    m_down = addControl<QRadioButton>(*this, IdDown, QStringLiteral("Down"), { 78, 40, 32, 10 }, base);
    m_up = addControl<QRadioButton>(*this, IdUp, QStringLiteral("Up"), { 41, 41, 24, 10 }, base);
    addControl<QLabel>(*this, 0, QStringLiteral("Direction:"), { 10, 42, 28, 8 }, base);
    m_label = addControl<QRadioButton>(*this, IdLabel, QStringLiteral("Label"), { 78, 54, 31, 10 }, base);
    m_section = addControl<QRadioButton>(*this, IdSection, QStringLiteral("Section"), { 41, 54, 38, 10 }, base);
    addControl<QLabel>(*this, 0, QStringLiteral("Select:"), { 11, 55, 20, 8 }, base);
    auto* findNext = addControl<QPushButton>(*this, IdFindNext, QStringLiteral("Find Next"), { 29, 72, 50, 14 }, base);
    auto* close = addControl<QPushButton>(*this, IdClose, QStringLiteral("Close"), { 105, 72, 50, 14 }, base);
    // Neither button is the default: Enter presses nothing.
    findNext->setAutoDefault(false);
    close->setAutoDefault(false);

    m_directionGroup = new QButtonGroup(this);
    m_directionGroup->addButton(m_down, 0);
    m_directionGroup->addButton(m_up, 1);
    m_kindGroup = new QButtonGroup(this);
    m_kindGroup->addButton(m_label, 0);
    m_kindGroup->addButton(m_section, 1);

    connect(findNext, &QPushButton::clicked, this, &FindDialog::OnFindNext);
    connect(close, &QPushButton::clicked, this, &FindDialog::OnClose);

    UpdateData(false);
}

void FindDialog::UpdateData(bool saveAndValidate)
{
    if (saveAndValidate) {
        m_nDirection = m_directionGroup->checkedId();
        m_strFind = m_find->text();
        m_bWildCard = m_wildCard->isChecked() ? 1 : 0;
        m_bMatchCase = m_matchCase->isChecked() ? 1 : 0;
        m_nKind = m_kindGroup->checkedId();
    } else {
        checkIndex(*m_directionGroup, m_nDirection);
        m_find->setText(m_strFind);
        m_wildCard->setChecked(m_bWildCard != 0);
        m_matchCase->setChecked(m_bMatchCase != 0);
        checkIndex(*m_kindGroup, m_nKind);
    }
}

QString FindDialog::GetFindText()
{
    UpdateData(true);
    return m_strFind;
}

void FindDialog::SetFindText(const QString& text)
{
    m_strFind = text;
    UpdateData(false);
}

void FindDialog::SetSearchKind(int32_t kind)
{
    m_nKind = kind;
    UpdateData(false);
}

void FindDialog::OnFindNext()
{
    UpdateData(true);
    // Posted: the search runs once this handler has returned.
    if (m_pOwner)
        postFindNotify(m_pOwner, FindNextRequest);
}

void FindDialog::OnClose()
{
    // Sent: the owner has let go of the dialog before the window goes.
    if (m_pOwner)
        sendFindNotify(m_pOwner, FindClosing);
    hide();
    PostNcDestroy();
}

void FindDialog::PostNcDestroy()
{
    if (m_pOwner)
        sendFindNotify(m_pOwner, FindClosing);
    deleteLater();
}

void FindDialog::closeEvent(QCloseEvent* event)
{
    event->ignore();
}

} // namespace tessaly
