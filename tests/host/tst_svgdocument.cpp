// SVG documents in the built-in host: a sheet drawn in Inkscape's layer structure opens with its
// layers, page size and shapes where they are drawn; text and images are kept and reported;
// saving and opening again gives the same layers and shapes; working layers show as Inkscape
// layers.
#include "HostTestSupport.h"
#include "builtin/render/RsvgPageRenderer.h"
#include "builtin/svg/SvgDocumentReader.h"
#include "builtin/svg/SvgDocumentWriter.h"
#include "builtin/svg/SvgFileCodec.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTextCodec>
#include <QXmlStreamReader>
#include <QtTest>
#include <cmath>

using namespace HostTest;

namespace {

const QString DataDir = QStringLiteral(VX_TEST_DATA_DIR "/host/");

QByteArray fileText(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Where two texts first differ, with a little of each, for a failure one can read.
QString firstDifference(const QByteArray &expected, const QByteArray &actual)
{
    int i = 0;
    while (i < expected.size() && i < actual.size() && expected.at(i) == actual.at(i))
        ++i;
    if (i == expected.size() && i == actual.size())
        return {};
    return QStringLiteral("first difference at byte %1: expected \"%2\", saved \"%3\"")
        .arg(i)
        .arg(QString::fromUtf8(expected.mid(i, 60)), QString::fromUtf8(actual.mid(i, 60)));
}

const QString Sheet = QStringLiteral(VX_TEST_DATA_DIR "/host/sheet-inkscape.svg");

// A box in millimetres with y down from the top of a page `pageHeight` mm high, in page inches.
QRectF pageBox(double left, double top, double right, double bottom, double pageHeight = 297)
{
    return QRectF(QPointF(inches(left), inches(pageHeight - bottom)),
                  QPointF(inches(right), inches(pageHeight - top)));
}

bool sameBox(const QRectF &a, const QRectF &b, double limit = 1e-6)
{
    return std::abs(a.left() - b.left()) < limit && std::abs(a.right() - b.right()) < limit &&
           std::abs(a.top() - b.top()) < limit && std::abs(a.bottom() - b.bottom()) < limit;
}

QString boxText(const QRectF &r)
{
    return QStringLiteral("(%1,%2)-(%3,%4) mm")
        .arg(r.left() * MM_PER_INCH)
        .arg(r.top() * MM_PER_INCH)
        .arg(r.right() * MM_PER_INCH)
        .arg(r.bottom() * MM_PER_INCH);
}

HostShape::Ptr shapeById(const HostDocument &doc, const QString &id)
{
    for (const HostLayer::Ptr &layer : doc.activePage->layers)
        for (const HostShape::Ptr &shape : layer->shapes)
            if (shape->svgId == id)
                return shape;
    return nullptr;
}

// The Inkscape layers of a saved file: label, and whether each is locked.
QList<QPair<QString, bool>> inkscapeLayers(const QByteArray &svg)
{
    QList<QPair<QString, bool>> layers;
    QXmlStreamReader reader(svg);
    const QString ink = QStringLiteral("http://www.inkscape.org/namespaces/inkscape");
    const QString sodi = QStringLiteral("http://sodipodi.sourceforge.net/DTD/sodipodi-0.dtd");
    while (reader.readNextStartElement() || !reader.atEnd()) {
        if (reader.isStartElement() && reader.name() == QLatin1String("g") &&
            reader.attributes().value(ink, "groupmode") == QLatin1String("layer"))
            layers.append(
                {reader.attributes().value(ink, "label").toString(),
                 reader.attributes().value(sodi, "insensitive") == QLatin1String("true")});
        if (reader.hasError())
            break;
        if (!reader.isStartElement())
            reader.readNext();
    }
    return layers;
}

} // namespace

class TestSvgDocument : public QObject
{
    Q_OBJECT
private slots:
    void layersOfTheSheet();
    void shapesWhereDrawn_data();
    void shapesWhereDrawn();
    void textAndImagesKeptAndReported();
    void keptTextIsExact_data();
    void keptTextIsExact();
    void pageSize_data();
    void pageSize();
    void unreadableFiles_data();
    void unreadableFiles();
    void clippedShapeIsWhatShows_data();
    void clippedShapeIsWhatShows();
    void roundTripKeepsLayersAndShapes();
    void changedCurvesRewritten_data();
    void changedCurvesRewritten();
    void workingLayersBecomeInkscapeLayers();
    void keptElementsSelectableNeverCut();
    void elementsWithoutGeometryStayOutOfTheBox();
    void openThroughAutomation();
    void openThenSaveKeepsTheText_data();
    void openThenSaveKeepsTheText();
    void editsConfinedToWhatChanged_data();
    void editsConfinedToWhatChanged();
    void sheetsSavedBeforeReopen();
    void printAndCutAgree_data();
    void printAndCutAgree();
    void fileEncodingKept_data();
    void fileEncodingKept();
};

void TestSvgDocument::layersOfTheSheet()
{
    const Result<HostDocument::Ptr> docRead = SvgDocumentReader::read(Sheet);
    QVERIFY2(docRead, qPrintable(docRead.error()));
    HostDocument::Ptr doc = *docRead;
    QStringList names;
    for (const HostLayer::Ptr &layer : doc->activePage->layers)
        names << QStringLiteral("%1:%2").arg(layer->name).arg(layer->shapes.size());
    QCOMPARE(names, (QStringList{"Artwork:5", "Cutting Layer:2", "Creasing Layer:1", "Layer 1:1"}));
}

void TestSvgDocument::shapesWhereDrawn_data()
{
    QTest::addColumn<QString>("id");
    QTest::addColumn<QRectF>("box");
    QTest::addColumn<bool>("dashed");
    QTest::addColumn<double>("outlineMm");
    QTest::newRow("rectangle") << "label-a" << pageBox(20, 40, 70, 70) << false << 0.0;
    QTest::newRow("circle") << "dot" << pageBox(125, 40, 155, 70) << false << 0.5;
    QTest::newRow("path in a transformed group, stroke scaled")
        << "corner" << pageBox(10, 100, 20, 120) << false << 0.5;
    QTest::newRow("closed path on cutting layer")
        << "cut-a" << pageBox(18, 38, 72, 72) << false << 0.1;
    QTest::newRow("ellipse") << "cut-dot" << pageBox(123, 38, 157, 72) << false << 0.1;
    QTest::newRow("line in a moved layer, dashed")
        << "crease" << pageBox(20, 90, 70, 90) << true << 0.2;
    QTest::newRow("element outside any layer")
        << "stray" << pageBox(5, 280, 15, 290) << false << 0.3;
}

void TestSvgDocument::shapesWhereDrawn()
{
    QFETCH(QString, id);
    QFETCH(QRectF, box);
    QFETCH(bool, dashed);
    QFETCH(double, outlineMm);
    const Result<HostDocument::Ptr> docRead = SvgDocumentReader::read(Sheet);
    QVERIFY2(docRead, qPrintable(docRead.error()));
    HostDocument::Ptr doc = *docRead;
    HostShape::Ptr shape = shapeById(*doc, id);
    QVERIFY(shape);
    QCOMPARE(shape->kind, ShapeKind::Curve);
    QVERIFY2(sameBox(shape->bounds(), box, 1e-3), qPrintable(boxText(shape->bounds())));
    QCOMPARE(shape->dashed, dashed);
    if (outlineMm > 0)
        QVERIFY2(std::abs(shape->outlineWidthInches * MM_PER_INCH - outlineMm) < 1e-6,
                 qPrintable(QString::number(shape->outlineWidthInches * MM_PER_INCH)));
    else
        QVERIFY(!shape->outlined);
}

void TestSvgDocument::textAndImagesKeptAndReported()
{
    const Result<HostDocument::Ptr> docRead = SvgDocumentReader::read(Sheet);
    QVERIFY2(docRead, qPrintable(docRead.error()));
    HostDocument::Ptr doc = *docRead;
    HostShape::Ptr text = shapeById(*doc, "caption");
    HostShape::Ptr image = shapeById(*doc, "photo");
    QVERIFY(text && image);
    QCOMPARE(text->kind, ShapeKind::Text);
    QCOMPARE(image->kind, ShapeKind::Image);
    QVERIFY(text->keptXml.startsWith("<text"));
    QVERIFY(text->keptXml.contains(QStringLiteral("Fresh &amp; Fruity – Größe M</tspan></text>")));
    QVERIFY2(sameBox(image->bounds(), pageBox(120, 140, 150, 160)),
             qPrintable(boxText(image->bounds())));
    // The caption starts at x 20 mm on a baseline 150 mm from the top, 8 units high.
    const QRectF t = text->bounds();
    QVERIFY2(std::abs(t.left() * MM_PER_INCH - 20) < 1.0, qPrintable(boxText(t)));
    QVERIFY2(t.top() * MM_PER_INCH > 297 - 152 && t.bottom() * MM_PER_INCH < 297 - 142,
             qPrintable(boxText(t)));
    QVERIFY2(t.width() * MM_PER_INCH > 30 && t.width() * MM_PER_INCH < 120, qPrintable(boxText(t)));
    QCOMPARE(doc->notes.filter("caption").size(), 1);
    QCOMPARE(doc->notes.filter("photo").size(), 1);
}

void TestSvgDocument::keptTextIsExact_data()
{
    QTest::addColumn<QString>("element");
    QTest::addColumn<QString>("lineEnd");
    QTest::newRow("plain text") << "<text x=\"1\" y=\"5\">Label</text>"
                                << "\n";
    QTest::newRow("character outside the basic plane")
        << QStringLiteral("<text x=\"1\" y=\"5\">Gr\U0001F600\u00DFe</text>") << "\n";
    QTest::newRow("windows line ends")
        << "<text x=\"1\" y=\"5\">\r\n  <tspan x=\"1\">A</tspan>\r\n</text>"
        << "\r\n";
    QTest::newRow("self-closing image")
        << "<image x=\"1\" y=\"1\" width=\"2\" height=\"2\" xlink:href=\"missing.png\"/>"
        << "\n";
    QTest::newRow("entity and attribute with '>'")
        << "<text x=\"1\" y=\"5\" data-note=\"a > b\">&amp; &#x263A;</text>"
        << "\n";
}

void TestSvgDocument::keptTextIsExact()
{
    QFETCH(QString, element);
    QFETCH(QString, lineEnd);
    const QString svg =
        QStringLiteral("<svg xmlns=\"http://www.w3.org/2000/svg\" "
                       "xmlns:xlink=\"http://www.w3.org/1999/xlink\" width=\"10mm\" "
                       "height=\"10mm\" viewBox=\"0 0 10 10\">%1  <rect x=\"0\" y=\"0\" "
                       "width=\"1\" height=\"1\"/>%1  %2%1  <rect x=\"2\" y=\"2\" width=\"1\" "
                       "height=\"1\"/>%1</svg>%1")
            .arg(lineEnd, element);
    const Result<HostDocument::Ptr> docRead =
        SvgDocumentReader::readData(svg.toUtf8(), "exact.svg");
    QVERIFY2(docRead, qPrintable(docRead.error()));
    HostDocument::Ptr doc = *docRead;
    const QList<HostShape::Ptr> &shapes = doc->activePage->layers.first()->shapes;
    QCOMPARE(shapes.size(), 3);
    QCOMPARE(shapes.at(1)->keptXml, element);
    QCOMPARE(shapes.at(0)->kind, ShapeKind::Curve);
    QCOMPARE(shapes.at(2)->kind, ShapeKind::Curve);
}

void TestSvgDocument::pageSize_data()
{
    QTest::addColumn<QString>("rootAttributes");
    QTest::addColumn<double>("widthMm");
    QTest::addColumn<double>("heightMm");
    QTest::addColumn<QRectF>("rectBox"); // a rect x=10 y=10 w=10 h=10 in user units
    QTest::newRow("millimetres with matching viewBox")
        << R"(width="210mm" height="297mm" viewBox="0 0 210 297")" << 210.0 << 297.0
        << pageBox(10, 10, 20, 20);
    QTest::newRow("inches with a pixel viewBox")
        << R"(width="8in" height="10in" viewBox="0 0 768 960")" << 203.2 << 254.0
        << pageBox(10 / 96.0 * MM_PER_INCH, 10 / 96.0 * MM_PER_INCH, 20 / 96.0 * MM_PER_INCH,
                   20 / 96.0 * MM_PER_INCH, 254);
    QTest::newRow("viewBox alone counts pixels")
        << R"(viewBox="0 0 96 192")" << MM_PER_INCH << 50.8
        << pageBox(10 / 96.0 * MM_PER_INCH, 10 / 96.0 * MM_PER_INCH, 20 / 96.0 * MM_PER_INCH,
                   20 / 96.0 * MM_PER_INCH, 50.8);
    QTest::newRow("size alone in points")
        << R"(width="72pt" height="144pt")" << MM_PER_INCH << 50.8
        << pageBox(10 / 96.0 * MM_PER_INCH, 10 / 96.0 * MM_PER_INCH, 20 / 96.0 * MM_PER_INCH,
                   20 / 96.0 * MM_PER_INCH, 50.8);
    QTest::newRow("shifted viewBox origin")
        << R"(width="100mm" height="100mm" viewBox="5 5 100 100")" << 100.0 << 100.0
        << pageBox(5, 5, 15, 15, 100);
    QTest::newRow("wider viewBox is centred at one scale")
        << R"(width="100mm" height="100mm" viewBox="0 0 200 100")" << 100.0 << 100.0
        << pageBox(5, 30, 10, 35, 100);
    QTest::newRow("stretched when the aspect ratio is not kept")
        << R"(width="100mm" height="100mm" viewBox="0 0 200 100" preserveAspectRatio="none")"
        << 100.0 << 100.0 << pageBox(5, 10, 10, 20, 100);
    QTest::newRow("xMinYMin meet keeps the viewBox at the top left")
        << R"(width="100mm" height="100mm" viewBox="0 0 200 100" preserveAspectRatio="xMinYMin")"
        << 100.0 << 100.0 << pageBox(5, 5, 10, 10, 100);
    QTest::newRow("slice fills the page and cuts the sides off")
        << R"(width="100mm" height="100mm" viewBox="0 0 200 100" preserveAspectRatio="xMidYMid slice")"
        << 100.0 << 100.0 << pageBox(-40, 10, -30, 20, 100);
    QTest::newRow("centimetres, viewBox in millimetres")
        << R"(width="10cm" height="20cm" viewBox="0 0 100 200")" << 100.0 << 200.0
        << pageBox(10, 10, 20, 20, 200);
}

void TestSvgDocument::pageSize()
{
    QFETCH(QString, rootAttributes);
    QFETCH(double, widthMm);
    QFETCH(double, heightMm);
    QFETCH(QRectF, rectBox);
    const QByteArray svg = QStringLiteral("<svg xmlns=\"http://www.w3.org/2000/svg\" %1>"
                                          "<rect id=\"r\" x=\"10\" y=\"10\" width=\"10\" "
                                          "height=\"10\" style=\"fill:#000\"/></svg>")
                               .arg(rootAttributes)
                               .toUtf8();
    const Result<HostDocument::Ptr> docRead = SvgDocumentReader::readData(svg, "page.svg");
    QVERIFY2(docRead, qPrintable(docRead.error()));
    HostDocument::Ptr doc = *docRead;
    QVERIFY(std::abs(doc->activePage->widthInches * MM_PER_INCH - widthMm) < 1e-9);
    QVERIFY(std::abs(doc->activePage->heightInches * MM_PER_INCH - heightMm) < 1e-9);
    HostShape::Ptr rect = shapeById(*doc, "r");
    QVERIFY(rect);
    QVERIFY2(sameBox(rect->bounds(), rectBox), qPrintable(boxText(rect->bounds())));
}

// A chain of <use> elements, each naming the one before: QtSvg would recurse through all of them.
QByteArray useChain(int length)
{
    QByteArray svg = "<svg xmlns=\"http://www.w3.org/2000/svg\" "
                     "xmlns:xlink=\"http://www.w3.org/1999/xlink\" width=\"10mm\" height=\"10mm\">"
                     "<rect id=\"u0\" width=\"1\" height=\"1\"/>";
    for (int i = 1; i <= length; ++i)
        svg += "<use id=\"u" + QByteArray::number(i) + "\" xlink:href=\"#u" +
               QByteArray::number(i - 1) + "\"/>";
    return svg + "</svg>";
}

void TestSvgDocument::unreadableFiles_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("errorPart");
    QTest::newRow("not XML") << QByteArray("this is no drawing") << "not well-formed";
    QTest::newRow("unclosed element")
        << QByteArray(
               "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"10mm\" height=\"10mm\"><g>")
        << "not well-formed";
    QTest::newRow("another XML document") << QByteArray("<html><body/></html>") << "not an SVG";
    QTest::newRow("svg in another namespace")
        << QByteArray("<svg xmlns=\"urn:other\" width=\"10mm\" height=\"10mm\"/>") << "not an SVG";
    QTest::newRow("no page size") << QByteArray("<svg xmlns=\"http://www.w3.org/2000/svg\"/>")
                                  << "no page size";
    QTest::newRow("percent size, no viewBox")
        << QByteArray("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"100%\" height=\"100%\"/>")
        << "no page size";
    QTest::newRow("empty file") << QByteArray() << "";
    QTest::newRow("groups nested without end")
        << QByteArray("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"10mm\" height=\"10mm\">")
               .append(QByteArray("<g>").repeated(100000))
               .append(QByteArray("</g>").repeated(100000))
               .append("</svg>")
        << "nested deeper";
    QTest::newRow("a height too large for a number")
        << QByteArray("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"10\" height=\"1e400\"/>")
        << "no page size";
    QTest::newRow("a <use> chain deeper than 32") << useChain(5000) << "32 deep";
}

void TestSvgDocument::unreadableFiles()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, errorPart);
    const Result<HostDocument::Ptr> doc = SvgDocumentReader::readData(content, "bad.svg");
    QVERIFY(!doc);
    QVERIFY(!doc.error().isEmpty());
    QVERIFY2(doc.error().contains(errorPart), qPrintable(doc.error()));
}

// A square half hidden by a circle is cut where it shows: the circle's box, not the square's.
void TestSvgDocument::clippedShapeIsWhatShows_data()
{
    QTest::addColumn<QByteArray>("drawing");
    QTest::addColumn<double>("left"); // mm: where the circle's box starts
    QTest::newRow("the shape's own clip")
        << QByteArray(R"x(<rect id="r" width="100" height="100" clip-path="url(#c)"/>)x") << 30.0;
    QTest::newRow("a clip on the group around it moves with the group")
        << QByteArray(R"x(<g transform="translate(-10 0)" style="clip-path:url(#c)">)x"
                      R"x(<rect id="r" x="10" width="100" height="100"/></g>)x")
        << 20.0;
}

void TestSvgDocument::clippedShapeIsWhatShows()
{
    QFETCH(QByteArray, drawing);
    QFETCH(double, left);
    const QByteArray svg = R"svg(<svg xmlns="http://www.w3.org/2000/svg" width="100mm"
        height="100mm" viewBox="0 0 100 100"><clipPath id="c"><circle cx="50" cy="50" r="20"/>
        </clipPath>)svg" + drawing +
                           "</svg>";
    const Result<HostDocument::Ptr> docRead = SvgDocumentReader::readData(svg, "clip.svg");
    QVERIFY2(docRead, qPrintable(docRead.error()));
    HostDocument::Ptr doc = *docRead;
    HostShape::Ptr rect = shapeById(*doc, "r");
    QVERIFY(rect);
    const QRectF box = rect->bounds();
    QVERIFY2(std::abs(box.width() * MM_PER_INCH - 40) < 0.05 &&
                 std::abs(box.left() * MM_PER_INCH - left) < 0.05,
             qPrintable(boxText(box)));
}

void TestSvgDocument::roundTripKeepsLayersAndShapes()
{
    BuiltinHost &host = BuiltinHost::instance();
    host.reset();
    const Result<HostDocument::Ptr> firstRead = host.openDocument(Sheet);
    QVERIFY2(firstRead, qPrintable(firstRead.error()));
    HostDocument::Ptr first = *firstRead;
    first->findLayer("Cutting Layer")->editable = false;
    first->findLayer("Creasing Layer")->printable = false;
    QTemporaryDir dir;
    const QString saved = dir.filePath("saved.svg");
    const Result<> written = host.saveDocument(first, saved);
    QVERIFY2(written, qPrintable(written.error()));
    const Result<HostDocument::Ptr> secondRead = SvgDocumentReader::read(saved);
    QVERIFY2(secondRead, qPrintable(secondRead.error()));
    HostDocument::Ptr second = *secondRead;

    QCOMPARE(second->activePage->layers.size(), first->activePage->layers.size());
    for (int l = 0; l < first->activePage->layers.size(); ++l) {
        const HostLayer &a = *first->activePage->layers.at(l),
                        &b = *second->activePage->layers.at(l);
        QCOMPARE(b.name, a.name);
        QCOMPARE(b.editable, a.editable);
        QCOMPARE(b.printable, a.printable);
        QCOMPARE(b.visible, a.visible);
        QCOMPARE(b.shapes.size(), a.shapes.size());
        for (int s = 0; s < a.shapes.size(); ++s) {
            const HostShape &x = *a.shapes.at(s), &y = *b.shapes.at(s);
            QCOMPARE(y.kind, x.kind);
            QCOMPARE(y.svgId, x.svgId);
            QVERIFY2(sameBox(y.bounds(), x.bounds(), 1e-6),
                     qPrintable(x.svgId + boxText(x.bounds()) + boxText(y.bounds())));
            if (x.kind == ShapeKind::Curve) {
                QCOMPARE(y.outlineCmyk, x.outlineCmyk);
                QCOMPARE(y.dashed, x.dashed);
                QCOMPARE(y.filled, x.filled);
                QVERIFY(std::abs(y.outlineWidthInches - x.outlineWidthInches) < 1e-9);
            } else {
                QCOMPARE(y.keptXml, x.keptXml);
            }
        }
    }
    QFile file(saved);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    QVERIFY(text.contains("<sodipodi:namedview"));
    QVERIFY(text.contains("<linearGradient id=\"fade\">"));
    QVERIFY(QString::fromUtf8(text).contains(QStringLiteral("Größe M</tspan></text>")));
    QVERIFY(text.contains("style=\"fill:url(#fade);stroke:#000000;stroke-width:0.5\""));
}

void TestSvgDocument::changedCurvesRewritten_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<bool>("originalKept");
    QTest::addColumn<QRectF>("boxAfter");
    QTest::newRow("untouched circle keeps its element")
        << "none" << true << pageBox(125, 40, 155, 70);
    QTest::newRow("stretched and back keeps its element")
        << "there and back" << true << pageBox(125, 40, 155, 70);
    QTest::newRow("stretched circle keeps its element inside a transform")
        << "stretch" << true << pageBox(125, 10, 185, 70);
    QTest::newRow("recoloured circle is rewritten")
        << "colour" << false << pageBox(125, 40, 155, 70);
}

void TestSvgDocument::changedCurvesRewritten()
{
    QFETCH(QString, change);
    QFETCH(bool, originalKept);
    QFETCH(QRectF, boxAfter);
    BuiltinHost &host = BuiltinHost::instance();
    host.reset();
    const Result<HostDocument::Ptr> docRead = host.openDocument(Sheet);
    QVERIFY2(docRead, qPrintable(docRead.error()));
    HostDocument::Ptr doc = *docRead;
    AutomationHandle app = createAutomationApplication("CorelDraw.Application.18");
    HostShape::Ptr circle = shapeById(*doc, "dot");
    doc->setSelection({circle});
    document(*app)->dynamicCall(Member::SetReferencePoint, {5});
    AutomationHandle selection = app->querySubObject(Member::ActiveSelection);
    if (change == "stretch" || change == "there and back")
        selection->dynamicCall(Member::Stretch, {2});
    if (change == "there and back")
        selection->dynamicCall(Member::Stretch, {0.5});
    if (change == "colour")
        circle->outlineCmyk = Cmyk{0, 0, 100, 0};
    QTemporaryDir dir;
    const Result<> written = host.saveDocument(doc, dir.filePath("s.svg"));
    QVERIFY2(written, qPrintable(written.error()));
    QFile file(dir.filePath("s.svg"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll().contains("fill:url(#fade)"), originalKept);
    const Result<HostDocument::Ptr> againRead = SvgDocumentReader::read(dir.filePath("s.svg"));
    QVERIFY2(againRead, qPrintable(againRead.error()));
    HostDocument::Ptr again = *againRead;
    const HostShape::Ptr reread = shapeById(*again, "dot");
    QVERIFY2(sameBox(reread->bounds(), boxAfter, 1e-3), qPrintable(boxText(reread->bounds())));
    QCOMPARE(reread->outlineCmyk, circle->outlineCmyk);
}

void TestSvgDocument::workingLayersBecomeInkscapeLayers()
{
    AutomationHandle app = freshApplication();
    AutomationHandle marks = createLayer(*app, "Mark Layer");
    marks->querySubObject(Member::CreateLineSegment,
                          {inches(4), inches(274.5), inches(13), inches(274.5)});
    marks->dynamicCall(Member::SetEditable, {false});
    AutomationHandle assist = createLayer(*app, "Assist Layer");
    assist->dynamicCall(Member::SetPrintable, {false});
    QTemporaryDir dir;
    const QString path = dir.filePath("marks.svg");
    document(*app)->dynamicCall(Member::SaveAs, {path});
    QCOMPARE(document(*app)->errorText(), QString());
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QList<QPair<QString, bool>> layers = inkscapeLayers(file.readAll());
    QCOMPARE(layers, (QList<QPair<QString, bool>>{
                         {"Layer 1", false}, {"Mark Layer", true}, {"Assist Layer", false}}));

    const Result<HostDocument::Ptr> againRead = SvgDocumentReader::read(path);
    QVERIFY2(againRead, qPrintable(againRead.error()));
    HostDocument::Ptr again = *againRead;
    QVERIFY(!again->findLayer("Assist Layer")->printable);
    const QRectF mark = again->findLayer("Mark Layer")->shapes.first()->bounds();
    QVERIFY2(sameBox(mark, pageBox(4, 22.5, 13, 22.5), 1e-9), qPrintable(boxText(mark)));
    QCOMPARE(again->activePage->widthInches, 210 / MM_PER_INCH);
}

void TestSvgDocument::keptElementsSelectableNeverCut()
{
    BuiltinHost &host = BuiltinHost::instance();
    host.reset();
    const Result<HostDocument::Ptr> opened = host.openDocument(Sheet);
    QVERIFY2(opened, qPrintable(opened.error()));
    AutomationHandle app = createAutomationApplication("CorelDraw.Application.19");
    AutomationHandle selectable = page(*app)->querySubObject(Member::SelectableShapes);
    QCOMPARE(selectable->dynamicCall(Member::Count).toInt(), 9);
    HostDocument::Ptr doc = host.activeDocument();
    HostShape::Ptr image = shapeById(*doc, "photo");
    const QRectF before = image->bounds();
    selectable->querySubObject(Member::All)->dynamicCall(Member::AddToSelection);
    document(*app)->dynamicCall(Member::SetReferencePoint, {5});
    AutomationHandle selection = app->querySubObject(Member::ActiveSelection);
    selection->dynamicCall(Member::Stretch, {5});
    QVERIFY(image->bounds().width() > 4.9 * before.width());
    selection->dynamicCall(Member::Stretch, {0.2});
    QVERIFY2(sameBox(image->bounds(), before, 1e-9), qPrintable(boxText(image->bounds())));
}

void TestSvgDocument::elementsWithoutGeometryStayOutOfTheBox()
{
    // A hidden path and definitions inside a layer are kept but draw nothing: they are neither
    // selectable nor part of the selection's box that a stretch is anchored to.
    const QByteArray svg =
        "<svg xmlns=\"http://www.w3.org/2000/svg\" "
        "xmlns:inkscape=\"http://www.inkscape.org/namespaces/inkscape\" width=\"100mm\" "
        "height=\"100mm\" viewBox=\"0 0 100 100\"><g inkscape:groupmode=\"layer\" "
        "inkscape:label=\"Art\"><defs><linearGradient id=\"g\"/></defs>"
        "<path id=\"hidden\" d=\"M 90,90 H 95\" style=\"display:none;stroke:#000\"/>"
        "<g id=\"hidden-group\" style=\"display:none\"><rect x=\"1\" y=\"1\" width=\"2\" "
        "height=\"2\"/></g>"
        "<rect id=\"box\" x=\"40\" y=\"40\" width=\"20\" height=\"20\" "
        "style=\"fill:#000\"/></g></svg>";
    BuiltinHost::instance().reset();
    const Result<HostDocument::Ptr> docRead = SvgDocumentReader::readData(svg, "hidden.svg");
    QVERIFY2(docRead, qPrintable(docRead.error()));
    HostDocument::Ptr doc = *docRead;
    BuiltinHost::instance().setActiveDocument(doc);
    QCOMPARE(doc->activePage->layers.first()->shapes.size(), 4);
    QCOMPARE(doc->notes.filter("hidden").size(), 1);
    const QList<HostShape::Ptr> selectable = doc->selectableShapes();
    QCOMPARE(selectable.size(), 1);
    QVERIFY(sameBox(HostDocument::boundsOf(doc->activePage->layers.first()->shapes),
                    pageBox(40, 40, 60, 60, 100)));
    QTemporaryDir dir;
    const Result<> written = BuiltinHost::instance().saveDocument(doc, dir.filePath("h.svg"));
    QVERIFY2(written, qPrintable(written.error()));
    QFile file(dir.filePath("h.svg"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray saved = file.readAll();
    QVERIFY(saved.contains("<linearGradient id=\"g\"/>"));
    QVERIFY(saved.contains("id=\"hidden\""));
    QVERIFY(saved.contains("<g id=\"hidden-group\" style=\"display:none\"><rect"));
}

void TestSvgDocument::openThroughAutomation()
{
    BuiltinHost::instance().reset();
    AutomationHandle app = createAutomationApplication("CorelDraw.Application.22");
    AutomationHandle doc = app->querySubObject(Member::OpenDocument, {Sheet});
    QVERIFY(!doc->isNull());
    AutomationHandle found = doc->querySubObject(Member::ActivePage)
                                 ->querySubObject(Member::Layers)
                                 ->querySubObject(Member::Find, {"Cutting Layer"});
    QCOMPARE(found->querySubObject(Member::Shapes)->dynamicCall(Member::Count).toInt(), 2);
    QVERIFY(app->querySubObject(Member::OpenDocument, {"/no/such/sheet.svg"})->isNull());
}

void TestSvgDocument::openThenSaveKeepsTheText_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("declarationAdded");
    QTest::newRow("Inkscape: groups, filter, clip path, gradients, <use>, CSS, entity, metadata")
        << "lossless-inkscape.svg" << false;
    QTest::newRow("Illustrator: entities in namespace declarations, <switch>, no layers")
        << "lossless-illustrator.svg" << false;
    QTest::newRow("label sheet with text, image and an element outside any layer")
        << "sheet-inkscape.svg" << false;
    QTest::newRow("hand-written without xmlns: only the declaration added")
        << "lossless-handwritten.svg" << true;
}

void TestSvgDocument::openThenSaveKeepsTheText()
{
    QFETCH(QString, file);
    QFETCH(bool, declarationAdded);
    QByteArray expected = fileText(DataDir + file);
    QVERIFY(!expected.isEmpty());
    if (declarationAdded)
        expected.insert(4, " xmlns=\"http://www.w3.org/2000/svg\"");
    const Result<HostDocument::Ptr> docRead = SvgDocumentReader::read(DataDir + file);
    QVERIFY2(docRead, qPrintable(docRead.error()));
    HostDocument::Ptr doc = *docRead;
    QTemporaryDir dir;
    const Result<> written = SvgDocumentWriter::write(*doc, dir.filePath("s.svg"));
    QVERIFY2(written, qPrintable(written.error()));
    const QByteArray saved = fileText(dir.filePath("s.svg"));
    QVERIFY2(saved == expected, qPrintable(firstDifference(expected, saved)));
    // The DOCTYPE's entities still resolve.
    const Result<HostDocument::Ptr> reread = SvgDocumentReader::read(dir.filePath("s.svg"));
    QVERIFY2(reread, qPrintable(reread.error()));
}

namespace {

const QString VexaOnRoot = QStringLiteral("\n   xmlns:vexa=\"urn:vexa:print-and-cut\">");
const QString InkscapeRootEnd = QStringLiteral("xmlns:x=\"urn:example:other-tool\">");
const QString Arrowline =
    QStringLiteral("<path\n       d=\"M 10,60 H 60\"\n       id=\"arrowline\"\n       "
                   "style=\"fill:none;stroke:#000000;stroke-width:0.5;marker-end:url(#arrow)\" />");
const QString Knob = QStringLiteral(
    "<circle id=\"knob\" cx=\"30\" cy=\"25\" r=\"6\" style=\"fill:url(#shine)\" class=\"ink\" />");
const QString NewPath =
    QStringLiteral("<path d=\"[^\"]*\" style=\"[^\"]*\"( vexa:[a-z-]+=\"[^\"]*\")+/>");

void applyChange(HostDocument &doc, const QString &change)
{
    const HostLayer::Ptr cutting = doc.findLayer("Cutting Layer");
    if (change == "add mark layer" || change == "mark on existing layer") {
        HostLayer::Ptr marks = doc.findLayer("Mark Layer");
        if (!marks) {
            marks = std::make_shared<HostLayer>();
            marks->name = "Mark Layer";
            doc.activePage->layers.append(marks);
        }
        addRectangle(marks, QRectF(0.2, 0.2, 0.2, 0.2));
    } else if (change == "add to cutting layer") {
        addRectangle(cutting, QRectF(0.2, 0.2, 0.2, 0.2));
    } else if (change == "delete") {
        doc.removeShape(shapeById(doc, "arrowline"));
    } else if (change == "lock") {
        cutting->editable = false;
    } else if (change == "not printable") {
        cutting->printable = false;
    } else if (change == "hide") {
        doc.findLayer("Artwork")->visible = false;
    } else if (change == "move") {
        shapeById(doc, "knob")->transform(QTransform::fromTranslate(0.5, 0));
    } else if (change == "stretch and back") {
        // As the export does: five-fold about a corner, then back.
        const QTransform there = QTransform::fromTranslate(-1, -1) * QTransform::fromScale(5, 5) *
                                 QTransform::fromTranslate(1, 1);
        for (const HostLayer::Ptr &layer : doc.activePage->layers)
            for (const HostShape::Ptr &shape : layer->shapes)
                shape->transform(there);
        for (const HostLayer::Ptr &layer : doc.activePage->layers)
            for (const HostShape::Ptr &shape : layer->shapes)
                shape->transform(there.inverted());
    }
}

} // namespace

void TestSvgDocument::editsConfinedToWhatChanged_data()
{
    // Each edit: a piece of the original text (found once) and the pattern the saved text has
    // in its place; everything else must come back as it was.
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("change");
    QTest::addColumn<QStringList>("edits");
    const QString ink = "lossless-inkscape.svg";
    QTest::newRow("Add Mark: only the new layer before </svg> and its namespace")
        << ink << "add mark layer"
        << QStringList{InkscapeRootEnd, "xmlns:x=\"urn:example:other-tool\"" + VexaOnRoot, "</svg>",
                       "<g id=\"layer3\" inkscape:groupmode=\"layer\" inkscape:label=\"Mark "
                       "Layer\">\n  " +
                           NewPath + "\n</g>\n</svg>"};
    QTest::newRow("mark on an empty one-tag layer of a file without xmlns")
        << "lossless-handwritten.svg"
        << "mark on existing layer"
        << QStringList{"<svg ",       "<svg xmlns=\"http://www.w3.org/2000/svg\" ",
                       "inkscape\">", "inkscape\"\r\n     xmlns:vexa=\"urn:vexa:print-and-cut\">",
                       "id='m'/>",    "id='m'>\n    " + NewPath + "\n  </g>"};
    QTest::newRow("shape added to a layer goes before its end tag")
        << ink << "add to cutting layer"
        << QStringList{InkscapeRootEnd, "xmlns:x=\"urn:example:other-tool\"" + VexaOnRoot,
                       "id=\"cut-plate\" />\n  </g>",
                       "id=\"cut-plate\" />\n    " + NewPath + "\n  </g>"};
    QTest::newRow("deleting a shape removes exactly its element and the line it stood on")
        << ink << "delete" << QStringList{"    " + Arrowline + "\n", ""};
    QTest::newRow("locking a layer adds only sodipodi:insensitive")
        << ink << "lock"
        << QStringList{"style=\"display:inline\">\n    <path",
                       "style=\"display:inline\"\n     sodipodi:insensitive=\"true\">\n    <path"};
    QTest::newRow("hiding a layer changes only display in its style")
        << ink << "hide" << QStringList{"display:inline;opacity:0.95", "display:none;opacity:0.95"};
    QTest::newRow("a non-printing layer is marked, its namespace declared")
        << ink << "not printable"
        << QStringList{InkscapeRootEnd, "xmlns:x=\"urn:example:other-tool\"" + VexaOnRoot,
                       "style=\"display:inline\">\n    <path",
                       "style=\"display:inline\"\n     vexa:printable=\"false\">\n    <path"};
    QTest::newRow("a moved element is kept whole inside a transform")
        << ink << "move"
        << QStringList{Knob, "<g transform=\"matrix\\([^)]*\\)\">" +
                                 QRegularExpression::escape(Knob) + "</g>"};
    QTest::newRow("the export's stretch and back changes nothing")
        << ink << "stretch and back" << QStringList{};
    QTest::newRow("stretch and back on a sheet with text and images")
        << "sheet-inkscape.svg"
        << "stretch and back" << QStringList{};
}

void TestSvgDocument::editsConfinedToWhatChanged()
{
    QFETCH(QString, file);
    QFETCH(QString, change);
    QFETCH(QStringList, edits);
    const QString original = QString::fromUtf8(fileText(DataDir + file));
    QString pattern = QRegularExpression::escape(original);
    for (int i = 0; i + 1 < edits.size(); i += 2) {
        QCOMPARE(original.count(edits.at(i)), 1);
        pattern.replace(QRegularExpression::escape(edits.at(i)), edits.at(i + 1));
    }
    const Result<HostDocument::Ptr> docRead = SvgDocumentReader::read(DataDir + file);
    QVERIFY2(docRead, qPrintable(docRead.error()));
    HostDocument::Ptr doc = *docRead;
    applyChange(*doc, change);
    const QString saved = QString::fromUtf8(SvgDocumentWriter::toSvg(*doc));
    const bool matches =
        QRegularExpression(QRegularExpression::anchoredPattern(pattern)).match(saved).hasMatch();
    QVERIFY2(matches, qPrintable(firstDifference(original.toUtf8(), saved.toUtf8()) + "\n" +
                                 saved.mid(saved.size() - 300)));
    const Result<HostDocument::Ptr> reread = SvgDocumentReader::readData(saved.toUtf8(), file);
    QVERIFY2(reread, qPrintable(reread.error()));
}

void TestSvgDocument::sheetsSavedBeforeReopen()
{
    // As this program wrote sheets before it kept the file's text.
    const QByteArray old =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\" "
        "xmlns:inkscape=\"http://www.inkscape.org/namespaces/inkscape\" "
        "xmlns:sodipodi=\"http://sodipodi.sourceforge.net/DTD/sodipodi-0.dtd\" "
        "xmlns:vexa=\"urn:vexa:print-and-cut\" width=\"210mm\" height=\"297mm\" viewBox=\"0 0 "
        "210 297\" version=\"1.1\">\n<g id=\"layer1\" inkscape:groupmode=\"layer\" "
        "inkscape:label=\"Assist Layer\" sodipodi:insensitive=\"true\" "
        "vexa:printable=\"false\">\n  <path d=\"M 10 10 L 50 10 L 50 50 Z\" "
        "style=\"fill:#00a0e0;stroke:#e4007f;stroke-width:0.0762\" vexa:stroke-cmyk=\"0 100 0 "
        "10\" vexa:fill-cmyk=\"100 30 0 12\" vexa:hairline=\"true\"/>\n</g>\n</svg>\n";
    const Result<HostDocument::Ptr> docRead = SvgDocumentReader::readData(old, "old.svg");
    QVERIFY2(docRead, qPrintable(docRead.error()));
    HostDocument::Ptr doc = *docRead;
    const HostLayer::Ptr layer = doc->findLayer("Assist Layer");
    QVERIFY(layer);
    QVERIFY(!layer->printable);
    QVERIFY(!layer->editable);
    QCOMPARE(layer->shapes.size(), 1);
    const HostShape &shape = *layer->shapes.first();
    QCOMPARE(shape.outlineCmyk, (Cmyk{0, 100, 0, 10}));
    QCOMPARE(shape.fillCmyk, (Cmyk{100, 30, 0, 12}));
    QCOMPARE(shape.outlineWidthInches, 0.0);
    QCOMPARE(SvgDocumentWriter::toSvg(*doc), old);
}

namespace {

// A closed zigzag of `teeth` teeth (two segments each) along y=0, then a 20 x 20 square that
// only a reader with no limit on path length gets to.
QString longPath(int teeth)
{
    QString d = QStringLiteral("M 0,0");
    for (int i = 0; i < teeth; ++i)
        d += QStringLiteral(" l 0.001,1 0.001,-1");
    return d + QStringLiteral(" L 60,10 80,10 80,30 60,30 Z");
}

const QString SvgRoot =
    QStringLiteral("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"100mm\" height=\"50mm\" "
                   "viewBox=\"0 0 100 50\">%1</svg>");

} // namespace

// What librsvg prints and what is cut agree where the file is odd or beyond QtSvg: a probe point
// (user units) is painted on the printed page exactly when a curve shape holds it.
void TestSvgDocument::printAndCutAgree_data()
{
    QTest::addColumn<QString>("svg");
    QTest::addColumn<QPointF>("probe");
    QTest::addColumn<bool>("drawn");
    const QString corner = SvgRoot.arg("<rect x=\"10\" y=\"10\" width=\"20\" height=\"20\" %1/>");
    QTest::newRow("rect rx=-5 ry=10 is a circle: corner empty")
        << corner.arg("rx=\"-5\" ry=\"10\"") << QPointF(11, 11) << false;
    QTest::newRow("rect rx=-5 alone is square: corner drawn")
        << corner.arg("rx=\"-5\"") << QPointF(11, 11) << true;
    QTest::newRow("ellipse rx=-5 ry=10 is a circle of 10")
        << SvgRoot.arg("<ellipse cx=\"50\" cy=\"25\" rx=\"-5\" ry=\"10\"/>") << QPointF(58, 25)
        << true;
    QTest::newRow("rect of negative width: nothing")
        << SvgRoot.arg("<rect x=\"10\" y=\"10\" width=\"-20\" height=\"20\"/>") << QPointF(0, 20)
        << false;
    QTest::newRow("negative viewBox: nothing")
        << QStringLiteral("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"100mm\" "
                          "height=\"50mm\" viewBox=\"0 0 -100 -50\"><rect width=\"90\" "
                          "height=\"40\"/></svg>")
        << QPointF(20, 20) << false;
    QTest::newRow("40,000 segments: the square at the end")
        << SvgRoot.arg("<path d=\"" + longPath(20000) + "\"/>") << QPointF(70, 20) << true;
    QTest::newRow("plain href on <use>")
        << SvgRoot.arg("<defs><rect id=\"r\" width=\"10\" height=\"10\"/></defs>"
                       "<use href=\"#r\" x=\"60\" y=\"20\"/>")
        << QPointF(65, 25) << true;
    QTest::newRow("no page size: the drawing's extent from the origin")
        << QStringLiteral("<svg xmlns=\"http://www.w3.org/2000/svg\"><rect width=\"90\" "
                          "height=\"40\"/></svg>")
        << QPointF(80, 30) << true;
    QTest::newRow("XML 1.1, xlink by a DTD default, fill by an entity")
        << QStringLiteral("<?xml version=\"1.1\"?><!DOCTYPE svg [<!ATTLIST svg xmlns:xlink CDATA "
                          "#FIXED \"http://www.w3.org/1999/xlink\"><!ENTITY ink \"#00f\">]>") +
               SvgRoot.arg("<defs><circle id=\"c\" r=\"10\" fill=\"&ink;\"/></defs>"
                           "<use xlink:href=\"#c\" x=\"50\" y=\"25\"/>")
        << QPointF(50, 25) << true;
}

void TestSvgDocument::printAndCutAgree()
{
    QFETCH(QString, svg);
    QFETCH(QPointF, probe);
    QFETCH(bool, drawn);
    const Result<HostDocument::Ptr> docRead = SvgDocumentReader::readData(svg.toUtf8(), "odd.svg");
    QVERIFY2(docRead, qPrintable(docRead.error()));
    const HostDocument &doc = **docRead;
    const QPointF onPage = doc.svg.userToPage.map(probe);
    bool cut = false;
    for (const HostShape::Ptr &shape : doc.activePage->layers.first()->shapes)
        cut = cut || (shape->kind == ShapeKind::Curve && shape->path.contains(onPage));
    QCOMPARE(cut, drawn);
    const double dpi = 50; // a pixel of half a millimetre
    const QSize pixels(qRound(doc.activePage->widthInches * dpi),
                       qRound(doc.activePage->heightInches * dpi));
    const Result<QImage> page = RsvgPageRenderer::image(doc, pixels, true);
    QVERIFY2(page, qPrintable(page.error()));
    const QPoint pixel(int(onPage.x() * dpi),
                       int((doc.activePage->heightInches - onPage.y()) * dpi));
    QCOMPARE(qAlpha(page->pixel(pixel)) > 128, drawn);
}

// An ISO-8859-1, UTF-16 or compressed sheet opens, saves unedited byte for byte, and saves
// edited in its own encoding and compression; its text prints as written.
void TestSvgDocument::fileEncodingKept_data()
{
    QTest::addColumn<QByteArray>("codec");
    QTest::addColumn<bool>("compressed");
    QTest::newRow("ISO-8859-1") << QByteArray("ISO-8859-1") << false;
    QTest::newRow("UTF-16 little-endian with its mark") << QByteArray("UTF-16LE") << false;
    QTest::newRow("UTF-16 big-endian with its mark") << QByteArray("UTF-16BE") << false;
    QTest::newRow(".svgz") << QByteArray("UTF-8") << true;
}

void TestSvgDocument::fileEncodingKept()
{
    QFETCH(QByteArray, codec);
    QFETCH(bool, compressed);
    const QString text =
        QStringLiteral("<?xml version=\"1.0\" encoding=\"%1\"?>\n").arg(QString(codec)) +
        SvgRoot.arg(QStringLiteral("<text x=\"10\" y=\"20\" font-size=\"8\">Grüße</text>"));
    SvgFileEncoding encoding;
    encoding.codec = codec;
    encoding.byteOrderMark = codec.startsWith("UTF-16");
    QByteArray file = SvgFileCodec::encode(text, encoding);
    if (compressed)
        file = SvgFileCodec::compress(file);
    const QString name = compressed ? "s.svgz" : "s.svg";
    const Result<HostDocument::Ptr> docRead = SvgDocumentReader::readData(file, name);
    QVERIFY2(docRead, qPrintable(docRead.error()));
    HostDocument &doc = **docRead;
    QCOMPARE(SvgDocumentWriter::fileContents(doc, SvgDocumentWriter::toSvg(doc), name), file);
    QPainterPath square;
    square.addRect(0.2, 0.2, 0.2, 0.2);
    doc.addShape(doc.activePage->layers.first(), square);
    const QByteArray saved =
        SvgDocumentWriter::fileContents(doc, SvgDocumentWriter::toSvg(doc), name);
    const Result<SvgFileText> reread = SvgFileCodec::decode(saved, 1 << 20);
    QVERIFY2(reread, qPrintable(reread.error()));
    QCOMPARE(reread->encoding.codec, QTextCodec::codecForName(codec)->name());
    QCOMPARE(reread->encoding.compressed, compressed);
    QVERIFY(reread->text.contains(QStringLiteral("Grüße")) && reread->text.contains("<path"));
    const Result<QByteArray> pdf = RsvgPageRenderer::pdf(doc);
    QVERIFY2(pdf, qPrintable(pdf.error()));
    QProcess pdfToText;
    pdfToText.start("pdftotext", {"-", "-"});
    pdfToText.write(*pdf);
    pdfToText.closeWriteChannel();
    QVERIFY(pdfToText.waitForFinished(30000));
    QVERIFY(QString::fromUtf8(pdfToText.readAllStandardOutput()).contains(QStringLiteral("Grüße")));
}

QTEST_MAIN(TestSvgDocument)
#include "tst_svgdocument.moc"
