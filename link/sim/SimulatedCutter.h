#pragma once
// A cutter played in software: recognises the program's pieces in the bytes it receives (in any
// chunking) and answers them as its script says. It knows no transport: the TCP server and the
// USB test device carry its bytes and act on its signals.

#include "CutterScript.h"

#include <QByteArray>
#include <QObject>
#include <QStringList>

class SimulatedCutter : public QObject
{
    Q_OBJECT

public:
    explicit SimulatedCutter(const CutterScript &script, QObject *parent = nullptr);

    // Bytes from the program, in any chunking.
    void receive(const QByteArray &bytes);
    // Every byte received, in order (bytes beyond a "close-after" limit are not taken).
    QByteArray received() const { return all; }
    // One line per recognised piece, "sheet N: header" and so on.
    QStringList log() const { return lines; }
    // The sheet being worked on: 1 + the trailers received so far.
    int sheet() const { return currentSheet; }
    // A new connection: the bytes of a piece left unfinished by the old one are dropped.
    void restartStream();

signals:
    // Send these bytes to the program now; each emission is one whole reply or one piece of a
    // split reply.
    void reply(const QByteArray &bytes);
    // Drop the connection now.
    void closeRequested();
    // A piece was recognised; `line` is what log() gains.
    void pieceReceived(const QString &line);

private:
    bool takePiece();
    void answer(CutterScript::Event event);
    void record(const QString &piece);

    CutterScript script;
    QByteArray all;
    QByteArray pending; // bytes of the piece not yet complete
    QStringList lines;
    int currentSheet = 1;
    bool closedAfterLimit = false;
};
