// reload_policy.hpp: when a watched file that changed on disk is read again, without a clock or timer of its own.
#pragma once

#include <cstdint>

namespace tessaly {

// Decides, from change notices, timer expiries and read results, when to read a file that a
// linker is rewriting. Times are milliseconds on any steady clock the caller chooses.
class ReloadPolicy {
public:
    // The file must be quiet this long before it is read.
    static constexpr int64_t kQuietMs = 300;
    // Reads that fail are retried this many times in all, silently, before the failure is told.
    static constexpr int kAttempts = 5;

    enum class Step {
        Idle, // nothing to do
        Wait, // ask again (timerExpired) at deadline()
        Read, // read the file now, then report readFailed or readSucceeded
        Report, // the file stays unreadable: tell the reader's message; idle afterwards
    };

    // The file changed (written, replaced or removed). A writer that is still at work also puts
    // off the telling of earlier failures: the count starts again.
    Step fileChanged(int64_t now);
    // The timer asked for by the last Wait ran out (or any other wake-up).
    Step timerExpired(int64_t now);
    Step readFailed(int64_t now);
    Step readSucceeded();

    bool pending() const { return m_pending; }
    int64_t deadline() const { return m_lastChange + kQuietMs; }
    int failures() const { return m_failures; }

private:
    bool m_pending = false;
    int64_t m_lastChange = 0;
    int m_failures = 0;
};

} // namespace tessaly
