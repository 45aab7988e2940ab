#pragma once
// The cutter on USB: finds the attached cutters (vendor 0483, product 5710, interface 0, a USB
// printing-class interface), tells when one comes or goes, and carries the conversation's texts
// to and from the chosen one. Each transfer runs on a short-lived worker thread (UsbRead,
// UsbWrite) while the GUI thread waits with its event loop running; one transfer at a time.
//
// Glossary: the instance name identifies one attached cutter and is what the machine list
// shows; it stays the same when the cutter is unplugged and plugged back in.

#include "CutterPort.h"
#include "ReplyBuffer.h"

#include <QMutex>
#include <QObject>
#include <QString>
#include <QStringList>
#include <memory>

class UsbDeviceAccess;
class UsbHandle;

class UsbOperate : public QObject, public CutterPort
{
    Q_OBJECT

public:
    enum class DeviceState
    {
        Absent,      // not attached (or never was)
        Present,     // attached and can be opened, or busy with our own transfer
        NoPermission // attached, but opening it is not permitted
    };

    explicit UsbOperate(QObject *parent = nullptr);
    ~UsbOperate() override;

    // Instance names of the attached cutters that can be opened now, in enumeration order.
    QStringList enumerateDevices();
    // Makes the cutter with this instance name the chosen one; no I/O.
    void setDevice(const QString &name);
    QString device() const;
    // The state of any cutter by its name, without changing the chosen one.
    DeviceState probe(const QString &name);

    // Every attached cutter, openable or not, in enumeration order, and what the system opens
    // to reach one (here its /dev/usb/lpN node; empty when absent): for telling a user.
    QStringList attachedDevices();
    QString deviceNode(const QString &name);

    // The chosen cutter can be opened for reading and writing now.
    bool isPresent() override;
    // Sends the UTF-8 bytes of `text` up to its first NUL as one write; nothing when absent.
    void writeText(const QString &text);
    // Clears the reply and reads until the gathered bytes contain ';' (or `timeoutMs` ends,
    // -1: no limit); the reply keeps its old text when the cutter is absent.
    void readReply(int timeoutMs);
    QString reply() const;
    // Polls every 500 ms until a reply equals `token` exactly, or the cutter is gone.
    void waitForReply(const QString &token);

    // CutterPort
    PortStatus send(const QByteArray &text) override;
    PortStatus receive(QByteArray &reply) override;
    qint64 droppedBytes() const override { return lastDropped; }
    bool reopen() override;
    void cancel() override;

    // True for the platform's device-change message (Windows: WM_DEVICECHANGE), which the
    // window passes on from its native event handler; always false elsewhere.
    static bool isDeviceChangeMessage(const QByteArray &eventType, void *message);

signals:
    // A cutter was attached or removed (udev here); the window refreshes its machine list.
    void devicesChanged();

public slots:
    // The workers' reports, run on the GUI thread: a read's text joins the reply gathered since
    // the reply was last cleared; the flag tells the waiting operation its transfer is over.
    void on_UsbRead_upgrade(QString text);
    void on_UsbWrite_done();

private:
    enum class Transfer
    {
        Data,     // read: bytes arrived; write: all written
        Idle,     // time limit or cancel() before anything arrived
        Lost,     // unplugged or the request failed
        NotOpened // no transfer: the node would not open, or another transfer is waiting
    };
    // Runs one transfer on a worker thread with ioMutex held; releases it.
    template <class Worker>
    Transfer runTransfer(Worker *worker, void (Worker::*start)(), bool &doneFlag,
                         std::unique_ptr<UsbHandle> handle);
    // Takes ioMutex and opens the chosen device for one transfer; null (and unlocked) when
    // another transfer holds the lock or the device cannot be opened.
    std::unique_ptr<UsbHandle> lockAndOpen();
    Transfer readTransfer(int timeoutMs);
    Transfer writeTransfer(const QByteArray &bytes);
    // Reads transfers into replyText until a ';' arrived or the time is up.
    Transfer gatherReply(int timeoutMs);
    void onDeviceChange(const QString &name, bool arrived);

    std::unique_ptr<UsbDeviceAccess> access;
    QString instanceName;
    ReplyBuffer replyText; // the reply gathered since it was last cleared
    qint64 lastDropped = 0;
    QMutex ioMutex; // one transfer at a time; held by the GUI thread while it waits
    bool readDone = true;
    bool writeDone = true;
    bool transferIdle = false;
    bool transferLost = false;
    bool cancelled = false;            // until the next send()
    UsbHandle *activeHandle = nullptr; // the running transfer's open node
    QString activeName;                // and whose it is
};
