// find_dialog.hpp: FindDialog, the modeless Find dialog that holds the search settings and asks its owner to search.
#pragma once

#include "shell/dialog_units.hpp"

#include <QDialog>
#include <QString>
#include <cstdint>

class QButtonGroup;
class QCheckBox;
class QLineEdit;
class QRadioButton;

namespace tessaly {

class FindDialog : public QDialog {
    Q_OBJECT

public:
    // Control ids of the template; each control carries its id as its object name.
    enum ControlId : int {
        IdFindWhat = 1015,
        IdMatchCase = 1016,
        IdWildCard = 1017,
        IdUp = 1018,
        IdDown = 1019,
        IdFindNext = 1020,
        IdClose = 1021,
        IdSection = 1022,
        IdLabel = 1023,
    };

    // The owner gets the FindNotify events; window is the one that keeps the dialog above it on
    // the screen (none for a free-standing window). The controls start from the members: an
    // empty text, Match Case on, Wild Card off, Down and Label.
    explicit FindDialog(QObject* owner, QWidget* window = nullptr);

    // Reads all controls into the members, then gives the text.
    QString GetFindText();
    // Set a member, then load all controls from the members.
    void SetFindText(const QString& text);
    void SetSearchKind(int32_t kind);

    // Exchanges the controls and the members, in the members' order.
    void UpdateData(bool saveAndValidate);

    int32_t m_nDirection = 0; // 0 Down, 1 Up
    QString m_strFind;
    int32_t m_bWildCard = 0;
    int32_t m_bMatchCase = 1;
    int32_t m_nKind = 0; // 0 Label, 1 Section
    QObject* m_pOwner = nullptr; // not owned; cleared by the owner when it goes first

    // The buttons.
    void OnFindNext();
    void OnClose();

    // The base units the template was laid out with.
    DialogBaseUnits baseUnits() const { return m_baseUnits; }

    // Enter and Escape reach these; the dialog neither closes nor hides on them.
    void accept() override { }
    void reject() override { }

protected:
    // The caption's close box leaves the dialog open: only Close removes it.
    void closeEvent(QCloseEvent* event) override;

private:
    // After the window is gone: the owner hears of it once more, and the dialog goes.
    void PostNcDestroy();

    DialogBaseUnits m_baseUnits;
    QLineEdit* m_find = nullptr;
    QCheckBox* m_matchCase = nullptr;
    QCheckBox* m_wildCard = nullptr;
    QRadioButton* m_down = nullptr;
    QRadioButton* m_up = nullptr;
    QRadioButton* m_label = nullptr;
    QRadioButton* m_section = nullptr;
    QButtonGroup* m_directionGroup = nullptr;
    QButtonGroup* m_kindGroup = nullptr;
};

} // namespace tessaly
