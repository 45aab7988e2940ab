#include "HpglWriter.h"

#include "WritableLine.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

constexpr double kMaxDashPieces = 1 << 26;

} // namespace

int HpglWriter::formatInt(char *dst, int v)
{
    // Widen first: the magnitude of INT_MIN does not fit an int.
    long long m = v;
    int n = 0;
    if (m < 0) {
        dst[n++] = '-';
        m = -m;
    }
    char tmp[12];
    int k = 0;
    do {
        tmp[k++] = char('0' + m % 10);
        m /= 10;
    } while (m != 0);
    while (k > 0)
        dst[n++] = tmp[--k];
    return n;
}

void HpglWriter::appendPair(const char *prefix, int prefixLen, int y, int x, char suffix)
{
    char buf[40];
    std::memcpy(buf, prefix, size_t(prefixLen));
    int n = prefixLen;
    n += formatInt(buf + n, y);
    buf[n++] = ',';
    n += formatInt(buf + n, x);
    buf[n++] = suffix;
    out.append(buf, n);
}

void HpglWriter::writeSegments(const QVector<QLineF> &segments)
{
    bool started = false;
    bool pdWritten = false;
    QPoint prevEnd;
    for (const QLineF &s : segments) {
        if (!isWritable(s))
            continue;
        const QLine r = s.toLine();
        if (!started) {
            appendPair("PU", 2, r.y1(), r.x1(), ';');
        } else if (r.p1() != prevEnd) {
            out.chop(1); // the "," after the previous pair
            appendPair(";PU", 3, r.y1(), r.x1(), ';');
            out.append("PD", 2);
            pdWritten = true;
        }
        if (!pdWritten) {
            out.append("PD", 2);
            pdWritten = true;
        }
        appendPair("", 0, r.y2(), r.x2(), ',');
        prevEnd = r.p2();
        started = true;
    }
    if (started)
        out[out.size() - 1] = ';';
}

void HpglWriter::writeSection1(const CutPathList &paths)
{
    out.append("IN;PA;SP1;");
    for (const CutPath &p : paths)
        writeSegments(p.segments);
    out.append("PU;");
}

void HpglWriter::writeSection2(const CutPathList &paths, double dash, double gap)
{
    out.append("SP2;");
    for (const CutPath &p : paths)
        writePen2Path(p.lineType, p.patternLength, p.lineTypeMode, p.segments, dash, gap);
    out.append("PU;!PG;");
}

void HpglWriter::writePen2Path(int lineType, double patternLength, int lineTypeMode,
                               const QVector<QLineF> &segments, double dash, double gap)
{
    if (segments.isEmpty())
        return;
    // Any line-type attribute makes the path dashed, as the cutter has no line types of its own.
    if (lineType == 0 && patternLength == 0.0 && lineTypeMode == 0)
        writeSegments(segments);
    else
        writeSegments(dashSplit(segments, dash, gap));
}

QVector<QLineF> HpglWriter::dashSplit(const QVector<QLineF> &segments, double dash, double gap)
{
    // Without positive finite lengths the split would never advance.
    if (!(dash > 0) || !(gap > 0) || !std::isfinite(dash) || !std::isfinite(gap))
        return segments;
    // A pattern far finer than the path would only make a job no cutter can take, slowly. Each
    // dash and its gap together make one piece, so a tiny gap beside a long dash is harmless.
    double total = 0;
    for (const QLineF &s : segments) {
        if (isWritable(s))
            total += s.length();
    }
    if (total / (dash + gap) > kMaxDashPieces)
        return segments;
    QVector<QLineF> rest = segments; // segments still to split; a split shortens the current one
    QVector<QLineF> dashes;
    double runLeft = dash; // length left of the current dash or gap
    bool inDash = true;
    // Splits in a row whose point did not move off the segment's start.
    int stalls = 0;
    for (int i = 0; i < rest.size();) {
        const QLineF segment = rest.at(i);
        const double length = segment.length();
        if (!isWritable(segment)) {
            // The writer leaves such a segment out anyway, and splitting it need not advance.
            if (inDash)
                dashes.append(segment);
            ++i;
            continue;
        }
        if (runLeft > length) {
            if (inDash)
                dashes.append(segment);
            runLeft -= length;
            ++i;
            stalls = 0;
            continue;
        }
        const QPointF runEnd = segment.p1() + (runLeft / length) * (segment.p2() - segment.p1());
        const bool stalled = runEnd.x() == segment.x1() && runEnd.y() == segment.y1();
        // A remainder below the coordinates' precision still ends its run at the segment's
        // start. Only when a whole dash and a whole gap both fail to move the point as well
        // would the split never advance; then the run takes the rest of the segment.
        if (runLeft == length || (stalled && stalls >= 2)) {
            if (inDash)
                dashes.append(segment);
            ++i;
            stalls = 0;
        } else {
            if (inDash)
                dashes.append(QLineF(segment.p1(), runEnd));
            rest[i] = QLineF(runEnd, segment.p2());
            stalls = stalled ? stalls + 1 : 0;
        }
        inDash = !inDash;
        runLeft = inDash ? dash : gap;
    }
    return dashes;
}
