#pragma once
// The two job pipelines (mark job, blank-cut job) and the assembly of their job text. The
// window's save and send commands, `cutjob build` and `cutjob sheet` all call these, so the
// job they produce cannot drift apart. Lengths are plotter units (1/40 mm) unless stated.

#include "CutPath.h"
#include "common/Result.h"
#include "common/Units.h"
#include "settings/Settings.h"

#include <QByteArray>
#include <QPoint>
#include <QPointF>
#include <QString>
#include <QVector>

// Plain settings of one job; the caller converts the lengths of the path steps to plotter units
// (mm * 40), while the header's mark distances stay millimetres as the cutter takes them.
struct JobOptions
{
    bool autoSort = false; // serpentine sort of the cutting paths
    // Nearest neighbour + 2-opt order of each pen's paths (orderShortest); before autoSort.
    bool shortestOrder = false;
    double knifeOffsetUnits = 0.0; // drag-knife offset d, >= 0; 0 when the knife box is off
    double overcutUnits = 0.0;     // overcut c of closed paths, >= 0; 0 when the close box is off
    // Dash length D (> 0) for paths with a line type, and gap length G (> 0).
    double dashUnits = Setting::PosLen.value * UNITS_PER_MM;
    double gapUnits = Setting::NegLen.value * UNITS_PER_MM;
    double exportScale = EXPORT_SCALE; // enlargement of the cutting export to undo (> 0)
    // Within the RMX and RMY boxes' ranges: mark distances sent in the header.
    double realM2XMm = Setting::RealM2X.value;
    double realM2YMm = Setting::RealM2Y.value;
};

// Page and mark read-back of a job (integers, plotter units, y down from the page's top edge).
struct JobFrame
{
    int pageHeight = 0;    // H
    int pageWidth = 0;     // W
    QVector<QPoint> marks; // mark centres in read-back order (by y, then x); mark job: 1..4
    int extraMark = 0;     // N, extra-mark position code 0, 1 or 2
};

// The four pieces of the job text, ASCII, sent one at a time or saved joined.
struct JobText
{
    QByteArray header;
    QByteArray markLine; // empty for a blank-cut job
    QByteArray body;
    QByteArray trailer;

    QByteArray joined() const { return header + markLine + body + trailer; }
};

// Mark job, creasing steps: parse, mirror against pageHeight, place relative to firstMark, and
// with `shortestOrder` put in the shortest order.
CutPathList markJobCreasing(const QByteArray &pltText, double pageHeight, QPointF firstMark,
                            bool shortestOrder = false);
// Mark job, cutting steps: parse, undo the export scale, mirror, place, sort if asked, offset
// and overcut, remove degenerate segments.
CutPathList markJobCutting(const QByteArray &pltText, double pageHeight, QPointF firstMark,
                           const JobOptions &options);
// Blank-cut job: as the cutting steps but without placing against a mark.
CutPathList blankCutPaths(const QByteArray &pltText, double pageHeight, const JobOptions &options);

// The same pipelines on lists already read (by value; pass with std::move to save memory).
CutPathList markJobCreasing(CutPathList paths, double pageHeight, QPointF firstMark,
                            bool shortestOrder = false);
CutPathList markJobCutting(CutPathList paths, double pageHeight, QPointF firstMark,
                           const JobOptions &options);
CutPathList blankCutPaths(CutPathList paths, double pageHeight, const JobOptions &options);

// Mark-job text: header, mark line (DY, DX from the first and last of frame.marks), body
// (pen 1 creasing, pen 2 cutting), trailer. Fails when frame.marks is empty, holds more than
// four marks, or two marks too far apart for the mark line.
Result<JobText> markJobText(const CutPathList &creasing, const CutPathList &cutting,
                            const JobFrame &frame, const JobOptions &options);
// Blank-cut text: header, no mark line, body (pen 2 only), trailer. frame.marks is ignored.
// Never fails; a Result like the mark job's so callers take either the same way.
Result<JobText> blankCutJobText(const CutPathList &paths, const JobFrame &frame,
                                const JobOptions &options);
