#pragma once
// Where the program keeps its settings and its working plot file. On Windows the shared folder
// "C:/Users/Public/Documents/VexaCommonPlugin/"; elsewhere the user's data location. Tests
// point it at a temporary folder.

#include <QString>

struct DataPaths
{
    QString workDir;       // ends with "/"
    QString qrJobsDir;     // workDir + "QR Jobs/"
    QString qrPageinfoDir; // workDir + "QR Pageinfo/"
    QString pltPath;       // workDir + "ABDOPQR.plt": the host exports into it, the job reads it
    QString configPath;    // workDir + "config.ini"

    // All five paths inside `workDir` (a trailing "/" is added when missing).
    static DataPaths inFolder(const QString &workDir);
    // The platform's folder: defaultDataFolder() from the platform's own source file.
    static DataPaths forThisPlatform();

    // Creates the three folders with every missing parent (a fresh account may lack even the
    // data location itself). False when one of them cannot be made; nothing else depends on it.
    bool createFolders() const;
};

// The data folder of this platform, ending with "/"; one definition per platform, chosen by the
// build.
QString defaultDataFolder();
