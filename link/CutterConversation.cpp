#include "CutterConversation.h"

#include "EventWait.h"
#include "LinkMessages.h"
#include "ReplyText.h"

#include <QTimer>

namespace {
const QByteArray PaperCheck = QByteArrayLiteral("CMD:14;");
const QByteArray PaperOutToken = QByteArrayLiteral("S3:0;");
const QByteArray FeedOk = QByteArrayLiteral("FEED_OK;");
const QByteArray MarksFound = QByteArrayLiteral("MD_OK;");
const QByteArray MarksNotFound = QByteArrayLiteral("MD_NG;");
const QByteArray AdvanceSheet = QByteArrayLiteral("!PG;");
const QByteArray SheetDone = QByteArrayLiteral("DONE;");

// Marks the conversation as running for the life of one call; calls do not nest.
class RunningScope
{
public:
    explicit RunningScope(bool &flag) : flag(flag) { flag = true; }
    ~RunningScope() { flag = false; }
    RunningScope(const RunningScope &) = delete;
    RunningScope &operator=(const RunningScope &) = delete;

private:
    bool &flag;
};
} // namespace

OutcomeMessage messageFor(SendOutcome outcome)
{
    switch (outcome) {
    case SendOutcome::Done:
        break;
    case SendOutcome::PaperOut:
        return {LinkMessage::warningTitle(), LinkMessage::paperOut()};
    case SendOutcome::ReconnectFailed:
        return {LinkMessage::warningTitle(), LinkMessage::connectTimeout()};
    case SendOutcome::ConnectionLost:
        return {LinkMessage::warningTitle(), LinkMessage::connectionLost()};
    case SendOutcome::Stopped:
        return {LinkMessage::noticeTitle(), LinkMessage::stopped()};
    case SendOutcome::TimedOut: // only a caller that set a reply time limit meets it
        break;
    }
    return {};
}

CutterConversation::CutterConversation(CutterPort &port, Transport transport, SheetJob job)
    : port(port), transport(transport), job(std::move(job))
{
}

SendOutcome CutterConversation::runSheet()
{
    RunningScope scope(running);
    ++sheet;
    return transport == Transport::Usb ? usbSheet() : tcpSheet();
}

SendOutcome CutterConversation::runSheets(const Counter &counter)
{
    RunningScope scope(running);
    while (counter.remaining() > 0 && counter.keepGoing() && !cancelled) {
        // Unplugged or disconnected between sheets: the run cannot go on, and ending it without
        // a word would look like a finished job with sheets still uncut.
        if (!port.isPresent())
            return SendOutcome::ConnectionLost;
        ++sheet;
        const SendOutcome outcome = transport == Transport::Usb ? usbSheet() : tcpSheet();
        if (outcome != SendOutcome::Done)
            return outcome;
        counter.setRemaining(counter.remaining() - 1);
    }
    return cancelled ? SendOutcome::Stopped : SendOutcome::Done;
}

bool CutterConversation::requestStop()
{
    if (!running)
        return false;
    if (++stopRequests < 2)
        return false;
    cancelled = true;
    port.cancel();
    return true;
}

void CutterConversation::stopNow()
{
    stopRequests = 2;
    cancelled = true;
    if (running)
        port.cancel();
}

SendOutcome CutterConversation::usbSheet()
{
    QByteArray reply;
    PortStatus status = send(PaperCheck, "paper check");
    if (status == PortStatus::Ok)
        status = receive(reply, "paper check");
    if (status != PortStatus::Ok)
        return outcomeOf(status);
    if (reply.contains(PaperOutToken))
        return SendOutcome::PaperOut;

    status = send(job.header, "header");
    if (status != PortStatus::Ok)
        return outcomeOf(status);
    if (job.blankCut) {
        status = receive(reply, "header");
        if (status != PortStatus::Ok)
            return outcomeOf(status);
        expect(reply, FeedOk, "header");
        return outcomeOf(finishBlankSheet());
    }

    status = waitForToken(FeedOk, "header");
    return status == PortStatus::Ok ? markedSheet() : outcomeOf(status);
}

SendOutcome CutterConversation::tcpSheet()
{
    QByteArray reply;
    PortStatus status = send(job.header, "header");
    if (status == PortStatus::Ok)
        status = receive(reply, "header");
    if (status != PortStatus::Ok)
        return outcomeOf(status);
    // The window goes on whatever the reply says; that it was not "FEED_OK;" is still noted.
    expect(reply, FeedOk, "header");
    if (job.blankCut)
        return outcomeOf(finishBlankSheet());
    return markedSheet();
}

SendOutcome CutterConversation::markedSheet()
{
    Marks marks = Marks::Unknown;
    PortStatus status = checkMarks(marks);
    if (status != PortStatus::Ok)
        return outcomeOf(status);
    if (marks == Marks::Found) {
        status = send(job.body, "body");
    } else if (marks == Marks::NotFound) {
        if (!pause(times.markRetryPauseMs))
            return SendOutcome::Stopped;
        if (transport == Transport::Usb) {
            status = send(AdvanceSheet, "sheet advance");
        } else {
            report(QStringLiteral("connecting again"));
            if (!port.reopen())
                return SendOutcome::ReconnectFailed;
        }
    }
    if (status == PortStatus::Ok)
        status = send(job.trailer, "trailer");
    if (status != PortStatus::Ok)
        return outcomeOf(status);
    if (transport == Transport::Usb)
        return outcomeOf(waitForToken(SheetDone, "trailer"));
    QByteArray reply;
    status = receive(reply, "trailer");
    if (status == PortStatus::Ok)
        expect(reply, SheetDone, "trailer");
    return outcomeOf(status);
}

PortStatus CutterConversation::checkMarks(Marks &marks)
{
    QByteArray reply;
    PortStatus status = send(job.markLine, "mark line");
    if (status == PortStatus::Ok)
        status = receive(reply, "mark line");
    // Found wins when a reply holds both tokens; a reply with neither still ends the sheet.
    marks = reply.contains(MarksFound)      ? Marks::Found
            : reply.contains(MarksNotFound) ? Marks::NotFound
                                            : Marks::Unknown;
    if (status == PortStatus::Ok && marks != Marks::Found)
        addFault(marks == Marks::NotFound ? SheetFault::Kind::MarksNotFound
                                          : SheetFault::Kind::NoMarksVerdict,
                 "mark line", MarksFound, reply);
    return status;
}

PortStatus CutterConversation::finishBlankSheet()
{
    // A blank sheet needs no feed or mark check: body and trailer go out together and the one
    // reply that follows ends the sheet, whatever it says.
    PortStatus status = send(job.body, "body");
    if (status == PortStatus::Ok)
        status = send(job.trailer, "trailer");
    QByteArray reply;
    if (status == PortStatus::Ok)
        status = receive(reply, "trailer");
    if (status == PortStatus::Ok)
        expect(reply, SheetDone, "trailer");
    return status;
}

PortStatus CutterConversation::waitForToken(const QByteArray &token, const char *step)
{
    return withinReplyTime(step, token, [this, &token] {
        QByteArray reply;
        do {
            if (!port.isPresent())
                return PortStatus::Lost;
            if (!pause(times.pollMs))
                return PortStatus::Cancelled;
            const PortStatus status = receiveOnce(reply);
            if (status != PortStatus::Ok)
                return status;
        } while (reply != token);
        return PortStatus::Ok;
    });
}

PortStatus CutterConversation::withinReplyTime(const char *step, const QByteArray &expected,
                                               const std::function<PortStatus()> &wait)
{
    QTimer limit;
    if (times.replyTimeoutMs >= 0) {
        limit.setSingleShot(true);
        QObject::connect(&limit, &QTimer::timeout, [this] {
            timedOut = true;
            cancelled = true;
            port.cancel();
        });
        limit.start(times.replyTimeoutMs);
    }
    const PortStatus status = wait();
    if (limit.isActive() || !timedOut)
        return status;
    addFault(SheetFault::Kind::NoReply, step, expected, {});
    return PortStatus::Cancelled;
}

PortStatus CutterConversation::send(const QByteArray &text, const char *what)
{
    if (cancelled)
        return PortStatus::Cancelled;
    report(QStringLiteral("sending %1 (%2 bytes)").arg(QLatin1String(what)).arg(text.size()));
    return port.send(text);
}

PortStatus CutterConversation::receive(QByteArray &reply, const char *step)
{
    return withinReplyTime(step, {}, [this, &reply] { return receiveOnce(reply); });
}

PortStatus CutterConversation::receiveOnce(QByteArray &reply)
{
    if (cancelled)
        return PortStatus::Cancelled;
    const PortStatus status = port.receive(reply);
    if (status == PortStatus::Ok)
        report(
            QStringLiteral("cutter replied %1").arg(ReplyText::quoted(reply, port.droppedBytes())));
    return cancelled ? PortStatus::Cancelled : status;
}

void CutterConversation::expect(const QByteArray &reply, const QByteArray &token, const char *step)
{
    if (!reply.contains(token))
        addFault(SheetFault::Kind::Unexpected, step, token, reply);
}

void CutterConversation::addFault(SheetFault::Kind kind, const char *step,
                                  const QByteArray &expected, const QByteArray &reply)
{
    SheetFault fault;
    fault.sheet = sheet;
    fault.kind = kind;
    fault.step = QLatin1String(step);
    fault.expected = QString::fromLatin1(expected);
    if (kind != SheetFault::Kind::NoReply)
        fault.reply = ReplyText::quoted(reply, port.droppedBytes());
    sheetFaults.push_back(fault);
}

bool CutterConversation::pause(int ms)
{
    return EventWait::pause(ms, [this] { return cancelled; });
}

SendOutcome CutterConversation::outcomeOf(PortStatus status) const
{
    if (timedOut)
        return SendOutcome::TimedOut;
    if (cancelled)
        return SendOutcome::Stopped;
    switch (status) {
    case PortStatus::Ok:
        return SendOutcome::Done;
    case PortStatus::Lost:
        return SendOutcome::ConnectionLost;
    case PortStatus::Cancelled:
        break;
    }
    return SendOutcome::Stopped;
}

void CutterConversation::report(const QString &event)
{
    if (onProgress)
        onProgress(sheet, event);
}
