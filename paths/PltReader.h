#pragma once
// The single-pass plot-file reader behind PathProcessor::parsePlt. It understands PU, PD, PA, SP
// and LT; every other character outside them is skipped. Coordinates are integers (plotter
// units, y up as exported); they become the segments of CutPath records in file order.

#include "CutPath.h"

#include <QByteArray>
#include <QString>

// Whether a pen change (SP) on a path's last end point starts a new path. The host's exports
// continue the path, as the cutter would draw it; a job text read back for display must not,
// or a cut drawn on from a crease's end would take the crease's pen.
enum class PenChange
{
    ContinuesPath,
    StartsPath
};

class PltReader
{
public:
    // Each byte is taken as its Latin-1 character.
    static CutPathList read(const QByteArray &latin1Text,
                            PenChange penChange = PenChange::ContinuesPath);
    // Each character is taken as its Latin-1 value (0, that is skipped, above U+00FF).
    static CutPathList read(const QString &text);
};
