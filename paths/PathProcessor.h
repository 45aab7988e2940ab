#pragma once
// Glossary: a plotter unit is 1/40 mm. Plot files (PLT, HPGL) give integer coordinates with y up;
// after mirroring, y runs down from the page's top edge. A "section" is one pen's part of the
// job text: pen 1 creases, pen 2 cuts. All lengths below are plotter units unless stated.

#include "CutPath.h"
#include "common/Result.h"

#include <QByteArray>
#include <QLineF>
#include <QPointF>
#include <QString>
#include <QVector>

// The stateless path engine: reader, model queries, transforms and job-text writers. Every
// transform takes its list by value and returns a new list; pass it with std::move to let the
// engine reuse the storage (the caller's copy is never changed either way).
class PathProcessor
{
public:
    PathProcessor();

    // --- Reading -------------------------------------------------------------------------------
    // Whole file as text; an empty path or an unreadable file gives an empty text, silently.
    QString readTextFile(const QString &filePath) const;
    // Whole file as raw bytes with an error text ("cannot open ...") for callers that report.
    static Result<QByteArray> readFileBytes(const QString &filePath);
    // The single-pass plot-file reader. Both overloads give identical lists: the QString one
    // takes each character's Latin-1 value, the byte one each byte (the fast road for files).
    CutPathList parsePlt(const QString &text) const;
    CutPathList parsePlt(const QByteArray &latin1Text) const;

    // --- Model queries -------------------------------------------------------------------------
    // Qt's fuzzy comparison, coordinate by coordinate (QPointF::operator== is exactly that).
    static bool pointsEqual(const QPointF &a, const QPointF &b) { return a == b; }
    // Bounding-box corners of a path's segment ends; (0, 0) for an empty path or list.
    QPointF maxCorner(const CutPath &path) const;
    QPointF minCorner(const CutPath &path) const;
    QPointF minCornerOfAll(const CutPathList &paths) const;

    // --- Transforms ----------------------------------------------------------------------------
    // Every point p becomes (p - m) / factor + m with m = minCornerOfAll(paths); factor != 0.
    CutPathList scaleAboutMinCorner(CutPathList paths, double factor) const;
    // Every point (x, y) becomes (x, height - y).
    CutPathList mirrorY(CutPathList paths, double height) const;
    // Every point (x, y) becomes (x - dx, y - dy).
    CutPathList translatePaths(CutPathList paths, double dx, double dy) const;
    // Auto sort: rows from the top down, serpentine within rows (first row left to right).
    CutPathList sortPaths(CutPathList paths) const;
    // Overcut of closed paths by `overcut`, then drag-knife compensation by `knifeOffset` with
    // corner arcs. Both >= 0; both exactly 0 returns the input unchanged. Zero-length and
    // non-finite segments are dropped before the knife step, since they have no direction. An
    // absurd overcut stops after four laps of the path's segments plus 4096 more.
    CutPathList offsetPaths(CutPathList paths, double knifeOffset, double overcut) const;
    // The same on one path's segments.
    QVector<QLineF> offsetSegments(QVector<QLineF> segments, double knifeOffset,
                                   double overcut) const;
    // The `pieces` segments of an arc from n's end to r's start about the corner of their lines.
    QVector<QLineF> cornerArc(const QLineF &n, const QLineF &r, int pieces) const;
    // True when the segments join end to start and the last ends where the first began.
    bool isClosedPath(const QVector<QLineF> &segments) const;
    // Drops segments that vanish after rounding, hold NaN/infinity or do not fit the writer's
    // integer range; then drops paths left empty.
    CutPathList removeDegenerateSegments(CutPathList paths) const;
    // The same on one path's segments, in place; false when none is left.
    static bool dropDegenerateSegments(QVector<QLineF> &segments);

    // --- Writing -------------------------------------------------------------------------------
    // Cuts one path into dashes of `dash` separated by gaps of `gap` (both > 0 for progress;
    // non-positive values leave the segments whole rather than loop, and so does a pattern that
    // would cut the path into more than 2^26 pieces).
    QVector<QLineF> dashSplit(const QVector<QLineF> &segments, double dash, double gap) const;
    // "IN;PA;SP1;" + every path solid + "PU;".
    QString writePen1Section(const CutPathList &paths) const;
    // "SP2;" + every path (dashed when any line-type attribute is non-zero) + "PU;!PG;".
    QString writePen2Section(const CutPathList &paths, double dash, double gap) const;
    // Byte versions of the two writers (ASCII; identical text), appended to `out`.
    void appendPen1Section(QByteArray &out, const CutPathList &paths) const;
    void appendPen2Section(QByteArray &out, const CutPathList &paths, double dash,
                           double gap) const;

    // --- Job-text pieces (ASCII) ---------------------------------------------------------------
    // "CMD:20,H,W,A,B,0;" with A and B the mark distances in plotter units, moved by the
    // cutter's fixed amounts (JobTextPieces.cpp).
    QByteArray markHeaderLine(int pageHeight, int pageWidth, double realM2XMm,
                              double realM2YMm) const;
    // "CMD:20,H,W,0,0,1;"
    QByteArray blankHeaderLine(int pageHeight, int pageWidth) const;
    // "MD0,0,DY,DX,N;" (DY, DX plotter units between the first and the last mark; N 0..2).
    QByteArray markLine(int dy, int dx, int extraMark) const;
    // pen-1(creasing) + pen-2(cutting) + ";"
    QByteArray markJobBody(const CutPathList &creasing, const CutPathList &cutting, double dash,
                           double gap) const;
    // pen-2(paths) + ";"
    QByteArray blankJobBody(const CutPathList &paths, double dash, double gap) const;
    // "CMD:22,H,W;"
    QByteArray trailerLine(int pageHeight, int pageWidth) const;

private:
    // The corners of the knife step, on one path's segments already shifted forward.
    QVector<QLineF> knifeCompensated(const QVector<QLineF> &shifted) const;

    double pi;
};
