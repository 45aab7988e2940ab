// `cutjob simulate`: a cutter played in software on 127.0.0.1, for trying a send without one.
// The first line on standard output is the port listened on, so a script (or a test) that asked
// for any free port can find it.

#include "CliOutput.h"
#include "JobOptionParser.h"
#include "StopSignals.h"
#include "Subcommand.h"
#include "link/TcpCutterPort.h"
#include "link/sim/CutterSimulatorServer.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>

namespace {

struct SimulateRequest
{
    int port = TcpCutterPort::DefaultPort;
    QString scriptPath; // empty: a healthy cutter
    QString recordPath; // empty: the bytes received are not kept
    bool helpAsked = false;
};

QString simulateHelpText()
{
    return QStringLiteral(
        "Usage: cutjob simulate [--port P] [--script FILE] [--record FILE]\n"
        "\n"
        "Plays a cutter on 127.0.0.1 (never on another address) until interrupted, so the\n"
        "window (address 127.0.0.1) or `cutjob send --tcp 127.0.0.1` can be tried without one.\n"
        "Prints the port on the first line, then one line per piece received.\n"
        "  --port P         listen on port P (default 9100; 0 takes a free port)\n"
        "  --script FILE    answer as FILE says (see README.md); default: a healthy cutter\n"
        "  --record FILE    write every byte received to FILE, as it arrives\n"
        "  -h, --help       show this text\n");
}

bool parseSimulateRequest(const QStringList &arguments, SimulateRequest &request, QString &error)
{
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOption({QStringLiteral("port"), QString(), QStringLiteral("P")});
    parser.addOption({QStringLiteral("script"), QString(), QStringLiteral("FILE")});
    parser.addOption({QStringLiteral("record"), QString(), QStringLiteral("FILE")});
    parser.addOption({{QStringLiteral("h"), QStringLiteral("help")}, QString()});
    if (!parser.parse(arguments)) {
        error = parser.errorText();
        return false;
    }
    request.helpAsked = parser.isSet(QStringLiteral("help"));
    if (!parser.positionalArguments().isEmpty()) {
        error = QStringLiteral("unexpected argument: %1").arg(parser.positionalArguments().first());
        return false;
    }
    if (parser.isSet(QStringLiteral("port"))) {
        if (!parseInteger(parser.value(QStringLiteral("port")), QStringLiteral("--port"),
                          request.port, error))
            return false;
        if (request.port < 0 || request.port > 65535) {
            error = QStringLiteral("--port must be 0 to 65535, not %1").arg(request.port);
            return false;
        }
    }
    request.scriptPath = parser.value(QStringLiteral("script"));
    request.recordPath = parser.value(QStringLiteral("record"));
    for (const QString &name : {QStringLiteral("script"), QStringLiteral("record")}) {
        if (parser.isSet(name) && parser.value(name).isEmpty()) {
            error = QStringLiteral("--%1 needs a file name").arg(name);
            return false;
        }
    }
    return true;
}

bool readScript(const QString &path, CutterScript &script, QString &error)
{
    if (path.isEmpty())
        return true;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("cannot read %1: %2").arg(path, file.errorString());
        return false;
    }
    const Result<CutterScript> parsed = CutterScript::parse(file.readAll());
    if (!parsed) {
        error = QStringLiteral("%1: %2").arg(path, parsed.error());
        return false;
    }
    script = *parsed;
    return true;
}

} // namespace

int runSimulateCommand(const QStringList &arguments)
{
    SimulateRequest request;
    QString error;
    if (!parseSimulateRequest(arguments, request, error)) {
        printError(error);
        return 1;
    }
    if (request.helpAsked)
        return writeStandardOutput({simulateHelpText().toUtf8()}) ? 0 : 1;
    CutterScript script;
    if (!readScript(request.scriptPath, script, error)) {
        printError(error);
        return 1;
    }
    QFile record(request.recordPath);
    if (!request.recordPath.isEmpty() && !record.open(QIODevice::WriteOnly)) {
        printError(
            QStringLiteral("cannot write %1: %2").arg(request.recordPath, record.errorString()));
        return 1;
    }
    CutterSimulatorServer server(script);
    if (const Result<> listening = server.listen(quint16(request.port)); !listening) {
        printError(QStringLiteral("cannot listen on 127.0.0.1:%1: %2")
                       .arg(request.port)
                       .arg(listening.error()));
        return 1;
    }
    server.onLog = [](const QString &line) { writeStandardOutput({line.toUtf8() + '\n'}); };
    // Unbuffered, so whoever reads the file sees each arrival before the cutter's answer.
    if (record.isOpen())
        server.onReceived = [&record](const QByteArray &bytes) {
            record.write(bytes);
            record.flush();
        };
    if (!writeStandardOutput({QByteArray::number(server.port()) + '\n'}))
        return 1;
    printError(QStringLiteral("simulated cutter listening on 127.0.0.1:%1; Ctrl+C ends it")
                   .arg(server.port()));
    StopSignals stopSignals([](int) { QCoreApplication::quit(); });
    return QCoreApplication::exec();
}
