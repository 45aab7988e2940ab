// The built-in drawing host as the automation layer meets it: member dispatch and COM-style
// argument conversion, layers, selection, combine, stretch about the reference point, and a host
// that outlives each connection; elements read from a file that draw nothing take no part.
#include "CdrConnection.h"
#include "HostTestSupport.h"
#include "InProcessHost.h"
#include "builtin/HostSettings.h"
#include "builtin/automation/BuiltinObject.h"
#include "builtin/svg/SvgDocumentReader.h"

#include <QTemporaryDir>
#include <QtTest>
#include <cmath>

using namespace HostTest;

class TestBuiltinHost : public QObject
{
    Q_OBJECT
private slots:
    void conversion_data();
    void conversion();
    void dispatch_data();
    void dispatch();
    void layerLookup_data();
    void layerLookup();
    void unavailableIdentifier_data();
    void unavailableIdentifier();
    void documentOutlivesConnection();
    void noDocumentGivesNull();
    void markCombinesIntoOneCurve();
    void clearSelectionKeepsArtworkOut();
    void deletedShapeAnswersError();
    void stretchAboutReferencePoint_data();
    void stretchAboutReferencePoint();
    void stretchRoundTripRestoresGeometry();
    void selectableShapesSkipLockedLayers();
    void applicationWrapperSeesEachApplication();
    void commandChoiceEndsWithItsScope_data();
    void commandChoiceEndsWithItsScope();
    void elementDrawingNothingTakesNoPart_data();
    void elementDrawingNothingTakesNoPart();
    void breakApartMakesNoEmptyPiece();
};

void TestBuiltinHost::conversion_data()
{
    QTest::addColumn<QVariant>("in");
    QTest::addColumn<int>("type");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QVariant>("out");
    const int B = int(ArgType::Bool), I = int(ArgType::Int), D = int(ArgType::Double),
              S = int(ArgType::String), V = int(ArgType::Variant);
    QTest::newRow("int for double") << QVariant(3) << D << true << QVariant(3.0);
    QTest::newRow("numeric text for double") << QVariant("2.5") << D << true << QVariant(2.5);
    QTest::newRow("word for double fails") << QVariant("abc") << D << false << QVariant();
    QTest::newRow("empty for double fails") << QVariant() << D << false << QVariant();
    QTest::newRow("nan for double fails") << QVariant(std::nan("")) << D << false << QVariant();
    QTest::newRow("infinity for int fails") << QVariant(INFINITY) << I << false << QVariant();
    QTest::newRow("double for int rounds half to even")
        << QVariant(2.5) << I << true << QVariant(2);
    QTest::newRow("double for int rounds") << QVariant(4.6) << I << true << QVariant(5);
    QTest::newRow("huge double for int fails") << QVariant(1e12) << I << false << QVariant();
    QTest::newRow("true for int is minus one") << QVariant(true) << I << true << QVariant(-1);
    QTest::newRow("int for bool") << QVariant(0) << B << true << QVariant(false);
    QTest::newRow("nonzero for bool") << QVariant(7) << B << true << QVariant(true);
    QTest::newRow("text true for bool") << QVariant("True") << B << true << QVariant(true);
    QTest::newRow("word for bool fails") << QVariant("yes") << B << false << QVariant();
    QTest::newRow("int for text") << QVariant(12) << S << true << QVariant("12");
    QTest::newRow("list for text fails") << QVariant(QStringList{"a"}) << S << false << QVariant();
    QTest::newRow("anything for variant")
        << QVariant(QStringList{"a"}) << V << true << QVariant(QStringList{"a"});
}

void TestBuiltinHost::conversion()
{
    QFETCH(QVariant, in);
    QFETCH(int, type);
    QFETCH(bool, ok);
    QFETCH(QVariant, out);
    QVariant converted;
    QCOMPARE(BuiltinObject::convertArgument(in, ArgType(type), &converted), ok);
    if (ok)
        QCOMPARE(converted, out);
}

void TestBuiltinHost::dispatch_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("signature");
    QTest::addColumn<QVariantList>("args");
    QTest::addColumn<bool>("query");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("errorPart");

    const QString seg = QString::fromLatin1(Member::CreateLineSegment);
    QTest::newRow("segment with doubles")
        << "Layer" << seg << QVariantList{0.5, 1.0, 2.0, 1.0} << true << true << "";
    QTest::newRow("segment with ints")
        << "Layer" << seg << QVariantList{0, 1, 2, 1} << true << true << "";
    QTest::newRow("segment with text coordinate")
        << "Layer" << seg << QVariantList{"x", 1, 2, 1} << true << false << "argument 1";
    QTest::newRow("segment with three numbers")
        << "Layer"
        << "CreateLineSegment(double,double,double)" << QVariantList{0, 1, 2} << true << false
        << "expects 4";
    QTest::newRow("caller signature and arguments disagree")
        << "Application"
        << "SetVisible(bool)" << QVariantList{} << false << false << "expects 1";
    QTest::newRow("unknown member")
        << "Application"
        << "Quit()" << QVariantList{} << false << false << "no such member";
    QTest::newRow("member of another object")
        << "Page"
        << "Printable()" << QVariantList{} << false << false << "no such member";
    QTest::newRow("value member queried as object")
        << "Layers"
        << "Count()" << QVariantList{} << true << false << "does not answer an object";
    QTest::newRow("item past the end")
        << "Layers"
        << "Item(int)" << QVariantList{5} << true << false << "outside 1 to 1";
    QTest::newRow("item zero") << "Layers"
                               << "Item(int)" << QVariantList{0} << true << false << "outside";
    QTest::newRow("reference point 5")
        << "Document"
        << "SetReferencePoint(enum)" << QVariantList{5} << false << true << "";
    QTest::newRow("reference point 10")
        << "Document"
        << "SetReferencePoint(enum)" << QVariantList{10} << false << false << "1 to 9";
    QTest::newRow("reference point 0")
        << "Document"
        << "SetReferencePoint(enum)" << QVariantList{0} << false << false << "1 to 9";
    QTest::newRow("property read without parentheses")
        << "Page"
        << "SizeWidth" << QVariantList{} << false << true << "";
    QTest::newRow("colour component above 100")
        << "Color"
        << "CMYKAssign(int,int,int,int)" << QVariantList{0, 0, 0, 101} << false << false
        << "outside 0 to 100";
    QTest::newRow("colour from doubles")
        << "Color"
        << "CMYKAssign(int,int,int,int)" << QVariantList{0, 50.0, 0, 0} << false << true << "";
    QTest::newRow("negative outline width")
        << "Outline"
        << "SetWidth(double)" << QVariantList{-0.1} << false << false << "outside";
    QTest::newRow("export with another filter")
        << "Document"
        << "ExportEx(const QString&, enum, enum, QVariant, QVariant)"
        << QVariantList{"/tmp/x.plt", 1280, 0, QVariant(), QVariant()} << true << false
        << QString::number(HPGL_EXPORT_FILTER);
}

namespace {
// Reaches the object kind a dispatch row names, from a fresh A4 document with one segment.
AutomationHandle reach(AutomationObject &app, const QString &target)
{
    if (target == QLatin1String("Application"))
        return createAutomationApplication(QStringLiteral("CorelDraw.Application.14"));
    if (target == QLatin1String("Document"))
        return document(app);
    if (target == QLatin1String("Page"))
        return page(app);
    if (target == QLatin1String("Layers"))
        return layers(app);
    AutomationHandle layer = document(app)->querySubObject(Member::ActiveLayer);
    if (target == QLatin1String("Layer"))
        return layer;
    AutomationHandle shape = layer->querySubObject(Member::CreateLineSegment, {0, 0, 1, 0});
    AutomationHandle outline = shape->querySubObject(Member::Outline);
    if (target == QLatin1String("Outline"))
        return outline;
    return outline->querySubObject(Member::Color);
}
} // namespace

void TestBuiltinHost::dispatch()
{
    QFETCH(QString, target);
    QFETCH(QString, signature);
    QFETCH(QVariantList, args);
    QFETCH(bool, query);
    QFETCH(bool, ok);
    QFETCH(QString, errorPart);

    AutomationHandle app = freshApplication();
    AutomationHandle object = reach(*app, target);
    QVERIFY(!object->isNull());
    const QByteArray sig = signature.toLatin1();
    if (query) {
        AutomationHandle answer = object->querySubObject(sig.constData(), args);
        QCOMPARE(answer->isNull(), !ok);
    } else {
        const QVariant answer = object->dynamicCall(sig.constData(), args);
        if (!ok)
            QVERIFY(!answer.isValid());
    }
    QCOMPARE(object->errorText().isEmpty(), ok);
    if (!ok)
        QVERIFY2(object->errorText().contains(errorPart), qPrintable(object->errorText()));
}

void TestBuiltinHost::layerLookup_data()
{
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QString>("wanted");
    QTest::addColumn<int>("foundIndex"); // 1-based position in names, 0 none

    const QStringList names{"Layer 1", "mark layer", "Mark Layer", "Cutting Layer"};
    QTest::newRow("exact name") << names << "Mark Layer" << 3;
    QTest::newRow("letter case differs") << names << "MARK LAYER" << 0;
    QTest::newRow("lower-case twin found only by its own name") << names << "mark layer" << 2;
    QTest::newRow("trailing space differs") << names << "Cutting Layer " << 0;
    QTest::newRow("first of two equal names") << QStringList{"A", "B", "A"} << "A" << 1;
}

void TestBuiltinHost::layerLookup()
{
    QFETCH(QStringList, names);
    QFETCH(QString, wanted);
    QFETCH(int, foundIndex);

    AutomationHandle app = freshApplication();
    HostPage &pg = *BuiltinHost::instance().activeDocument()->activePage;
    pg.layers.first()->name = names.first();
    for (int i = 1; i < names.size(); ++i)
        QVERIFY(!createLayer(*app, names.at(i))->isNull());

    AutomationHandle all = layers(*app);
    QCOMPARE(all->dynamicCall(Member::Count).toInt(), names.size());
    for (int i = 1; i <= names.size(); ++i)
        QCOMPARE(all->querySubObject(Member::Item, {i})->dynamicCall(Member::Name).toString(),
                 names.at(i - 1));

    AutomationHandle found = all->querySubObject(Member::Find, {wanted});
    QCOMPARE(found->isNull(), foundIndex == 0);
    if (foundIndex) {
        found->dynamicCall(Member::SetPrintable, {false});
        QVERIFY(!pg.layers.at(foundIndex - 1)->printable);
        for (int i = 0; i < pg.layers.size(); ++i)
            QCOMPARE(pg.layers.at(i)->printable, i == foundIndex - 1 ? false : true);
    }
}

void TestBuiltinHost::unavailableIdentifier_data()
{
    QTest::addColumn<QString>("programId");
    QTest::addColumn<bool>("madeUnavailable");
    QTest::addColumn<bool>("answers");
    QTest::newRow("version 14") << "CorelDraw.Application.14" << false << true;
    QTest::newRow("version 23") << "CorelDraw.Application.23" << false << true;
    QTest::newRow("version 13 never existed") << "CorelDraw.Application.13" << false << false;
    QTest::newRow("version 24 never existed") << "CorelDraw.Application.24" << false << false;
    QTest::newRow("padded version") << "CorelDraw.Application.017" << false << false;
    QTest::newRow("made unavailable") << "CorelDraw.Application.18" << true << false;
    QTest::newRow("other program") << "Inkscape.Application.1" << false << false;
}

void TestBuiltinHost::unavailableIdentifier()
{
    QFETCH(QString, programId);
    QFETCH(bool, madeUnavailable);
    QFETCH(bool, answers);
    BuiltinHost::instance().reset();
    if (madeUnavailable)
        BuiltinHost::instance().setProgramIdAvailable(programId, false);
    AutomationHandle app = createAutomationApplication(programId);
    QCOMPARE(!app->isNull(), answers);
    if (!answers)
        QVERIFY(app->errorText().contains(programId));
    BuiltinHost::instance().setProgramIdAvailable(programId, true);
}

void TestBuiltinHost::documentOutlivesConnection()
{
    BuiltinHost::instance().reset();
    {
        AutomationHandle app =
            createAutomationApplication(QStringLiteral("CorelDraw.Application.20"));
        QVERIFY(app->querySubObject(Member::ActiveDocument)->isNull());
        AutomationHandle doc = app->querySubObject(Member::CreateDocument);
        QVERIFY(!doc->isNull());
        AutomationHandle layer = doc->querySubObject(Member::ActivePage)
                                     ->querySubObject(Member::CreateLayer, {"Mark Layer"});
        layer->querySubObject(Member::CreateLineSegment, {1, 1, 2, 1});
    }
    AutomationHandle app = createAutomationApplication(QStringLiteral("CorelDraw.Application.21"));
    AutomationHandle layer = layers(*app)->querySubObject(Member::Find, {"Mark Layer"});
    QVERIFY(!layer->isNull());
    QCOMPARE(layer->querySubObject(Member::Shapes)->dynamicCall(Member::Count).toInt(), 1);
}

void TestBuiltinHost::noDocumentGivesNull()
{
    BuiltinHost::instance().reset();
    AutomationHandle app = createAutomationApplication(QStringLiteral("CorelDraw.Application.16"));
    AutomationHandle doc = app->querySubObject(Member::ActiveDocument);
    QVERIFY(doc->isNull());
    QCOMPARE(app->errorText(), QString());
    // Called as a plain member, no document is Nothing too, not an object token.
    QVERIFY(!app->dynamicCall(Member::ActiveDocument).isValid());
    QCOMPARE(app->errorText(), QString());
    QVERIFY(!doc->dynamicCall(Member::ActivePage).isValid());
    // Once a document is made, the same call answers it.
    QVERIFY(app->dynamicCall(Member::CreateDocument).isValid());
    QVERIFY(app->dynamicCall(Member::ActiveDocument).isValid());
    QVERIFY(!app->querySubObject(Member::ActiveDocument)->isNull());
}

void TestBuiltinHost::markCombinesIntoOneCurve()
{
    AutomationHandle app = freshApplication();
    AutomationHandle layer = createLayer(*app, "Mark Layer");
    AutomationHandle h = layer->querySubObject(Member::CreateLineSegment, {0.5, 1.0, 1.5, 1.0});
    AutomationHandle v = layer->querySubObject(Member::CreateLineSegment, {1.0, 0.5, 1.0, 1.5});
    h->dynamicCall(Member::AddToSelection);
    v->dynamicCall(Member::AddToSelection);
    AutomationHandle combined =
        app->querySubObject(Member::ActiveSelection)->querySubObject(Member::Combine);
    QVERIFY(!combined->isNull());

    const HostLayer::Ptr markLayer =
        BuiltinHost::instance().activeDocument()->findLayer("Mark Layer");
    QCOMPARE(markLayer->shapes.size(), 1);
    QCOMPARE(markLayer->shapes.first()->path.elementCount(), 4); // two subpaths of two points
    QCOMPARE(combined->dynamicCall(Member::CenterX).toDouble(), 1.0);
    QCOMPARE(combined->dynamicCall(Member::CenterY).toDouble(), 1.0);
    QCOMPARE(combined->dynamicCall(Member::SizeWidth).toDouble(), 1.0);
    QCOMPARE(BuiltinHost::instance().activeDocument()->selection().size(), 1);
}

void TestBuiltinHost::clearSelectionKeepsArtworkOut()
{
    AutomationHandle app = freshApplication();
    HostDocument::Ptr doc = BuiltinHost::instance().activeDocument();
    const HostShape::Ptr artwork = addRectangle(doc->activeLayer, QRectF(3, 3, 1, 1));
    doc->addToSelection(artwork);
    AutomationHandle d = document(*app);
    d->dynamicCall(Member::ClearSelection);
    AutomationHandle layer = createLayer(*app, "Mark Layer");
    layer->querySubObject(Member::CreateLineSegment, {0, 0, 1, 0})
        ->dynamicCall(Member::AddToSelection);
    layer->querySubObject(Member::CreateLineSegment, {0.5, -0.5, 0.5, 0.5})
        ->dynamicCall(Member::AddToSelection);
    app->querySubObject(Member::ActiveSelection)->dynamicCall(Member::Combine);
    QCOMPARE(doc->activeLayer->shapes.size(), 1);
    QCOMPARE(doc->activeLayer->shapes.first()->bounds(), QRectF(3, 3, 1, 1));
}

void TestBuiltinHost::deletedShapeAnswersError()
{
    AutomationHandle app = freshApplication();
    AutomationHandle layer = document(*app)->querySubObject(Member::ActiveLayer);
    AutomationHandle shape = layer->querySubObject(Member::CreateLineSegment, {0, 0, 1, 1});
    layer->querySubObject(Member::Shapes)->querySubObject(Member::All)->dynamicCall(Member::Delete);
    QVERIFY(!shape->dynamicCall(Member::CenterX).isValid());
    QVERIFY(shape->errorText().contains("no longer"));
}

void TestBuiltinHost::stretchAboutReferencePoint_data()
{
    QTest::addColumn<int>("point");
    QTest::addColumn<QRectF>("expected"); // y-up box after stretching (1,2)-(3,3) by 2
    const QRectF box(1, 2, 2, 1);
    Q_UNUSED(box);
    QTest::newRow("1 top-right fixed") << 1 << QRectF(-1, 1, 4, 2);
    QTest::newRow("2 top-middle fixed") << 2 << QRectF(0, 1, 4, 2);
    QTest::newRow("3 top-left fixed") << 3 << QRectF(1, 1, 4, 2);
    QTest::newRow("4 middle-left fixed") << 4 << QRectF(1, 1.5, 4, 2);
    QTest::newRow("5 bottom-left fixed") << 5 << QRectF(1, 2, 4, 2);
    QTest::newRow("6 bottom-middle fixed") << 6 << QRectF(0, 2, 4, 2);
    QTest::newRow("7 bottom-right fixed") << 7 << QRectF(-1, 2, 4, 2);
    QTest::newRow("8 middle-right fixed") << 8 << QRectF(-1, 1.5, 4, 2);
    QTest::newRow("9 centre fixed") << 9 << QRectF(0, 1.5, 4, 2);
}

void TestBuiltinHost::stretchAboutReferencePoint()
{
    QFETCH(int, point);
    QFETCH(QRectF, expected);
    AutomationHandle app = freshApplication();
    HostDocument::Ptr doc = BuiltinHost::instance().activeDocument();
    // Two shapes so that the reference point is of the selection's box, not of each shape.
    addRectangle(doc->activeLayer, QRectF(1, 2, 1, 1));
    addRectangle(doc->activeLayer, QRectF(2.5, 2, 0.5, 0.5));
    AutomationHandle d = document(*app);
    d->querySubObject(Member::ActiveLayer)
        ->querySubObject(Member::Shapes)
        ->querySubObject(Member::All)
        ->dynamicCall(Member::AddToSelection);
    QVERIFY(d->dynamicCall(Member::SetReferencePoint, {point}).isNull());
    QCOMPARE(d->errorText(), QString());
    AutomationHandle selection = app->querySubObject(Member::ActiveSelection);
    selection->dynamicCall(Member::Stretch, {2});
    QCOMPARE(selection->errorText(), QString());
    const QRectF box = HostDocument::boundsOf(doc->activeLayer->shapes);
    QVERIFY2(std::abs(box.left() - expected.left()) < 1e-12 &&
                 std::abs(box.top() - expected.top()) < 1e-12 &&
                 std::abs(box.width() - expected.width()) < 1e-12 &&
                 std::abs(box.height() - expected.height()) < 1e-12,
             qPrintable(QStringLiteral("%1 %2 %3 %4")
                            .arg(box.left())
                            .arg(box.top())
                            .arg(box.width())
                            .arg(box.height())));
}

void TestBuiltinHost::stretchRoundTripRestoresGeometry()
{
    AutomationHandle app = freshApplication();
    HostDocument::Ptr doc = BuiltinHost::instance().activeDocument();
    QPainterPath curve(QPointF(1.1, 2.3));
    curve.cubicTo(2, 5, 3, -1, 4.7, 2.2);
    doc->addShape(doc->activeLayer, curve);
    addRectangle(doc->activeLayer, QRectF(0.3, 7.9, 1.7, 0.2));
    const QList<HostShape::Ptr> before = doc->activeLayer->shapes;
    QList<QPainterPath> paths;
    for (const HostShape::Ptr &s : before)
        paths << s->path;
    AutomationHandle d = document(*app);
    d->dynamicCall(Member::SetReferencePoint, {5});
    d->querySubObject(Member::ActiveLayer)
        ->querySubObject(Member::Shapes)
        ->querySubObject(Member::All)
        ->dynamicCall(Member::AddToSelection);
    AutomationHandle selection = app->querySubObject(Member::ActiveSelection);
    selection->dynamicCall(Member::Stretch, {5.0});
    QVERIFY(HostDocument::boundsOf(before).width() > 5 * 4.3);
    selection->dynamicCall(Member::Stretch, {0.2});
    for (int i = 0; i < before.size(); ++i) {
        for (int e = 0; e < paths.at(i).elementCount(); ++e) {
            const QPointF a = paths.at(i).elementAt(e), b = before.at(i)->path.elementAt(e);
            QVERIFY(std::abs(a.x() - b.x()) < 1e-12 && std::abs(a.y() - b.y()) < 1e-12);
        }
    }
}

void TestBuiltinHost::selectableShapesSkipLockedLayers()
{
    AutomationHandle app = freshApplication();
    HostDocument::Ptr doc = BuiltinHost::instance().activeDocument();
    addRectangle(doc->activeLayer, QRectF(1, 1, 1, 1));
    AutomationHandle marks = createLayer(*app, "Mark Layer");
    marks->querySubObject(Member::CreateLineSegment, {0, 0, 1, 0});
    marks->dynamicCall(Member::SetEditable, {false});
    AutomationHandle selectable = page(*app)->querySubObject(Member::SelectableShapes);
    QCOMPARE(selectable->dynamicCall(Member::Count).toInt(), 1);
    marks->dynamicCall(Member::SetEditable, {true});
    QCOMPARE(selectable->dynamicCall(Member::Count).toInt(), 1); // a range is fixed when made
    QCOMPARE(
        page(*app)->querySubObject(Member::SelectableShapes)->dynamicCall(Member::Count).toInt(),
        2);
}

// The seam the call-recording tests use: each application object the factory makes passes
// through the wrapper, an unavailable identifier's null object does not, and reset removes it.
void TestBuiltinHost::applicationWrapperSeesEachApplication()
{
    BuiltinHost &host = BuiltinHost::instance();
    host.reset();
    host.setProgramIdAvailable("CorelDraw.Application.15", false);
    int wrapped = 0;
    host.setApplicationWrapper([&wrapped](AutomationHandle app) {
        ++wrapped;
        return app;
    });
    QVERIFY(!createAutomationApplication("CorelDraw.Application.17")->isNull());
    QVERIFY(!createAutomationApplication("CorelDraw.Application.23")->isNull());
    QVERIFY(createAutomationApplication("CorelDraw.Application.15")->isNull());
    QCOMPARE(wrapped, 2);
    host.reset();
    QVERIFY(!createAutomationApplication("CorelDraw.Application.17")->isNull());
    QCOMPARE(wrapped, 2);
}

// A command's margin and bleed hold while its ScopedChoices lives, the enclosing command's or
// the host's own (its settings, 0.5 mm and no bleed here) afterwards; a margin the settings file
// refused still holds for the run.
void TestBuiltinHost::commandChoiceEndsWithItsScope_data()
{
    QTest::addColumn<QList<double>>("scopes"); // margins (mm) held, outermost first; -1 none
    QTest::addColumn<int>("ended");            // how many of them ended before the boundary
    QTest::addColumn<double>("grownMm");
    QTest::addColumn<bool>("bleeds");
    QTest::newRow("no command: the host's margin") << QList<double>{} << 0 << 0.5 << false;
    QTest::newRow("command's 2 mm while held") << QList<double>{2.0} << 0 << 2.0 << true;
    QTest::newRow("ended: the host's again") << QList<double>{2.0} << 1 << 0.5 << false;
    QTest::newRow("bleed only: the host's margin") << QList<double>{-1.0} << 0 << 0.5 << true;
    QTest::newRow("inner ended: the outer's") << QList<double>{2.0, 1.0} << 1 << 2.0 << true;
    QTest::newRow("settings file refused: kept") << QList<double>{} << 0 << 0.5 << false;
}

void TestBuiltinHost::commandChoiceEndsWithItsScope()
{
    QFETCH(QList<double>, scopes);
    QFETCH(int, ended);
    QFETCH(double, grownMm);
    QFETCH(bool, bleeds);
    QTemporaryDir dir;
    const bool refused = QByteArray(QTest::currentDataTag()).startsWith("settings");
    HostSettings::setFilePath(refused ? dir.path() : dir.filePath("host.ini")); // a folder
    QCOMPARE(HostSettings::setCutMarginMm(0.5).ok(), !refused);
    freshApplication();
    const QRectF box(1, 1, 1, 1);
    addRectangle(BuiltinHost::instance().activeDocument()->activeLayer, box);
    std::vector<std::unique_ptr<InProcessHost::ScopedChoices>> held;
    for (double mm : scopes)
        held.push_back(std::make_unique<InProcessHost::ScopedChoices>(InProcessHost::CommandChoices{
            mm < 0 ? std::nullopt : std::optional<double>(inches(mm)), inches(1.0), {}}));
    for (int i = 0; i < ended; ++i)
        held.pop_back();
    QVERIFY(CdrConnection(QStringLiteral("CorelDraw.Application.17")).createCutBoundary().ok());
    const HostDocument &doc = *BuiltinHost::instance().activeDocument();
    const QRectF cut = doc.findLayer(CdrConnection::CuttingLayer)->shapes.first()->bounds();
    QVERIFY2(qAbs((cut.width() - box.width()) * MmPerInch - 2 * grownMm) < 0.1,
             qPrintable(QString::number(cut.width() * MmPerInch)));
    QCOMPARE(doc.findLayer("Bleed Layer") != nullptr, bleeds);
    held.clear();
    HostSettings::setFilePath(QString());
}

namespace {
// A 100 mm square sheet whose "Cutting Layer" holds a 50 x 30 mm rectangle and `extra`.
HostDocument::Ptr openCuttingSheet(const QString &extra)
{
    const QString svg =
        QStringLiteral("<svg xmlns=\"http://www.w3.org/2000/svg\" "
                       "xmlns:inkscape=\"http://www.inkscape.org/namespaces/inkscape\" "
                       "width=\"100mm\" height=\"100mm\" viewBox=\"0 0 100 100\">"
                       "<g inkscape:groupmode=\"layer\" inkscape:label=\"Cutting Layer\">"
                       "<rect x=\"20\" y=\"20\" width=\"50\" height=\"30\" "
                       "style=\"fill:none;stroke:#000\"/>%1</g></svg>")
            .arg(extra);
    BuiltinHost::instance().reset();
    const Result<HostDocument::Ptr> doc = SvgDocumentReader::readData(svg.toUtf8(), "cut.svg");
    if (!doc) {
        qWarning("%s", qPrintable(doc.error()));
        return nullptr;
    }
    BuiltinHost::instance().setActiveDocument(*doc);
    return *doc;
}

QByteArray exportCutting(const QString &path)
{
    CdrConnection conn(QStringLiteral("CorelDraw.Application.17"));
    if (const Result<> exported = conn.exportCuttingLayer(path); !exported)
        return QByteArray("export failed: ") + exported.error().toUtf8();
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool near(double a, double b)
{
    return std::abs(a - b) < 1e-5;
}
} // namespace

void TestBuiltinHost::elementDrawingNothingTakesNoPart_data()
{
    QTest::addColumn<QString>("element");
    // Each sits far from the rectangle, so that counting it anywhere would show.
    QTest::newRow("empty <path/>") << "<path style=\"stroke:#000\"/>";
    QTest::newRow("path of only a move") << "<path d=\"M 90,90\" style=\"stroke:#000\"/>";
    QTest::newRow("path of moves only") << "<path d=\"M 90,90 M 5,95\" style=\"stroke:#000\"/>";
    QTest::newRow("path of zero length") << "<path d=\"M 90,90 L 90,90\" style=\"stroke:#000\"/>";
    QTest::newRow("zero-radius circle") << "<circle cx=\"90\" cy=\"90\" r=\"0\"/>";
    QTest::newRow("zero-size rectangle")
        << "<rect x=\"90\" y=\"90\" width=\"0\" height=\"0\" style=\"stroke:#000\"/>";
    QTest::newRow("<title>") << "<title>Die line</title>";
    QTest::newRow("<desc>") << "<desc>cut along the line</desc>";
    QTest::newRow("hidden path")
        << "<path d=\"M 85,85 H 95 V 95\" style=\"display:none;stroke:#000\"/>";
}

void TestBuiltinHost::elementDrawingNothingTakesNoPart()
{
    QFETCH(QString, element);
    QTemporaryDir dir;
    QVERIFY(openCuttingSheet(QString()));
    const QByteArray alone = exportCutting(dir.filePath("alone.plt"));
    QVERIFY(alone.contains("PD"));

    const HostDocument::Ptr doc = openCuttingSheet(element);
    QVERIFY(doc);
    const HostLayer::Ptr cutting = doc->findLayer("Cutting Layer");
    const QList<HostShape::Ptr> read = cutting->shapes;
    // The export's stretch is anchored to the selection's box: a box widened by the element
    // would move the job.
    QCOMPARE(exportCutting(dir.filePath("with.plt")), alone);

    AutomationHandle app = createAutomationApplication(QStringLiteral("CorelDraw.Application.17"));
    cutting->editable = true;
    AutomationHandle shapes = layers(*app)
                                  ->querySubObject(Member::Find, {"Cutting Layer"})
                                  ->querySubObject(Member::Shapes);
    QCOMPARE(shapes->dynamicCall(Member::Count).toInt(), 1);
    AutomationHandle item = shapes->querySubObject(Member::Item, {1});
    QVERIFY(near(item->dynamicCall(Member::CenterX).toDouble(), inches(45)));
    QVERIFY(near(item->dynamicCall(Member::CenterY).toDouble(), inches(65)));
    QCOMPARE(page(*app)->querySubObject(Member::SelectableShapes)->dynamicCall(Member::Count),
             QVariant(1));

    document(*app)->dynamicCall(Member::ClearSelection);
    shapes->querySubObject(Member::All)->dynamicCall(Member::AddToSelection);
    QCOMPARE(doc->selection().size(), 1);
    AutomationHandle selection = app->querySubObject(Member::ActiveSelection);
    QVERIFY(near(selection->dynamicCall(Member::SizeWidth).toDouble(), inches(50)));
    QVERIFY(near(selection->dynamicCall(Member::SizeHeight).toDouble(), inches(30)));
    AutomationHandle boundary =
        selection->querySubObject(Member::CreateBoundary, {0, 0, true, false});
    QVERIFY(!boundary->isNull());
    // The rectangle widened by half its 1 mm outline on each side.
    QVERIFY(near(boundary->dynamicCall(Member::SizeWidth).toDouble(), inches(51)));
    QVERIFY(near(boundary->dynamicCall(Member::SizeHeight).toDouble(), inches(31)));

    // Deleting everything the layer shows leaves the element in the document, untouched.
    shapes->querySubObject(Member::All)->dynamicCall(Member::Delete);
    QList<HostShape::Ptr> kept = read;
    kept.removeFirst();
    QCOMPARE(cutting->shapes, kept);
}

void TestBuiltinHost::breakApartMakesNoEmptyPiece()
{
    // A path read from a file may end in a move (a trailing "M x,y"): no piece of its own.
    AutomationHandle app = freshApplication();
    HostDocument::Ptr doc = BuiltinHost::instance().activeDocument();
    QPainterPath path(QPointF(1, 1));
    path.lineTo(2, 1);
    path.moveTo(1, 2);
    path.lineTo(2, 2);
    path.moveTo(5, 5);
    doc->addShape(doc->activeLayer, path);
    AutomationHandle pieces = document(*app)
                                  ->querySubObject(Member::ActiveLayer)
                                  ->querySubObject(Member::Shapes)
                                  ->querySubObject(Member::Item, {1})
                                  ->querySubObject(Member::BreakApartEx);
    QCOMPARE(pieces->dynamicCall(Member::Count).toInt(), 2);
    QCOMPARE(doc->activeLayer->shapes.size(), 2);
}

QTEST_MAIN(TestBuiltinHost)
#include "tst_builtinhost.moc"
