// Overcut and drag-knife compensation: the band table at its edges, the corner arc's centre and
// radius, overcut lengths, and segments without a direction.

#include "PathText.h"
#include "paths/PathProcessor.h"

#include <QRandomGenerator>
#include <QTest>

#include <cmath>
#include <limits>

namespace {

// First segment heads along +x; the second turns so that first.angleTo(second) is `s`
// degrees (Qt's angles count counter-clockwise with y pointing down the screen).
QVector<QLineF> bend(double s)
{
    const QLineF first(0, 0, 1000, 0);
    QLineF second = QLineF::fromPolar(1000, s).translated(1000, 0);
    // Exact directions at the axes, so the band edges are met exactly.
    if (s == 90)
        second = QLineF(1000, 0, 1000, -1000);
    else if (s == 180)
        second = QLineF(1000, 0, 0, 0);
    else if (s == 270)
        second = QLineF(1000, 0, 1000, 1000);
    return {first, second};
}

CutPathList single(const QVector<QLineF> &segments)
{
    CutPath p;
    p.pen = 2;
    p.lineType = 1;
    p.segments = segments;
    return {p};
}

// The overcut and knife step written again from their description, sharing no code with the
// engine: the arc points come from the centre by polar angle instead of a rotation.
QVector<QLineF> literalArc(const QLineF &n, const QLineF &r, int pieces)
{
    const QPointF corner = n.p2();
    QPointF centre = (corner + r.p1()) / 2.0;
    QPointF crossing;
    if (n.intersects(r, &crossing) != QLineF::NoIntersection &&
        std::hypot(crossing.x() - corner.x(), crossing.y() - corner.y()) <= 400.0)
        centre = crossing;
    const double turn = n.angleTo(r);
    const double sweep = (turn < 180 ? -turn : 360 - turn) * M_PI / 180;
    const double radius = std::hypot(corner.x() - centre.x(), corner.y() - centre.y());
    const double start = std::atan2(corner.y() - centre.y(), corner.x() - centre.x());
    QVector<QLineF> arc;
    QPointF from = corner;
    for (int k = 1; k < pieces; ++k) {
        const double angle = start + sweep * k / pieces;
        const QPointF to = centre + radius * QPointF(std::cos(angle), std::sin(angle));
        arc.append(QLineF(from, to));
        from = to;
    }
    arc.append(QLineF(from, r.p1()));
    return arc;
}

bool hasDirection(const QLineF &s)
{
    const double length = std::hypot(s.dx(), s.dy());
    return length > 0 && std::isfinite(length);
}

// A closed path is cut again from its start for `overcut`, lapping it when it is longer.
QVector<QLineF> literalOvercut(QVector<QLineF> in, double overcut)
{
    bool closed = !in.isEmpty() && in.last().p2() == in.first().p1();
    for (int i = 1; closed && i < in.size(); ++i)
        closed = in[i].p1() == in[i - 1].p2();
    if (!closed || overcut <= 0)
        return in;
    QVector<QLineF> turning;
    for (const QLineF &s : in) {
        if (s.p1() != s.p2())
            turning.append(s);
    }
    double left = overcut;
    for (int i = 0; !turning.isEmpty(); i = (i + 1) % turning.size()) {
        const QLineF s = turning[i];
        const double length = s.length();
        if (left > length) {
            in.append(s);
            left -= length;
        } else {
            in.append(qFuzzyCompare(left, length) ? s : QLineF(s.p1(), s.pointAt(left / length)));
            break;
        }
    }
    return in;
}

QVector<QLineF> literalKnife(const QVector<QLineF> &in, double d, double overcut)
{
    QVector<QLineF> w;
    for (const QLineF &s : literalOvercut(in, overcut)) {
        if (hasDirection(s))
            w.append(s.translated(d / s.length() * (s.p2() - s.p1())));
    }
    QVector<QLineF> o;
    if (w.isEmpty())
        return o;
    o.append(w[0]);
    for (int i = 1; i < w.size(); ++i) {
        const QLineF n = w[i - 1];
        const QLineF r = w[i];
        const double s = n.angleTo(r);
        int pieces = 0;
        if (s >= 150 && s < 210)
            pieces = 7;
        else if ((s >= 120 && s < 150) || (s >= 210 && s < 240))
            pieces = 6;
        else if ((s >= 90 && s < 120) || (s >= 240 && s < 270))
            pieces = 5;
        else if ((s >= 60 && s < 90) || (s >= 270 && s < 300))
            pieces = 4;
        else if ((s >= 30 && s < 60) || (s >= 300 && s < 330))
            pieces = 3;
        if (pieces) {
            o += literalArc(n, r, pieces);
            o.append(r);
        } else if ((s >= 0 && s < 30) || (s >= 330 && s <= 360)) {
            if (i + 1 < w.size()) {
                o.append(QLineF(n.p2(), r.p2()));
            } else {
                o.append(QLineF(n.p2(), r.p1()));
                o.append(r);
            }
        }
    }
    return o;
}

// Equal within rounding: the arcs are computed another way.
bool nearlySame(const QLineF &a, const QLineF &b)
{
    const auto near = [](double u, double v) { return std::fabs(u - v) <= 1e-6; };
    return near(a.x1(), b.x1()) && near(a.y1(), b.y1()) && near(a.x2(), b.x2()) &&
           near(a.y2(), b.y2());
}

} // namespace

class OffsetTest : public QObject
{
    Q_OBJECT

private slots:
    void bothOffReturnsInputUnchanged();
    void bands_data();
    void bands();
    void cornerArc_data();
    void cornerArc();
    void overcutLength_data();
    void overcutLength();
    void overcutSquareExtraSegment();
    void gentleBendIsReplacedByOneSegment();
    void absurdOvercutStops_data();
    void absurdOvercutStops();
    void directionlessSegments_data();
    void directionlessSegments();
    void pathsWithoutDirectionlessSegmentsUnchanged();
    void matchesLiteralKnifeStep_data();
    void matchesLiteralKnifeStep();
};

void OffsetTest::bothOffReturnsInputUnchanged()
{
    const QString text = "0,0>10,0 10,0>10,10 10,10>0,0 | 5,5>5,5";
    QCOMPARE(describe(PathProcessor().offsetPaths(pathsFrom(text), 0, 0)), text);
}

void OffsetTest::bands_data()
{
    QTest::addColumn<double>("angle");
    QTest::addColumn<int>("segments"); // of the knife output for the two-segment bend
    // Arc of n pieces: first segment, n pieces, second segment. A gentle bend at the last
    // segment: first, joining segment, second.
    const double rows[][2] = {{0, 3},    {20, 3},    {29.9, 3},  {30.1, 5},  {59.9, 5},  {60.1, 6},
                              {89.9, 6}, {90, 7},    {119.9, 7}, {120.1, 8}, {149.9, 8}, {150.1, 9},
                              {180, 9},  {209.9, 9}, {210.1, 8}, {239.9, 8}, {240.1, 7}, {269.9, 7},
                              {270, 6},  {299.9, 6}, {300.1, 5}, {329.9, 5}, {330.1, 3}, {340, 3}};
    for (const auto &r : rows)
        QTest::addRow("S=%g", r[0]) << r[0] << int(r[1]);
}

void OffsetTest::bands()
{
    QFETCH(double, angle);
    QFETCH(int, segments);
    const QVector<QLineF> w = bend(angle);
    QVERIFY(qAbs(w[0].angleTo(w[1]) - angle) < 1e-9 || (angle == 0 && w[0].angleTo(w[1]) < 1e-9));
    const CutPathList out = PathProcessor().offsetPaths(single(w), 10, 0);
    QCOMPARE(out.size(), 1);
    QCOMPARE(out[0].segments.size(), segments);
    QCOMPARE(out[0].pen, 2);
    QCOMPARE(out[0].lineType, 1);
    // Both real segments come out shifted forward by the knife offset.
    QCOMPARE(out[0].segments.first(), w[0].translated(10, 0));
    const QLineF last = out[0].segments.last();
    QVERIFY(qAbs(last.length() - 1000) < 1e-9);
    QVERIFY(qAbs(QLineF(w[1].p2(), last.p2()).length() - 10) < 1e-9);
}

void OffsetTest::cornerArc_data()
{
    QTest::addColumn<QLineF>("n");
    QTest::addColumn<QLineF>("r");
    QTest::addColumn<int>("pieces");
    QTest::addColumn<QPointF>("centre");
    QTest::addColumn<bool>("evenSteps"); // the turn about the centre lands on r's start
    // The knife-shifted lines of a right-angle corner at (1000, 0).
    QTest::newRow("right angle, centre at the corner")
        << QLineF(10, 0, 1010, 0) << QLineF(1000, -10, 1000, -1010) << 5 << QPointF(1000, 0)
        << true;
    QTest::newRow("right angle the other way")
        << QLineF(10, 0, 1010, 0) << QLineF(1000, 10, 1000, 1010) << 4 << QPointF(1000, 0) << true;
    QTest::newRow("corner farther than 10 mm: midpoint")
        << QLineF(500, 0, 1500, 0) << QLineF(1000, -500, 1000, -1500) << 5 << QPointF(1250, -250)
        << false;
    QTest::newRow("reversal, parallel lines: midpoint")
        << QLineF(10, 0, 1010, 0) << QLineF(990, 0, -10, 0) << 7 << QPointF(1000, 0) << true;
    QTest::newRow("one piece joins directly")
        << QLineF(10, 0, 1010, 0) << QLineF(1000, -10, 1000, -1010) << 1 << QPointF() << true;
}

void OffsetTest::cornerArc()
{
    QFETCH(QLineF, n);
    QFETCH(QLineF, r);
    QFETCH(int, pieces);
    QFETCH(QPointF, centre);
    QFETCH(bool, evenSteps);
    const QVector<QLineF> arc = PathProcessor().cornerArc(n, r, pieces);
    QCOMPARE(arc.size(), pieces);
    QCOMPARE(arc.first().p1(), n.p2());
    QCOMPARE(arc.last().p2(), r.p1());
    for (int i = 1; i < arc.size(); ++i)
        QCOMPARE(arc[i].p1(), arc[i - 1].p2());
    if (pieces < 2)
        return;
    const double radius = QLineF(centre, n.p2()).length();
    for (const QLineF &s : arc)
        QVERIFY2(qAbs(QLineF(centre, s.p2()).length() - radius) < 1e-6, qPrintable(describe(arc)));
    // Every vertex but the last is turned from n's end by whole steps, so those pieces are
    // equal; the last reaches r's start, with an equal step only when the turn lands there.
    const int even = evenSteps ? arc.size() : arc.size() - 1;
    for (int i = 1; i < even; ++i)
        QVERIFY(qAbs(arc[i].length() - arc[0].length()) < 1e-6);
}

void OffsetTest::overcutLength_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<double>("overcut");
    QTest::addColumn<double>("length");
    const QString square400 = "0,0>400,0 400,0>400,400 400,400>0,400 0,400>0,0";
    const QString square10 = "0,0>10,0 10,0>10,10 10,10>0,10 0,10>0,0";
    QTest::newRow("square 400, overcut 20") << square400 << 20.0 << 1620.0;
    QTest::newRow("overcut ends exactly at a corner") << square400 << 400.0 << 2000.0;
    QTest::newRow("overcut longer than the path laps it") << square10 << 50.0 << 90.0;
    QTest::newRow("overcut of exactly one lap") << square10 << 4 * 10.0 << 80.0;
    QTest::newRow("open path gets no overcut") << "0,0>400,0 400,0>400,400" << 20.0 << 800.0;
    QTest::newRow("zero-length segments are not counted")
        << "0,0>0,0 0,0>10,0 10,0>10,10 10,10>0,10 0,10>0,0" << 15.0 << 55.0;
    QTest::newRow("closed path of one point stays empty") << "5,5>5,5 5,5>5,5" << 20.0 << 0.0;
}

void OffsetTest::overcutLength()
{
    QFETCH(QString, path);
    QFETCH(double, overcut);
    QFETCH(double, length);
    const PathProcessor pp;
    // Knife off: zero-length arc pieces appear at the corners and the clean-up removes them.
    const CutPathList out =
        pp.removeDegenerateSegments(pp.offsetPaths(pathsFrom(path), 0, overcut));
    double sum = 0;
    for (const CutPath &p : out)
        sum += totalLength(p.segments);
    QVERIFY2(qAbs(sum - length) < 1e-9, qPrintable(QString::number(sum)));
}

void OffsetTest::overcutSquareExtraSegment()
{
    const PathProcessor pp;
    const CutPathList out = pp.removeDegenerateSegments(
        pp.offsetPaths(pathsFrom("0,0>400,0 400,0>400,400 400,400>0,400 0,400>0,0"), 0, 20));
    QCOMPARE(describe(out), QStringLiteral("0,0>400,0 400,0>400,400 400,400>0,400 0,400>0,0 "
                                           "0,0>20,0"));
}

void OffsetTest::gentleBendIsReplacedByOneSegment()
{
    const QLineF a(0, 0, 1000, 0);
    const QLineF b = QLineF::fromPolar(1000, 20).translated(a.p2());
    const QLineF c = QLineF::fromPolar(1000, 20).translated(b.p2());
    const CutPathList out = PathProcessor().offsetPaths(single({a, b, c}), 10, 0);
    const QVector<QLineF> &o = out.first().segments;
    const QLineF tb = b.translated(QLineF::fromPolar(10, 20).p2());
    QCOMPARE(o.size(), 4);
    QCOMPARE(o[0], a.translated(10, 0));
    // From the shifted first segment's end straight to the shifted second segment's end.
    QCOMPARE(o[1], QLineF(1010, 0, tb.x2(), tb.y2()));
    QVERIFY(o[2].length() < 1e-9); // the straight joint at the last segment
}

void OffsetTest::absurdOvercutStops_data()
{
    QTest::addColumn<double>("overcut");
    QTest::newRow("a billion units") << 1e9;
    QTest::newRow("infinite") << std::numeric_limits<double>::infinity();
}

void OffsetTest::absurdOvercutStops()
{
    QFETCH(double, overcut);
    const PathProcessor pp;
    const CutPathList out =
        pp.offsetPaths(pathsFrom("0,0>1,0 1,0>1,1 1,1>0,1 0,1>0,0"), 0.5, overcut);
    QCOMPARE(out.size(), 1);
    // The laps that were cut are whole: the path runs on over copies of its own segments.
    QVERIFY(out[0].segments.size() > 4096);
    QVERIFY(out[0].segments.size() < 4 * 4096 * 8);
}

void OffsetTest::directionlessSegments_data()
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const QLineF a(0, 0, 1000, 0);
    const QLineF b(1000, 0, 1000, 1000);
    const QLineF c(1000, 1000, 0, 1000);
    QTest::addColumn<QVector<QLineF>>("withExtras");
    QTest::addColumn<QVector<QLineF>>("clean");
    QTest::newRow("zero length in the middle")
        << QVector<QLineF>{a, QLineF(1000, 0, 1000, 0), b, c} << QVector<QLineF>{a, b, c};
    QTest::newRow("zero length first")
        << QVector<QLineF>{QLineF(0, 0, 0, 0), a, b} << QVector<QLineF>{a, b};
    QTest::newRow("zero length last")
        << QVector<QLineF>{a, b, QLineF(1000, 1000, 1000, 1000)} << QVector<QLineF>{a, b};
    QTest::newRow("two in a row") << QVector<QLineF>{a, QLineF(1000, 0, 1000, 0),
                                                     QLineF(1000, 0, 1000, 0), b}
                                  << QVector<QLineF>{a, b};
    QTest::newRow("NaN in the middle")
        << QVector<QLineF>{a, QLineF(nan, 0, 1000, 0), b} << QVector<QLineF>{a, b};
    QTest::newRow("infinity in the middle")
        << QVector<QLineF>{a, QLineF(1000, 0, inf, 0), b} << QVector<QLineF>{a, b};
    QTest::newRow("only zero length") << QVector<QLineF>{QLineF(5, 5, 5, 5)} << QVector<QLineF>{};
}

void OffsetTest::directionlessSegments()
{
    QFETCH(QVector<QLineF>, withExtras);
    QFETCH(QVector<QLineF>, clean);
    const PathProcessor pp;
    for (double knife : {0.0, 12.0}) {
        const CutPathList got = pp.offsetPaths(single(withExtras), knife, 20);
        const CutPathList want = pp.offsetPaths(single(clean), knife, 20);
        QCOMPARE(describe(got), describe(want));
        // The real segment after the dropped one is cut, shifted by the knife offset.
        if (clean.size() > 1)
            QVERIFY(got[0].segments.contains(clean[1].translated(0, knife)));
    }
}

void OffsetTest::pathsWithoutDirectionlessSegmentsUnchanged()
{
    // A closed square through the whole knife step: a zero-length segment after its corner
    // must not change what the corner gets.
    const PathProcessor pp;
    const QString square = "0,0>400,0 400,0>400,400 400,400>0,400 0,400>0,0";
    const QString withPoint = "0,0>400,0 400,0>400,0 400,0>400,400 400,400>0,400 0,400>0,0";
    QCOMPARE(describe(pp.offsetPaths(pathsFrom(withPoint), 12, 20)),
             describe(pp.offsetPaths(pathsFrom(square), 12, 20)));
}

void OffsetTest::matchesLiteralKnifeStep_data()
{
    QTest::addColumn<quint32>("seed");
    QTest::addColumn<double>("knife");
    QTest::addColumn<double>("maxTurn");   // degrees either way between segments
    QTest::addColumn<double>("fixedTurn"); // every third corner turns by this either way
    QTest::addColumn<double>("overcut");
    QTest::addColumn<bool>("closed");
    // An overcut keeps the knife step running when the knife is off; open paths get none.
    QTest::newRow("gentle curves") << 1u << 12.0 << 25.0 << 0.0 << 20.0 << false;
    QTest::newRow("any turn") << 2u << 12.0 << 180.0 << 0.0 << 20.0 << false;
    QTest::newRow("any turn, knife off") << 3u << 0.0 << 180.0 << 0.0 << 20.0 << false;
    QTest::newRow("large knife offset") << 4u << 600.0 << 180.0 << 0.0 << 20.0 << false;
    QTest::newRow("turns at the edge of a full circle")
        << 5u << 12.0 << 0.0 << 1e-11 << 20.0 << false;
    QTest::newRow("turns about the straight band's edge")
        << 6u << 12.0 << 0.0 << 29.99999 << 20.0 << false;
    QTest::newRow("turns just inside the straight band")
        << 7u << 12.0 << 0.0 << 29.9999 << 20.0 << false;
    QTest::newRow("turns of 30 degrees") << 8u << 12.0 << 0.0 << 30.0 << 20.0 << false;
    QTest::newRow("closed, knife and overcut") << 9u << 12.0 << 180.0 << 0.0 << 20.0 << true;
    QTest::newRow("closed, gentle curves, overcut across corners")
        << 10u << 12.0 << 25.0 << 0.0 << 700.0 << true;
    QTest::newRow("closed, overcut lapping the path")
        << 11u << 12.0 << 180.0 << 0.0 << 25000.0 << true;
    QTest::newRow("closed, large knife, overcut") << 12u << 600.0 << 180.0 << 0.0 << 300.0 << true;
    QTest::newRow("closed, overcut only") << 13u << 0.0 << 90.0 << 0.0 << 20.0 << true;
}

void OffsetTest::matchesLiteralKnifeStep()
{
    QFETCH(quint32, seed);
    QFETCH(double, knife);
    QFETCH(double, maxTurn);
    QFETCH(double, fixedTurn);
    QFETCH(double, overcut);
    QFETCH(bool, closed);
    QRandomGenerator rng(seed);
    for (int round = 0; round < 40; ++round) {
        QVector<QLineF> w;
        const QPointF start(rng.bounded(5000.0), rng.bounded(5000.0));
        QPointF at = start;
        double heading = rng.bounded(360.0);
        for (int i = 0; i < 60; ++i) {
            const double turnBy = rng.bounded(2 * maxTurn + 1e-9) - maxTurn;
            heading += (i % 3 == 0 && fixedTurn > 0) ? (i % 2 ? fixedTurn : -fixedTurn) : turnBy;
            const QLineF s = QLineF::fromPolar(1 + rng.bounded(300.0), heading).translated(at);
            w.append(s);
            at = s.p2();
            if (i % 17 == 5)
                w.append(QLineF(at, at)); // no direction
        }
        if (closed)
            w.append(QLineF(at, start));
        QCOMPARE(PathProcessor().isClosedPath(w), closed);
        const CutPathList out = PathProcessor().offsetPaths(single(w), knife, overcut);
        const QVector<QLineF> want = literalKnife(w, knife, overcut);
        const QVector<QLineF> &got = out.first().segments;
        int k = 0;
        while (k < got.size() && k < want.size() && nearlySame(got[k], want[k]))
            ++k;
        QVERIFY2(k == got.size() && k == want.size(),
                 qPrintable(QStringLiteral("first difference at %1 of %2/%3: %4 | %5")
                                .arg(k)
                                .arg(got.size())
                                .arg(want.size())
                                .arg(describe(got.mid(k, 2)), describe(want.mid(k, 2)))));
    }
}

QTEST_MAIN(OffsetTest)
#include "tst_offset.moc"
