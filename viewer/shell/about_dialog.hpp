// about_dialog.hpp: CAboutDlg, the "Version" box of the About command.
#pragma once

#include <QDialog>

namespace tessaly {

// The version string the About box and --version show.
inline constexpr char kVersionText[] = "Tessaly V.3.00.00";

class CAboutDlg : public QDialog {
    Q_OBJECT

public:
    explicit CAboutDlg(QWidget* parent = nullptr);
};

} // namespace tessaly
