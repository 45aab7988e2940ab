// Model queries and the simple transforms: corners, scale, mirror, translation, closure test,
// clean-up, and that no transform changes the list it was given.

#include "PathText.h"
#include "paths/PathProcessor.h"

#include <QTest>

#include <cmath>
#include <limits>

class TransformTest : public QObject
{
    Q_OBJECT

private slots:
    void corners_data();
    void corners();
    void transform_data();
    void transform();
    void transformsLeaveTheirInputAlone();
    void isClosedPath_data();
    void isClosedPath();
    void removeDegenerateSegments_data();
    void removeDegenerateSegments();
};

void TransformTest::corners_data()
{
    QTest::addColumn<QString>("paths");
    QTest::addColumn<QPointF>("minOfFirst");
    QTest::addColumn<QPointF>("maxOfFirst");
    QTest::addColumn<QPointF>("minOfAll");
    QTest::newRow("one segment") << "5,7>1,9" << QPointF(1, 7) << QPointF(5, 9) << QPointF(1, 7);
    QTest::newRow("x and y from different ends")
        << "10,0>0,5 0,5>3,-2" << QPointF(0, -2) << QPointF(10, 5) << QPointF(0, -2);
    QTest::newRow("second path lower")
        << "10,10>20,20 | 15,-5>30,12" << QPointF(10, 10) << QPointF(20, 20) << QPointF(10, -5);
    QTest::newRow("empty list") << "" << QPointF(0, 0) << QPointF(0, 0) << QPointF(0, 0);
    QTest::newRow("empty first path does not pull in the origin")
        << "[0 0 0 0] | 10,10>20,20" << QPointF(0, 0) << QPointF(0, 0) << QPointF(10, 10);
    QTest::newRow("negative boxes are not clipped at the origin")
        << "-10,-20>-5,-8" << QPointF(-10, -20) << QPointF(-5, -8) << QPointF(-10, -20);
}

void TransformTest::corners()
{
    QFETCH(QString, paths);
    QFETCH(QPointF, minOfFirst);
    QFETCH(QPointF, maxOfFirst);
    QFETCH(QPointF, minOfAll);
    const PathProcessor pp;
    const CutPathList list = pathsFrom(paths);
    const CutPath first = list.isEmpty() ? CutPath() : list.first();
    QCOMPARE(pp.minCorner(first), minOfFirst);
    QCOMPARE(pp.maxCorner(first), maxOfFirst);
    QCOMPARE(pp.minCornerOfAll(list), minOfAll);
}

void TransformTest::transform_data()
{
    QTest::addColumn<QString>("op");
    QTest::addColumn<double>("a");
    QTest::addColumn<double>("b");
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("expected");
    QTest::newRow("scale 5 keeps the min corner") << "scale" << 5.0 << 0.0 << "100,100>600,100"
                                                  << "100,100>200,100";
    QTest::newRow("scale over several paths uses the common corner")
        << "scale" << 5.0 << 0.0 << "100,600>600,600 | 1100,100>1100,1100"
        << "100,200>200,200 | 300,100>300,300";
    QTest::newRow("scale of an empty list") << "scale" << 5.0 << 0.0 << ""
                                            << "";
    QTest::newRow("mirror page height") << "mirror" << 11880.0 << 0.0 << "0,0>10,11880"
                                        << "0,11880>10,0";
    QTest::newRow("mirror keeps fractions") << "mirror" << 100.0 << 0.0 << "1,0.25>2,200.5"
                                            << "1,99.75>2,-100.5";
    QTest::newRow("translate by the first mark")
        << "translate" << 100.0 << 200.0 << "400,500>600,500"
        << "300,300>500,300";
    QTest::newRow("translate to negative") << "translate" << 50.0 << 50.0 << "10,10>60,60"
                                           << "-40,-40>10,10";
}

void TransformTest::transform()
{
    QFETCH(QString, op);
    QFETCH(double, a);
    QFETCH(double, b);
    QFETCH(QString, input);
    QFETCH(QString, expected);
    const PathProcessor pp;
    CutPathList in = pathsFrom(input);
    if (!in.isEmpty())
        in.first().pen = 7;
    CutPathList out;
    if (op == "scale")
        out = pp.scaleAboutMinCorner(in, a);
    else if (op == "mirror")
        out = pp.mirrorY(in, a);
    else
        out = pp.translatePaths(in, a, b);
    QCOMPARE(describe(out), expected);
    if (!out.isEmpty())
        QCOMPARE(out.first().pen, 7);
}

void TransformTest::transformsLeaveTheirInputAlone()
{
    const PathProcessor pp;
    const QString text = "0,0>400,0 400,0>400,400 400,400>0,400 0,400>0,0 | 1000,0>1000,10";
    const CutPathList in = pathsFrom(text);
    pp.scaleAboutMinCorner(in, 5);
    pp.mirrorY(in, 1000);
    pp.translatePaths(in, 5, 5);
    pp.sortPaths(in);
    pp.offsetPaths(in, 12, 20);
    pp.removeDegenerateSegments(in);
    QCOMPARE(describe(in), text);
}

void TransformTest::isClosedPath_data()
{
    QTest::addColumn<QString>("segments");
    QTest::addColumn<bool>("closed");
    QTest::newRow("empty") << "" << false;
    QTest::newRow("square") << "0,0>10,0 10,0>10,10 10,10>0,10 0,10>0,0" << true;
    QTest::newRow("open polyline") << "0,0>10,0 10,0>10,10" << false;
    QTest::newRow("ends meet but a joint is broken")
        << "0,0>10,0 11,0>10,10 10,10>0,10 0,10>0,0" << false;
    QTest::newRow("a single zero-length segment") << "5,5>5,5" << true;
    QTest::newRow("closes within fuzz") << "0,0>10,0 10,0>10,10 10,10>0.0000000000001,0" << true;
}

void TransformTest::isClosedPath()
{
    QFETCH(QString, segments);
    QFETCH(bool, closed);
    QCOMPARE(PathProcessor().isClosedPath(segmentsFrom(segments)), closed);
}

void TransformTest::removeDegenerateSegments_data()
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    QTest::addColumn<CutPathList>("input");
    QTest::addColumn<QString>("expected");
    QTest::newRow("keeps real segments")
        << pathsFrom("0,0>10,0 10,0>10,10") << "0,0>10,0 10,0>10,10";
    QTest::newRow("drops segments that vanish when rounded")
        << pathsFrom("0,0>10,0 10,0>10.4,0.3 10.4,0.3>20,0") << "0,0>10,0 10.4,0.3>20,0";
    QTest::newRow("keeps a short segment that rounds apart")
        << pathsFrom("0.4,0>0.6,0") << "0.4,0>0.6,0";
    QTest::newRow("drops paths left empty")
        << pathsFrom("1,1>1.2,1 | 0,0>5,0 | 3,3>3,3") << "0,0>5,0";
    CutPath odd;
    odd.segments = {QLineF(0, 0, nan, 0),  QLineF(0, 0, 10, 0),  QLineF(inf, 0, 0, 0),
                    QLineF(0, -inf, 0, 0), QLineF(3e9, 0, 0, 0), QLineF(0, 0, 0, -3e9)};
    QTest::newRow("drops NaN, infinite and out-of-range coordinates")
        << CutPathList{odd} << "0,0>10,0";
    QTest::newRow("keeps the largest writable coordinate")
        << pathsFrom("0,0>2147483647,0") << "0,0>2147483647,0";
    QTest::newRow("empty list") << CutPathList() << "";
}

void TransformTest::removeDegenerateSegments()
{
    QFETCH(CutPathList, input);
    QFETCH(QString, expected);
    QCOMPARE(describe(PathProcessor().removeDegenerateSegments(input)), expected);
}

QTEST_MAIN(TransformTest)
#include "tst_transforms.moc"
