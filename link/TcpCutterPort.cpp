#include "TcpCutterPort.h"

#include "EventWait.h"

#include <QRegularExpression>
#include <QTcpSocket>

namespace {
// Bytes handed to the socket at a time while sending.
constexpr int SliceBytes = 1 << 20;
} // namespace

bool TcpCutterPort::isValidAddress(const QString &text)
{
    static const QRegularExpression pattern(
        QStringLiteral("^(?:(?:25[0-5]|2[0-4][0-9]|[01]?[0-9]?[0-9])\\.){3}(?:25[0-5]|2[0-4][0-9]|["
                       "01]?[0-9]?[0-9])$"));
    // '$' also matches before a final line break, which is no part of an address.
    return !text.endsWith(QLatin1Char('\n')) && pattern.match(text).hasMatch();
}

QHostAddress TcpCutterPort::parseAddress(const QString &text)
{
    if (!isValidAddress(text))
        return QHostAddress();
    // Built from the numbers: handed the text, Qt would read "010" as octal and "08" as a name.
    quint32 value = 0;
    for (const QStringRef &group : text.splitRef(QLatin1Char('.')))
        value = value << 8 | group.toUInt(nullptr, 10);
    return QHostAddress(value);
}

TcpCutterPort::TcpCutterPort(QTcpSocket &socket, ReplyBuffer &buffer, const QString &address,
                             quint16 port)
    : socket(socket), buffer(buffer), address(parseAddress(address)), port(port)
{
}

void TcpCutterPort::gatherArrivals()
{
    if (gathering)
        return;
    gathering = true;
    connect(&socket, &QTcpSocket::readyRead, this, &TcpCutterPort::takeArrivals);
}

bool TcpCutterPort::connectToCutter()
{
    cancelled = false;
    if (socket.state() != QAbstractSocket::UnconnectedState)
        socket.abort();
    socket.connectToHost(address, port, QIODevice::ReadWrite);
    if (!socket.waitForConnected(ConnectTimeoutMs)) {
        socket.abort();
        return false;
    }
    socket.open(QIODevice::ReadWrite);
    return socket.isValid() && socket.isOpen();
}

void TcpCutterPort::close()
{
    socket.close();
    socket.disconnectFromHost();
}

bool TcpCutterPort::connected() const
{
    return socket.state() == QAbstractSocket::ConnectedState;
}

void TcpCutterPort::takeArrivals()
{
    buffer.appendFrom(socket);
}

bool TcpCutterPort::isPresent()
{
    return socket.isValid() && socket.isOpen() && connected();
}

PortStatus TcpCutterPort::send(const QByteArray &text)
{
    cancelled = false;
    buffer.clear();
    // Handed over a slice at a time as the network takes it: a body of 100 MB is then neither
    // copied whole into the socket's buffer nor held there twice.
    for (int at = 0; at < text.size(); at += SliceBytes) {
        if (!drainTo(SliceBytes))
            return cancelled ? PortStatus::Cancelled : PortStatus::Lost;
        const int size = qMin(SliceBytes, text.size() - at);
        if (socket.write(text.constData() + at, size) != size)
            return PortStatus::Lost;
    }
    // Written means handed to the network: a long body must not sit in our buffer while we
    // already wait for the cutter's answer to it.
    if (!drainTo(1))
        return cancelled ? PortStatus::Cancelled : PortStatus::Lost;
    return PortStatus::Ok;
}

bool TcpCutterPort::drainTo(qint64 below)
{
    EventWait::until(
        [this, below] { return cancelled || !connected() || socket.bytesToWrite() < below; });
    return !cancelled && connected();
}

PortStatus TcpCutterPort::receive(QByteArray &reply)
{
    EventWait::until([this] { return cancelled || buffer.isComplete() || !connected(); });
    if (gathering && !cancelled)
        takeArrivals(); // bytes that came with the peer's closing
    reply = buffer.bytes();
    lastDropped = buffer.droppedBytes();
    const bool complete = buffer.isComplete();
    buffer.clear();
    if (cancelled)
        return PortStatus::Cancelled;
    return complete ? PortStatus::Ok : PortStatus::Lost;
}

bool TcpCutterPort::reopen()
{
    if (connected())
        return true;
    if (socket.state() != QAbstractSocket::UnconnectedState)
        socket.abort();
    socket.connectToHost(address, port, QIODevice::ReadWrite);
    if (!socket.waitForConnected(ConnectTimeoutMs))
        return false;
    socket.open(QIODevice::ReadWrite);
    return connected();
}

void TcpCutterPort::cancel()
{
    cancelled = true;
    socket.abort();
}
