// options_dialog.hpp: OptionsDialog, the modal "Kelvra" dialog: the picture, its address range and the right pane's
// lists.
#pragma once

#include "map_document.hpp"
#include "map_model.hpp"
#include "shell/dialog_units.hpp"

#include <QDialog>
#include <QString>
#include <cstdint>

class QButtonGroup;
class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace tessaly {

class OptionsDialog : public QDialog {
    Q_OBJECT

public:
    // Control ids of the template; each control carries its id as its object name.
    enum ControlId : int {
        IdOk = 1,
        IdCancel = 2,
        IdMemorySize = 1008,
        IdSectionList = 1009,
        IdLocalSectionList = 1011,
        IdFunctionList = 1012,
        IdOmitZeroSize = 1013,
        IdEquList = 1014,
        IdStartPage = 1027,
        IdEndPage = 1028,
    };
    // The Start and End fields take at most this many characters.
    static constexpr int kFieldLimit = 16;

    // The checks on OK read FileLoaded and MaxAddress from the model.
    explicit OptionsDialog(const MapModel& model, QWidget* parent = nullptr);

    // Exchanges the controls and the fields below: saveAndValidate reads the controls into the
    // fields, otherwise the controls are loaded from them. Either way the Start and End edits
    // end up enabled only with "Memory Size" chosen.
    void UpdateData(bool saveAndValidate);

    // The fields the caller loads before the run and reads after OK.
    int32_t localInformation = 0;
    int32_t imageChoice = -1; // 0 Memory Size, 1 Section List, -1 none
    int32_t functionList = 0;
    int32_t omitZeroSize = 0;
    int32_t equList = 0;
    QString startText;
    QString endText;
    uint32_t startPage = 0;
    uint32_t endPage = 0;

    // The fields from and to the document's values.
    void load(const OptionsValues& values);
    void store(OptionsValues& values) const;

    // OK: the checks in order; the first that fails shows its message and the dialog stays open.
    void OnOK();

    // The base units the template was laid out with.
    DialogBaseUnits baseUnits() const { return m_baseUnits; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void enableRange(bool on);

    const MapModel& m_model;
    DialogBaseUnits m_baseUnits;
    bool m_bInitialized = false;
    QCheckBox* m_local = nullptr;
    QRadioButton* m_memorySize = nullptr;
    QRadioButton* m_sectionList = nullptr;
    QButtonGroup* m_imageGroup = nullptr;
    QCheckBox* m_functions = nullptr;
    QCheckBox* m_omitZero = nullptr;
    QCheckBox* m_equs = nullptr;
    QLineEdit* m_start = nullptr;
    QLineEdit* m_end = nullptr;
};

// Runs the options dialog through the platform layer, loaded from and written back to values;
// true on OK. This is what the document runs for the options command.
bool RunOptionsDialog(const MapModel& model, QWidget* owner, OptionsValues& values);

} // namespace tessaly
