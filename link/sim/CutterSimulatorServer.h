#pragma once
// The simulated cutter on TCP: listens on 127.0.0.1 only and plays one cutter for every
// connection in turn, so its sheet count goes on when the program connects again (as it does
// after "MD_NG;", when a cutter on TCP closes its side).

#include "SimulatedCutter.h"
#include "common/Result.h"

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <functional>

class QTcpServer;
class QTcpSocket;

class CutterSimulatorServer : public QObject
{
    Q_OBJECT

public:
    explicit CutterSimulatorServer(const CutterScript &script, QObject *parent = nullptr);
    ~CutterSimulatorServer() override;

    // Listens on 127.0.0.1:`port` (0: a free port); fails with the reason when it cannot.
    Result<> listen(quint16 port);
    // The port listened on; 0 before listen().
    quint16 port() const;
    // Stops accepting and drops every connection.
    void shutDown();

    // False: received() and log() stay empty (see SimulatedCutter::setKeepHistory).
    void setKeepHistory(bool keep);
    // Every byte received on every connection, in order.
    QByteArray received() const { return cutter.received(); }
    qint64 receivedBytes() const { return cutter.receivedBytes(); }
    // One line per piece received, and one per connection opened or closed.
    QStringList log() const { return lines; }
    int connectionCount() const { return connections; }

    // Told of every log line as it happens.
    std::function<void(const QString &line)> onLog;
    // Told of every arrival, before the cutter answers it.
    std::function<void(const QByteArray &bytes)> onReceived;

private:
    void accept();
    void record(const QString &line);

    SimulatedCutter cutter;
    QTcpServer *server;
    QPointer<QTcpSocket> current; // the connection the cutter answers
    QByteArray slice;             // what one read takes from a connection
    QStringList lines;
    int connections = 0;
    bool keepHistory = true;
};
