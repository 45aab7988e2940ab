#pragma once
// Cutters through the kernel's USB printer driver: each attached cutter is a usbmisc device with
// a /dev/usb/lpN node, found and watched through libudev. The instance name is the cutter's USB
// serial number, else its USB port path ("1-1.2"), never lpN, which changes with the order of
// plugging. Cutters that share one serial (firmware that gives every unit the same) are told
// apart by the serial plus the port path ("VX01@1-1.2"), which stays while the cutter is
// replugged in the same port. Presence is judged from udev first, then by opening the node.

#include "link/usb/UsbDeviceAccess.h"

#include <QHash>
#include <vector>

class QSocketNotifier;
struct udev;
struct udev_device;
struct udev_monitor;

class LinuxUsbAccess : public UsbDeviceAccess
{
public:
    LinuxUsbAccess();
    ~LinuxUsbAccess() override;
    LinuxUsbAccess(const LinuxUsbAccess &) = delete;
    LinuxUsbAccess &operator=(const LinuxUsbAccess &) = delete;

    QStringList attachedCutters() override;
    QString node(const QString &name) override;
    UsbDeviceState probe(const QString &name) override;
    std::unique_ptr<UsbHandle> open(const QString &name, UsbDeviceState &state) override;

private:
    struct Cutter
    {
        QString name;
        QByteArray serial;   // empty when the device has none
        QByteArray portPath; // "1-1.2"
        QByteArray node;     // "/dev/usb/lp0"
        QByteArray syspath;  // identifies the device in a removal event, whose sysfs is gone
    };
    std::vector<Cutter> scan();
    bool find(const QString &name, Cutter &cutter);
    static bool describe(udev_device *device, Cutter &cutter);
    // Names the cutters found by one scan; a shared serial gets the port path added.
    static void name(std::vector<Cutter> &cutters);
    void startMonitor();
    void readMonitor();

    udev *context = nullptr;
    udev_monitor *monitor = nullptr; // null when the system gives us none: no change reports
    QSocketNotifier *notifier = nullptr;
    QHash<QByteArray, QString> known; // syspath -> instance name of every cutter seen attached
};
