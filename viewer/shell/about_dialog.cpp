// about_dialog.cpp: the About box: icon, version line, a short description and OK.
#include "shell/about_dialog.hpp"

#include "shell/icons.hpp"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

namespace tessaly {

CAboutDlg::CAboutDlg(QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Version"));
    auto* icon = new QLabel(this);
    icon->setPixmap(appIcon().pixmap(32, 32));
    icon->setAlignment(Qt::AlignTop);
    auto* version = new QLabel(QString::fromLatin1(kVersionText), this);
    version->setObjectName(QStringLiteral("version"));
    auto* description = new QLabel(tr("Memory map viewer for linked microcontroller programs.\n"
                                      "Reads IEEE-695 and framed absolute files."),
        this);
    description->setObjectName(QStringLiteral("description"));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* layout = new QGridLayout(this);
    layout->addWidget(icon, 0, 0, 2, 1);
    layout->addWidget(version, 0, 1);
    layout->addWidget(description, 1, 1);
    layout->addWidget(buttons, 2, 0, 1, 2, Qt::AlignCenter);
    layout->setColumnStretch(1, 1);
    layout->setHorizontalSpacing(16);
    setSizeGripEnabled(false);
}

} // namespace tessaly
