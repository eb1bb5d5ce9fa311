// right_select.cpp: CFriendRightView's picked row: which row a point is on, Copy to the clipboard, the tool tip.
#include "right/right_select.hpp"

#include "right/friend_right_view.hpp"
#include "shell/commands.hpp"
#include "shell/name_text.hpp"
#include "shell/tessaly_doc.hpp"

#include <QClipboard>
#include <QGuiApplication>
#include <QHelpEvent>
#include <QToolTip>

namespace tessaly {

void InstallSelectCommands(CFriendRightView& view)
{
    view.onCommand(
        ID_EDIT_COPY, [&view] { view.CopySelection(); },
        [&view](CommandState& state) { state.Enable(view.m_selection.column != ColumnNone); });
}

ListSelection CFriendRightView::SelectionAt(QPoint point)
{
    MapModel& model = GetDocument().model();
    if (!model.FileLoaded || m_nLineHeight <= 0 || point.y() < m_nLineHeight)
        return {};
    // The lines must be those of the current options before one is picked.
    if (model.ListRebuildPending)
        Relayout();
    const int32_t line = m_nTopLine + (point.y() - m_nLineHeight) / m_nLineHeight;
    for (const ColumnSpan& span : ScreenColumnSpans(m_columns, model, scrollPx()))
        if (point.x() >= span.left && point.x() < span.right)
            return SelectAt(model, m_rows, span.number, line);
    return {};
}

void CFriendRightView::CopySelection()
{
    const std::string text = SelectionCopyText(GetDocument().model(), m_selection);
    if (!text.empty())
        QGuiApplication::clipboard()->setText(NameText(text));
}

GoToTarget CFriendRightView::GoToAddress(uint32_t address)
{
    MapModel& model = GetDocument().model();
    if (!model.FileLoaded)
        return {};
    if (model.ListRebuildPending)
        Relayout();
    const GoToTarget target = GoToAddressTarget(model, m_rows, address);
    if (!target.inBlock)
        return target;
    m_nTopLine = target.topLine;
    m_selection = target.selection;
    Invalidate();
    RefreshVertBar();
    return target;
}

bool CFriendRightView::viewportEvent(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const std::string text = SelectionToolTip(GetDocument().model(), SelectionAt(help->pos()));
        if (text.empty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), NameText(text), viewport());
        return true;
    }
    return PaneView::viewportEvent(event);
}

} // namespace tessaly
