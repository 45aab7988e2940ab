#include "HpglWriter.h"

#include "WritableLine.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

constexpr double kMaxDashPieces = 1 << 26;

bool isSolid(const CutPath &p)
{
    return p.lineType == 0 && p.patternLength == 0.0 && p.lineTypeMode == 0;
}

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
    for (const CutPath &p : paths) {
        if (p.segments.isEmpty())
            continue;
        if (isSolid(p))
            writeSegments(p.segments);
        else
            writeSegments(dashSplit(p.segments, dash, gap));
    }
    out.append("PU;!PG;");
}

QVector<QLineF> HpglWriter::dashSplit(const QVector<QLineF> &segments, double dash, double gap)
{
    // Without positive finite lengths the split would never advance.
    if (!(dash > 0) || !(gap > 0) || !std::isfinite(dash) || !std::isfinite(gap))
        return segments;
    // A pattern far finer than the path would only make a job no cutter can take, slowly.
    double total = 0;
    for (const QLineF &s : segments) {
        if (isWritable(s))
            total += s.length();
    }
    if (total / std::min(dash, gap) > kMaxDashPieces)
        return segments;
    QVector<QLineF> w = segments;
    QVector<QLineF> o;
    double r = dash;
    bool inDash = true;
    // Splits in a row whose point did not move off the segment's start.
    int stalls = 0;
    for (int i = 0; i < w.size();) {
        const QLineF s = w.at(i);
        const double t = s.length();
        if (!isWritable(s)) {
            // The writer leaves such a segment out anyway, and splitting it need not advance.
            if (inDash)
                o.append(s);
            ++i;
            continue;
        }
        if (r > t) {
            if (inDash)
                o.append(s);
            r -= t;
            ++i;
            stalls = 0;
            continue;
        }
        const QPointF p = s.p1() + (r / t) * (s.p2() - s.p1());
        const bool stalled = p.x() == s.x1() && p.y() == s.y1();
        // A remainder below the coordinates' precision still ends its run at the segment's
        // start. Only when a whole dash and a whole gap both fail to move the point as well
        // would the split never advance; then the run takes the rest of the segment.
        if (r == t || (stalled && stalls >= 2)) {
            if (inDash)
                o.append(s);
            ++i;
            stalls = 0;
        } else {
            if (inDash)
                o.append(QLineF(s.p1(), p));
            w[i] = QLineF(p, s.p2());
            stalls = stalled ? stalls + 1 : 0;
        }
        inDash = !inDash;
        r = inDash ? dash : gap;
    }
    return o;
}
