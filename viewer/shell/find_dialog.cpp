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
Control* addControl(QDialog& dialog, DialogTemplate& layout, int id, const QString& text, const UnitRect& units)
{
    auto* control = new Control(text, &dialog);
    if (id != 0)
        control->setObjectName(QString::number(id));
    return layout.add(control, units);
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
    DialogTemplate layout(*this, 187, 93);

    // Template order, which is also the tab order: Down before Up and Label before Section,
    // though they stand to the right, so they are index 0 of their groups.
    addControl<QLabel>(*this, layout, 0, QStringLiteral("Find What:"), { 30, 9, 31, 8 });
    m_find = layout.add(new QLineEdit(this), { 65, 7, 89, 14 });
    m_find->setObjectName(QString::number(IdFindWhat));
    m_matchCase = addControl<QCheckBox>(*this, layout, IdMatchCase, QStringLiteral("Match Case"), { 41, 27, 51, 10 });
    m_wildCard = addControl<QCheckBox>(*this, layout, IdWildCard, QStringLiteral("Wild Card"), { 108, 26, 44, 10 });
    m_down = addControl<QRadioButton>(*this, layout, IdDown, QStringLiteral("Down"), { 78, 40, 32, 10 });
    m_up = addControl<QRadioButton>(*this, layout, IdUp, QStringLiteral("Up"), { 41, 41, 24, 10 });
    addControl<QLabel>(*this, layout, 0, QStringLiteral("Direction:"), { 10, 42, 28, 8 });
    m_label = addControl<QRadioButton>(*this, layout, IdLabel, QStringLiteral("Label"), { 78, 54, 31, 10 });
    m_section = addControl<QRadioButton>(*this, layout, IdSection, QStringLiteral("Section"), { 41, 54, 38, 10 });
    addControl<QLabel>(*this, layout, 0, QStringLiteral("Select:"), { 11, 55, 20, 8 });
    auto* findNext
        = addControl<QPushButton>(*this, layout, IdFindNext, QStringLiteral("Find Next"), { 29, 72, 50, 14 });
    auto* close = addControl<QPushButton>(*this, layout, IdClose, QStringLiteral("Close"), { 105, 72, 50, 14 });
    m_baseUnits = layout.apply();
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
