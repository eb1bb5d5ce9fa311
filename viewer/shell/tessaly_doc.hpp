// tessaly_doc.hpp: CTessalyDoc, the document: file commands, title, views, and the window side of the document logic.
#pragma once

#include "map_document.hpp"
#include "map_model.hpp"
#include "shell/command_router.hpp"

#include <QObject>
#include <QString>
#include <functional>
#include <vector>

class QWidget;

namespace tessaly {

class PaneView;

class CTessalyDoc : public QObject, public CommandTarget, public DocumentHost {
    Q_OBJECT

public:
    using OptionsDialogRunner = std::function<bool(QWidget* owner, OptionsValues& values)>;

    explicit CTessalyDoc(MapModel& model, QObject* parent = nullptr);

    MapModel& model() const { return m_model; }

    // The window that owns the document's dialogs and message boxes.
    void setOwnerWindow(QWidget* owner) { m_owner = owner; }
    // The options dialog, plugged in by whoever provides it; without one the command is cancelled.
    void setOptionsDialog(OptionsDialogRunner runner) { m_optionsDialog = std::move(runner); }

    void AddView(PaneView* view);
    void RemoveView(PaneView* view);
    const std::vector<PaneView*>& views() const { return m_views; }

    const QString& GetTitle() const { return m_strTitle; }
    void SetTitle(const QString& title);
    bool IsModified() const { return m_bModified; }

    // The framework's side of a new and of an opened document: they name the document and
    // run the views' initial update, and read nothing.
    void OnNewDocument();
    bool OnOpenDocument(const QString& path);

    // Command 57601, and the file named on the command line.
    void OnOpenMapFile();
    void OpenCommandLineFile(const QString& path);
    // Command 32772.
    void OnOptionsCommand();

    void UpdateAllViews(PaneView* sender);

    // Comparing with a baseline build (see MapDocument): command 32800 asks for the file,
    // CompareWith reads it (false, with the reader's message shown and nothing changed, when it
    // cannot be read), command 32801 and StopComparing end it. Each emits comparisonChanged
    // when the comparison changed.
    void OnCompareWith();
    bool CompareWith(const QString& path);
    void StopComparing();
    bool HasBaseline() const { return m_document.HasBaseline(); }
    // The build on screen becomes the baseline; call it just before a reload reads the file.
    void MakeShownBuildTheBaseline();

    // DocumentHost
    std::optional<std::string> runOpenFileDialog(const std::string& filter) override;
    void showMessage(const std::string& text) override;
    void setTitle(const std::string& title) override;
    void setModifiedFlag(bool modified) override { m_bModified = modified; }
    bool runOptionsDialog(OptionsValues& values) override;
    void updateAllViews() override { UpdateAllViews(nullptr); }
    void repaintAllViews() override;
    void fileOpened(const std::string& path) override;

    // File > Open once a file is chosen: a dropped or a recent file.
    void OpenMapFile(const QString& path);
    // The folder the File Open dialog starts in (that of the last file opened).
    void setOpenFolder(const QString& folder) { m_openFolder = folder; }

signals:
    void titleChanged(const QString& title);
    // A file was opened and read (File > Open, a drop, a recent file, the command line).
    void fileLoaded(const QString& path);
    void comparisonChanged();
    // After every read of a map file, good or not (FileLoaded tells which).
    void fileRead();

private:
    MapModel& m_model;
    MapDocument m_document;
    QWidget* m_owner = nullptr;
    OptionsDialogRunner m_optionsDialog;
    std::vector<PaneView*> m_views;
    QString m_strTitle;
    QString m_openFolder;
    bool m_bModified = false;
    bool m_bFileChosen = false; // the open dialog named a file, so a read followed
};

// The name a new document gets.
QString untitledName();

} // namespace tessaly
