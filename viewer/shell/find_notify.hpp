// find_notify.hpp: FindNotify, the private event between the Find dialog and the right pane.
#pragma once

#include <QCoreApplication>
#include <QEvent>

namespace tessaly {

enum FindNotifyCode : int {
    FindClosing = 8, // sent: the dialog is closing
    FindNextRequest = 201, // posted: find the next match
};

class FindNotifyEvent : public QEvent {
public:
    static constexpr QEvent::Type kType = static_cast<QEvent::Type>(QEvent::User + 5);

    explicit FindNotifyEvent(int code)
        : QEvent(kType)
        , m_code(code)
    {
    }
    int code() const { return m_code; }

private:
    int m_code;
};

// Queued: the receiver sees it once the sender's handler has returned.
inline void postFindNotify(QObject* receiver, int code)
{
    QCoreApplication::postEvent(receiver, new FindNotifyEvent(code));
}

// Delivered before this returns.
inline bool sendFindNotify(QObject* receiver, int code)
{
    FindNotifyEvent event(code);
    return QCoreApplication::sendEvent(receiver, &event);
}

} // namespace tessaly
