// reload_policy.cpp: the quiet period and the silent retries of reading a changed file.
#include "reload_policy.hpp"

namespace tessaly {

ReloadPolicy::Step ReloadPolicy::fileChanged(int64_t now)
{
    m_pending = true;
    m_lastChange = now;
    m_failures = 0;
    return Step::Wait;
}

ReloadPolicy::Step ReloadPolicy::timerExpired(int64_t now)
{
    if (!m_pending)
        return Step::Idle;
    return now >= deadline() ? Step::Read : Step::Wait;
}

ReloadPolicy::Step ReloadPolicy::readFailed(int64_t now)
{
    if (++m_failures >= kAttempts) {
        m_pending = false;
        m_failures = 0;
        return Step::Report;
    }
    // A failed read counts as a change: the next try waits another quiet period.
    m_pending = true;
    m_lastChange = now;
    return Step::Wait;
}

ReloadPolicy::Step ReloadPolicy::readSucceeded()
{
    m_pending = false;
    m_failures = 0;
    return Step::Idle;
}

} // namespace tessaly
