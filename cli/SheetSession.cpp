#include "SheetSession.h"

#include "CliOutput.h"
#include "host/builtin/BuiltinHost.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTemporaryDir>

namespace {

constexpr int FirstVersion = 14;
constexpr int LastVersion = 23;
// The host's export enlarges the cutting shapes five-fold; the pipelines undo it.
constexpr double ExportScale = 5.0;

} // namespace

void addHostVersionOption(QCommandLineParser &parser)
{
    parser.addOption({QStringLiteral("version"), QString(), QStringLiteral("N")});
}

bool readHostVersion(const QCommandLineParser &parser, int &version, QString &error)
{
    version = FirstVersion;
    if (!parser.isSet(QStringLiteral("version")))
        return true;
    if (!parseInteger(parser.value(QStringLiteral("version")), QStringLiteral("--version"), version,
                      error))
        return false;
    if (version < FirstVersion || version > LastVersion) {
        error = QStringLiteral("--version must be %1 to %2, not %3")
                    .arg(FirstVersion)
                    .arg(LastVersion)
                    .arg(version);
        return false;
    }
    return true;
}

std::unique_ptr<CdrConnection> openSheet(const QString &sheet, int version, QString &error)
{
    BuiltinHost &host = BuiltinHost::instance();
    if (!host.openDocument(sheet, &error)) {
        error = QStringLiteral("cannot open %1: %2").arg(sheet, error);
        return nullptr;
    }
    for (const QString &note : host.activeDocument()->notes)
        printError(QStringLiteral("%1: %2").arg(sheet, note));
    auto connection =
        std::make_unique<CdrConnection>(QStringLiteral("CorelDraw.Application.%1").arg(version));
    if (!connection->isConnected()) {
        error = QCoreApplication::translate("PluginMW",
                                            "请确认CorelDraw安装并选择正确的CorelDraw版本...");
        return nullptr;
    }
    return connection;
}

bool prepareSheetJob(CdrConnection &connection, const JobOptionValues &options, PreparedJob &job,
                     QString &error)
{
    QTemporaryDir workDir;
    if (!workDir.isValid()) {
        error = QStringLiteral("cannot make a working folder: %1").arg(workDir.errorString());
        return false;
    }
    job = prepareJob(connection, options.blankCut, toJobOptions(options, ExportScale),
                     workDir.filePath(QStringLiteral("ABDOPQR.plt")));
    if (!job.ok()) {
        error = hostMessage(job.error, job.detail);
        return false;
    }
    if (!job.detail.isEmpty())
        printError(job.detail);
    return true;
}

QString hostMessage(const QString &text, const QString &detail)
{
    return detail.isEmpty() ? text : QStringLiteral("%1 (%2)").arg(text, detail);
}
