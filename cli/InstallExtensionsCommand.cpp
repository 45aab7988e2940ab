// `cutjob install-inkscape-extensions`: puts the "Print & Cut" extensions into this user's
// Inkscape extension folder, with this cutjob's path in their launcher; --uninstall takes away
// exactly those files and leaves anything else the user keeps there.

#include "CliOutput.h"
#include "Subcommand.h"
#include "common/WholeFileWriter.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>

namespace {

// Our folder inside Inkscape's; the names are the files compiled in under ":/inkscape/".
const QString FolderName = QStringLiteral("vexa-print-cut");
const QString Launcher = QStringLiteral("print_and_cut.py");
const QStringList Extensions{QStringLiteral("add_mark.inx"), QStringLiteral("cut_boundary.inx"),
                             QStringLiteral("print_pdf.inx"), QStringLiteral("cut_job.inx"),
                             QStringLiteral("send_to_cutter.inx")};

QString helpText()
{
    return QStringLiteral(
        "Usage: cutjob install-inkscape-extensions [--uninstall]\n"
        "\n"
        "Installs Inkscape's Extensions > \"Print & Cut\" menu (Add Mark, Create Cut Boundary,\n"
        "Save Print PDF, Save Cut Job, Send to Cutter) for this user, into\n"
        "$XDG_CONFIG_HOME/inkscape/extensions/vexa-print-cut (default ~/.config/...). They\n"
        "run this cutjob; install again after moving it. Restart Inkscape afterwards.\n"
        "  --uninstall   remove the files installed, and the folder once it is empty\n");
}

QString extensionFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/inkscape/extensions/") + FolderName;
}

QByteArray resource(const QString &name)
{
    QFile file(QStringLiteral(":/inkscape/") + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The launcher names cutjob in a Python string literal.
QByteArray launcherText()
{
    QString path = QCoreApplication::applicationFilePath();
    path.replace(QLatin1Char('\\'), QStringLiteral("\\\\")).replace(QLatin1Char('"'), "\\\"");
    return resource(Launcher + QStringLiteral(".in")).replace("@CUTJOB@", path.toUtf8());
}

int install(const QString &folder)
{
    if (!QDir().mkpath(folder)) {
        printError(QStringLiteral("cannot make %1").arg(folder));
        return 1;
    }
    for (const QString &name : Extensions + QStringList{Launcher}) {
        const QByteArray text = name == Launcher ? launcherText() : resource(name);
        const Result<> written = writeWholeFile(folder + QLatin1Char('/') + name, {text});
        if (!written) {
            printError(written.error());
            return 1;
        }
    }
    const QString done = QStringLiteral("installed into %1; restart Inkscape and find them under "
                                        "Extensions > Print & Cut\n")
                             .arg(folder);
    return writeStandardOutput({done.toUtf8()}) ? 0 : 1;
}

int uninstall(const QString &folder)
{
    int status = 0;
    for (const QString &name : Extensions + QStringList{Launcher}) {
        QFile file(folder + QLatin1Char('/') + name);
        if (file.exists() && !file.remove()) {
            printError(
                QStringLiteral("cannot remove %1: %2").arg(file.fileName(), file.errorString()));
            status = 1;
        }
    }
    // rmdir refuses a folder that still holds the user's own files, as it should.
    QDir().rmdir(folder);
    return status;
}

} // namespace

int runInstallExtensionsCommand(const QStringList &arguments)
{
    const QStringList options = arguments.mid(1);
    if (options == QStringList{QStringLiteral("--help")} ||
        options == QStringList{QStringLiteral("-h")})
        return writeStandardOutput({helpText().toUtf8()}) ? 0 : 1;
    if (options.isEmpty())
        return install(extensionFolder());
    if (options == QStringList{QStringLiteral("--uninstall")})
        return uninstall(extensionFolder());
    printError(QStringLiteral("unknown arguments: %1 (cutjob install-inkscape-extensions --help)")
                   .arg(options.join(QLatin1Char(' '))));
    return 1;
}
