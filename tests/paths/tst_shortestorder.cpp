// The shortest cut order against a plain nearest-neighbour + 2-opt tour worked out here, on a
// sheet of labels and one of scattered stickers, both handed over in a shuffled order.

#include "PathText.h"
#include "paths/ShortestOrder.h"

#include <QTest>

#include <algorithm>
#include <cmath>
#include <random>

namespace {

// A closed polygon of `n` corners about (cx, cy), radius r, rounded to whole plotter units.
CutPath ring(double cx, double cy, double r, int n)
{
    CutPath path;
    path.pen = 2;
    QPointF prev(std::round(cx + r), std::round(cy));
    for (int k = 1; k <= n; ++k) {
        const double a = 2 * M_PI * (k % n) / n;
        const QPointF p(std::round(cx + r * std::cos(a)), std::round(cy + r * std::sin(a)));
        path.segments.append(QLineF(prev, p));
        prev = p;
    }
    return path;
}

CutPathList shuffled(CutPathList paths)
{
    std::shuffle(paths.begin(), paths.end(), std::mt19937(19));
    return paths;
}

// 1,000 labels of three contours on a grid; 100 stickers of two, scattered; one open line each.
CutPathList labels()
{
    CutPathList paths;
    for (int i = 0; i < 1000; ++i) {
        const double x = 3000.0 * (i % 40), y = 2000.0 * (i / 40);
        paths << ring(x, y, 1200, 12) << ring(x, y, 600, 8) << ring(x, y, 800, 16);
    }
    return shuffled(paths);
}

CutPathList stickers()
{
    std::mt19937 random(7);
    std::uniform_real_distribution<double> at(0, 60000);
    CutPathList paths;
    for (int i = 0; i < 100; ++i) {
        const double x = at(random), y = at(random);
        paths << ring(x, y, 2000, 200) << ring(x + 300, y, 500, 40);
    }
    CutPath line;
    line.segments = {QLineF(100, 100, 5000, 100)};
    return shuffled(paths << line);
}

double dist(QPointF a, QPointF b)
{
    return std::hypot(a.x() - b.x(), a.y() - b.y());
}

// Nearest neighbour over every vertex of every closed path, then 2-opt over all pairs.
double referenceTravel(const CutPathList &paths)
{
    std::vector<QPointF> tour;
    std::vector<bool> taken(size_t(paths.size()));
    QPointF knife(0, 0);
    for (int step = 0; step < paths.size(); ++step) {
        double best = INFINITY;
        int bestPath = 0;
        for (int p = 0; p < paths.size(); ++p) {
            for (int v = 0; !taken[size_t(p)] && v < paths[p].segments.size(); ++v) {
                if (dist(knife, paths[p].segments[v].p1()) < best) {
                    best = dist(knife, paths[p].segments[v].p1());
                    bestPath = p;
                    tour.resize(size_t(step) + 1);
                    tour[size_t(step)] = paths[p].segments[v].p1();
                }
            }
        }
        taken[size_t(bestPath)] = true;
        knife = tour.back();
    }
    tour.insert(tour.begin(), QPointF(0, 0));
    for (bool improved = true; improved;) {
        improved = false;
        for (size_t i = 1; i + 1 < tour.size(); ++i) {
            for (size_t j = i + 1; j < tour.size(); ++j) {
                const double after = j + 1 < tour.size()
                                         ? dist(tour[i], tour[j + 1]) - dist(tour[j], tour[j + 1])
                                         : 0.0;
                if (dist(tour[i - 1], tour[j]) - dist(tour[i - 1], tour[i]) + after < -1e-9) {
                    std::reverse(tour.begin() + long(i), tour.begin() + long(j) + 1);
                    improved = true;
                }
            }
        }
    }
    double total = 0;
    for (size_t i = 1; i < tour.size(); ++i)
        total += dist(tour[i - 1], tour[i]);
    return total;
}

// A closed path's segments as a set of corners in cyclic order, from its smallest corner.
QString contour(const CutPath &path)
{
    QStringList corners;
    for (const QLineF &s : path.segments)
        corners << QStringLiteral("%1,%2>%3,%4").arg(s.x1()).arg(s.y1()).arg(s.x2()).arg(s.y2());
    std::rotate(corners.begin(), std::min_element(corners.begin(), corners.end()), corners.end());
    return QString::number(path.pen) + QLatin1Char(' ') + corners.join(QLatin1Char(' '));
}

} // namespace

class ShortestOrderTest : public QObject
{
    Q_OBJECT

private slots:
    void shortTravelSameContours_data();
    void shortTravelSameContours();
};

void ShortestOrderTest::shortTravelSameContours_data()
{
    QTest::addColumn<CutPathList>("paths");
    QTest::newRow("1,000 labels, three contours each") << labels();
    QTest::newRow("100 stickers with holes and an open line") << stickers();
}

void ShortestOrderTest::shortTravelSameContours()
{
    QFETCH(CutPathList, paths);
    const CutPathList ordered = orderShortest(paths);
    QVERIFY(penUpTravel(ordered) <= 1.1 * referenceTravel(paths));
    QStringList before, after;
    for (const CutPath &p : paths)
        before << contour(p);
    for (const CutPath &p : ordered)
        after << contour(p);
    before.sort();
    after.sort();
    QCOMPARE(after, before);
    // The open line keeps its direction.
    for (const CutPath &p : ordered)
        QVERIFY(p.segments.size() > 1 || p.segments.first() == QLineF(100, 100, 5000, 100));
}

QTEST_MAIN(ShortestOrderTest)
#include "tst_shortestorder.moc"
