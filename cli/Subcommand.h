#pragma once
// One cutjob subcommand: its name on the command line, the kind of Qt application it needs and
// the function that runs it. The table in main.cpp lists them all.

#include <QStringList>

#include <vector>

enum class AppKind
{
    Core,    // files and text only
    Gui,     // paints images (offscreen platform unless the user chose one)
    Widgets, // the built-in drawing host with its documents
    Window   // as Widgets, and a window of its own on the user's display when there is one;
             // Qt's own notices stay off standard error, which Inkscape shows the user as errors
};

// `arguments` holds "cutjob <name>" first, then the arguments after the subcommand's name.
// Returns the process exit status: 0 success, 1 bad input or a failure reported on stderr.
using SubcommandFunction = int (*)(const QStringList &arguments);

struct Subcommand
{
    const char *name;
    AppKind app;
    SubcommandFunction run;
    const char *summary;
};

int runBuildCommand(const QStringList &arguments);             // BuildCommand.cpp
int runPreviewCommand(const QStringList &arguments);           // PreviewCommand.cpp
int runSendCommand(const QStringList &arguments);              // SendCommand.cpp
int runDevicesCommand(const QStringList &arguments);           // DevicesCommand.cpp
int runSimulateCommand(const QStringList &arguments);          // SimulateCommand.cpp
int runInstallExtensionsCommand(const QStringList &arguments); // InstallExtensionsCommand.cpp

// Subcommands that drive the built-in drawing host, which is built everywhere but on Windows
// (where the drawing application answers): HostSubcommands.cpp lists them there, and
// NoHostSubcommands.cpp, compiled instead, lists none.
std::vector<Subcommand> hostSubcommands();
int runSheetCommand(const QStringList &arguments); // SheetCommand.cpp
// Inside Inkscape, whose batch runs stop at a dialog for any text on standard error, the notes
// on art under the marks are left to the drawing host's window.
void setArtUnderMarksReported(bool reported);               // SheetCommand.cpp
int runSendDialogCommand(const QStringList &arguments);     // SendDialogCommand.cpp
int runInkscapeEffectCommand(const QStringList &arguments); // InkscapeEffectCommand.cpp
