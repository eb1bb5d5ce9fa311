// shell_fixtures.hpp: a platform that answers its dialogs at once, and small programs to open, for the widget tests.
#pragma once

#include <QDialog>
#include <QObject>
#include <QStringList>
#include <QUrl>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "shell/platform.hpp"

namespace tessaly::testing {

// Records what the program asked and answers with the values set beforehand.
class FakePlatform : public Platform {
public:
    void messageBox(QWidget* owner, const QString& text) override;
    std::optional<QString> openFileDialog(QWidget* owner, const QString& barFilter) override;
    std::optional<LogFont> fontDialog(QWidget* owner, const LogFont& initial) override;
    int execDialog(QDialog& dialog) override;
    bool openUrl(const QUrl& url) override;

    // Answers
    std::optional<QString> fileToChoose{};
    std::optional<LogFont> fontToChoose{};
    int dialogResult = QDialog::Accepted;
    bool openUrlSucceeds = true;

    // Questions
    QStringList messages;
    QStringList fileFilters;
    QList<LogFont> fontInitials;
    QStringList dialogTitles;
    QStringList dialogTexts; // every label's text of the dialogs run, joined by '|'
    QList<QUrl> urls;
    QList<QWidget*> owners;
};

// A small IEEE-695 program of the given CPU: code and data sections, labels, a constant and
// a C function.
std::vector<uint8_t> smallMapFile(const std::string& cpu);

// Bytes the reader rejects: the first byte is of neither format.
std::vector<uint8_t> unreadableFile();

} // namespace tessaly::testing
