// Parts of reading an SVG: the limits that keep hostile files away from QtSvg, where the viewBox
// lands on the page, and the geometry a clip path leaves showing.
#include "builtin/svg/SvgClipGeometry.h"
#include "builtin/svg/SvgLimits.h"
#include "builtin/svg/SvgPathData.h"
#include "builtin/svg/ViewBoxMapping.h"

#include <QFile>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <QtTest>
#include <cmath>

namespace {

QByteArray document(const QByteArray &body)
{
    return "<svg xmlns=\"http://www.w3.org/2000/svg\" xmlns:xlink=\"http://www.w3.org/1999/xlink\" "
           "width=\"100\" height=\"100\">" +
           body + "</svg>";
}

// A chain of <use> elements, each naming the one before, ending at a rectangle: depth uses deep.
QByteArray useChain(int depth)
{
    QByteArray body = "<rect id=\"u0\" width=\"1\" height=\"1\"/>";
    for (int i = 1; i <= depth; ++i)
        body += QByteArray("<use id=\"u%1\" xlink:href=\"#u%2\"/>")
                    .replace("%1", QByteArray::number(i))
                    .replace("%2", QByteArray::number(i - 1));
    return document(body);
}

// Groups each holding a <use> of the group before: every group adds one level of indirection.
QByteArray groupChain(int depth)
{
    QByteArray body = "<rect id=\"g0\" width=\"1\" height=\"1\"/>";
    for (int i = 1; i <= depth; ++i)
        body += "<g id=\"g" + QByteArray::number(i) + "\"><use href=\"#g" +
                QByteArray::number(i - 1) + "\"/></g>";
    return document(body);
}

QByteArray nested(int levels)
{
    return document(QByteArray("<g>").repeated(levels - 1) +
                    QByteArray("</g>").repeated(levels - 1));
}

// Nested entities that expand to far more text than the file holds.
QByteArray entityBomb()
{
    QByteArray dtd = "<!DOCTYPE svg [<!ENTITY e0 \"xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx\">";
    for (int i = 1; i < 10; ++i)
        dtd += "<!ENTITY e" + QByteArray::number(i) + " \"" +
               QByteArray("&e" + QByteArray::number(i - 1) + ";").repeated(10) + "\">";
    return dtd + "]>" + document("<desc>&e9;</desc>");
}

double length(const QPainterPath &path)
{
    double total = 0;
    for (const QPolygonF &polygon : path.toSubpathPolygons())
        for (int i = 0; i + 1 < polygon.size(); ++i)
            total += QLineF(polygon.at(i), polygon.at(i + 1)).length();
    return total;
}

double area(const QPainterPath &path)
{
    double total = 0;
    for (const QPolygonF &polygon : path.toFillPolygons()) {
        for (int i = 0; i < polygon.size(); ++i) {
            const QPointF a = polygon.at(i), b = polygon.at((i + 1) % polygon.size());
            total += (a.x() * b.y() - b.x() * a.y()) / 2;
        }
    }
    return std::abs(total);
}

bool near(const QRectF &a, const QRectF &b, double tolerance)
{
    return std::abs(a.left() - b.left()) <= tolerance && std::abs(a.top() - b.top()) <= tolerance &&
           std::abs(a.right() - b.right()) <= tolerance &&
           std::abs(a.bottom() - b.bottom()) <= tolerance;
}

QPainterPath polyline(const QVector<QPointF> &points)
{
    QPainterPath path(points.first());
    for (int i = 1; i < points.size(); ++i)
        path.lineTo(points.at(i));
    return path;
}

QPainterPath circle(double cx, double cy, double r)
{
    QPainterPath path;
    path.addEllipse(QPointF(cx, cy), r, r);
    return path;
}

QPainterPath rect(double x, double y, double w, double h)
{
    QPainterPath path;
    path.addRect(x, y, w, h);
    return path;
}

} // namespace

Q_DECLARE_METATYPE(QPainterPath)

class TestSvgReadingParts : public QObject
{
    Q_OBJECT
private slots:
    void limits_data();
    void limits();
    void fileSize_data();
    void fileSize();
    void viewBox_data();
    void viewBox();
    void clipFor_data();
    void clipFor();
    void clipOfIllustratorDrawing();
    void clipped_data();
    void clipped();
    void pathData_data();
    void pathData();
};

void TestSvgReadingParts::limits_data()
{
    QTest::addColumn<QByteArray>("svg");
    QTest::addColumn<QString>("refusal"); // the start of the message; empty: accepted
    QFile inkscape(QStringLiteral(VX_TEST_DATA_DIR "/host/sheet-inkscape.svg"));
    QVERIFY(inkscape.open(QIODevice::ReadOnly));
    QTest::newRow("a sheet Inkscape saved passes") << inkscape.readAll() << QString();
    QTest::newRow("use chain of 32 passes") << useChain(32) << QString();
    QTest::newRow("use chain of 33 is too deep") << useChain(33) << "<use> elements refer";
    QTest::newRow("use of a group holding uses counts each level")
        << groupChain(33) << "<use> elements refer";
    QByteArray fan = "<rect id=\"r\" width=\"1\" height=\"1\"/>" +
                     QByteArray("<use xlink:href=\"#r\"/>").repeated(10000);
    QTest::newRow("many uses of one shape are one level") << document(fan) << QString();
    QTest::newRow("use naming itself is a circle")
        << document("<use id=\"a\" xlink:href=\"#a\"/>") << "<use> elements refer";
    QTest::newRow("two uses naming each other are a circle")
        << document("<use id=\"a\" href=\"#b\"/><use id=\"b\" xlink:href=\"#a\"/>")
        << "<use> elements refer";
    QTest::newRow("use inside the group it names is a circle")
        << document("<g id=\"a\"><use href=\"#a\"/></g>") << "<use> elements refer";
    QTest::newRow("use of a missing id passes")
        << document("<use href=\"#nowhere\"/>") << QString();
    QTest::newRow("chain of 200000 uses is refused without recursing")
        << useChain(200000) << "<use> elements refer";
    QTest::newRow("nesting 256 deep passes") << nested(256) << QString();
    QTest::newRow("nesting 257 deep is refused")
        << nested(257) << "elements nested deeper than 256";
    QTest::newRow("a million elements pass")
        << document(QByteArray("<g/>").repeated(SvgLimits::MaxElements - 1)) << QString();
    QTest::newRow("more than a million elements are refused")
        << document(QByteArray("<g/>").repeated(SvgLimits::MaxElements))
        << "the drawing has more than 1000000 elements";
    QTest::newRow("entity expansion beyond the reader's limit is refused")
        << entityBomb() << "not well-formed SVG";
    QTest::newRow("more than 100 MB is refused")
        << QByteArray(SvgLimits::MaxFileBytes + 1, ' ') << "the file is larger than 100 MB";
}

void TestSvgReadingParts::limits()
{
    QFETCH(QByteArray, svg);
    QFETCH(QString, refusal);
    const QString message = SvgLimits::check(svg).error();
    if (refusal.isEmpty())
        QCOMPARE(message, QString());
    else
        QVERIFY2(message.startsWith(refusal), qPrintable(message));
}

void TestSvgReadingParts::fileSize_data()
{
    QTest::addColumn<QString>("file"); // "big": a sparse file just over the limit
    QTest::addColumn<QString>("refusal");
    QTest::newRow("a drawing passes") << VX_TEST_DATA_DIR "/host/sheet-inkscape.svg" << QString();
    QTest::newRow("a missing file is left to opening") << "/nonexistent/x.svg" << QString();
    QTest::newRow("an endless device is refused") << "/dev/zero"
                                                  << "/dev/zero is not a regular";
    QTest::newRow("a file over 100 MB is refused") << "big"
                                                   << "the file is larger than 100 MB";
}

void TestSvgReadingParts::fileSize()
{
    QFETCH(QString, file);
    QFETCH(QString, refusal);
    QTemporaryDir dir;
    if (file == QLatin1String("big")) {
        file = dir.filePath(QStringLiteral("big.svg"));
        QFile big(file);
        QVERIFY(big.open(QIODevice::WriteOnly) && big.resize(SvgLimits::MaxFileBytes + 1));
    }
    const QString message = SvgLimits::checkFileSize(file).error();
    if (refusal.isEmpty())
        QCOMPARE(message, QString());
    else
        QVERIFY2(message.startsWith(refusal), qPrintable(message));
}

void TestSvgReadingParts::viewBox_data()
{
    // A 2:1 viewBox starting at (10, 20) in a square viewport: meet leaves room below and above,
    // slice overhangs left and right. The columns say where the viewBox's corners land.
    QTest::addColumn<QString>("preserveAspectRatio");
    QTest::addColumn<QPointF>("topLeft");
    QTest::addColumn<QPointF>("bottomRight");
    const QStringList xs{"Min", "Mid", "Max"};
    for (int x = 0; x < 3; ++x) {
        for (int y = 0; y < 3; ++y) {
            const QString align = "x" + xs[x] + "Y" + xs[y];
            QTest::addRow("%s meet", qPrintable(align))
                << align + " meet" << QPointF(0, 25 * y) << QPointF(100, 25 * y + 50);
            QTest::addRow("%s slice", qPrintable(align))
                << align + " slice" << QPointF(-50 * x, 0) << QPointF(200 - 50 * x, 100);
        }
    }
    QTest::newRow("none stretches each axis") << "none" << QPointF(0, 0) << QPointF(100, 100);
    QTest::newRow("absent is xMidYMid meet") << "" << QPointF(0, 25) << QPointF(100, 75);
    QTest::newRow("garbage is xMidYMid meet")
        << "xMinYMin fit" << QPointF(0, 25) << QPointF(100, 75);
    QTest::newRow("values are case-sensitive") << "xminymax" << QPointF(0, 25) << QPointF(100, 75);
    QTest::newRow("defer is ignored")
        << " defer  xMaxYMax\tslice " << QPointF(-100, 0) << QPointF(100, 100);
}

void TestSvgReadingParts::viewBox()
{
    QFETCH(QString, preserveAspectRatio);
    QFETCH(QPointF, topLeft);
    QFETCH(QPointF, bottomRight);
    const QTransform t = ViewBoxMapping::viewBoxToViewport(QRectF(10, 20, 200, 100),
                                                           QSizeF(100, 100), preserveAspectRatio);
    QCOMPARE(t.map(QPointF(10, 20)), topLeft);
    QCOMPARE(t.map(QPointF(210, 120)), bottomRight);
}

void TestSvgReadingParts::clipFor_data()
{
    QTest::addColumn<QByteArray>("defs");
    QTest::addColumn<QString>("ref");
    QTest::addColumn<QRectF>("box");    // the clipped element's bounding box
    QTest::addColumn<QRectF>("bounds"); // of the clip; empty: it hides everything
    QTest::addColumn<QPointF>("inside");
    QTest::addColumn<QPointF>("outside");
    const QRectF box(0, 0, 100, 100);
    QTest::newRow("circle in user space")
        << QByteArray("<clipPath id=\"c\"><circle cx=\"50\" cy=\"50\" r=\"25\"/></clipPath>")
        << "url(#c)" << box << QRectF(25, 25, 50, 50) << QPointF(50, 50) << QPointF(28, 28);
    QTest::newRow("objectBoundingBox units scale to the element's box")
        << QByteArray("<clipPath id=\"c\" clipPathUnits=\"objectBoundingBox\">"
                      "<rect width=\"0.5\" height=\"1\"/></clipPath>")
        << "url(#c)" << QRectF(100, 200, 40, 20) << QRectF(100, 200, 20, 20) << QPointF(110, 210)
        << QPointF(130, 210);
    QTest::newRow("clipPath transform moves the clip")
        << QByteArray("<clipPath id=\"c\" transform=\"translate(10 5)\">"
                      "<rect width=\"10\" height=\"10\"/></clipPath>")
        << "url(#c)" << box << QRectF(10, 5, 10, 10) << QPointF(15, 10) << QPointF(5, 5);
    QTest::newRow("clipPath transform acts in user space after the box")
        << QByteArray("<clipPath id=\"c\" clipPathUnits=\"objectBoundingBox\" "
                      "transform=\"translate(5,0)\"><rect width=\"1\" height=\"1\"/></clipPath>")
        << "url(#c)" << QRectF(100, 100, 10, 10) << QRectF(105, 100, 10, 10) << QPointF(112, 105)
        << QPointF(102, 105);
    QTest::newRow("child transforms apply")
        << QByteArray("<clipPath id=\"c\"><rect width=\"10\" height=\"10\" "
                      "transform=\"scale(2)\"/></clipPath>")
        << "url('#c')" << box << QRectF(0, 0, 20, 20) << QPointF(15, 15) << QPointF(25, 25);
    QTest::newRow("children unite, their paint ignored")
        << QByteArray("<clipPath id=\"c\"><rect width=\"10\" height=\"10\" style=\"fill:none\"/>"
                      "<path d=\"M20 0h10v10h-10z\" stroke=\"red\"/></clipPath>")
        << "url(#c)" << box << QRectF(0, 0, 30, 10) << QPointF(25, 5) << QPointF(15, 5);
    QTest::newRow("use of a shape clips by that shape, placed by the use")
        << QByteArray("<clipPath id=\"c\"><use xlink:href=\"#s\" x=\"5\" transform=\"scale(2)\"/>"
                      "</clipPath><rect id=\"s\" width=\"10\" height=\"10\"/>")
        << "url(#c)" << box << QRectF(10, 0, 20, 20) << QPointF(15, 5) << QPointF(5, 5);
    QTest::newRow("hidden child adds nothing")
        << QByteArray("<clipPath id=\"c\"><rect width=\"10\" height=\"10\"/><rect x=\"20\" "
                      "width=\"10\" height=\"10\" style=\"display: none\"/></clipPath>")
        << "url(#c)" << box << QRectF(0, 0, 10, 10) << QPointF(5, 5) << QPointF(25, 5);
    const QByteArray frame = "<path d=\"M0 0H30V30H0Z M10 10H20V20H10Z\"/>";
    QTest::newRow("clip-rule evenodd leaves a hole")
        << "<clipPath id=\"c\" clip-rule=\"evenodd\">" + frame + "</clipPath>"
        << "url(#c)" << box << QRectF(0, 0, 30, 30) << QPointF(5, 5) << QPointF(15, 15);
    QTest::newRow("clip-rule nonzero by default fills it")
        << "<clipPath id=\"c\">" + frame + "</clipPath>"
        << "url(#c)" << box << QRectF(0, 0, 30, 30) << QPointF(15, 15) << QPointF(35, 35);
    QTest::newRow("a clipped clipPath intersects")
        << QByteArray("<clipPath id=\"a\"><rect width=\"10\" height=\"10\"/></clipPath>"
                      "<clipPath id=\"c\" clip-path=\"url(#a)\"><rect x=\"5\" width=\"10\" "
                      "height=\"10\"/></clipPath>")
        << "url(#c)" << box << QRectF(5, 0, 5, 10) << QPointF(7, 5) << QPointF(12, 5);
    QTest::newRow("clipPath naming itself stops")
        << QByteArray("<clipPath id=\"c\" clip-path=\"url(#c)\"><rect width=\"10\" "
                      "height=\"10\"/></clipPath>")
        << "url(#c)" << box << QRectF(0, 0, 10, 10) << QPointF(5, 5) << QPointF(15, 5);
    QTest::newRow("empty clipPath hides everything")
        << QByteArray("<clipPath id=\"c\"/>") << "url(#c)" << box << QRectF() << QPointF()
        << QPointF(5, 5);
}

void TestSvgReadingParts::clipFor()
{
    QFETCH(QByteArray, defs);
    QFETCH(QString, ref);
    QFETCH(QRectF, box);
    QFETCH(QRectF, bounds);
    QFETCH(QPointF, inside);
    QFETCH(QPointF, outside);
    const SvgClipPaths clips(document("<defs>" + defs + "</defs><rect id=\"r\" clip-path=\"" +
                                      ref.toUtf8() + "\" width=\"9\" height=\"9\"/>"));
    QVERIFY(clips.has(ref));
    QVERIFY(!clips.has(QStringLiteral("url(#missing)")));
    const QPainterPath clip = clips.clipFor(ref, box);
    QVERIFY(near(clip.boundingRect(), bounds, 0.01));
    if (!bounds.isEmpty())
        QVERIFY(clip.contains(inside));
    QVERIFY(!clip.contains(outside));
}

// Adobe Illustrator clips with a <use> of a path kept in <defs>; QtSvg measures that path alone.
void TestSvgReadingParts::clipOfIllustratorDrawing()
{
    QFile file(QStringLiteral(VX_TEST_DATA_DIR
                              "/host/corpus/openclipart-cesto_architetto_frances_01.svg"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray svg = file.readAll();
    const QPainterPath clip =
        SvgClipPaths(svg).clipFor(QStringLiteral("url(#XMLID_5_)"), QRectF(0, 0, 1, 1));
    QSvgRenderer renderer(svg);
    QVERIFY(near(clip.boundingRect(), renderer.boundsOnElement(QStringLiteral("XMLID_1_")), 0.01));
}

void TestSvgReadingParts::clipped_data()
{
    QTest::addColumn<QPainterPath>("outline");
    QTest::addColumn<QPainterPath>("clip");
    QTest::addColumn<bool>("filled");
    QTest::addColumn<QRectF>("bounds");
    QTest::addColumn<int>("pieces");
    QTest::addColumn<double>("measure"); // area of a filled result, else length of line
    const QPainterPath across = polyline({{0, 50}, {100, 50}});
    QTest::newRow("filled rectangle clipped by a circle is its quarter")
        << rect(0, 0, 100, 100) << circle(100, 100, 50) << true << QRectF(50, 50, 50, 50) << 1
        << M_PI * 2500 / 4;
    QTest::newRow("open line keeps the part inside")
        << across << rect(25, 0, 50, 100) << false << QRectF(25, 50, 50, 0) << 1 << 50.0;
    QTest::newRow("open line is a line even when filled")
        << across << rect(25, 0, 50, 100) << true << QRectF(25, 50, 50, 0) << 1 << 50.0;
    QTest::newRow("line through a circle keeps the chord")
        << polyline({{0, 50}, {200, 50}}) << circle(100, 50, 30) << false << QRectF(70, 50, 60, 0)
        << 1 << 60.0;
    QTest::newRow("line leaving and coming back gives two pieces")
        << polyline({{0, 10}, {100, 10}, {100, 90}, {0, 90}}) << rect(-10, 0, 60, 100) << false
        << QRectF(0, 10, 50, 80) << 2 << 100.0;
    QTest::newRow("unfilled rectangle keeps only its edges")
        << rect(0, 0, 100, 100) << rect(50, -10, 100, 120) << false << QRectF(50, 0, 50, 100) << 1
        << 200.0;
    QPainterPath arc(QPointF(100, 50));
    arc.arcTo(QRectF(0, 0, 100, 100), 0, 180);
    QTest::newRow("open curve keeps its arc inside")
        << arc << rect(50, -10, 100, 100) << false << QRectF(50, 0, 50, 50) << 1 << M_PI * 25;
    QTest::newRow("line outside gives nothing")
        << polyline({{0, 0}, {10, 0}}) << rect(50, 50, 10, 10) << false << QRectF() << 0 << 0.0;
    QTest::newRow("empty clip hides everything")
        << rect(0, 0, 10, 10) << QPainterPath() << true << QRectF() << 0 << 0.0;
}

void TestSvgReadingParts::clipped()
{
    QFETCH(QPainterPath, outline);
    QFETCH(QPainterPath, clip);
    QFETCH(bool, filled);
    QFETCH(QRectF, bounds);
    QFETCH(int, pieces);
    QFETCH(double, measure);
    const QPainterPath shown = SvgClipGeometry::clipped(outline, clip, filled);
    QVERIFY(near(shown.boundingRect(), bounds, 0.05));
    QCOMPARE(shown.toSubpathPolygons().size(), pieces);
    const bool area = filled && QPointF(outline.elementAt(0)) == outline.currentPosition();
    QVERIFY(std::abs((area ? ::area(shown) : length(shown)) - measure) <= measure * 0.005 + 1e-9);
}

// Path data as librsvg reads it: its number syntax, and an error keeping what came before it.
void TestSvgReadingParts::pathData_data()
{
    QTest::addColumn<QString>("data");
    QTest::addColumn<int>("elements");
    QTest::addColumn<QPointF>("end");
    QTest::newRow("numbers run together; a lone last one dropped")
        << "M1 2 3 4.5.5" << 2 << QPointF(3, 4.5);
    QTest::newRow("relative moveto, implicit linetos, close")
        << "m1,1 2,0 0,2z" << 4 << QPointF(1, 1);
    QTest::newRow("arc flags without separators: a half turn in two cubics")
        << "M0,0 a5,5 0 1010,0" << 7 << QPointF(10, 0);
    QTest::newRow("smooth cubic after a cubic")
        << "M0,0 C0,10 10,10 10,0 S20,-10 20,0" << 7 << QPointF(20, 0);
    QTest::newRow("an error keeps what came before")
        << "M0,0 L10,0 L20,x L30,0" << 2 << QPointF(10, 0);
    QTest::newRow("no moveto first: nothing") << "L10,10" << 0 << QPointF(0, 0);
}

void TestSvgReadingParts::pathData()
{
    QFETCH(QString, data);
    QFETCH(int, elements);
    QFETCH(QPointF, end);
    const QPainterPath path = SvgPathData::parse(data);
    QCOMPARE(path.elementCount(), elements);
    QVERIFY2(QLineF(path.currentPosition(), end).length() < 1e-9,
             qPrintable(QStringLiteral("ends at %1,%2")
                            .arg(path.currentPosition().x())
                            .arg(path.currentPosition().y())));
}

QTEST_MAIN(TestSvgReadingParts)
#include "tst_svgreadingparts.moc"
