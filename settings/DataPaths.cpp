#include "DataPaths.h"

#include <QDir>

DataPaths DataPaths::inFolder(const QString &workDir)
{
    DataPaths paths;
    paths.workDir = workDir.endsWith(QLatin1Char('/')) ? workDir : workDir + QLatin1Char('/');
    paths.qrJobsDir = paths.workDir + QStringLiteral("QR Jobs/");
    paths.qrPageinfoDir = paths.workDir + QStringLiteral("QR Pageinfo/");
    paths.pltPath = paths.workDir + QStringLiteral("ABDOPQR.plt");
    paths.configPath = paths.workDir + QStringLiteral("config.ini");
    return paths;
}

DataPaths DataPaths::forThisPlatform()
{
    return inFolder(defaultDataFolder());
}

bool DataPaths::createFolders() const
{
    bool ok = true;
    for (const QString &dir : {workDir, qrJobsDir, qrPageinfoDir})
        ok = QDir().mkpath(dir) && ok;
    return ok;
}
