#include "JobStream.h"

#include "HpglWriter.h"
#include "PathProcessor.h"
#include "PathSorter.h"
#include "PltReader.h"

#include <algorithm>
#include <limits>

namespace {

// Written to the sink whenever the text made so far passes this size.
constexpr int flushSize = 1 << 20;

// The placing steps of the pipelines on one integer point, in their order and with their exact
// arithmetic, so the doubles are those the list transforms would give.
struct Placement
{
    bool scaled = false;
    double minX = 0, minY = 0, factor = 1; // scaleAboutMinCorner
    double height = 0;                     // mirrorY
    double dx = 0, dy = 0;                 // translatePaths (0, 0: not placed on a mark)

    double x(int v) const
    {
        double r = v;
        if (scaled)
            r = (r - minX) / factor + minX;
        return r - dx;
    }
    double y(int v) const
    {
        double r = v;
        if (scaled)
            r = (r - minY) / factor + minY;
        return (height - r) - dy;
    }
    QPointF operator()(const QPoint &p) const { return QPointF(x(p.x()), y(p.y())); }
};

// The text made so far, handed to the sink in pieces of about flushSize.
class BodyWriter
{
public:
    explicit BodyWriter(JobSink &sink) : sink(sink), hpgl(text) { text.reserve(2 * flushSize); }
    HpglWriter &writer() { return hpgl; }
    void append(const char *bytes) { text.append(bytes); }
    bool flush(bool force = false)
    {
        if (!ok || (!force && text.size() < flushSize))
            return ok;
        ok = sink.write(text.constData(), text.size());
        text.resize(0); // reserve() above keeps the room
        return ok;
    }

private:
    JobSink &sink;
    QByteArray text;
    HpglWriter hpgl;
    bool ok = true;
};

// Segments of one path's points, placed; `segments` is reused from path to path.
void placeSegments(const PointPath &path, const Placement &place, QVector<QLineF> &segments)
{
    const int n = int(path.points.size()) - 1;
    segments.resize(n);
    QPointF from = place(path.points[0]);
    for (int i = 0; i < n; ++i) {
        const QPointF to = place(path.points[size_t(i) + 1]);
        segments[i] = QLineF(from, to);
        from = to;
    }
}

// The cutting order: the file's, or the auto sort's on the placed boxes. The placing steps
// never reverse the order of two values, so a placed box is the placed corners of the read box
// (mirroring swaps the top and the bottom).
std::vector<int> cuttingOrder(const PltIndex &index, const Placement &place, bool autoSort)
{
    std::vector<int> order;
    if (!autoSort) {
        order.resize(index.boxes.size());
        for (size_t i = 0; i < order.size(); ++i)
            order[i] = int(i);
        return order;
    }
    std::vector<PathSorter::Entry> entries;
    entries.reserve(index.boxes.size());
    for (size_t i = 0; i < index.boxes.size(); ++i) {
        const PathBox &b = index.boxes[i];
        entries.push_back({place.x(b.minX), place.y(b.maxY), place.y(b.minY), int(i)});
    }
    PathSorter::rowsByHeight(entries);
    PathSorter::orderWithinRows(entries);
    PathSorter::serpentine(entries);
    order.reserve(entries.size());
    for (const PathSorter::Entry &e : entries)
        order.push_back(e.index);
    return order;
}

// Pen-1 paths as markJobCreasing places them: mirrored and placed, nothing dropped.
bool writeCreasing(PltText text, Placement place, BodyWriter &out)
{
    const PltIndex index = PltReader::scan(text.data, text.size);
    PointPath path;
    QVector<QLineF> segments;
    for (const PathStart &start : index.starts) {
        PltReader::readPath(text.data, text.size, start, path);
        placeSegments(path, place, segments);
        out.writer().writeSegments(segments);
        if (!out.flush())
            return false;
    }
    return true;
}

// Pen-2 paths as markJobCutting and blankCutPaths make them.
bool writeCutting(PltText text, Placement place, const JobOptions &options, BodyWriter &out)
{
    const PltIndex index = PltReader::scan(text.data, text.size);
    if (index.boxes.empty())
        return true;
    int minX = std::numeric_limits<int>::max(), minY = minX;
    for (const PathBox &b : index.boxes) {
        minX = std::min(minX, b.minX);
        minY = std::min(minY, b.minY);
    }
    place.scaled = true;
    place.minX = minX;
    place.minY = minY;
    place.factor = options.exportScale;
    const PathProcessor pp;
    PointPath path;
    QVector<QLineF> segments;
    for (const int i : cuttingOrder(index, place, options.autoSort)) {
        PltReader::readPath(text.data, text.size, index.starts[size_t(i)], path);
        placeSegments(path, place, segments);
        segments =
            pp.offsetSegments(std::move(segments), options.knifeOffsetUnits, options.overcutUnits);
        if (!PathProcessor::dropDegenerateSegments(segments))
            continue;
        const PathAttributes &a = path.attributes;
        out.writer().writePen2Path(a.lineType, a.patternLength, a.lineTypeMode, segments,
                                   options.dashUnits, options.gapUnits);
        if (!out.flush())
            return false;
    }
    return true;
}

Result<> finish(JobSink &sink, const QByteArray &trailer)
{
    if (!sink.write(trailer.constData(), trailer.size()))
        return Failure{sink.errorText()};
    return {};
}

// The shortest order looks at every path at once, so it takes the list pipelines.
Result<> writeWhole(const Result<JobText> &job, JobSink &sink)
{
    if (!job)
        return Failure{job.error()};
    const QByteArray text = job->joined();
    if (!sink.write(text.constData(), text.size()))
        return Failure{sink.errorText()};
    return {};
}

QByteArray bytesOf(PltText text)
{
    return QByteArray::fromRawData(text.data, int(text.size));
}

} // namespace

Result<> streamMarkJob(PltText creasing, PltText cutting, const JobFrame &frame,
                       const JobOptions &options, JobSink &sink)
{
    if (options.shortestOrder && !frame.marks.isEmpty()) {
        const QPointF first = frame.marks.constFirst();
        const double height = frame.pageHeight;
        return writeWhole(markJobText(markJobCreasing(bytesOf(creasing), height, first, true),
                                      markJobCutting(bytesOf(cutting), height, first, options),
                                      frame, options),
                          sink);
    }
    // The pieces around the body, and every reason the job cannot be made, come first.
    const Result<JobText> pieces = markJobText({}, {}, frame, options);
    if (!pieces)
        return Failure{pieces.error()};
    const QByteArray head = pieces->header + pieces->markLine;
    if (!sink.write(head.constData(), head.size()))
        return Failure{sink.errorText()};
    const QPoint first = frame.marks.constFirst();
    Placement place;
    place.height = frame.pageHeight;
    place.dx = first.x();
    place.dy = first.y();
    BodyWriter out(sink);
    out.append("IN;PA;SP1;");
    bool ok = writeCreasing(creasing, place, out);
    out.append("PU;SP2;");
    ok = ok && writeCutting(cutting, place, options, out);
    out.append("PU;!PG;;");
    if (!ok || !out.flush(true))
        return Failure{sink.errorText()};
    return finish(sink, pieces->trailer);
}

Result<> streamBlankJob(PltText cutting, const JobFrame &frame, const JobOptions &options,
                        JobSink &sink)
{
    if (options.shortestOrder)
        return writeWhole(
            blankCutJobText(blankCutPaths(bytesOf(cutting), frame.pageHeight, options), frame,
                            options),
            sink);
    const Result<JobText> pieces = blankCutJobText({}, frame, options);
    if (!sink.write(pieces->header.constData(), pieces->header.size()))
        return Failure{sink.errorText()};
    Placement place;
    place.height = frame.pageHeight;
    BodyWriter out(sink);
    out.append("SP2;");
    const bool ok = writeCutting(cutting, place, options, out);
    out.append("PU;!PG;;");
    if (!ok || !out.flush(true))
        return Failure{sink.errorText()};
    return finish(sink, pieces->trailer);
}
