#include "CutterSimulatorServer.h"

#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>

namespace {
constexpr int ReadSliceBytes = 1 << 20;
} // namespace

CutterSimulatorServer::CutterSimulatorServer(const CutterScript &script, QObject *parent)
    : QObject(parent), cutter(script), server(new QTcpServer(this)), slice(ReadSliceBytes, '\0')
{
    connect(server, &QTcpServer::newConnection, this, &CutterSimulatorServer::accept);
    connect(&cutter, &SimulatedCutter::reply, this, [this](const QByteArray &bytes) {
        if (current && current->state() == QAbstractSocket::ConnectedState)
            current->write(bytes);
    });
    // Pending replies go out first, as a cutter that answers and then hangs up.
    connect(&cutter, &SimulatedCutter::closeRequested, this, [this] {
        if (current) {
            record(QStringLiteral("closing the connection"));
            current->disconnectFromHost();
        }
    });
    connect(&cutter, &SimulatedCutter::pieceReceived, this, &CutterSimulatorServer::record);
}

CutterSimulatorServer::~CutterSimulatorServer()
{
    // Whoever listens to the log may be going away with us.
    onLog = nullptr;
    onReceived = nullptr;
    shutDown();
}

Result<> CutterSimulatorServer::listen(quint16 port)
{
    if (server->listen(QHostAddress::LocalHost, port))
        return {};
    return Failure{server->errorString()};
}

quint16 CutterSimulatorServer::port() const
{
    return server->isListening() ? server->serverPort() : 0;
}

void CutterSimulatorServer::setKeepHistory(bool keep)
{
    keepHistory = keep;
    cutter.setKeepHistory(keep);
}

void CutterSimulatorServer::shutDown()
{
    server->close();
    for (QTcpSocket *socket : server->findChildren<QTcpSocket *>())
        socket->abort();
}

void CutterSimulatorServer::accept()
{
    while (QTcpSocket *socket = server->nextPendingConnection()) {
        ++connections;
        const int number = connections;
        record(QStringLiteral("connection %1 opened").arg(number));
        current = socket;
        cutter.restartStream();
        // A bounded buffer, read into one reused slice: a job streams through at a fixed cost.
        socket->setReadBufferSize(ReadSliceBytes);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] {
            current = socket;
            while (socket->bytesAvailable() > 0) {
                const qint64 got = socket->read(slice.data(), slice.size());
                if (got <= 0)
                    return;
                const QByteArray bytes = QByteArray::fromRawData(slice.constData(), int(got));
                if (onReceived)
                    onReceived(bytes);
                cutter.receive(bytes);
            }
        });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket, number] {
            record(QStringLiteral("connection %1 closed").arg(number));
            socket->deleteLater();
        });
    }
}

void CutterSimulatorServer::record(const QString &line)
{
    if (keepHistory)
        lines << line;
    if (onLog)
        onLog(line);
}
