// Overcut and drag-knife compensation. A drag knife's tip trails its axis by the knife offset d:
// every segment is pushed forward along itself by d, and at each corner the axis swings about
// the corner of the unshifted path on an arc of radius d, in more pieces the sharper the turn.

#include "PathProcessor.h"

#include <cmath>

namespace {

// Extends a closed path by cutting its start again for `overcut`, over appended copies of its
// segments (an overcut longer than the path laps it again). The cap (four more laps and 4096
// segments) is far beyond any real overcut; it stops an absurd one from exhausting memory.
void appendOvercut(QVector<QLineF> &w, double overcut)
{
    double r = overcut;
    const int cap = int(qMin<qint64>(qint64(w.size()) * 5 + 4096, 1 << 28));
    for (int i = 0; i < w.size() && w.size() < cap; ++i) {
        const QLineF s = w.at(i);
        if (PathProcessor::pointsEqual(s.p1(), s.p2()))
            continue;
        const double t = s.length();
        if (r > t) {
            w.append(s);
            r -= t;
        } else if (qFuzzyCompare(r, t)) {
            w.append(s);
            return;
        } else {
            w.append(QLineF(s.p1(), s.p1() + (r / t) * (s.p2() - s.p1())));
            return;
        }
    }
}

// Shifts every segment forward along itself by d, in place. A segment without a usable direction
// (zero length, or a coordinate that is not finite) cannot be shifted; left in, it would poison
// its own corner and the next one, so it is dropped here.
void shiftForward(QVector<QLineF> &w, double d)
{
    int kept = 0;
    for (int i = 0; i < w.size(); ++i) {
        const QLineF s = w.at(i);
        const double t = s.length();
        if (!(t > 0) || !std::isfinite(t))
            continue;
        w[kept++] = s.translated((d / t) * (s.p2() - s.p1()));
    }
    w.resize(kept);
}

// A line's angle (QLineF::angle, an atan2) computed only when a corner needs it; every shifted
// segment is the second line of one corner and the first of the next.
class Heading
{
public:
    explicit Heading(const QLineF &l) : line(l) {}
    double angle()
    {
        if (!known) {
            value = line.angle();
            known = true;
        }
        return value;
    }
    bool null() const { return line.isNull(); }

private:
    QLineF line;
    double value = 0;
    bool known = false;
};

// The turn from one heading to the next, counter-clockwise in degrees, 0 to under 360, on cached
// angles. Unlike QLineF::angleTo, a turn a rounding error short of a full circle counts as none
// (angleTo gives 359.99...); arcPieces makes one joining segment of either.
double turn(Heading &from, Heading &to)
{
    if (from.null() || to.null())
        return 0;
    const double delta = to.angle() - from.angle();
    const double normalized = delta < 0 ? delta + 360 : delta;
    return qFuzzyCompare(normalized, 360.0) ? 0 : normalized;
}

// Most corners of a flattened curve turn by a few degrees. A turn whose cosine is clearly above
// cos 30 degrees lies in the straight band whatever the rounding of the exact angles (the margin
// is 7e-5 degrees, their error below 1e-12), so it needs no angles at all.
bool clearlyStraight(const QLineF &n, const QLineF &r)
{
    const double ux = n.dx(), uy = n.dy(), vx = r.dx(), vy = r.dy();
    const double dot = ux * vx + uy * vy;
    constexpr double k = 0.866026; // cos 30 degrees is 0.8660254...
    return dot > 0 && dot * dot > k * k * ((ux * ux + uy * uy) * (vx * vx + vy * vy));
}

// Pieces of the corner arc for a turn of S degrees (0: straight on); 1 joins by one segment,
// 0 appends nothing (S outside [0, 360]).
int arcPieces(double s)
{
    if (s >= 150 && s < 210)
        return 7;
    if ((s >= 120 && s < 150) || (s >= 210 && s < 240))
        return 6;
    if ((s >= 90 && s < 120) || (s >= 240 && s < 270))
        return 5;
    if ((s >= 60 && s < 90) || (s >= 270 && s < 300))
        return 4;
    if ((s >= 30 && s < 60) || (s >= 300 && s < 330))
        return 3;
    if ((s >= 0 && s < 30) || (s >= 330 && s <= 360))
        return 1;
    return 0;
}

} // namespace

QVector<QLineF> PathProcessor::cornerArc(const QLineF &n, const QLineF &r, int pieces) const
{
    QVector<QLineF> arc;
    const QPointF p0 = n.p2();
    if (pieces < 2) {
        arc.append(QLineF(p0, r.p1()));
        return arc;
    }
    QPointF c;
    QPointF ip;
    const QLineF::IntersectionType kind = n.intersects(r, &ip);
    if (kind != QLineF::NoIntersection && QLineF(p0, ip).length() <= 400.0)
        c = ip;
    else
        c = (p0 + r.p1()) / 2.0;
    const double a = n.angleTo(r);
    const double step = a < 180 ? -a / pieces : (360 - a) / pieces;
    arc.reserve(pieces);
    QPointF prev = p0;
    for (int k = 1; k < pieces; ++k) {
        const double theta = k * step * pi / 180;
        const double x =
            (p0.x() - c.x()) * std::cos(theta) - (p0.y() - c.y()) * std::sin(theta) + c.x();
        const double y =
            (p0.x() - c.x()) * std::sin(theta) + (p0.y() - c.y()) * std::cos(theta) + c.y();
        const QPointF pk(x, y);
        arc.append(QLineF(prev, pk));
        prev = pk;
    }
    arc.append(QLineF(prev, r.p1()));
    return arc;
}

CutPathList PathProcessor::offsetPaths(CutPathList paths, double knifeOffset, double overcut) const
{
    if (knifeOffset == 0 && overcut == 0)
        return paths;
    CutPathList out;
    out.reserve(paths.size());
    for (CutPath &path : paths) {
        QVector<QLineF> w = std::move(path.segments);
        path.segments = QVector<QLineF>();
        CutPath result = path;
        result.segments = offsetSegments(std::move(w), knifeOffset, overcut);
        out.append(result);
    }
    return out;
}

QVector<QLineF> PathProcessor::offsetSegments(QVector<QLineF> w, double knifeOffset,
                                              double overcut) const
{
    if (knifeOffset == 0 && overcut == 0)
        return w;
    if (overcut > 0 && isClosedPath(w))
        appendOvercut(w, overcut);
    shiftForward(w, knifeOffset);
    return knifeCompensated(w);
}

QVector<QLineF> PathProcessor::knifeCompensated(const QVector<QLineF> &shifted) const
{
    QVector<QLineF> compensated;
    if (shifted.isEmpty())
        return compensated;
    compensated.reserve(shifted.size() + shifted.size() / 4);
    QLineF incoming = shifted.at(0);
    Heading incomingHeading(incoming);
    compensated.append(incoming);
    const int last = shifted.size() - 1;
    for (int i = 1; i <= last; ++i) {
        const QLineF outgoing = shifted.at(i);
        Heading outgoingHeading(outgoing);
        const int pieces = clearlyStraight(incoming, outgoing)
                               ? 1
                               : arcPieces(turn(incomingHeading, outgoingHeading));
        if (pieces >= 2) {
            compensated += cornerArc(incoming, outgoing, pieces);
            compensated.append(outgoing);
        } else if (pieces == 1 && i != last) {
            compensated.append(QLineF(incoming.p2(), outgoing.p2()));
        } else if (pieces == 1) {
            compensated.append(QLineF(incoming.p2(), outgoing.p1()));
            compensated.append(outgoing);
        }
        incoming = outgoing;
        incomingHeading = outgoingHeading;
    }
    return compensated;
}
