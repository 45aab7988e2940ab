// "Create Boundary" against the built-in host: what "Cutting Layer" holds afterwards, where the
// contours run against the artwork, and which layers take no part.

#include "BoundaryCoverage.h"
#include "RecordingAutomation.h"
#include "TestDocument.h"
#include "host/CdrConnection.h"
#include "model/ShapeOperations.h"

#include <QtTest>
#include <algorithm>
#include <cmath>

using namespace TestDocument;

namespace {

constexpr double ToleranceMm = 0.05;

// A page from a short description, every item on "Layer 1" unless said otherwise:
// "rect l t w h" (mm from the top-left corner), "ring" (a 40 mm square with a 20 mm hole, one
// curve), "circle x y r", "marks" (labelSheet's working layers, marks drawn by Add Mark),
// "crease" (a crease line crossing the first label), "cut" (an earlier contour on "Cutting Layer").
HostDocument::Ptr makePage(const QStringList &items)
{
    HostDocument::Ptr doc = items.contains("marks") ? labelSheet(0) : freshA4();
    const HostLayer::Ptr art = doc->activePage->layers.first();
    for (const QString &item : items) {
        const QStringList p = item.split(' ');
        QVector<double> v;
        for (int i = 1; i < p.size(); ++i)
            v << p.at(i).toDouble();
        if (p.first() == "rect") {
            addRectangle(doc, art, v[0], v[1], v[2], v[3]);
        } else if (p.first() == "ring") {
            QPainterPath path;
            path.addRect(QRectF(hostPoint(doc, 20, 60), hostPoint(doc, 60, 20)));
            path.addRect(QRectF(hostPoint(doc, 30, 50), hostPoint(doc, 50, 30)));
            doc->addShape(art, path)->filled = true;
        } else if (p.first() == "circle") {
            QPainterPath path;
            path.addEllipse(hostPoint(doc, v[0], v[1]), v[2] / MmPerInch, v[2] / MmPerInch);
            doc->addShape(art, path);
        } else if (p.first() == "crease") {
            HostLayer::Ptr layer = doc->findLayer("Creasing Layer");
            if (!layer)
                layer = addLayer(doc, "Creasing Layer", false, true);
            // Drawn with a stroke, as crease lines usually are: its area reaches past the label.
            addLine(doc, layer, {{10, 35}, {80, 35}})->outlineWidthInches = 0.5 / MmPerInch;
        } else if (p.first() == "cut") {
            HostLayer::Ptr layer = doc->findLayer("Cutting Layer");
            if (!layer)
                layer = addLayer(doc, "Cutting Layer", false, false);
            addRectangle(doc, layer, 150, 150, 10, 10);
        } else if (p.first() == "hidden") {
            doc->findLayer("Cutting Layer")->visible = false;
        }
    }
    doc->activeLayer = art;
    return doc;
}

QList<QRectF> boxesOn(const HostDocument::Ptr &doc, const QString &layerName)
{
    QList<QRectF> boxes;
    const HostLayer::Ptr layer = doc->findLayer(layerName);
    for (const HostShape::Ptr &shape : layer ? layer->shapes : QList<HostShape::Ptr>())
        boxes << boxMm(doc, shape);
    std::sort(boxes.begin(), boxes.end(), [](const QRectF &a, const QRectF &b) {
        return a.left() < b.left() || (a.left() == b.left() && a.top() < b.top());
    });
    return boxes;
}

bool closeTo(const QRectF &a, const QRectF &b)
{
    return std::abs(a.left() - b.left()) < ToleranceMm &&
           std::abs(a.top() - b.top()) < ToleranceMm &&
           std::abs(a.right() - b.right()) < ToleranceMm &&
           std::abs(a.bottom() - b.bottom()) < ToleranceMm;
}

QString describe(int index, const QRectF &box)
{
    return QStringLiteral("contour %1 at %2,%3 %4x%5")
        .arg(index)
        .arg(box.left())
        .arg(box.top())
        .arg(box.width())
        .arg(box.height());
}

// Enclosed area of a curve's subpaths in square millimetres.
double areaMm2(const HostShape::Ptr &shape)
{
    double total = 0;
    for (const QPolygonF &poly : shape->path.toSubpathPolygons()) {
        double a = 0;
        for (int i = 0; i + 1 < poly.size(); ++i)
            a += poly.at(i).x() * poly.at(i + 1).y() - poly.at(i + 1).x() * poly.at(i).y();
        total += std::abs(a / 2);
    }
    return total * MmPerInch * MmPerInch;
}

} // namespace

Q_DECLARE_METATYPE(QList<QRectF>)

class ConnectionBoundaryTest : public QObject
{
    Q_OBJECT

private slots:
    void contours_data();
    void contours();
    void layerStates_data();
    void layerStates();
    void creasingLayerKeepsItsLock_data();
    void creasingLayerKeepsItsLock();
    void ensureCuttingLayer_data();
    void ensureCuttingLayer();
    void drawnAsLibrsvgDrawsIt_data();
    void drawnAsLibrsvgDrawsIt();
    void corpusContoursFollowThePrint_data();
    void corpusContoursFollowThePrint();
    void hostCallsAsTheHostTakesThem();
    void noHost();
};

void ConnectionBoundaryTest::contours_data()
{
    QTest::addColumn<QStringList>("page");
    QTest::addColumn<QList<QRectF>>("boxes"); // mm from the top-left corner
    QTest::addColumn<double>("area");         // mm², all contours together
    QTest::newRow("two separate islands: two curves, each around its label")
        << QStringList{"rect 20 20 50 30", "rect 100 20 50 30"}
        << QList<QRectF>{{20, 20, 50, 30}, {100, 20, 50, 30}} << 3000.0;
    QTest::newRow("overlapping labels: one curve around both")
        << QStringList{"rect 20 20 50 30", "rect 60 40 20 20"} << QList<QRectF>{{20, 20, 60, 40}}
        << 1500.0 + 400.0 - 100.0;
    QTest::newRow("labels edge to edge (off by a rounding error): one curve, no sliver")
        << QStringList{"rect 20 20 50 30", "rect 70.0001 20 50 30"}
        << QList<QRectF>{{20, 20, 100.0001, 30}} << 3000.0;
    QTest::newRow("artwork nested in a label: no contour of its own")
        << QStringList{"rect 20 20 50 30", "rect 30 25 10 10"} << QList<QRectF>{{20, 20, 50, 30}}
        << 1500.0;
    QTest::newRow("ring: its outer outline only, the hole stays on the label")
        << QStringList{"ring", "circle 40 40 3"} << QList<QRectF>{{20, 20, 40, 40}} << 1600.0;
    QTest::newRow("circle: the contour follows the curve")
        << QStringList{"circle 50 50 20"} << QList<QRectF>{{30, 30, 40, 40}} << M_PI * 400.0;
    QTest::newRow("marks and assist outline take no part")
        << QStringList{"marks", "rect 40 100 30 20"} << QList<QRectF>{{40, 100, 30, 20}} << 600.0;
    QTest::newRow("crease line across a label: no contour through the fold")
        << QStringList{"rect 20 20 50 30", "crease"} << QList<QRectF>{{20, 20, 50, 30}} << 1500.0;
    QTest::newRow("second run: the earlier contour replaced, one boundary")
        << QStringList{"rect 20 20 50 30", "cut"} << QList<QRectF>{{20, 20, 50, 30}} << 1500.0;
}

void ConnectionBoundaryTest::contours()
{
    QFETCH(QStringList, page);
    QFETCH(QList<QRectF>, boxes);
    QFETCH(double, area);
    HostDocument::Ptr doc = makePage(page);
    if (page.contains("marks")) {
        QVERIFY(CdrConnection(HostId).addMarks());
        doc->activeLayer = doc->activePage->layers.first();
    }
    const int artwork = doc->activePage->layers.first()->shapes.size();
    CdrConnection conn(HostId);
    QVERIFY2(conn.createCutBoundary(), qPrintable(conn.detail()));
    if (page.contains("cut"))
        QVERIFY(conn.createCutBoundary());

    const QList<QRectF> found = boxesOn(doc, "Cutting Layer");
    QCOMPARE(found.size(), boxes.size());
    for (int i = 0; i < boxes.size(); ++i)
        QVERIFY2(closeTo(found.at(i), boxes.at(i)), qPrintable(describe(i, found.at(i))));
    double total = 0;
    for (const HostShape::Ptr &curve : doc->findLayer("Cutting Layer")->shapes) {
        QVERIFY(!curve->filled);
        QVERIFY(std::abs(curve->outlineWidthInches - 0.076 / MmPerInch) < 1e-9);
        QCOMPARE(ShapeOperations::subpaths(curve->path).size(), 1);
        total += areaMm2(curve);
    }
    QVERIFY2(std::abs(total - area) < area * 0.002, qPrintable(QString::number(total)));
    QVERIFY(!doc->findLayer("Cutting Layer")->editable);
    QCOMPARE(doc->activePage->layers.first()->shapes.size(), artwork);
    QCOMPARE(doc->activeLayer, doc->activePage->layers.first());
}

void ConnectionBoundaryTest::layerStates_data()
{
    QTest::addColumn<QStringList>("page");
    QTest::addColumn<int>("curves");
    QTest::addColumn<bool>("editable");
    QTest::newRow("empty page: the layer created, empty and editable")
        << QStringList{} << 0 << true;
    QTest::newRow("empty page: an earlier contour removed, the layer left editable")
        << QStringList{"cut"} << 0 << true;
    QTest::newRow("artwork: the layer locked") << QStringList{"rect 20 20 10 10"} << 1 << false;
    QTest::newRow("hidden layer shown, or its contours would not be cut")
        << QStringList{"rect 20 20 10 10", "cut", "hidden"} << 1 << false;
}

void ConnectionBoundaryTest::layerStates()
{
    QFETCH(QStringList, page);
    QFETCH(int, curves);
    QFETCH(bool, editable);
    HostDocument::Ptr doc = makePage(page);
    QVERIFY(CdrConnection(HostId).createCutBoundary());
    const HostLayer::Ptr cutting = doc->findLayer("Cutting Layer");
    QVERIFY(cutting);
    QCOMPARE(cutting->shapes.size(), curves);
    QCOMPARE(cutting->editable, editable);
    QVERIFY(cutting->visible);
}

void ConnectionBoundaryTest::creasingLayerKeepsItsLock_data()
{
    QTest::addColumn<bool>("editable");
    QTest::newRow("editable creasing layer editable again") << true;
    QTest::newRow("locked creasing layer stays locked") << false;
}

void ConnectionBoundaryTest::creasingLayerKeepsItsLock()
{
    QFETCH(bool, editable);
    HostDocument::Ptr doc = makePage({"rect 20 20 50 30", "crease"});
    doc->findLayer("Creasing Layer")->editable = editable;
    QVERIFY(CdrConnection(HostId).createCutBoundary());
    QCOMPARE(doc->findLayer("Creasing Layer")->editable, editable);
    QCOMPARE(doc->findLayer("Creasing Layer")->shapes.size(), 1);
}

void ConnectionBoundaryTest::ensureCuttingLayer_data()
{
    QTest::addColumn<QStringList>("page");
    QTest::addColumn<int>("curves");
    QTest::newRow("missing layer created, empty") << QStringList{"rect 20 20 10 10"} << 0;
    QTest::newRow("existing layer keeps its contours and lock")
        << QStringList{"rect 20 20 10 10", "cut"} << 1;
    QTest::newRow("hidden layer shown, to draw on")
        << QStringList{"rect 20 20 10 10", "cut", "hidden"} << 1;
}

void ConnectionBoundaryTest::ensureCuttingLayer()
{
    QFETCH(QStringList, page);
    QFETCH(int, curves);
    HostDocument::Ptr doc = makePage(page);
    const bool existed = doc->findLayer("Cutting Layer") != nullptr;
    QVERIFY(CdrConnection(HostId).ensureCuttingLayer());
    const HostLayer::Ptr cutting = doc->findLayer("Cutting Layer");
    QVERIFY(cutting);
    QCOMPARE(cutting->shapes.size(), curves);
    QCOMPARE(cutting->editable, !existed);
    QVERIFY(cutting->visible);
    QCOMPARE(doc->activeLayer, doc->activePage->layers.first());
    QCOMPARE(doc->activePage->layers.first()->shapes.size(), 1);
}

void ConnectionBoundaryTest::drawnAsLibrsvgDrawsIt_data()
{
    // Every sheet also holds a plain label at 10,10 (20 x 20 mm), whose exact outline stays.
    QTest::addColumn<QString>("artwork"); // SVG elements, user units of 1 mm
    QTest::addColumn<QList<QRectF>>("boxes");
    QTest::addColumn<double>("tolerance"); // mm, for the contours traced from the drawing
    const QRectF label(10, 10, 20, 20);
    const QString rect = QStringLiteral("<rect x='50' y='10' width='30' height='20' %1/>");
    for (const char *hidden :
         {"style='visibility:hidden'", "opacity='0'", "style='fill-opacity:0'",
          "style='fill:none;stroke:none'",
          "style='fill-opacity:0;stroke:black;stroke-opacity:0;stroke-width:2'"})
        QTest::addRow("no contour: %s", hidden)
            << rect.arg(QLatin1String(hidden)) << QList<QRectF>{label} << ToleranceMm;
    QTest::newRow("no contour: hidden by its group")
        << "<g style='visibility:hidden'>" + rect.arg("") + "</g>" << QList<QRectF>{label}
        << ToleranceMm;
    QTest::newRow("no contour: no paint by a CSS class")
        << "<style>.none{fill:none}</style>" + rect.arg("class='none'") << QList<QRectF>{label}
        << ToleranceMm;
    QTest::newRow("no contour: empty text")
        << QStringLiteral("<text x='50' y='20' style='font-size:10px'> </text>")
        << QList<QRectF>{label} << ToleranceMm;
    // Texts are outlined from the same drawing as every other shape, not by their box.
    QTest::newRow("text: one contour per glyph apart")
        << QStringLiteral("<text x='50' y='40' style='font:20px DejaVu Sans'>I I</text>")
        << QList<QRectF>{label, {51.96, 25.42, 1.96, 14.58}, {64.22, 25.42, 1.96, 14.58}} << 0.1;
    // A text is drawn within its box and a margin: ink past that is judged with the other shapes.
    QTest::newRow("text stroked past its box: the contour takes the stroke")
        << QStringLiteral("<text x='50' y='40' font-family='DejaVu Sans' font-size='20' "
                          "stroke='black' stroke-width='8'>I</text>")
        << QList<QRectF>{label, {47.96, 21.42, 9.96, 22.58}} << 0.1;
    QTest::newRow("texts over one another: one contour round both")
        << QStringLiteral("<text x='50' y='40' font-family='DejaVu Sans' font-size='20'>I</text>"
                          "<text x='51' y='41' font-family='DejaVu Sans' font-size='20'>I</text>")
        << QList<QRectF>{label, {51.96, 25.42, 2.96, 15.58}} << 0.1;
    QTest::newRow("round caps: the contour takes the caps")
        << QStringLiteral("<path d='M 50 20 H 80' stroke='black' stroke-width='4' "
                          "stroke-linecap='round'/>")
        << QList<QRectF>{label, {48, 18, 34, 4}} << 0.1;
    // A spike 40 mm long whose paint fades out towards its tip is cut where it fades below half.
    QTest::newRow("paint fading to transparent: no spur")
        << QStringLiteral("<defs><linearGradient id='fade' gradientUnits='userSpaceOnUse' "
                          "x1='50' y1='0' x2='90' y2='0'><stop offset='0' stop-color='red'/>"
                          "<stop offset='1' stop-color='red' stop-opacity='0'/>"
                          "</linearGradient></defs><path d='M 50 10 L 90 20 L 50 30 Z' "
                          "fill='url(#fade)'/>")
        << QList<QRectF>{label, {50, 10, 20, 20}} << 0.2;
    QTest::newRow("a hairline star drawn without fill: one contour, its outline")
        << QStringLiteral("<path d='M 50 30 L 60 10 L 70 30 L 50 17 L 70 17 Z' fill='none' "
                          "stroke='black' stroke-width='0.03'/>")
        << QList<QRectF>{label, {50, 10, 20, 20}} << 0.1;
}

// A sheet of the same drawing as a user makes it: the contour goes where librsvg draws.
void ConnectionBoundaryTest::drawnAsLibrsvgDrawsIt()
{
    QFETCH(QString, artwork);
    QFETCH(QList<QRectF>, boxes);
    QFETCH(double, tolerance);
    QTemporaryDir dir;
    QFile file(dir.filePath("sheet.svg"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("<svg xmlns='http://www.w3.org/2000/svg' width='210mm' height='297mm' "
               "viewBox='0 0 210 297'><rect x='10' y='10' width='20' height='20'/>" +
               artwork.toUtf8() + "</svg>");
    file.close();
    BuiltinHost &host = BuiltinHost::instance();
    host.reset();
    const Result<HostDocument::Ptr> opened = host.openDocument(file.fileName());
    QVERIFY2(opened, qPrintable(opened.error()));
    QVERIFY2(CdrConnection(HostId).createCutBoundary(), "no boundary");
    const QList<QRectF> found = boxesOn(*opened, "Cutting Layer");
    QCOMPARE(found.size(), boxes.size());
    for (int i = 0; i < boxes.size(); ++i) {
        const QRectF d(found.at(i).topLeft() - boxes.at(i).topLeft(),
                       found.at(i).bottomRight() - boxes.at(i).bottomRight());
        QVERIFY2(std::max({std::abs(d.left()), std::abs(d.top()), std::abs(d.right()),
                           std::abs(d.bottom())}) <= tolerance,
                 qPrintable(describe(i, found.at(i))));
    }
}

void ConnectionBoundaryTest::corpusContoursFollowThePrint_data()
{
    QTest::addColumn<QString>("file");
    const QDir corpus(QStringLiteral(VX_TEST_DATA_DIR "/host/corpus"));
    for (const QString &name : corpus.entryList({"*.svg"}, QDir::Files, QDir::Name))
        QTest::newRow(qPrintable(name)) << corpus.filePath(name);
}

// Drawings other programs made: at most 1 % of what prints lies outside every contour, and at
// most 1 % of the contours' area is where nothing prints.
void ConnectionBoundaryTest::corpusContoursFollowThePrint()
{
    QFETCH(QString, file);
    const Result<BoundaryCoverage::Shares> shares = BoundaryCoverage::compare(file);
    QVERIFY2(shares, qPrintable(shares.error()));
    QVERIFY(shares->contours > 0);
    QVERIFY2(shares->passes(), qPrintable(QStringLiteral("%1 % printed outside, %2 % unprinted")
                                              .arg(shares->printedOutside * 100)
                                              .arg(shares->contourUnprinted * 100)));
}

// The placement numbers go as integers and the new layer is made active before the boundary,
// so the contours land on it on a host that draws on the active layer.
void ConnectionBoundaryTest::hostCallsAsTheHostTakesThem()
{
    makePage({"rect 20 20 10 10"});
    auto log = std::make_shared<CallLog>();
    CdrConnection conn(recordingApplication(HostId, log));
    QVERIFY(conn.createCutBoundary());
    const QStringList calls = log->texts(
        {"CreateLayer(QString)", "Activate()", "CreateBoundary(double,double,bool,bool)"});
    QCOMPARE(calls.mid(0, 3),
             (QStringList{"CreateLayer(QString)[Cutting Layer]", "Activate()[]",
                          "CreateBoundary(double,double,bool,bool)[0,0,true,false]"}));
    const CallRecord boundary =
        *std::find_if(log->calls.begin(), log->calls.end(),
                      [](const CallRecord &c) { return c.signature.startsWith("CreateBoundary"); });
    QCOMPARE(boundary.args.at(0).userType(), int(QMetaType::Int));
}

void ConnectionBoundaryTest::noHost()
{
    HostDocument::Ptr doc = makePage({"rect 20 20 10 10"});
    BuiltinHost::instance().setProgramIdAvailable(HostId, false);
    CdrConnection conn(HostId);
    QVERIFY(!conn.createCutBoundary());
    const Result<> ensured = conn.ensureCuttingLayer();
    QVERIFY(!ensured);
    QVERIFY(!ensured.error().isEmpty());
    QVERIFY(!doc->findLayer("Cutting Layer"));
    BuiltinHost::instance().setProgramIdAvailable(HostId, true);
}

QTEST_MAIN(ConnectionBoundaryTest)
#include "tst_connectionboundary.moc"
