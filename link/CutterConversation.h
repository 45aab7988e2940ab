#pragma once
// The token conversation with the cutter around each sheet, over either transport, single sheet
// or "Auto-Next" (sheet after sheet while a count lasts), with the stop request.
//
// Tokens the cutter sends: "S3:0;" out of paper (reply to the paper check "CMD:14;"),
// "FEED_OK;" sheet fed, "MD_OK;" / "MD_NG;" marks found / not found, "DONE;" sheet finished.
// Over USB the sheet starts with the paper check and "!PG;" advances a sheet whose marks were
// not found; over TCP there is no paper check and the cutter may close the connection after
// "MD_NG;", so the port connects again for the trailer.

#include "CutterPort.h"

#include <QByteArray>
#include <QString>
#include <functional>
#include <vector>

// The four pieces of one job's text, sent one at a time (ASCII).
struct SheetJob
{
    QByteArray header;
    QByteArray markLine; // empty for a blank cut
    QByteArray body;
    QByteArray trailer;
    bool blankCut = false;
};

enum class SendOutcome
{
    Done,            // every sheet asked for ran, or the run ended quietly between sheets
    PaperOut,        // the paper check answered "S3:0;"
    ReconnectFailed, // TCP: no connection again after "MD_NG;"
    ConnectionLost,  // the device or connection went away while we waited
    Stopped,         // a second stop request ended the job at once
    TimedOut         // no reply within the reply time limit (see Timing)
};

// A sheet the cutter did not confirm as cut although the conversation went on as the window's
// does: it is the difference between "the job ran" and "every sheet was cut".
struct SheetFault
{
    enum class Kind
    {
        MarksNotFound,  // "MD_NG;": the body was skipped
        NoMarksVerdict, // the mark line's reply held neither token: the body was skipped
        Unexpected,     // a reply other than the one this step awaits ("FEED_OK;", "DONE;")
        NoReply         // nothing within the reply time limit
    };
    int sheet = 0;
    Kind kind = Kind::Unexpected;
    QString step;     // what the reply answered: "header", "mark line", "trailer", ...
    QString expected; // the token awaited, for Unexpected and NoReply
    QString reply;    // the reply as ReplyText shows it; empty for NoReply
};

// The box the user sees at the end of a run: title and text; an empty text shows nothing.
struct OutcomeMessage
{
    QString title;
    QString text;
};
OutcomeMessage messageFor(SendOutcome outcome);

class CutterConversation
{
public:
    enum class Transport
    {
        Usb,
        Tcp
    };

    // Pauses in milliseconds: between polls for "FEED_OK;" and "DONE;" over USB, and before
    // the sheet is advanced after "MD_NG;". Tests shorten them. `replyTimeoutMs` bounds each
    // wait for a reply (all polls for one token count as one wait); -1, as in the window: none.
    struct Timing
    {
        int pollMs = 500;
        int markRetryPauseMs = 3000;
        int replyTimeoutMs = -1;
    };

    // The sheet count of an Auto-Next run as its owner keeps it (the window's `sendCount` and
    // `sending`; plain numbers in cutjob).
    struct Counter
    {
        std::function<int()> remaining;
        std::function<void(int)> setRemaining;
        std::function<bool()> keepGoing; // false once the user asked to stop after this sheet
    };

    // One conversation per send command: it counts the stop requests of that command only.
    CutterConversation(CutterPort &port, Transport transport, SheetJob job);

    void setTiming(const Timing &timing) { times = timing; }
    // Told of every piece sent and every reply received, for a progress log: the sheet's
    // number (1 for the first sheet of this conversation) and a short line.
    std::function<void(int sheet, const QString &event)> onProgress;

    // One sheet cycle.
    SendOutcome runSheet();
    // Sheets while counter.remaining() > 0 and counter.keepGoing(), one less after each sheet
    // cycle that ran to its end (marks not found included). Ends at once, with the count kept,
    // on any other outcome, and with ConnectionLost when the port is gone before a sheet.
    SendOutcome runSheets(const Counter &counter);

    // A stop request while the conversation runs. The first only counts (the caller lets the
    // sheet end); a second one cancels the port at once. True when this request ended it now.
    bool requestStop();
    // Ends the conversation at once, as a second stop request does (a termination request).
    void stopNow();
    bool isRunning() const { return running; }

    // Every sheet so far that was not confirmed as cut, in order.
    const std::vector<SheetFault> &faults() const { return sheetFaults; }

private:
    enum class Marks
    {
        Found,
        NotFound,
        Unknown
    };

    SendOutcome usbSheet();
    // A mark job once the sheet is fed: mark line, body or sheet advance, trailer, last reply.
    SendOutcome markedSheet();
    SendOutcome tcpSheet();
    // Sends the mark line and reads the cutter's verdict on the marks.
    PortStatus checkMarks(Marks &marks);
    // Body and trailer of a blank cut, then the one reply that ends the sheet.
    PortStatus finishBlankSheet();
    // Over USB: polls until a reply equals `token` exactly, pausing between polls.
    PortStatus waitForToken(const QByteArray &token, const char *step);
    PortStatus send(const QByteArray &text, const char *what);
    // One reply to `step`, awaited within the reply time limit.
    PortStatus receive(QByteArray &reply, const char *step);
    PortStatus receiveOnce(QByteArray &reply);
    // Runs `wait` within the reply time limit; past it, notes the fault and cancels the port.
    PortStatus withinReplyTime(const char *step, const QByteArray &expected,
                               const std::function<PortStatus()> &wait);
    // Notes a fault when `reply` does not hold `token`.
    void expect(const QByteArray &reply, const QByteArray &token, const char *step);
    void addFault(SheetFault::Kind kind, const char *step, const QByteArray &expected,
                  const QByteArray &reply);
    bool pause(int ms);
    SendOutcome outcomeOf(PortStatus status) const;
    void report(const QString &event);

    CutterPort &port;
    Transport transport;
    SheetJob job;
    Timing times;
    std::vector<SheetFault> sheetFaults;
    int sheet = 0;
    int stopRequests = 0;
    bool cancelled = false;
    bool timedOut = false;
    bool running = false;
};
