#pragma once
// The worker of one read transfer: runs on its own short-lived thread and reports once, by one
// of its signals, what the transfer gave.

#include <QObject>
#include <QString>

class UsbHandle;

class UsbRead : public QObject
{
    Q_OBJECT

public:
    // At most this many bytes arrive in one read transfer.
    static constexpr int TransferBytes = 64;

    // `handle` stays owned by the caller and open until the worker has reported;
    // `timeoutMs` -1: no limit.
    UsbRead(UsbHandle *handle, int timeoutMs);

public slots:
    void Read();

signals:
    // The bytes of one transfer up to the first NUL, as Latin-1 text.
    void upgrade(QString text);
    // Nothing arrived before the time limit or an interruption.
    void idle();
    // The cutter was unplugged or the request failed.
    void lost();

private:
    UsbHandle *handle;
    int timeoutMs;
};
