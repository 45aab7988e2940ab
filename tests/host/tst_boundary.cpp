// The boundary around artwork: the union of the selected shapes' areas as one curve, split by
// BreakApartEx into one curve per outline, as "Create Boundary" drives it.
#include "HostTestSupport.h"
#include "builtin/outline/BoundaryBuilder.h"
#include "builtin/outline/RoundMargin.h"

#include <QtTest>
#include <algorithm>
#include <cmath>

using namespace HostTest;

namespace {

// A shape made from a description: "rect x y w h [width]" (outline width in inches), "line x1 y1
// x2 y2 width", "frame" (a 4 x 4 square with a 2 x 2 hole), "text x y w h".
HostShape::Ptr makeShape(const HostLayer::Ptr &layer, const QString &description)
{
    const QStringList p = description.split(' ');
    QVector<double> v;
    for (int i = 1; i < p.size(); ++i)
        v << p.at(i).toDouble();
    HostDocument &doc = *BuiltinHost::instance().activeDocument();
    QPainterPath path;
    if (p.first() == "rect" || p.first() == "text") {
        path.addRect(v[0], v[1], v[2], v[3]);
    } else if (p.first() == "line") {
        path.moveTo(v[0], v[1]);
        path.lineTo(v[2], v[3]);
    } else if (p.first() == "frame") {
        path.addRect(1, 1, 4, 4);
        path.addRect(2, 2, 2, 2);
    }
    HostShape::Ptr shape = doc.addShape(layer, path);
    if (p.first() == "text") {
        shape->kind = ShapeKind::Text;
        shape->keptBounds = QRectF(v[0], v[1], v[2], v[3]);
    }
    const double width = p.first() == "line" ? v.value(4) : v.value(4, 0.0);
    shape->outlineWidthInches = width;
    return shape;
}

// Signed area of closed polygons; outer outlines and holes come with opposite signs.
double netArea(const QList<QPolygonF> &polygons)
{
    double total = 0;
    for (const QPolygonF &poly : polygons) {
        double a = 0;
        for (int i = 0; i + 1 < poly.size(); ++i)
            a += poly.at(i).x() * poly.at(i + 1).y() - poly.at(i + 1).x() * poly.at(i).y();
        total += a / 2;
    }
    return std::abs(total);
}

} // namespace

class TestBoundary : public QObject
{
    Q_OBJECT
private slots:
    void unionOfAreas_data();
    void unionOfAreas();
    void islandsGroupedAndGrown_data();
    void islandsGroupedAndGrown();
    void marginMeasuredByDistance_data();
    void marginMeasuredByDistance();
    void createBoundaryThroughAutomation();
    void nothingToOutlineAnswersNull();
    void breakApartKeepsEveryOutline();
};

void TestBoundary::unionOfAreas_data()
{
    QTest::addColumn<QStringList>("shapes");
    QTest::addColumn<int>("outlines");
    QTest::addColumn<double>("area"); // square inches, 0: no boundary
    QTest::newRow("overlapping squares make one outline")
        << QStringList{"rect 1 1 2 2", "rect 2 2 2 2"} << 1 << 7.0;
    QTest::newRow("separate islands make two outlines")
        << QStringList{"rect 1 1 1 1", "rect 4 4 1 1"} << 2 << 2.0;
    QTest::newRow("touching squares merge")
        << QStringList{"rect 1 1 1 1", "rect 2 1 1 1"} << 1 << 2.0;
    QTest::newRow("square inside a square adds nothing")
        << QStringList{"rect 0 0 4 4", "rect 1 1 1 1"} << 1 << 16.0;
    QTest::newRow("hole of a shape stays a hole") << QStringList{"frame"} << 2 << 12.0;
    QTest::newRow("outline width widens the area") << QStringList{"rect 1 1 1 1 0.2"} << 1 << 1.44;
    QTest::newRow("wide line has the area of its stroke")
        << QStringList{"line 0 0 2 0 0.1"} << 1 << 0.2;
    QTest::newRow("hairline encloses nothing") << QStringList{"line 0 0 2 0 0"} << 0 << 0.0;
    QTest::newRow("text counts by its box") << QStringList{"text 1 1 2 1"} << 1 << 2.0;
    QTest::newRow("nothing selected") << QStringList{} << 0 << 0.0;
}

void TestBoundary::unionOfAreas()
{
    QFETCH(QStringList, shapes);
    QFETCH(int, outlines);
    QFETCH(double, area);
    AutomationHandle app = freshApplication();
    HostDocument::Ptr doc = BuiltinHost::instance().activeDocument();
    QList<HostShape::Ptr> made;
    for (const QString &description : shapes)
        made << makeShape(doc->activeLayer, description);
    const QList<QPolygonF> polygons = BoundaryBuilder::unionArea(made);
    QCOMPARE(polygons.size(), outlines);
    QVERIFY2(std::abs(netArea(polygons) - area) < 1e-4,
             qPrintable(QString::number(netArea(polygons))));
}

void TestBoundary::islandsGroupedAndGrown_data()
{
    QTest::addColumn<QStringList>("shapes");
    QTest::addColumn<double>("offset");
    QTest::addColumn<int>("contours");
    QTest::addColumn<int>("nodes"); // of all contours, first point repeated; -1: not counted
    const QStringList apart{"rect 0 0 1 1", "rect 1.3 0 1 1"};
    QTest::newRow("shapes further apart than twice the offset stay apart")
        << apart << 0.1 << 2 << -1;
    QTest::newRow("an offset that makes them touch unites them") << apart << 0.16 << 1 << -1;
    QTest::newRow("a chain of neighbours unites end to end")
        << QStringList{"rect 0 0 1 1", "rect 1.3 0 1 1", "rect 2.6 0 1 1", "rect 0 5 1 1"} << 0.16
        << 2 << -1;
    QTest::newRow("a box runs whichever way round")
        << QStringList{"text 1 1 2 1", "rect 5 5 1 1"} << 0.0 << 2 << 10;
}

// The outer outlines, shapes united and grown group by group as far as they may reach.
void TestBoundary::islandsGroupedAndGrown()
{
    QFETCH(QStringList, shapes);
    QFETCH(double, offset);
    QFETCH(int, contours);
    QFETCH(int, nodes);
    AutomationHandle app = freshApplication();
    HostDocument::Ptr doc = BuiltinHost::instance().activeDocument();
    QList<HostShape::Ptr> made;
    for (const QString &description : shapes)
        made << makeShape(doc->activeLayer, description);
    const QList<QPolygonF> outlines = BoundaryBuilder::outerOutlines(made, offset);
    QCOMPARE(outlines.size(), contours);
    int count = 0;
    for (const QPolygonF &poly : outlines)
        count += poly.size();
    if (nodes >= 0)
        QCOMPARE(count, nodes);
}

// Micrometres: the paths' units in the margin rows.
double distanceToPaths(const QPointF &p, const ClipperLib::Paths &paths)
{
    double best = 1e300;
    for (const ClipperLib::Path &path : paths) {
        for (size_t k = 0; k < path.size(); ++k) {
            const QPointF a(path[k].X, path[k].Y);
            const QPointF ab =
                QPointF(path[(k + 1) % path.size()].X, path[(k + 1) % path.size()].Y) - a;
            const double t = std::clamp(QPointF::dotProduct(p - a, ab) /
                                            std::max(QPointF::dotProduct(ab, ab), 1e-12),
                                        0.0, 1.0);
            const QPointF off = a + t * ab - p;
            best = std::min(best, std::hypot(off.x(), off.y()));
        }
    }
    return best;
}

void TestBoundary::marginMeasuredByDistance_data()
{
    QTest::addColumn<QString>("outline"); // x,y corners in mm, ';' between paths
    QTest::addColumn<double>("margin");   // mm
    QTest::addColumn<int>("outlines");
    // Notches where the margins of a spike's two sides meet, sharper than a grid step resolves.
    QString star;
    for (int k = 0; k < 14; ++k) {
        const double r = k % 2 ? 3.5 : 10.0, a = M_PI * k / 7 + 0.3;
        star += QStringLiteral("%1,%2 ").arg(r * std::cos(a)).arg(r * std::sin(a));
    }
    QTest::newRow("a star's notches") << star << 1.4 << 1;
    QTest::newRow("a comb's teeth, narrower gaps than the margin")
        << "0,0 20,0 20,8 18,8 18,2 16,2 16,8 14,8 14,2 12,2 12,8 10,8 10,2 0,2" << 2.0 << 1;
    QTest::newRow("islands the margin joins, and one beyond it")
        << "0,0 5,0 5,5 0,5;8.5,0 12,0 12,5 8.5,5;20,0 25,0 25,5 20,5" << 2.0 << 2;
    QTest::newRow("a ring: its hole filled")
        << "0,0 20,0 20,20 0,20;5,5 5,15 15,15 15,5" << 1.0 << 1;
}

// Every node lies on the true margin (half the tolerance beyond it) and every straight step
// between two keeps within the tolerance of it, in the notches too.
void TestBoundary::marginMeasuredByDistance()
{
    QFETCH(QString, outline);
    QFETCH(double, margin);
    QFETCH(int, outlines);
    ClipperLib::Paths paths;
    for (const QString &part : outline.split(';')) {
        ClipperLib::Path &path = paths.emplace_back();
        for (const QString &corner : part.split(' ', Qt::SkipEmptyParts))
            path.emplace_back(std::llround(corner.section(',', 0, 0).toDouble() * 1000),
                              std::llround(corner.section(',', 1, 1).toDouble() * 1000));
    }
    const double delta = margin * 1000, tolerance = 20;
    const std::optional<ClipperLib::Paths> grown = RoundMargin::grown(paths, delta, tolerance);
    QVERIFY(grown);
    QCOMPARE(int(grown->size()), outlines);
    for (const ClipperLib::Path &loop : *grown) {
        for (size_t k = 0; k < loop.size(); ++k) {
            const QPointF p(loop[k].X, loop[k].Y);
            const QPointF q(loop[(k + 1) % loop.size()].X, loop[(k + 1) % loop.size()].Y);
            const double node = distanceToPaths(p, paths) - delta;
            const double middle = distanceToPaths((p + q) / 2, paths) - delta;
            QVERIFY2(node >= 0 && node <= tolerance / 2 + 1, qPrintable(QString::number(node)));
            QVERIFY2(std::abs(middle) <= tolerance, qPrintable(QString::number(middle)));
        }
    }
}

void TestBoundary::createBoundaryThroughAutomation()
{
    AutomationHandle app = freshApplication();
    HostDocument::Ptr doc = BuiltinHost::instance().activeDocument();
    makeShape(doc->activeLayer, "rect 1 1 1 1");
    makeShape(doc->activeLayer, "rect 4 4 1 1");
    AutomationHandle cutting = createLayer(*app, "Cutting Layer");
    cutting->dynamicCall(Member::Activate);
    AutomationHandle shapes = page(*app)->querySubObject(Member::SelectableShapes);
    QCOMPARE(shapes->dynamicCall(Member::Count).toInt(), 2);
    shapes->querySubObject(Member::All)->dynamicCall(Member::AddToSelection);
    AutomationHandle boundary = app->querySubObject(Member::ActiveSelection)
                                    ->querySubObject(Member::CreateBoundary, {0, 0, true, false});
    QVERIFY(!boundary->isNull());
    boundary->querySubObject(Member::Fill)->dynamicCall(Member::ApplyNoFill);
    boundary->querySubObject(Member::Outline)->dynamicCall(Member::SetWidth, {0.076 / MM_PER_INCH});
    AutomationHandle pieces = boundary->querySubObject(Member::BreakApartEx);
    QVERIFY(!pieces->isNull());
    QCOMPARE(pieces->dynamicCall(Member::Count).toInt(), 2);

    const HostLayer::Ptr layer = doc->findLayer("Cutting Layer");
    QCOMPARE(layer->shapes.size(), 2);
    QCOMPARE(doc->activePage->layers.first()->shapes.size(), 2); // artwork untouched
    for (const HostShape::Ptr &piece : layer->shapes) {
        QVERIFY(!piece->filled);
        QVERIFY(std::abs(piece->outlineWidthInches - 0.076 / MM_PER_INCH) < 1e-12);
    }
    QList<QRectF> boxes{layer->shapes.at(0)->bounds(), layer->shapes.at(1)->bounds()};
    std::sort(boxes.begin(), boxes.end(),
              [](const QRectF &a, const QRectF &b) { return a.left() < b.left(); });
    QCOMPARE(boxes, (QList<QRectF>{QRectF(1, 1, 1, 1), QRectF(4, 4, 1, 1)}));
}

void TestBoundary::nothingToOutlineAnswersNull()
{
    AutomationHandle app = freshApplication();
    AutomationHandle selection = app->querySubObject(Member::ActiveSelection);
    AutomationHandle boundary =
        selection->querySubObject(Member::CreateBoundary, {0, 0, true, false});
    QVERIFY(boundary->isNull());
    QCOMPARE(BuiltinHost::instance().activeDocument()->activeLayer->shapes.size(), 0);
}

void TestBoundary::breakApartKeepsEveryOutline()
{
    AutomationHandle app = freshApplication();
    HostDocument::Ptr doc = BuiltinHost::instance().activeDocument();
    makeShape(doc->activeLayer, "frame");
    AutomationHandle shape = document(*app)
                                 ->querySubObject(Member::ActiveLayer)
                                 ->querySubObject(Member::Shapes)
                                 ->querySubObject(Member::Item, {1});
    shape->querySubObject(Member::Outline)
        ->querySubObject(Member::Color)
        ->dynamicCall(Member::CMYKAssign, {0, 100, 0, 0});
    QCOMPARE(shape->querySubObject(Member::BreakApartEx)->dynamicCall(Member::Count).toInt(), 2);
    QCOMPARE(doc->activeLayer->shapes.size(), 2);
    QCOMPARE(doc->activeLayer->shapes.at(0)->bounds(), QRectF(1, 1, 4, 4));
    QCOMPARE(doc->activeLayer->shapes.at(1)->bounds(), QRectF(2, 2, 2, 2));
    QCOMPARE(doc->activeLayer->shapes.at(1)->outlineCmyk, (Cmyk{0, 100, 0, 0}));
    QVERIFY(shape->querySubObject(Member::BreakApartEx)->isNull());
}

QTEST_MAIN(TestBoundary)
#include "tst_boundary.moc"
