#pragma once
// Runs the built cutjob as a user would, with a bound on every wait.

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>

struct CutjobRun
{
    bool finished = false; // false: it did not start, crashed or outlived the bound
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

// A whole file, or nothing when it cannot be read.
QByteArray readFile(const QString &path);
// Writes `data` as the whole file, making its folder first.
bool writeFile(const QString &path, const QByteArray &data);

// Runs "cutjob <arguments>" in `workingDirectory`; waits at most `timeoutMs`.
CutjobRun runCutjob(const QStringList &arguments, const QString &workingDirectory,
                    int timeoutMs = 60000);

// `cutjob simulate --port 0` in the background on 127.0.0.1, recording what it receives.
class SimulatorProcess
{
public:
    // `script`: a script file, or empty for a healthy cutter. False when no port was told
    // within 30 s.
    bool start(const QString &script, const QString &record);
    // SIGTERM ends it cleanly; true when it did.
    bool stop();
    ~SimulatorProcess();

    QProcess process;
    QByteArray port;
};
