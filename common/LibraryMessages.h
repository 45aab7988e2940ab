#pragma once
// Warnings Qt's own modules print that say nothing to a user of this program: QtSvg's remarks on
// SVG features it skips (the sheet is drawn by librsvg), libpng's remarks on a picture's colour
// profile and on a failed write (reported with its reason by the writer), a missing runtime
// folder. They are dropped; every other message goes where it went before.

// Installs the filter; once, at the start of an executable.
void dropLibraryNoise();
