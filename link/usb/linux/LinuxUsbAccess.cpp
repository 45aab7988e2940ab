#include "LinuxUsbAccess.h"

#include "LinuxUsbHandle.h"

#include <QSocketNotifier>

#include <cerrno>
#include <libudev.h>

namespace {
// The cutter's USB identity and its printing-class interface (class 07, interface 0).
const char VendorId[] = "0483";
const char ProductId[] = "5710";
const char PrinterClass[] = "07";
const char FirstInterface[] = "00";

QByteArray attribute(udev_device *device, const char *name)
{
    return QByteArray(udev_device_get_sysattr_value(device, name)).trimmed();
}

UsbDeviceState stateForOpenError(int error)
{
    switch (error) {
    case EACCES:
    case EPERM:
        return UsbDeviceState::NoPermission;
    case EBUSY:
        return UsbDeviceState::Busy;
    default: // ENOENT, ENODEV, ENXIO: the node went away under us
        return UsbDeviceState::Absent;
    }
}
} // namespace

LinuxUsbAccess::LinuxUsbAccess() : context(udev_new())
{
    if (!context)
        return;
    startMonitor();
    scan();
}

LinuxUsbAccess::~LinuxUsbAccess()
{
    delete notifier;
    if (monitor)
        udev_monitor_unref(monitor);
    if (context)
        udev_unref(context);
}

void LinuxUsbAccess::startMonitor()
{
    monitor = udev_monitor_new_from_netlink(context, "udev");
    if (!monitor)
        return;
    if (udev_monitor_filter_add_match_subsystem_devtype(monitor, "usbmisc", nullptr) < 0 ||
        udev_monitor_enable_receiving(monitor) < 0) {
        udev_monitor_unref(monitor);
        monitor = nullptr;
        return;
    }
    notifier = new QSocketNotifier(udev_monitor_get_fd(monitor), QSocketNotifier::Read);
    QObject::connect(notifier, &QSocketNotifier::activated, [this] { readMonitor(); });
}

void LinuxUsbAccess::readMonitor()
{
    while (udev_device *device = udev_monitor_receive_device(monitor)) {
        const QByteArray action = udev_device_get_action(device);
        const QByteArray syspath = udev_device_get_syspath(device);
        Cutter cutter;
        if (action == "add" && describe(device, cutter)) {
            scan(); // its name depends on the cutters beside it
            if (onChange)
                onChange(known.value(syspath), true);
        } else if (action == "remove" && known.contains(syspath)) {
            const QString name = known.take(syspath);
            if (onChange)
                onChange(name, false);
        }
        udev_device_unref(device);
    }
}

bool LinuxUsbAccess::describe(udev_device *device, Cutter &cutter)
{
    const char *node = udev_device_get_devnode(device);
    if (!node || !QByteArray(udev_device_get_sysname(device)).startsWith("lp"))
        return false;
    udev_device *interface =
        udev_device_get_parent_with_subsystem_devtype(device, "usb", "usb_interface");
    udev_device *usb = udev_device_get_parent_with_subsystem_devtype(device, "usb", "usb_device");
    if (!interface || !usb)
        return false;
    if (attribute(interface, "bInterfaceClass") != PrinterClass ||
        attribute(interface, "bInterfaceNumber") != FirstInterface ||
        attribute(usb, "idVendor").toLower() != VendorId ||
        attribute(usb, "idProduct").toLower() != ProductId)
        return false;
    cutter.serial = attribute(usb, "serial");
    cutter.portPath = udev_device_get_sysname(usb);
    cutter.node = node;
    cutter.syspath = udev_device_get_syspath(device);
    return true;
}

std::vector<LinuxUsbAccess::Cutter> LinuxUsbAccess::scan()
{
    std::vector<Cutter> cutters;
    if (!context)
        return cutters;
    udev_enumerate *enumerate = udev_enumerate_new(context);
    if (!enumerate)
        return cutters;
    udev_enumerate_add_match_subsystem(enumerate, "usbmisc");
    udev_enumerate_scan_devices(enumerate);
    udev_list_entry *entry = nullptr;
    udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(enumerate))
    {
        udev_device *device =
            udev_device_new_from_syspath(context, udev_list_entry_get_name(entry));
        Cutter cutter;
        if (device && describe(device, cutter))
            cutters.push_back(cutter);
        if (device)
            udev_device_unref(device);
    }
    udev_enumerate_unref(enumerate);
    name(cutters);
    for (const Cutter &cutter : cutters)
        known.insert(cutter.syspath, cutter.name);
    return cutters;
}

void LinuxUsbAccess::name(std::vector<Cutter> &cutters)
{
    QHash<QByteArray, int> serials;
    for (const Cutter &cutter : cutters)
        ++serials[cutter.serial];
    for (Cutter &cutter : cutters) {
        const QByteArray &portPath = cutter.portPath;
        cutter.name =
            QString::fromUtf8(cutter.serial.isEmpty()       ? portPath
                              : serials[cutter.serial] == 1 ? cutter.serial
                                                            : cutter.serial + '@' + portPath);
    }
}

bool LinuxUsbAccess::find(const QString &name, Cutter &cutter)
{
    for (const Cutter &attached : scan()) {
        if (attached.name == name) {
            cutter = attached;
            return true;
        }
    }
    return false;
}

QStringList LinuxUsbAccess::attachedCutters()
{
    QStringList names;
    for (const Cutter &cutter : scan())
        names.append(cutter.name);
    return names;
}

QString LinuxUsbAccess::node(const QString &name)
{
    Cutter cutter;
    return find(name, cutter) ? QString::fromUtf8(cutter.node) : QString();
}

UsbDeviceState LinuxUsbAccess::probe(const QString &name)
{
    UsbDeviceState state = UsbDeviceState::Absent;
    open(name, state);
    return state;
}

std::unique_ptr<UsbHandle> LinuxUsbAccess::open(const QString &name, UsbDeviceState &state)
{
    Cutter cutter;
    if (name.isEmpty() || !find(name, cutter)) {
        state = UsbDeviceState::Absent;
        return nullptr;
    }
    int error = 0;
    std::unique_ptr<UsbHandle> handle = LinuxUsbHandle::open(cutter.node, error);
    state = handle ? UsbDeviceState::Present : stateForOpenError(error);
    return handle;
}

std::unique_ptr<UsbDeviceAccess> createUsbDeviceAccess()
{
    return std::make_unique<LinuxUsbAccess>();
}

bool isUsbDeviceChangeMessage(const QByteArray &, void *)
{
    return false;
}
