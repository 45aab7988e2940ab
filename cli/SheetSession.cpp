#include "SheetSession.h"

#include "CliOutput.h"
#include "JobOptionParser.h"
#include "host/InProcessHost.h"
#include "settings/Settings.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTemporaryDir>

namespace {

constexpr int FirstVersion = Setting::CdrVersion.first;
constexpr int LastVersion = Setting::CdrVersion.last;

} // namespace

void addHostVersionOption(QCommandLineParser &parser)
{
    parser.addOption({QStringLiteral("version"), QString(), QStringLiteral("N")});
}

Result<int> readHostVersion(const QCommandLineParser &parser)
{
    if (!parser.isSet(QStringLiteral("version")))
        return Setting::CdrVersion.value;
    const Result<int> version =
        parseInteger(parser.value(QStringLiteral("version")), QStringLiteral("--version"));
    if (version && (*version < FirstVersion || *version > LastVersion))
        return Failure{QStringLiteral("--version must be %1 to %2, not %3")
                           .arg(FirstVersion)
                           .arg(LastVersion)
                           .arg(*version)};
    return version;
}

Result<std::unique_ptr<CdrConnection>> openSheet(const QString &sheet, int version)
{
    const Result<QStringList> opened = InProcessHost::openSheet(sheet);
    if (!opened)
        return Failure{QStringLiteral("cannot open %1: %2").arg(sheet, opened.error())};
    for (const QString &note : *opened)
        printError(QStringLiteral("%1: %2").arg(sheet, note));
    auto connection = std::make_unique<CdrConnection>(Setting::CdrVersion.choice(version));
    if (!connection->isConnected())
        return Failure{QCoreApplication::translate(
            "PluginMW", "请确认CorelDraw安装并选择正确的CorelDraw版本...")};
    return connection;
}

Result<PreparedJob> prepareSheetJob(CdrConnection &connection, const JobSettings &settings)
{
    QTemporaryDir workDir;
    if (!workDir.isValid())
        return Failure{
            QStringLiteral("cannot make a working folder: %1").arg(workDir.errorString())};
    Result<PreparedJob> job = prepareJob(connection, settings.blankCut, toJobOptions(settings),
                                         workDir.filePath(QStringLiteral("ABDOPQR.plt")));
    if (!job)
        return Failure{hostMessage(job.error(), connection.detail())};
    // What the host refused without harm, such as an export property it does not know.
    if (!job->detail.isEmpty())
        printError(job->detail);
    if (job->emptyCut)
        printError(JobMessage::emptyCut());
    return job;
}

QString hostMessage(const QString &text, const QString &detail)
{
    return detail.isEmpty() ? text : QStringLiteral("%1 (%2)").arg(text, detail);
}
