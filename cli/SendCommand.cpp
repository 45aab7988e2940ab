// `cutjob send`: a saved job file sent to the cutter with the window's own conversation, over
// TCP or USB, one sheet or an Auto-Next run, with each sheet's progress on standard error.

#include "CliOutput.h"
#include "CutterTransport.h"
#include "JobOptionParser.h"
#include "SavedJob.h"
#include "StopSignals.h"
#include "Subcommand.h"
#include "common/BoundedRead.h"
#include "link/LinkMessages.h"

#include <QCommandLineParser>
#include <QFile>

namespace {

// Exit status when the user's interrupt ended the run, as shells report SIGINT.
constexpr int InterruptedStatus = 130;

struct SendRequest
{
    QString jobPath;
    CutterTarget target;
    int count = -1; // -1: one sheet; else an Auto-Next run of this many sheets
    bool helpAsked = false;
};

QString sendHelpText()
{
    return QStringLiteral(
        "Usage: cutjob send JOB.plt (--tcp ADDRESS[:PORT] | --usb NAME) [--count N]\n"
        "\n"
        "Sends a job saved by the window's \"Save As *.plt\" or `cutjob sheet --job` to the\n"
        "cutter, with the same conversation as the window's \"Send to Cutter\".\n"
        "  --tcp ADDRESS[:PORT]  the cutter's IPv4 address (dotted, no host names); port 9100\n"
        "                        unless given\n"
        "  --usb NAME            the attached cutter with this name (see `cutjob devices`)\n"
        "  --count N             Auto-Next: N sheets, one after the other (default: one sheet,\n"
        "                        without Auto-Next)\n"
        "  -h, --help            show this text\n"
        "\n"
        "Progress goes to standard error. Ctrl+C once stops after the sheet being cut, twice\n"
        "stops at once. Exit status 0 only when every sheet went through.\n");
}

Result<SendRequest> parseSendRequest(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    addCutterTargetOptions(parser);
    addSheetCountOption(parser);
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
    return request;
}

Result<SheetJob> readJob(const QString &path)
{
    const Result<QByteArray> text = readRegularFile(path, MaxJobFileBytes, savedJobHeadProblem);
    if (!text)
        return Failure{text.error()};
    Result<SheetJob> job = splitSavedJob(*text);
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
    conversation.onProgress = [](int sheet, const QString &event) {
        printError(QStringLiteral("sheet %1: %2").arg(sheet).arg(event));
    };
    bool keepGoing = true;
    int interrupts = 0;
    StopSignals stopSignals([&](int) {
        keepGoing = false;
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
    if (request.count > 0)
        printError(QStringLiteral("%1 of %2 sheet(s) left").arg(remaining).arg(request.count));
    if (interrupts > 0 && (outcome != SendOutcome::Done || remaining > 0))
        return InterruptedStatus;
    return outcome == SendOutcome::Done ? 0 : 1;
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
