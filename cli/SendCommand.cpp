// `cutjob send`: a saved job file sent to the cutter with the window's own conversation, over
// TCP or USB, one sheet or an Auto-Next run, with each sheet's progress on standard error.

#include "CliOutput.h"
#include "JobOptionParser.h"
#include "SavedJob.h"
#include "StopSignals.h"
#include "Subcommand.h"
#include "link/LinkMessages.h"
#include "link/TcpCutterPort.h"
#include "link/UsbOperate.h"

#include <QCommandLineParser>
#include <QFile>
#include <QTcpSocket>

#include <memory>

namespace {

// Exit status when the user's interrupt ended the run, as shells report SIGINT.
constexpr int InterruptedStatus = 130;

struct SendRequest
{
    QString jobPath;
    QString address; // --tcp, without the port
    quint16 port = TcpCutterPort::DefaultPort;
    QString usbName; // --usb
    int count = -1;  // -1: one sheet; else an Auto-Next run of this many sheets
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

bool readTcpTarget(const QString &value, SendRequest &request, QString &error)
{
    const int colon = value.lastIndexOf(QLatin1Char(':'));
    request.address = colon < 0 ? value : value.left(colon);
    if (colon >= 0) {
        int port = 0;
        if (!parseInteger(value.mid(colon + 1), QStringLiteral("the port of --tcp"), port, error))
            return false;
        if (port < 1 || port > 65535) {
            error = QStringLiteral("the port of --tcp must be 1 to 65535, not %1").arg(port);
            return false;
        }
        request.port = quint16(port);
    }
    if (!TcpCutterPort::isValidAddress(request.address)) {
        error = QStringLiteral("%1 (\"%2\" is no dotted IPv4 address such as 127.0.0.1)")
                    .arg(LinkMessage::badAddress(), request.address);
        return false;
    }
    return true;
}

bool readCount(const QCommandLineParser &parser, SendRequest &request, QString &error)
{
    if (!parser.isSet(QStringLiteral("count")))
        return true;
    if (!parseInteger(parser.value(QStringLiteral("count")), QStringLiteral("--count"),
                      request.count, error))
        return false;
    if (request.count < 0) {
        error = QStringLiteral("--count must be 0 or more, not %1").arg(request.count);
        return false;
    }
    return true;
}

bool parseSendRequest(const QStringList &arguments, SendRequest &request, QString &error)
{
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOption({QStringLiteral("tcp"), QString(), QStringLiteral("ADDRESS")});
    parser.addOption({QStringLiteral("usb"), QString(), QStringLiteral("NAME")});
    parser.addOption({QStringLiteral("count"), QString(), QStringLiteral("N")});
    parser.addOption({{QStringLiteral("h"), QStringLiteral("help")}, QString()});
    if (!parser.parse(arguments)) {
        error = parser.errorText();
        return false;
    }
    request.helpAsked = parser.isSet(QStringLiteral("help"));
    if (request.helpAsked)
        return true;
    const QStringList files = parser.positionalArguments();
    if (files.size() != 1) {
        error = files.isEmpty() ? QStringLiteral("no job file given (cutjob send --help)")
                                : QStringLiteral("one job file expected, got %1").arg(files.size());
        return false;
    }
    request.jobPath = files.first();
    const bool tcp = parser.isSet(QStringLiteral("tcp"));
    if (tcp == parser.isSet(QStringLiteral("usb"))) {
        error = QStringLiteral("give either --tcp ADDRESS[:PORT] or --usb NAME");
        return false;
    }
    request.usbName = parser.value(QStringLiteral("usb"));
    if (!tcp && request.usbName.isEmpty()) {
        error = QStringLiteral("--usb needs a cutter's name (see cutjob devices)");
        return false;
    }
    return (!tcp || readTcpTarget(parser.value(QStringLiteral("tcp")), request, error)) &&
           readCount(parser, request, error);
}

bool readJob(const QString &path, SheetJob &job, QString &error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("cannot read %1: %2").arg(path, file.errorString());
        return false;
    }
    if (!splitSavedJob(file.readAll(), job, error)) {
        error = QStringLiteral("%1: %2").arg(path, error);
        return false;
    }
    return true;
}

// The port the conversation runs over, connected or chosen; null with a message when the cutter
// cannot be reached.
struct Transport
{
    QTcpSocket socket;
    QByteArray buffer;
    std::unique_ptr<TcpCutterPort> tcp;
    std::unique_ptr<UsbOperate> usb;

    CutterPort &port() { return tcp ? static_cast<CutterPort &>(*tcp) : *usb; }
};

bool openTransport(const SendRequest &request, Transport &transport, QString &error)
{
    if (request.usbName.isEmpty()) {
        transport.tcp = std::make_unique<TcpCutterPort>(transport.socket, transport.buffer,
                                                        request.address, request.port);
        transport.tcp->gatherArrivals();
        if (transport.tcp->connectToCutter())
            return true;
        error = QStringLiteral("%1 (no connection to %2:%3 within %4 ms)")
                    .arg(LinkMessage::connectTimeout(), request.address)
                    .arg(request.port)
                    .arg(TcpCutterPort::ConnectTimeoutMs);
        return false;
    }
    transport.usb = std::make_unique<UsbOperate>();
    switch (transport.usb->probe(request.usbName)) {
    case UsbOperate::DeviceState::Present:
        transport.usb->setDevice(request.usbName);
        return true;
    case UsbOperate::DeviceState::NoPermission:
        error = QStringLiteral("%1 (%2 is attached, but this user may not open it: see the "
                               "printer group in README.md)")
                    .arg(LinkMessage::noPermission(), request.usbName);
        return false;
    case UsbOperate::DeviceState::Absent:
        break;
    }
    error = QStringLiteral("%1 (no cutter named \"%2\" is attached; see cutjob devices)")
                .arg(LinkMessage::noCutter(), request.usbName);
    return false;
}

int send(const SendRequest &request, const SheetJob &job)
{
    Transport transport;
    QString error;
    if (!openTransport(request, transport, error)) {
        printError(error);
        return 1;
    }
    CutterConversation conversation(transport.port(),
                                    transport.tcp ? CutterConversation::Transport::Tcp
                                                  : CutterConversation::Transport::Usb,
                                    job);
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
    if (transport.tcp)
        transport.tcp->close();
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
    SendRequest request;
    QString error;
    if (!parseSendRequest(arguments, request, error)) {
        printError(error);
        return 1;
    }
    if (request.helpAsked)
        return writeStandardOutput({sendHelpText().toUtf8()}) ? 0 : 1;
    SheetJob job;
    if (!readJob(request.jobPath, job, error)) {
        printError(error);
        return 1;
    }
    return send(request, job);
}
