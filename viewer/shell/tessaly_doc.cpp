// tessaly_doc.cpp: the document's commands, its title and the notification of its views.
#include "shell/tessaly_doc.hpp"

#include "shell/commands.hpp"
#include "shell/pane_view.hpp"
#include "shell/platform.hpp"

#include <QFile>
#include <QFileInfo>
#include <algorithm>

namespace tessaly {

QString untitledName()
{
    return QStringLiteral("Untitled");
}

CTessalyDoc::CTessalyDoc(MapModel& model, QObject* parent)
    : QObject(parent)
    , m_model(model)
    , m_document(model, *this)
    , m_strTitle(untitledName())
{
    // Routed to the document before the application, so it replaces the framework's own open.
    onCommand(ID_FILE_OPEN, [this] { OnOpenMapFile(); });
    // Its state comes from the frame.
    onCommand(ID_OPTIONS, [this] { OnOptionsCommand(); });
    onCommand(
        ID_FILE_COMPARE_WITH, [this] { OnCompareWith(); },
        [this](CommandState& state) { state.Enable(m_model.FileLoaded); });
    onCommand(
        ID_FILE_STOP_COMPARING, [this] { StopComparing(); },
        [this](CommandState& state) { state.Enable(HasBaseline()); });
}

void CTessalyDoc::AddView(PaneView* view)
{
    m_views.push_back(view);
}

void CTessalyDoc::RemoveView(PaneView* view)
{
    std::erase(m_views, view);
}

void CTessalyDoc::SetTitle(const QString& title)
{
    m_strTitle = title;
    emit titleChanged(m_strTitle);
}

void CTessalyDoc::OnNewDocument()
{
    SetTitle(untitledName());
    m_bModified = false;
    for (PaneView* view : std::vector<PaneView*>(m_views))
        view->OnInitialUpdate();
}

bool CTessalyDoc::OnOpenDocument(const QString& path)
{
    const QFileInfo info(path);
    QFile file(path);
    if (!info.isFile() || !file.open(QIODevice::ReadOnly)) {
        platform().messageBox(m_owner, tr("%1\nThis file cannot be opened.").arg(path));
        return false;
    }
    SetTitle(info.absoluteFilePath());
    m_bModified = false;
    for (PaneView* view : std::vector<PaneView*>(m_views))
        view->OnInitialUpdate();
    return true;
}

void CTessalyDoc::OnOpenMapFile()
{
    m_bFileChosen = false;
    m_document.OnOpenMapFile();
    // A cancelled dialog reads nothing.
    if (m_bFileChosen)
        emit fileRead();
}

void CTessalyDoc::OpenMapFile(const QString& path)
{
    m_document.OpenMapFile(QFile::encodeName(QFileInfo(path).absoluteFilePath()).toStdString());
    emit fileRead();
}

void CTessalyDoc::fileOpened(const std::string& path)
{
    const QString name = QFileInfo(QFile::decodeName(QByteArray::fromStdString(path))).absoluteFilePath();
    m_openFolder = QFileInfo(name).absolutePath();
    emit fileLoaded(name);
}

void CTessalyDoc::OpenCommandLineFile(const QString& path)
{
    m_document.OpenCommandLineFile(QFile::encodeName(path).toStdString());
    emit fileRead();
}

void CTessalyDoc::OnOptionsCommand()
{
    m_document.OnOptionsCommand();
}

void CTessalyDoc::OnCompareWith()
{
    if (const std::optional<std::string> chosen = runOpenFileDialog(OpenFileFilter(m_model.CpuFamily)))
        CompareWith(QFile::decodeName(QByteArray::fromStdString(*chosen)));
}

bool CTessalyDoc::CompareWith(const QString& path)
{
    const bool compared = m_document.CompareWith(QFile::encodeName(path).toStdString());
    if (compared)
        emit comparisonChanged();
    return compared;
}

void CTessalyDoc::StopComparing()
{
    if (!HasBaseline())
        return;
    m_document.StopComparing();
    emit comparisonChanged();
}

void CTessalyDoc::MakeShownBuildTheBaseline()
{
    m_document.MakeShownBuildTheBaseline();
    emit comparisonChanged();
}

void CTessalyDoc::UpdateAllViews(PaneView* sender)
{
    for (PaneView* view : std::vector<PaneView*>(m_views))
        if (view != sender)
            view->OnUpdate(sender);
}

std::optional<std::string> CTessalyDoc::runOpenFileDialog(const std::string& filter)
{
    const std::optional<QString> chosen = platform().openFileDialog(m_owner, QString::fromLatin1(filter), m_openFolder);
    if (!chosen)
        return std::nullopt;
    m_bFileChosen = true;
    return QFile::encodeName(*chosen).toStdString();
}

void CTessalyDoc::showMessage(const std::string& text)
{
    platform().messageBox(m_owner, QString::fromLocal8Bit(text));
}

void CTessalyDoc::setTitle(const std::string& title)
{
    SetTitle(QFile::decodeName(QByteArray::fromStdString(title)));
}

bool CTessalyDoc::runOptionsDialog(OptionsValues& values)
{
    return m_optionsDialog ? m_optionsDialog(m_owner, values) : false;
}

void CTessalyDoc::repaintAllViews()
{
    for (PaneView* view : std::vector<PaneView*>(m_views)) {
        view->Invalidate();
        UpdateAllViews(view);
    }
}

} // namespace tessaly
