#pragma once
// One connection to a cutter as the conversation sees it, whatever carries the bytes (the USB
// printer interface or the cutter's TCP port). Every wait keeps the event loop running, so the
// window, its stop button and the socket stay live while the cutter works.
//
// Glossary: a reply is what the cutter sent after our latest send (or latest receive); every
// cutter token ends with ';', so a reply is complete once its bytes contain one. A reply is kept
// within a bound (ReplyBuffer): a peer that floods costs neither memory nor a rescan.

#include <QByteArray>

enum class PortStatus
{
    Ok,
    Lost,     // the device was unplugged or the connection dropped
    Cancelled // cancel() was called: a second stop request
};

class CutterPort
{
public:
    virtual ~CutterPort() = default;

    // The chosen device is attached and can be opened, or the connection is open.
    virtual bool isPresent() = 0;
    // Forgets the reply gathered so far, then sends `text` as it is (no terminator, no line end)
    // and returns once it is written.
    virtual PortStatus send(const QByteArray &text) = 0;
    // Waits without a time limit until the bytes that arrived since the latest send or receive
    // contain ';', and gives them in `reply` (a reply split into pieces counts as one), within
    // ReplyBuffer's bound. Ends early with Lost or Cancelled; `reply` then holds what had arrived.
    virtual PortStatus receive(QByteArray &reply) = 0;
    // Bytes of the latest reply that `reply` does not hold (see ReplyBuffer).
    virtual qint64 droppedBytes() const = 0;
    // After "marks not found" a cutter on TCP may close its side: connect again (at most
    // 1000 ms) if so. True when the port can carry the rest of the sheet.
    virtual bool reopen() = 0;
    // Ends the wait in progress at once and every later one until the next send, and closes
    // the connection or device handle.
    virtual void cancel() = 0;
};
