#pragma once
// Runs the built cutjob as a user would, with a bound on every wait.

#include <QByteArray>
#include <QString>
#include <QStringList>

struct CutjobRun
{
    bool finished = false; // false: it did not start, crashed or outlived the bound
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

// Runs "cutjob <arguments>" in `workingDirectory`; waits at most `timeoutMs`.
CutjobRun runCutjob(const QStringList &arguments, const QString &workingDirectory,
                    int timeoutMs = 60000);
