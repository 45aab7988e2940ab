#pragma once
// The single-pass plot-file reader behind PathProcessor::parsePlt. It understands PU, PD, PA, SP
// and LT; every other character outside them is skipped. Coordinates are integers (plotter
// units, y up as exported); they become the segments of CutPath records in file order.
//
// A large file need not be held as paths at all: scan() walks it once and keeps, per path, only
// where it starts (a PathStart) and its box; readPath() reads one path again from its start.

#include "CutPath.h"

#include <QByteArray>
#include <QPoint>
#include <QString>

#include <vector>

// Whether a pen change (SP) on a path's last end point starts a new path. The host's exports
// continue the path, as the cutter would draw it; a job text read back for display must not,
// or a cut drawn on from a crease's end would take the crease's pen.
enum class PenChange
{
    ContinuesPath,
    StartsPath
};

// The pen and line type in force when a path began.
struct PathAttributes
{
    int pen = 0;
    int lineType = 0;
    double patternLength = 0;
    int lineTypeMode = 0;
};

// Where a path begins in the text: its first segment, and the reader's state right after the
// character that completed that segment's end point (every digit field is empty there).
struct PathStart
{
    qint64 resumeAt = 0;     // offset of the character after the one that ended the first pair
    bool inPairList = false; // that character was ',' (more pairs follow), not ';'
    int fromX = 0, fromY = 0, toX = 0, toY = 0; // the first segment, plotter units
    PathAttributes attributes;
};

// The box of a path's segment ends, plotter units as read.
struct PathBox
{
    int minX, minY, maxX, maxY;
};

// What scan() found: one start and one box per path, in file order.
struct PltIndex
{
    std::vector<PathStart> starts;
    std::vector<PathBox> boxes;
};

// One path as integer points: segment i runs from points[i] to points[i + 1].
struct PointPath
{
    PathAttributes attributes;
    std::vector<QPoint> points;
};

class PltReader
{
public:
    // Each byte is taken as its Latin-1 character.
    static CutPathList read(const QByteArray &latin1Text,
                            PenChange penChange = PenChange::ContinuesPath);
    // Each character is taken as its Latin-1 value (0, that is skipped, above U+00FF).
    static CutPathList read(const QString &text);

    // The paths read() would give (pens continuing paths), as starts and boxes only.
    static PltIndex scan(const char *text, qint64 size);
    // Reads the path that begins at `start` into `path` (its points storage reused).
    static void readPath(const char *text, qint64 size, const PathStart &start, PointPath &path);
};
