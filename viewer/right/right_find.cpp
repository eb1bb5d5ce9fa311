// right_find.cpp: CFriendRightView's Find: opening the dialog, its notices, Find Next and the "Can't Find" message.
#include "right/right_find.hpp"

#include "right/find_state.hpp"
#include "right/friend_right_view.hpp"
#include "right/right_scroll.hpp"
#include "shell/commands.hpp"
#include "shell/find_dialog.hpp"
#include "shell/find_notify.hpp"
#include "shell/name_text.hpp"
#include "shell/platform.hpp"
#include "shell/tessaly_doc.hpp"

namespace tessaly {

namespace {

FindState findStateOf(const CFriendRightView& view)
{
    FindState state;
    state.foundLine = view.m_nFoundLine;
    state.foundOffset = view.m_nFoundOffset;
    state.foundLength = view.m_nFoundLength;
    state.foundKind = view.m_nFoundKind;
    state.foundEntry = view.m_nFoundEntry;
    state.foundInModuleTable = view.m_bFoundInModuleTable;
    return state;
}

void storeFindState(CFriendRightView& view, const FindState& state)
{
    view.m_nFoundLine = state.foundLine;
    view.m_nFoundOffset = state.foundOffset;
    view.m_nFoundLength = state.foundLength;
    view.m_nFoundKind = state.foundKind;
    view.m_nFoundEntry = state.foundEntry;
    view.m_bFoundInModuleTable = state.foundInModuleTable;
}

} // namespace

void InstallFindCommand(CFriendRightView& view)
{
    const MapModel& model = view.GetDocument().model();
    view.onCommand(
        ID_FIND_MENU, [&view] { view.OpenFindDialog(); },
        [&model](CommandState& state) { state.Enable(model.FileLoaded); });
}

void FollowFindAfterRelayout(CFriendRightView& view, bool tablesChanged)
{
    FindState state = findStateOf(view);
    FollowRelayout(view.GetDocument().model(), state, tablesChanged);
    storeFindState(view, state);
}

CFriendRightView::~CFriendRightView()
{
    // A Find dialog without its list has nothing left to search: it forgets the pane and goes.
    if (m_pFindDlg) {
        m_pFindDlg->m_pOwner = nullptr;
        m_pFindDlg->hide();
        m_pFindDlg->deleteLater();
        m_pFindDlg = nullptr;
    }
}

void CFriendRightView::OpenFindDialog()
{
    if (m_pFindDlg) {
        m_pFindDlg->show();
        m_pFindDlg->raise();
        m_pFindDlg->activateWindow();
        return;
    }
    // Owned by the main window on the screen, so it stays above it and goes with it.
    m_pFindDlg = new FindDialog(this, window());
    m_pFindDlg->show();
    m_nFoundLine = 0;
    m_nFoundOffset = -1;
    m_nFoundEntry = 0;
    m_nFoundKind = SearchLabel;
    m_pFindDlg->SetSearchKind(m_nFoundKind);
    m_pFindDlg->SetFindText(m_strLastFind);
    // The old highlight goes with the old search.
    Invalidate();
}

void CFriendRightView::FindNext()
{
    // The settings live in the dialog; a request that outlived it has none to read.
    if (!m_pFindDlg)
        return;
    FindDialog& dialog = *m_pFindDlg;
    const QString text = dialog.GetFindText();
    if (text.isEmpty())
        return;
    runFind(text, dialog.m_bMatchCase != 0, dialog.m_bWildCard != 0, dialog.m_nDirection, dialog.m_nKind, &dialog);
}

void CFriendRightView::FindAgain(int32_t direction)
{
    if (m_pFindDlg) {
        const QString text = m_pFindDlg->GetFindText();
        if (!text.isEmpty()) {
            runFind(text, m_pFindDlg->m_bMatchCase != 0, m_pFindDlg->m_bWildCard != 0, direction, m_pFindDlg->m_nKind,
                m_pFindDlg);
            return;
        }
    } else if (!m_strLastFind.isEmpty()) {
        runFind(m_strLastFind, m_bLastMatchCase, m_bLastWildCard, direction, m_nLastKind, this);
        return;
    }
    OpenFindDialog();
}

void CFriendRightView::runFind(
    const QString& text, bool matchCase, bool wildCard, int32_t direction, int32_t kind, QWidget* owner)
{
    m_strLastFind = text;
    m_bLastMatchCase = matchCase;
    m_bLastWildCard = wildCard;
    m_nLastKind = kind;

    MapModel& model = GetDocument().model();
    if (!model.FileLoaded) {
        // After a failed open the tables are the last file's; there is nothing shown to search.
        platform().messageBox(owner, QStringLiteral("Can't Find"));
        return;
    }
    // The lines of a match must be those of the current options.
    if (model.ListRebuildPending)
        Relayout();

    FindRequest request;
    // Typed text is read back as name bytes through the one mapping the list draws them with.
    const std::optional<std::string> bytes = NameBytes(text);
    request.text = bytes.value_or(std::string());
    request.representable = bytes.has_value();
    request.matchCase = matchCase;
    request.wildCard = wildCard;
    request.direction = direction;
    request.kind = kind;
    FindState state = findStateOf(*this);
    const FindOutcome outcome = tessaly::FindNext(model, state, request);
    storeFindState(*this, state);

    if (outcome == FindOutcome::CantFind) {
        platform().messageBox(owner, QStringLiteral("Can't Find"));
        return;
    }
    if (outcome == FindOutcome::Found) {
        m_nTopLine = TopLineForMatch(m_nFoundLine, m_nTopLine, PageLines(viewport()->height(), m_nLineHeight));
        Invalidate();
        RefreshVertBar();
    }
}

void CFriendRightView::customEvent(QEvent* event)
{
    if (event->type() != FindNotifyEvent::kType) {
        PaneView::customEvent(event);
        return;
    }
    switch (static_cast<FindNotifyEvent*>(event)->code()) {
    case FindNextRequest:
        FindNext();
        break;
    case FindClosing:
        // The notice comes twice; the second finds nothing to forget.
        m_pFindDlg = nullptr;
        break;
    default:
        break;
    }
}

} // namespace tessaly
