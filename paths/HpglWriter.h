#pragma once
// Appends paths to job text as HPGL pen moves: "PU y,x;" to a path's start, then "PD" and the
// end points "y,x" (y first), with a pen-up move wherever two rounded segments do not join.
// Segments that cannot be rounded (NaN, infinite, beyond the 32-bit range) are left out.

#include "CutPath.h"

#include <QByteArray>

class HpglWriter
{
public:
    explicit HpglWriter(QByteArray &out) : out(out) {}

    void writeSection1(const CutPathList &paths);
    void writeSection2(const CutPathList &paths, double dash, double gap);
    void writeSegments(const QVector<QLineF> &segments);
    // One path of the pen-2 section: solid, or dashed when any line-type attribute is non-zero.
    void writePen2Path(int lineType, double patternLength, int lineTypeMode,
                       const QVector<QLineF> &segments, double dash, double gap);

    // The dash cutter of the pen-2 section; see PathProcessor::dashSplit.
    static QVector<QLineF> dashSplit(const QVector<QLineF> &segments, double dash, double gap);
    // Decimal digits of v, "-" first when negative; returns the count written (at most 11).
    static int formatInt(char *dst, int v);

private:
    void appendPair(const char *prefix, int prefixLen, int y, int x, char suffix);

    QByteArray &out;
};
