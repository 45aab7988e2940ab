// Auto sort: rows from the top, left to right within a row, serpentine. The engine sorts with
// boxes computed once and skips settled parts of its sweeps; a literal implementation of the
// sweeps here checks that those shortcuts never change the order.

#include "PathText.h"
#include "paths/PathProcessor.h"
#include "paths/PathSorter.h"

#include <QRandomGenerator>
#include <QTest>

#include <limits>

namespace {

// A closed rectangle path with its name in `pen`, so the order reads as a list of names.
CutPath box(int name, double x, double y, double w, double h)
{
    CutPath p;
    p.pen = name;
    p.segments = {QLineF(x, y, x + w, y), QLineF(x + w, y, x + w, y + h),
                  QLineF(x + w, y + h, x, y + h), QLineF(x, y + h, x, y)};
    return p;
}

QString names(const CutPathList &paths)
{
    QStringList out;
    for (const CutPath &p : paths)
        out << QString::number(p.pen);
    return out.join(' ');
}

// A path's box from its segment ends, written here so that the sweeps below share no code with
// the engine. A NaN coordinate wins only where it comes last, as a "take the smaller" step does.
struct Box
{
    double minX = 0, minY = 0, maxY = 0;
};

Box boxOf(const CutPath &path)
{
    Box b;
    if (path.segments.isEmpty())
        return b;
    b.minX = path.segments.first().x1();
    b.minY = b.maxY = path.segments.first().y1();
    for (const QLineF &s : path.segments) {
        for (const QPointF &end : {s.p1(), s.p2()}) {
            b.minX = b.minX < end.x() ? b.minX : end.x();
            b.minY = b.minY < end.y() ? b.minY : end.y();
            b.maxY = b.maxY > end.y() ? b.maxY : end.y();
        }
    }
    return b;
}

// The sweeps exactly as a reader of the algorithm would first write them.
CutPathList literalSort(CutPathList p)
{
    const int n = p.size();
    for (bool swapped = true; swapped;) {
        swapped = false;
        for (int i = 0; i + 1 < n; ++i) {
            if (boxOf(p[i]).minY > boxOf(p[i + 1]).minY) {
                p.swapItemsAt(i, i + 1);
                swapped = true;
            }
        }
    }
    for (bool swapped = true; swapped;) {
        swapped = false;
        for (int i = 0; i + 1 < n; ++i) {
            const Box a = boxOf(p[i]), b = boxOf(p[i + 1]);
            if (a.maxY - a.minY > std::fabs(a.minY - b.minY) && a.minX > b.minX) {
                p.swapItemsAt(i, i + 1);
                swapped = true;
            }
        }
    }
    bool forward = true;
    int rowStart = 0;
    for (int i = 0; i + 1 < n; ++i) {
        if (boxOf(p[i + 1]).minX > boxOf(p[i]).minX)
            continue;
        if (forward) {
            forward = false;
            rowStart = i + 1;
        } else {
            forward = true;
            std::reverse(p.begin() + rowStart, p.begin() + i + 1);
        }
    }
    if (!forward)
        std::reverse(p.begin() + rowStart, p.end());
    return p;
}

} // namespace

class SortTest : public QObject
{
    Q_OBJECT

private slots:
    void order_data();
    void order();
    void matchesLiteralSweeps_data();
    void matchesLiteralSweeps();
    void boxesWithNaNSortLikeTheSweeps();
};

void SortTest::order_data()
{
    QTest::addColumn<CutPathList>("paths");
    QTest::addColumn<QString>("order");
    QTest::newRow("empty list") << CutPathList() << "";
    QTest::newRow("one path") << CutPathList{box(1, 5, 5, 10, 10)} << "1";
    QTest::newRow("overlapping heights sort left to right")
        << CutPathList{box(1, 300, 10, 50, 50), box(2, 100, 30, 50, 50)} << "2 1";
    QTest::newRow("top at the bottom of the one before starts a row")
        << CutPathList{box(1, 300, 0, 50, 100), box(2, 100, 100, 50, 100)} << "1 2";
    QTest::newRow("higher path first whatever the input order")
        << CutPathList{box(1, 0, 500, 10, 10), box(2, 0, 100, 10, 10)} << "2 1";
    // Three rows of three, given shuffled; the middle row comes out right to left.
    QTest::newRow("serpentine of three rows")
        << CutPathList{box(32, 200, 400, 50, 50), box(11, 0, 0, 50, 50),
                       box(23, 400, 200, 50, 50), box(13, 400, 0, 50, 50),
                       box(31, 0, 400, 50, 50),   box(21, 0, 200, 50, 50),
                       box(12, 200, 0, 50, 50),   box(33, 400, 400, 50, 50),
                       box(22, 200, 200, 50, 50)}
        << "11 12 13 23 22 21 31 32 33";
    QTest::newRow("uneven tops within a row still share it")
        << CutPathList{box(3, 400, 0, 50, 50), box(1, 0, 20, 50, 50), box(2, 200, 10, 50, 50)}
        << "1 2 3";
    QTest::newRow("equal keys keep their order")
        << CutPathList{box(1, 0, 0, 10, 0), box(2, 0, 0, 10, 0)} << "1 2";
}

void SortTest::order()
{
    QFETCH(CutPathList, paths);
    QFETCH(QString, order);
    const CutPathList sorted = PathProcessor().sortPaths(paths);
    QCOMPARE(names(sorted), order);
    QCOMPARE(names(literalSort(paths)), order);
}

void SortTest::matchesLiteralSweeps_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("columns");
    QTest::addColumn<double>("jitter");
    QTest::addColumn<quint32>("seed");
    QTest::addColumn<int>("copies"); // > 0: a grid of identical labels, each this many times
    QTest::newRow("shuffled grid") << 400 << 20 << 0.0 << 1u << 0;
    QTest::newRow("grid with uneven tops") << 400 << 20 << 30.0 << 2u << 0;
    QTest::newRow("rows that overlap their neighbours") << 300 << 15 << 90.0 << 3u << 0;
    QTest::newRow("one long row") << 300 << 300 << 5.0 << 4u << 0;
    QTest::newRow("one column") << 200 << 1 << 5.0 << 5u << 0;
    QTest::newRow("scattered") << 300 << 7 << 400.0 << 6u << 0;
    // Exact ties, the usual sheet: every key equals its neighbour's somewhere.
    QTest::newRow("tied grid of identical labels") << 400 << 20 << 0.0 << 7u << 1;
    QTest::newRow("tied grid, three contours sharing each corner") << 300 << 10 << 0.0 << 8u << 3;
    QTest::newRow("tied single row") << 200 << 200 << 0.0 << 9u << 2;
    QTest::newRow("tied single column") << 100 << 1 << 0.0 << 10u << 2;
}

void SortTest::matchesLiteralSweeps()
{
    QFETCH(int, count);
    QFETCH(int, columns);
    QFETCH(double, jitter);
    QFETCH(quint32, seed);
    QFETCH(int, copies);
    QRandomGenerator rng(seed);
    CutPathList paths;
    for (int i = 0; copies > 0 && i < count; ++i) {
        const int label = i / copies;
        // Whole numbers as the export writes them; the copies differ in height only, so their
        // tops tie while the row test still sees each one's own box.
        paths.append(box(i, (label % columns) * 120, (label / columns) * 120, 80, 80 - i % copies));
    }
    for (int i = 0; copies == 0 && i < count; ++i) {
        const double x = (i % columns) * 120 + rng.bounded(jitter + 1);
        const double y = (i / columns) * 120 + rng.bounded(jitter + 1);
        paths.append(box(i, x, y, 20 + rng.bounded(80.0), 20 + rng.bounded(80.0)));
    }
    for (int i = paths.size() - 1; i > 0; --i)
        paths.swapItemsAt(i, int(rng.bounded(i + 1)));
    QCOMPARE(names(PathProcessor().sortPaths(paths)), names(literalSort(paths)));
}

void SortTest::boxesWithNaNSortLikeTheSweeps()
{
    // NaN keys break any sort order; the engine must fall back to the sweeps themselves.
    const double nan = std::numeric_limits<double>::quiet_NaN();
    QRandomGenerator rng(7);
    CutPathList paths;
    for (int i = 0; i < 60; ++i)
        paths.append(box(i, rng.bounded(1000.0), rng.bounded(1000.0), 40, 40));
    for (int i : {3, 17, 40}) {
        paths[i].segments[0].setP1(QPointF(nan, nan));
        paths[i].segments[3].setP2(QPointF(nan, nan)); // last compared: the box is NaN
    }
    QVERIFY(std::isnan(PathProcessor().minCorner(paths[3]).y()));
    QCOMPARE(names(PathProcessor().sortPaths(paths)), names(literalSort(paths)));
}

QTEST_MAIN(SortTest)
#include "tst_sort.moc"
