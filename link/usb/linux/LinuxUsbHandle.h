#pragma once
// One open /dev/usb/lpN node of the kernel's USB printer driver. The node is non-blocking and
// every wait polls it together with an eventfd, so interrupt() from the GUI thread ends a read
// or write at once; unplugging shows as a hang-up, an error or ENODEV on the node.

#include "UniqueFd.h"
#include "link/usb/UsbDeviceAccess.h"

#include <atomic>

class LinuxUsbHandle : public UsbHandle
{
public:
    // Opens `node` for reading and writing; null with errno's value in `error` on failure.
    static std::unique_ptr<LinuxUsbHandle> open(const QByteArray &node, int &error);

    Result read(char *buffer, int capacity, int &count, int timeoutMs) override;
    Result write(const QByteArray &bytes) override;
    void interrupt(bool lost) override;

private:
    LinuxUsbHandle(UniqueFd node, UniqueFd wake);
    // Polls the node for `events` until `deadlineMs` (of a steady clock; negative: none).
    // Data: the node is ready (its revents in `revents`); Idle: time is up or interrupted.
    Result wait(short events, qint64 deadlineMs, short &revents);

    UniqueFd node;
    UniqueFd wake; // eventfd written by interrupt()
    std::atomic<bool> lostRequested{false};
};
