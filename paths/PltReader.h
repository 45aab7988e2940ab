#pragma once
// The single-pass plot-file reader behind PathProcessor::parsePlt. It understands PU, PD, PA, SP
// and LT; every other character outside them is skipped. Coordinates are integers (plotter
// units, y up as exported); they become the segments of CutPath records in file order.

#include "CutPath.h"

#include <QByteArray>
#include <QString>

class PltReader
{
public:
    // Each byte is taken as its Latin-1 character.
    static CutPathList read(const QByteArray &latin1Text);
    // Each character is taken as its Latin-1 value (0, that is skipped, above U+00FF).
    static CutPathList read(const QString &text);
};
