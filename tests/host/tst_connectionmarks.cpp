// "Add Mark" and the mark read-back against the built-in host: where the marks land on the page,
// what the layers hold afterwards, and the figures the read-back gives the cutter.

#include "RecordingAutomation.h"
#include "TestDocument.h"
#include "host/CdrConnection.h"

#include <QtTest>

using namespace TestDocument;

Q_DECLARE_METATYPE(QVector<QPoint>)

class ConnectionMarksTest : public QObject
{
    Q_OBJECT

private slots:
    void connection_data();
    void connection();
    void markGeometry_data();
    void markGeometry();
    void extraMarkArms();
    void workingLayers_data();
    void workingLayers();
    void assistOutline_data();
    void assistOutline();
    void userSelectionIsNotCombined();
    void readMarkCentres_data();
    void readMarkCentres();
    void extraMarkPlacement_data();
    void extraMarkPlacement();

private:
    static void addNothing(const HostDocument::Ptr &doc, const HostLayer::Ptr &layer,
                           const QString &kind);
    static HostShape::Ptr shapeCentredAt(const HostDocument::Ptr &doc, const QString &layer,
                                         double xMm, double yMm);
};

void ConnectionMarksTest::connection_data()
{
    QTest::addColumn<bool>("available");
    QTest::addColumn<bool>("connected");
    QTest::addColumn<QStringList>("calls");
    QTest::newRow("host answers: connected, its window shown")
        << true << true << QStringList{"SetVisible(bool)[true]"};
    QTest::newRow("identifier unavailable: not connected, nothing called")
        << false << false << QStringList{};
}

void ConnectionMarksTest::connection()
{
    QFETCH(bool, available);
    QFETCH(bool, connected);
    QFETCH(QStringList, calls);
    freshA4();
    BuiltinHost::instance().setProgramIdAvailable(HostId, available);
    auto log = std::make_shared<CallLog>();
    CdrConnection conn(recordingApplication(HostId, log));
    QCOMPARE(conn.isConnected(), connected);
    QCOMPARE(log->texts(), calls);
    CdrConnection byName(HostId);
    QCOMPARE(byName.isConnected(), connected);
    if (!connected) {
        const Result<> done = conn.addMarks();
        QVERIFY(!done);
        QVERIFY(!done.error().isEmpty());
    }
}

void ConnectionMarksTest::markGeometry_data()
{
    QTest::addColumn<QString>("layer");
    QTest::addColumn<double>("xMm");
    QTest::addColumn<double>("yMm");
    // Default layout on A4: left/right 8.5 mm, top 22.5 mm, bottom 38.5 mm, 9 x 9 mm crosses.
    QTest::newRow("top-left mark 8.5 from left, 22.5 from top") << "Mark Layer" << 8.5 << 22.5;
    QTest::newRow("top-right mark 8.5 from right") << "Mark Layer" << 201.5 << 22.5;
    QTest::newRow("bottom-left mark 38.5 above bottom") << "Mark Layer" << 8.5 << 258.5;
    QTest::newRow("bottom-right mark") << "Mark Layer" << 201.5 << 258.5;
}

HostShape::Ptr ConnectionMarksTest::shapeCentredAt(const HostDocument::Ptr &doc,
                                                   const QString &layer, double xMm, double yMm)
{
    for (const HostShape::Ptr &shape : doc->findLayer(layer)->shapes) {
        const QPointF c = boxMm(doc, shape).center();
        if (qAbs(c.x() - xMm) < 1e-6 && qAbs(c.y() - yMm) < 1e-6)
            return shape;
    }
    return nullptr;
}

void ConnectionMarksTest::markGeometry()
{
    QFETCH(QString, layer);
    QFETCH(double, xMm);
    QFETCH(double, yMm);
    HostDocument::Ptr doc = freshA4();
    CdrConnection conn(HostId);
    QVERIFY(conn.addMarks());
    const HostShape::Ptr mark = shapeCentredAt(doc, layer, xMm, yMm);
    QVERIFY2(mark, "no mark centred there");
    const QRectF box = boxMm(doc, mark);
    QVERIFY(qAbs(box.width() - 9.0) < 1e-9 && qAbs(box.height() - 9.0) < 1e-9);
    QVERIFY(qAbs(mark->outlineWidthInches * MmPerInch - 1.0) < 1e-9);
    QCOMPARE(mark->outlineCmyk, (Cmyk{0, 0, 0, 100}));
    QVERIFY(!mark->filled);
    QCOMPARE(mark->path.toSubpathPolygons().size(), 2); // one curve of both arms
}

void ConnectionMarksTest::extraMarkArms()
{
    HostDocument::Ptr doc = freshA4();
    CdrConnection conn(HostId);
    QVERIFY(conn.addMarks());
    const HostLayer::Ptr extra = doc->findLayer(CdrConnection::ExtraLayer);
    QCOMPARE(extra->shapes.size(), 1);
    // The crossing lies 13 mm below the top-right mark's centre; the upper arm reaches up to
    // that mark's box (22.5 + 4.5 mm from the top), the lower one 4.5 mm below the crossing.
    const QList<QPolygonF> arms = extra->shapes.first()->path.toSubpathPolygons();
    QCOMPARE(arms.size(), 2);
    const QPointF across0 = arms.at(0).first(), across1 = arms.at(0).last();
    const QPointF down0 = arms.at(1).first(), down1 = arms.at(1).last();
    const double ph = doc->activePage->heightInches * MmPerInch;
    QVERIFY(qAbs(ph - across0.y() * MmPerInch - 35.5) < 1e-9);
    QVERIFY(qAbs(ph - across1.y() * MmPerInch - 35.5) < 1e-9);
    QVERIFY(qAbs(across0.x() * MmPerInch - 197.0) < 1e-9);
    QVERIFY(qAbs(across1.x() * MmPerInch - 206.0) < 1e-9);
    QVERIFY(qAbs(down0.x() * MmPerInch - 201.5) < 1e-9);
    QVERIFY(qAbs(ph - down0.y() * MmPerInch - 27.0) < 1e-9);
    QVERIFY(qAbs(ph - down1.y() * MmPerInch - 40) < 1e-9);
}

void ConnectionMarksTest::workingLayers_data()
{
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<int>("runs");
    QTest::addColumn<QStringList>("after");
    const QStringList made{"Layer 1", "Assist Layer", "Mark Layer", "Extra Layer"};
    QTest::newRow("fresh document gets the three working layers") << QStringList{} << 1 << made;
    QTest::newRow("running twice leaves one set") << QStringList{} << 2 << made;
    QTest::newRow("a layer differing in case is not a working layer")
        << QStringList{"mark layer"} << 1
        << QStringList{"Layer 1", "mark layer", "Assist Layer", "Mark Layer", "Extra Layer"};
    QTest::newRow("existing working layers are emptied, not added")
        << QStringList{"Extra Layer", "Mark Layer"} << 1
        << QStringList{"Layer 1", "Extra Layer", "Mark Layer", "Assist Layer"};
}

void ConnectionMarksTest::workingLayers()
{
    QFETCH(QStringList, before);
    QFETCH(int, runs);
    QFETCH(QStringList, after);
    HostDocument::Ptr doc = freshA4();
    const HostLayer::Ptr artwork = doc->activeLayer;
    addRectangle(doc, artwork, 50, 50, 20, 20);
    for (const QString &name : before)
        addCross(doc, addLayer(doc, name, true, false), 100, 100);
    for (int i = 0; i < runs; ++i) {
        CdrConnection conn(HostId);
        const Result<> done = conn.addMarks();
        QVERIFY2(done, qPrintable(done.error()));
    }
    QStringList names;
    for (const HostLayer::Ptr &layer : doc->activePage->layers)
        names << layer->name;
    QCOMPARE(names, after);
    QCOMPARE(doc->activeLayer, artwork); // the layer active before is active again
    QCOMPARE(artwork->shapes.size(), 1); // other layers untouched
    QCOMPARE(doc->findLayer(CdrConnection::AssistLayer)->shapes.size(), 1);
    QCOMPARE(doc->findLayer(CdrConnection::MarkLayer)->shapes.size(), 4);
    QCOMPARE(doc->findLayer(CdrConnection::ExtraLayer)->shapes.size(), 1);
    for (const QString &name :
         {CdrConnection::AssistLayer, CdrConnection::MarkLayer, CdrConnection::ExtraLayer})
        QVERIFY2(!doc->findLayer(name)->editable, qPrintable(name + " left unlocked"));
    QVERIFY(!doc->findLayer(CdrConnection::AssistLayer)->printable);
    QVERIFY(doc->findLayer(CdrConnection::MarkLayer)->printable);
    if (before.contains("mark layer"))
        QCOMPARE(doc->findLayer("mark layer")->shapes.size(), 1);
    QVERIFY(!BuiltinHost::instance().optimization()); // closing steps ran
}

void ConnectionMarksTest::assistOutline_data()
{
    QTest::addColumn<double>("topMm");
    QTest::addColumn<double>("bottomMm");
    QTest::newRow("default margins") << 22.5 << 38.5;
    QTest::newRow("larger margins move the marks, not the outline's top and bottom")
        << 30.0 << 50.0;
}

void ConnectionMarksTest::assistOutline()
{
    QFETCH(double, topMm);
    QFETCH(double, bottomMm);
    HostDocument::Ptr doc = freshA4();
    MarkLayout layout;
    layout.topInches = topMm / MmPerInch;
    layout.bottomInches = bottomMm / MmPerInch;
    CdrConnection conn(HostId);
    QVERIFY(conn.addMarks(layout));
    const HostShape::Ptr assist = doc->findLayer(CdrConnection::AssistLayer)->shapes.first();
    const QRectF box = boxMm(doc, assist);
    // 8.5 mm from the edges minus half the mark height; left and right at the marks' outer edges.
    QVERIFY(qAbs(box.top() - 4.0) < 1e-9);
    QVERIFY(qAbs(box.bottom() - 293.0) < 1e-9);
    QVERIFY(qAbs(box.left() - 4.0) < 1e-9);
    QVERIFY(qAbs(box.right() - 206.0) < 1e-9);
    QCOMPARE(assist->outlineCmyk, (Cmyk{0, 50, 0, 0}));
    QVERIFY(qAbs(assist->outlineWidthInches * MmPerInch - 0.2) < 1e-9);
    QCOMPARE(assist->path.toSubpathPolygons().size(), 20);
    QVERIFY(shapeCentredAt(doc, CdrConnection::MarkLayer, 8.5, topMm));
    QVERIFY(shapeCentredAt(doc, CdrConnection::MarkLayer, 201.5, A4Height - bottomMm));
}

void ConnectionMarksTest::userSelectionIsNotCombined()
{
    HostDocument::Ptr doc = freshA4();
    const HostShape::Ptr art = addRectangle(doc, doc->activeLayer, 60, 60, 30, 30);
    doc->addToSelection(art);
    CdrConnection conn(HostId);
    QVERIFY(conn.addMarks());
    QCOMPARE(doc->activeLayer->shapes.size(), 1);
    QCOMPARE(doc->activeLayer->shapes.first()->path.toSubpathPolygons().size(), 1);
    for (const HostShape::Ptr &mark : doc->findLayer(CdrConnection::MarkLayer)->shapes)
        QCOMPARE(boxMm(doc, mark).size(), QSizeF(9.0, 9.0));
}

// An element that draws nothing, as opening a file leaves it on a layer: "kept" an element kept
// without geometry (<title>, <desc>, a hidden path), "empty" a curve with no path (<path/>),
// "move" a curve of a single move.
void ConnectionMarksTest::addNothing(const HostDocument::Ptr &doc, const HostLayer::Ptr &layer,
                                     const QString &kind)
{
    if (kind == "kept") {
        auto shape = std::make_shared<HostShape>();
        shape->kind = ShapeKind::Other;
        shape->keptXml = QStringLiteral("<title>Marks</title>");
        doc->adoptShape(layer, shape);
    } else {
        doc->addShape(layer,
                      kind == "move" ? QPainterPath(hostPoint(doc, 30, 30)) : QPainterPath());
    }
}

void ConnectionMarksTest::readMarkCentres_data()
{
    QTest::addColumn<QList<QPointF>>("centresMm");
    QTest::addColumn<QStringList>("drawingNothing"); // elements beside the marks, see addNothing
    QTest::addColumn<QVector<QPoint>>("expected");
    const QStringList none;
    QTest::newRow("22.5 mm below the top edge gives y = 900")
        << QList<QPointF>{{8.5, 22.5}} << none << QVector<QPoint>{{340, 900}};
    QTest::newRow("10.0125 mm gives 401, the half rounding up")
        << QList<QPointF>{{10.0125, 10.0125}} << none << QVector<QPoint>{{401, 401}};
    const QList<QPointF> corners{{201.5, 258.5}, {8.5, 258.5}, {201.5, 22.5}, {8.5, 22.5}};
    const QVector<QPoint> sorted{{340, 900}, {8060, 900}, {340, 10340}, {8060, 10340}};
    QTest::newRow("shuffled corners come out TL, TR, BL, BR") << corners << none << sorted;
    QTest::newRow("same row: left before right") << QList<QPointF>{{100, 50}, {20, 50}} << none
                                                 << QVector<QPoint>{{800, 2000}, {4000, 2000}};
    QTest::newRow("no marks at all gives an empty list")
        << QList<QPointF>{} << none << QVector<QPoint>{};
    QTest::newRow("four marks and a kept <title> read back as four marks")
        << corners << QStringList{"kept"} << sorted;
    QTest::newRow("three marks and an empty path read back as the three marks")
        << corners.mid(1) << QStringList{"empty"} << sorted.mid(0, 3);
    QTest::newRow("a path of only a move is no mark at the page corner")
        << corners.mid(2) << QStringList{"move", "kept"} << sorted.mid(0, 2);
}

void ConnectionMarksTest::readMarkCentres()
{
    QFETCH(QList<QPointF>, centresMm);
    QFETCH(QStringList, drawingNothing);
    QFETCH(QVector<QPoint>, expected);
    HostDocument::Ptr doc = freshA4();
    if (!centresMm.isEmpty()) {
        const HostLayer::Ptr marks = addLayer(doc, CdrConnection::MarkLayer, true, false);
        for (const QPointF &c : centresMm)
            addCross(doc, marks, c.x(), c.y());
        for (const QString &kind : drawingNothing)
            addNothing(doc, marks, kind);
    }
    CdrConnection conn(HostId);
    const Result<QVector<QPoint>> centres = conn.readMarkCentres();
    QVERIFY2(centres, qPrintable(centres.error()));
    QCOMPARE(*centres, expected);
    if (!centresMm.isEmpty())
        QVERIFY(!doc->findLayer(CdrConnection::MarkLayer)->editable);
}

void ConnectionMarksTest::extraMarkPlacement_data()
{
    QTest::addColumn<QList<QPointF>>("marksMm");
    QTest::addColumn<QList<QPointF>>("extrasMm");
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("markReads");
    QTest::addColumn<bool>("nothingBeside"); // a kept element drawing nothing on Extra Layer
    const QList<QPointF> corners{{8.5, 22.5}, {201.5, 22.5}, {8.5, 258.5}, {201.5, 258.5}};
    QTest::newRow("extra mark in the second mark's column gives 2")
        << corners << QList<QPointF>{{201.5, 35.5}} << 2 << 2 << false;
    QTest::newRow("extra mark on the second mark's row gives 1")
        << corners << QList<QPointF>{{150, 22.5}} << 1 << 1 << false;
    QTest::newRow("extra mark elsewhere gives 0")
        << corners << QList<QPointF>{{150, 40}} << 0 << 2 << false;
    QTest::newRow("two shapes on Extra Layer give 0 without reading the marks")
        << corners << QList<QPointF>{{201.5, 35.5}, {150, 40}} << 0 << 0 << false;
    QTest::newRow("an empty Extra Layer gives 0") << corners << QList<QPointF>{} << 0 << 0 << false;
    QTest::newRow("a single mark gives 0 without reading past the list")
        << QList<QPointF>{{201.5, 22.5}} << QList<QPointF>{{201.5, 35.5}} << 0 << 1 << false;
    QTest::newRow("an element drawing nothing beside the extra mark still gives 2")
        << corners << QList<QPointF>{{201.5, 35.5}} << 2 << 2 << true;
}

void ConnectionMarksTest::extraMarkPlacement()
{
    QFETCH(QList<QPointF>, marksMm);
    QFETCH(QList<QPointF>, extrasMm);
    QFETCH(int, code);
    QFETCH(int, markReads);
    QFETCH(bool, nothingBeside);
    HostDocument::Ptr doc = freshA4();
    const HostLayer::Ptr marks = addLayer(doc, CdrConnection::MarkLayer, true, false);
    for (const QPointF &c : marksMm)
        addCross(doc, marks, c.x(), c.y());
    const HostLayer::Ptr extra = addLayer(doc, CdrConnection::ExtraLayer, true, false);
    for (const QPointF &c : extrasMm)
        addCross(doc, extra, c.x(), c.y());
    if (nothingBeside)
        addNothing(doc, extra, "kept");
    auto log = std::make_shared<CallLog>();
    CdrConnection conn(recordingApplication(HostId, log));
    const Result<int> placement = conn.extraMarkPlacement();
    QVERIFY2(placement, qPrintable(placement.error()));
    QCOMPARE(*placement, code);
    QCOMPARE(log->texts({"Find(QString)"}).count("Find(QString)[Mark Layer]"), markReads);
    QVERIFY(!extra->editable);
    QVERIFY(!marks->editable);
    QCOMPARE(doc->activeLayer, doc->activePage->layers.first());
}

QTEST_GUILESS_MAIN(ConnectionMarksTest)
#include "tst_connectionmarks.moc"
