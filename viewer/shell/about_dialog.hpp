// about_dialog.hpp: CAboutDlg, the "Version" box of the About command.
#pragma once

#include "shell/dialog_units.hpp"

#include <QDialog>

namespace tessaly {

// The version string the About box and --version show.
inline constexpr char kVersionText[] = "Tessaly V.3.00.00";

// Template 100: 274 x 81 dialog units, the icon, the version, two lines about the program, OK.
class CAboutDlg : public QDialog {
    Q_OBJECT

public:
    explicit CAboutDlg(QWidget* parent = nullptr);

    // The base units the template was laid out with.
    DialogBaseUnits baseUnits() const { return m_baseUnits; }

private:
    DialogBaseUnits m_baseUnits;
};

} // namespace tessaly
