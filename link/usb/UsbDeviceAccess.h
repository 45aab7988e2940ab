#pragma once
// The operating system's side of the cutter on USB, behind one small interface so that
// UsbOperate is the same everywhere: which cutters are attached (with their instance names),
// whether one can be opened, an open handle that carries bytes, and word of arrival and removal.
// One realisation per platform (link/usb/linux, link/usb/windows), chosen by the build.
//
// Glossary: the node is what the system opens to reach one cutter (a /dev/usb/lpN character
// device here, a device-interface path on Windows).

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

enum class UsbDeviceState
{
    Absent,      // not attached, or its node is gone
    Present,     // attached and can be opened for reading and writing
    Busy,        // attached, but another open holds it (the printer driver admits one)
    NoPermission // attached, but we may not open it
};

// One open cutter. read() and write() run on a worker thread while interrupt() may be called
// from the GUI thread at any time; the handle is closed when the object is destroyed.
class UsbHandle
{
public:
    enum class Result
    {
        Data, // read: bytes arrived; write: everything was written
        Idle, // the time limit ended or interrupt() asked to stop; nothing was delivered
        Lost  // the cutter was unplugged or the request failed
    };

    virtual ~UsbHandle() = default;
    // Waits up to `timeoutMs` (negative: no limit) for one transfer of at most `capacity` bytes.
    virtual Result read(char *buffer, int capacity, int &count, int timeoutMs) = 0;
    // Writes all of `bytes`, however many requests the system splits them into.
    virtual Result write(const QByteArray &bytes) = 0;
    // Wakes a blocked read or write at once; `lost` makes it report Lost rather than Idle.
    virtual void interrupt(bool lost) = 0;
};

class UsbDeviceAccess
{
public:
    virtual ~UsbDeviceAccess() = default;
    // Instance names of every attached cutter, openable or not, in the system's order.
    virtual QStringList attachedCutters() = 0;
    // What the system opens to reach the cutter, for telling a user; empty when absent.
    virtual QString node(const QString &name) = 0;
    // Tries to open the cutter and closes it again at once.
    virtual UsbDeviceState probe(const QString &name) = 0;
    // Opens the cutter for a transfer; null with the reason in `state` when that fails.
    virtual std::unique_ptr<UsbHandle> open(const QString &name, UsbDeviceState &state) = 0;
    // Called on the GUI thread when a cutter comes or goes (with its instance name and whether
    // it arrived), where the system reports it to a process; Windows reports device changes to
    // the window's native event handler instead.
    std::function<void(const QString &name, bool arrived)> onChange;
};

// The realisation for this platform.
std::unique_ptr<UsbDeviceAccess> createUsbDeviceAccess();
// True for the platform's device-change message passed on by a native event handler.
bool isUsbDeviceChangeMessage(const QByteArray &eventType, void *message);
