#include "CutterConversation.h"

#include "EventWait.h"
#include "LinkMessages.h"

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

SendOutcome CutterConversation::usbSheet()
{
    QByteArray reply;
    PortStatus status = send(PaperCheck, "paper check");
    if (status == PortStatus::Ok)
        status = receive(reply);
    if (status != PortStatus::Ok)
        return outcomeOf(status);
    if (reply.contains(PaperOutToken))
        return SendOutcome::PaperOut;

    status = send(job.header, "header");
    if (status != PortStatus::Ok)
        return outcomeOf(status);
    if (job.blankCut) {
        status = receive(reply);
        return outcomeOf(status == PortStatus::Ok ? finishBlankSheet() : status);
    }

    status = waitForToken(FeedOk);
    return status == PortStatus::Ok ? markedSheet() : outcomeOf(status);
}

SendOutcome CutterConversation::tcpSheet()
{
    QByteArray reply;
    PortStatus status = send(job.header, "header");
    if (status == PortStatus::Ok)
        status = receive(reply);
    if (status != PortStatus::Ok)
        return outcomeOf(status);
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
    QByteArray reply;
    if (status == PortStatus::Ok)
        status = transport == Transport::Usb ? waitForToken(SheetDone) : receive(reply);
    return outcomeOf(status);
}

PortStatus CutterConversation::checkMarks(Marks &marks)
{
    QByteArray reply;
    PortStatus status = send(job.markLine, "mark line");
    if (status == PortStatus::Ok)
        status = receive(reply);
    // Found wins when a reply holds both tokens; a reply with neither still ends the sheet.
    marks = reply.contains(MarksFound)      ? Marks::Found
            : reply.contains(MarksNotFound) ? Marks::NotFound
                                            : Marks::Unknown;
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
        status = receive(reply);
    return status;
}

PortStatus CutterConversation::waitForToken(const QByteArray &token)
{
    QByteArray reply;
    do {
        if (!port.isPresent())
            return PortStatus::Lost;
        if (!pause(times.pollMs))
            return PortStatus::Cancelled;
        const PortStatus status = receive(reply);
        if (status != PortStatus::Ok)
            return status;
    } while (reply != token);
    return PortStatus::Ok;
}

PortStatus CutterConversation::send(const QByteArray &text, const char *what)
{
    if (cancelled)
        return PortStatus::Cancelled;
    report(QStringLiteral("sending %1 (%2 bytes)").arg(QLatin1String(what)).arg(text.size()));
    return port.send(text);
}

PortStatus CutterConversation::receive(QByteArray &reply)
{
    if (cancelled)
        return PortStatus::Cancelled;
    const PortStatus status = port.receive(reply);
    if (status == PortStatus::Ok)
        report(QStringLiteral("cutter replied \"%1\"").arg(QString::fromLatin1(reply)));
    return cancelled ? PortStatus::Cancelled : status;
}

bool CutterConversation::pause(int ms)
{
    return EventWait::pause(ms, [this] { return cancelled; });
}

SendOutcome CutterConversation::outcomeOf(PortStatus status) const
{
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
