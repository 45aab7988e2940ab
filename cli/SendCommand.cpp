// `cutjob send`: a saved job file sent to the cutter with the window's own conversation, over
// TCP or USB, one sheet or an Auto-Next run, with each sheet's progress on standard error.

#include "CliOutput.h"
#include "CutterTransport.h"
#include "JobOptionParser.h"
#include "SavedJob.h"
#include "StopSignals.h"
#include "Subcommand.h"
#include "link/LinkMessages.h"
#include "link/TcpCutterPort.h"

#include <QCommandLineParser>
#include <QFile>

#include <csignal>

namespace {

// Exit status when the user's interrupt ended the run, as shells report SIGINT; a termination
// request (SIGTERM, as `timeout` sends it) as shells report that.
constexpr int InterruptedStatus = 130;
constexpr int TerminatedStatus = 143;
// The longest --reply-timeout, in seconds: a timer holds milliseconds in an int.
constexpr double MaxReplyTimeoutSeconds = 2000000;

struct SendRequest
{
    QString jobPath;
    CutterTarget target;
    int count = -1;                  // -1: one sheet; else an Auto-Next run of this many sheets
    double replyTimeoutSeconds = -1; // -1: wait for each reply as long as it takes
    bool helpAsked = false;
};

QString sendHelpText()
{
    return QStringLiteral(
               "Usage: cutjob send JOB.plt (--tcp ADDRESS[:PORT] | --usb NAME) [--count N]\n"
               "                   [--reply-timeout SECONDS]\n"
               "\n"
               "Sends a job saved by the window's \"Save As *.plt\" or `cutjob sheet --job` to "
               "the\n"
               "cutter, with the same conversation as the window's \"Send to Cutter\".\n"
               "  --tcp ADDRESS[:PORT]  the cutter's IPv4 address (dotted, no host names); port "
               "%1\n"
               "                        unless given\n"
               "  --usb NAME            the attached cutter with this name (see `cutjob devices`)\n"
               "  --count N             Auto-Next: N sheets, one after the other (default: one "
               "sheet,\n"
               "                        without Auto-Next)\n"
               "  --reply-timeout SECONDS  end the job when the cutter has not answered within\n"
               "                        SECONDS (default: wait as long as it takes, as the "
               "window)\n"
               "  -h, --help            show this text\n"
               "\n"
               "Progress goes to standard error. Ctrl+C once stops after the sheet being cut, "
               "twice\n"
               "stops at once; a termination request (SIGTERM) stops at once. Exit status 0 only\n"
               "when every sheet's body was sent and the cutter confirmed it; a sheet it did not\n"
               "confirm (marks not found, an unexpected reply, no reply in time) is named on\n"
               "standard error and the exit status is 1.\n")
        .arg(TcpCutterPort::DefaultPort);
}

Result<SendRequest> parseSendRequest(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    addCutterTargetOptions(parser);
    addSheetCountOption(parser);
    parser.addOption({QStringLiteral("reply-timeout"), QString(), QStringLiteral("SECONDS")});
    parser.addOption({{QStringLiteral("h"), QStringLiteral("help")}, QString()});
    if (!parser.parse(arguments))
        return Failure{parser.errorText()};
    SendRequest request;
    request.helpAsked = parser.isSet(QStringLiteral("help"));
    if (request.helpAsked)
        return request;
    const QStringList files = parser.positionalArguments();
    if (files.size() != 1)
        return Failure{files.isEmpty()
                           ? QStringLiteral("no job file given (cutjob send --help)")
                           : QStringLiteral("one job file expected, got %1").arg(files.size())};
    request.jobPath = files.first();
    const Result<CutterTarget> target = readCutterTarget(parser);
    if (!target)
        return Failure{target.error()};
    request.target = *target;
    const Result<int> count = readSheetCount(parser);
    if (!count)
        return Failure{count.error()};
    request.count = *count;
    if (parser.isSet(QStringLiteral("reply-timeout"))) {
        const Result<double> seconds = parseFiniteNumber(
            parser.value(QStringLiteral("reply-timeout")), QStringLiteral("--reply-timeout"));
        if (!seconds)
            return Failure{seconds.error()};
        if (*seconds <= 0 || *seconds > MaxReplyTimeoutSeconds)
            return Failure{
                QStringLiteral("--reply-timeout must be above 0 and at most %1 s, not %2")
                    .arg(MaxReplyTimeoutSeconds)
                    .arg(*seconds)};
        request.replyTimeoutSeconds = *seconds;
    }
    return request;
}

// One line for a sheet the cutter did not confirm: which sheet, and what it answered.
QString faultLine(const SheetFault &fault, double replyTimeoutSeconds)
{
    const QString sheet = QStringLiteral("sheet %1: ").arg(fault.sheet);
    switch (fault.kind) {
    case SheetFault::Kind::MarksNotFound:
        return sheet + QStringLiteral("marks not found (the cutter answered %1): the body was "
                                      "not cut")
                           .arg(fault.reply);
    case SheetFault::Kind::NoMarksVerdict:
        return sheet + QStringLiteral("the cutter answered the mark line with %1, neither "
                                      "\"MD_OK;\" nor \"MD_NG;\": the body was not cut")
                           .arg(fault.reply);
    case SheetFault::Kind::Unexpected:
        return sheet + QStringLiteral("the cutter answered the %1 with %2 where \"%3\" was "
                                      "expected")
                           .arg(fault.step, fault.reply, fault.expected);
    case SheetFault::Kind::NoReply:
        break;
    }
    return sheet + QStringLiteral("no reply to the %1 within %2 s (--reply-timeout): the job was "
                                  "ended")
                       .arg(fault.step)
                       .arg(replyTimeoutSeconds);
}

Result<SheetJob> readJob(const QString &path)
{
    Result<QByteArray> text = readSavedJob(path);
    if (!text)
        return Failure{text.error()};
    Result<SheetJob> job = splitSavedJob(std::move(*text));
    if (!job)
        return Failure{QStringLiteral("%1: %2").arg(path, job.error())};
    return job;
}

int send(const SendRequest &request, const SheetJob &job)
{
    CutterTransport transport;
    if (const Result<> opened = transport.open(request.target); !opened) {
        printError(opened.error());
        return 1;
    }
    CutterConversation conversation(transport.port(), transport.kind(), job);
    CutterConversation::Timing timing;
    if (request.replyTimeoutSeconds > 0)
        timing.replyTimeoutMs = qMax(1, qRound(request.replyTimeoutSeconds * 1000));
    conversation.setTiming(timing);
    conversation.onProgress = [](int sheet, const QString &event) {
        printError(QStringLiteral("sheet %1: %2").arg(sheet).arg(event));
    };
    bool keepGoing = true;
    bool terminated = false;
    int interrupts = 0;
    StopSignals stopSignals([&](int signal) {
        keepGoing = false;
        if (signal == SIGTERM) {
            terminated = true;
            conversation.stopNow();
            return;
        }
        if (++interrupts == 1)
            printError(LinkMessage::stopAfterSheet());
        conversation.requestStop();
    });
    int remaining = request.count;
    const SendOutcome outcome =
        request.count < 0
            ? conversation.runSheet()
            : conversation.runSheets({[&] { return remaining; }, [&](int n) { remaining = n; },
                                      [&] { return keepGoing; }});
    transport.close();
    const OutcomeMessage message = messageFor(outcome);
    if (!message.text.isEmpty())
        printError(QStringLiteral("%1: %2").arg(message.title, message.text));
    for (const SheetFault &fault : conversation.faults())
        printError(faultLine(fault, request.replyTimeoutSeconds));
    if (request.count > 0)
        printError(QStringLiteral("%1 of %2 sheet(s) left").arg(remaining).arg(request.count));
    if (outcome == SendOutcome::Done && remaining <= 0 && conversation.faults().empty())
        return 0;
    if (terminated)
        return TerminatedStatus;
    if (interrupts > 0 && (outcome != SendOutcome::Done || remaining > 0))
        return InterruptedStatus;
    return 1;
}

} // namespace

int runSendCommand(const QStringList &arguments)
{
    const Result<SendRequest> request = parseSendRequest(arguments);
    if (!request) {
        printError(request.error());
        return 1;
    }
    if (request->helpAsked)
        return writeStandardOutput({sendHelpText().toUtf8()}) ? 0 : 1;
    const Result<SheetJob> job = readJob(request->jobPath);
    if (!job) {
        printError(job.error());
        return 1;
    }
    return send(*request, *job);
}
