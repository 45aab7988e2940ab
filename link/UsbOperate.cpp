#include "UsbOperate.h"

#include "EventWait.h"
#include "UsbRead.h"
#include "UsbWrite.h"
#include "usb/UsbDeviceAccess.h"

#include <QDeadlineTimer>
#include <QThread>

namespace {
// Between two polls of waitForReply the cutter gets this long to answer.
constexpr int ReplyPollMs = 500;
} // namespace

UsbOperate::UsbOperate(QObject *parent) : QObject(parent), access(createUsbDeviceAccess())
{
    access->onChange = [this](const QString &name, bool arrived) { onDeviceChange(name, arrived); };
}

UsbOperate::~UsbOperate() = default;

QStringList UsbOperate::enumerateDevices()
{
    QStringList openable;
    for (const QString &name : access->attachedCutters()) {
        if (probe(name) == DeviceState::Present)
            openable.append(name);
    }
    return openable;
}

QStringList UsbOperate::attachedDevices()
{
    return access->attachedCutters();
}

QString UsbOperate::deviceNode(const QString &name)
{
    return access->node(name);
}

void UsbOperate::setDevice(const QString &name)
{
    instanceName = name;
}

QString UsbOperate::device() const
{
    return instanceName;
}

UsbOperate::DeviceState UsbOperate::probe(const QString &name)
{
    // The printer driver admits one open at a time: while our own transfer holds the node,
    // opening it again would fail, so udev alone tells whether it is still attached.
    if (activeHandle && name == activeName)
        return access->attachedCutters().contains(name) ? DeviceState::Present
                                                        : DeviceState::Absent;
    switch (access->probe(name)) {
    case UsbDeviceState::Present:
    case UsbDeviceState::Busy:
        return DeviceState::Present;
    case UsbDeviceState::NoPermission:
        return DeviceState::NoPermission;
    case UsbDeviceState::Absent:
        break;
    }
    return DeviceState::Absent;
}

bool UsbOperate::isPresent()
{
    return probe(instanceName) == DeviceState::Present;
}

void UsbOperate::writeText(const QString &text)
{
    if (!isPresent())
        return;
    QByteArray bytes = text.toUtf8();
    const int nul = bytes.indexOf('\0');
    if (nul >= 0)
        bytes.truncate(nul);
    writeTransfer(bytes);
}

void UsbOperate::readReply(int timeoutMs)
{
    if (!isPresent())
        return;
    replyText.clear();
    gatherReply(timeoutMs);
}

QString UsbOperate::reply() const
{
    return QString::fromLatin1(replyText.bytes());
}

void UsbOperate::waitForReply(const QString &token)
{
    while (isPresent()) {
        if (!EventWait::pause(ReplyPollMs, [this] { return cancelled; }))
            return;
        readReply(-1);
        if (cancelled || reply() == token)
            return;
    }
}

PortStatus UsbOperate::send(const QByteArray &text)
{
    cancelled = false;
    replyText.clear();
    if (!isPresent())
        return PortStatus::Lost;
    switch (writeTransfer(text)) {
    case Transfer::Data:
        return PortStatus::Ok;
    case Transfer::Idle:
        return cancelled ? PortStatus::Cancelled : PortStatus::Lost;
    case Transfer::Lost:
    case Transfer::NotOpened:
        break;
    }
    return PortStatus::Lost;
}

PortStatus UsbOperate::receive(QByteArray &reply)
{
    reply.clear();
    lastDropped = 0;
    if (cancelled)
        return PortStatus::Cancelled;
    if (!isPresent())
        return PortStatus::Lost;
    replyText.clear();
    const Transfer result = gatherReply(-1);
    reply = replyText.bytes();
    lastDropped = replyText.droppedBytes();
    if (cancelled)
        return PortStatus::Cancelled;
    return result == Transfer::Data ? PortStatus::Ok : PortStatus::Lost;
}

bool UsbOperate::reopen()
{
    return isPresent();
}

void UsbOperate::cancel()
{
    cancelled = true;
    if (activeHandle)
        activeHandle->interrupt(false);
}

bool UsbOperate::isDeviceChangeMessage(const QByteArray &eventType, void *message)
{
    return isUsbDeviceChangeMessage(eventType, message);
}

void UsbOperate::on_UsbRead_upgrade(QString text)
{
    replyText.append(text.toLatin1());
    readDone = true;
}

void UsbOperate::on_UsbWrite_done()
{
    writeDone = true;
}

void UsbOperate::onDeviceChange(const QString &name, bool arrived)
{
    // The node of an unplugged cutter does not always wake a blocked read; udev's word does.
    if (!arrived && activeHandle && name == activeName)
        activeHandle->interrupt(true);
    emit devicesChanged();
}

UsbOperate::Transfer UsbOperate::gatherReply(int timeoutMs)
{
    const QDeadlineTimer deadline =
        timeoutMs < 0 ? QDeadlineTimer(QDeadlineTimer::Forever) : QDeadlineTimer(timeoutMs);
    for (;;) {
        if (cancelled)
            return Transfer::Idle;
        const int left = deadline.isForever() ? -1 : int(deadline.remainingTime());
        const Transfer result = readTransfer(left);
        if (result != Transfer::Data || replyText.isComplete())
            return result;
        if (deadline.hasExpired())
            return Transfer::Idle;
    }
}

std::unique_ptr<UsbHandle> UsbOperate::lockAndOpen()
{
    // Not recursive: a transfer started from an event handler while another one waits would
    // otherwise deadlock the GUI thread; it is refused instead.
    if (!ioMutex.tryLock())
        return nullptr;
    UsbDeviceState state = UsbDeviceState::Absent;
    std::unique_ptr<UsbHandle> handle = access->open(instanceName, state);
    if (!handle)
        ioMutex.unlock();
    return handle;
}

UsbOperate::Transfer UsbOperate::readTransfer(int timeoutMs)
{
    std::unique_ptr<UsbHandle> handle = lockAndOpen();
    if (!handle)
        return Transfer::NotOpened;
    auto *worker = new UsbRead(handle.get(), timeoutMs);
    connect(worker, &UsbRead::upgrade, this, &UsbOperate::on_UsbRead_upgrade);
    connect(worker, &UsbRead::idle, this, [this] {
        transferIdle = true;
        readDone = true;
    });
    connect(worker, &UsbRead::lost, this, [this] {
        transferLost = true;
        readDone = true;
    });
    return runTransfer(worker, &UsbRead::Read, readDone, std::move(handle));
}

UsbOperate::Transfer UsbOperate::writeTransfer(const QByteArray &bytes)
{
    std::unique_ptr<UsbHandle> handle = lockAndOpen();
    if (!handle)
        return Transfer::NotOpened;
    auto *worker = new UsbWrite(handle.get(), bytes);
    connect(worker, &UsbWrite::done, this, &UsbOperate::on_UsbWrite_done);
    connect(worker, &UsbWrite::idle, this, [this] {
        transferIdle = true;
        writeDone = true;
    });
    connect(worker, &UsbWrite::lost, this, [this] {
        transferLost = true;
        writeDone = true;
    });
    return runTransfer(worker, &UsbWrite::Write, writeDone, std::move(handle));
}

template <class Worker>
UsbOperate::Transfer UsbOperate::runTransfer(Worker *worker, void (Worker::*start)(),
                                             bool &doneFlag, std::unique_ptr<UsbHandle> handle)
{
    std::unique_ptr<Worker> owned(worker);
    doneFlag = false;
    transferIdle = false;
    transferLost = false;
    activeHandle = handle.get();
    activeName = instanceName;

    auto thread = std::make_unique<QThread>();
    worker->moveToThread(thread.get());
    connect(thread.get(), &QThread::started, worker, start);
    thread->start(QThread::InheritPriority);
    EventWait::until([&doneFlag] { return doneFlag; });

    // Deleted here rather than by deleteLater: a nested event loop (this wait may itself run
    // inside one) would put deferred deletes off until it returns.
    thread->quit();
    thread->wait();
    owned.reset();
    thread.reset();
    activeHandle = nullptr;
    activeName.clear();
    handle.reset();
    ioMutex.unlock();
    if (transferLost)
        return Transfer::Lost;
    return transferIdle ? Transfer::Idle : Transfer::Data;
}
