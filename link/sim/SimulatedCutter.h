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

    // Bytes from the program, in any chunking. Each byte is looked at once; a body is not kept,
    // only scanned for its end, so a job of any size costs the same memory.
    void receive(const QByteArray &bytes);
    // False: received() and log() stay empty, for a cutter that runs for long (cutjob
    // simulate), whose arrivals and lines go out as they come. True by default.
    void setKeepHistory(bool keep) { keepHistory = keep; }
    // Every byte received, in order (bytes beyond a "close-after" limit are not taken).
    QByteArray received() const { return all; }
    // Bytes received, counted whether kept or not.
    qint64 receivedBytes() const { return total; }
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
    // Bytes outside a body, each run up to and including its ';' (so `pending` holds at most
    // one piece); returns how many of `size` it took before a body started.
    int takeUpToBody(const char *data, int size);
    // Looks for the body's end in new bytes only; returns the bytes taken, all of `size` when
    // the end has not come yet.
    int takeBody(const char *data, int size);
    bool takePiece();
    void answer(CutterScript::Event event);
    void record(const QString &piece);

    CutterScript script;
    QByteArray all;
    QByteArray pending;  // bytes of the piece not yet complete; never a body's
    QByteArray bodyTail; // the last bytes of the body so far, to find an end mark split in two
    QStringList lines;
    qint64 total = 0;    // bytes received
    qint64 consumed = 0; // bytes taken into pieces, up to the end of the latest one
    int currentSheet = 1;
    bool inBody = false;
    bool skipping = false; // an overlong unknown piece: dropped up to its ';'
    bool keepHistory = true;
    bool closedAfterLimit = false;
};
