// Without the built-in host (Windows) there is nothing to open an SVG sheet in, so the sheet
// subcommands are not offered.

#include "Subcommand.h"

std::vector<Subcommand> hostSubcommands()
{
    return {};
}
