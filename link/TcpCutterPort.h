#pragma once
// The cutter on its Ethernet port: a CutterPort over a QTcpSocket and the buffer its arrivals
// are gathered in. The window owns both (its `socket` and `socketBuffer`, which its
// on_socket_read appends to); cutjob and the tests let the port gather arrivals itself.

#include "CutterPort.h"
#include "ReplyBuffer.h"

#include <QByteArray>
#include <QHostAddress>
#include <QObject>
#include <QString>

class QTcpSocket;

class TcpCutterPort : public QObject, public CutterPort
{
    Q_OBJECT

public:
    static constexpr quint16 DefaultPort = 9100;
    // Milliseconds allowed for a connection to the cutter.
    static constexpr int ConnectTimeoutMs = 1000;

    // A dotted IPv4 address, four groups of 0 to 255 (leading zeros allowed), whole text; host
    // names and blanks fail.
    static bool isValidAddress(const QString &text);
    // The address such a text means, each group read as a decimal number ("010" is 10, never
    // octal); a null address when the text is no valid address. Nothing is looked up by name.
    static QHostAddress parseAddress(const QString &text);

    // `socket` and `buffer` must outlive the port; `address` passes isValidAddress().
    TcpCutterPort(QTcpSocket &socket, ReplyBuffer &buffer, const QString &address,
                  quint16 port = DefaultPort);

    // The address dialled.
    QHostAddress peerAddress() const { return address; }

    // Appends every arrival on the socket to the buffer, for owners without a slot of their own.
    void gatherArrivals();

    // Connects within ConnectTimeoutMs and opens the socket for reading and writing again;
    // false when no connection came (the caller says "连接超时!").
    bool connectToCutter();
    // Ends the connection: close(), then disconnectFromHost().
    void close();

    // CutterPort
    bool isPresent() override;
    PortStatus send(const QByteArray &text) override;
    PortStatus receive(QByteArray &reply) override;
    qint64 droppedBytes() const override { return lastDropped; }
    bool reopen() override;
    void cancel() override;

private:
    bool connected() const;
    // Waits until fewer than `below` bytes wait to be written; false when cancelled or lost.
    bool drainTo(qint64 below);
    void takeArrivals();

    QTcpSocket &socket;
    ReplyBuffer &buffer;
    QHostAddress address;
    quint16 port;
    qint64 lastDropped = 0;
    bool gathering = false;
    bool cancelled = false;
};
