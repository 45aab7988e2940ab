#include "JobPipelines.h"
#include "PathProcessor.h"
#include "ShortestOrder.h"

#include <climits>

namespace {

CutPathList ordered(CutPathList paths, const JobOptions &options)
{
    if (options.shortestOrder)
        return orderShortest(std::move(paths));
    if (options.autoSort)
        return PathProcessor().sortPaths(std::move(paths));
    return paths;
}

} // namespace

CutPathList markJobCreasing(CutPathList paths, double pageHeight, QPointF firstMark,
                            bool shortestOrder)
{
    const PathProcessor pp;
    paths = pp.mirrorY(std::move(paths), pageHeight);
    paths = pp.translatePaths(std::move(paths), firstMark.x(), firstMark.y());
    return shortestOrder ? orderShortest(std::move(paths)) : paths;
}

CutPathList markJobCutting(CutPathList paths, double pageHeight, QPointF firstMark,
                           const JobOptions &options)
{
    const PathProcessor pp;
    paths = pp.scaleAboutMinCorner(std::move(paths), options.exportScale);
    paths = pp.mirrorY(std::move(paths), pageHeight);
    paths = pp.translatePaths(std::move(paths), firstMark.x(), firstMark.y());
    paths = ordered(std::move(paths), options);
    paths = pp.offsetPaths(std::move(paths), options.knifeOffsetUnits, options.overcutUnits);
    return pp.removeDegenerateSegments(std::move(paths));
}

CutPathList blankCutPaths(CutPathList paths, double pageHeight, const JobOptions &options)
{
    const PathProcessor pp;
    paths = pp.scaleAboutMinCorner(std::move(paths), options.exportScale);
    paths = pp.mirrorY(std::move(paths), pageHeight);
    paths = ordered(std::move(paths), options);
    paths = pp.offsetPaths(std::move(paths), options.knifeOffsetUnits, options.overcutUnits);
    return pp.removeDegenerateSegments(std::move(paths));
}

CutPathList markJobCreasing(const QByteArray &pltText, double pageHeight, QPointF firstMark,
                            bool shortestOrder)
{
    return markJobCreasing(PathProcessor().parsePlt(pltText), pageHeight, firstMark, shortestOrder);
}

CutPathList markJobCutting(const QByteArray &pltText, double pageHeight, QPointF firstMark,
                           const JobOptions &options)
{
    return markJobCutting(PathProcessor().parsePlt(pltText), pageHeight, firstMark, options);
}

CutPathList blankCutPaths(const QByteArray &pltText, double pageHeight, const JobOptions &options)
{
    return blankCutPaths(PathProcessor().parsePlt(pltText), pageHeight, options);
}

Result<JobText> markJobText(const CutPathList &creasing, const CutPathList &cutting,
                            const JobFrame &frame, const JobOptions &options)
{
    if (frame.marks.isEmpty())
        return Failure{QStringLiteral("no registration marks: a mark job needs at least one")};
    if (frame.marks.size() > MAX_MARKS)
        return Failure{QStringLiteral("%1 registration marks: a mark job takes at most four")
                           .arg(frame.marks.size())};
    const PathProcessor pp;
    const QPoint first = frame.marks.constFirst();
    const QPoint last = frame.marks.constLast();
    // The mark line carries the distances as ints; marks further apart cannot be sent.
    const qint64 dy = qint64(last.y()) - first.y();
    const qint64 dx = qint64(last.x()) - first.x();
    if (dy < INT_MIN || dy > INT_MAX || dx < INT_MIN || dx > INT_MAX)
        return Failure{QStringLiteral("registration marks too far apart for the mark line")};
    JobText job;
    job.header =
        pp.markHeaderLine(frame.pageHeight, frame.pageWidth, options.realM2XMm, options.realM2YMm);
    job.markLine = pp.markLine(int(dy), int(dx), frame.extraMark);
    job.body = pp.markJobBody(creasing, cutting, options.dashUnits, options.gapUnits);
    job.trailer = pp.trailerLine(frame.pageHeight, frame.pageWidth);
    return job;
}

Result<JobText> blankCutJobText(const CutPathList &paths, const JobFrame &frame,
                                const JobOptions &options)
{
    const PathProcessor pp;
    JobText job;
    job.header = pp.blankHeaderLine(frame.pageHeight, frame.pageWidth);
    job.body = pp.blankJobBody(paths, options.dashUnits, options.gapUnits);
    job.trailer = pp.trailerLine(frame.pageHeight, frame.pageWidth);
    return job;
}
