// live_reload.cpp: reading the open file again with the list's place, the zoom and the range kept where they fit.
#include "shell/live_reload.hpp"

#include "build_baseline.hpp"
#include "left/friend_left_view.hpp"
#include "right/friend_right_view.hpp"
#include "shell/commands.hpp"
#include "shell/main_frame.hpp"
#include "shell/platform.hpp"
#include "shell/tessaly_doc.hpp"

#include <QFile>
#include <QFileInfo>
#include <QSettings>

namespace tessaly {

namespace {

const QString kAutomaticKey = QStringLiteral("Options/ReloadAutomatically");

} // namespace

LiveReload::LiveReload(CMainFrame& frame)
    : QObject(&frame)
    , m_frame(frame)
    , m_watch(this)
{
    m_automatic = QSettings().value(kAutomaticKey, true).toBool();
    m_watch.setReader([this](bool force) { return reloadKeepingView(force); });
    connect(&m_watch, &FileWatch::unreadable, this,
        [this](const QString& message) { platform().messageBox(&m_frame, message); });

    const MapModel& model = frame.document().model();
    frame.onCommand(
        ID_FILE_RELOAD, [this] { m_watch.reloadNow(); },
        [this, &model](CommandState& state) { state.Enable(model.FileLoaded && !m_watch.path().isEmpty()); });
    frame.onCommand(
        ID_RELOAD_AUTOMATICALLY, [this] { setAutomatic(!m_automatic); },
        [this](CommandState& state) { state.SetCheck(m_automatic); });
}

void LiveReload::setAutomatic(bool on)
{
    m_automatic = on;
    QSettings().setValue(kAutomaticKey, on);
    // The watch keeps its file for File > Reload; only the notices stop.
    m_watch.setNoticing(on);
}

void LiveReload::fileOpened(const QString& path)
{
    m_lastGood.keep(QFile::encodeName(path).toStdString());
    m_watch.watch(path);
    m_watch.setNoticing(m_automatic);
}

ReloadResult LiveReload::reloadKeepingView(bool force)
{
    CTessalyDoc& document = m_frame.document();
    MapModel& model = document.model();
    // After a failed open the window shows nothing of the watched file: it is let go.
    const QString shown = QFileInfo(QFile::decodeName(QByteArray::fromStdString(model.LoadedPath))).absoluteFilePath();
    if (!model.FileLoaded || shown != m_watch.path()) {
        m_watch.watch(QString());
        return { ReloadOutcome::Changing, {}, false };
    }
    const uint32_t topAddress = m_frame.m_pRightView ? m_frame.m_pRightView->m_nTopAddress : 0;
    const int32_t zoom = m_frame.m_pLeftView ? m_frame.m_pLeftView->m_nZoom : 1;
    const uint32_t rangeStart = model.RangeStart;
    const uint32_t rangeEnd = model.RangeEnd;

    // With no baseline chosen, the build on screen becomes the baseline of the one read now, so
    // the change column shows what the last re-link changed; a chosen baseline stays.
    const std::shared_ptr<BuildBaseline> baseline = model.Baseline;
    bool previousBuildTaken = false;
    const auto takePreviousBuild = [&] {
        if (m_automatic && (!baseline || baseline->previousBuild)) {
            document.MakeShownBuildTheBaseline();
            previousBuildTaken = true;
        }
    };
    const ReloadResult result
        = m_lastGood.reload(model, QFile::encodeName(m_watch.path()).toStdString(), force, takePreviousBuild);
    if (previousBuildTaken && result.outcome != ReloadOutcome::Reloaded) {
        // The build on screen is still the one it was, and so is what it is compared with.
        model.Baseline = baseline;
        if (model.FileLoaded)
            RefreshBaselineChanges(model, IE_getRoot());
    }
    // A read that did not rebuild the tables left everything as it was; a refusal rebuilt them
    // from the kept copy of the build that was shown.
    if (!result.rebuilt && model.FileLoaded)
        return result;
    if (!model.FileLoaded) {
        document.repaintAllViews();
        return result;
    }
    const bool rangeFits = rangeStart <= rangeEnd && rangeEnd <= model.MaxAddress;
    model.RangeStart = rangeFits ? rangeStart : 0;
    model.RangeEnd = rangeFits ? rangeEnd : model.MaxAddress;
    document.setTitle(DocumentTitle(model));
    // What depends on the tables (the memory usage) is measured again.
    emit document.fileRead();
    document.UpdateAllViews(nullptr);
    if (CFriendLeftView* left = m_frame.m_pLeftView) {
        // Zoomed in again step by step, as far as the new picture allows.
        while (left->m_nZoom < zoom) {
            const int32_t before = left->m_nZoom;
            left->OnZoomIn();
            if (left->m_nZoom == before)
                break;
        }
    }
    if (CFriendRightView* right = m_frame.m_pRightView; right)
        right->JumpToAddress(topAddress);
    document.repaintAllViews();
    return result;
}

} // namespace tessaly
