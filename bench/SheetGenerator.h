#pragma once
// Generator of label sheets as the drawing host's plot export writes them ("IN;", "SP1;", then
// "PU x,y;PD x,y,x,y,...;" per contour, integer plotter units of 1/40 mm, y up, enlarged by the
// export scale). Each label on the grid has three closed contours: a rounded-rectangle die line,
// a circle and a wavy ring, every curve flattened into straight segments.

#include "common/Units.h"

#include <QByteArray>

struct SheetSpec
{
    int paths = 1000;         // contours on the sheet, >= 1 (labels = paths / 3, rounded up)
    int segmentsPerPath = 32; // segments of each contour, >= 8
    double exportScale = EXPORT_SCALE; // enlargement of the export, > 0
};

struct Sheet
{
    QByteArray plt;      // the plot file's text
    int pageHeight = 0;  // plotter units at the drawing's own size (scale 1), for mirroring
    int pageWidth = 0;   // plotter units at scale 1
    int paths = 0;       // contours written
    qint64 segments = 0; // segments written
};

// Deterministic: the same spec always gives the same bytes.
Sheet generateLabelSheet(const SheetSpec &spec);
