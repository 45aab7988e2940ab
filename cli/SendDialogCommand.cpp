// `cutjob send-dialog`: "Send to Cutter" on an SVG sheet with a small window of its own, for
// Inkscape's "Send to Cutter" extension: the job prepared as `cutjob sheet --job` prepares it,
// the preview and the window's question, then the conversation of `cutjob send`.

#include "CliOutput.h"
#include "CutterTransport.h"
#include "JobOptionParser.h"
#include "SheetSession.h"
#include "Subcommand.h"
#include "host/InProcessHost.h"
#include "link/LinkMessages.h"
#include "settings/Settings.h"
#include "views/SendDialog.h"

#include <QCommandLineParser>

namespace {

struct SendDialogRequest
{
    QString sheet;
    int version = Setting::CdrVersion.value;
    JobSettings job;
    CutterTarget target;
    int count = -1; // -1: one sheet; else an Auto-Next run of this many sheets
    bool helpAsked = false;
};

QString helpText()
{
    return QStringLiteral(
               "Usage: cutjob send-dialog SHEET.svg (--tcp ADDRESS[:PORT] | --usb NAME)\n"
               "                          [--count N] [--version %1..%2] [job options]\n"
               "\n"
               "Prepares the job of an SVG sheet as `cutjob sheet --job` does, shows its cut\n"
               "paths and asks \"都准备好了吗?\"; on OK sends it as `cutjob send` does, with each\n"
               "sheet's progress and a stop button (once: after this sheet; twice: at once).\n"
               "  --tcp, --usb, --count   as for cutjob send\n"
               "  --version N             the drawing host's version, %1 to %2 (default %3)\n"
               "\n"
               "Job options:\n")
               .arg(Setting::CdrVersion.first)
               .arg(Setting::CdrVersion.last)
               .arg(Setting::CdrVersion.value) +
           JobOptionParser::helpText() +
           QStringLiteral(
               "  -h, --help              show this text\n"
               "\n"
               "Errors go to standard error with exit status 1; Cancel sends nothing and exits\n"
               "with 0. With VX_SEND_DIALOG_AUTOCONFIRM=1 in the environment the question\n"
               "answers OK by itself (for tests that cannot click).\n");
}

Result<SendDialogRequest> parseRequest(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    JobOptionParser::addOptions(parser);
    addCutterTargetOptions(parser);
    addHostVersionOption(parser);
    addSheetCountOption(parser);
    parser.addOption({{QStringLiteral("h"), QStringLiteral("help")}, QString()});
    if (!parser.parse(arguments))
        return Failure{parser.errorText()};
    SendDialogRequest request;
    request.helpAsked = parser.isSet(QStringLiteral("help"));
    if (request.helpAsked)
        return request;
    const QStringList files = parser.positionalArguments();
    if (files.size() != 1)
        return Failure{QStringLiteral("one sheet expected (cutjob send-dialog --help)")};
    request.sheet = files.first();
    const Result<int> count = readSheetCount(parser);
    if (!count)
        return Failure{count.error()};
    request.count = *count;
    const Result<CutterTarget> target = readCutterTarget(parser);
    if (!target)
        return Failure{target.error()};
    request.target = *target;
    const Result<int> version = readHostVersion(parser);
    if (!version)
        return Failure{version.error()};
    request.version = *version;
    const Result<JobSettings> job = JobOptionParser::read(parser);
    if (!job)
        return Failure{job.error()};
    request.job = *job;
    return request;
}

int sendSheet(const SendDialogRequest &request)
{
    const Result<std::unique_ptr<CdrConnection>> connection =
        openSheet(request.sheet, request.version);
    if (!connection) {
        printError(connection.error());
        return 1;
    }
    const Result<PreparedJob> prepared = prepareSheetJob(**connection, request.job);
    if (!prepared) {
        printError(prepared.error());
        return 1;
    }
    const PreparedJob &job = *prepared;
    SendDialog dialog(job.creasing + job.cutting);
    if (!dialog.confirm())
        return 0;
    CutterTransport transport;
    if (const Result<> opened = transport.open(request.target); !opened) {
        printError(opened.error());
        return 1;
    }
    CutterConversation conversation(transport.port(), transport.kind(),
                                    SheetJob{job.text.header, job.text.markLine, job.text.body,
                                             job.text.trailer, request.job.blankCut});
    int remaining = 0;
    const SendOutcome outcome = dialog.send(conversation, request.count, remaining);
    transport.close();
    const OutcomeMessage message = messageFor(outcome);
    if (!message.text.isEmpty())
        printError(message.text);
    // An Auto-Next run that ended early says how many sheets are still to cut, as the window's
    // sheet count shows it.
    if (request.count > 0 && remaining > 0)
        printError(QStringLiteral("%1 of %2 sheet(s) left").arg(remaining).arg(request.count));
    return outcome == SendOutcome::Done ? 0 : 1;
}

} // namespace

int runSendDialogCommand(const QStringList &arguments)
{
    const Result<SendDialogRequest> request = parseRequest(arguments);
    if (!request) {
        printError(request.error());
        return 1;
    }
    if (request->helpAsked)
        return writeStandardOutput({helpText().toUtf8()}) ? 0 : 1;
    InProcessHost::keepWindowHidden();
    return sendSheet(*request);
}
