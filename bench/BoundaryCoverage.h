#pragma once
// How closely "Create Boundary" follows the print of a drawing: the contours at offset 0 against
// librsvg's rendering of the same drawing at the same scale. A pixel is printed where the
// drawing's alpha reaches one half, and nothing prints where it stays under an eighth outside
// the print's holes; a pixel is inside a contour where the contours cover half of it.
// The tool vx-boundary-corpus runs it over any drawings; the corpus test over its own.

#include "common/Result.h"

#include <QString>

namespace BoundaryCoverage {

struct Shares
{
    double printedOutside = 0;   // of the printed area, the part outside every contour
    double contourUnprinted = 0; // of the area inside contours, the part where nothing prints
    int contours = 0;
    // Both at most 1 %.
    bool passes() const { return printedOutside <= 0.01 && contourUnprinted <= 0.01; }
};

// Opens the drawing in the built-in host, makes its boundary as the window does, and compares
// them on 16 million pixels (at most 2400 dpi). Fails when the drawing cannot be opened, drawn
// or outlined.
Result<Shares> compare(const QString &svgPath);

} // namespace BoundaryCoverage
