#include "LinuxUsbHandle.h"

#include <QDeadlineTimer>

#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>

std::unique_ptr<LinuxUsbHandle> LinuxUsbHandle::open(const QByteArray &node, int &error)
{
    UniqueFd fd(::open(node.constData(), O_RDWR | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (!fd.valid()) {
        error = errno;
        return nullptr;
    }
    UniqueFd wake(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK));
    if (!wake.valid()) {
        error = errno;
        return nullptr;
    }
    error = 0;
    return std::unique_ptr<LinuxUsbHandle>(new LinuxUsbHandle(std::move(fd), std::move(wake)));
}

LinuxUsbHandle::LinuxUsbHandle(UniqueFd node, UniqueFd wake)
    : node(std::move(node)), wake(std::move(wake))
{
}

UsbHandle::Result LinuxUsbHandle::wait(short events, qint64 deadlineMs, short &revents)
{
    for (;;) {
        int timeout = -1;
        if (deadlineMs >= 0) {
            const qint64 left = deadlineMs - QDeadlineTimer::current().deadline();
            timeout = left > 0 ? int(left) : 0;
        }
        pollfd fds[2] = {{node.get(), events, 0}, {wake.get(), POLLIN, 0}};
        const int ready = ::poll(fds, 2, timeout);
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready < 0)
            return Result::Lost;
        if (fds[1].revents)
            return lostRequested ? Result::Lost : Result::Idle;
        if (ready == 0)
            return Result::Idle;
        revents = fds[0].revents;
        return Result::Data;
    }
}

UsbHandle::Result LinuxUsbHandle::read(char *buffer, int capacity, int &count, int timeoutMs)
{
    count = 0;
    const qint64 deadline =
        timeoutMs < 0 ? -1 : QDeadlineTimer::current().deadline() + qint64(timeoutMs);
    for (;;) {
        short revents = 0;
        const Result ready = wait(POLLIN, deadline, revents);
        if (ready != Result::Data)
            return ready;
        if (revents & POLLIN) {
            const ssize_t got = ::read(node.get(), buffer, size_t(capacity));
            if (got > 0) {
                count = int(got);
                return Result::Data;
            }
            if (got < 0 && errno != EAGAIN && errno != EINTR)
                return Result::Lost;
        }
        // A hang-up reads as end of file; a zero-length packet without one is no news.
        if (revents & (POLLHUP | POLLERR | POLLNVAL))
            return Result::Lost;
    }
}

UsbHandle::Result LinuxUsbHandle::write(const QByteArray &bytes)
{
    const char *next = bytes.constData();
    qint64 left = bytes.size();
    while (left > 0) {
        const ssize_t put = ::write(node.get(), next, size_t(left));
        if (put > 0) {
            next += put;
            left -= put;
            continue;
        }
        if (put < 0 && errno == EINTR)
            continue;
        if (put < 0 && errno != EAGAIN)
            return Result::Lost;
        short revents = 0;
        const Result ready = wait(POLLOUT, -1, revents);
        if (ready != Result::Data)
            return ready;
        if (revents & (POLLHUP | POLLERR | POLLNVAL))
            return Result::Lost;
    }
    return Result::Data;
}

void LinuxUsbHandle::interrupt(bool lost)
{
    if (lost)
        lostRequested = true;
    const std::uint64_t one = 1;
    // The eventfd only fails to count further when it is full, and then it is signalled anyway.
    [[maybe_unused]] const ssize_t written = ::write(wake.get(), &one, sizeof one);
}
