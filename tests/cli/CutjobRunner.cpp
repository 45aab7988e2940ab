#include "CutjobRunner.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeFile(const QString &path, const QByteArray &data)
{
    QFile file(path);
    return QDir().mkpath(QFileInfo(path).path()) && file.open(QIODevice::WriteOnly) &&
           file.write(data) == data.size();
}

CutjobRun runCutjob(const QStringList &arguments, const QString &workingDirectory, int timeoutMs)
{
    QProcess process;
    process.setWorkingDirectory(workingDirectory);
    process.start(QStringLiteral(VX_CUTJOB_PATH), arguments);
    CutjobRun run;
    if (!process.waitForStarted(10000))
        return run;
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished(10000);
        return run;
    }
    run.finished = process.exitStatus() == QProcess::NormalExit;
    run.exitCode = process.exitCode();
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    return run;
}

bool SimulatorProcess::start(const QString &script, const QString &record)
{
    QStringList args{QStringLiteral("simulate"), QStringLiteral("--port"), QStringLiteral("0"),
                     QStringLiteral("--record"), record};
    if (!script.isEmpty())
        args << QStringLiteral("--script") << script;
    process.start(QStringLiteral(VX_CUTJOB_PATH), args);
    const QDeadlineTimer deadline(30000);
    while (!process.canReadLine() && !deadline.hasExpired() &&
           process.state() != QProcess::NotRunning)
        process.waitForReadyRead(int(qMax<qint64>(1, deadline.remainingTime())));
    port = process.readLine().trimmed();
    return !port.isEmpty();
}

bool SimulatorProcess::stop()
{
    process.terminate();
    if (process.waitForFinished(10000))
        return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    process.kill();
    process.waitForFinished(10000);
    return false;
}

SimulatorProcess::~SimulatorProcess()
{
    if (process.state() != QProcess::NotRunning)
        stop();
}
