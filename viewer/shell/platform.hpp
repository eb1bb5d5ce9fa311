// platform.hpp: the platform layer: message box, file-open and font dialogs, modal dialogs, the help browser and the
// lock keys, replaceable in tests.
#pragma once

#include "shell/lock_keys.hpp"
#include "shell/log_font.hpp"

#include <QString>
#include <QStringList>
#include <QUrl>
#include <optional>

class QDialog;
class QWidget;

namespace tessaly {

// The application title; it captions message boxes and ends the window title.
inline constexpr char kAppTitle[] = "Tessaly";

// What the program asks of the window system beyond its own widgets. The Qt implementation
// runs real modal dialogs; tests install a fake that answers at once.
class Platform {
public:
    virtual ~Platform() = default;

    // The application's message box: caption "Tessaly", one OK button; returns when closed.
    virtual void messageBox(QWidget* owner, const QString& text) = 0;
    // The modal file-open dialog with a "description|pattern|...||" filter list, the first
    // pair selected, starting in folder (the working folder when empty); the full path of an
    // existing file, or nullopt on cancel.
    virtual std::optional<QString> openFileDialog(QWidget* owner, const QString& barFilter, const QString& folder) = 0;
    // The modal font dialog: fixed-pitch fonts, 8 to 16 points, no effects; nullopt on cancel.
    virtual std::optional<LogFont> fontDialog(QWidget* owner, const LogFont& initial) = 0;
    // Runs one of the program's own modal dialogs (About, printer set-up, options).
    virtual int execDialog(QDialog& dialog) = 0;
    // Opens a document in the desktop's viewer for it (the user manual).
    virtual bool openUrl(const QUrl& url) = 0;
    // A small modal dialog asking for one line of text; nullopt on cancel.
    virtual std::optional<QString> inputText(QWidget* owner, const QString& title, const QString& prompt)
    {
        (void)owner, (void)title, (void)prompt;
        return std::nullopt;
    }
    // The lock keys' states for the status bar; none known unless the platform reads them.
    virtual LockKeyStates lockKeys() { return {}; }
};

class QtPlatform : public Platform {
public:
    void messageBox(QWidget* owner, const QString& text) override;
    std::optional<QString> openFileDialog(QWidget* owner, const QString& barFilter, const QString& folder) override;
    std::optional<LogFont> fontDialog(QWidget* owner, const LogFont& initial) override;
    int execDialog(QDialog& dialog) override;
    bool openUrl(const QUrl& url) override;
    std::optional<QString> inputText(QWidget* owner, const QString& title, const QString& prompt) override;
    // Read from the X11 display's keyboard extension where there is one.
    LockKeyStates lockKeys() override;
};

// For runs without a screen (--export-png): messages go to standard error, dialogs are cancelled.
class ConsolePlatform : public QtPlatform {
public:
    void messageBox(QWidget* owner, const QString& text) override;
    std::optional<QString> openFileDialog(QWidget*, const QString&, const QString&) override { return std::nullopt; }
    std::optional<LogFont> fontDialog(QWidget*, const LogFont&) override { return std::nullopt; }
    int execDialog(QDialog&) override { return 0; }
    bool openUrl(const QUrl&) override { return false; }
    std::optional<QString> inputText(QWidget*, const QString&, const QString&) override { return std::nullopt; }

    int messageCount() const { return m_messageCount; }

private:
    int m_messageCount = 0;
};

// The platform in force: the Qt one unless a PlatformOverride is alive.
Platform& platform();

// Puts another platform in force for its lifetime.
class PlatformOverride {
public:
    explicit PlatformOverride(Platform& replacement);
    ~PlatformOverride();
    PlatformOverride(const PlatformOverride&) = delete;
    PlatformOverride& operator=(const PlatformOverride&) = delete;

private:
    Platform* m_previous;
};

// A "description|pattern|...||" list as Qt name filters, in order; the first is the one to select.
QStringList nameFiltersFromBars(const QString& barFilter);

} // namespace tessaly
