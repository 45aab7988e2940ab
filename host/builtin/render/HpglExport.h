#pragma once
// Writes a document's page as HPGL, the way the drawing application's plot filter does for the
// settings a caller sets on the export filter: integer plotter coordinates (PlotterUnits per
// inch, 1016 is HPGL's 40 per millimetre), origin at the page's lower-left corner (or its centre),
// y up, nothing clipped to the page. Only curves of printable, visible layers are written; text
// and images never are. Curves are flattened to within CurveResolution; each distinct outline
// colour gets its own pen (SP1, SP2, ... in order of first use); dashed outlines are written
// under "LT2,4,1;" and solid ones under "LT;".

#include "model/HostDocument.h"

#include <QByteArray>

struct HpglOptions
{
    double scalePercent = 100.0;    // ScaleFactor, 1-10000
    int plotterUnits = 1016;        // units per inch, 1-100000
    int plotterOrigin = 1;          // 1 lower-left page corner, 0 page centre
    double curveResolution = 0.001; // inches at output size, > 0
    bool fitToPage = false;         // scale the drawing's box into pageWidth x pageHeight
    double pageWidth = 0.0;         // inches, > 0
    double pageHeight = 0.0;        // inches, > 0
};

namespace HpglExport {

// The plot text for the active page (or only the selected shapes when selectionOnly).
QByteArray write(const HostDocument &doc, const HpglOptions &options, bool selectionOnly);

} // namespace HpglExport
