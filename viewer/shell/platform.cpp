// platform.cpp: the Qt implementation of the platform layer and the filter conversion.
#include "shell/platform.hpp"

#include "shell/font_dialog.hpp"

#include <QDesktopServices>
#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <cstdio>

namespace tessaly {

namespace {

Platform* g_override = nullptr;

} // namespace

Platform& platform()
{
    static QtPlatform qtPlatform;
    return g_override ? *g_override : qtPlatform;
}

PlatformOverride::PlatformOverride(Platform& replacement)
    : m_previous(g_override)
{
    g_override = &replacement;
}

PlatformOverride::~PlatformOverride()
{
    g_override = m_previous;
}

QStringList nameFiltersFromBars(const QString& barFilter)
{
    QStringList filters;
    const QStringList fields = barFilter.split(QLatin1Char('|'));
    for (qsizetype i = 0; i + 1 < fields.size(); i += 2) {
        const QString& description = fields[i];
        // The double bar ends the list.
        if (description.isEmpty())
            break;
        QString patterns = fields[i + 1];
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        // Qt reads the patterns from the parentheses that end the text; most descriptions
        // already end with them, and the others get them added.
        const QString tail = QLatin1Char('(') + patterns + QLatin1Char(')');
        filters << (description.endsWith(tail) ? description : description + QLatin1Char(' ') + tail);
    }
    return filters;
}

void QtPlatform::messageBox(QWidget* owner, const QString& text)
{
    QMessageBox box(QMessageBox::Warning, QString::fromLatin1(kAppTitle), text, QMessageBox::Ok, owner);
    box.exec();
}

std::optional<QString> QtPlatform::openFileDialog(QWidget* owner, const QString& barFilter, const QString& folder)
{
    QFileDialog dialog(owner);
    if (!folder.isEmpty())
        dialog.setDirectory(folder);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    const QStringList filters = nameFiltersFromBars(barFilter);
    dialog.setNameFilters(filters);
    if (!filters.isEmpty())
        dialog.selectNameFilter(filters.front());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return QFileInfo(dialog.selectedFiles().front()).absoluteFilePath();
}

std::optional<LogFont> QtPlatform::fontDialog(QWidget* owner, const LogFont& initial)
{
    FontChooserDialog dialog(initial, owner);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.chosen();
}

int QtPlatform::execDialog(QDialog& dialog)
{
    return dialog.exec();
}

bool QtPlatform::openUrl(const QUrl& url)
{
    return QDesktopServices::openUrl(url);
}

std::optional<QString> QtPlatform::inputText(QWidget* owner, const QString& title, const QString& prompt)
{
    bool ok = false;
    const QString text = QInputDialog::getText(owner, title, prompt, QLineEdit::Normal, QString(), &ok);
    if (!ok)
        return std::nullopt;
    return text;
}

LockKeyStates QtPlatform::lockKeys()
{
    return readX11LockKeys();
}

void ConsolePlatform::messageBox(QWidget*, const QString& text)
{
    ++m_messageCount;
    QByteArray bytes = text.toLocal8Bit();
    if (!bytes.endsWith('\n'))
        bytes += '\n';
    std::fprintf(stderr, "tessaly: %s", bytes.constData());
}

} // namespace tessaly
