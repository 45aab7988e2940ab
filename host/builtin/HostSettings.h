#pragma once
// The built-in host's own settings, apart from the companion's: the cut margin that "Create
// Boundary" grows each island by, the print bleed around it, and what the host window's View menu
// shows. Kept in an INI file in the user's configuration folder, written as soon as a value
// changes, whole or not at all: a setter that fails names the file and the reason, and the old
// file stays, while the value set holds for the rest of the run.

#include "common/Result.h"
#include "settings/Settings.h"

#include <QString>

namespace HostSettings {

// "Cut margin (mm)", Setting::CutMargin; 0 cuts on the art's edge.
double cutMarginMm();
Result<> setCutMarginMm(double mm);

// "Print bleed (mm)", Setting::Bleed: how far "Create Boundary" runs the print on past each
// contour, 0 for none.
double bleedMm();
Result<> setBleedMm(double mm);

// The View menu's switches, all on by default.
enum class Overlay
{
    CutLines,
    CreaseLines,
    MarkZones
};
bool shows(Overlay overlay);
Result<> setShows(Overlay overlay, bool on);

// The file the settings live in; tests point it at a folder of their own (and the values set
// before are forgotten).
QString filePath();
void setFilePath(const QString &path);

} // namespace HostSettings
