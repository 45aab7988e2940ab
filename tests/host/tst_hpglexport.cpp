// The built-in host's HPGL export as a connection drives it: ExportEx with the HPGL filter, the
// filter's properties, Finish(); read back, the plot holds the shapes' geometry within one
// plotter unit, in 1016 units per inch from the page's lower-left corner, y up, unclipped.
#include "HostTestSupport.h"
// The host's export and the engine's writer share a translation unit without a name clash.
#include "paths/HpglWriter.h"
#include "render/HpglExport.h"

#include <QTemporaryDir>
#include <QtTest>
#include <cmath>

using namespace HostTest;

Q_DECLARE_METATYPE(QList<QPolygonF>)
Q_DECLARE_METATYPE(QPainterPath)

namespace {

// The filter settings the export operations set, in their order.
const QList<QPair<const char *, QVariant>> &standardSettings()
{
    static const QList<QPair<const char *, QVariant>> settings{{"PenLibIndex", 0},
                                                               {"FitToPage", false},
                                                               {"ScaleFactor", 100},
                                                               {"PageWidth", 210 / MM_PER_INCH},
                                                               {"PageHeight", 297 / MM_PER_INCH},
                                                               {"FillType", 0},
                                                               {"FillSpacing", 0.005},
                                                               {"FillAngle", 0},
                                                               {"HatchAngle", 90},
                                                               {"CurveResolution", 0.00025},
                                                               {"RemoveHiddenLines", false},
                                                               {"AutomaticWeld", false},
                                                               {"ExcludeWVC", false},
                                                               {"PlotterUnits", 1016},
                                                               {"PlotterOrigin", 1}};
    return settings;
}

// Runs the export step on the active document and returns the plot text.
QByteArray exportPlot(AutomationObject &app,
                      const QList<QPair<const char *, QVariant>> &overrides = {})
{
    static QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("ABDOPQR.plt"));
    QFile::remove(file);
    const QVariant options = app.dynamicCall(Member::CreateStructExportOptions);
    const QVariant palette = app.dynamicCall(Member::CreateStructPaletteOptions);
    AutomationHandle filter = document(app)->querySubObject(
        Member::ExportEx, {file, HPGL_EXPORT_FILTER, 0, options, palette});
    if (filter->isNull())
        return "no filter";
    for (const auto &setting : standardSettings())
        filter->setProperty(setting.first, setting.second);
    for (const auto &setting : overrides)
        if (!filter->setProperty(setting.first, setting.second))
            return "refused";
    filter->dynamicCall(Member::Finish);
    QFile plot(file);
    if (!plot.open(QIODevice::ReadOnly))
        return "no file";
    return plot.readAll();
}

QPolygonF poly(std::initializer_list<QPointF> points)
{
    return QPolygonF(QVector<QPointF>(points));
}

bool near(const QPointF &a, const QPointF &b, double limit = 1.0)
{
    return std::abs(a.x() - b.x()) <= limit && std::abs(a.y() - b.y()) <= limit;
}

QString show(const QList<PlotPolyline> &lines)
{
    QStringList parts;
    for (const PlotPolyline &l : lines) {
        QStringList pts;
        for (const QPointF &p : l.points)
            pts << QStringLiteral("%1,%2").arg(p.x()).arg(p.y());
        parts << pts.join(' ');
    }
    return parts.join(" | ");
}

} // namespace

class TestHpglExport : public QObject
{
    Q_OBJECT
private slots:
    void geometry_data();
    void geometry();
    void curvesWithinResolution_data();
    void curvesWithinResolution();
    void pensFollowOutlineColour();
    void dashedOutlineGetsLineType();
    void onlyPrintableCurvesExported_data();
    void onlyPrintableCurvesExported();
    void filterProperties_data();
    void filterProperties();
    void fitAndRange_data();
    void fitAndRange();
    void fiveFoldExportAndBack();
    void unwritableFileIsAnError();
    void textBesideCurvesKeepsThePlotAnchored();
};

void TestHpglExport::geometry_data()
{
    QTest::addColumn<QPainterPath>("path");
    QTest::addColumn<int>("scale");
    QTest::addColumn<int>("origin");
    QTest::addColumn<QList<QPolygonF>>("expected");

    QPainterPath rect;
    rect.addRect(0, 0, 1, 2);
    QTest::newRow("rectangle from the page corner")
        << rect << 100 << 1
        << QList<QPolygonF>{poly({{0, 0}, {1016, 0}, {1016, 2032}, {0, 2032}, {0, 0}})};

    QPainterPath mm(QPointF(inches(10), inches(20)));
    mm.lineTo(inches(50), inches(20));
    QTest::newRow("segment in millimetres, 40 units each")
        << mm << 100 << 1 << QList<QPolygonF>{poly({{400, 800}, {2000, 800}})};

    QPainterPath mark(QPointF(inches(4), inches(274.5)));
    mark.lineTo(inches(13), inches(274.5));
    mark.moveTo(inches(8.5), inches(270));
    mark.lineTo(inches(8.5), inches(279));
    QTest::newRow("combined mark is two polylines")
        << mark << 100 << 1
        << QList<QPolygonF>{poly({{160, 10980}, {520, 10980}}), poly({{340, 10800}, {340, 11160}})};

    QPainterPath small;
    small.addRect(1, 1, 1, 1);
    QTest::newRow("scale factor 500 enlarges five times")
        << small << 500 << 1
        << QList<QPolygonF>{
               poly({{5080, 5080}, {10160, 5080}, {10160, 10160}, {5080, 10160}, {5080, 5080}})};

    QPainterPath corner(QPointF(0, 0));
    corner.lineTo(1, 1);
    QTest::newRow("origin at the page centre")
        << corner << 100 << 0 << QList<QPolygonF>{poly({{-4200, -5940}, {-3184, -4924}})};

    QPainterPath outside(QPointF(-1, -1));
    outside.lineTo(20, 30);
    QTest::newRow("outside the page is not clipped")
        << outside << 100 << 1 << QList<QPolygonF>{poly({{-1016, -1016}, {20320, 30480}})};
}

void TestHpglExport::geometry()
{
    QFETCH(QPainterPath, path);
    QFETCH(int, scale);
    QFETCH(int, origin);
    QFETCH(QList<QPolygonF>, expected);

    AutomationHandle app = freshApplication();
    HostDocument::Ptr doc = BuiltinHost::instance().activeDocument();
    doc->addShape(doc->activeLayer, path);
    const QByteArray text = exportPlot(*app, {{"ScaleFactor", scale}, {"PlotterOrigin", origin}});
    const QList<PlotPolyline> lines = readPlot(text);
    QCOMPARE(lines.size(), expected.size());
    for (int i = 0; i < lines.size(); ++i) {
        QCOMPARE(lines.at(i).points.size(), expected.at(i).size());
        for (int p = 0; p < expected.at(i).size(); ++p)
            QVERIFY2(near(lines.at(i).points.at(p), expected.at(i).at(p)), qPrintable(show(lines)));
    }
}

void TestHpglExport::curvesWithinResolution_data()
{
    QTest::addColumn<double>("radius"); // inches
    QTest::addColumn<double>("resolution");
    QTest::addColumn<int>("scale");
    QTest::newRow("small circle, fine resolution") << 0.2 << 0.00025 << 100;
    QTest::newRow("large circle") << 3.0 << 0.00025 << 100;
    QTest::newRow("coarse resolution still within it") << 1.0 << 0.01 << 100;
    QTest::newRow("five-fold scale") << 0.5 << 0.00025 << 500;
}

void TestHpglExport::curvesWithinResolution()
{
    QFETCH(double, radius);
    QFETCH(double, resolution);
    QFETCH(int, scale);
    AutomationHandle app = freshApplication();
    HostDocument::Ptr doc = BuiltinHost::instance().activeDocument();
    const QPointF centre(4, 5);
    QPainterPath circle;
    circle.addEllipse(centre, radius, radius);
    doc->addShape(doc->activeLayer, circle);
    const QList<PlotPolyline> lines =
        readPlot(exportPlot(*app, {{"CurveResolution", resolution}, {"ScaleFactor", scale}}));
    QCOMPARE(lines.size(), 1);
    const double units = 1016.0 * scale / 100.0;
    const QPolygonF &points = lines.first().points;
    QVERIFY(points.size() > 8);
    QCOMPARE(points.first(), points.last());
    double worstGap = 0;
    for (int i = 0; i < points.size(); ++i) {
        // Every vertex on the circle within one unit of rounding; the document's circle is four
        // Bézier arcs, which themselves stray from the true circle by up to 0.03 % of the radius.
        const double r = QLineF(centre * units, points.at(i)).length();
        QVERIFY2(std::abs(r - radius * units) <= 1.0 + 3e-4 * radius * units,
                 qPrintable(QString::number(r)));
        // ... and every chord close to it: sagitta within the resolution plus rounding.
        if (i > 0) {
            const QPointF mid = (points.at(i) + points.at(i - 1)) / 2;
            worstGap = qMax(worstGap, radius * units - QLineF(centre * units, mid).length());
        }
    }
    QVERIFY2(worstGap <= resolution * 1016 + 1.0, qPrintable(QString::number(worstGap)));
}

void TestHpglExport::pensFollowOutlineColour()
{
    AutomationHandle app = freshApplication();
    AutomationHandle layer = document(*app)->querySubObject(Member::ActiveLayer);
    const QList<QVariantList> colours{{0, 0, 0, 100}, {0, 100, 100, 0}, {0, 0, 0, 100}};
    for (int i = 0; i < colours.size(); ++i) {
        AutomationHandle shape = layer->querySubObject(Member::CreateLineSegment, {i, 0, i, 1});
        shape->querySubObject(Member::Outline)
            ->querySubObject(Member::Color)
            ->dynamicCall(Member::CMYKAssign, colours.at(i));
    }
    const QList<PlotPolyline> lines = readPlot(exportPlot(*app));
    QCOMPARE(lines.size(), 3);
    QCOMPARE(lines.at(0).pen, 1);
    QCOMPARE(lines.at(1).pen, 2);
    QCOMPARE(lines.at(2).pen, 1);
}

void TestHpglExport::dashedOutlineGetsLineType()
{
    AutomationHandle app = freshApplication();
    HostDocument::Ptr doc = BuiltinHost::instance().activeDocument();
    QPainterPath a(QPointF(0, 0)), b(QPointF(0, 1)), c(QPointF(0, 2));
    a.lineTo(1, 0);
    b.lineTo(1, 1);
    c.lineTo(1, 2);
    doc->addShape(doc->activeLayer, a);
    doc->addShape(doc->activeLayer, b)->dashed = true;
    doc->addShape(doc->activeLayer, c);
    const QByteArray text = exportPlot(*app);
    const QList<PlotPolyline> lines = readPlot(text);
    QCOMPARE(lines.size(), 3);
    QCOMPARE(lines.at(0).dashed, false);
    QCOMPARE(lines.at(1).dashed, true);
    QCOMPARE(lines.at(2).dashed, false);
    QVERIFY(text.contains("LT2,"));
}

void TestHpglExport::onlyPrintableCurvesExported_data()
{
    QTest::addColumn<bool>("printable");
    QTest::addColumn<bool>("visible");
    QTest::addColumn<bool>("editable");
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("expected");
    QTest::newRow("printable curve") << true << true << true << int(ShapeKind::Curve) << 1;
    QTest::newRow("non-printing layer") << false << true << true << int(ShapeKind::Curve) << 0;
    QTest::newRow("hidden layer") << true << false << true << int(ShapeKind::Curve) << 0;
    QTest::newRow("locked but printable layer")
        << true << true << false << int(ShapeKind::Curve) << 1;
    QTest::newRow("text never a contour") << true << true << true << int(ShapeKind::Text) << 0;
    QTest::newRow("image never a contour") << true << true << true << int(ShapeKind::Image) << 0;
}

void TestHpglExport::onlyPrintableCurvesExported()
{
    QFETCH(bool, printable);
    QFETCH(bool, visible);
    QFETCH(bool, editable);
    QFETCH(int, kind);
    QFETCH(int, expected);
    AutomationHandle app = freshApplication();
    HostDocument::Ptr doc = BuiltinHost::instance().activeDocument();
    auto layer = std::make_shared<HostLayer>();
    layer->name = "Cutting Layer";
    layer->printable = printable;
    layer->visible = visible;
    layer->editable = editable;
    doc->activePage->layers.append(layer);
    doc->activePage->layers.first()->printable = false; // only the layer under test prints
    HostShape::Ptr shape = addRectangle(layer, QRectF(1, 1, 2, 2));
    shape->kind = ShapeKind(kind);
    shape->keptBounds = QRectF(1, 1, 2, 2);
    addRectangle(doc->activePage->layers.first(), QRectF(5, 5, 1, 1));
    QCOMPARE(readPlot(exportPlot(*app)).size(), expected);
}

void TestHpglExport::filterProperties_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<bool>("ok");
    for (const auto &setting : standardSettings())
        QTest::newRow(qPrintable(QStringLiteral("standard %1").arg(setting.first)))
            << QString(setting.first) << setting.second << true;
    QTest::newRow("name in another case") << "plotterunits" << QVariant(1016) << false;
    QTest::newRow("unknown name") << "PlotterUnit" << QVariant(1016) << false;
    QTest::newRow("units as a word") << "PlotterUnits" << QVariant("many") << false;
    QTest::newRow("zero units") << "PlotterUnits" << QVariant(0) << false;
    QTest::newRow("zero resolution") << "CurveResolution" << QVariant(0.0) << false;
    QTest::newRow("hatch fill") << "FillType" << QVariant(1) << false;
    QTest::newRow("fill type as a word") << "FillType" << QVariant("none") << false;
    QTest::newRow("hidden-line removal") << "RemoveHiddenLines" << QVariant(true) << false;
    QTest::newRow("weld") << "AutomaticWeld" << QVariant(true) << false;
    QTest::newRow("origin 2") << "PlotterOrigin" << QVariant(2) << false;
    QTest::newRow("scale as double") << "ScaleFactor" << QVariant(250.0) << true;
}

void TestHpglExport::filterProperties()
{
    QFETCH(QString, name);
    QFETCH(QVariant, value);
    QFETCH(bool, ok);
    AutomationHandle app = freshApplication();
    AutomationHandle filter = document(*app)->querySubObject(
        Member::ExportEx, {"/tmp/unused.plt", HPGL_EXPORT_FILTER, 0, QVariant(), QVariant()});
    QVERIFY(!filter->isNull());
    QCOMPARE(filter->setProperty(name.toLatin1().constData(), value), ok);
    QCOMPARE(filter->errorText().isEmpty(), ok);
}

void TestHpglExport::fitAndRange_data()
{
    QTest::addColumn<bool>("fit");
    QTest::addColumn<int>("range");
    QTest::addColumn<QRectF>("plotBox"); // plotter units, y up
    // Two shapes: a 1 x 1 in square at (1, 1), selected, and a 2 x 1 in box at (4, 1).
    QTest::newRow("whole page as drawn") << false << 0 << QRectF(1016, 1016, 5080, 1016);
    QTest::newRow("current page as drawn") << false << 1 << QRectF(1016, 1016, 5080, 1016);
    QTest::newRow("selection only") << false << 2 << QRectF(1016, 1016, 1016, 1016);
    QTest::newRow("fit to a 10 x 10 in page") << true << 0 << QRectF(0, 0, 10160, 2032);
}

void TestHpglExport::fitAndRange()
{
    QFETCH(bool, fit);
    QFETCH(int, range);
    QFETCH(QRectF, plotBox);
    AutomationHandle app = freshApplication();
    HostDocument::Ptr doc = BuiltinHost::instance().activeDocument();
    doc->addToSelection(addRectangle(doc->activeLayer, QRectF(1, 1, 1, 1)));
    addRectangle(doc->activeLayer, QRectF(4, 1, 2, 1));
    QTemporaryDir dir;
    AutomationHandle filter =
        document(*app)->querySubObject(Member::ExportEx, {dir.filePath("f.plt"), HPGL_EXPORT_FILTER,
                                                          range, QVariant(), QVariant()});
    QVERIFY(filter->setProperty("FitToPage", fit));
    QVERIFY(filter->setProperty("PageWidth", 10));
    QVERIFY(filter->setProperty("PageHeight", 10));
    filter->dynamicCall(Member::Finish);
    QFile file(dir.filePath("f.plt"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QPolygonF all;
    for (const PlotPolyline &line : readPlot(file.readAll()))
        all << line.points;
    const QRectF box = all.boundingRect();
    QVERIFY2(near(box.topLeft(), plotBox.topLeft()) &&
                 near(box.bottomRight(), plotBox.bottomRight()),
             qPrintable(QStringLiteral("%1 %2 %3 %4")
                            .arg(box.left())
                            .arg(box.top())
                            .arg(box.width())
                            .arg(box.height())));
}

void TestHpglExport::fiveFoldExportAndBack()
{
    // The cutting export: select the layer's shapes, stretch five-fold about the bottom-left
    // corner of their box, export, stretch back.
    AutomationHandle app = freshApplication();
    HostDocument::Ptr doc = BuiltinHost::instance().activeDocument();
    AutomationHandle layer = createLayer(*app, "Cutting Layer");
    HostLayer::Ptr cutting = doc->findLayer("Cutting Layer");
    addRectangle(cutting, QRectF(1, 2, 0.5, 0.25));
    addRectangle(cutting, QRectF(2, 3, 1, 1));
    const QRectF before = HostDocument::boundsOf(cutting->shapes);
    doc->activePage->layers.first()->printable = false;
    layer->querySubObject(Member::Shapes)
        ->querySubObject(Member::All)
        ->dynamicCall(Member::AddToSelection);
    AutomationHandle selection = app->querySubObject(Member::ActiveSelection);
    document(*app)->dynamicCall(Member::SetReferencePoint, {5});
    selection->dynamicCall(Member::Stretch, {5.0});
    const QList<PlotPolyline> lines = readPlot(exportPlot(*app));
    selection->dynamicCall(Member::Stretch, {0.2});
    QCOMPARE(lines.size(), 2);
    // Box corner (1, 2) stays; the first rectangle grows to 2.5 x 1.25 inches.
    QVERIFY2(near(lines.at(0).points.at(0), QPointF(1016, 2032)), qPrintable(show(lines)));
    QVERIFY2(near(lines.at(0).points.at(2), QPointF(1016 * 3.5, 1016 * 3.25)),
             qPrintable(show(lines)));
    QVERIFY2(near(lines.at(1).points.at(2), QPointF(1016 * 11, 1016 * 12)),
             qPrintable(show(lines)));
    const QRectF after = HostDocument::boundsOf(cutting->shapes);
    QVERIFY(std::abs(after.left() - before.left()) < 1e-12 &&
            std::abs(after.width() - before.width()) < 1e-12);
}

void TestHpglExport::unwritableFileIsAnError()
{
    AutomationHandle app = freshApplication();
    AutomationHandle filter = document(*app)->querySubObject(
        Member::ExportEx,
        {"/nonexistent-folder/x.plt", HPGL_EXPORT_FILTER, 0, QVariant(), QVariant()});
    QVERIFY(!filter->dynamicCall(Member::Finish).isValid());
    QVERIFY(filter->errorText().contains("cannot write"));
    QVERIFY(!QFile::exists("/nonexistent-folder/x.plt"));
}

void TestHpglExport::textBesideCurvesKeepsThePlotAnchored()
{
    // A blank-cut export selects text too. Text is never plotted, so the five-fold stretch must
    // keep the curves' own corner where it is: the plot is scaled back about its minimum corner.
    AutomationHandle app = freshApplication();
    HostDocument::Ptr doc = BuiltinHost::instance().activeDocument();
    addRectangle(doc->activeLayer, QRectF(2, 3, 1, 1));
    HostShape::Ptr text = addRectangle(doc->activeLayer, QRectF(0.5, 0.5, 1, 0.2));
    text->kind = ShapeKind::Text;
    text->keptBounds = QRectF(0.5, 0.5, 1, 0.2);
    page(*app)
        ->querySubObject(Member::SelectableShapes)
        ->querySubObject(Member::All)
        ->dynamicCall(Member::AddToSelection);
    document(*app)->dynamicCall(Member::SetReferencePoint, {5});
    AutomationHandle selection = app->querySubObject(Member::ActiveSelection);
    selection->dynamicCall(Member::Stretch, {5.0});
    const QList<PlotPolyline> lines = readPlot(exportPlot(*app));
    selection->dynamicCall(Member::Stretch, {0.2});
    QCOMPARE(lines.size(), 1);
    const QRectF box = lines.first().points.boundingRect();
    QVERIFY2(near(box.topLeft(), QPointF(2032, 3048)), qPrintable(show(lines)));
    QVERIFY2(near(box.bottomRight(), QPointF(2032 + 5080, 3048 + 5080)), qPrintable(show(lines)));
    QCOMPARE(text->bounds(), QRectF(0.5, 0.5, 1, 0.2));
}

QTEST_MAIN(TestHpglExport)
#include "tst_hpglexport.moc"
