#pragma once
// Cutters on USB for tests, under umockdev: each cutter is a fake usb_device with its printing
// interface and a usbmisc lpN child in a umockdev testbed (udev sees it, add and remove events
// included), and its /dev/usb/lpN node is a pseudo-terminal whose other end the test holds in
// raw mode. The test process must run under umockdev's preload library (see preloadActive()).
//
// Glossary: the cutter's end is the pseudo-terminal's master; what the program writes to the
// node arrives there, and what the test writes there the program reads from the node.

#include <QByteArray>
#include <QByteArrayList>
#include <QObject>
#include <QString>
#include <memory>
#include <vector>

class SimulatedCutter;
struct _UMockdevTestbed;

class UsbTestBed
{
public:
    UsbTestBed();
    ~UsbTestBed();
    UsbTestBed(const UsbTestBed &) = delete;
    UsbTestBed &operator=(const UsbTestBed &) = delete;

    // True when umockdev's preload library is loaded, without which nothing here is seen.
    static bool preloadActive();

    // Plugs in a cutter (vendor 0483, product 5710, interface 0 of class 07) at USB port
    // `portPath`; an empty serial leaves the device without one. Returns its instance name
    // (with the port path when another cutter of the bed has the same serial).
    QString addCutter(const QString &serial, const QString &portPath = QStringLiteral("1-1"));
    // Plugs in another usbmisc device with these identities (hex text, as sysfs gives them).
    void addDevice(const QString &serial, const QString &portPath, const QByteArray &vendor,
                   const QByteArray &product, const QByteArray &interfaceClass);
    // Unplugs: the udev remove event, the node gone, an open node hung up.
    void removeCutter(const QString &name);
    // The node stays but open() fails with EACCES (as root: for the calling thread, until the
    // testbed goes).
    void denyAccess(const QString &name);
    // The cutter's end of the node, raw mode, non-blocking; -1 for an unknown name.
    int cutterFd(const QString &name);

    // Bytes the program wrote to the node and nobody has taken yet.
    QByteArray takeWritten(const QString &name);
    // Writes `bytes` for the program to read.
    void reply(const QString &name, const QByteArray &bytes);
    // Writes the first piece now and each next one once the program has read all before it
    // (and `gapMs` have passed), so that each piece arrives in a read of its own.
    void replyInTurn(const QString &name, const QByteArrayList &pieces, int gapMs = 20);

    // Lets `cutter` play the named device: it receives what the program writes, its replies go
    // to the program and its request to close unplugs the device. Keep it alive while attached.
    void attach(const QString &name, SimulatedCutter &cutter);

private:
    struct Device;
    Device *find(const QString &name);
    QString addUsbDevice(const QString &serial, const QString &portPath, const QByteArray &vendor,
                         const QByteArray &product, const QByteArray &interfaceClass);

    _UMockdevTestbed *bed;
    QString root;
    std::vector<std::unique_ptr<Device>> devices;
    std::unique_ptr<QObject> context; // receiver of the connections to attached cutters
    int nextLp = 0;
    bool accessDropped = false;
};
