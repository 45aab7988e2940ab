#pragma once
// The worker of one write transfer: runs on its own short-lived thread, writes the bytes it was
// given with one request (continued where the system takes them in parts) and reports once.

#include <QByteArray>
#include <QObject>

class UsbHandle;

class UsbWrite : public QObject
{
    Q_OBJECT

public:
    // `handle` stays owned by the caller and open until the worker has reported.
    UsbWrite(UsbHandle *handle, QByteArray bytes);

public slots:
    void Write();

signals:
    // Every byte was written.
    void done();
    // Interrupted before every byte was written.
    void idle();
    // The cutter was unplugged or the request failed.
    void lost();

private:
    UsbHandle *handle;
    QByteArray bytes;
};
