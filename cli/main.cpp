// cutjob: the window's job commands without the window, for scripts and for checking a job.

#include "Subcommand.h"
#include "common/LibraryMessages.h"
#include "common/Version.h"
#include "common/WholeFileWriter.h"
#include "translations/UiTranslation.h"

#include <QApplication>
#include <QCoreApplication>
#include <QGuiApplication>

#include <cstdio>
#include <cstring>
#include <iterator>
#include <memory>
#include <vector>

namespace {

// Adding a subcommand: one line here (or in HostSubcommands.cpp when it drives the built-in
// drawing host) and its function declared in Subcommand.h.
const Subcommand coreSubcommands[] = {
    {"build", AppKind::Core, runBuildCommand, "turn exported PLT files into the cutter's job text"},
    {"preview", AppKind::Core, runPreviewCommand, "draw a job file into a PNG picture"},
    {"send", AppKind::Core, runSendCommand, "send a saved job file to the cutter (USB or TCP)"},
    {"devices", AppKind::Core, runDevicesCommand, "list the cutters attached by USB"},
    {"simulate", AppKind::Core, runSimulateCommand, "play a cutter on 127.0.0.1 for trying a send"},
    {"install-inkscape-extensions", AppKind::Core, runInstallExtensionsCommand,
     "install Inkscape's \"Print & Cut\" extensions for this user (--uninstall)"},
};

std::vector<Subcommand> subcommandTable()
{
    std::vector<Subcommand> table(std::begin(coreSubcommands), std::end(coreSubcommands));
    const std::vector<Subcommand> host = hostSubcommands();
    table.insert(table.end(), host.begin(), host.end());
    return table;
}

void printUsage(FILE *stream)
{
    std::fprintf(stream, "Usage: cutjob <subcommand> [options]\n\nSubcommands:\n");
    for (const Subcommand &command : subcommandTable())
        std::fprintf(stream,
                     std::strlen(command.name) > 10 ? "  %s\n             %s\n" : "  %-10s %s\n",
                     command.name, command.summary);
    std::fprintf(stream, "\n'cutjob <subcommand> --help' documents each subcommand's options.\n");
    std::fprintf(stream, "--lang zh|en, anywhere on the line, chooses the language of the "
                         "messages (default: the locale's).\n");
    std::fprintf(stream, "'cutjob --version' prints the version.\n");
}

// A command-line tool never opens a window: painting goes to an offscreen surface unless the
// user asked for a platform.
void keepQtNoticesQuiet(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
}

std::unique_ptr<QCoreApplication> makeApplication(AppKind kind, int &argc, char **argv)
{
    if (kind == AppKind::Window)
        qInstallMessageHandler(keepQtNoticesQuiet);
    const bool display =
        !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
    if (kind != AppKind::Core && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") &&
        (kind != AppKind::Window || !display))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    switch (kind) {
    case AppKind::Gui:
        return std::make_unique<QGuiApplication>(argc, argv);
    case AppKind::Widgets:
    case AppKind::Window:
        return std::make_unique<QApplication>(argc, argv);
    case AppKind::Core:
        break;
    }
    return std::make_unique<QCoreApplication>(argc, argv);
}

} // namespace

int main(int argc, char **argv)
{
    ignoreFileSizeSignal();
    dropLibraryNoise();
    // Taken out before anything else reads the line, so it may stand before or after the
    // subcommand and no subcommand's own options see it.
    const Result<UiLanguage> language = chooseLanguage(takeLanguageOption(argc, argv));
    if (!language) {
        std::fprintf(stderr, "cutjob: %s\n", language.error().toLocal8Bit().constData());
        return 1;
    }
    if (argc < 2 || !std::strcmp(argv[1], "--help") || !std::strcmp(argv[1], "-h")) {
        printUsage(argc < 2 ? stderr : stdout);
        return argc < 2 ? 1 : 0;
    }
    // Only in the subcommand's place: `cutjob sheet --version N` is the drawing host's version.
    if (!std::strcmp(argv[1], "--version")) {
        std::printf("cutjob %s\n", PROGRAM_VERSION);
        return 0;
    }
    for (const Subcommand &command : subcommandTable()) {
        if (std::strcmp(argv[1], command.name) != 0)
            continue;
        const auto app = makeApplication(command.app, argc, argv);
        const UiTranslation translation(*language);
        QStringList arguments = QCoreApplication::arguments();
        arguments.removeFirst();
        arguments.first() = QStringLiteral("cutjob ") + arguments.first();
        return command.run(arguments);
    }
    std::fprintf(stderr, "cutjob: unknown subcommand \"%s\"\n\n", argv[1]);
    printUsage(stderr);
    return 1;
}
