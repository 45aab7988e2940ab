#include "EventWait.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>

namespace EventWait {

namespace {
// How often a wait looks at its condition when no event arrives: a flag set by another thread
// or an expired deadline has no event of its own.
constexpr int WakeIntervalMs = 10;
} // namespace

bool until(const std::function<bool()> &done, int timeoutMs)
{
    const QDeadlineTimer deadline =
        timeoutMs < 0 ? QDeadlineTimer(QDeadlineTimer::Forever) : QDeadlineTimer(timeoutMs);
    QTimer wake;
    wake.start(WakeIntervalMs);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
    return true;
}

bool pause(int ms, const std::function<bool()> &interrupted)
{
    if (!interrupted) {
        until([] { return false; }, ms);
        return true;
    }
    return !until(interrupted, ms);
}

} // namespace EventWait
