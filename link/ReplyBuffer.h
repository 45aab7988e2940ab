#pragma once
// What a cutter sent since our latest send, kept within a fixed bound whatever the peer does.
// Every cutter token ends with ';', so a reply is complete once a ';' has arrived; only bytes not
// yet looked at are scanned for it. Before that ';' the buffer keeps the last KeptBytes (a token
// is a few bytes long, so it is always among them); after it, at most KeptBytes more, the rest of
// a flood only counted.

#include <QByteArray>
#include <QtGlobal>

class QIODevice;

class ReplyBuffer
{
public:
    // Bytes kept before the first ';' (ending with it), and again after it.
    static constexpr int KeptBytes = 4096;

    void clear();
    void append(const char *data, qint64 size);
    void append(const QByteArray &bytes) { append(bytes.constData(), bytes.size()); }
    // Appends everything `device` has to read now, in chunks, without one allocation per read.
    void appendFrom(QIODevice &device);

    // A ';' has arrived: the reply is complete.
    bool isComplete() const { return complete; }
    // The kept bytes of the reply.
    const QByteArray &bytes() const { return kept; }
    // Bytes the peer sent that were not kept (a flood, or a reply far longer than any token).
    qint64 droppedBytes() const { return dropped; }

private:
    void keepTail(const char *data, qint64 size);
    void keepAfterEnd(const char *data, qint64 size);

    QByteArray kept;
    qint64 dropped = 0;
    int afterEnd = 0; // bytes kept after the first ';'
    bool complete = false;
};
