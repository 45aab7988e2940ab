// `cutjob simulate`: a cutter played in software on 127.0.0.1, for trying a send without one.
// The first line on standard output is the port listened on, so a script (or a test) that asked
// for any free port can find it.

#include "CliOutput.h"
#include "JobOptionParser.h"
#include "StopSignals.h"
#include "Subcommand.h"
#include "common/BoundedRead.h"
#include "common/WholeFileWriter.h"
#include "link/TcpCutterPort.h"
#include "link/sim/CutterSimulatorServer.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>

#include <optional>

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
               "window (address 127.0.0.1) or `cutjob send --tcp 127.0.0.1` can be tried without "
               "one.\n"
               "Prints the port on the first line, then one line per piece received, and the "
               "count\n"
               "of bytes received when it ends. What arrives is not kept in memory.\n"
               "  --port P         listen on port P (default %1; 0 takes a free port)\n"
               "  --script FILE    answer as FILE says (see README.md); default: a healthy cutter\n"
               "  --record FILE    write every byte received to FILE (complete once the simulator "
               "ends)\n"
               "  -h, --help       show this text\n")
        .arg(TcpCutterPort::DefaultPort);
}

Result<SimulateRequest> parseSimulateRequest(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOption({QStringLiteral("port"), QString(), QStringLiteral("P")});
    parser.addOption({QStringLiteral("script"), QString(), QStringLiteral("FILE")});
    parser.addOption({QStringLiteral("record"), QString(), QStringLiteral("FILE")});
    parser.addOption({{QStringLiteral("h"), QStringLiteral("help")}, QString()});
    if (!parser.parse(arguments))
        return Failure{parser.errorText()};
    SimulateRequest request;
    request.helpAsked = parser.isSet(QStringLiteral("help"));
    if (!parser.positionalArguments().isEmpty())
        return Failure{
            QStringLiteral("unexpected argument: %1").arg(parser.positionalArguments().first())};
    if (parser.isSet(QStringLiteral("port"))) {
        const Result<int> port =
            parseInteger(parser.value(QStringLiteral("port")), QStringLiteral("--port"));
        if (!port)
            return Failure{port.error()};
        if (*port < 0 || *port > 65535)
            return Failure{QStringLiteral("--port must be 0 to 65535, not %1").arg(*port)};
        request.port = *port;
    }
    request.scriptPath = parser.value(QStringLiteral("script"));
    request.recordPath = parser.value(QStringLiteral("record"));
    for (const QString &name : {QStringLiteral("script"), QStringLiteral("record")}) {
        if (parser.isSet(name) && parser.value(name).isEmpty())
            return Failure{QStringLiteral("--%1 needs a file name").arg(name)};
    }
    return request;
}

Result<CutterScript> readScript(const QString &path)
{
    if (path.isEmpty())
        return CutterScript();
    const Result<QByteArray> text = readRegularFile(path, MaxSmallFileBytes);
    if (!text)
        return Failure{text.error()};
    const Result<CutterScript> parsed = CutterScript::parse(*text);
    if (!parsed)
        return Failure{QStringLiteral("%1: %2").arg(path, parsed.error())};
    return parsed;
}

} // namespace

int runSimulateCommand(const QStringList &arguments)
{
    const Result<SimulateRequest> parsed = parseSimulateRequest(arguments);
    if (!parsed) {
        printError(parsed.error());
        return 1;
    }
    const SimulateRequest &request = *parsed;
    if (request.helpAsked)
        return writeStandardOutput({simulateHelpText().toUtf8()}) ? 0 : 1;
    const Result<CutterScript> script = readScript(request.scriptPath);
    if (!script) {
        printError(script.error());
        return 1;
    }
    // Whole or absent: the record replaces an earlier file when the simulator ends.
    std::optional<WholeFileWriter> record;
    if (!request.recordPath.isEmpty()) {
        record.emplace(request.recordPath);
        if (const Result<> opened = record->open(); !opened) {
            printError(opened.error());
            return 1;
        }
    }
    CutterSimulatorServer server(*script);
    // It runs until stopped: what arrives is recorded or counted as it comes, never kept.
    server.setKeepHistory(false);
    if (const Result<> listening = server.listen(quint16(request.port)); !listening) {
        printError(QStringLiteral("cannot listen on 127.0.0.1:%1: %2")
                       .arg(request.port)
                       .arg(listening.error()));
        return 1;
    }
    server.onLog = [](const QString &line) { writeStandardOutput({line.toUtf8() + '\n'}); };
    if (record)
        server.onReceived = [&record](const QByteArray &bytes) { record->write(bytes); };
    if (!writeStandardOutput({QByteArray::number(server.port()) + '\n'}))
        return 1;
    printError(QStringLiteral("simulated cutter listening on 127.0.0.1:%1; Ctrl+C ends it")
                   .arg(server.port()));
    StopSignals stopSignals([](int) { QCoreApplication::quit(); });
    const int status = QCoreApplication::exec();
    printError(QStringLiteral("simulated cutter received %1 bytes").arg(server.receivedBytes()));
    if (const Result<> kept = record ? record->commit() : Result<>(); !kept) {
        printError(kept.error());
        return 1;
    }
    return status;
}
