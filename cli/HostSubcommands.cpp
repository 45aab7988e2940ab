// The subcommands that open drawings in the built-in host, registered only where it is built.

#include "Subcommand.h"

std::vector<Subcommand> hostSubcommands()
{
    return {
        {"sheet", AppKind::Widgets, runSheetCommand, "add marks to an SVG sheet and build its job"},
        {"send-dialog", AppKind::Window, runSendDialogCommand,
         "preview an SVG sheet's job, confirm it and send it, in a small window"},
        {"inkscape-effect", AppKind::Window, runInkscapeEffectCommand,
         "what Inkscape's \"Print & Cut\" extensions run"},
    };
}
