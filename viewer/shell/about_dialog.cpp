// about_dialog.cpp: the About box laid out from its template: icon, version line, a short description and OK.
#include "shell/about_dialog.hpp"

#include "shell/dialog_template.hpp"
#include "shell/icons.hpp"

#include <QLabel>
#include <QPushButton>

namespace tessaly {

CAboutDlg::CAboutDlg(QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Version"));
    DialogTemplate layout(*this, 274, 81);
    auto* icon = new QLabel(this);
    icon->setPixmap(appIcon().pixmap(32, 32));
    layout.addFixed(icon, 11, 17);
    auto* version = layout.add(new QLabel(QString::fromLatin1(kVersionText), this), { 40, 10, 119, 8 });
    version->setObjectName(QStringLiteral("version"));
    auto* description = layout.add(new QLabel(tr("Memory map viewer for linked microcontroller programs.\n"
                                                 "Reads IEEE-695 and framed absolute files."),
                                       this),
        { 39, 25, 228, 32 });
    description->setObjectName(QStringLiteral("description"));
    description->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    auto* ok = layout.add(new QPushButton(QStringLiteral("OK"), this), { 117, 57, 50, 14 });
    ok->setObjectName(QString::number(1));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    m_baseUnits = layout.apply();
}

} // namespace tessaly
