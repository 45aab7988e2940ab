#include "StopSignals.h"

#include <QSocketNotifier>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {
int wakeFds[2] = {-1, -1};
struct sigaction previousInt;
struct sigaction previousTerm;

void handleSignal(int signal)
{
    const char byte = char(signal);
    // Nothing to do about a full pipe: the loop is awake already.
    [[maybe_unused]] const ssize_t written = ::write(wakeFds[0], &byte, 1);
}
} // namespace

StopSignals::StopSignals(std::function<void(int)> onSignal, QObject *parent)
    : QObject(parent), onSignal(std::move(onSignal))
{
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, wakeFds) != 0)
        return;
    notifier = new QSocketNotifier(wakeFds[1], QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, &StopSignals::deliver);
    struct sigaction action = {};
    action.sa_handler = handleSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, &previousInt);
    sigaction(SIGTERM, &action, &previousTerm);
}

StopSignals::~StopSignals()
{
    if (!notifier)
        return;
    sigaction(SIGINT, &previousInt, nullptr);
    sigaction(SIGTERM, &previousTerm, nullptr);
    delete notifier;
    ::close(wakeFds[0]);
    ::close(wakeFds[1]);
    wakeFds[0] = wakeFds[1] = -1;
}

void StopSignals::deliver()
{
    char byte = 0;
    if (::read(wakeFds[1], &byte, 1) == 1 && onSignal)
        onSignal(int(byte));
}

#else

// Elsewhere the default handlers stay: the process ends at once.
StopSignals::StopSignals(std::function<void(int)> onSignal, QObject *parent)
    : QObject(parent), onSignal(std::move(onSignal))
{
}

StopSignals::~StopSignals() = default;

void StopSignals::deliver() {}

#endif
