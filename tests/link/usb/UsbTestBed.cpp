#include <umockdev.h> // before Qt: its GLib headers use names Qt defines as macros

#include "UsbTestBed.h"

#include "link/sim/SimulatedCutter.h"
#include "link/usb/linux/UniqueFd.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSocketNotifier>
#include <QTimer>

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <linux/capability.h>
#include <memory>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <termios.h>
#include <unistd.h>

namespace {
const QByteArray CutterVendor = "0483";
const QByteArray CutterProduct = "5710";
const QByteArray PrinterClass = "07";

// Root opens anything whatever its mode; without these two capabilities in effect the mode
// bits apply to us as to any user. Capabilities belong to a thread.
bool setFileAccessOverride(bool on)
{
    __user_cap_header_struct header = {_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[2] = {};
    if (syscall(SYS_capget, &header, data) != 0)
        return false;
    const quint32 bits = (1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH);
    data[0].effective =
        on ? data[0].effective | (data[0].permitted & bits) : data[0].effective & ~bits;
    return syscall(SYS_capset, &header, data) == 0;
}

void writeAll(int fd, const QByteArray &bytes)
{
    const char *next = bytes.constData();
    qint64 left = bytes.size();
    while (left > 0) {
        const ssize_t put = ::write(fd, next, size_t(left));
        if (put > 0) {
            next += put;
            left -= put;
        } else if (put < 0 && errno == EAGAIN) {
            pollfd ready = {fd, POLLOUT, 0};
            if (::poll(&ready, 1, 5000) <= 0)
                return; // nobody reads the node: the bytes would never arrive anyway
        } else if (put < 0 && errno != EINTR) {
            return;
        }
    }
}
} // namespace

struct UsbTestBed::Device
{
    QString name;
    QString serial;
    QString portPath;
    QByteArray usbPath;  // sysfs path of the usb_device
    QByteArray lpPath;   // sysfs path of the usbmisc device
    QString node;        // the node inside the testbed's /dev
    QByteArray terminal; // the pseudo-terminal the node points at
    UniqueFd cutter;     // master end
    UniqueFd keeper;     // a slave end kept open, so the master never reads a hang-up between opens
    std::unique_ptr<QSocketNotifier> notifier;
};

UsbTestBed::UsbTestBed() : bed(umockdev_testbed_new()), context(std::make_unique<QObject>())
{
    gchar *dir = umockdev_testbed_get_root_dir(bed);
    root = QString::fromUtf8(dir);
    g_free(dir);
}

UsbTestBed::~UsbTestBed()
{
    context.reset();
    devices.clear();
    if (accessDropped)
        setFileAccessOverride(true);
    g_object_unref(bed);
}

bool UsbTestBed::preloadActive()
{
    return qgetenv("LD_PRELOAD").contains("libumockdev-preload");
}

QString UsbTestBed::addCutter(const QString &serial, const QString &portPath)
{
    return addUsbDevice(serial, portPath, CutterVendor, CutterProduct, PrinterClass);
}

void UsbTestBed::addDevice(const QString &serial, const QString &portPath, const QByteArray &vendor,
                           const QByteArray &product, const QByteArray &interfaceClass)
{
    addUsbDevice(serial, portPath, vendor, product, interfaceClass);
}

QString UsbTestBed::addUsbDevice(const QString &serial, const QString &portPath,
                                 const QByteArray &vendor, const QByteArray &product,
                                 const QByteArray &interfaceClass)
{
    auto device = std::make_unique<Device>();
    device->name = serial.isEmpty() ? portPath : serial;
    device->serial = serial;
    device->portPath = portPath;
    // Cutters sharing a serial are named with their port paths too (not undone on removal).
    for (const std::unique_ptr<Device> &other : devices) {
        if (serial.isEmpty() || other->serial != serial)
            continue;
        other->name = serial + QLatin1Char('@') + other->portPath;
        device->name = serial + QLatin1Char('@') + portPath;
    }
    const QByteArray lp = "lp" + QByteArray::number(nextLp++);

    device->cutter = UniqueFd(posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK));
    if (!device->cutter.valid() || grantpt(device->cutter.get()) != 0 ||
        unlockpt(device->cutter.get()) != 0)
        qFatal("UsbTestBed: no pseudo-terminal");
    termios raw = {};
    tcgetattr(device->cutter.get(), &raw);
    cfmakeraw(&raw);
    tcsetattr(device->cutter.get(), TCSANOW, &raw);
    device->terminal = ptsname(device->cutter.get());
    device->keeper = UniqueFd(::open(device->terminal.constData(), O_RDWR | O_NOCTTY | O_CLOEXEC));
    device->node = root + QStringLiteral("/dev/usb/") + QString::fromLatin1(lp);
    QDir().mkpath(root + QStringLiteral("/dev/usb"));
    if (symlink(device->terminal.constData(), QFile::encodeName(device->node).constData()) != 0)
        qFatal("UsbTestBed: cannot make the node");

    const QByteArray port = portPath.toUtf8();
    const QByteArray serialText = serial.toUtf8();
    // A device without a serial number has no serial attribute at all.
    std::vector<const char *> attributes = {"idVendor", vendor.constData(), "idProduct",
                                            product.constData()};
    if (!serialText.isEmpty())
        attributes.insert(attributes.end(), {"serial", serialText.constData()});
    attributes.push_back(nullptr);
    const char *usbProperties[] = {"DEVTYPE", "usb_device", nullptr};
    gchar *usb = umockdev_testbed_add_devicev(bed, "usb", port.constData(), nullptr,
                                              const_cast<gchar **>(attributes.data()),
                                              const_cast<gchar **>(usbProperties));
    const QByteArray interfaceName = port + ":1.0";
    gchar *interface = umockdev_testbed_add_device(
        bed, "usb", interfaceName.constData(), usb, "bInterfaceClass", interfaceClass.constData(),
        "bInterfaceNumber", "00", nullptr, "DEVTYPE", "usb_interface", nullptr);
    const QByteArray devName = "/dev/usb/" + lp;
    gchar *misc = umockdev_testbed_add_device(bed, "usbmisc", lp.constData(), interface, nullptr,
                                              "DEVNAME", devName.constData(), nullptr);
    device->usbPath = usb;
    device->lpPath = misc;
    g_free(usb);
    g_free(interface);
    g_free(misc);

    const QString name = device->name;
    devices.push_back(std::move(device));
    return name;
}

UsbTestBed::Device *UsbTestBed::find(const QString &name)
{
    for (const auto &device : devices) {
        if (device->name == name)
            return device.get();
    }
    return nullptr;
}

void UsbTestBed::removeCutter(const QString &name)
{
    for (auto it = devices.begin(); it != devices.end(); ++it) {
        Device &device = **it;
        if (device.name != name)
            continue;
        umockdev_testbed_uevent(bed, device.lpPath.constData(), "remove");
        umockdev_testbed_remove_device(bed, device.usbPath.constData());
        // umockdev leaves the bus links behind, which would refuse the device's return.
        const QString bus = root + QStringLiteral("/sys/bus/usb/devices/");
        const QString port =
            QString::fromUtf8(device.usbPath.mid(device.usbPath.lastIndexOf('/') + 1));
        QFile::remove(bus + port);
        QFile::remove(bus + port + QStringLiteral(":1.0"));
        QFile::remove(device.node);
        devices.erase(it); // closing both ends hangs up a node the program holds open
        return;
    }
}

void UsbTestBed::denyAccess(const QString &name)
{
    Device *device = find(name);
    if (!device)
        return;
    chmod(device->terminal.constData(), 0);
    if (geteuid() == 0 && !accessDropped)
        accessDropped = setFileAccessOverride(false);
}

int UsbTestBed::cutterFd(const QString &name)
{
    Device *device = find(name);
    return device ? device->cutter.get() : -1;
}

QByteArray UsbTestBed::takeWritten(const QString &name)
{
    QByteArray bytes;
    const int fd = cutterFd(name);
    char buffer[4096];
    ssize_t got = 0;
    while (fd >= 0 && (got = ::read(fd, buffer, sizeof buffer)) > 0)
        bytes.append(buffer, int(got));
    return bytes;
}

void UsbTestBed::reply(const QString &name, const QByteArray &bytes)
{
    const int fd = cutterFd(name);
    if (fd >= 0)
        writeAll(fd, bytes);
}

void UsbTestBed::replyInTurn(const QString &name, const QByteArrayList &pieces, int gapMs)
{
    if (pieces.isEmpty())
        return;
    reply(name, pieces.first());
    auto *timer = new QTimer(context.get());
    auto since = std::make_shared<QElapsedTimer>();
    since->start();
    auto next = std::make_shared<int>(1);
    QObject::connect(timer, &QTimer::timeout, timer, [=] {
        Device *device = find(name);
        int unread = 0;
        if (device)
            // The system call itself: umockdev's preload answers ioctl() on nodes it does not
            // emulate with an error.
            syscall(SYS_ioctl, device->keeper.get(), FIONREAD, &unread);
        if (device && (unread > 0 || since->elapsed() < gapMs))
            return;
        if (device && *next < pieces.size()) {
            reply(name, pieces.at((*next)++));
            since->restart();
            return;
        }
        timer->deleteLater();
    });
    timer->start(2);
}

void UsbTestBed::attach(const QString &name, SimulatedCutter &cutter)
{
    Device *device = find(name);
    if (!device)
        return;
    device->notifier =
        std::make_unique<QSocketNotifier>(device->cutter.get(), QSocketNotifier::Read);
    QObject::connect(device->notifier.get(), &QSocketNotifier::activated, &cutter,
                     [this, name, &cutter] { cutter.receive(takeWritten(name)); });
    QObject::connect(&cutter, &SimulatedCutter::reply, context.get(),
                     [this, name](const QByteArray &bytes) { reply(name, bytes); });
    // Queued: the request comes from inside receive(), called by the notifier it deletes.
    QObject::connect(
        &cutter, &SimulatedCutter::closeRequested, context.get(),
        [this, name] { removeCutter(name); }, Qt::QueuedConnection);
}
